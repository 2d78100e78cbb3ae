#include "BaseDevice.h"

#include <QDebug>

BaseDevice::BaseDevice(QObject* parent)
    : QObject(parent)
{
}

BaseDevice::~BaseDevice() = default;

bool BaseDevice::isInitialised() const
{
    return m_state == Initialised || m_state == Warning;
}

BaseDevice::DeviceState BaseDevice::getState() const
{
    return m_state;
}

QString BaseDevice::getError() const
{
    return m_error;
}

QString BaseDevice::getDescription() const
{
    return m_description;
}

void BaseDevice::setParam(const QString& key, const QString& value)
{
    if (!setParamValue(key, value))
        qWarning().noquote() << "BaseDevice: unknown parameter" << key << "of" << objectName();
}

QString BaseDevice::getObjectName() const
{
    return objectName();
}

bool BaseDevice::initialise()
{
    if (m_state == Disabled)
        return false;
    if (isInitialised())
        onDeinitialise();
    m_error.clear();
    const bool ok = onInitialise();
    setState(ok ? Initialised : DeinitialisedWithError);
    Q_EMIT deviceInitialised(ok);
    return ok;
}

void BaseDevice::deinitialise()
{
    if (!isInitialised())
        return;
    onDeinitialise();
    setState(m_error.isEmpty() ? Deinitialised : DeinitialisedWithError);
    Q_EMIT deviceInitialised(false);
}

void BaseDevice::applyParams()
{
    if (isInitialised())
        initialise();
}

void BaseDevice::setDescription(const QString& description)
{
    if (description == m_description)
        return;
    m_description = description;
    Q_EMIT descriptionChanged(description);
}

bool BaseDevice::onInitialise()
{
    return true;
}

void BaseDevice::onDeinitialise()
{
}

void BaseDevice::setState(DeviceState state)
{
    if (state == m_state)
        return;
    m_state = state;
    Q_EMIT stateChanged(state);
}

void BaseDevice::setError(const QString& error)
{
    m_error = error;
}
