#include "ParametersEntity.h"

#include <QMutexLocker>

ParametersEntity::~ParametersEntity() = default;

void ParametersEntity::addParam(const QString& name, const QString& defaultValue, const QStringList& options,
                                bool strictOptions, const QMap<QString, QStringList>& enabledConditions)
{
    Param param(name, false, defaultValue);
    param.setOptions(options, strictOptions);
    param.setEnabledConditions(enabledConditions);
    QMutexLocker locker(&paramsMutex);
    params.insert(name, param);
}

Param ParametersEntity::getParam(const QString& name) const
{
    QMutexLocker locker(&paramsMutex);
    return params.value(name);
}

bool ParametersEntity::hasParam(const QString& name) const
{
    QMutexLocker locker(&paramsMutex);
    return params.contains(name);
}

QList<Param> ParametersEntity::getParams() const
{
    QMutexLocker locker(&paramsMutex);
    return params.values();
}

bool ParametersEntity::describeParam(const QString& name, int type, const QString& description, const QString& unit)
{
    QMutexLocker locker(&paramsMutex);
    if (!params.contains(name))
        return false;
    Param& param = params[name];
    param.setType(type);
    param.setDescription(description);
    param.setUnit(unit);
    return true;
}

bool ParametersEntity::setParamValue(const QString& name, const QString& value)
{
    QMutexLocker locker(&paramsMutex);
    if (!params.contains(name))
        return false;
    params[name].setValue(value);
    return true;
}

QString ParametersEntity::getObjectName() const
{
    return QString();
}
