#pragma once

#include <QList>
#include <QPolygonF>
#include <QRectF>
#include <QVector>

#include "CellGrid.h"

#include <vector>

/**
 * The devices of a drawing bucketed on a grid, to find the ones a link passes through. A
 * segment passes through a device where it enters the device's inside, half a unit in from
 * its outline: a link along an outline or touching a corner passes none.
 *
 * Internal to the automatic layout; any thread.
 */
class DeviceGrid
{
public:
    explicit DeviceGrid(const QVector<QRectF>& devices);

    /// Whether the polyline path passes through a device other than those numbered first and last.
    bool passesOther(const QPolygonF& path, int first, int last) const;

    /// Whether the segment a-b passes through the inside of rect.
    static bool passesThrough(const QPointF& a, const QPointF& b, const QRectF& rect);
    /// A link as the map draws it: from its source's centre through its bends to its target's.
    static QPolygonF linkPath(const QPointF& from, const QList<QPointF>& bends, const QPointF& to);

private:
    QVector<QRectF> devices;
    CellGrid grid;
    std::vector<std::vector<int>> cells;
};
