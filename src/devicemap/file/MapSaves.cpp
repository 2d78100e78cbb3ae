#include "MapSaves.h"

#include "DeviceManager.h"
#include "DeviceMapParts.h"
#include "MapManagerSync.h"
#include "MapSaveNotices.h"

MapSaves::MapSaves(DeviceMapWidget& map, MapSaveNotices& notices)
    : map(map)
    , notices(notices)
    , manager(map.getDeviceManager())
{
}

bool MapSaves::saveLayout()
{
    const bool saved = writeLayout();
    if (notices.isFailing(MapSaveNotices::Target::DeviceGraph))
        writeGraph();
    return saved;
}

void MapSaves::graphSaved(bool saved, const QString& file)
{
    notices.record(MapSaveNotices::Target::DeviceGraph, saved, file);
    if (notices.isFailing(MapSaveNotices::Target::LayoutFile))
        writeLayout();
}

void MapSaves::saveOnClosing()
{
    notices.beginFinalSaves();
    saveLayout();
    notices.endFinalSaves();
}

bool MapSaves::writeLayout()
{
    const bool saved = DeviceMapParts(map).managerSync().saveLayout();
    notices.record(MapSaveNotices::Target::LayoutFile, saved, map.getLayoutFile());
    return saved;
}

void MapSaves::writeGraph()
{
    if (!manager || manager->getReadonly() || manager->getConfigPath().isEmpty())
        return;
    notices.record(MapSaveNotices::Target::DeviceGraph, manager->saveYamlConfig(), manager->getConfigPath());
}
