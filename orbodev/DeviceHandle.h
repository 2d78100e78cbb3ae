#pragma once

#include "BaseDevice.h"
#include "DeviceInfo.h"
#include "orbodev_export.h"

#include <QPointer>
#include <QStringList>

class DeviceManager;

/**
 * A caller's view of one device, handed out by DeviceManager::getDeviceHandle().
 *
 * The handle does not own the device: once the manager removes it, the handle's queries
 * answer as for a missing device (empty lists and texts, state NotInitialised, null object).
 *
 * The device's object as a signal sender: getObject() returns the device itself, whose
 * signals carry the signatures getSignals() lists, so a caller subscribes with
 *
 *     DeviceProxy::connect(handle->getObject(), "valueChanged(double)", this, "input(double)");
 *
 * Emissions of a device in a worker thread reach a receiver in another thread queued.
 */
class ORBODEV_EXPORT DeviceHandle
{
public:
    DeviceHandle(DeviceManager* manager, BaseDevice* device);

    bool isInitialised() const;
    /// The current text of parameter key, empty when absent.
    QString getParamValue(const QString& key) const;
    /// Signal signatures such as "valueChanged(double)".
    QStringList getSignals() const;
    /// Slot signatures such as "setValue(double)".
    QStringList getSlots() const;
    QList<Param> getParams() const;
    BaseDevice::DeviceState getState() const;
    DeviceInfo getDeviceInfo() const;
    /// The device as a QObject, for connecting to its signals; null once it is removed.
    QObject* getObject() const;
    BaseDevice* getDevice() const;

    /**
     * Connects sender's signal (e.g. "output(double)") to the device's slot (e.g.
     * "setValue(double)"). With unique true a second identical connection is not made.
     * Delivery is queued when the device lives in another thread. False when either
     * signature is unknown or the types do not fit.
     */
    bool connectToSlot(QObject* sender, const QString& signal, const QString& slot, bool unique);

private:
    QPointer<DeviceManager> m_manager;
    QPointer<BaseDevice> m_device;
};
