#pragma once

#include <algorithm>
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

/**
 * The ways of copies links run side by side through upright portals, as dot draws a link and
 * its opposite: the shortest way through the portals narrowed to leave room for all, then
 * each copy moved along y by its place, step apart, where step is at most maxStep and at most
 * the room of every portal between the ends over copies. The copies share their ends. A way
 * with no bend gets one where it crosses the first portal after its start and one where it
 * crosses the last before its end, so that the copies do not lie one on another. One copy
 * takes the shortest way, bends and all.
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
    std::vector<Point> way = shortestWay(portals);
    if (copies > 1 && way.size() == 2 && last >= 2 && way[0].x != way[1].x) {
        way.insert(way.begin() + 1, crossingAt(way[0], way[1], portals[1].first.x));
        if (last > 2)
            way.insert(way.end() - 1, crossingAt(way[0], way.back(), portals[last - 1].first.x));
    }
    std::vector<std::vector<Point>> ways(size_t(copies), way);
    for (int copy = 0; copy < copies; ++copy) {
        for (size_t p = 1; p + 1 < way.size(); ++p)
            ways[size_t(copy)][p].y += copy * step - half;
    }
    return ways;
}

} // namespace PortalPath
