#pragma once

#include "DeviceMapGeometry.h"
#include "DevicesArrangement.h"
#include "GraphPlacement.h"
#include "LayoutGraph.h"
#include "OrthogonalRouter.h"

#include <QHash>
#include <QPair>
#include <QPolygonF>
#include <QRectF>
#include <QSet>
#include <QStringList>
#include <QVector>

#include <algorithm>
#include <cmath>
#include <limits>

// What the corpus suite looks for in a drawing, as the map draws it: links through devices,
// opposite links on one another, links along a device's edge.

namespace {

/// The room the map's own routes keep from the devices they pass.
constexpr double clearance = OrthogonalRouter::clearance;


/// Whether the segment a-b passes through the inside of rect (Liang-Barsky clipping).
bool passesThrough(const QPointF& a, const QPointF& b, const QRectF& rect)
{
    const QRectF inner = rect.adjusted(0.5, 0.5, -0.5, -0.5);
    double enter = 0;
    double leave = 1;
    const double delta[2] = {b.x() - a.x(), b.y() - a.y()};
    const double start[2] = {a.x(), a.y()};
    const double low[2] = {inner.left(), inner.top()};
    const double high[2] = {inner.right(), inner.bottom()};
    for (int axis = 0; axis < 2; ++axis) {
        if (delta[axis] == 0) {
            if (start[axis] <= low[axis] || start[axis] >= high[axis])
                return false;
            continue;
        }
        double t1 = (low[axis] - start[axis]) / delta[axis];
        double t2 = (high[axis] - start[axis]) / delta[axis];
        if (t1 > t2)
            std::swap(t1, t2);
        enter = std::max(enter, t1);
        leave = std::min(leave, t2);
        if (enter >= leave)
            return false;
    }
    return true;
}

/// The links that pass through a device that is neither of their ends, each as "from>to through device".
QStringList linksThroughDevices(const DevicesArrangement& arrangement)
{
    // Devices by the cells of a coarse grid they touch, so that each segment meets only its neighbours.
    constexpr double cell = 200;
    QHash<QPair<int, int>, QStringList> devicesByCell;
    for (auto it = arrangement.deviceRects.cbegin(); it != arrangement.deviceRects.cend(); ++it) {
        for (int x = int(std::floor(it->left() / cell)); x <= int(std::floor(it->right() / cell)); ++x) {
            for (int y = int(std::floor(it->top() / cell)); y <= int(std::floor(it->bottom() / cell)); ++y)
                devicesByCell[qMakePair(x, y)].append(it.key());
        }
    }
    QStringList crossing;
    for (const ItemsConnection& connection : arrangement.connections) {
        QList<QPointF> path = connection.bendingPoints;
        path.prepend(arrangement.deviceRects.value(connection.from).center());
        path.append(arrangement.deviceRects.value(connection.to).center());
        QString through;
        for (int i = 0; i + 1 < path.size() && through.isEmpty(); ++i) {
            const QRectF span = QRectF(path.at(i), path.at(i + 1)).normalized();
            QSet<QString> seen;
            for (int x = int(std::floor(span.left() / cell)); x <= int(std::floor(span.right() / cell)); ++x) {
                for (int y = int(std::floor(span.top() / cell)); y <= int(std::floor(span.bottom() / cell)); ++y) {
                    for (const QString& device : devicesByCell.value(qMakePair(x, y))) {
                        if (device != connection.from && device != connection.to && !seen.contains(device)
                            && passesThrough(path.at(i), path.at(i + 1), arrangement.deviceRects.value(device)))
                            through = device;
                        seen.insert(device);
                    }
                }
            }
        }
        if (!through.isEmpty())
            crossing << connection.from + '>' + connection.to + QStringLiteral(" through ") + through;
    }
    return crossing;
}

/// A link as the map draws it: from its source's centre through its bends to its target's.
QPolygonF drawnLink(const QPointF& from, const QList<QPointF>& bends, const QPointF& to)
{
    QPolygonF path;
    path << from;
    for (const QPointF& bend : bends)
        path << bend;
    return path << to;
}

/// Every link of arrangement as the map draws it, by its ends.
QHash<QPair<QString, QString>, QPolygonF> drawnLinks(const DevicesArrangement& arrangement)
{
    QHash<QPair<QString, QString>, QPolygonF> paths;
    for (const ItemsConnection& connection : arrangement.connections) {
        paths.insert({connection.from, connection.to},
                     drawnLink(arrangement.deviceRects.value(connection.from).center(), connection.bendingPoints,
                               arrangement.deviceRects.value(connection.to).center()));
    }
    return paths;
}

/// The pairs of opposite links drawn one on the other, each as "a<>b": every bend of either lies on
/// the other's drawn line, within a unit (two straight links between the same centres among them).
QStringList oppositeLinksOnOnePath(const DevicesArrangement& arrangement)
{
    auto bendsOnLine = [](const QPolygonF& bent, const QPolygonF& line) {
        for (int b = 1; b + 1 < bent.size(); ++b) {
            double nearest = std::numeric_limits<double>::max();
            for (int i = 0; i + 1 < line.size(); ++i) {
                const QPointF along = line.at(i + 1) - line.at(i);
                const double squared = QPointF::dotProduct(along, along);
                const double t
                    = squared > 0 ? std::clamp(QPointF::dotProduct(bent.at(b) - line.at(i), along) / squared, 0.0, 1.0)
                                  : 0.0;
                nearest = std::min(nearest, QLineF(bent.at(b), line.at(i) + t * along).length());
            }
            if (nearest > 1)
                return false;
        }
        return true;
    };
    const QHash<QPair<QString, QString>, QPolygonF> paths = drawnLinks(arrangement);
    QStringList onOnePath;
    for (const ItemsConnection& connection : arrangement.connections) {
        const auto opposite = paths.constFind({connection.to, connection.from});
        const QPolygonF path = paths.value({connection.from, connection.to});
        if (connection.from < connection.to && opposite != paths.constEnd() && bendsOnLine(path, *opposite)
            && bendsOnLine(*opposite, path))
            onOnePath << connection.from + QStringLiteral("<>") + connection.to;
    }
    return onOnePath;
}

/// Where along the segment a-b, as fractions of it, its points lie in rect; empty where none do.
QPair<double, double> insideOf(const QPointF& a, const QPointF& b, const QRectF& rect)
{
    double enter = 0;
    double leave = 1;
    const double delta[2] = {b.x() - a.x(), b.y() - a.y()};
    const double start[2] = {a.x(), a.y()};
    const double low[2] = {rect.left(), rect.top()};
    const double high[2] = {rect.right(), rect.bottom()};
    for (int axis = 0; axis < 2; ++axis) {
        if (delta[axis] == 0) {
            if (start[axis] < low[axis] || start[axis] > high[axis])
                return {1, 0};
            continue;
        }
        const double t1 = (low[axis] - start[axis]) / delta[axis];
        const double t2 = (high[axis] - start[axis]) / delta[axis];
        enter = std::max(enter, std::min(t1, t2));
        leave = std::min(leave, std::max(t1, t2));
    }
    return {enter, leave};
}

/// How long a stretch of the segment a-b lies within a unit of the segment c-d, outside the rectangles.
double stretchNear(const QPointF& a, const QPointF& b, const QPointF& c, const QPointF& d, const QRectF& end1,
                   const QRectF& end2)
{
    auto distance = [&](double t) {
        const QPointF point = a + t * (b - a);
        return DeviceMapGeometry::pointToSegmentDistance(c.x(), c.y(), d.x(), d.y(), point.x(), point.y());
    };
    // The distance is convex along a-b: its least first, then where it passes a unit on either side.
    double low = 0;
    double high = 1;
    for (int i = 0; i < 100; ++i) {
        const double third = (high - low) / 3;
        if (distance(low + third) < distance(high - third))
            high -= third;
        else
            low += third;
    }
    const double nearest = (low + high) / 2;
    if (distance(nearest) > 1)
        return 0;
    auto edge = [&distance](double near, double far) {
        for (int i = 0; i < 60; ++i) {
            const double middle = (near + far) / 2;
            (distance(middle) <= 1 ? near : far) = middle;
        }
        return near;
    };
    const double first = edge(nearest, 0);
    const double last = edge(nearest, 1);
    double stretch = last - first;
    for (const QRectF& end : {end1, end2}) {
        const QPair<double, double> inside = insideOf(a, b, end);
        stretch -= std::max(0.0, std::min(last, inside.second) - std::max(first, inside.first));
    }
    return std::max(0.0, stretch) * QLineF(a, b).length();
}

/// The pairs of opposite links drawn together, each as "a<>b": outside the devices at their ends,
/// a segment of one lies within a unit of a segment of the other along more than 4 units (as two
/// links crossing at less than 30 degrees do).
QStringList oppositeLinksTogether(const DevicesArrangement& arrangement)
{
    const QHash<QPair<QString, QString>, QPolygonF> paths = drawnLinks(arrangement);
    QStringList together;
    for (auto it = paths.cbegin(); it != paths.cend(); ++it) {
        const QString& from = it.key().first;
        const QString& to = it.key().second;
        const auto opposite = paths.constFind({to, from});
        if (!(from < to) || opposite == paths.constEnd())
            continue;
        const QRectF fromRect = arrangement.deviceRects.value(from);
        const QRectF toRect = arrangement.deviceRects.value(to);
        double longest = 0;
        for (int i = 0; i + 1 < it->size(); ++i) {
            const QRectF reach = QRectF(it->at(i), it->at(i + 1)).normalized().adjusted(-1, -1, 1, 1);
            for (int j = 0; j + 1 < opposite->size(); ++j) {
                const QRectF other = QRectF(opposite->at(j), opposite->at(j + 1)).normalized();
                if (other.right() >= reach.left() && other.left() <= reach.right() && other.bottom() >= reach.top()
                    && other.top() <= reach.bottom())
                    longest = std::max(longest, stretchNear(it->at(i), it->at(i + 1), opposite->at(j),
                                                            opposite->at(j + 1), fromRect, toRect));
            }
        }
        if (longest > 4)
            together << from + QStringLiteral("<>") + to;
    }
    together.sort();
    return together;
}

/// The devices other than the link's ends whose top or bottom edge path runs along, nearer than
/// the clearance, over half the edge or more, where the room beside the edge holds the clearance
/// for a link and its opposite side by side.
QStringList edgesRunAlong(const QPolygonF& path, const QVector<QRectF>& devices, int from, int to)
{
    QStringList along;
    for (int i = 0; i + 1 < path.size(); ++i) {
        const QPointF a = path.at(i);
        const QPointF b = path.at(i + 1);
        if (a.x() == b.x())
            continue;
        for (int device = 0; device < devices.size(); ++device) {
            const QRectF& rect = devices.at(device);
            const double left = std::max(rect.left(), std::min(a.x(), b.x()));
            const double right = std::min(rect.right(), std::max(a.x(), b.x()));
            if (device == from || device == to || right - left < rect.width() / 2)
                continue;
            auto yAt = [&a, &b](double x) { return a.y() + (b.y() - a.y()) * (x - a.x()) / (b.x() - a.x()); };
            const double highest = std::min(yAt(left), yAt(right));
            const double lowest = std::max(yAt(left), yAt(right));
            const bool above = lowest <= rect.top() && rect.top() - highest < clearance - 0.5;
            const bool below = highest >= rect.bottom() && lowest - rect.bottom() < clearance - 0.5;
            if (!above && !below)
                continue;
            double room = std::numeric_limits<double>::max();
            for (const QRectF& beside : devices) {
                if (beside.right() > left && beside.left() < right) {
                    if (above && beside.bottom() <= rect.top())
                        room = std::min(room, rect.top() - beside.bottom());
                    if (below && beside.top() >= rect.bottom())
                        room = std::min(room, beside.top() - rect.bottom());
                }
            }
            if (room >= 4 * clearance)
                along << QString::number(device);
        }
    }
    return along;
}

/// A graph of 80 x 40 devices at centers, linked as given, and dot's drawing of it with straight links.
QPair<LayoutGraph, GraphPlacement> straightDrawing(const QVector<QPointF>& centers, const QList<LayoutGraph::Link>& links)
{
    LayoutGraph graph;
    graph.type = LayoutGraph::Hierarchical;
    for (int i = 0; i < centers.size(); ++i)
        graph.devices.append({QStringLiteral("d%1").arg(i), QSizeF(80, 40), -1});
    graph.links = links;
    GraphPlacement placement;
    placement.centers = centers;
    placement.bends = QVector<QList<QPointF>>(graph.links.size());
    return {graph, placement};
}

} // namespace
