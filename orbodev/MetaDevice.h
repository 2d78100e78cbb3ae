#pragma once

#include "BaseDevice.h"
#include "DeviceInfo.h"

#include <QList>
#include <QMap>
#include <QStringList>

/**
 * A device type read from a meta-device file: a group of devices exported as one.
 *
 * The stand-in keeps what the file exports: each exported parameter becomes a parameter of
 * the meta device (its value taken from the inner device), and the exported slot and signal
 * entries are listed in the read-only parameters "exportedSlots" and "exportedSignals".
 * The inner devices are not instantiated. Internal to the framework.
 */
class MetaDevice : public BaseDevice
{
public:
    struct Description
    {
        /// Exported entries, "device.item", per section.
        QStringList slotEntries;
        QStringList signalEntries;
        QStringList parameterEntries;
        QList<DeviceInfo> devices;
    };

    explicit MetaDevice(const Description& description);

    /// The description of a meta-device file's text; throws std::exception when malformed.
    static Description parse(const QString& text);

private:
    Description m_description;
};
