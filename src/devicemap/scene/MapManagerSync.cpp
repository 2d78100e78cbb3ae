#include "MapManagerSync.h"

#include "ClusterRectItem.h"
#include "ConnectionDrawing.h"
#include "DeviceConnectionItem.h"
#include "DeviceManager.h"
#include "DeviceMapParts.h"
#include "DeviceMapWidget.h"
#include "DeviceNodeItem.h"
#include "KeptDevicePlaces.h"
#include "MapItemIndex.h"
#include "MapLayoutFile.h"
#include "MapLinks.h"

#include <QFontMetricsF>
#include <QGraphicsScene>
#include <QHash>
#include <QSet>
#include <QtDebug>

#include <algorithm>
#include <cmath>
#include <utility>
#include <vector>

MapManagerSync::MapManagerSync(DeviceMapWidget& map)
    : map(map)
    , keptPlaces(std::make_unique<KeptDevicePlaces>(map.getDeviceManager()))
{
}

MapManagerSync::~MapManagerSync() = default;

void MapManagerSync::followManager()
{
    DeviceManager* manager = map.getDeviceManager();
    QObject::connect(manager, SIGNAL(deviceChanged(QString)), &map, SLOT(deviceChanged(QString)));
    QObject::connect(manager, SIGNAL(deviceDescriptionChanged(QString,QString)), &map,
                     SLOT(deviceDescriptionChanged(QString,QString)));
    QObject::connect(manager, SIGNAL(deviceInitialised(QString,bool)), &map, SLOT(deviceInitialised(QString,bool)));
    QObject::connect(manager, SIGNAL(deviceStateChanged(QString, BaseDevice::DeviceState)), &map,
                     SLOT(deviceStateChanged(QString, BaseDevice::DeviceState)));
    QObject::connect(manager, SIGNAL(deviceRegistered(QString)), &map, SLOT(deviceRegistered(QString)));
    QObject::connect(manager, SIGNAL(deviceRemoved(QString)), &map, SLOT(deviceRemoved(QString)));
    QObject::connect(manager, SIGNAL(deviceRenamed(QString,QString)), &map, SLOT(deviceRenamed(QString,QString)));
    QObject::connect(manager, SIGNAL(onEmit(QString,QString)), &map, SLOT(connectionActivated(QString,QString)));
    QObject::connect(manager, SIGNAL(needUpdateTypes()), &map, SLOT(updateTypesMenu()));
    QObject::connect(manager, &DeviceManager::initialised, &map, [this] { graphLoaded(); });
}

void MapManagerSync::graphLoaded()
{
    // Before its scene is built, the map takes them from the file it builds the scene from.
    if (sceneBuilt)
        keptPlaces->rememberFile(map.getLayoutFile());
}

void MapManagerSync::createGraph()
{
    const MapLayoutFile layout = MapLayoutFile::read(map.getLayoutFile());
    keptPlaces->remember(layout);
    initialiseScene(layout);
    MapItemIndex& items = DeviceMapParts(map).itemIndex();
    DeviceManager* manager = map.getDeviceManager();
    // On a map without links (its first build) no link exists yet that the build could repeat.
    const bool linksBefore = items.linkCount() > 0;

    int x = 0;
    int y = 0;
    const QStringList names = manager->getDeviceNames();
    // About two links a device, as in most graphs: the tables grow once instead of step by step.
    items.reserve(items.devices().size() + names.size(), items.linkCount() + 2 * names.size());
    // Filed all at once after the loop, in name order.
    QVector<QPair<QString, DeviceNodeItem*>> newDevices;
    newDevices.reserve(names.size());
    // The links below reuse the descriptions' connections.
    std::vector<QList<Connection>> outgoing;
    outgoing.reserve(size_t(names.size()));
    QHash<QString, double> typeWidths;
    const QFontMetricsF mainMetrics(map.font());
    const QFontMetricsF smallMetrics(map.getSmallFont());
    // One call for every description: a look-up by name for each would cost a tenth of the build.
    QVector<DeviceInfo> infos = manager->getDeviceInfos();
    for (int i = 0; i < names.size(); ++i) {
        const QString& name = names.at(i);
        DeviceInfo info = i < infos.size() && infos.at(i).name == name ? std::move(infos[i])
                                                                       : manager->getDeviceInfo(name);
        outgoing.push_back(info.outgoingConnections);
        // Most devices share one of a few types: each type is measured once.
        auto typeWidth = typeWidths.constFind(info.type);
        if (typeWidth == typeWidths.cend())
            typeWidth = typeWidths.insert(info.type, smallMetrics.horizontalAdvance(info.type));
        const double descriptionWidth =
            info.description.isEmpty() ? 0.0 : mainMetrics.horizontalAdvance(info.description);
        const double minWidth = qMax(descriptionWidth, typeWidth.value()) + 4;
        const int width = minWidth > 30 ? int(minWidth) : 30;
        const std::optional<QRect> stored = layout.deviceRect(name);
        const QRect rect = stored.value_or(QRect(x, y, width, 30));
        map.unitedSceneWithRect(QRectF(rect));
        if (!items.hasDevice(info.name)) {
            const QString deviceName = info.name;
            newDevices.append(qMakePair(deviceName, addDeviceItem(std::move(info), rect,
                                                                  stored.value_or(MapLayoutFile::unplacedRect),
                                                                  stored.has_value(), false)));
        }
        x += 60;
        if (x > 299) {
            x = 0;
            y += 40;
        }
    }

    items.insertDevices(newDevices);

    MapLinks& links = DeviceMapParts(map).linkItems();
    for (int i = 0; i < names.size(); ++i) {
        const QString& name = names.at(i);
        DeviceNodeItem* source = items.device(name);
        if (!source)
            continue;
        const QList<Connection>& connections = outgoing[size_t(i)];
        for (auto connection = connections.cbegin(); connection != connections.cend(); ++connection) {
            // Several signal and slot pairs to one device make one link.
            if (std::any_of(connections.cbegin(), connection,
                            [&connection](const Connection& earlier) { return earlier.device == connection->device; }))
                continue;
            DeviceNodeItem* target = items.device(connection->device);
            // initialised() may come again: a link already drawn keeps its item.
            if (!target || (linksBefore && items.link(source, target)))
                continue;
            const QList<QPointF> bends = layout.bends(name, connection->device);
            links.create(source, target, bends);
            if (bends.isEmpty() && items.link(target, source))
                map.splitConnections(name, connection->device);
        }
    }

    const QStringList clusterNames = layout.clusterNames();
    for (const QString& clusterName : clusterNames) {
        if (items.clusters().contains(clusterName))
            continue;
        map.createCluster(clusterName, layout.clusterRect(clusterName));
        items.cluster(clusterName)->setMovesContainedDevices(layout.clusterMovesContainedDevices(clusterName));
    }

    const int storedType = layout.layoutType();
    map.setCurrentLayoutType(storedType >= DeviceMapWidget::Orthogonal && storedType <= DeviceMapWidget::FixedClusters
                                 ? DeviceMapWidget::LayoutType(storedType)
                                 : DeviceMapWidget::Orthogonal);

    map.setColorisationMode(DeviceMapWidget::ByState);
    fitSceneIndex();
    sceneBuilt = true;
}

// Qt's scene index divides the scene into about as many cells as it has items, and builds
// itself at the first paint: on a large map links that cross the map land in every cell, which
// made the first frame nearly twice as slow as later ones. Cells of about thirty items cost a
// fraction of that and find the items of a view just as fast. Fitted at each build, and again
// whenever the map has grown to twice the items it was fitted for, so that a view's items are
// found as fast on a map that grows device by device.
void MapManagerSync::fitSceneIndex()
{
    const MapItemIndex& items = DeviceMapParts(map).itemIndex();
    const int itemCount = items.devices().size() + items.linkCount() + items.clusters().size();
    const int depth = int(std::ceil(std::log2(std::max(itemCount, 1)))) - 5;
    map.scene()->setBspTreeDepth(std::max(5, depth));
    indexFittedFor = std::max(itemCount, 64);
}

void MapManagerSync::refitSceneIndexWhenGrown()
{
    const MapItemIndex& items = DeviceMapParts(map).itemIndex();
    if (items.devices().size() + items.linkCount() + items.clusters().size() >= 2 * indexFittedFor)
        fitSceneIndex();
}

void MapManagerSync::initialiseScene()
{
    const QRectF current = map.scene()->sceneRect();
    if (current.width() != 0 || current.height() != 0)
        return;
    initialiseScene(MapLayoutFile::read(map.getLayoutFile()));
}

void MapManagerSync::initialiseScene(const MapLayoutFile& layout)
{
    const QRectF current = map.scene()->sceneRect();
    if (current.width() != 0 || current.height() != 0)
        return;
    QRectF rect = layout.sceneRect().value_or(QRectF(0, 0, 1200, 1000));
    if (rect.width() - rect.x() < 1000)
        rect.setWidth(1000);
    if (rect.height() - rect.y() < 600)
        rect.setHeight(600);
    map.setSceneRects(rect);
}

void MapManagerSync::createDeviceItem(const DeviceInfo& info, const QRect& rect)
{
    if (batchDepth > 0) {
        createDeviceItem(info, rect, layoutOfBatch());
        return;
    }
    initialiseScene();
    map.unitedSceneWithRect(QRectF(rect));
    if (DeviceMapParts(map).itemIndex().hasDevice(info.name))
        return;
    addDeviceItem(info, rect,
                  MapLayoutFile::readDeviceRect(map.getLayoutFile(), info.name).value_or(MapLayoutFile::unplacedRect));
}

void MapManagerSync::createDeviceItem(const DeviceInfo& info, const QRect& rect, const MapLayoutFile& layout)
{
    initialiseScene(layout);
    map.unitedSceneWithRect(QRectF(rect));
    if (DeviceMapParts(map).itemIndex().hasDevice(info.name))
        return;
    addDeviceItem(info, rect, layout.deviceRect(info.name).value_or(MapLayoutFile::unplacedRect));
}

DeviceNodeItem* MapManagerSync::addDeviceItem(DeviceInfo info, const QRect& rect, const QRect& stored,
                                              bool placedBeforeAdding, bool filed)
{
    const QString name = info.name;
    auto item = new DeviceNodeItem(std::move(info), QRectF(0, 0, rect.width(), rect.height()));
    // A node moved in the scene snaps to the grid and grows the scene rectangle. Placed before
    // it joins the scene, it is filed by the scene once; without snapping, only the growing is
    // left to do.
    const bool placeFirst = placedBeforeAdding && !DeviceNodeItem::getGridOn();
    if (!placeFirst)
        map.scene()->addItem(item);
    const bool unplaced = stored.width() == -1 || stored.height() == -1;
    if (unplaced)
        item->unplaceDevice();
    else
        item->placeDevice(QPointF(stored.x(), stored.y()));
    if (placeFirst) {
        map.scene()->addItem(item);
        if (!unplaced)
            map.unitedSceneWithRect(QRectF(item->pos(), item->boundingRect().size()));
    }
    if (filed)
        DeviceMapParts(map).itemIndex().insertDevice(name, item);
    return item;
}

double MapManagerSync::calcDeviceMinWidth(const DeviceInfo& info) const
{
    const QFontMetricsF mainMetrics(map.font());
    const QFontMetricsF smallMetrics(map.getSmallFont());
    return qMax(mainMetrics.horizontalAdvance(info.description), smallMetrics.horizontalAdvance(info.type));
}

void MapManagerSync::deviceRegistered(const QString& name)
{
    refitSceneIndexWhenGrown();
    const DeviceInfo info = map.getDeviceManager()->getDeviceInfo(name);
    MapItemIndex& items = DeviceMapParts(map).itemIndex();
    if (!info.name.isEmpty() && !items.hasDevice(name))
        createDeviceItem(info, QRect(0, 0, 30, 30));
    if (items.hasDevice(name))
        updateItem(items.device(name));
}

void MapManagerSync::deviceChanged(const QString& name)
{
    if (batchDepth > 0) {
        if (!noted.contains(name)) {
            noted.insert(name);
            changedInBatch.append(name);
        }
        return;
    }
    bringLinksInStep(name);
}

// The reported device's own description tells every link at it, both ways: a link can only
// have come or gone at the reported device, one of its two ends. Checking it against that one
// description keeps a report's cost to the device's links, however many links its peers have.
void MapManagerSync::bringLinksInStep(const QString& name)
{
    refitSceneIndexWhenGrown();
    MapItemIndex& items = DeviceMapParts(map).itemIndex();
    const DeviceInfo info = map.getDeviceManager()->getDeviceInfo(name);
    if (info.name.isEmpty())
        return;
    if (!items.hasDevice(info.name))
        deviceRegistered(name);
    DeviceNodeItem* item = items.device(info.name);
    if (!item)
        return;
    item->setDeviceInfo(info);

    QSet<QString> targets;
    targets.reserve(info.outgoingConnections.size());
    for (const Connection& connection : info.outgoingConnections) {
        if (targets.contains(connection.device))
            continue;
        targets.insert(connection.device);
        if (!items.hasDevice(connection.device))
            deviceRegistered(connection.device);
        DeviceNodeItem* target = items.device(connection.device);
        if (target && !items.link(item, target))
            DeviceMapParts(map).linkItems().create(item, target, QList<QPointF>());
    }
    QSet<QString> sources;
    sources.reserve(info.incomingConnections.size());
    for (const Connection& connection : info.incomingConnections)
        sources.insert(connection.device);

    const QList<DeviceConnectionItem*> links = items.linksOf(item);
    for (DeviceConnectionItem* link : links) {
        const bool listed = (link->getNodeFrom() == item && targets.contains(link->getNodeTo()->devName()))
                            || (link->getNodeTo() == item && sources.contains(link->getNodeFrom()->devName()));
        if (!listed)
            items.removeLink(link);
    }
    map.viewport()->update();
}

void MapManagerSync::beginBatch()
{
    ++batchDepth;
    DeviceMapParts(map).itemIndex().holdDeletions();
}

void MapManagerSync::endBatch()
{
    if (--batchDepth == 0) {
        const QStringList changed = std::exchange(changedInBatch, QStringList());
        noted.clear();
        batchLayout.reset();
        for (const QString& name : changed)
            bringLinksInStep(name);
    }
    DeviceMapParts(map).itemIndex().releaseDeletions();
}

const MapLayoutFile& MapManagerSync::layoutOfBatch()
{
    if (!batchLayout)
        batchLayout = std::make_unique<MapLayoutFile>(MapLayoutFile::read(map.getLayoutFile()));
    return *batchLayout;
}

MapManagerSync::Batch::Batch(DeviceMapWidget* map)
    : map(map)
{
    if (map)
        DeviceMapParts(map).managerSync().beginBatch();
}

MapManagerSync::Batch::~Batch()
{
    if (map)
        DeviceMapParts(map.data()).managerSync().endBatch();
}

void MapManagerSync::deviceRemoved(const QString& name)
{
    keptPlaces->peerRemoved(name);
    MapItemIndex& items = DeviceMapParts(map).itemIndex();
    if (!items.hasDevice(name))
        return;
    DeviceNodeItem* item = items.device(name);
    DeviceNodeItem::forgetUnplacedDevice(item ? item->devName() : name);

    items.removeDevice(name);
    DeviceMapParts(map).connectionDrawing().clearSource();
    map.viewport()->update();
}

void MapManagerSync::deviceRenamed(const QString& oldName, const QString& newName)
{
    keptPlaces->peerRenamed(oldName, newName);
    // A device noted in a batch is checked under the name it bears when the batch ends.
    if (noted.remove(oldName)) {
        const int position = changedInBatch.indexOf(oldName);
        if (noted.contains(newName)) {
            changedInBatch.removeAt(position);
        } else {
            changedInBatch[position] = newName;
            noted.insert(newName);
        }
    }
    MapItemIndex& items = DeviceMapParts(map).itemIndex();
    if (items.hasDevice(oldName)) {
        DeviceNodeItem* item = items.device(oldName);
        items.renameDevice(oldName, newName);
        if (item) {
            item->setDeviceName(newName);
            updateItem(item);
        }
        DeviceNodeItem::renameUnplacedDevice(oldName, newName);
        map.viewport()->update();
    } else if (!items.hasDevice(newName)) {
        // A report that comes late can name a device that has been renamed again since (its
        // registration then found nothing to show): the device is shown under its name now.
        deviceRegistered(newName);
    }
    DeviceMapParts(map).connectionDrawing().clearSource();
}

void MapManagerSync::deviceInitialised(const QString& name)
{
    MapItemIndex& items = DeviceMapParts(map).itemIndex();
    if (items.hasDevice(name))
        updateItem(items.device(name));
    map.viewport()->update();
}

void MapManagerSync::deviceDescriptionChanged(const QString& name, const QString& description)
{
    DeviceNodeItem* item = DeviceMapParts(map).itemIndex().device(name);
    if (!item)
        return;
    item->setLabel(description);
    updateItem(item);
}

void MapManagerSync::deviceStateChanged(const QString& name)
{
    if (DeviceMapParts(map).itemIndex().hasDevice(name))
        map.coloriseDeviceItem(name);
}

void MapManagerSync::connectionActivated(const QString& provider, const QString& receiver)
{
    if (DeviceConnectionItem::getActivityType() == DeviceConnectionItem::NotActive)
        return;
    DeviceConnectionItem* link = map.getConnection(provider, receiver);
    if (!link)
        return;
    link->onEmit();
    link->update(QRectF());
}

void MapManagerSync::updateItem(DeviceNodeItem* item)
{
    if (!item)
        item = settingsDevice.data();
    if (!item)
        return;
    settingsDevice = nullptr;
    const QString name = DeviceMapParts(map).itemIndex().nameOf(item);
    const DeviceInfo info = map.getDeviceManager()->getDeviceInfo(name);
    item->setDeviceName(name);
    item->setDeviceInfo(info);
    map.coloriseDeviceItem(name);
    item->calcDeviceSize();
    item->update(item->boundingRect());
}

void MapManagerSync::forget(HoverableItem* item)
{
    if (settingsDevice.data() == item)
        settingsDevice = nullptr;
}

bool MapManagerSync::saveLayout()
{
    if (!sceneBuilt)
        return true;
    MapLayoutFile layout =
        MapLayoutFile::capture(DeviceMapParts(map).itemIndex(), map.sceneRect(), int(map.getCurrentLayoutType()));
    keptPlaces->putBack(layout);
    QString error;
    if (layout.write(map.getLayoutFile(), &error))
        return true;
    // The old file stays as it was: the map's state reaches the file with the next save.
    qWarning().noquote() << "DeviceMapWidget::saveLayout() | WARNING can not write the layout file |"
                         << map.getLayoutFile() << "|" << error;
    return false;
}
