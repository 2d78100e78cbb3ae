#include "PasteDevicesOperation.h"

#include "DescribedLink.h"
#include "DeviceConnectionItem.h"
#include "DeviceManager.h"
#include "DeviceMapParts.h"
#include "DeviceMapWidget.h"
#include "DeviceNodeItem.h"
#include "MapItemIndex.h"
#include "MapManagerSync.h"
#include "MapWaitCursor.h"
#include "ReadonlyBracket.h"
#include "ZenticMessageBox.h"

#include <QApplication>
#include <QGraphicsScene>
#include <QObject>
#include <QtDebug>

namespace {

// A device of a networked manager ("device@manager") is created under that manager.
QString creationType(const DeviceInfo& info)
{
    const QStringList fields = info.name.split(QLatin1Char('@'));
    if (fields.size() < 2)
        return info.type;
    return fields.at(1) + QLatin1Char('/') + info.type;
}

void logIncorrectConnection(const QString& text)
{
    qDebug().nospace() << "incorrect connection: " << text;
}

} // namespace

PasteDevicesOperation::PasteDevicesOperation(DeviceMapWidget* map, QList<DeviceInfo> descriptions,
                                             DevicesArrangement arrangement, QPointF pastePoint)
    : Operation(map)
    , descriptions(std::move(descriptions))
    , arrangement(std::move(arrangement))
    , pastePoint(pastePoint)
{
    setText(QObject::tr("Paste devices"));
}

QStringList PasteDevicesOperation::createdDevices() const
{
    return createdNames;
}

void PasteDevicesOperation::redo()
{
    if (!map)
        return;
    MapWaitCursor busy(workOf(descriptions));
    const QList<QGraphicsItem*> selected = map->scene()->selectedItems();
    for (QGraphicsItem* item : selected)
        item->setSelected(false);

    ReadonlyBracket bracket(map->getDeviceManager(), map);
    createdNames.clear();
    const QList<QPair<QString, QString>> created = createDevices();
    QMap<QString, QString> nameMap;
    ShownItems items;
    if (!awaitItems(created, nameMap, items))
        return;

    JoinedPairs joined;
    bool allJoined = false;
    {
        // Each link is reported at both ends: each pasted device is checked once, when all are joined.
        MapManagerSync::Batch batch(map);
        allJoined = connectDevices(nameMap, joined);
    }
    if (nameMap.keys() == arrangement.deviceRects.keys())
        insideCopying(nameMap, items, joined);
    else
        outsideCopying(nameMap, items, joined);
    if (!map)
        return;
    map->update();
    // Saved before the box, so that nothing waits on the user's answer.
    bracket.close();
    if (allJoined)
        return;
    // The user reads the box: the paste's wait cursor is not for it.
    const bool waiting = MapWaitCursor::isShown();
    if (waiting)
        QApplication::setOverrideCursor(Qt::ArrowCursor);
    ZenticMessageBox::warning(map, QObject::tr("Incorrect connection."), QObject::tr("Something went wrong, check the log."),
                              QMessageBox::Ok, QMessageBox::Ok);
    if (waiting)
        QApplication::restoreOverrideCursor();
}

void PasteDevicesOperation::undo()
{
    if (!map)
        return;
    MapWaitCursor busy(workOf(descriptions));
    DeviceManager* manager = map->getDeviceManager();
    ReadonlyBracket bracket(manager, map);
    {
        MapManagerSync::Batch batch(map);
        for (const QString& name : qAsConst(createdNames))
            manager->removeDevice(name);
    }
    createdNames.clear();
    map->update();
    map->viewport()->repaint();
}

int PasteDevicesOperation::workOf(const QList<DeviceInfo>& infos)
{
    int work = infos.size();
    for (const DeviceInfo& info : infos)
        work += info.outgoingConnections.size() + info.connectionStrings.size();
    return work;
}

QList<QPair<QString, QString>> PasteDevicesOperation::createDevices()
{
    DeviceManager* manager = map->getDeviceManager();
    const MapItemIndex& index = DeviceMapParts(map).itemIndex();
    QList<QPair<QString, QString>> created;
    for (const DeviceInfo& info : qAsConst(descriptions)) {
        QString name = manager->createDevice(creationType(info), false);
        if (name.isEmpty())
            continue;
        // Refused, the device keeps the manager's name: the parameters must go to this device.
        if (name != info.name && !index.hasDevice(info.name) && manager->renameDevice(name, info.name))
            name = info.name;
        createdNames.append(name);
        created.append(qMakePair(info.name, name));
        for (auto value = info.paramValues.cbegin(); value != info.paramValues.cend(); ++value)
            manager->setDeviceParam(name, value.key(), value.value());
        manager->applyDeviceParams(name);
    }
    return created;
}

bool PasteDevicesOperation::awaitItems(const QList<QPair<QString, QString>>& created, QMap<QString, QString>& nameMap,
                                       ShownItems& items)
{
    for (const auto& device : created) {
        DeviceNodeItem* item = waitForDevice(device.second, itemWaitMs);
        if (!map)
            return false;
        if (!item) {
            logManagerNotResponding();
            continue;
        }
        nameMap.insert(device.first, device.second);
        items.insert(device.first, item);
    }
    return true;
}

bool PasteDevicesOperation::connectDevices(const QMap<QString, QString>& nameMap, JoinedPairs& joined)
{
    DeviceManager* manager = map->getDeviceManager();
    QStringList malformed;
    const QList<DescribedLink> links = DescribedLink::list(descriptions, &malformed);
    for (const QString& text : qAsConst(malformed))
        logIncorrectConnection(text);
    bool allJoined = malformed.isEmpty();
    for (const DescribedLink& link : links) {
        // Whole names only: pasting B beside a device AB must never reach AB.
        ConnectionString mapped = link.text;
        mapped.source = nameMap.value(link.text.source);
        const QString target = nameMap.value(link.target());
        if (mapped.source.isEmpty() || target.isEmpty()
            || !manager->addConnection(mapped.source, target, mapped.signal, mapped.slot)) {
            // A source missing from the pasted devices keeps the name it is written with.
            if (mapped.source.isEmpty())
                mapped.source = link.text.source;
            logIncorrectConnection(mapped.toString());
            allJoined = false;
            continue;
        }
        joined.insert(qMakePair(mapped.source, target));
    }
    return allJoined;
}

void PasteDevicesOperation::insideCopying(const QMap<QString, QString>& nameMap, const ShownItems& items,
                                          const JoinedPairs& joined)
{
    const QPointF offset = pastePoint - arrangement.center;
    QList<QPair<QPointer<DeviceNodeItem>, QPointF>> placements;
    for (auto it = nameMap.cbegin(); it != nameMap.cend(); ++it)
        placements.append(qMakePair(items.value(it.key()), arrangement.deviceRects.value(it.key()).center() + offset));
    placeItems(placements);
    dressLinks(arrangement.connections, nameMap, offset, joined);
}

void PasteDevicesOperation::outsideCopying(const QMap<QString, QString>& nameMap, const ShownItems& items,
                                           const JoinedPairs& joined)
{
    if (nameMap.isEmpty())
        return;
    DeviceManager* manager = map->getDeviceManager();
    QList<DeviceInfo> infos;
    QMap<QString, QString> sameNames;
    for (const QString& name : nameMap) {
        infos.append(manager->getDeviceInfo(name));
        sameNames.insert(name, name);
    }
    const DevicesArrangement fresh = map->rearrangeDevicesFromInfos(infos, map->getCurrentLayoutType());
    const QPointF offset = pastePoint - fresh.center;
    QList<QPair<QPointer<DeviceNodeItem>, QPointF>> placements;
    for (auto it = nameMap.cbegin(); it != nameMap.cend(); ++it) {
        if (fresh.deviceRects.contains(it.value()))
            placements.append(qMakePair(items.value(it.key()), fresh.deviceRects.value(it.value()).center() + offset));
    }
    placeItems(placements);
    dressLinks(fresh.connections, sameNames, offset, joined);
}

void PasteDevicesOperation::placeItems(const QList<QPair<QPointer<DeviceNodeItem>, QPointF>>& placements)
{
    // One growth of the scene for all items ends where growing it for each would.
    QRectF needed;
    for (const auto& placement : placements) {
        if (!placement.first)
            continue;
        const QSizeF size = placement.first->boundingRect().size();
        needed |= QRectF(placement.second - QPointF(size.width() / 2, size.height() / 2), size);
    }
    if (!needed.isNull())
        map->unitedSceneWithRect(needed);
    for (const auto& placement : placements) {
        if (!placement.first)
            continue;
        placement.first->setCenter(placement.second);
        placement.first->setSelected(true);
    }
}

void PasteDevicesOperation::dressLinks(const QList<ItemsConnection>& connections, const QMap<QString, QString>& nameMap,
                                       const QPointF& offset, const JoinedPairs& joined)
{
    for (const ItemsConnection& connection : connections) {
        const QString from = nameMap.value(connection.from);
        const QString to = nameMap.value(connection.to);
        if (from.isEmpty() || to.isEmpty())
            continue;
        DeviceConnectionItem* link = map->getConnection(from, to);
        // Only a link the manager made can still come.
        if (!link && joined.contains(qMakePair(from, to))) {
            link = waitForConnection(from, to, itemWaitMs);
            if (!map)
                return;
        }
        if (!link)
            continue;
        if (!connection.bendingPoints.isEmpty()) {
            QList<QPointF> moved;
            moved.reserve(connection.bendingPoints.size());
            for (const QPointF& point : connection.bendingPoints)
                moved.append(point + offset);
            link->setBendingPoints(moved);
        }
        link->update(QRectF());
    }
}
