#include "CreateDeviceOperation.h"

#include "DeviceManager.h"
#include "DeviceMapWidget.h"
#include "DeviceNodeItem.h"
#include "ReadonlyBracket.h"
#include "RunningCommands.h"

#include <QObject>

CreateDeviceOperation::CreateDeviceOperation(DeviceMapWidget* map, QString type, QPointF position)
    : Operation(map)
    , type(std::move(type))
    , position(position)
{
}

void CreateDeviceOperation::redo()
{
    if (!map || !manager)
        return;
    const RunningCommands::Scope running(map);
    ReadonlyBracket bracket(manager, map);
    name = manager->createDevice(type, true);
    setText(QObject::tr("Create device ") + name);
    if (name.isEmpty())
        return;
    DeviceNodeItem* item = waitForDevice(name, itemWaitMs);
    if (!map)
        return;
    if (!item) {
        logManagerNotResponding();
        return;
    }
    item->placeDevice(position);
}

void CreateDeviceOperation::undo()
{
    // A refused creation made nothing, so there is nothing to remove.
    if (name.isEmpty() || !map || !manager)
        return;
    const RunningCommands::Scope running(map);
    ReadonlyBracket bracket(manager, map);
    manager->removeDevice(name);
}

QString CreateDeviceOperation::deviceName() const
{
    return name;
}
