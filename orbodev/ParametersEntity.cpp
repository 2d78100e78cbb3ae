#include "ParametersEntity.h"

#include <QMutexLocker>
#include <QSet>

namespace {

// Every device of a type adds the same names, defaults and descriptions. Taken from one table,
// the devices' parameters share them, and copying a device's description, which copies all its
// parameters, reads texts that are at hand instead of each device's own. Values set later are
// the device's own.
QString sharedText(const QString& text)
{
    static QMutex mutex;
    static QSet<QString> texts;
    if (text.isEmpty())
        return text;
    QMutexLocker locker(&mutex);
    const auto known = texts.constFind(text);
    if (known != texts.cend())
        return *known;
    texts.insert(text);
    return text;
}

} // namespace

ParametersEntity::~ParametersEntity() = default;

void ParametersEntity::addParam(const QString& name, const QString& defaultValue, const QStringList& options,
                                bool strictOptions, const QMap<QString, QStringList>& enabledConditions)
{
    Param param(sharedText(name), false, sharedText(defaultValue));
    param.setOptions(options, strictOptions);
    param.setEnabledConditions(enabledConditions);
    QMutexLocker locker(&paramsMutex);
    params.insert(param.name(), param);
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
    param.setDescription(sharedText(description));
    param.setUnit(sharedText(unit));
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
