#pragma once

#include <QPointF>
#include <QRectF>

#include <algorithm>
#include <cmath>

/**
 * Square cells over a region, for bucketing segments or rectangles so that each meets only
 * its neighbours: at most a few cells per item listed in them, whatever the region's shape.
 * Positions outside the region fall in its border cells.
 *
 * Internal to the automatic layout; a plain value, any thread.
 */
class CellGrid
{
public:
    /// Cells of about cellSize over bounds, made larger where items would get more than a few each.
    CellGrid(const QRectF& bounds, double cellSize, double items)
        : origin(bounds.topLeft())
        , cellSize(std::max(cellSize, 1.0))
    {
        const double cellLimit = 4 * items + 16;
        while (std::ceil(bounds.width() / this->cellSize) * std::ceil(bounds.height() / this->cellSize) > cellLimit)
            this->cellSize *= 1.5;
        columns = std::max(1, int(std::ceil(bounds.width() / this->cellSize)));
        rows = std::max(1, int(std::ceil(bounds.height() / this->cellSize)));
    }

    size_t size() const { return size_t(columns) * size_t(rows); }
    int columnCount() const { return columns; }
    int rowCount() const { return rows; }
    int columnOf(double x) const { return std::clamp(int(std::floor((x - origin.x()) / cellSize)), 0, columns - 1); }
    int rowOf(double y) const { return std::clamp(int(std::floor((y - origin.y()) / cellSize)), 0, rows - 1); }
    size_t indexOf(int column, int row) const { return size_t(row) * size_t(columns) + size_t(column); }

    /// Calls visit with the index of every cell rect overlaps.
    template<typename Visit>
    void forEachCellIn(const QRectF& rect, Visit visit) const
    {
        for (int column = columnOf(rect.left()); column <= columnOf(rect.right()); ++column) {
            for (int row = rowOf(rect.top()); row <= rowOf(rect.bottom()); ++row)
                visit(indexOf(column, row));
        }
    }

    /// Calls visit with the index of every cell the segment from-to passes within margin of.
    template<typename Visit>
    void forEachCellAlong(const QPointF& from, const QPointF& to, double margin, Visit visit) const
    {
        const double left = std::min(from.x(), to.x());
        const double right = std::max(from.x(), to.x());
        const double dx = to.x() - from.x();
        const double dy = to.y() - from.y();
        for (int column = columnOf(left - margin); column <= columnOf(right + margin); ++column) {
            double low = std::min(from.y(), to.y());
            double high = std::max(from.y(), to.y());
            if (dx != 0) {
                const double cellLeft = std::max(left, origin.x() + column * cellSize);
                const double cellRight = std::min(right, origin.x() + (column + 1) * cellSize);
                const double y1 = from.y() + dy * (cellLeft - from.x()) / dx;
                const double y2 = from.y() + dy * (cellRight - from.x()) / dx;
                low = std::max(low, std::min(y1, y2));
                high = std::min(high, std::max(y1, y2));
            }
            for (int row = rowOf(low - margin); row <= rowOf(high + margin); ++row)
                visit(indexOf(column, row));
        }
    }

private:
    QPointF origin;
    double cellSize = 1;
    int columns = 1;
    int rows = 1;
};
