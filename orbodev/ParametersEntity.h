#pragma once

#include "CaseInsensetiveDictionary.h"
#include "Param.h"
#include "orbodev_export.h"

#include <QMap>
#include <QMutex>
#include <QString>
#include <QStringList>

/**
 * Something with named parameters: devices, and the widgets of GUI devices.
 *
 * Not a QObject, so that a QWidget subclass can inherit it beside QWidget.
 * Parameter keys match in any letter case. The public operations are thread-safe: a device
 * in a worker thread reads its parameters while the GUI thread shows or edits them.
 */
class ORBODEV_EXPORT ParametersEntity
{
public:
    ParametersEntity() = default;
    virtual ~ParametersEntity();
    ParametersEntity(const ParametersEntity&) = delete;
    ParametersEntity& operator=(const ParametersEntity&) = delete;

    /// Declares a parameter with its default value, allowed values and enabling conditions.
    void addParam(const QString& name, const QString& defaultValue, const QStringList& options = QStringList(),
                  bool strictOptions = false,
                  const QMap<QString, QStringList>& enabledConditions = QMap<QString, QStringList>());
    /// The parameter named name, or a Param with an empty name when there is none.
    Param getParam(const QString& name) const;
    bool hasParam(const QString& name) const;
    /// Every parameter, ordered by key.
    QList<Param> getParams() const;
    /// Gives a declared parameter its type (a Param::Type code), help text and unit; false when absent.
    bool describeParam(const QString& name, int type, const QString& description = QString(),
                       const QString& unit = QString());
    /// Stores value as the parameter's current text; false when there is no such parameter.
    bool setParamValue(const QString& name, const QString& value);
    /// Name of the group the INI serialiser files the parameters under; empty by default.
    virtual QString getObjectName() const;

protected:
    /// Guards params; derived classes that touch params directly lock it too.
    mutable QMutex paramsMutex;
    CaseInsensetiveDictionary<Param> params;
};

/// The interface the INI serialiser reads parameters through.
using EditParameters = ParametersEntity;
