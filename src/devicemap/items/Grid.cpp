#include "Grid.h"

#include "DeviceNodeItem.h"

#include <QGraphicsLineItem>
#include <QGraphicsScene>
#include <QGraphicsView>
#include <QPen>

#include <algorithm>
#include <cmath>

namespace {

constexpr double lineZValue = -2.0;
// Scene coordinates beyond this are not drawn on; it keeps every sum below in the int range.
constexpr double coordinateLimit = 500000000.0;

QPen gridPen()
{
    return QPen(QBrush(Qt::darkGray), 0.5);
}

} // namespace

Grid::Grid(QGraphicsView* mapWidget)
    : cellSize(DeviceNodeItem::getGridCellSize())
    , lineSpacing(cellSize)
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
    if (extent.left != left || extent.top != top || extent.cellSize != cellSize || extent.lineSpacing != lineSpacing) {
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
    const qint64 step = std::max(1, lineSpacing);
    for (qint64 x = left; x <= right; x += step)
        verticalLines.append(addLine(x, top, x, bottom));
    for (qint64 y = top; y <= bottom; y += step)
        horizontalLines.append(addLine(left, y, right, y));
}

int Grid::getStartCoord(double value, int cellSize)
{
    if (cellSize == 0 || std::isnan(value))
        return 0;
    const int truncated = int(qBound(-coordinateLimit, value, coordinateLimit));
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
    lineSpacing = extent.lineSpacing;
}

Grid::Extent Grid::extentForScene() const
{
    const int c = std::max(1, DeviceNodeItem::getGridCellSize());
    Extent extent{0, 0, 0, 0, c, c};
    if (!mapWidget || !mapWidget->scene())
        return extent;
    const QRectF sceneRect = mapWidget->scene()->sceneRect();
    const auto bounded = [](double value) {
        return std::isnan(value) ? 0.0 : qBound(-coordinateLimit, value, coordinateLimit);
    };
    const double x = bounded(sceneRect.x());
    const double y = bounded(sceneRect.y());
    const double width = bounded(sceneRect.x() + sceneRect.width()) - x;
    const double height = bounded(sceneRect.y() + sceneRect.height()) - y;
    extent.left = getStartCoord(x, c);
    extent.top = getStartCoord(y, c);
    extent.right = int(c + qint64(c) * (qint64(qint64(width) + x) / c));
    extent.bottom = int(c + qint64(c) * (qint64(qint64(height) + y) / c));
    const qint64 cellsAcross = std::max(qint64(extent.right) - extent.left, qint64(extent.bottom) - extent.top) / c;
    const qint64 cellsPerLine = std::max<qint64>(1, (cellsAcross + maxLinesPerAxis - 1) / maxLinesPerAxis);
    extent.lineSpacing = int(std::min<qint64>(c * cellsPerLine, coordinateLimit));
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
    for (qint64 y = top + qint64(horizontalLines.size()) * lineSpacing; y <= newBottom; y += lineSpacing)
        horizontalLines.append(addLine(left, y, right, y));
    bottom = newBottom;
}

void Grid::growRight(int newRight)
{
    for (QGraphicsLineItem* line : qAsConst(horizontalLines)) {
        const QLineF old = line->line();
        line->setLine(QLineF(old.p1(), QPointF(newRight, old.y2())));
    }
    for (qint64 x = left + qint64(verticalLines.size()) * lineSpacing; x <= newRight; x += lineSpacing)
        verticalLines.append(addLine(x, top, x, bottom));
    right = newRight;
}
