#include "ArrangementCapture.h"

#include "ClusterRectItem.h"
#include "DeviceConnectionItem.h"
#include "DeviceManager.h"
#include "DeviceNodeItem.h"
#include "GraphOrder.h"
#include "MapItemIndex.h"

#include <QHash>
#include <QSet>

ArrangementCapture::ArrangementCapture(const MapItemIndex& items, DeviceManager* manager)
    : items(items)
    , manager(manager)
{
}

DevicesArrangement ArrangementCapture::capture(const QList<QGraphicsItem*>& listed) const
{
    DevicesArrangement arrangement;
    // The devices' text is written in this order: the graph's, whatever order the items came in.
    const QList<DeviceNodeItem*> devices = GraphOrder(manager).deviceItems(listed);
    QSet<QString> names;
    QStringList orderedNames;
    QPointF centerSum;
    int count = 0;
    for (DeviceNodeItem* item : devices) {
        const QRectF rect = item->boundingRect().translated(item->pos());
        arrangement.deviceRects.insert(item->devName(), rect);
        arrangement.devicesRect = arrangement.devicesRect | rect;
        centerSum += item->getCenter();
        ++count;
        names.insert(item->devName());
        orderedNames.append(item->devName());
    }
    const QMap<QString, ClusterRectItem*>& clusters = items.clusters();
    for (auto it = clusters.cbegin(); it != clusters.cend(); ++it) {
        const QRectF rect = it.value()->rect().translated(it.value()->pos());
        arrangement.clusterRects.insert(it.key(), rect);
        arrangement.clusterSettings.insert(it.key(), it.value()->settings());
        arrangement.clustersRect = arrangement.clustersRect | rect;
    }
    arrangement.boundingRect = arrangement.devicesRect | arrangement.clustersRect;
    if (count > 0)
        arrangement.center = centerSum / count;

    // Each link is met from both of its ends; a table of what is recorded keeps the check linear.
    QHash<QPair<QString, QString>, QList<int>> recorded;
    auto addConnection = [&](const QString& from, const QString& to) {
        ItemsConnection candidate;
        candidate.from = from;
        candidate.to = to;
        if (DeviceConnectionItem* link = items.link(items.device(from), items.device(to)))
            candidate.bendingPoints = link->getBendingPoints();
        QList<int>& same = recorded[qMakePair(from, to)];
        for (int index : qAsConst(same)) {
            if (arrangement.connections.at(index) == candidate)
                return;
        }
        same.append(arrangement.connections.size());
        arrangement.connections.append(candidate);
    };
    arrangement.devices.reserve(names.size());
    for (const QString& name : qAsConst(orderedNames)) {
        DeviceInfo info = manager->getDeviceInfo(name);
        for (int i = info.incomingConnections.size() - 1; i >= 0; --i) {
            if (!names.contains(info.incomingConnections.at(i).device))
                info.incomingConnections.removeAt(i);
        }
        for (int i = info.outgoingConnections.size() - 1; i >= 0; --i) {
            if (!names.contains(info.outgoingConnections.at(i).device))
                info.outgoingConnections.removeAt(i);
        }
        for (const Connection& connection : qAsConst(info.incomingConnections))
            addConnection(connection.device, name);
        for (const Connection& connection : qAsConst(info.outgoingConnections))
            addConnection(name, connection.device);
        arrangement.devices.append(info);
    }
    return arrangement;
}

DevicesArrangement ArrangementCapture::captureAll() const
{
    QList<QGraphicsItem*> placed;
    const QMap<QString, DeviceNodeItem*>& devices = items.devices();
    for (DeviceNodeItem* item : devices) {
        if (item && !item->isUnplaced())
            placed.append(item);
    }
    return capture(placed);
}
