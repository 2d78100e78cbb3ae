#pragma once

#include "DeviceInfo.h"
#include "DevicesArrangement.h"
#include "Operation.h"

#include <QList>
#include <QStringList>

class QGraphicsItem;

/**
 * Removes devices from the graph; undo brings them back from their descriptions, puts their
 * items back on their former centres (or among the unplaced devices) and gives the links that
 * touched them their bending points back.
 *
 * Everything undo needs is captured in the constructor, while the devices and their items
 * exist: each device's description from the manager (meant to run when the manager means it
 * to, DeviceManager::isMeantToRun(), whether or not it runs), its rectangle on the scene, and every
 * link at its item with its bends. Items among those given that are not device items are
 * ignored. The descriptions are taken in the graph's order (GraphOrder), whatever the order
 * of the items: undo re-creates the devices in that order, so that the devices brought back
 * keep their order among themselves in the manager's list and in the saved graph. redo() removes the devices in one read-only bracket and saves the configuration
 * once; undo() hands their device text to the manager and waits for each item (at most
 * Operation::itemWaitMs, one "Network DM not responding!" line for each that does not come).
 *
 * A device the manager brings back under another name (its own name was taken meanwhile) is
 * followed under that name when the manager reports it, so a later redo removes that device
 * and never the other one; when the manager does not say, it is left alone.
 */
class DOZEROZOZU_EXPORT RemoveDevicesOperation : public Operation
{
public:
    RemoveDevicesOperation(DeviceMapWidget* map, const QList<QGraphicsItem*>& items);

    void undo() override;
    void redo() override;

    /// The names of the removed devices, in the graph's order.
    QStringList deviceNames() const;

private:
    /// The devices and links it handles, for MapWaitCursor.
    int work() const;
    /// Follows the names under which the manager re-created the devices.
    void takeRestoredNames(const QStringList& created);
    /// Puts the re-created items and their links' bends back.
    void arrangeDevices();

    // Of the arrangement only deviceRects (the marker rectangle for an unplaced device) and
    // connections (each link at a removed device, with its bends) are used.
    DevicesArrangement arrangement;
    QList<DeviceInfo> descriptions;
    // In step with descriptions: the name each device bears now; empty when it is not known.
    QStringList currentNames;
};
