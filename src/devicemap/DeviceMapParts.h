#pragma once

#include "DeviceMapWidget.h"

/**
 * The map's collaborators, one concern each, as the others, the operations and the tests of
 * each concern reach them: DeviceMapParts(map).itemIndex(). Internal: the classes it returns
 * are the library's own, so hosts see none of this and DeviceMapWidget keeps the accessors
 * private, open to this class alone.
 *
 * A view of the map for one statement; it owns nothing. GUI thread only.
 */
class DeviceMapParts
{
public:
    explicit DeviceMapParts(const DeviceMapWidget& map) : map(map) {}
    explicit DeviceMapParts(const DeviceMapWidget* map) : map(*map) {}

    MapItemIndex& itemIndex() const { return map.itemIndex(); }
    MapLinks& linkItems() const { return map.linkItems(); }
    MapManagerSync& managerSync() const { return map.managerSync(); }
    MapColoriser& coloriser() const { return map.coloriser(); }
    MapLegend& legend() const { return map.legend(); }
    MapSearch& search() const { return map.search(); }
    MapMenus& menus() const { return map.menus(); }
    MapInteraction& interaction() const { return map.interaction(); }
    ConnectionDrawing& connectionDrawing() const { return map.connectionDrawing(); }
    MapClusters& clusters() const { return map.clusters(); }
    MapCommands& commands() const { return map.commands(); }
    MapAutoLayout& automaticLayout() const { return map.automaticLayout(); }
    UnplacedZone& unplacedZone() const { return map.unplacedZone(); }
    MapClipboard& clipboard() const { return map.clipboard(); }
    MapClicks& clicks() const { return map.clicks(); }
    MapKeys& keys() const { return map.keys(); }
    MapSaveNotices& saveNotices() const { return map.saveNotices(); }
    MapSaves& saves() const { return map.saves(); }
    RunningCommands& runningCommands() const { return map.runningCommands(); }

private:
    const DeviceMapWidget& map;
};
