#include "ParametersEntity.h"

ParametersEntity::~ParametersEntity() = default;

void ParametersEntity::addParam(const QString& name, const QString& defaultValue, const QStringList& options,
                                bool strictOptions, const QMap<QString, QStringList>& enabledConditions)
{
    Param param(name, false, defaultValue);
    param.setOptions(options, strictOptions);
    param.setEnabledConditions(enabledConditions);
    params.insert(name, param);
}

Param ParametersEntity::getParam(const QString& name) const
{
    return params.value(name);
}

bool ParametersEntity::hasParam(const QString& name) const
{
    return params.contains(name);
}

QList<Param> ParametersEntity::getParams() const
{
    return params.values();
}
