#include "MapCommands.h"

#include "ClusterRectItem.h"
#include "DeviceConnectionItem.h"
#include "DeviceHandle.h"
#include "DeviceManager.h"
#include "DeviceMapParts.h"
#include "DeviceMapWidget.h"
#include "DeviceNodeItem.h"
#include "GraphOrder.h"
#include "MapClusters.h"
#include "MapItemIndex.h"
#include "MapWaitCursor.h"
#include "ModalRunner.h"
#include "ReadonlyBracket.h"
#include "RemoveBendingPointOperation.h"
#include "RemoveClusterOperation.h"
#include "RemoveConnectionOperation.h"
#include "RemoveDevicesOperation.h"
#include "RenameClusterOperation.h"
#include "RenameDeviceOperation.h"
#include "RunningCommands.h"
#include "ZenticMessageBox.h"

#include <QCursor>
#include <QGraphicsScene>
#include <QPointer>
#include <QSet>
#include <QUndoStack>

MapCommands::MapCommands(DeviceMapWidget& map)
    : map(map)
{
}

void MapCommands::deleteSelectionOrItemUnderCursor()
{
    // No question for a deletion that would be refused.
    if (!RunningCommands::mayBegin(&map, "MapCommands::deleteSelectionOrItemUnderCursor()"))
        return;
    const QList<QGraphicsItem*> selection = map.scene()->selectedItems();
    if (!selection.isEmpty())
        deleteSelectedDevices(selection);
    else
        deleteItemAt(map.viewport()->mapFromGlobal(QCursor::pos()) - QPoint(1, 1));
}

void MapCommands::deleteSelectedDevices(const QList<QGraphicsItem*>& selection)
{
    // The scene keeps its selection in no lasting order: the question names the devices, and
    // the removal takes them, in the graph's.
    const QList<DeviceNodeItem*> devices = GraphOrder(map.getDeviceManager()).deviceItems(selection);
    QStringList names;
    for (const DeviceNodeItem* device : devices)
        names.append(QLatin1Char('"') + device->devName() + QLatin1Char('"'));
    if (devices.isEmpty())
        return;
    const int count = devices.size();
    const QString question = count < 4
                                 ? DeviceMapWidget::tr("Are you sure you want to remove ") + names.join(QStringLiteral(", ")) + QLatin1Char('?')
                                 : DeviceMapWidget::tr("Are you sure you want to remove %n devices?", "", count);
    // Two texts, not a plural form: the line holds no number, and a language whose forms follow
    // the number's last digits would speak of one device for 21.
    const QString consequence =
        count == 1 ? DeviceMapWidget::tr("The selected device will be deleted immediately. It can be restored later "
                                         "using the Undo action.")
                   : DeviceMapWidget::tr("The selected devices will be deleted immediately. They can be restored later "
                                         "using the Undo action.");
    QPointer<DeviceMapWidget> alive(&map);
    ReadonlyBracket bracket(map.getDeviceManager(), &map);
    const bool confirmed = ZenticMessageBox::confirm(&map, QMessageBox::Information, DeviceMapWidget::tr("Delete"),
                                                     question, consequence);
    // A selection changed behind the box (a device removed meanwhile) is taken as it is now.
    if (!alive || !confirmed)
        return;
    const QList<QGraphicsItem*> selectedNow = map.scene()->selectedItems();
    const QSet<QGraphicsItem*> current(selectedNow.cbegin(), selectedNow.cend());
    QList<QGraphicsItem*> stillThere;
    int work = 0;
    for (DeviceNodeItem* item : devices) {
        if (current.contains(item)) {
            stillThere.append(item);
            work += 1 + workAt(item);
        }
    }
    if (stillThere.isEmpty())
        return;
    // The configuration saved at the end is part of the command.
    MapWaitCursor busy(work);
    map.pushOperation(new RemoveDevicesOperation(&map, stillThere));
    bracket.close();
}

int MapCommands::workAt(QGraphicsItem* item) const
{
    auto device = dynamic_cast<DeviceNodeItem*>(item);
    return device ? DeviceMapParts(map).itemIndex().linksOf(device).size() : 0;
}

void MapCommands::deleteItemAt(const QPoint& viewportPoint)
{
    QGraphicsItem* found = mapItemAt(viewportPoint);
    // A device may carry many links.
    MapWaitCursor busy(1 + workAt(found));
    // Saved once the item is gone (or when nothing was there), whatever the operation saves.
    ReadonlyBracket bracket(map.getDeviceManager(), &map);
    if (auto device = dynamic_cast<DeviceNodeItem*>(found)) {
        map.pushOperation(new RemoveDevicesOperation(&map, {device}));
    } else if (auto link = dynamic_cast<DeviceConnectionItem*>(found)) {
        const QPointF scenePoint = map.mapToScene(viewportPoint);
        const QPointF bend = link->isInBendingPointsArea(scenePoint);
        const QString source = DeviceMapParts(map).itemIndex().nameOf(link->getNodeFrom());
        const QString target = DeviceMapParts(map).itemIndex().nameOf(link->getNodeTo());
        if (!bend.isNull()) {
            map.pushOperation(new RemoveBendingPointOperation(&map, target, source, bend));
            return;
        }
        map.pushOperation(new RemoveConnectionOperation(&map, target, source, map.getConnectionSignals(target, source),
                                                        map.getConnectionSlots(target, source),
                                                        link->getBendingPoints()));
    } else if (auto cluster = dynamic_cast<ClusterRectItem*>(found)) {
        map.pushOperation(new RemoveClusterOperation(&map, cluster->getName(),
                                                     QRectF(cluster->pos(), cluster->boundingRect().size())));
    }
}

QGraphicsItem* MapCommands::mapItemAt(const QPoint& viewportPoint) const
{
    const QPolygonF square = map.mapToScene(QRect(viewportPoint, QSize(2, 2)));
    const QList<QGraphicsItem*> found = map.scene()->items(square, Qt::IntersectsItemShape, Qt::DescendingOrder);
    const MapItemIndex& index = DeviceMapParts(map).itemIndex();
    for (QGraphicsItem* item : found) {
        if (auto device = dynamic_cast<DeviceNodeItem*>(item)) {
            if (!index.nameOf(device).isEmpty())
                return device;
        } else if (auto link = dynamic_cast<DeviceConnectionItem*>(item)) {
            if (!index.nameOf(link->getNodeFrom()).isEmpty() && !index.nameOf(link->getNodeTo()).isEmpty())
                return link;
        } else if (auto cluster = dynamic_cast<ClusterRectItem*>(item)) {
            if (index.cluster(cluster->getName()) == cluster)
                return cluster;
        }
    }
    return nullptr;
}

void MapCommands::renameDevice(const QString& name)
{
    QPointer<DeviceMapWidget> alive(&map);
    bool ok = false;
    const QString newName = ModalRunner::getText(&map, DeviceMapWidget::tr("Rename device"),
                                                 DeviceMapWidget::tr("New name: "), name, &ok);
    // A device removed or renamed while the name was typed is left alone.
    if (!alive || !ok || newName.isEmpty() || newName == name || !DeviceMapParts(map).itemIndex().hasDevice(name))
        return;
    auto rename = new RenameDeviceOperation(&map, name, newName);
    if (!map.pushOperation(rename) || !alive)
        return;
    // Still the stack's last step, the operation is still there to ask.
    const QUndoStack* stack = map.getUndoStack();
    if (stack->index() < 1 || stack->command(stack->index() - 1) != rename || rename->renamed())
        return;
    // The manager logs why. A name it refuses may look like one it takes (a U+FEFF pasted
    // before it is invisible), so the box says what may be wrong.
    ZenticMessageBox::warning(&map, DeviceMapWidget::tr("The device was not renamed."),
                              DeviceMapWidget::tr("The device manager refused the name \"%1\": another device may "
                                                  "have it, or it may hold characters a device name cannot hold, "
                                                  "some of them invisible (the log says why).")
                                  .arg(newName));
}

void MapCommands::renameCluster(const QString& name)
{
    QPointer<DeviceMapWidget> alive(&map);
    bool ok = false;
    const QString newName = ModalRunner::getText(&map, DeviceMapWidget::tr("Rename cluster"),
                                                 DeviceMapWidget::tr("New name: "), name, &ok);
    if (!alive || !ok || newName == name || !DeviceMapParts(map).clusters().isAcceptableName(newName)
        || !DeviceMapParts(map).itemIndex().cluster(name))
        return;
    map.pushOperation(new RenameClusterOperation(&map, name, newName));
}

// With nothing selected every device is asked, whatever its state; a selected device only when
// its state differs. The names are taken first: a host's slot on the manager's reports may
// delete the map, with its items, and every device is still asked.
void MapCommands::setSelectedDevicesInitialised(bool initialised)
{
    const RunningCommands::Entry command(&map, initialised ? "DeviceMapWidget::initSelectedDevices()"
                                                           : "DeviceMapWidget::deinitSelectedDevices()");
    if (!command.hasBegun())
        return;
    DeviceManager* deviceManager = map.getDeviceManager();
    QStringList names;
    const QList<QGraphicsItem*> selection = map.scene()->selectedItems();
    if (selection.isEmpty())
        names = deviceManager->getDeviceNames();
    for (QGraphicsItem* graphicsItem : selection) {
        auto item = dynamic_cast<DeviceNodeItem*>(graphicsItem);
        if (!item)
            continue;
        const auto handle = deviceManager->getDeviceHandle(item->devName());
        if (handle && handle->isInitialised() != initialised)
            names.append(item->devName());
    }
    for (const QString& name : qAsConst(names)) {
        if (initialised)
            deviceManager->initialiseDevice(name);
        else
            deviceManager->deinitialiseDevice(name);
    }
}
