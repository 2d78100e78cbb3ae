#include "LinkClearance.h"

#include "DeviceGrid.h"
#include "OrthogonalRouter.h"
#include "PortalPath.h"

#include <QHash>
#include <QLineF>

#include <algorithm>
#include <cmath>
#include <limits>
#include <utility>
#include <vector>

namespace {

/// The distance a new route keeps from the devices beside it, where its gap has room for it:
/// the room the map's own routes keep.
constexpr double clearance = OrthogonalRouter::clearance;
/// The distance between a link and its opposite routed together, where the gaps have room for it.
constexpr double pairSeparation = 12.0;
/// How far a link within one column runs out beside it, at most.
constexpr double sideReach = 12.0;
/// How far the open gaps above and below every column reach past the drawing's devices: far
/// enough that no shortest way between two devices turns at their ends.
constexpr double beyondDrawing = 100.0;
/// A link and its opposite closer than this along a stretch longer than togetherLength,
/// outside their ends, show as one: longer than where two links cross at 40 degrees.
constexpr double togetherDistance = 1.0;
constexpr double togetherLength = 3.0;

struct Point
{
    double x = 0;
    double y = 0;
};

using Interval = QPair<double, double>;

double lengthOf(const Interval& interval)
{
    return std::max(0.0, interval.second - interval.first);
}

Interval common(const Interval& a, const Interval& b)
{
    return {std::max(a.first, b.first), std::min(a.second, b.second)};
}

/// The values of u where offset + u * slope lies within [low, high].
Interval solve(double offset, double slope, double low, double high)
{
    constexpr double everything = std::numeric_limits<double>::max();
    if (std::abs(slope) < 1e-12)
        return offset >= low && offset <= high ? Interval(-everything, everything) : Interval(1, 0);
    const double first = (low - offset) / slope;
    const double second = (high - offset) / slope;
    return {std::min(first, second), std::max(first, second)};
}

/// Where, along the segment from `from` in the unit direction, the points lie within distance of
/// the point at.
Interval nearPoint(const QPointF& from, const QPointF& direction, const QPointF& at, double distance)
{
    const QPointF away = from - at;
    const double along = QPointF::dotProduct(direction, away);
    const double room = along * along - QPointF::dotProduct(away, away) + distance * distance;
    return room < 0 ? Interval(1, 0) : Interval(-along - std::sqrt(room), -along + std::sqrt(room));
}

/// Where, along the segment from `from` in the unit direction, the points lie within distance of
/// the segment a-b. The distance to a segment is convex along a line: the points near its
/// middle and those near either end make one interval.
Interval nearSegment(const QPointF& from, const QPointF& direction, const QPointF& a, const QPointF& b, double distance)
{
    Interval near = nearPoint(from, direction, a, distance);
    auto join = [&near](const Interval& more) {
        if (lengthOf(more) > 0 && lengthOf(near) > 0)
            near = {std::min(near.first, more.first), std::max(near.second, more.second)};
        else if (lengthOf(more) > 0)
            near = more;
    };
    join(nearPoint(from, direction, b, distance));
    const double length = QLineF(a, b).length();
    if (length > 0) {
        const QPointF along = (b - a) / length;
        const QPointF across(-along.y(), along.x());
        const QPointF start = from - a;
        const Interval besideLine
            = solve(QPointF::dotProduct(across, start), QPointF::dotProduct(across, direction), -distance, distance);
        const Interval besideSegment
            = solve(QPointF::dotProduct(along, start), QPointF::dotProduct(along, direction), 0, length);
        join(common(besideLine, besideSegment));
    }
    return near;
}

/// Where, along the segment from `from` in the unit direction, the points lie in rect.
Interval inside(const QPointF& from, const QPointF& direction, const QRectF& rect)
{
    return common(solve(from.x(), direction.x(), rect.left(), rect.right()),
                  solve(from.y(), direction.y(), rect.top(), rect.bottom()));
}

/// Whether the spans a1-a2 and b1-b2 lie further than togetherDistance apart.
bool apart(double a1, double a2, double b1, double b2)
{
    return std::max(a1, a2) + togetherDistance < std::min(b1, b2)
           || std::max(b1, b2) + togetherDistance < std::min(a1, a2);
}

/// How long the stretches of path within togetherDistance of other are, outside the rectangles
/// of their ends (which do not overlap).
double lengthAlong(const QPolygonF& path, const QPolygonF& other, const QRectF& end1, const QRectF& end2)
{
    double together = 0;
    for (int i = 0; i + 1 < path.size(); ++i) {
        const QPointF& from = path.at(i);
        const double length = QLineF(from, path.at(i + 1)).length();
        if (length <= 0)
            continue;
        const QPointF direction = (path.at(i + 1) - from) / length;
        for (int j = 0; j + 1 < other.size(); ++j) {
            const QPointF& a = other.at(j);
            const QPointF& b = other.at(j + 1);
            if (apart(from.x(), path.at(i + 1).x(), a.x(), b.x()) || apart(from.y(), path.at(i + 1).y(), a.y(), b.y()))
                continue;
            const Interval near = common(nearSegment(from, direction, a, b, togetherDistance), Interval(0, length));
            together += std::max(0.0, lengthOf(near) - lengthOf(common(near, inside(from, direction, end1)))
                                          - lengthOf(common(near, inside(from, direction, end2))));
        }
    }
    return together;
}

} // namespace

LinkClearance::LinkClearance(const LayoutGraph& graph, GraphPlacement& placement)
    : graph(graph)
    , placement(placement)
{
}

int LinkClearance::clear()
{
    if (placement.centers.size() != graph.devices.size())
        return 0;
    rects.clear();
    for (int i = 0; i < graph.devices.size(); ++i) {
        const QSizeF size = graph.devices.at(i).size;
        rects.append(QRectF(placement.centers.at(i) - QPointF(size.width() / 2, size.height() / 2), size));
    }
    placement.bends.resize(graph.links.size());
    const DeviceGrid devices(rects);
    QHash<QPair<int, int>, int> linkOf;
    for (int link = 0; link < graph.links.size(); ++link)
        linkOf.insert({graph.links.at(link).from, graph.links.at(link).to}, link);

    QVector<bool> settled(graph.links.size(), false);
    int cleared = 0;
    for (int link = 0; link < graph.links.size(); ++link) {
        const LayoutGraph::Link& ends = graph.links.at(link);
        if (settled.at(link) || ends.from == ends.to)
            continue;
        int opposite = linkOf.value({ends.to, ends.from}, -1);
        if (opposite >= 0 && settled.at(opposite))
            opposite = -1;
        if (!devices.passesOther(drawnPath(link, placement.bends.at(link)), ends.from, ends.to)
            && (opposite < 0 || !liesOn(link, opposite)))
            continue;
        if (columns.isEmpty())
            measureColumns();
        QVector<int> together{link};
        if (opposite >= 0)
            together.append(opposite);
        for (int routed : qAsConst(together))
            settled[routed] = true;

        const QVector<QList<QPointF>> routes = route(together, ends.from, ends.to);
        bool passesNone = routes.size() == together.size();
        for (int i = 0; passesNone && i < together.size(); ++i)
            passesNone = !devices.passesOther(drawnPath(together.at(i), routes.at(i)), ends.from, ends.to);
        if (!passesNone)
            continue;
        for (int i = 0; i < together.size(); ++i)
            placement.bends[together.at(i)] = routes.at(i);
        cleared += together.size();
    }
    return cleared;
}

bool LinkClearance::liesOn(int link, int opposite) const
{
    const QPolygonF path = drawnPath(link, placement.bends.at(link));
    const QPolygonF other = drawnPath(opposite, placement.bends.at(opposite));
    const QRectF& from = rects.at(graph.links.at(link).from);
    const QRectF& to = rects.at(graph.links.at(link).to);
    return lengthAlong(path, other, from, to) > togetherLength || lengthAlong(other, path, from, to) > togetherLength;
}

void LinkClearance::measureColumns()
{
    placement.findColumns();
    drawingTop = std::numeric_limits<double>::max();
    drawingBottom = std::numeric_limits<double>::lowest();
    for (const QRectF& rect : qAsConst(rects)) {
        drawingTop = std::min(drawingTop, rect.top());
        drawingBottom = std::max(drawingBottom, rect.bottom());
    }
    columnOf.fill(-1, graph.devices.size());
    columns.resize(placement.columns.size());
    for (int c = 0; c < placement.columns.size(); ++c) {
        Column& column = columns[c];
        const QVector<int>& members = placement.columns.at(c);
        column.left = rects.at(members.first()).left();
        column.right = rects.at(members.first()).right();
        for (int device : members) {
            columnOf[device] = c;
            column.left = std::min(column.left, rects.at(device).left());
            column.right = std::max(column.right, rects.at(device).right());
            column.spans.append({rects.at(device).top(), rects.at(device).bottom()});
        }
        std::sort(column.spans.begin(), column.spans.end());
    }
}

QPolygonF LinkClearance::drawnPath(int link, const QList<QPointF>& bends) const
{
    const LayoutGraph::Link& ends = graph.links.at(link);
    return DeviceGrid::linkPath(placement.centers.at(ends.from), bends, placement.centers.at(ends.to));
}

QVector<QList<QPointF>> LinkClearance::route(const QVector<int>& links, int first, int last) const
{
    if (columnOf.at(first) < 0 || columnOf.at(last) < 0)
        return {};
    if (columnOf.at(first) == columnOf.at(last))
        return routeWithin(links, columnOf.at(first));
    return routeAcross(links, first, last);
}

QVector<QList<QPointF>> LinkClearance::routeAcross(const QVector<int>& links, int first, int last) const
{
    const int left = columnOf.at(first) < columnOf.at(last) ? first : last;
    const int right = left == first ? last : first;
    // The old route, left to right, tells which gap of each column between the ends the new one takes.
    QPolygonF old = drawnPath(links.first(), placement.bends.at(links.first()));
    if (graph.links.at(links.first()).from != left)
        std::reverse(old.begin(), old.end());
    std::vector<Point> reference;
    for (const QPointF& point : qAsConst(old))
        reference.push_back({point.x(), point.y()});

    // Level out of the left end and into the right one, through a gap of each column between,
    // clear of the devices beside it where it has room.
    const QPointF start = placement.centers.at(left);
    const QPointF end = placement.centers.at(right);
    std::vector<std::pair<Point, Point>> portals{{{start.x(), start.y()}, {start.x(), start.y()}}};
    // A gap too narrow to keep the clearance for all is shared out evenly.
    auto addGate = [&portals, copies = links.size()](double x, double low, double high) {
        const double margin = std::max(0.0, std::min(clearance, (high - low) / (2 * copies)));
        portals.push_back({{x, high - margin}, {x, low + margin}});
    };
    addGate(columns.at(columnOf.at(left)).right, rects.at(left).top(), rects.at(left).bottom());
    for (int c = columnOf.at(left) + 1; c < columnOf.at(right); ++c) {
        const Column& column = columns.at(c);
        const QPair<double, double> gap = gapAt(c, PortalPath::heightAt(reference, (column.left + column.right) / 2));
        addGate(column.left, gap.first, gap.second);
        addGate(column.right, gap.first, gap.second);
    }
    addGate(columns.at(columnOf.at(right)).left, rects.at(right).top(), rects.at(right).bottom());
    portals.push_back({{end.x(), end.y()}, {end.x(), end.y()}});
    // A link and its opposite run the same way apart.
    const std::vector<std::vector<Point>> ways = PortalPath::sideBySide(portals, links.size(), pairSeparation);

    QVector<QList<QPointF>> routes;
    for (int i = 0; i < links.size(); ++i) {
        QList<QPointF> bends;
        for (size_t p = 1; p + 1 < ways[size_t(i)].size(); ++p)
            bends.append(QPointF(ways[size_t(i)][p].x, ways[size_t(i)][p].y));
        if (graph.links.at(links.at(i)).from != left)
            std::reverse(bends.begin(), bends.end());
        routes.append(bends);
    }
    return routes;
}

QVector<QList<QPointF>> LinkClearance::routeWithin(const QVector<int>& links, int c) const
{
    // Out to the channel beside the column and back: the first link on its right, an opposite on its left.
    const Column& column = columns.at(c);
    const double rightChannel = c + 1 < columns.size() ? columns.at(c + 1).left - column.right : 2 * sideReach;
    const double leftChannel = c > 0 ? column.left - columns.at(c - 1).right : 2 * sideReach;
    QVector<QList<QPointF>> routes;
    for (int i = 0; i < links.size(); ++i) {
        const double x = i == 0 ? column.right + std::min(sideReach, rightChannel / 2)
                                : column.left - std::min(sideReach, leftChannel / 2);
        const LayoutGraph::Link& link = graph.links.at(links.at(i));
        routes.append({QPointF(x, placement.centers.at(link.from).y()), QPointF(x, placement.centers.at(link.to).y())});
    }
    return routes;
}

QPair<double, double> LinkClearance::gapAt(int column, double y) const
{
    const QVector<QPair<double, double>>& spans = columns.at(column).spans;
    // The first device reaching below y; the gap above it holds y unless the device does.
    // The devices of a column do not overlap, so their bottoms ascend with their tops.
    auto isAbove = [](const QPair<double, double>& span, double value) { return span.second <= value; };
    int below = int(std::lower_bound(spans.cbegin(), spans.cend(), y, isAbove) - spans.cbegin());
    if (below < spans.size() && spans.at(below).first < y
        && y - spans.at(below).first > spans.at(below).second - y)
        ++below;
    const double low = below > 0 ? spans.at(below - 1).second : drawingTop - beyondDrawing;
    const double high = below < spans.size() ? spans.at(below).first : drawingBottom + beyondDrawing;
    return {low, high};
}
