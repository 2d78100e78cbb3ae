#include "BaseDevice.h"

#include <QDebug>
#include <QMutexLocker>

BaseDevice::BaseDevice(QObject* parent)
    : QObject(parent)
{
}

BaseDevice::~BaseDevice() = default;

bool BaseDevice::isInitialised() const
{
    const int state = m_state.load();
    return state == Initialised || state == Warning;
}

BaseDevice::DeviceState BaseDevice::getState() const
{
    return DeviceState(m_state.load());
}

QString BaseDevice::getError() const
{
    QMutexLocker locker(&m_textMutex);
    return m_error;
}

QString BaseDevice::getDescription() const
{
    QMutexLocker locker(&m_textMutex);
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
    // Callers wait for deviceInitialised() after asking, so a refusal is reported too.
    if (getState() == Disabled) {
        Q_EMIT deviceInitialised(false);
        return false;
    }
    if (isInitialised())
        onDeinitialise();
    setError(QString());
    const bool ok = onInitialise();
    setState(ok ? Initialised : DeinitialisedWithError);
    Q_EMIT deviceInitialised(ok);
    return ok;
}

void BaseDevice::deinitialise()
{
    if (isInitialised()) {
        onDeinitialise();
        setState(getError().isEmpty() ? Deinitialised : DeinitialisedWithError);
    }
    Q_EMIT deviceInitialised(false);
}

void BaseDevice::applyParams()
{
    if (isInitialised())
        initialise();
}

void BaseDevice::setDescription(const QString& description)
{
    {
        QMutexLocker locker(&m_textMutex);
        if (description == m_description)
            return;
        m_description = description;
    }
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
    if (m_state.exchange(state) == state)
        return;
    Q_EMIT stateChanged(state);
}

void BaseDevice::setError(const QString& error)
{
    QMutexLocker locker(&m_textMutex);
    m_error = error;
}
