#include "Grid.h"

#include "DeviceNodeItem.h"

#include <QGraphicsLineItem>
#include <QGraphicsScene>
#include <QGraphicsView>
#include <QPen>

#include <algorithm>

namespace {

constexpr double lineZValue = -2.0;

QPen gridPen()
{
    return QPen(QBrush(Qt::darkGray), 0.5);
}

} // namespace

Grid::Grid(QGraphicsView* mapWidget)
    : cellSize(DeviceNodeItem::getGridCellSize())
    , mapWidget(mapWidget)
{
}

Grid::~Grid()
{
    // The scene, when it still exists, owns the lines and deletes them with itself.
}

bool Grid::isActive() const
{
    return !verticalLines.isEmpty() || !horizontalLines.isEmpty();
}

void Grid::activate(bool on)
{
    clear();
    if (!on)
        return;
    setExtent(extentForScene());
    paint();
}

void Grid::update()
{
    if (!isActive())
        return;
    const Extent extent = extentForScene();
    if (extent.left != left || extent.top != top || extent.cellSize != cellSize) {
        clear();
        setExtent(extent);
        paint();
        return;
    }
    if (extent.bottom - bottom >= cellSize)
        growDown(extent.bottom);
    if (extent.right - right >= cellSize)
        growRight(extent.right);
}

void Grid::clear()
{
    removeLines(horizontalLines);
    removeLines(verticalLines);
    linesScene = nullptr;
    left = top = right = bottom = 0;
    if (mapWidget)
        mapWidget->viewport()->update();
}

void Grid::paint()
{
    if (!mapWidget || !mapWidget->scene())
        return;
    const int step = std::max(1, cellSize);
    for (int x = left; x <= right; x += step)
        verticalLines.append(addLine(x, top, x, bottom));
    for (int y = top; y <= bottom; y += step)
        horizontalLines.append(addLine(left, y, right, y));
}

int Grid::getStartCoord(double value, int cellSize)
{
    if (cellSize == 0)
        return 0;
    const int truncated = int(value);
    return truncated - truncated % cellSize;
}

// Once out of the scene nobody owns the lines; when the scene is already gone it has
// deleted them itself.
void Grid::removeLines(QList<QGraphicsLineItem*>& lines)
{
    if (linesScene) {
        for (QGraphicsLineItem* line : qAsConst(lines)) {
            linesScene->removeItem(line);
            delete line;
        }
    }
    lines.clear();
}

void Grid::setExtent(const Extent& extent)
{
    left = extent.left;
    top = extent.top;
    right = extent.right;
    bottom = extent.bottom;
    cellSize = extent.cellSize;
}

Grid::Extent Grid::extentForScene() const
{
    Extent extent{0, 0, 0, 0, std::max(1, DeviceNodeItem::getGridCellSize())};
    if (!mapWidget || !mapWidget->scene())
        return extent;
    const QRectF sceneRect = mapWidget->scene()->sceneRect();
    const int c = extent.cellSize;
    extent.left = getStartCoord(sceneRect.x(), c);
    extent.top = getStartCoord(sceneRect.y(), c);
    extent.right = c + c * (int(int(sceneRect.width()) + sceneRect.x()) / c);
    extent.bottom = c + c * (int(int(sceneRect.height()) + sceneRect.y()) / c);
    return extent;
}

QGraphicsLineItem* Grid::addLine(double x1, double y1, double x2, double y2)
{
    QGraphicsScene* scene = mapWidget->scene();
    linesScene = scene;
    QGraphicsLineItem* line = scene->addLine(x1, y1, x2, y2, gridPen());
    line->setZValue(lineZValue);
    return line;
}

void Grid::growDown(int newBottom)
{
    for (QGraphicsLineItem* line : qAsConst(verticalLines)) {
        const QLineF old = line->line();
        line->setLine(QLineF(old.p1(), QPointF(old.x2(), newBottom)));
    }
    for (int y = bottom + cellSize; y <= newBottom; y += cellSize)
        horizontalLines.append(addLine(left, y, right, y));
    bottom = newBottom;
}

void Grid::growRight(int newRight)
{
    for (QGraphicsLineItem* line : qAsConst(horizontalLines)) {
        const QLineF old = line->line();
        line->setLine(QLineF(old.p1(), QPointF(newRight, old.y2())));
    }
    for (int x = right + cellSize; x <= newRight; x += cellSize)
        verticalLines.append(addLine(x, top, x, bottom));
    right = newRight;
}
