#include "LinkClearance.h"

#include "DeviceGrid.h"
#include "OrthogonalRouter.h"
#include "PortalPath.h"

#include <QHash>
#include <QLineF>
#include <QSet>

#include <algorithm>
#include <cmath>
#include <limits>
#include <utility>
#include <vector>

namespace {

/// The distance a new route keeps from the devices beside it, where its gap has room for it:
/// the room the map's own routes keep.
constexpr double clearance = OrthogonalRouter::clearance;
/// The distance between a link and its opposite routed together or moved apart, along the
/// columns, where there is room for it.
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

/// The stretch of path from where it leaves first to where it enters last; empty where it never
/// runs outside both.
QPolygonF outsideEnds(const QPolygonF& path, const QRectF& first, const QRectF& last)
{
    // Where along a segment, from a to b, it is in rect: in units of length.
    auto within = [](const QPointF& a, const QPointF& b, const QRectF& rect) {
        const double length = QLineF(a, b).length();
        return length > 0 ? common(inside(a, (b - a) / length, rect), Interval(0, length)) : Interval(1, 0);
    };
    int start = 0;
    while (start + 1 < path.size() && first.contains(path.at(start + 1)))
        ++start;
    int end = path.size() - 1;
    while (end > start + 1 && last.contains(path.at(end - 1)))
        --end;
    if (start + 1 >= path.size() || end <= start)
        return {};
    const QPointF& a = path.at(start);
    const QPointF& b = path.at(start + 1);
    const QPointF& c = path.at(end - 1);
    const QPointF& d = path.at(end);
    const double leaving = within(a, b, first).second;
    const double entering = within(d, c, last).second;
    // Ends that touch or overlap leave nothing between them on a segment joining them.
    if (end == start + 1 && leaving + entering >= QLineF(a, b).length())
        return {};
    QPolygonF stretch;
    stretch << a + (b - a) * (leaving / QLineF(a, b).length());
    for (int i = start + 1; i < end; ++i)
        stretch << path.at(i);
    return stretch << d + (c - d) * (entering / QLineF(c, d).length());
}

/// path moved sideways to its right as it runs (y downwards): a level segment by level, a steep
/// one by as much along the columns but at least by steep across, each corner to where the moved
/// segments meet; a sharp corner is cut, so that it does not reach far out.
QPolygonF movedAside(const QPolygonF& path, double level, double steep)
{
    QPolygonF points;
    for (const QPointF& point : path) {
        if (points.isEmpty() || QLineF(points.last(), point).length() > 1e-6)
            points << point;
    }
    if (points.size() < 2)
        return {};
    if (level == 0 && steep == 0)
        return points;
    auto rightOf = [&points](int i) {
        const QLineF segment(points.at(i), points.at(i + 1));
        return QPointF(-segment.dy(), segment.dx()) / segment.length();
    };
    auto distanceOf = [&](int i) {
        const QLineF segment(points.at(i), points.at(i + 1));
        const double across = std::abs(level * segment.dx()) / segment.length();
        return across > std::abs(steep) ? std::copysign(across, level) : steep;
    };
    QPolygonF moved;
    moved << points.first() + distanceOf(0) * rightOf(0);
    for (int i = 1; i + 1 < points.size(); ++i) {
        const QPointF before = rightOf(i - 1);
        const QPointF after = rightOf(i);
        const double first = distanceOf(i - 1);
        const double second = distanceOf(i);
        // Where the moved segments' lines meet: the offset that reaches each normal's distance along it.
        const double determinant = before.x() * after.y() - before.y() * after.x();
        if (std::abs(determinant) > 0.05) {
            const QPointF corner((first * after.y() - second * before.y()) / determinant,
                                 (before.x() * second - after.x() * first) / determinant);
            if (QPointF::dotProduct(corner, corner) < 9 * std::max(first * first, second * second)) {
                moved << points.at(i) + corner;
                continue;
            }
        }
        if (QPointF::dotProduct(before, after) > 0 && std::abs(first - second) < 1e-6)
            moved << points.at(i) + first * (before + after) / QLineF(QPointF(), before + after).length();
        else
            moved << points.at(i) + first * before << points.at(i) + second * after;
    }
    moved << points.last() + distanceOf(points.size() - 2) * rightOf(points.size() - 2);
    return moved;
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
        const bool passes = devices.passesOther(drawnPath(link, placement.bends.at(link)), ends.from, ends.to);
        if (!passes && (opposite < 0 || !liesOn(link, opposite)))
            continue;
        QVector<int> together{link};
        if (opposite >= 0)
            together.append(opposite);
        for (int routed : qAsConst(together))
            settled[routed] = true;

        // A pair dot drew one on the other is drawn apart along dot's way where that way has
        // room for both; through the gaps only where it has not.
        QVector<QList<QPointF>> routes = passes ? QVector<QList<QPointF>>() : spreadApart(together, devices);
        if (routes.isEmpty()) {
            if (columns.isEmpty())
                measureColumns();
            routes = route(together, ends.from, ends.to);
            if (!passesNone(together, routes, devices))
                continue;
        }
        for (int i = 0; i < together.size(); ++i)
            placement.bends[together.at(i)] = routes.at(i);
        cleared += together.size();
    }
    return cleared;
}

bool LinkClearance::passesNone(const QVector<int>& links, const QVector<QList<QPointF>>& routes,
                               const DeviceGrid& devices) const
{
    if (routes.size() != links.size())
        return false;
    for (int i = 0; i < links.size(); ++i) {
        const LayoutGraph::Link& ends = graph.links.at(links.at(i));
        if (devices.passesOther(drawnPath(links.at(i), routes.at(i)), ends.from, ends.to))
            return false;
    }
    return true;
}

QVector<QList<QPointF>> LinkClearance::spreadApart(const QVector<int>& pair, const DeviceGrid& devices) const
{
    if (pair.size() != 2)
        return {};
    const LayoutGraph::Link& ends = graph.links.at(pair.first());
    // Both run along the first's way, which cannot cross itself; where dot drew them one on the
    // other, the two ways are one.
    const QPolygonF way = outsideEnds(drawnPath(pair.first(), placement.bends.at(pair.first())), rects.at(ends.from),
                                      rects.at(ends.to));
    if (way.size() < 2)
        return {};
    // The devices the ways may pass near: a moved corner lies within three times its distance.
    QRectF reach = way.boundingRect();
    QVector<QPolygonF> drawn;
    for (int link : pair) {
        drawn.append(drawnPath(link, placement.bends.at(link)));
        reach |= drawn.last().boundingRect();
    }
    const double margin = 3 * pairSeparation + clearance;
    reach.adjust(-margin, -margin, margin, margin);
    QVector<int> near;
    for (int device = 0; device < rects.size(); ++device) {
        if (device != ends.from && device != ends.to && rects.at(device).intersects(reach))
            near.append(device);
    }
    QSet<int> besideBefore;
    for (const QPolygonF& path : qAsConst(drawn))
        besideBefore.unite(devicesBeside(path, near));
    // Each moves half the separation to its own side; where a device beside the way leaves one
    // side no room, the other moves all of it, and where neither has room they part by less.
    for (double separation = pairSeparation; separation >= pairSeparation / 2; separation /= 2) {
        for (double share : {0.5, 0.0, 1.0}) {
            const QPolygonF there = movedAside(way, share * separation, share * PortalPath::steepSeparation);
            QPolygonF back = movedAside(way, (share - 1) * separation, (share - 1) * PortalPath::steepSeparation);
            std::reverse(back.begin(), back.end());
            const QVector<QList<QPointF>> routes{there.toList(), back.toList()};
            if (!passesNone(pair, routes, devices))
                continue;
            // No nearer a device than the clearance, but where dot's ways already were.
            bool keepsClear = true;
            for (int i = 0; keepsClear && i < pair.size(); ++i)
                keepsClear = besideBefore.contains(devicesBeside(drawnPath(pair.at(i), routes.at(i)), near));
            if (keepsClear)
                return routes;
        }
    }
    return {};
}

QSet<int> LinkClearance::devicesBeside(const QPolygonF& path, const QVector<int>& devices) const
{
    QSet<int> beside;
    const QRectF reach = path.boundingRect().adjusted(-clearance, -clearance, clearance, clearance);
    for (int device : devices) {
        if (!rects.at(device).intersects(reach))
            continue;
        const QRectF widened = rects.at(device).adjusted(-clearance, -clearance, clearance, clearance);
        for (int i = 0; i + 1 < path.size(); ++i) {
            if (DeviceGrid::passesThrough(path.at(i), path.at(i + 1), widened)) {
                beside.insert(device);
                break;
            }
        }
    }
    return beside;
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
