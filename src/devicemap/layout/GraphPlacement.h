#pragma once

#include "DevicesArrangement.h"
#include "LayoutGraph.h"
#include "dozerozozu_export.h"

#include <QList>
#include <QPointF>
#include <QRectF>
#include <QVector>

/**
 * Where one layout run put the parts of a LayoutGraph, by index: device centres, link
 * bends and group rectangles, in y-down coordinates. Columns, when the placement has
 * them, list the devices of each rank left to right and, within one, top to bottom:
 * the orthogonal routing runs along them.
 *
 * Internal to the automatic layout (exported for its benchmark); any thread.
 */
struct DOZEROZOZU_EXPORT GraphPlacement
{
    QVector<QPointF> centers;
    QVector<QList<QPointF>> bends;
    QVector<QRectF> groupRects;
    QVector<QVector<int>> columns;
    /// Links the layout program could not route, ascending: they still want their bends.
    QVector<int> unroutedLinks;

    /// Rebuilds columns from the centres: devices whose centres share an x (within 1) form one.
    void findColumns();
    /// Whether every coordinate is a finite number.
    bool isFinite() const;
    /**
     * The arrangement of graph at this placement, moved so that everything drawn starts
     * at (margin, margin): rectangles of the devices' own sizes around the centres,
     * connections in link order, every group's rectangle and graph's descriptions.
     */
    DevicesArrangement toArrangement(const LayoutGraph& graph, double margin) const;
};
