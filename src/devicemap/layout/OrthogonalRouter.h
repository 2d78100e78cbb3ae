#pragma once

#include "GraphPlacement.h"
#include "LayoutGraph.h"

#include <QPair>
#include <QVector>

#include <set>

/**
 * Routes every link of a layered placement as a right-angle polyline: out of the source
 * to the right, through the vertical channels between columns and along free horizontal
 * lanes between the devices of the columns it passes, into the target from the left.
 * A link to an earlier column (or within one) loops round the way it came, so opposite
 * links never share a line. No segment runs through a device other than its own ends.
 *
 * Vertical runs of one channel get tracks of their own, ordered so that staircases do not
 * cross; a channel too narrow for its tracks is widened by moving the columns to its
 * right. Before routing, a device fed from an earlier column whose centre lies a few units
 * off its feeder's is moved level with it where its column has room, so that chains run
 * straight instead of with tiny steps. Links that cross a great many columns in all (long
 * links all along a long flow) are left straight: routing them would take the application
 * seconds to minutes. Deterministic: the same placement gives the same routes.
 *
 * Internal to the automatic layout; any thread; one object per run.
 */
class OrthogonalRouter
{
public:
    /// The distance a route keeps from the devices it passes.
    static constexpr double clearance = 8.0;

    /// placement must have its columns (GraphPlacement::findColumns()).
    OrthogonalRouter(const LayoutGraph& graph, GraphPlacement& placement);

    /// Fills placement.bends and moves columns apart where channels need room.
    void route();

private:
    struct Column
    {
        double left = 0;
        double right = 0;
        /// Device spans widened by the clearance, top to bottom.
        QVector<QPair<double, double>> blocked;
        /// The free spans between them, top to bottom, the open ones above and below included.
        QVector<QPair<double, double>> gaps;
        std::set<double> lanes;
    };
    /// A vertical run of one link in one channel.
    struct Jog
    {
        int link = -1;
        int channel = -1;
        double from = 0;
        double to = 0;
        int track = 0;
    };

    void alignChains();
    void measureColumns();
    qint64 crossedColumns() const;
    void planLink(int link);
    double chooseLane(const QVector<int>& traversed, int step, double current, double target);
    bool isFree(int column, double y) const;
    double freeLaneNear(int column, double low, double high, double preferred) const;
    int freeRunLength(const QVector<int>& traversed, int step, double y) const;
    void assignTracks(int channel);
    void widenChannels();
    double trackX(const Jog& jog) const;
    void buildBends();

    const LayoutGraph& graph;
    GraphPlacement& placement;
    QVector<int> columnOf;
    QVector<Column> columns;
    QVector<Jog> jogs;
    /// Jog indexes of each link, in path order.
    QVector<QVector<int>> linkJogs;
    /// Jog indexes of each channel; channel c lies left of column c.
    QVector<QVector<int>> channelJogs;
    QVector<int> channelTracks;
};
