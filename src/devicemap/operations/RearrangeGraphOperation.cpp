#include "RearrangeGraphOperation.h"

#include "ClusterRectItem.h"
#include "DeviceConnectionItem.h"
#include "DeviceMapParts.h"
#include "DeviceMapWidget.h"
#include "DeviceNodeItem.h"
#include "MapItemIndex.h"
#include "MapViewFocus.h"
#include "MapWaitCursor.h"
#include "SceneIndexPause.h"

#include <QObject>

RearrangeGraphOperation::RearrangeGraphOperation(DeviceMapWidget* map, DevicesArrangement oldArrangement,
                                                 DevicesArrangement newArrangement, QRectF oldSceneRect)
    : Operation(map)
    , oldArrangement(std::move(oldArrangement))
    , newArrangement(std::move(newArrangement))
    , oldSceneRect(oldSceneRect)
{
    setText(QObject::tr("Rearrange graph"));
}

void RearrangeGraphOperation::redo()
{
    rememberClusterSettings(oldArrangement);
    apply(newArrangement, sceneRectFor(newArrangement.devicesRect), Step::Redo);
}

void RearrangeGraphOperation::undo()
{
    rememberClusterSettings(newArrangement);
    apply(oldArrangement, oldSceneRect, Step::Undo);
}

QRectF RearrangeGraphOperation::sceneRectFor(const QRectF& devicesRect)
{
    const int width = devicesRect.width() <= 300.0 ? 500 : int(devicesRect.width()) + 200;
    const int height = devicesRect.height() < 200.0 ? 400 : int(devicesRect.height()) + 200;
    return QRectF(0, 0, width, height);
}

void RearrangeGraphOperation::apply(const DevicesArrangement& arrangement, const QRectF& sceneRect, Step step)
{
    if (!map)
        return;
    MapWaitCursor busy(arrangement.deviceRects.size() + arrangement.connections.size());
    MapViewFocus focus(*map);
    // Every device and link changes its geometry here: kept up to date item by item, the
    // scene's index would cost the square of the links on a densely linked map.
    const SceneIndexPause pause(map->scene());
    const bool snapping = DeviceNodeItem::getGridOn();
    DeviceNodeItem::setGridOn(false);

    map->update();
    map->setSceneRects(sceneRect);
    map->resizeSceneRectToViewRect();
    placeDevices(arrangement);
    // The stored bends of undo are those the map had, split ones included: nothing is split again.
    bendLinks(arrangement, step == Step::Redo);
    rearrangeClusters(arrangement);
    if (step == Step::Redo) {
        viewedBeforeRedo = focus.viewed();
        focus.follow();
    } else {
        focus.returnTo(viewedBeforeRedo);
    }
    map->viewport()->repaint();

    DeviceNodeItem::setGridOn(snapping);
}

void RearrangeGraphOperation::placeDevices(const DevicesArrangement& arrangement)
{
    const MapItemIndex& items = DeviceMapParts(map).itemIndex();
    for (auto it = arrangement.deviceRects.cbegin(); it != arrangement.deviceRects.cend(); ++it) {
        DeviceNodeItem* item = items.device(it.key());
        if (!item)
            continue;
        const QRectF& rect = it.value();
        // A device of the size it had when captured goes back to its very corner; working it
        // out from the centre could be off in the last bit.
        if (item->boundingRect().size() == rect.size())
            item->placeDevice(rect.topLeft());
        else
            item->setCenter(QPointF(rect.x() + rect.width() * 0.5, rect.y() + rect.height() * 0.5));
        item->update();
    }
}

void RearrangeGraphOperation::bendLinks(const DevicesArrangement& arrangement, bool splitOppositeLinks)
{
    for (const ItemsConnection& connection : arrangement.connections) {
        DeviceConnectionItem* link = map->getConnection(connection.from, connection.to);
        if (!link)
            continue;
        link->setBendingPoints(connection.bendingPoints);
        if (splitOppositeLinks) {
            DeviceConnectionItem* reverse = map->getConnection(connection.to, connection.from);
            if (reverse && link->getBendingPoints().isEmpty() && reverse->getBendingPoints().isEmpty()) {
                link->update(QRectF());
                reverse->update(QRectF());
                map->splitConnections(connection.from, connection.to);
            }
        }
        link->update(QRectF());
    }
}

void RearrangeGraphOperation::rememberClusterSettings(DevicesArrangement& leaving) const
{
    if (!map)
        return;
    // Settings are no undo step of their own: what the user set on the clusters the map is
    // about to leave comes back with them, as the user left it, when the stack returns here.
    const QMap<QString, ClusterRectItem*>& clusters = map->getClusterItems();
    for (auto it = leaving.clusterRects.cbegin(); it != leaving.clusterRects.cend(); ++it) {
        if (const ClusterRectItem* cluster = clusters.value(it.key()))
            leaving.clusterSettings.insert(it.key(), cluster->settings());
    }
}

void RearrangeGraphOperation::rearrangeClusters(const DevicesArrangement& arrangement)
{
    if (!map)
        return;
    // A cluster kept by name keeps what the user set on it, unless the arrangement says what.
    QMap<QString, ClusterSettings> settings;
    for (auto it = map->getClusterItems().cbegin(); it != map->getClusterItems().cend(); ++it) {
        if (it.value() && arrangement.clusterRects.contains(it.key()))
            settings.insert(it.key(), it.value()->settings());
    }
    for (auto it = arrangement.clusterSettings.cbegin(); it != arrangement.clusterSettings.cend(); ++it)
        settings.insert(it.key(), it.value());

    // By the key of the table: a cluster item may carry another name than its entry.
    const QStringList names = map->getClusterItems().keys();
    for (const QString& name : names) {
        map->setHoveredItem(nullptr);
        map->removeCluster(name);
    }
    map->update();
    map->viewport()->update();

    for (auto it = arrangement.clusterRects.cbegin(); it != arrangement.clusterRects.cend(); ++it) {
        map->createCluster(it.key(), it.value());
        ClusterRectItem* cluster = map->getClusterItems().value(it.key());
        if (!cluster)
            continue;
        const auto given = settings.constFind(it.key());
        if (given != settings.constEnd())
            cluster->setSettings(*given);
        cluster->update(QRectF());
    }
}
