#pragma once

#include "GraphPlacement.h"
#include "LayoutGraph.h"
#include "dozerozozu_export.h"

#include <QPair>
#include <QRectF>
#include <QVector>

/**
 * Draws the groups of a large graph over a layered placement made without them: every
 * device keeps its column (its rank, left to right), and each group becomes a strip
 * spanning the columns of its members, stacked above or below the others.
 *
 * dot draws a cluster the same way, but its cluster handling costs time in proportion to
 * the ranks each cluster spans times the whole drawing: groups whose members lie all along
 * a long signal flow (a GUI area's widgets fed from everywhere) take minutes at 5,000
 * devices. Ranked on their own first and placed as boxes, such groups pull every link
 * they take part in into a handful of hubs, and the drawing crosses itself a million times.
 *
 * Within a group, the devices of a column keep the order the placement gave them, stacked
 * from the top. A group's parts (its own devices and its subgroups, each a block) are
 * ordered by where their devices lay in the placement and packed into rows: blocks whose
 * columns do not meet share a row, so groups that follow one another along the flow sit
 * side by side. Empty groups come last, side by side. A group's rectangle holds its
 * devices and subgroups with a margin and room for its title; groups never overlap one
 * another, nor devices outside them. Links are routed orthogonally (OrthogonalRouter).
 * Linear in the size of the graph but for the sorting; deterministic.
 *
 * Internal to the automatic layout (exported for its tests); any thread.
 */
class DOZEROZOZU_EXPORT GroupStripLayout
{
public:
    /// Places graph's devices and groups, given ungrouped: the centres of graph laid out without its groups.
    static GraphPlacement place(const LayoutGraph& graph, const GraphPlacement& ungrouped);

private:
    /// A laid-out part of a group: devices (or, for an empty group, nothing) with offsets from its top.
    struct Block
    {
        /// The group the block draws, -1 for a group's own devices or the top level.
        int group = -1;
        double left = 0;
        double right = 0;
        double height = 0;
        /// Where the block's devices lay in the placement, for ordering blocks; larger is lower.
        double key = 0;
        QVector<QPair<int, double>> deviceTops;
        /// The tops and bottoms of the groups inside the block, the block's own group included.
        QVector<QPair<int, QPair<double, double>>> groupSpans;
        /// Per empty group inside: its left, from the left of what its parent holds, and its width.
        QVector<QPair<int, QPair<double, double>>> emptyPlacements;
        /// Blocks without devices (empty groups) are placed after the others.
        bool isEmpty() const { return deviceTops.isEmpty(); }
    };

    GroupStripLayout(const LayoutGraph& graph, const GraphPlacement& ungrouped);

    Block membersBlock(const QVector<int>& members) const;
    Block groupBlock(int group) const;
    Block stacked(QVector<Block> parts, double padding, double title) const;
    static void shift(Block& block, double dy);
    static void append(Block& into, const Block& part);
    QVector<QRectF> groupRects(const GraphPlacement& placement, const Block& root) const;

    const LayoutGraph& graph;
    /// The centres of the placement without groups, one per device.
    QVector<QPointF> centers;
    QVector<int> columnOf;
    /// Index 0 stands for the top level, group g for index g + 1.
    QVector<QVector<int>> membersOfGroup;
    QVector<QVector<int>> childrenOfGroup;
};
