#include "ConnectionDrawing.h"

#include "DeviceConnectionItem.h"
#include "DeviceMapWidget.h"
#include "DeviceNodeItem.h"
#include "MapColoriser.h"
#include "MapInteraction.h"

#include <QGraphicsScene>

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
    drawingConnection = line != nullptr;
}

void ConnectionDrawing::cancel()
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
    drawingConnection = false;
    connectionSource.clear();
    if (map.coloriser().mode() == DeviceMapWidget::ByConnectivity)
        map.setColorisationMode(map.coloriser().previousMode());
}

void ConnectionDrawing::forget(HoverableItem* item)
{
    if (tempConnection && static_cast<HoverableItem*>(tempConnection->getNodeFrom()) == item)
        cancel();
}
