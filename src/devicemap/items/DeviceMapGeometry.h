#pragma once

#include "dozerozozu_export.h"

#include <QLineF>
#include <QPointF>
#include <QRectF>
#include <QVector>

/**
 * Plane geometry of the map's links: where a bending point goes, where an arrow meets
 * a node's rounded outline. Pure functions, any thread.
 */
namespace DeviceMapGeometry {

/// Euclidean distance from (px, py) to the segment (x1, y1)-(x2, y2).
DOZEROZOZU_EXPORT double pointToSegmentDistance(double x1, double y1, double x2, double y2, double px,
                                                double py);

/**
 * Points where the infinite line through p1 and p2 meets the circle; with onSegment only
 * those on the segment p1-p2. Two crossings come in the order of the quadratic's larger
 * root first; a tangent gives one point.
 */
DOZEROZOZU_EXPORT QVector<QPointF> intersectsCircle(const QPointF& p1, const QPointF& p2,
                                                    const QPointF& center, double radius,
                                                    bool onSegment);

/**
 * Where line meets the outline of rect with corners rounded by radius: of the crossings
 * with the corner arcs the one nearest the line's first point, else the first straight
 * edge crossed (top, right, bottom, left). When nothing is crossed, the crossing of the
 * infinite line with the left edge's line, or the line's second point when they are parallel.
 */
DOZEROZOZU_EXPORT QPointF roundedRectIntersection(const QLineF& line, const QRectF& rect, int radius);

} // namespace DeviceMapGeometry
