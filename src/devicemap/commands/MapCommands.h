#pragma once

#include "dozerozozu_export.h"

#include <QString>

class DeviceMapWidget;
class QGraphicsItem;
class QPoint;

/**
 * The device map's commands on the selection, or on the item under the cursor: delete,
 * rename, initialise and deinitialise. The menus' and keys' actions land here; what changes
 * the graph or the scene is pushed as an operation on the map's undo stack.
 *
 * Owned by the DeviceMapWidget, whose slots onDelete(), initSelectedDevices() and
 * deinitSelectedDevices() forward here. GUI thread only. Confirmations and prompts run
 * nested event loops: the map, and with it this object, may be gone when they return.
 */
class DOZEROZOZU_EXPORT MapCommands
{
public:
    explicit MapCommands(DeviceMapWidget& map);

    /**
     * The delete command. With a selection: asks to confirm, then removes the selected devices
     * (other selected items are left alone). Without one, what is under the cursor goes at
     * once: a device, a bending point, else the link, or a cluster. The manager is read-only
     * meanwhile and saves its configuration afterwards.
     */
    void deleteSelectionOrItemUnderCursor();
    /// Asks for a device's new name and pushes its rename; nothing for the same name or Cancel.
    /// A name the manager refuses is told in a box.
    void renameDevice(const QString& name);
    /// Asks for a cluster's new name and pushes its rename when the name suits a cluster.
    void renameCluster(const QString& name);
    /// With nothing selected every device is asked, whatever its state; a selected device only
    /// when its state differs.
    void setSelectedDevicesInitialised(bool initialised);

private:
    void deleteSelectedDevices(const QList<QGraphicsItem*>& selection);
    void deleteItemAt(const QPoint& viewportPoint);
    /// The topmost device, link or cluster item at a viewport point (grid lines are passed over).
    QGraphicsItem* mapItemAt(const QPoint& viewportPoint) const;
    /// The links that go with an item when it is deleted: a device's; none for other items.
    int workAt(QGraphicsItem* item) const;

    DeviceMapWidget& map;
};
