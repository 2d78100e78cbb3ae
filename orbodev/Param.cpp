#include "Param.h"

Param::Param(const QString& name, bool readOnly, const QString& value)
    : m_readOnly(readOnly)
    , m_name(name)
    , m_value(value)
    , m_defaultValue(value)
{
}

Param::operator int() const
{
    bool ok = false;
    const int result = m_value.toInt(&ok, 0);
    return ok ? result : 0;
}

void Param::setDefaultValue(const QString& value)
{
    m_defaultValue = value;
    m_value = value;
}

void Param::setOptions(const QStringList& options, bool strict)
{
    m_options = options;
    m_strictOptions = strict;
}

bool Param::operator==(const Param& other) const
{
    return m_type == other.m_type && m_name == other.m_name && m_value == other.m_value
        && m_displayName == other.m_displayName && m_description == other.m_description
        && m_unit == other.m_unit && m_options == other.m_options
        && m_strictOptions == other.m_strictOptions && m_enabledConditions == other.m_enabledConditions;
}
