#include "MapClusters.h"

#include "ClusterRectItem.h"
#include "ClusterRules.h"
#include "CreateClusterOperation.h"
#include "DeviceMapParts.h"
#include "DeviceMapWidget.h"
#include "MapItemIndex.h"
#include "ModalRunner.h"

#include <QGraphicsScene>
#include <QPointer>

MapClusters::MapClusters(DeviceMapWidget& map)
    : map(map)
{
}

bool MapClusters::isAcceptableName(const QString& name) const
{
    const MapItemIndex& items = DeviceMapParts(map).itemIndex();
    return ClusterRules::isAcceptableName(name, [&items](const QString& candidate) {
        return items.clusters().contains(candidate);
    });
}

void MapClusters::createClusterByItems(const QList<QGraphicsItem*>& items)
{
    const DevicesArrangement arrangement = map.getDevicesArrangement(items);
    if (arrangement.isEmpty())
        return;
    const QRect extended = ClusterRules::extendedRect(arrangement.devicesRect);

    QPointer<DeviceMapWidget> alive(&map);
    bool ok = false;
    const QString name = ModalRunner::getText(&map, DeviceMapWidget::tr("Cluster name"),
                                              DeviceMapWidget::tr("Input name:"), QString(), &ok);
    if (!alive)
        return;
    QGraphicsScene* scene = map.scene();
    if (!ok || !isAcceptableName(name) || !ClusterRules::fitsInScene(extended, map.sceneRect(), ClusterRules::margin)) {
        scene->clearSelection();
        return;
    }
    map.pushOperation(new CreateClusterOperation(&map, name, ClusterRules::clusterRect(extended)));
    if (alive)
        scene->clearSelection();
}

void MapClusters::createClusterOnRect(const QRectF& rect)
{
    QPointer<DeviceMapWidget> alive(&map);
    bool ok = false;
    const QString name = ModalRunner::getText(&map, DeviceMapWidget::tr("Cluster name"),
                                              DeviceMapWidget::tr("Input name:"), QString(), &ok);
    if (!alive || !ok || !isAcceptableName(name) || !map.scene()->sceneRect().contains(rect))
        return;
    map.pushOperation(new CreateClusterOperation(&map, name, rect));
}

void MapClusters::createClusterFromSelection()
{
    const QList<QGraphicsItem*> selection = map.scene()->selectedItems();
    if (!selection.isEmpty())
        createClusterByItems(selection);
}

void MapClusters::createClusterForTemplate(const QString& templateName, const QList<QGraphicsItem*>& items)
{
    const DevicesArrangement arrangement = map.getDevicesArrangement(items);
    if (arrangement.isEmpty())
        return;
    const QRect extended = ClusterRules::extendedRect(arrangement.devicesRect);
    const MapItemIndex& index = DeviceMapParts(map).itemIndex();
    const QString name = ClusterRules::templateClusterName(templateName, [&index](const QString& candidate) {
        return index.clusters().contains(candidate) || index.hasDevice(candidate);
    });
    if (!ClusterRules::fitsInScene(extended, map.sceneRect(), 0))
        return;
    map.pushOperation(new CreateClusterOperation(&map, name, ClusterRules::clusterRect(extended)));
}

void MapClusters::createItem(const QString& name, const QRectF& rect)
{
    auto cluster = new ClusterRectItem(name, QRectF(0, 0, rect.width(), rect.height()), nullptr);
    cluster->setPos(rect.topLeft());
    cluster->setColor(Qt::darkGreen);
    cluster->setZValue(-1.0);
    cluster->setFlags(QGraphicsItem::ItemIsMovable | QGraphicsItem::ItemSendsScenePositionChanges);
    // A second cluster of the same name replaces the first; the old item must not stay behind.
    DeviceMapParts(map).itemIndex().insertCluster(name, cluster);
    map.scene()->addItem(cluster);
}
