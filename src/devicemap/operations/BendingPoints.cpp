#include "BendingPoints.h"

#include "DeviceConnectionItem.h"
#include "DeviceMapWidget.h"

namespace BendingPoints {

DeviceConnectionItem* linkOf(const DeviceMapWidget* map, const QString& source, const QString& target)
{
    return map ? map->getConnection(source, target) : nullptr;
}

void apply(DeviceConnectionItem* link, const QList<QPointF>& points)
{
    link->setBendingPoints(points);
    link->update(QRectF());
}

} // namespace BendingPoints
