#pragma once

#include "dozerozozu_export.h"

class DeviceMapWidget;

/**
 * The device map's commands on the selection, or on the item under the cursor: delete,
 * initialise and deinitialise. The menus' and keys' actions land here; what changes the
 * graph or the scene is pushed as an operation on the map's undo stack.
 *
 * Owned by the DeviceMapWidget, whose slots onDelete(), initSelectedDevices() and
 * deinitSelectedDevices() forward here. GUI thread only.
 */
class DOZEROZOZU_EXPORT MapCommands
{
public:
    explicit MapCommands(DeviceMapWidget& map);

    /// The delete command: a link under the cursor is removed; devices, clusters and bending
    /// points wait for the operations that remove them.
    void deleteSelectionOrItemUnderCursor();
    /// With nothing selected every device is asked, whatever its state; a selected device only
    /// when its state differs.
    void setSelectedDevicesInitialised(bool initialised);

private:
    DeviceMapWidget& map;
};
