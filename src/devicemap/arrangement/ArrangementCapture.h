#pragma once

#include "DevicesArrangement.h"
#include "DeviceMapParts.h"
#include "dozerozozu_export.h"

#include <QList>

class DeviceManager;
class MapItemIndex;
class QGraphicsItem;

/**
 * Snapshots of what a device map shows, as DevicesArrangement values: where each listed
 * device and every cluster sits (with what the user set on the cluster), the links among the listed devices with their bending
 * points, and each device's description from the manager with its connections to unlisted
 * devices left out.
 *
 * The descriptions come in the graph's order (GraphOrder), which device text written from
 * them keeps. A short-lived helper over the map's item tables; no widget inside, nothing
 * changed. Linear in the devices and links captured, and, for two devices or more, in the
 * manager's device list once. GUI thread only.
 *
 *     const DevicesArrangement all = ArrangementCapture(DeviceMapParts(map).itemIndex(), manager).captureAll();
 */
class DOZEROZOZU_EXPORT ArrangementCapture
{
public:
    ArrangementCapture(const MapItemIndex& items, DeviceManager* manager);

    /// The arrangement of the device items among items (one per name); other items are skipped.
    DevicesArrangement capture(const QList<QGraphicsItem*>& items) const;
    /// The arrangement of every placed device.
    DevicesArrangement captureAll() const;

private:
    const MapItemIndex& items;
    DeviceManager* manager;
};
