#pragma once

#include "Operation.h"

#include <QList>
#include <QPointF>

/**
 * Takes one bending point off the link from a source device to a target device; undo puts
 * back the whole list the link had, so the point returns to its place in the order.
 *
 * Acts on the scene only. When the link has gone by the time redo() or undo() runs, nothing
 * changes; a point the link does not have is not removed.
 */
class DOZEROZOZU_EXPORT RemoveBendingPointOperation : public Operation
{
public:
    RemoveBendingPointOperation(DeviceMapWidget* map, QString target, QString source, QPointF point);

    void undo() override;
    void redo() override;

private:
    QString targetName;
    QString sourceName;
    QPointF point;
    QList<QPointF> savedPoints;
    // Whether the last redo() found the link: an undo after one that did not must not put back
    // the points of an earlier run.
    bool saved = false;
};
