#include "LayoutQuality.h"

#include "CellGrid.h"
#include "DeviceGrid.h"

#include <QHash>
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
        , grid(gridFor(segments))
    {
        cells.resize(grid.size());
        // Registered with a margin, so that a crossing computed a rounding error off either
        // segment still falls in a cell holding both.
        constexpr double margin = 1e-6;
        for (int i = 0; i < int(segments.size()); ++i)
            grid.forEachCellAlong(segments.at(i).from, segments.at(i).to, margin, [this, i](size_t cell) {
                cells[cell].push_back(i);
            });
    }

    qint64 crossings() const
    {
        qint64 count = 0;
        for (int column = 0; column < grid.columnCount(); ++column) {
            for (int row = 0; row < grid.rowCount(); ++row) {
                const std::vector<int>& inCell = cells.at(grid.indexOf(column, row));
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
    static CellGrid gridFor(const std::vector<Segment>& segments)
    {
        QRectF bounds;
        double extents = 0;
        for (const Segment& segment : segments) {
            bounds |= QRectF(segment.from, segment.to).normalized().adjusted(-1, -1, 1, 1);
            extents += std::max(std::abs(segment.to.x() - segment.from.x()), std::abs(segment.to.y() - segment.from.y()));
        }
        const double count = std::max<double>(1, double(segments.size()));
        return CellGrid(bounds, std::max(std::sqrt(bounds.width() * bounds.height() / count), extents / count), count);
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
        return grid.columnOf(crossing.x()) == column && grid.rowOf(crossing.y()) == row;
    }

    const std::vector<Segment>& segments;
    CellGrid grid;
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
        links.append(DeviceGrid::linkPath(from->center(), connection.bendingPoints, to->center()));
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

qint64 LayoutQuality::linksThroughDevices(const DevicesArrangement& arrangement)
{
    QVector<QRectF> devices;
    QHash<QString, int> deviceIndex;
    for (auto it = arrangement.deviceRects.cbegin(); it != arrangement.deviceRects.cend(); ++it) {
        deviceIndex.insert(it.key(), devices.size());
        devices.append(it.value());
    }
    const DeviceGrid grid(devices);
    qint64 count = 0;
    for (const ItemsConnection& connection : arrangement.connections) {
        const int from = deviceIndex.value(connection.from, -1);
        const int to = deviceIndex.value(connection.to, -1);
        if (from < 0 || to < 0)
            continue;
        const QPolygonF path
            = DeviceGrid::linkPath(devices.at(from).center(), connection.bendingPoints, devices.at(to).center());
        if (grid.passesOther(path, from, to))
            ++count;
    }
    return count;
}
