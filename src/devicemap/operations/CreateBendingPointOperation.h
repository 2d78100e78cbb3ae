#pragma once

#include "Operation.h"

#include <QPointF>

/**
 * Adds one bending point to the link from a source device to a target device; the link puts
 * it into the segment nearest to it. Undo takes the first equal point out again.
 *
 * Acts on the scene only. When the link has gone by the time redo() or undo() runs (the
 * manager removed it, or one of its devices), nothing changes.
 */
class DOZEROZOZU_EXPORT CreateBendingPointOperation : public Operation
{
public:
    CreateBendingPointOperation(DeviceMapWidget* map, QString target, QString source, QPointF point);

    void undo() override;
    void redo() override;

private:
    QString targetName;
    QString sourceName;
    QPointF point;
};
