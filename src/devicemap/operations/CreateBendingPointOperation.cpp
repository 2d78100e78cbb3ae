#include "CreateBendingPointOperation.h"

#include "BendingPoints.h"
#include "DeviceMapWidget.h"
#include "DeviceConnectionItem.h"

#include <QObject>

CreateBendingPointOperation::CreateBendingPointOperation(DeviceMapWidget* map, QString target, QString source,
                                                         QPointF point)
    : Operation(map)
    , targetName(std::move(target))
    , sourceName(std::move(source))
    , point(point)
{
    setText(QObject::tr("Create bending point"));
}

void CreateBendingPointOperation::redo()
{
    if (DeviceConnectionItem* link = BendingPoints::linkOf(map, sourceName, targetName)) {
        link->insertBendingPoint(point);
        link->update(QRectF());
    }
}

void CreateBendingPointOperation::undo()
{
    if (DeviceConnectionItem* link = BendingPoints::linkOf(map, sourceName, targetName)) {
        QList<QPointF> points = link->getBendingPoints();
        points.removeOne(point);
        BendingPoints::apply(link, points);
    }
}
