#include "RemoveBendingPointOperation.h"

#include "BendingPoints.h"
#include "DeviceMapWidget.h"
#include "DeviceConnectionItem.h"

#include <QObject>

RemoveBendingPointOperation::RemoveBendingPointOperation(DeviceMapWidget* map, QString target, QString source,
                                                         QPointF point)
    : Operation(map)
    , targetName(std::move(target))
    , sourceName(std::move(source))
    , point(point)
{
    setText(QObject::tr("Remove bending point"));
}

void RemoveBendingPointOperation::redo()
{
    DeviceConnectionItem* link = BendingPoints::linkOf(map, sourceName, targetName);
    saved = link != nullptr;
    if (!link)
        return;
    savedPoints = link->getBendingPoints();
    QList<QPointF> points = savedPoints;
    points.removeOne(point);
    BendingPoints::apply(link, points);
}

void RemoveBendingPointOperation::undo()
{
    if (!saved)
        return;
    if (DeviceConnectionItem* link = BendingPoints::linkOf(map, sourceName, targetName))
        BendingPoints::apply(link, savedPoints);
}
