#pragma once

#include <algorithm>
#include <cmath>
#include <utility>
#include <vector>

/*
 * The shortest way through a row of portals, for routing a link through the gaps a layered
 * drawing leaves it: the layout program routes links through dot's places with it, and the
 * library links it routes again around devices. Header only, standard library only (the
 * program starts without Qt), for any point type with x and y fields.
 *
 * Portals are crossed in the order given, each a segment given by its two ends: the first on
 * the left of the way (where the turn from the way to it is positive), the second on the
 * right. The first and last portals are single points, the way's start and end. Portals
 * that links run through side by side (sideBySide()) stand upright: both ends at one x, the
 * first the higher.
 */
namespace PortalPath {

/// How far apart across the copies of a steep piece lie, at most (sideBySide()): far enough to
/// show as two. Links that run steeply beside them lie about as close, and every unit further
/// would cross more of them.
constexpr double steepSeparation = 2.0;

template<typename Point>
bool same(const Point& a, const Point& b)
{
    return a.x == b.x && a.y == b.y;
}

/// Twice the signed area of a, b, c: positive when c lies to the left of a→b (y up).
template<typename Point>
double turn(const Point& a, const Point& b, const Point& c)
{
    return (b.x - a.x) * (c.y - a.y) - (b.y - a.y) * (c.x - a.x);
}

/// One side of the funnel: its end and the portal that end belongs to. sense is +1 for the right
/// side and -1 for the left: a side's next end lies inside the funnel where sense times its turn
/// from the side is not negative, so both sides narrow by one rule.
template<typename Point>
struct FunnelSide
{
    Point end;
    int index = 0;
    double sense = 1;
};

/**
 * Moves side to next, its end at portal i, where that narrows the funnel. Where next crosses
 * over the other side, the way turns round the other side's corner: that corner joins the path
 * as the new apex, side starts from it again and i goes back to its portal; false then.
 */
template<typename Point>
bool narrow(FunnelSide<Point>* side, const FunnelSide<Point>& other, const Point& next, int* i, Point* apex,
            std::vector<Point>* path)
{
    if (side->sense * turn(*apex, side->end, next) >= 0) {
        if (same(*apex, side->end) || side->sense * turn(*apex, other.end, next) < 0) {
            side->end = next;
            side->index = *i;
        } else {
            path->push_back(other.end);
            *apex = side->end = other.end;
            *i = side->index = other.index;
            return false;
        }
    }
    return true;
}

/// The shortest way from the first portal to the last through the others: the funnel algorithm.
template<typename Point>
std::vector<Point> shortestWay(const std::vector<std::pair<Point, Point>>& portals)
{
    std::vector<Point> path{portals.front().first};
    Point apex = portals.front().first;
    FunnelSide<Point> left{apex, 0, -1};
    FunnelSide<Point> right{apex, 0, 1};
    for (int i = 1; i < int(portals.size()); ++i) {
        if (narrow(&right, left, portals[i].second, &i, &apex, &path))
            narrow(&left, right, portals[i].first, &i, &apex, &path);
    }
    if (!same(path.back(), portals.back().first))
        path.push_back(portals.back().first);
    return path;
}

/// The y of the x-monotone path at x.
template<typename Point>
double heightAt(const std::vector<Point>& path, double x)
{
    for (int i = 1; i < int(path.size()); ++i) {
        const Point& a = path[i - 1];
        const Point& b = path[i];
        if (x <= b.x || i + 1 == int(path.size())) {
            if (b.x - a.x <= 1e-9)
                return b.y;
            const double t = std::clamp((x - a.x) / (b.x - a.x), 0.0, 1.0);
            return a.y + t * (b.y - a.y);
        }
    }
    return path.front().y;
}

/// The point at x of the line through a and b, which do not share an x.
template<typename Point>
Point crossingAt(const Point& a, const Point& b, double x)
{
    Point point = a;
    point.x = x;
    point.y = a.y + (b.y - a.y) * (x - a.x) / (b.x - a.x);
    return point;
}

/// Whether b lies on the line from a to c, within a hundredth of a unit.
template<typename Point>
bool inLine(const Point& a, const Point& b, const Point& c)
{
    const double length = std::hypot(c.x - a.x, c.y - a.y);
    return length > 0 && std::abs(turn(a, b, c)) <= 0.01 * length;
}

/// way with a point added wherever it crosses the line of a portal between two of its points.
template<typename Point>
std::vector<Point> cutAtPortals(const std::vector<Point>& way, const std::vector<std::pair<Point, Point>>& portals)
{
    std::vector<Point> cut{way.front()};
    size_t portal = 1;
    for (size_t i = 1; i < way.size(); ++i) {
        for (; portal + 1 < portals.size() && portals[portal].first.x < way[i].x; ++portal) {
            if (portals[portal].first.x > cut.back().x)
                cut.push_back(crossingAt(way[i - 1], way[i], portals[portal].first.x));
        }
        cut.push_back(way[i]);
    }
    return cut;
}

/// Appends to copy the piece from a to b of a way, both already moved, keeping level for
/// startRun out of a and for endRun into b.
template<typename Point>
void appendPiece(std::vector<Point>* copy, const Point& a, const Point& b, double startRun, double endRun)
{
    if (copy->empty() || !same(copy->back(), a))
        copy->push_back(a);
    Point corner = a;
    if (startRun > 0) {
        corner.x += startRun;
        copy->push_back(corner);
    }
    if (endRun > 0) {
        corner = b;
        corner.x -= endRun;
        copy->push_back(corner);
    }
    copy->push_back(b);
}

/// copy without its points that lie on the line between their neighbours.
template<typename Point>
std::vector<Point> withoutStraightBends(const std::vector<Point>& copy)
{
    std::vector<Point> kept{copy.front()};
    for (size_t i = 1; i + 1 < copy.size(); ++i) {
        if (!same(copy[i], kept.back()) && !inLine(kept.back(), copy[i], copy[i + 1]))
            kept.push_back(copy[i]);
    }
    kept.push_back(copy.back());
    return kept;
}

/**
 * The ways of copies links run side by side through upright portals, as dot draws a link and
 * its opposite: the shortest way through the portals narrowed to leave room for all, then
 * each copy moved along y by its place, step apart, where step is at most maxStep and at most
 * the room of every portal between the ends over copies. The copies share their ends, and
 * bend where the way crosses the first portal after its start and the last before its end,
 * so that they do not lie one on another. Moved along y alone, the copies of a steep piece
 * between two portals would lie almost on one another (step times the cosine of its slope
 * apart): there each copy keeps level for a while out of the first portal or into the second,
 * so that their slanted stretches lie apart across as well (steepSeparation), in the order the
 * copies have along y. Between two neighbouring portals lies room the way may take (a channel
 * between columns, or a gap of a column's), so the copies stay in it. One copy takes the
 * shortest way, bends and all.
 */
template<typename Point>
std::vector<std::vector<Point>> sideBySide(std::vector<std::pair<Point, Point>> portals, int copies, double maxStep)
{
    const size_t last = portals.size() - 1;
    double step = copies > 1 ? maxStep : 0.0;
    for (size_t i = 1; i < last; ++i)
        step = std::max(0.0, std::min(step, (portals[i].first.y - portals[i].second.y) / copies));
    const double half = step * (copies - 1) / 2;
    for (size_t i = 1; i < last; ++i) {
        portals[i].first.y -= half;
        portals[i].second.y += half;
    }
    const std::vector<Point> way = shortestWay(portals);
    if (copies < 2 || step <= 0)
        return std::vector<std::vector<Point>>(size_t(std::max(copies, 0)), way);

    const std::vector<Point> cut = cutAtPortals(way, portals);
    std::vector<std::vector<Point>> ways(static_cast<size_t>(copies));
    for (int copy = 0; copy < copies; ++copy) {
        // The ends are shared; every point between is moved.
        auto moved = [&cut, offset = copy * step - half](size_t i) {
            Point point = cut[i];
            if (i > 0 && i + 1 < cut.size())
                point.y += offset;
            return point;
        };
        std::vector<Point>& copyWay = ways[size_t(copy)];
        for (size_t i = 1; i < cut.size(); ++i) {
            const Point& a = cut[i - 1];
            const Point& b = cut[i];
            const double width = b.x - a.x;
            // Steeper than 60 degrees, copies moved along y lie less than half a step apart.
            const bool steep = i > 1 && i + 1 < cut.size() && width > 0 && 2 * width < std::hypot(width, b.y - a.y);
            const double across = steep ? std::min({step, width / copies, steepSeparation}) : 0.0;
            // On a piece rising in y, a copy moved to a smaller y lies towards a larger x: its slanted
            // stretch moves that many steps across, by keeping level that much longer at the start.
            const int shift = b.y > a.y ? copies - 1 - copy : copy;
            appendPiece(&copyWay, moved(i - 1), moved(i), across * shift, across * (copies - 1 - shift));
        }
        copyWay = withoutStraightBends(copyWay);
    }
    return ways;
}

} // namespace PortalPath
