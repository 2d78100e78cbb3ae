#include "MapCommands.h"

#include "DeviceConnectionItem.h"
#include "DeviceHandle.h"
#include "DeviceManager.h"
#include "DeviceMapWidget.h"
#include "DeviceNodeItem.h"
#include "MapItemIndex.h"
#include "RemoveConnectionOperation.h"

#include <QCursor>
#include <QGraphicsScene>

MapCommands::MapCommands(DeviceMapWidget& map)
    : map(map)
{
}

void MapCommands::deleteSelectionOrItemUnderCursor()
{
    if (map.isWaitingForManager())
        return;
    DeviceManager* deviceManager = map.getDeviceManager();
    const QList<QGraphicsItem*> selection = map.scene()->selectedItems();
    const bool wasReadonly = deviceManager->getReadonly();
    deviceManager->setReadonly(true);

    // Devices and bending points are removed by operations of their own, which this map does not
    // have yet: asking to confirm a deletion that then does not happen would mislead, so a selection,
    // and a device, cluster or bending point under the cursor, are left alone until the delete
    // command takes them (RemoveClusterOperation is there for the cluster).
    if (selection.isEmpty()) {
        const QPoint point = map.mapFromGlobal(QCursor::pos()) - QPoint(1, 1);
        const QPointF scenePoint = map.mapToScene(point);
        QGraphicsItem* found = map.scene()->itemAt(scenePoint, map.transform());
        deviceManager->setReadonly(wasReadonly);
        deviceManager->saveYamlConfig();
        if (auto link = dynamic_cast<DeviceConnectionItem*>(found)) {
            // A bending point under the cursor is removed on its own, by its own operation.
            if (!link->isInBendingPointsArea(scenePoint).isNull())
                return;
            const QString source = map.itemIndex().nameOf(link->getNodeFrom());
            const QString target = map.itemIndex().nameOf(link->getNodeTo());
            map.pushOperation(new RemoveConnectionOperation(&map, target, source,
                                                            map.getConnectionSignals(target, source),
                                                            map.getConnectionSlots(target, source),
                                                            link->getBendingPoints()));
        }
    }
    deviceManager->setReadonly(wasReadonly);
    deviceManager->saveYamlConfig();
}

// With nothing selected every device is asked, whatever its state; a selected device only when
// its state differs.
void MapCommands::setSelectedDevicesInitialised(bool initialised)
{
    DeviceManager* deviceManager = map.getDeviceManager();
    auto apply = [deviceManager, initialised](const QString& name) {
        if (initialised)
            deviceManager->initialiseDevice(name);
        else
            deviceManager->deinitialiseDevice(name);
    };
    const QList<QGraphicsItem*> selection = map.scene()->selectedItems();
    if (selection.isEmpty()) {
        const QStringList names = deviceManager->getDeviceNames();
        for (const QString& name : names)
            apply(name);
        return;
    }
    for (QGraphicsItem* graphicsItem : selection) {
        auto item = dynamic_cast<DeviceNodeItem*>(graphicsItem);
        if (!item)
            continue;
        const auto handle = deviceManager->getDeviceHandle(item->devName());
        if (handle && handle->isInitialised() != initialised)
            apply(item->devName());
    }
}
