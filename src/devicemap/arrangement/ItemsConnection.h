#pragma once

#include "dozerozozu_export.h"

#include <QList>
#include <QPointF>
#include <QString>

/**
 * One connection on the device map: the source device, the target device and the
 * bending points the link passes through, in the coordinates of whatever holds it.
 *
 * A plain value: copied, never shared, holds no pointer to a scene item.
 */
struct DOZEROZOZU_EXPORT ItemsConnection
{
    /// Name of the device whose signal feeds the other.
    QString from;
    /// Name of the receiving device.
    QString to;
    /// Bending points from source to target; empty for a straight link.
    QList<QPointF> bendingPoints;

    /// Equal ends and the same bending points in the same order (points compared fuzzily, as QPointF does).
    bool operator==(ItemsConnection other) const;
    bool operator!=(const ItemsConnection& other) const { return !(*this == other); }
};
