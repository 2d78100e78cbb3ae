#include "MoveItemsOperation.h"

#include "ClusterRectItem.h"
#include "DeviceMapWidget.h"
#include "DeviceNodeItem.h"

#include <QObject>

MoveItemsOperation::MoveItemsOperation(DeviceMapWidget* map, QMap<QString, QPointF> before,
                                       QMap<QString, QPointF> after, MovedType type)
    : Operation(map)
    , positionsBefore(std::move(before))
    , positionsAfter(std::move(after))
    , movedType(type)
{
    if (positionsBefore.size() == 1)
        setText(QObject::tr("Move ") + positionsBefore.firstKey());
    else
        setText(QObject::tr("Move items"));
}

void MoveItemsOperation::redo()
{
    if (!map)
        return;
    if (movedType == Devices)
        moveDevices(positionsAfter, true);
    else if (movedType == Clusters)
        moveClusters(positionsAfter);
    map->update();
    map->viewport()->update();
}

void MoveItemsOperation::undo()
{
    if (!map)
        return;
    if (movedType == Devices)
        moveDevices(positionsBefore, false);
    else if (movedType == Clusters)
        moveClusters(positionsBefore);
    map->update();
    map->viewport()->update();
}

void MoveItemsOperation::moveDevices(const QMap<QString, QPointF>& positions, bool forward)
{
    const QMap<QString, DeviceNodeItem*> items = map->getDeviceItems();
    for (auto it = positions.cbegin(); it != positions.cend(); ++it) {
        releaseTemporaryDevice(it.key());
        DeviceNodeItem* item = items.value(it.key());
        if (!item)
            continue;
        if (forward) {
            if (item->isUnplaced())
                formerlyUnplaced.insert(it.key());
            item->placeDevice(it.value());
        } else if (formerlyUnplaced.contains(it.key())) {
            item->unplaceDevice();
            item->setHovered(false);
        } else {
            item->placeDevice(it.value());
        }
    }
}

void MoveItemsOperation::moveClusters(const QMap<QString, QPointF>& positions)
{
    const QMap<QString, ClusterRectItem*>& clusters = map->getClusterItems();
    for (auto it = positions.cbegin(); it != positions.cend(); ++it) {
        if (ClusterRectItem* cluster = clusters.value(it.key()))
            cluster->setPos(it.value());
    }
}

void MoveItemsOperation::releaseTemporaryDevice(const QString& name)
{
    DeviceNodeItem* temporary = map->getCurrentTemporaryDevice();
    if (temporary && temporary->devName() == name) {
        temporary->setHovered(false);
        map->setCurrentTemporaryDevice(nullptr);
    }
}
