#pragma once

#include "orbodev_export.h"

#include <QMap>
#include <QString>
#include <QStringList>

/**
 * Descriptor of one device parameter: key, label, help text, type, unit, allowed
 * values, enabling conditions and the current value as text.
 *
 * A plain value type; the widget library compiles its copy and destroy operations
 * inline, so the member order below is fixed.
 */
class ORBODEV_EXPORT Param
{
public:
    /// Codes of type(); every code not listed is edited as free text.
    enum Type : int {
        Real = 0,
        Integer = 1,
        Boolean = 2,
        Text = 3,
        Choice = 4,
        HexInteger = 5,
    };

    /// A parameter named name whose value is value; readOnly marks it as not user-editable.
    explicit Param(const QString& name = QString(), bool readOnly = false, const QString& value = QString());

    QString name() const { return m_name; }
    /// The label a settings dialog shows instead of the name; empty when none was given.
    QString displayName() const { return m_displayName; }
    QString description() const { return m_description; }
    QString unit() const { return m_unit; }
    /// The value text as stored.
    QString raw() const { return m_value; }
    int type() const { return m_type; }
    QStringList options() const { return m_options; }
    bool getStrictOptions() const { return m_strictOptions; }
    /// Per other parameter key, the values for which this one is enabled.
    QMap<QString, QStringList> enabledConditions() const { return m_enabledConditions; }
    bool isReadOnly() const { return m_readOnly; }
    bool needsRestart() const { return m_needsRestart; }
    QString defaultValue() const { return m_defaultValue; }

    operator int() const;
    operator QString() const { return m_value; }

    void setDefaultValue(const QString& value);
    void setValue(const QString& value) { m_value = value; }
    void setDisplayName(const QString& displayName) { m_displayName = displayName; }
    void setDescription(const QString& description) { m_description = description; }
    void setUnit(const QString& unit) { m_unit = unit; }
    void setType(int type) { m_type = type; }
    void setOptions(const QStringList& options, bool strict);
    void setEnabledConditions(const QMap<QString, QStringList>& conditions) { m_enabledConditions = conditions; }
    void setNeedsRestart(bool needsRestart) { m_needsRestart = needsRestart; }

    bool operator==(const Param& other) const;
    bool operator!=(const Param& other) const { return !(*this == other); }

private:
    qint32 m_type = Text;
    bool m_strictOptions = false;
    bool m_readOnly = false;
    // Unread here, but held so that the layout matches the framework's (see above).
    [[maybe_unused]] bool m_hidden = false;
    bool m_needsRestart = false;
    [[maybe_unused]] bool m_changed = false;
    [[maybe_unused]] qint32 m_order = 0;
    QString m_name;
    QString m_displayName;
    QString m_description;
    QString m_unit;
    QString m_value;
    QString m_defaultValue;
    QString m_category;
    QStringList m_options;
    QMap<QString, QStringList> m_enabledConditions;
};
