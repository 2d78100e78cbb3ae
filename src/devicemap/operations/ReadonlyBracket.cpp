#include "ReadonlyBracket.h"

#include "DeviceManager.h"
#include "DeviceMapParts.h"
#include "MapSaves.h"

ReadonlyBracket::ReadonlyBracket(DeviceManager* manager, DeviceMapWidget* map)
    : manager(manager)
    , map(map)
{
    if (!manager)
        return;
    wasReadonly = manager->getReadonly();
    manager->setReadonly(true);
}

ReadonlyBracket::~ReadonlyBracket()
{
    close();
}

void ReadonlyBracket::close()
{
    if (!manager)
        return;
    manager->setReadonly(wasReadonly);
    const bool saved = manager->saveYamlConfig();
    // A manager that was read-only already, or has no file, writes nothing: no save to report.
    const QString file = manager->getConfigPath();
    if (map && !wasReadonly && !file.isEmpty())
        DeviceMapParts(map.data()).saves().graphSaved(saved, file);
    manager = nullptr;
}
