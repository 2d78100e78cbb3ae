#pragma once

#include "CaseInsensetiveDictionary.h"
#include "Param.h"
#include "orbodev_export.h"

#include <QMap>
#include <QString>
#include <QStringList>

/**
 * Something with named parameters: devices, and the widgets of GUI devices.
 *
 * Not a QObject, so that a QWidget subclass can inherit it beside QWidget.
 * Parameter keys match in any letter case.
 */
class ORBODEV_EXPORT ParametersEntity
{
public:
    ParametersEntity() = default;
    virtual ~ParametersEntity();

    /// Declares a parameter with its default value, allowed values and enabling conditions.
    void addParam(const QString& name, const QString& defaultValue, const QStringList& options = QStringList(),
                  bool strictOptions = false,
                  const QMap<QString, QStringList>& enabledConditions = QMap<QString, QStringList>());
    /// The parameter named name, or a Param with an empty name when there is none.
    Param getParam(const QString& name) const;
    bool hasParam(const QString& name) const;
    /// Every parameter, ordered by key.
    QList<Param> getParams() const;

protected:
    CaseInsensetiveDictionary<Param> params;
};

/// The interface the INI serialiser reads parameters through.
using EditParameters = ParametersEntity;
