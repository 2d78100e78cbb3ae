#include "MoveBendingPointOperation.h"

#include "BendingPoints.h"
#include "DeviceMapWidget.h"

#include <QObject>

MoveBendingPointOperation::MoveBendingPointOperation(DeviceMapWidget* map, QString target, QString source,
                                                     QList<QPointF> before, QList<QPointF> after)
    : Operation(map)
    , pointsBefore(std::move(before))
    , pointsAfter(std::move(after))
    , targetName(std::move(target))
    , sourceName(std::move(source))
{
    setText(QObject::tr("Move bending point"));
}

void MoveBendingPointOperation::redo()
{
    if (DeviceConnectionItem* link = BendingPoints::linkOf(map, sourceName, targetName))
        BendingPoints::apply(link, pointsAfter);
}

void MoveBendingPointOperation::undo()
{
    if (DeviceConnectionItem* link = BendingPoints::linkOf(map, sourceName, targetName))
        BendingPoints::apply(link, pointsBefore);
}
