#include "MapClicks.h"

#include "ClusterRectItem.h"
#include "ConnectionDrawing.h"
#include "CreateBendingPointOperation.h"
#include "CreateDeviceOperation.h"
#include "DeviceConfigWidget.h"
#include "DeviceConnectionItem.h"
#include "DeviceManager.h"
#include "DeviceMapParts.h"
#include "DeviceMapWidget.h"
#include "DeviceNodeItem.h"
#include "GraphOrder.h"
#include "MapClipboard.h"
#include "MapCommands.h"
#include "MapInteraction.h"
#include "MapItemIndex.h"
#include "MapManagerSync.h"
#include "MapMenus.h"
#include "ReadonlyBracket.h"
#include "RemoveBendingPointOperation.h"
#include "RemoveClusterOperation.h"
#include "RemoveConnectionOperation.h"
#include "RemoveDevicesOperation.h"
#include "ZenticMessageBox.h"

#include <QCursor>
#include <QGraphicsLineItem>
#include <QGraphicsScene>
#include <QMouseEvent>
#include <QPointer>

namespace {

// Items of the scene guarded across a nested event loop: the manager may remove any of them.
QList<QPointer<HoverableItem>> guarded(const QList<QGraphicsItem*>& items)
{
    QList<QPointer<HoverableItem>> result;
    for (QGraphicsItem* item : items) {
        if (auto hoverable = dynamic_cast<HoverableItem*>(item))
            result.append(hoverable);
    }
    return result;
}

void deselect(const QList<QPointer<HoverableItem>>& items)
{
    for (const QPointer<HoverableItem>& item : items) {
        if (item)
            item->setSelected(false);
    }
}

} // namespace

MapClicks::MapClicks(DeviceMapWidget& map)
    : map(map)
{
}

void MapClicks::click(QMouseEvent* event)
{
    QGraphicsItem* item = map.findItemAt(event->pos());
    if (!item || dynamic_cast<QGraphicsLineItem*>(item)) {
        clickEmptySpace(event);
        return;
    }
    const MapItemIndex& index = DeviceMapParts(map).itemIndex();
    if (auto node = dynamic_cast<DeviceNodeItem*>(item)) {
        // The hidden end of a connection being drawn is no device of the map.
        if (!index.nameOf(node).isEmpty())
            clickDevice(node, event);
    } else if (auto link = dynamic_cast<DeviceConnectionItem*>(item)) {
        if (isMapLink(link))
            clickLink(link, event);
    } else if (auto cluster = dynamic_cast<ClusterRectItem*>(item)) {
        const bool filed = index.cluster(cluster->getName()) == cluster;
        if (filed && event->button() == Qt::RightButton && !cluster->isInStretchArea(map.mapToScene(event->pos())))
            clusterMenu(cluster);
    }
}

// ---------------------------------------------------------------------------------------------
// Empty space

void MapClicks::clickEmptySpace(QMouseEvent* event)
{
    MapInteraction& pointer = DeviceMapParts(map).interaction();
    if (HoverableItem* hovered = pointer.hoveredItem()) {
        map.viewport()->setCursor(Qt::ArrowCursor);
        hovered->setHovered(false);
        hovered->update();
        pointer.setHoveredItem(nullptr);
    }
    if (event->button() == Qt::RightButton)
        sceneMenu();
}

void MapClicks::sceneMenu()
{
    // Taken now: the press is over once the menu returns.
    const QPointF place = DeviceMapParts(map).interaction().pressScenePos();
    QPointer<DeviceMapWidget> alive(&map);
    QAction* chosen = MapMenus::run(DeviceMapParts(map).menus().sceneMenu(), QCursor::pos());
    // A layout entry has done its work through its own connection, and may have run long.
    if (!alive || !chosen)
        return;
    const QString type = chosen->objectName();
    if (!type.isEmpty())
        map.pushOperation(new CreateDeviceOperation(&map, type, place));
    else if (DeviceMapParts(map).menus().entryOf(chosen) == MapMenus::Entry::Paste)
        DeviceMapParts(map).clipboard().paste(map.mapFromScene(place));
}

// ---------------------------------------------------------------------------------------------
// Devices

void MapClicks::openSettings(const QString& name)
{
    auto dialog = new DeviceConfigWidget(*map.getDeviceManager(), name, &map);
    dialog->show();
    // The dialog holds the pointer until it is closed (the map sees none of its moves meanwhile):
    // the device under it is no longer hovered.
    DeviceMapParts(map).interaction().endHover();
    // The dialog's own placement right after showing replaces this move.
    dialog->move(QCursor::pos());
    DeviceMapParts(map).managerSync().setSettingsItem(DeviceMapParts(map).itemIndex().device(name));
    QObject::connect(dialog, SIGNAL(finished(int)), dialog, SLOT(deleteLater()));
    QObject::connect(dialog, SIGNAL(finished(int)), &map, SLOT(setFocus()));
    QObject::connect(dialog, SIGNAL(finished(int)), &map, SLOT(_updateItem()));
}

void MapClicks::clickDevice(DeviceNodeItem* node, QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton) {
        if (event->modifiers() == Qt::NoModifier)
            openSettings(DeviceMapParts(map).itemIndex().nameOf(node));
        return;
    }
    if (event->button() != Qt::RightButton)
        return;

    // A right click is no move, whatever the press recorded.
    MapInteraction& pointer = DeviceMapParts(map).interaction();
    pointer.devicePositionsAtPress().clear();
    pointer.clusterPositionsAtPress().clear();
    // A device outside the selection is the menu's only subject.
    if (!node->isSelected()) {
        map.scene()->clearSelection();
        node->setSelected(true);
    }
    deviceMenu(node);
}

void MapClicks::deviceMenu(DeviceNodeItem* node)
{
    QPointer<DeviceMapWidget> alive(&map);
    QPointer<DeviceNodeItem> subject(node);
    MapMenus& menus = DeviceMapParts(map).menus();
    QMenu& menu = map.scene()->selectedItems().size() < 2 ? menus.deviceMenu() : menus.selectionMenu();
    QAction* chosen = MapMenus::run(menu, QCursor::pos());
    if (!alive || !subject)
        return;
    // Renamed meanwhile, the device is acted on under its name now.
    const QString name = DeviceMapParts(map).itemIndex().nameOf(subject);
    if (name.isEmpty())
        return;

    switch (DeviceMapParts(map).menus().entryOf(chosen)) {
    case MapMenus::Entry::Delete:
        deleteSelectedDevices();
        break;
    case MapMenus::Entry::Rename:
        DeviceMapParts(map).commands().renameDevice(name);
        break;
    case MapMenus::Entry::Settings:
        openSettings(name);
        break;
    case MapMenus::Entry::AddConnection:
        DeviceMapParts(map).connectionDrawing().start(name);
        break;
    case MapMenus::Entry::Copy:
        DeviceMapParts(map).clipboard().copy();
        break;
    case MapMenus::Entry::CreateCluster:
        createClusterAround(subject);
        break;
    case MapMenus::Entry::ExportMetaDevice:
        exportSelection(false);
        break;
    case MapMenus::Entry::ExportTemplate:
        exportSelection(true);
        break;
    default:
        // Initialise and Deinitialise act through their own connection.
        break;
    }
}

void MapClicks::deleteSelectedDevices()
{
    QPointer<DeviceMapWidget> alive(&map);
    // Whatever the answer, the manager gets its flag back and saves once.
    ReadonlyBracket bracket(map.getDeviceManager(), &map);
    const MapItemIndex& index = DeviceMapParts(map).itemIndex();
    QList<QPointer<DeviceNodeItem>> devices;
    QStringList names;
    // The scene keeps its selection in no lasting order: the question names the devices in the graph's.
    const QList<DeviceNodeItem*> selection = GraphOrder(map.getDeviceManager()).deviceItems(map.scene()->selectedItems());
    for (DeviceNodeItem* node : selection) {
        if (index.nameOf(node).isEmpty())
            continue;
        devices.append(node);
        names.append(index.nameOf(node));
    }
    if (devices.isEmpty())
        return;
    // The count chooses the plural form: one device is not "devices". The English text reads
    // right for any count, since the library's English texts have no translation of their own.
    QString question;
    if (devices.size() < 4) {
        //: %1 names the one to three devices, separated by commas.
        question = DeviceMapWidget::tr("Are you sure you want to delete %1?", nullptr, devices.size())
                       .arg(names.join(QStringLiteral(", ")));
    } else {
        question = DeviceMapWidget::tr("Are you sure you want to delete %n devices?", "", devices.size());
    }
    const bool confirmed = ZenticMessageBox::confirmDelete(
        &map, question, DeviceMapWidget::tr("Selected devices will be deleted immediately."));
    if (!alive || !confirmed)
        return;
    QList<QGraphicsItem*> remaining;
    for (const QPointer<DeviceNodeItem>& device : qAsConst(devices)) {
        if (device && !DeviceMapParts(map).itemIndex().nameOf(device).isEmpty())
            remaining.append(device);
    }
    if (!remaining.isEmpty())
        map.pushOperation(new RemoveDevicesOperation(&map, remaining));
}

void MapClicks::createClusterAround(DeviceNodeItem* node)
{
    QPointer<DeviceMapWidget> alive(&map);
    QPointer<DeviceNodeItem> subject(node);
    map.createClusterByItems(map.scene()->selectedItems());
    if (!alive || !subject)
        return;
    subject->setSelected(false);
    subject->setWasSelected(false);
    subject->update();
}

void MapClicks::exportSelection(bool asTemplate)
{
    QPointer<DeviceMapWidget> alive(&map);
    const QList<QGraphicsItem*> selection = map.scene()->selectedItems();
    const QList<QPointer<HoverableItem>> exported = guarded(selection);
    if (asTemplate)
        map.exportTemplate(selection);
    else
        map.exportMetaDevice(selection);
    if (alive)
        deselect(exported);
}

// ---------------------------------------------------------------------------------------------
// Links

bool MapClicks::isMapLink(const DeviceConnectionItem* link) const
{
    return DeviceMapParts(map).itemIndex().hasLink(link);
}

void MapClicks::clickLink(DeviceConnectionItem* link, QMouseEvent* event)
{
    const QPointF scenePos = map.mapToScene(event->pos());
    if (event->button() == Qt::LeftButton) {
        if (event->modifiers() == Qt::NoModifier)
            openLink(link, scenePos);
        else if (event->modifiers() == Qt::ControlModifier)
            addBendingPoint(link, scenePos);
        return;
    }
    if (event->button() != Qt::RightButton)
        return;
    const QPointF bend = link->isInBendingPointsArea(scenePos);
    if (bend.isNull())
        linkMenu(link, scenePos);
    else
        bendingPointMenu(link, bend);
}

void MapClicks::openLink(DeviceConnectionItem* link, const QPointF& scenePos)
{
    // Only links count: grid lines or a cluster under the point do not hide an overlap.
    QList<DeviceConnectionItem*> links;
    const QList<QGraphicsItem*> items = map.scene()->items(scenePos, Qt::IntersectsItemShape, Qt::DescendingOrder);
    for (QGraphicsItem* item : items) {
        auto found = dynamic_cast<DeviceConnectionItem*>(item);
        if (found && isMapLink(found))
            links.append(found);
    }
    if (links.size() != 2) {
        map.connectionClicked(link);
        return;
    }

    const MapItemIndex& index = DeviceMapParts(map).itemIndex();
    auto label = [&index](const DeviceConnectionItem* candidate) {
        return index.nameOf(candidate->getNodeFrom()) + QStringLiteral(" > ") + index.nameOf(candidate->getNodeTo());
    };
    const QString first = label(links.at(0));
    const QString second = label(links.at(1));
    if (first == second) {
        map.connectionClicked(links.at(0));
        return;
    }
    QPointer<DeviceMapWidget> alive(&map);
    QPointer<DeviceConnectionItem> firstLink(links.at(0));
    QPointer<DeviceConnectionItem> secondLink(links.at(1));
    QMenu chooser;
    QAction* firstEntry = chooser.addAction(first);
    QAction* secondEntry = chooser.addAction(second);
    QAction* chosen = MapMenus::run(chooser, QCursor::pos());
    if (!alive)
        return;
    if (chosen == firstEntry && firstLink)
        map.connectionClicked(firstLink);
    else if (chosen == secondEntry && secondLink)
        map.connectionClicked(secondLink);
}

void MapClicks::linkMenu(DeviceConnectionItem* link, const QPointF& scenePos)
{
    QPointer<DeviceMapWidget> alive(&map);
    QPointer<DeviceConnectionItem> subject(link);
    QAction* chosen = MapMenus::run(DeviceMapParts(map).menus().connectionMenu(), QCursor::pos());
    if (!alive || !subject)
        return;
    switch (DeviceMapParts(map).menus().entryOf(chosen)) {
    case MapMenus::Entry::EditConnection:
        map.connectionClicked(subject);
        break;
    case MapMenus::Entry::DeleteConnection:
        disconnect(subject);
        break;
    case MapMenus::Entry::AddBendingPoint:
        addBendingPoint(subject, scenePos);
        break;
    default:
        break;
    }
}

void MapClicks::bendingPointMenu(DeviceConnectionItem* link, const QPointF& bend)
{
    QPointer<DeviceMapWidget> alive(&map);
    QPointer<DeviceConnectionItem> subject(link);
    QAction* chosen = MapMenus::run(DeviceMapParts(map).menus().bendingPointMenu(), QCursor::pos());
    if (!alive || !subject)
        return;
    const MapMenus::Entry entry = DeviceMapParts(map).menus().entryOf(chosen);
    if (entry == MapMenus::Entry::RemoveBendingPoint) {
        map.pushOperation(new RemoveBendingPointOperation(&map, subject->getNodeTo()->devName(),
                                                          subject->getNodeFrom()->devName(), bend));
    } else if (entry == MapMenus::Entry::RemoveConnection) {
        disconnect(subject);
    }
}

void MapClicks::addBendingPoint(DeviceConnectionItem* link, const QPointF& scenePos)
{
    // On a bending point there is one already.
    if (!link->isInBendingPointsArea(scenePos).isNull())
        return;
    map.pushOperation(new CreateBendingPointOperation(&map, link->getNodeTo()->devName(),
                                                      link->getNodeFrom()->devName(), scenePos));
}

void MapClicks::disconnect(DeviceConnectionItem* link)
{
    const MapItemIndex& index = DeviceMapParts(map).itemIndex();
    QPointer<DeviceMapWidget> alive(&map);
    QPointer<DeviceConnectionItem> subject(link);
    const QString question = DeviceMapWidget::tr("Are you sure you want to disconnect %0 from %1's signals?")
                                 .arg(index.nameOf(link->getNodeTo()), index.nameOf(link->getNodeFrom()));
    const bool confirmed = ZenticMessageBox::confirm(
        &map, QMessageBox::Warning, DeviceMapWidget::tr("Disconnect"), question,
        DeviceMapWidget::tr("Connection will be removed immediately. It can be restored using Undo action."));
    if (!alive || !subject || !confirmed)
        return;
    // Under the names the two devices bear now.
    const QString source = DeviceMapParts(map).itemIndex().nameOf(subject->getNodeFrom());
    const QString target = DeviceMapParts(map).itemIndex().nameOf(subject->getNodeTo());
    if (source.isEmpty() || target.isEmpty())
        return;
    map.pushOperation(new RemoveConnectionOperation(&map, target, source, map.getConnectionSignals(target, source),
                                                    map.getConnectionSlots(target, source),
                                                    subject->getBendingPoints()));
}

// ---------------------------------------------------------------------------------------------
// Clusters

void MapClicks::clusterMenu(ClusterRectItem* cluster)
{
    QMenu menu;
    QAction* rename = menu.addAction(DeviceMapWidget::tr("Rename"));
    QAction* remove = menu.addAction(DeviceMapWidget::tr("Delete"));
    remove->setShortcut(Qt::Key_Delete);
    QAction* moves = menu.addAction(DeviceMapWidget::tr("Moves contained devices"));
    moves->setCheckable(true);
    moves->setChecked(cluster->getMovesContainedDevices());

    QPointer<DeviceMapWidget> alive(&map);
    QPointer<ClusterRectItem> subject(cluster);
    QAction* chosen = MapMenus::run(menu, QCursor::pos());
    if (!alive || !subject || DeviceMapParts(map).itemIndex().cluster(subject->getName()) != subject)
        return;
    if (chosen == rename)
        DeviceMapParts(map).commands().renameCluster(subject->getName());
    else if (chosen == remove)
        removeCluster(subject);
    else if (chosen == moves)
        subject->setMovesContainedDevices(!subject->getMovesContainedDevices());
}

void MapClicks::removeCluster(ClusterRectItem* cluster)
{
    QPointer<DeviceMapWidget> alive(&map);
    QPointer<ClusterRectItem> subject(cluster);
    const QString name = cluster->getName();
    // The removal is an undo step, so the question does not call it final.
    const bool confirmed = ZenticMessageBox::confirmDelete(
        &map, DeviceMapWidget::tr("Are you sure you want to remove cluster %0?").arg(name),
        DeviceMapWidget::tr("Removing cluster will not affect current graph arrangement. It can be restored using "
                            "Undo action."));
    if (!alive || !subject || !confirmed || DeviceMapParts(map).itemIndex().cluster(name) != subject)
        return;
    map.pushOperation(
        new RemoveClusterOperation(&map, name, QRectF(subject->pos(), subject->boundingRect().size())));
}
