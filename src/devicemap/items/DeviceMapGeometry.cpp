#include "DeviceMapGeometry.h"

#include <QList>

#include <algorithm>
#include <cmath>

namespace DeviceMapGeometry {

namespace {

constexpr double tolerance = 1e-14;

double distance(const QPointF& a, const QPointF& b)
{
    return QLineF(a, b).length();
}

} // namespace

double pointToSegmentDistance(double x1, double y1, double x2, double y2, double px, double py)
{
    const double dx = x2 - x1;
    const double dy = y2 - y1;
    const double lengthSquared = dx * dx + dy * dy;
    if (lengthSquared == 0)
        return std::hypot(px - x1, py - y1);
    const double t = ((px - x1) * dx + (py - y1) * dy) / lengthSquared;
    if (t < 0)
        return std::hypot(px - x1, py - y1);
    if (t > 1)
        return std::hypot(px - x2, py - y2);
    return std::hypot(px - (x1 + t * dx), py - (y1 + t * dy));
}

QVector<QPointF> intersectsCircle(const QPointF& p1, const QPointF& p2, const QPointF& center, double radius,
                                  bool onSegment)
{
    // The line as a*x + b*y + c = 0.
    const double a = p2.y() - p1.y();
    const double b = p1.x() - p2.x();
    const double c = p2.x() * p1.y() - p1.x() * p2.y();
    const double cx = center.x();
    const double cy = center.y();
    const bool solveForX = std::abs(b) >= tolerance;
    if (!solveForX && std::abs(a) < tolerance)
        return {}; // p1 and p2 coincide: no line.

    double qa;
    double qb;
    double qc;
    if (solveForX) {
        // y = -(a*x + c) / b
        const double k = -a / b;
        const double m = -c / b;
        qa = 1 + k * k;
        qb = 2 * (k * (m - cy) - cx);
        qc = cx * cx + (m - cy) * (m - cy) - radius * radius;
    } else {
        // x = -(b*y + c) / a
        const double k = -b / a;
        const double m = -c / a;
        qa = 1 + k * k;
        qb = 2 * (k * (m - cx) - cy);
        qc = cy * cy + (m - cx) * (m - cx) - radius * radius;
    }

    const auto pointAt = [&](double u) {
        return solveForX ? QPointF(u, -(a * u + c) / b) : QPointF(-(b * u + c) / a, u);
    };
    const double discriminant = qb * qb - 4 * qa * qc;
    QVector<QPointF> points;
    if (discriminant < 0)
        return points;
    if (discriminant == 0) {
        points.append(pointAt(-qb / (2 * qa)));
    } else {
        const double root = std::sqrt(discriminant);
        points.append(pointAt((-qb + root) / (2 * qa)));
        points.append(pointAt((-qb - root) / (2 * qa)));
    }
    if (!onSegment)
        return points;

    const double segmentLength = distance(p1, p2);
    QVector<QPointF> onSegmentPoints;
    for (const QPointF& point : qAsConst(points)) {
        if (std::abs(segmentLength - distance(p1, point) - distance(point, p2)) < tolerance)
            onSegmentPoints.append(point);
    }
    return onSegmentPoints;
}

QPointF roundedRectIntersection(const QLineF& line, const QRectF& rect, int radius)
{
    const double x = rect.x();
    const double y = rect.y();
    const double right = x + rect.width();
    const double bottom = y + rect.height();
    const double r = radius;

    struct Corner
    {
        QPointF center;
        QLineF chord;
    };
    const Corner corners[] = {
        {{x + r, y + r}, QLineF(x, y + r, x + r, y)},
        {{right - r, y + r}, QLineF(right - r, y, right, y + r)},
        {{right - r, bottom - r}, QLineF(right, bottom - r, right - r, bottom)},
        {{x + r, bottom - r}, QLineF(x + r, bottom, x, bottom - r)},
    };

    QList<QPointF> candidates;
    QPointF crossing;
    for (const Corner& corner : corners) {
        if (line.intersects(corner.chord, &crossing) == QLineF::BoundedIntersection)
            candidates.append(intersectsCircle(line.p1(), line.p2(), corner.center, r, false).toList());
    }
    if (!candidates.isEmpty()) {
        const QPointF origin = line.p1();
        return *std::min_element(candidates.cbegin(), candidates.cend(), [&origin](const QPointF& a, const QPointF& b) {
            return distance(a, origin) < distance(b, origin);
        });
    }

    const QLineF edges[] = {
        QLineF(x, y, right, y),
        QLineF(right, y, right, bottom),
        QLineF(right, bottom, x, bottom),
        QLineF(x, bottom, x, y),
    };
    QLineF::IntersectionType type = QLineF::NoIntersection;
    for (const QLineF& edge : edges) {
        type = line.intersects(edge, &crossing);
        if (type == QLineF::BoundedIntersection)
            return crossing;
    }
    return type == QLineF::NoIntersection ? line.p2() : crossing;
}

} // namespace DeviceMapGeometry
