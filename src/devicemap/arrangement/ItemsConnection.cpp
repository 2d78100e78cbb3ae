#include "ItemsConnection.h"

bool ItemsConnection::operator==(ItemsConnection other) const
{
    // QList<QPointF>::operator== compares with QPointF's fuzzy equality, point by point.
    return from == other.from && to == other.to && bendingPoints == other.bendingPoints;
}
