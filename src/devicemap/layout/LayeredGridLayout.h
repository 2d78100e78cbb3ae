#pragma once

#include "GraphPlacement.h"
#include "LayoutGraph.h"

#include <QPointF>
#include <QRectF>
#include <QSizeF>
#include <QVector>

/**
 * A fast layered placement of our own, linear in the size of the graph: devices in
 * columns by the longest path from the sources (with CycleBreaker's links turned round,
 * and the links still closing a cycle set aside),
 * ordered within a column by a few barycentre sweeps, stacked without overlap. Groups
 * become boxes of their own, packed in rows inside their parent's box, with every
 * member inside and empty groups as small boxes.
 *
 * Used where Graphviz cannot serve: for graphs beyond its size limit, when it fails and
 * when it misses the deadline. Without groups the result has columns, so the orthogonal
 * routing can follow; links are left straight otherwise. Deterministic.
 *
 * Internal to the automatic layout; any thread.
 */
class LayeredGridLayout
{
public:
    /// Places every device and group of graph; bends stay empty.
    static GraphPlacement place(const LayoutGraph& graph);

private:
    /// A laid-out box with its contents relative to its top-left corner.
    struct Block
    {
        QSizeF size;
        QVector<QPair<int, QPointF>> centers;
        QVector<QPair<int, QRectF>> groupRects;
        QVector<QVector<int>> columns;
    };

    explicit LayeredGridLayout(const LayoutGraph& graph);

    Block layerDevices(const QVector<int>& members) const;
    Block groupBlock(int group) const;
    static void addBlockAt(Block& into, const Block& block, const QPointF& offset);

    const LayoutGraph& graph;
    QVector<QVector<int>> membersOfGroup;
    QVector<QVector<int>> childrenOfGroup;
    QVector<QVector<int>> outLinks;
    QVector<QVector<int>> inLinks;
};
