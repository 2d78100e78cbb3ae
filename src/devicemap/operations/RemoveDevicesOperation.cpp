#include "RemoveDevicesOperation.h"

#include "DeviceConnectionItem.h"
#include "DeviceManager.h"
#include "DeviceMapParts.h"
#include "DeviceMapWidget.h"
#include "DeviceNodeItem.h"
#include "DeviceText.h"
#include "GraphOrder.h"
#include "MapItemIndex.h"
#include "MapManagerSync.h"
#include "MapWaitCursor.h"
#include "ReadonlyBracket.h"
#include "RunningCommands.h"

#include <QHash>
#include <QObject>
#include <QPair>
#include <QSet>

#include <algorithm>

namespace {

// Stands for a device that goes back among the unplaced devices, not onto the scene.
const QRectF unplacedMarker(-1, -1, -1, -1);

} // namespace

RemoveDevicesOperation::RemoveDevicesOperation(DeviceMapWidget* map, const QList<QGraphicsItem*>& items)
    : Operation(map)
{
    const MapItemIndex& index = DeviceMapParts(map).itemIndex();
    const DeviceNodeItem* temporary = map->getCurrentTemporaryDevice();
    QStringList names;
    // Undo re-creates the devices in the order of their descriptions, and the manager lists and
    // saves them in the order it created them. Taken in the graph's order, whatever the order of
    // the items, the devices brought back keep their order among themselves, and a removal of
    // the whole graph, undone, gives it back as it was.
    const QList<DeviceNodeItem*> devices = GraphOrder(manager).deviceItems(items);
    for (const DeviceNodeItem* item : devices) {
        const QString name = item->devName();
        // A device pulled out of the unplaced zone, or still waiting there, goes back there.
        const bool unplaced = item->isUnplaced() || (temporary && temporary->devName() == name);
        arrangement.deviceRects.insert(name, unplaced ? unplacedMarker : item->boundingRect().translated(item->pos()));
        names.append(name);
    }
    setText(names.size() == 1 ? QObject::tr("Remove device ") + names.first() : QObject::tr("Remove devices "));

    QSet<const DeviceConnectionItem*> recorded;
    // Equal connections can only share their ends: each is compared with those of its ends alone.
    QHash<QPair<QString, QString>, QList<int>> connectionsByEnds;
    for (int i = 0; i < names.size(); ++i) {
        DeviceInfo info = manager->getDeviceInfo(names.at(i));
        if (info.name.isEmpty())
            continue;
        // Brought back as the user left it: a device whose start failed is tried again, and
        // saved as meant to run, not as it ran.
        info.initialised = info.initialised || manager->isMeantToRun(info.name);
        // A link between two removed devices, or several pairs over one link, is kept once.
        const QList<DeviceConnectionItem*> links = index.linksOf(devices.at(i));
        for (const DeviceConnectionItem* link : links) {
            if (recorded.contains(link))
                continue;
            recorded.insert(link);
            ItemsConnection connection;
            connection.from = index.nameOf(link->getNodeFrom());
            connection.to = index.nameOf(link->getNodeTo());
            connection.bendingPoints = link->getBendingPoints();
            QList<int>& sameEnds = connectionsByEnds[qMakePair(connection.from, connection.to)];
            const bool known = std::any_of(sameEnds.cbegin(), sameEnds.cend(), [this, &connection](int index) {
                return arrangement.connections.at(index) == connection;
            });
            if (known)
                continue;
            sameEnds.append(arrangement.connections.size());
            arrangement.connections.append(connection);
        }
        currentNames.append(info.name);
        descriptions.append(std::move(info));
    }
}

void RemoveDevicesOperation::redo()
{
    if (!map || !manager)
        return;
    const RunningCommands::Scope running(map);
    MapWaitCursor busy(work());
    ReadonlyBracket bracket(manager, map);
    // The peers hear of each link that goes: each is checked once, when all are gone.
    MapManagerSync::Batch batch(map);
    // Every device goes, even when a host deletes the map on the manager's report of one.
    for (const QString& name : qAsConst(currentNames)) {
        if (name.isEmpty())
            continue;
        const DeviceNodeItem* temporary = map ? map->getCurrentTemporaryDevice() : nullptr;
        if (temporary && temporary->devName() == name)
            map->setCurrentTemporaryDevice(nullptr);
        manager->removeDevice(name);
    }
}

void RemoveDevicesOperation::undo()
{
    if (!map || !manager)
        return;
    const RunningCommands::Scope running(map);
    MapWaitCursor busy(work());
    // Saved once the devices, their links and places are back, as the removal was saved.
    ReadonlyBracket bracket(manager, map);
    QStringList created;
    {
        // Each restored link is reported at both ends: each device is checked once, when all are back.
        MapManagerSync::Batch batch(map);
        created = manager->pasteDevicesFromString(DeviceText::compose(descriptions), itemWaitMs);
    }
    takeRestoredNames(created);
    if (map)
        arrangeDevices();
}

int RemoveDevicesOperation::work() const
{
    return descriptions.size() + arrangement.connections.size();
}

QStringList RemoveDevicesOperation::deviceNames() const
{
    QStringList names;
    for (const DeviceInfo& info : descriptions)
        names.append(info.name);
    return names;
}

// The manager names the devices it re-created, in the order of the text, leaving out those it
// could not make: only then does a list of another length leave the other names unknown.
void RemoveDevicesOperation::takeRestoredNames(const QStringList& created)
{
    const QSet<QString> createdNames(created.cbegin(), created.cend());
    for (int i = 0; i < descriptions.size(); ++i) {
        const QString& former = descriptions.at(i).name;
        if (created.isEmpty() || createdNames.contains(former))
            currentNames[i] = former;
        else if (created.size() == descriptions.size())
            currentNames[i] = created.at(i);
        else
            currentNames[i].clear();
    }
}

void RemoveDevicesOperation::arrangeDevices()
{
    QMap<QString, QString> restored;
    for (int i = 0; i < descriptions.size(); ++i)
        restored.insert(descriptions.at(i).name, currentNames.at(i));

    // In name order, each waited for on its own: a device that never comes costs its wait only.
    for (auto it = restored.cbegin(); it != restored.cend(); ++it) {
        if (it.value().isEmpty())
            continue;
        DeviceNodeItem* item = waitForDevice(it.value(), itemWaitMs);
        if (!map)
            return;
        if (!item) {
            logManagerNotResponding();
            continue;
        }
        const QRectF rect = arrangement.deviceRects.value(it.key(), unplacedMarker);
        if (rect == unplacedMarker) {
            item->unplaceDevice();
            item->setHovered(false);
        } else {
            item->setCenter(rect.center());
        }
    }

    for (const ItemsConnection& connection : qAsConst(arrangement.connections)) {
        // A peer that was not removed here keeps its name.
        const QString from = restored.value(connection.from, connection.from);
        const QString to = restored.value(connection.to, connection.to);
        // A link is awaited only between devices that are there: no other can come back.
        if (!DeviceMapParts(map).itemIndex().device(from) || !DeviceMapParts(map).itemIndex().device(to))
            continue;
        DeviceConnectionItem* link = waitForConnection(from, to, itemWaitMs);
        if (!map)
            return;
        if (!link)
            continue;
        link->setBendingPoints(connection.bendingPoints);
        link->update(QRectF());
    }
}
