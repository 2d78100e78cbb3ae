#pragma once

#include "Operation.h"

#include <QList>
#include <QPointF>
#include <QStringList>

/**
 * Takes signal-to-slot pairs (or, with empty lists, the plain device link) from a source device
 * to a target device away; undo() makes them again and gives the link its bending points back.
 *
 * The target (slot side) is named first, the source (signal side) second; the i-th signal and
 * the i-th slot form one pair. The map follows the manager's change reports by itself.
 */
class DOZEROZOZU_EXPORT RemoveConnectionOperation : public Operation
{
public:
    RemoveConnectionOperation(DeviceMapWidget* map, QString target, QString source, QStringList signalList,
                              QStringList slotList, QList<QPointF> bendingPoints);

    void undo() override;
    void redo() override;

protected:
    /// Asks the manager for the pairs, then waits for the link and dresses it.
    void makeConnections();
    void takeConnectionsAway();

    QString target;
    QString source;
    QStringList signalList;
    QStringList slotList;
    QList<QPointF> bendingPoints;
};
