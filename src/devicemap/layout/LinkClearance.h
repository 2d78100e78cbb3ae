#pragma once

#include "GraphPlacement.h"
#include "LayoutGraph.h"

#include <QPair>
#include <QSet>
#include <QPolygonF>
#include <QVector>

class DeviceGrid;

/**
 * Routes again the links of a left-to-right layered drawing that pass through a device that
 * is neither of their ends, as the map draws a link: from its source's centre through its
 * bends to its target's centre. dot's own routes end on the devices' outlines, where the map
 * goes on to the centres, and around clusters some of dot's corners cut through devices.
 *
 * Such a link takes the shortest way through the gaps its old route took between the devices
 * of each column it crosses (the nearest gap where the old route ran through a device), level
 * out of its source and into its target: a way through gaps alone passes through no device.
 * It keeps from the devices beside it the room the map's own routes keep (OrthogonalRouter),
 * or runs down the middle of a gap too narrow for that; the gaps above and below a column
 * reach past the drawing, so that a link passing far from a column's devices is not drawn
 * towards them. A link within one column runs out to the channel beside it and back. A link
 * and its opposite are routed again together and kept apart, so that both show.
 *
 * dot spreads a link and its opposite along the columns only, which leaves steep ones on one
 * another. Such a pair is moved apart along dot's way, to either side of it, as far apart as a
 * pair routed again (at least PortalPath::steepSeparation across where it runs steeply): a new
 * way through the gaps would cross many of the links dot drew around it. Only where dot's way
 * has no room for both, without passing through a device or nearer to one than dot's routes
 * came, is the pair routed again. Every other link keeps its route; so does one whose new
 * route would still pass through a device (where the drawing's columns are not whole).
 *
 * Internal to the automatic layout; any thread; one object per run.
 */
class LinkClearance
{
public:
    LinkClearance(const LayoutGraph& graph, GraphPlacement& placement);

    /// Routes the links again as above; returns how many got a new route.
    int clear();

private:
    struct Column
    {
        double left = 0;
        double right = 0;
        /// The devices' top and bottom, top to bottom.
        QVector<QPair<double, double>> spans;
    };

    void measureColumns();
    QPolygonF drawnPath(int link, const QList<QPointF>& bends) const;
    /// Whether link and its opposite, as they run now, show as one along a stretch.
    bool liesOn(int link, int opposite) const;
    /// Whether routes, one per link, pass through no device but their ends.
    bool passesNone(const QVector<int>& links, const QVector<QList<QPointF>>& routes, const DeviceGrid& devices) const;
    /// New bends for a link and its opposite drawn one on the other, moved apart along the
    /// first's way; empty where that way has no room for both.
    QVector<QList<QPointF>> spreadApart(const QVector<int>& pair, const DeviceGrid& devices) const;
    /// The devices among those given that path passes nearer than the clearance.
    QSet<int> devicesBeside(const QPolygonF& path, const QVector<int>& devices) const;
    /// New bends for links, all joining first and last, one after another; empty where there is no way.
    QVector<QList<QPointF>> route(const QVector<int>& links, int first, int last) const;
    QVector<QList<QPointF>> routeAcross(const QVector<int>& links, int first, int last) const;
    QVector<QList<QPointF>> routeWithin(const QVector<int>& links, int column) const;
    /// The gap between the devices of column that holds y, or the nearest one; those above and
    /// below the column reach past the drawing.
    QPair<double, double> gapAt(int column, double y) const;

    const LayoutGraph& graph;
    GraphPlacement& placement;
    QVector<QRectF> rects;
    QVector<int> columnOf;
    QVector<Column> columns;
    /// The top of the highest device and the bottom of the lowest.
    double drawingTop = 0;
    double drawingBottom = 0;
};
