#pragma once

#include "Operation.h"

#include <QMap>
#include <QPointF>
#include <QSet>
#include <QString>

/**
 * Device items or cluster items moved from one set of positions to another.
 *
 * The map pushes one at the end of a drag; its redo() sets the positions the items already
 * have. A device that is still unplaced when redo() places it (pulled out of the unplaced
 * zone) is remembered, and every undo() hides it among the unplaced devices again instead of
 * moving it back. Names whose item has gone since are skipped both ways. Acts on the scene
 * only; the new places reach the layout file with the undo stack's index change.
 */
class DOZEROZOZU_EXPORT MoveItemsOperation : public Operation
{
public:
    enum MovedType : qint32 {
        Devices = 0,
        Clusters = 1,
    };

    MoveItemsOperation(DeviceMapWidget* map, QMap<QString, QPointF> before, QMap<QString, QPointF> after,
                       MovedType type);

    void undo() override;
    void redo() override;

private:
    void moveDevices(const QMap<QString, QPointF>& positions, bool forward);
    void moveClusters(const QMap<QString, QPointF>& positions);
    void releaseTemporaryDevice(const QString& name);

    QMap<QString, QPointF> positionsBefore;
    QMap<QString, QPointF> positionsAfter;
    QSet<QString> formerlyUnplaced;
    MovedType movedType;
};
