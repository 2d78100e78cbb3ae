#include "ConnectionDrawing.h"
#include "DeviceMapParts.h"

#include "CreateConnectionOperation.h"
#include "DeviceConnectionItem.h"
#include "DeviceConnectionsDialog.h"
#include "DeviceHandle.h"
#include "DeviceManager.h"
#include "DeviceNodeItem.h"
#include "MapColoriser.h"
#include "MapInteraction.h"
#include "MapItemIndex.h"

#include <QGraphicsScene>
#include <QPointer>

namespace {

bool isPlainJoin(int matchCode)
{
    return matchCode == 2 || matchCode == 3 || matchCode == 4;
}

} // namespace

ConnectionDrawing::ConnectionDrawing(DeviceMapWidget& map)
    : map(map)
{
}

// The scene, a child of the map, deletes a rubber line still in it.
ConnectionDrawing::~ConnectionDrawing() = default;

void ConnectionDrawing::setRubberLine(DeviceConnectionItem* line, DeviceNodeItem* endNode)
{
    tempConnection = line;
    tempEndNode = endNode;
    drawingConnection = drawingConnection || line != nullptr;
}

void ConnectionDrawing::start(const QString& sourceName)
{
    if (sourceName.isEmpty())
        return;
    connectionSource = sourceName;
    drawingConnection = true;
}

void ConnectionDrawing::follow(const QPointF& scenePos)
{
    if (!drawingConnection)
        return;
    if (tempEndNode) {
        tempEndNode->setPos(scenePos);
        tempEndNode->setVisible(false);
        if (tempConnection)
            tempConnection->update(QRectF());
        return;
    }
    DeviceNodeItem* sourceItem = DeviceMapParts(map).itemIndex().device(connectionSource);
    if (connectionSource.isEmpty() || !sourceItem)
        return;
    tempEndNode = new DeviceNodeItem(DeviceInfo(), QRectF(0, 0, 1, 1));
    tempEndNode->setPos(scenePos);
    tempEndNode->setVisible(false);
    tempEndNode->setZValue(-5.0);
    tempConnection = new DeviceConnectionItem(sourceItem, tempEndNode, QList<QPointF>());
    map.scene()->addItem(tempEndNode);
    map.scene()->addItem(tempConnection);
    tempConnection->setHovered(true);
    if (!switchedColours) {
        switchedColours = true;
        modeBeforeDrawing = map.getColorisationMode();
        previousModeBeforeDrawing = DeviceMapParts(map).coloriser().previousMode();
    }
    map.setColorisationMode(DeviceMapWidget::ByConnectivity);
}

void ConnectionDrawing::drawConnection(const QList<QGraphicsItem*>& items)
{
    QString targetName;
    if (!items.isEmpty()) {
        if (auto node = dynamic_cast<DeviceNodeItem*>(items.first()))
            targetName = DeviceMapParts(map).itemIndex().nameOf(node);
    }
    QPointer<DeviceMapWidget> alive(&map);
    if (!targetName.isEmpty())
        linkTo(targetName);
    if (alive)
        interrupt();
}

void ConnectionDrawing::linkTo(const QString& targetName)
{
    DeviceManager* manager = map.getDeviceManager();
    const QString sourceName = connectionSource;
    if (targetName == sourceName)
        return;
    const DeviceInfo source = manager->getDeviceInfo(sourceName);
    for (const Connection& connection : source.outgoingConnections) {
        if (connection.device == targetName)
            return;
    }
    const DeviceInfo target = manager->getDeviceInfo(targetName);
    const int match = manager->findMatchingMethods(source.name, target.name, QString(), QString(), nullptr, nullptr);
    if (isPlainJoin(match))
        map.pushOperation(new CreateConnectionOperation(&map, target.name, source.name, QStringList(), QStringList()));
    else if (match != 0)
        DeviceConnectionsDialog::manageConnections(manager, source, target, *map.getUndoStack(), &map);
}

void ConnectionDrawing::interrupt()
{
    if (!tempConnection || !tempEndNode)
        return;
    cancel();
}

void ConnectionDrawing::cancel()
{
    removeRubberLine();
    drawingConnection = false;
    connectionSource.clear();
    if (switchedColours) {
        switchedColours = false;
        DeviceMapParts(map).coloriser().restore(modeBeforeDrawing, previousModeBeforeDrawing);
    }
}

void ConnectionDrawing::removeRubberLine()
{
    if (tempConnection) {
        if (map.getHoveredItem() == tempConnection)
            map.setHoveredItem(nullptr);
        map.scene()->removeItem(tempConnection);
        delete tempConnection;
        tempConnection = nullptr;
    }
    if (tempEndNode) {
        map.scene()->removeItem(tempEndNode);
        delete tempEndNode;
        tempEndNode = nullptr;
    }
}

void ConnectionDrawing::connectionClicked(DeviceConnectionItem* connection)
{
    if (!connection || !connection->getNodeFrom() || !connection->getNodeTo())
        return;
    DeviceManager* manager = map.getDeviceManager();
    const QSharedPointer<DeviceHandle> source = manager->getDeviceHandle(connection->getNodeFrom()->devName());
    const QSharedPointer<DeviceHandle> target = manager->getDeviceHandle(connection->getNodeTo()->devName());
    // A link whose device the manager no longer knows is about to go from the map.
    if (!source || !target)
        return;
    DeviceConnectionsDialog::manageConnections(manager, source->getDeviceInfo(), target->getDeviceInfo(),
                                               *map.getUndoStack(), &map);
}

void ConnectionDrawing::forget(HoverableItem* item)
{
    if (!drawingConnection && !tempConnection)
        return;
    auto node = dynamic_cast<DeviceNodeItem*>(item);
    const bool sourceGoes = node && !connectionSource.isEmpty() && DeviceMapParts(map).itemIndex().nameOf(node) == connectionSource;
    const bool lineSourceGoes = tempConnection && static_cast<HoverableItem*>(tempConnection->getNodeFrom()) == item;
    if (sourceGoes || lineSourceGoes)
        cancel();
}
