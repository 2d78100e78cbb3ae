#pragma once

#include "DevicesArrangement.h"
#include "dozerozozu_export.h"

#include <QPolygonF>
#include <QVector>

/**
 * How readable the links of a drawing are: how often they cross and how long they are.
 *
 * A link is drawn as the polyline from its source's centre through its bending points to
 * its target's centre. A crossing is a point where two segments of different links cross
 * properly (each passes through the other's interior); segments that only touch, share an
 * end or overlap along a line do not count, nor does a link crossing itself. Two links
 * crossing at several points count that many times.
 *
 * Counting buckets the segments on a grid of cells sized to the drawing and tests pairs
 * within a cell, each crossing counted in the cell that holds it: near linear for layered
 * drawings, whose segments are short or spread out. Deterministic.
 *
 * Internal to the automatic layout (exported for its tests and benchmarks); any thread.
 */
struct DOZEROZOZU_EXPORT LayoutQuality
{
    /// Proper crossings between the links' polylines.
    qint64 crossings = 0;
    /// The links' polyline lengths, summed.
    double linkLength = 0;

    /// The links of arrangement; connections to a device without a rectangle are left out.
    static LayoutQuality of(const DevicesArrangement& arrangement);
    /// The given polylines, one per link.
    static LayoutQuality of(const QVector<QPolygonF>& links);

    /**
     * The links of arrangement, drawn as above, that pass through the inside of a device that
     * is neither of their ends (half a unit in from its outline, so that a link along an
     * outline does not count). Apart from of(), which also measures quick drawings that need no such count.
     */
    static qint64 linksThroughDevices(const DevicesArrangement& arrangement);
};
