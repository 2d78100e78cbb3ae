#include "MapLinks.h"

#include "DeviceConnectionItem.h"
#include "DeviceManager.h"
#include "DeviceMapParts.h"
#include "DeviceMapWidget.h"
#include "DeviceNodeItem.h"
#include "MapItemIndex.h"

#include <QGraphicsScene>
#include <QtDebug>

namespace {

QStringList connectionMethods(DeviceManager* manager, const QString& target, const QString& source,
                              QString Connection::*method)
{
    QStringList result;
    const DeviceInfo info = manager->getDeviceInfo(target);
    for (const Connection& connection : info.incomingConnections) {
        if (connection.device == source)
            result.append(connection.*method);
    }
    return result;
}

} // namespace

MapLinks::MapLinks(DeviceMapWidget& map)
    : map(map)
{
}

void MapLinks::create(const QString& from, const QString& to, const QList<QPointF>& bends)
{
    MapItemIndex& items = DeviceMapParts(map).itemIndex();
    DeviceNodeItem* source = items.device(from);
    DeviceNodeItem* target = items.device(to);
    if (!source || !target)
        return;
    create(source, target, bends);
}

DeviceConnectionItem* MapLinks::create(DeviceNodeItem* source, DeviceNodeItem* target, const QList<QPointF>& bends)
{
    // Links lie below the nodes at z 0, where every item starts.
    auto link = new DeviceConnectionItem(source, target, bends);
    DeviceMapParts(map).itemIndex().insertLink(link);
    map.scene()->addItem(link);
    return link;
}

DeviceConnectionItem* MapLinks::find(const QString& from, const QString& to) const
{
    const MapItemIndex& items = DeviceMapParts(map).itemIndex();
    return items.link(items.device(from), items.device(to));
}

void MapLinks::split(const QString& a, const QString& b)
{
    DeviceConnectionItem* first = find(a, b);
    DeviceConnectionItem* second = find(b, a);
    if (!first || !second) {
        qWarning().noquote() << "Can not split connections. One of the connections does not exist.";
        return;
    }
    if (first->getBendingPoints().isEmpty() && second->getBendingPoints().isEmpty()) {
        first->split();
        second->split();
        return;
    }
    qWarning().noquote() << QString::fromUtf8("\xD0\xA1" "an not split a connections with bending points.");
}

QStringList MapLinks::signalsOf(const QString& target, const QString& source) const
{
    return connectionMethods(map.getDeviceManager(), target, source, &Connection::signal);
}

QStringList MapLinks::slotsOf(const QString& target, const QString& source) const
{
    return connectionMethods(map.getDeviceManager(), target, source, &Connection::slot);
}

// Walked with a list of its own rather than by recursion: a long chain of unplaced devices
// would otherwise run as deep as it is long.
void MapLinks::markConnectedUnplaced(const QString& name, QMap<QString, bool>& marks) const
{
    const MapItemIndex& items = DeviceMapParts(map).itemIndex();
    if (!items.device(name))
        return;
    marks[name] = true;
    QStringList pending{name};
    while (!pending.isEmpty()) {
        const DeviceInfo& info = items.device(pending.takeLast())->devInfo();
        for (const QList<Connection>* peers : {&info.incomingConnections, &info.outgoingConnections}) {
            for (const Connection& connection : *peers) {
                DeviceNodeItem* peer = items.device(connection.device);
                if (peer && peer->isUnplaced() && !marks.value(connection.device)) {
                    marks[connection.device] = true;
                    pending.append(connection.device);
                }
            }
        }
    }
}
