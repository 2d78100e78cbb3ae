#include "DeviceGrid.h"

#include <algorithm>
#include <cmath>

namespace {

QRectF boundsOf(const QVector<QRectF>& devices)
{
    QRectF bounds;
    for (const QRectF& rect : devices)
        bounds |= rect;
    return bounds;
}

double cellSizeFor(const QVector<QRectF>& devices)
{
    double area = 0;
    for (const QRectF& rect : devices)
        area += rect.width() * rect.height();
    // Cells about twice a device's size: a device lies in a few, and a segment meets few in each.
    return devices.isEmpty() ? 1.0 : 2 * std::sqrt(area / devices.size());
}

} // namespace

DeviceGrid::DeviceGrid(const QVector<QRectF>& devices)
    : devices(devices)
    , grid(boundsOf(devices), cellSizeFor(devices), double(devices.size()))
{
    cells.resize(grid.size());
    for (int i = 0; i < devices.size(); ++i)
        grid.forEachCellIn(devices.at(i), [this, i](size_t cell) { cells[cell].push_back(i); });
}

bool DeviceGrid::passesOther(const QPolygonF& path, int first, int last) const
{
    bool through = false;
    for (int i = 0; i + 1 < path.size() && !through; ++i) {
        grid.forEachCellAlong(path.at(i), path.at(i + 1), 0, [&](size_t cell) {
            for (int device : cells.at(cell)) {
                if (!through && device != first && device != last
                    && passesThrough(path.at(i), path.at(i + 1), devices.at(device)))
                    through = true;
            }
        });
    }
    return through;
}

bool DeviceGrid::passesThrough(const QPointF& a, const QPointF& b, const QRectF& rect)
{
    // The segment and the inside overlap unless an axis separates them: x, y, or the segment's normal.
    const QRectF inner = rect.adjusted(0.5, 0.5, -0.5, -0.5);
    if (std::max(a.x(), b.x()) <= inner.left() || std::min(a.x(), b.x()) >= inner.right()
        || std::max(a.y(), b.y()) <= inner.top() || std::min(a.y(), b.y()) >= inner.bottom())
        return false;
    const QPointF normal(a.y() - b.y(), b.x() - a.x());
    bool before = false;
    bool beyond = false;
    for (const QPointF& corner : {inner.topLeft(), inner.topRight(), inner.bottomLeft(), inner.bottomRight()}) {
        const double side = QPointF::dotProduct(normal, corner - a);
        before = before || side < 0;
        beyond = beyond || side > 0;
    }
    return before && beyond;
}

QPolygonF DeviceGrid::linkPath(const QPointF& from, const QList<QPointF>& bends, const QPointF& to)
{
    QPolygonF path;
    path.reserve(bends.size() + 2);
    path << from;
    for (const QPointF& bend : bends)
        path << bend;
    path << to;
    return path;
}
