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
#include "RunningCommands.h"
#include "ZenticMessageBox.h"

#include <QApplication>
#include <QGraphicsScene>
#include <QObject>
#include <QVector>
#include <QtDebug>

#include <algorithm>

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

// Once per name, however often it comes again.
void logRepeatedNames(const QList<DeviceInfo>& infos)
{
    QSet<QString> seen;
    QSet<QString> logged;
    for (const DeviceInfo& info : infos) {
        if (seen.contains(info.name) && !logged.contains(info.name)) {
            qWarning().nospace() << "repeated device name, links naming it join the first device of that name: "
                                 << info.name;
            logged.insert(info.name);
        }
        seen.insert(info.name);
    }
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
    if (!map || !manager)
        return;
    const RunningCommands::Scope running(map);
    MapWaitCursor busy(workOf(descriptions));
    const QList<QGraphicsItem*> selected = map->scene()->selectedItems();
    for (QGraphicsItem* item : selected)
        item->setSelected(false);

    ReadonlyBracket bracket(manager, map);
    createdNames.clear();
    const QList<QPair<int, QString>> created = createDevices();
    ShownDevices shown;
    if (!awaitItems(created, shown)) {
        joinWithoutMap(created);
        return;
    }

    JoinedPairs joined;
    bool allJoined = false;
    {
        // Each link is reported at both ends: each pasted device is checked once, when all are joined.
        MapManagerSync::Batch batch(map);
        allJoined = connectDevices(shown, joined);
    }
    if (!map)
        return;
    QStringList pastedNames;
    for (const ShownDevice& device : qAsConst(shown))
        pastedNames.append(descriptions.at(device.entry).name);
    pastedNames.sort();
    // A name pasted twice never matches: the arrangement has one rectangle per name.
    if (pastedNames == arrangement.deviceRects.keys())
        insideCopying(shown, joined);
    else
        outsideCopying(shown, joined);
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
    if (!map || !manager)
        return;
    const RunningCommands::Scope running(map);
    MapWaitCursor busy(workOf(descriptions));
    ReadonlyBracket bracket(manager, map);
    {
        MapManagerSync::Batch batch(map);
        for (const QString& name : qAsConst(createdNames))
            manager->removeDevice(name);
    }
    createdNames.clear();
    if (!map)
        return;
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

QList<QPair<int, QString>> PasteDevicesOperation::createDevices()
{
    QList<QPair<int, QString>> created;
    for (int entry = 0; entry < descriptions.size(); ++entry) {
        const DeviceInfo& info = descriptions.at(entry);
        QString name = manager->createDevice(creationType(info), false);
        if (name.isEmpty())
            continue;
        // Refused, the device keeps the manager's name: the parameters must go to this device.
        if (name != info.name && !shownOnMap(info.name) && manager->renameDevice(name, info.name))
            name = info.name;
        createdNames.append(name);
        created.append(qMakePair(entry, name));
        for (auto value = info.paramValues.cbegin(); value != info.paramValues.cend(); ++value)
            manager->setDeviceParam(name, value.key(), value.value());
        manager->applyDeviceParams(name);
    }
    return created;
}

bool PasteDevicesOperation::awaitItems(const QList<QPair<int, QString>>& created, ShownDevices& shown)
{
    for (const auto& device : created) {
        DeviceNodeItem* item = waitForDevice(device.second, itemWaitMs);
        if (!map)
            return false;
        if (!item) {
            logManagerNotResponding();
            continue;
        }
        shown.append(ShownDevice{device.first, device.second, item});
    }
    return true;
}

bool PasteDevicesOperation::connectDevices(const ShownDevices& shown, JoinedPairs& joined)
{
    logRepeatedNames(descriptions);
    QVector<QString> devices(descriptions.size());
    for (const ShownDevice& device : shown)
        devices[device.entry] = device.name;
    auto deviceOf = [&devices](int entry) { return entry < 0 ? QString() : devices.at(entry); };
    QStringList malformed;
    const QList<DescribedLink> links = DescribedLink::list(descriptions, &malformed);
    for (const QString& text : qAsConst(malformed))
        logIncorrectConnection(text);
    bool allJoined = malformed.isEmpty();
    for (const DescribedLink& link : links) {
        // By entry, so by whole name: pasting B beside a device AB must never reach AB.
        ConnectionString mapped = link.text;
        mapped.source = deviceOf(link.sourceEntry);
        const QString target = deviceOf(link.targetEntry);
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

// A device of the map bears the name; with the map gone, the manager alone decides.
bool PasteDevicesOperation::shownOnMap(const QString& name) const
{
    return map && DeviceMapParts(map).itemIndex().hasDevice(name);
}

// Every device made is joined as described, with no item to wait for, place or tell about.
void PasteDevicesOperation::joinWithoutMap(const QList<QPair<int, QString>>& created)
{
    ShownDevices made;
    for (const auto& device : created)
        made.append(ShownDevice{device.first, device.second, nullptr});
    JoinedPairs joined;
    connectDevices(made, joined);
}

QMap<QString, QString> PasteDevicesOperation::firstOfEachName(const ShownDevices& shown) const
{
    QMap<QString, QString> names;
    for (const ShownDevice& device : shown) {
        const QString& pasted = descriptions.at(device.entry).name;
        if (!names.contains(pasted))
            names.insert(pasted, device.name);
    }
    return names;
}

void PasteDevicesOperation::insideCopying(const ShownDevices& shown, const JoinedPairs& joined)
{
    const QPointF offset = pastePoint - arrangement.center;
    QList<QPair<QPointer<DeviceNodeItem>, QPointF>> placements;
    for (const ShownDevice& device : shown) {
        const QRectF rect = arrangement.deviceRects.value(descriptions.at(device.entry).name);
        placements.append(qMakePair(device.item, rect.center() + offset));
    }
    placeItems(placements);
    dressLinks(arrangement.connections, firstOfEachName(shown), offset, joined);
}

void PasteDevicesOperation::outsideCopying(const ShownDevices& shown, const JoinedPairs& joined)
{
    if (shown.isEmpty())
        return;
    // In the order of their pasted names, as a paste's own arrangement was made.
    ShownDevices ordered = shown;
    std::stable_sort(ordered.begin(), ordered.end(), [this](const ShownDevice& a, const ShownDevice& b) {
        return descriptions.at(a.entry).name < descriptions.at(b.entry).name;
    });
    DeviceManager* manager = map->getDeviceManager();
    QList<DeviceInfo> infos;
    QMap<QString, QString> sameNames;
    for (const ShownDevice& device : qAsConst(ordered)) {
        infos.append(manager->getDeviceInfo(device.name));
        sameNames.insert(device.name, device.name);
    }
    const DevicesArrangement fresh = map->rearrangeDevicesFromInfos(infos, map->getCurrentLayoutType());
    // The layout's wait may see the map deleted: the devices are made and joined already.
    if (!map)
        return;
    const QPointF offset = pastePoint - fresh.center;
    QList<QPair<QPointer<DeviceNodeItem>, QPointF>> placements;
    for (const ShownDevice& device : qAsConst(ordered)) {
        if (fresh.deviceRects.contains(device.name))
            placements.append(qMakePair(device.item, fresh.deviceRects.value(device.name).center() + offset));
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
