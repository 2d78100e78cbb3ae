#include "DeviceHandle.h"

#include "DeviceManager.h"
#include "DeviceProxy.h"

DeviceHandle::DeviceHandle(DeviceManager* manager, BaseDevice* device)
    : m_manager(manager)
    , m_device(device)
{
}

bool DeviceHandle::isInitialised() const
{
    return m_device && m_device->isInitialised();
}

QString DeviceHandle::getParamValue(const QString& key) const
{
    return m_device ? m_device->getParam(key).raw() : QString();
}

QStringList DeviceHandle::getSignals() const
{
    return getDeviceInfo().signals;
}

QStringList DeviceHandle::getSlots() const
{
    return getDeviceInfo().slots;
}

QList<Param> DeviceHandle::getParams() const
{
    return m_device ? m_device->getParams() : QList<Param>();
}

BaseDevice::DeviceState DeviceHandle::getState() const
{
    return m_device ? m_device->getState() : BaseDevice::NotInitialised;
}

DeviceInfo DeviceHandle::getDeviceInfo() const
{
    if (!m_device || !m_manager)
        return DeviceInfo();
    return m_manager->getDeviceInfo(m_device->objectName());
}

QObject* DeviceHandle::getObject() const
{
    return m_device.data();
}

BaseDevice* DeviceHandle::getDevice() const
{
    return m_device.data();
}

bool DeviceHandle::connectToSlot(QObject* sender, const QString& signal, const QString& slot, bool unique)
{
    if (!m_device || !sender)
        return false;
    return DeviceProxy::connect(sender, signal, m_device.data(), slot,
                                unique ? Qt::UniqueConnection : Qt::AutoConnection);
}
