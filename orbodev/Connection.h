#pragma once

#include "orbodev_export.h"

#include <QString>

/**
 * One entry of a device's connection list: the peer device, the source side's signal
 * and the target side's slot. Equal when all three match ignoring letter case.
 */
struct ORBODEV_EXPORT Connection
{
    QString device;
    QString signal;
    QString slot;

    bool operator==(const Connection& other) const
    {
        return device.compare(other.device, Qt::CaseInsensitive) == 0
            && signal.compare(other.signal, Qt::CaseInsensitive) == 0
            && slot.compare(other.slot, Qt::CaseInsensitive) == 0;
    }
    bool operator!=(const Connection& other) const { return !(*this == other); }
};
