#pragma once

#include "BaseDevice.h"
#include "DeviceInfo.h"
#include "orbodev_export.h"

#include <QList>
#include <QMap>
#include <QStringList>

/**
 * A device type read from a meta-device file: a group of devices exported as one.
 *
 * The file's "export" block maps, per section ("slots", "signals", "parameters"), a key to
 * an entry "device.item". The stand-in keeps what the file exports: each exported parameter
 * becomes a parameter of the meta device named by its entry (its value taken from the inner
 * device), and the exported slot and signal entries are listed in the parameters
 * "exportedSlots" and "exportedSignals". The inner devices are not instantiated.
 * Internal to the framework; parse() is exported for tests.
 */
class ORBODEV_EXPORT MetaDevice : public BaseDevice
{
public:
    /// One line of a section: its key and the entry split into device and item.
    struct Export
    {
        QString key;
        QString device;
        QString item;

        /// "device.item", as the file gives it.
        QString entry() const;
    };

    struct Description
    {
        QList<Export> slotExports;
        QList<Export> signalExports;
        QList<Export> parameterExports;
        QList<DeviceInfo> devices;
    };

    explicit MetaDevice(const Description& description);

    /**
     * The description of a meta-device file's text; throws std::exception when malformed.
     * A device name may itself contain "." (a device of a networked manager on "host.lan"):
     * an entry belongs to the longest device name of the file that it starts with, followed
     * by "."; an entry of no device of the file is split at its first ".".
     */
    static Description parse(const QString& text);

private:
    Description m_description;
};
