#include "LayoutQuality.h"

#include <QLineF>
#include <QRectF>

#include <algorithm>
#include <cmath>
#include <vector>

namespace {

struct Segment
{
    QPointF from;
    QPointF to;
    int link = -1;
};

double orientation(const QPointF& a, const QPointF& b, const QPointF& c)
{
    return (b.x() - a.x()) * (c.y() - a.y()) - (b.y() - a.y()) * (c.x() - a.x());
}

/// Segments in grid cells; each segment is listed in every cell it passes through.
class SegmentGrid
{
public:
    explicit SegmentGrid(const std::vector<Segment>& segments)
        : segments(segments)
    {
        QRectF bounds;
        double extents = 0;
        for (const Segment& segment : segments) {
            bounds |= QRectF(segment.from, segment.to).normalized().adjusted(-1, -1, 1, 1);
            extents += std::max(std::abs(segment.to.x() - segment.from.x()), std::abs(segment.to.y() - segment.from.y()));
        }
        origin = bounds.topLeft();
        const double count = std::max<double>(1, double(segments.size()));
        cellSize = std::max({std::sqrt(bounds.width() * bounds.height() / count), extents / count, 1.0});
        // A few cells per segment at most, whatever the drawing's shape.
        const double cellLimit = 4 * count + 16;
        while (std::ceil(bounds.width() / cellSize) * std::ceil(bounds.height() / cellSize) > cellLimit)
            cellSize *= 1.5;
        columns = std::max(1, int(std::ceil(bounds.width() / cellSize)));
        rows = std::max(1, int(std::ceil(bounds.height() / cellSize)));
        cells.resize(size_t(columns) * size_t(rows));
        for (int i = 0; i < int(segments.size()); ++i)
            insert(i);
    }

    qint64 crossings() const
    {
        qint64 count = 0;
        for (int column = 0; column < columns; ++column) {
            for (int row = 0; row < rows; ++row) {
                const std::vector<int>& inCell = cells.at(size_t(row) * size_t(columns) + size_t(column));
                for (size_t i = 0; i < inCell.size(); ++i) {
                    for (size_t j = i + 1; j < inCell.size(); ++j) {
                        if (crossInCell(segments.at(inCell.at(i)), segments.at(inCell.at(j)), column, row))
                            ++count;
                    }
                }
            }
        }
        return count;
    }

private:
    int columnOf(double x) const { return std::clamp(int(std::floor((x - origin.x()) / cellSize)), 0, columns - 1); }
    int rowOf(double y) const { return std::clamp(int(std::floor((y - origin.y()) / cellSize)), 0, rows - 1); }

    void insert(int index)
    {
        // Registered with a margin, so that a crossing computed a rounding error off either
        // segment still falls in a cell holding both.
        constexpr double margin = 1e-6;
        const Segment& segment = segments.at(index);
        const double left = std::min(segment.from.x(), segment.to.x());
        const double right = std::max(segment.from.x(), segment.to.x());
        const double dx = segment.to.x() - segment.from.x();
        const double dy = segment.to.y() - segment.from.y();
        for (int column = columnOf(left - margin); column <= columnOf(right + margin); ++column) {
            double low = std::min(segment.from.y(), segment.to.y());
            double high = std::max(segment.from.y(), segment.to.y());
            if (dx != 0) {
                const double cellLeft = std::max(left, origin.x() + column * cellSize);
                const double cellRight = std::min(right, origin.x() + (column + 1) * cellSize);
                const double y1 = segment.from.y() + dy * (cellLeft - segment.from.x()) / dx;
                const double y2 = segment.from.y() + dy * (cellRight - segment.from.x()) / dx;
                low = std::max(low, std::min(y1, y2));
                high = std::min(high, std::max(y1, y2));
            }
            for (int row = rowOf(low - margin); row <= rowOf(high + margin); ++row)
                cells[size_t(row) * size_t(columns) + size_t(column)].push_back(index);
        }
    }

    /// Whether a and b cross properly at a point of the given cell.
    bool crossInCell(const Segment& a, const Segment& b, int column, int row) const
    {
        if (a.link == b.link)
            return false;
        const double d1 = orientation(a.from, a.to, b.from);
        const double d2 = orientation(a.from, a.to, b.to);
        if (!((d1 < 0 && d2 > 0) || (d1 > 0 && d2 < 0)))
            return false;
        const double d3 = orientation(b.from, b.to, a.from);
        const double d4 = orientation(b.from, b.to, a.to);
        if (!((d3 < 0 && d4 > 0) || (d3 > 0 && d4 < 0)))
            return false;
        const QPointF crossing = a.from + (a.to - a.from) * (d3 / (d3 - d4));
        return columnOf(crossing.x()) == column && rowOf(crossing.y()) == row;
    }

    const std::vector<Segment>& segments;
    QPointF origin;
    double cellSize = 1;
    int columns = 1;
    int rows = 1;
    std::vector<std::vector<int>> cells;
};

} // namespace

LayoutQuality LayoutQuality::of(const DevicesArrangement& arrangement)
{
    QVector<QPolygonF> links;
    links.reserve(arrangement.connections.size());
    for (const ItemsConnection& connection : arrangement.connections) {
        const auto from = arrangement.deviceRects.constFind(connection.from);
        const auto to = arrangement.deviceRects.constFind(connection.to);
        if (from == arrangement.deviceRects.constEnd() || to == arrangement.deviceRects.constEnd())
            continue;
        QPolygonF polyline;
        polyline.reserve(connection.bendingPoints.size() + 2);
        polyline << from->center();
        for (const QPointF& point : connection.bendingPoints)
            polyline << point;
        polyline << to->center();
        links.append(polyline);
    }
    return of(links);
}

LayoutQuality LayoutQuality::of(const QVector<QPolygonF>& links)
{
    LayoutQuality quality;
    std::vector<Segment> segments;
    for (int link = 0; link < links.size(); ++link) {
        const QPolygonF& polyline = links.at(link);
        for (int i = 0; i + 1 < polyline.size(); ++i) {
            const double length = QLineF(polyline.at(i), polyline.at(i + 1)).length();
            quality.linkLength += length;
            if (length > 0)
                segments.push_back({polyline.at(i), polyline.at(i + 1), link});
        }
    }
    if (segments.size() >= 2)
        quality.crossings = SegmentGrid(segments).crossings();
    return quality;
}
