#pragma once

#include "Operation.h"

#include <QList>
#include <QPointF>

/**
 * Gives the link from a source device to a target device the bending points it had after the
 * user dragged one of them (redo) or before (undo); pushed by the map when a drag ends with a
 * change. Acts on the scene only; a link that has gone is left alone.
 */
class DOZEROZOZU_EXPORT MoveBendingPointOperation : public Operation
{
public:
    MoveBendingPointOperation(DeviceMapWidget* map, QString target, QString source, QList<QPointF> before,
                              QList<QPointF> after);

    void undo() override;
    void redo() override;

private:
    QList<QPointF> pointsBefore;
    QList<QPointF> pointsAfter;
    QString targetName;
    QString sourceName;
};
