#include "MapMoves.h"

#include "ClusterRectItem.h"
#include "DeviceConnectionItem.h"
#include "DeviceManager.h"
#include "DeviceMapParts.h"
#include "DeviceMapWidget.h"
#include "DeviceNodeItem.h"
#include "MapInteraction.h"
#include "MapItemIndex.h"
#include "MoveItemsOperation.h"
#include "RunningCommands.h"

#include <QLineF>
#include <QPointer>

namespace {

// The recorded position of a device that had no place before the drag; undo unplaces it again.
const QPointF noPlace(-1, -1);

} // namespace

MapMoves::MapMoves(DeviceMapWidget& map)
    : map(map)
{
}

void MapMoves::moveItems()
{
    QPointer<DeviceMapWidget> alive(&map);
    const QMap<QString, QPointF> devices = moveDevices();
    if (!alive)
        return;
    const QMap<QString, QPointF> clusters = moveClusters();
    MapInteraction& pointer = DeviceMapParts(map).interaction();
    const QMap<QString, QPointF> devicesBefore = pointer.devicePositionsAtPress();
    const QMap<QString, QPointF> clustersBefore = pointer.clusterPositionsAtPress();
    pointer.devicePositionsAtPress().clear();
    pointer.clusterPositionsAtPress().clear();
    // A click is a press and a release without a move: it leaves nothing to undo.
    if (devices.isEmpty() && clusters.isEmpty())
        return;
    // One command, refused as a whole inside another one: a push refused halfway would leave
    // half a macro behind.
    const RunningCommands::Entry command(&map, "MapMoves::moveItems()");
    if (!command.hasBegun())
        return;

    if (clusters.isEmpty()) {
        RunningCommands::OwnStep own(&map);
        map.pushOperation(new MoveItemsOperation(&map, devicesBefore, devices, MoveItemsOperation::Devices));
    } else if (!devices.isEmpty()) {
        // The macro's own pushes go straight on the stack, inside this command.
        QUndoStack* stack = map.getUndoStack();
        stack->beginMacro(DeviceMapWidget::tr("Move template"));
        stack->push(new MoveItemsOperation(&map, devicesBefore, devices, MoveItemsOperation::Devices));
        stack->push(new MoveItemsOperation(&map, clustersBefore, clusters, MoveItemsOperation::Clusters));
        stack->endMacro();
    } else {
        RunningCommands::OwnStep own(&map);
        map.pushOperation(new MoveItemsOperation(&map, clustersBefore, clusters, MoveItemsOperation::Clusters));
    }
}

QMap<QString, QPointF> MapMoves::moveDevices()
{
    QMap<QString, QPointF> newPositions;
    MapInteraction& pointer = DeviceMapParts(map).interaction();
    const MapItemIndex& index = DeviceMapParts(map).itemIndex();
    // A copy: dropping a pulled group records its devices as having had no place.
    const QMap<QString, QPointF> atPress = pointer.devicePositionsAtPress();
    for (auto it = atPress.cbegin(); it != atPress.cend(); ++it) {
        DeviceNodeItem* item = index.device(it.key());
        if (!item || item->pos() == it.value())
            continue;
        DeviceNodeItem* pulled = pointer.temporaryDevice();
        if (pulled)
            pulled->setOpacity(1.0);
        if (item != pulled)
            newPositions.insert(it.key(), item->pos());
        else if (!dropTemporaryDevice(pulled, newPositions))
            return {};
    }
    return newPositions;
}

bool MapMoves::dropTemporaryDevice(DeviceNodeItem* pulled, QMap<QString, QPointF>& newPositions)
{
    const QString name = pulled->devName();
    QMap<QString, bool> marks;
    map.getConnectedDevices(name, marks);
    QStringList group;
    for (auto it = marks.cbegin(); it != marks.cend(); ++it) {
        if (it.value())
            group.append(it.key());
    }

    const QWidget* viewport = map.viewport();
    const QPointF zone = map.mapToScene(QPoint(int(viewport->width() - 100.0), int(viewport->height() - 100.0)));
    const QPointF pointerPos = DeviceMapParts(map).interaction().pointerScenePos();
    const bool alone = group.size() < 2;
    const double distance = QLineF(zone, alone ? pulled->pos() : pointerPos).length();

    if (distance <= zoneReturnDistance) {
        pulled->setHovered(false);
        pulled->unplaceDevice();
        releaseTemporaryDevice();
        return true;
    }
    if (alone) {
        pulled->resetTransform();
        DeviceMapParts(map).interaction().devicePositionsAtPress().insert(name, noPlace);
        pulled->unplaceDevice();
        releaseTemporaryDevice();
        newPositions.insert(name, pulled->pos());
        return true;
    }
    if (!placeGroup(group, pointerPos, newPositions))
        return false;
    releaseTemporaryDevice();
    newPositions.insert(name, pulled->pos());
    return true;
}

// The group keeps the shape of its layout, with the layout's centre under the pointer. Each
// device is recorded as having had no place and hidden again: the pushed move places them all.
bool MapMoves::placeGroup(const QStringList& group, const QPointF& pointer, QMap<QString, QPointF>& newPositions)
{
    const MapItemIndex& index = DeviceMapParts(map).itemIndex();
    for (const QString& member : group) {
        if (DeviceNodeItem* item = index.device(member))
            item->resetTransform();
    }
    QPointer<DeviceMapWidget> alive(&map);
    const DevicesArrangement arrangement = layOutGroup(group);
    // The layout's wait may see the map deleted outright, and the items with it.
    if (!alive)
        return false;
    const QPointF shift = pointer - arrangement.center;
    QMap<QString, QPointF>& atPress = DeviceMapParts(map).interaction().devicePositionsAtPress();
    for (auto it = arrangement.deviceRects.cbegin(); it != arrangement.deviceRects.cend(); ++it) {
        DeviceNodeItem* item = index.device(it.key());
        if (!item)
            continue;
        const QPointF center = it.value().center() + shift;
        const QSizeF size = item->boundingRect().size();
        map.unitedSceneWithRect(QRectF(center - QPointF(size.width() / 2, size.height() / 2), size));
        item->setCenter(center);
        atPress.insert(it.key(), noPlace);
        item->unplaceDevice();
        newPositions.insert(it.key(), item->pos());
    }
    for (const ItemsConnection& connection : arrangement.connections) {
        DeviceConnectionItem* link = map.getConnection(connection.from, connection.to);
        if (!link)
            continue;
        if (!connection.bendingPoints.isEmpty()) {
            QList<QPointF> bends;
            for (const QPointF& bend : connection.bendingPoints)
                bends.append(bend + shift);
            link->setBendingPoints(bends);
        }
        link->update(QRectF());
    }
    return true;
}

void MapMoves::releaseTemporaryDevice()
{
    DeviceMapParts(map).interaction().setTemporaryDevice(nullptr);
    map.viewport()->update();
}

QMap<QString, QPointF> MapMoves::moveClusters()
{
    QMap<QString, QPointF> newPositions;
    const MapItemIndex& index = DeviceMapParts(map).itemIndex();
    const QMap<QString, QPointF>& atPress = DeviceMapParts(map).interaction().clusterPositionsAtPress();
    for (auto it = atPress.cbegin(); it != atPress.cend(); ++it) {
        ClusterRectItem* cluster = index.cluster(it.key());
        if (!cluster)
            continue;
        if (cluster->getMovesContainedDevices()) {
            const QRectF area(cluster->pos(), cluster->rect().size());
            for (DeviceNodeItem* device : index.devices()) {
                if (area.contains(device->boundingRect().translated(device->pos())))
                    device->setSelected(false);
            }
        }
        if (cluster->pos() != it.value())
            newPositions.insert(it.key(), cluster->pos());
    }
    return newPositions;
}

void MapMoves::setGroupLayout(GroupLayout layout)
{
    groupLayout = std::move(layout);
}

DevicesArrangement MapMoves::layOutGroup(const QStringList& names) const
{
    if (groupLayout)
        return groupLayout(names);
    QList<DeviceInfo> infos;
    for (const QString& name : names)
        infos.append(map.getDeviceManager()->getDeviceInfo(name));
    return map.rearrangeDevicesFromInfos(infos, map.getCurrentLayoutType());
}
