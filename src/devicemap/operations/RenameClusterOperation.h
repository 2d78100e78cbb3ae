#pragma once

#include "Operation.h"

#include <QString>

/**
 * Renames a cluster of the map: re-keys the map's cluster table and renames the item; undo
 * does the reverse. Clusters exist only on the map, so the manager is not involved; the new
 * name reaches the layout file with the undo stack's index change.
 *
 * A rename that cannot be done whole changes nothing, and its undo nothing either: an old
 * name no cluster bears, an empty (or blank) new name, or a new name another cluster bears
 * (re-keying onto it would drop that cluster from the table while its item stays on the scene).
 */
class DOZEROZOZU_EXPORT RenameClusterOperation : public Operation
{
public:
    RenameClusterOperation(DeviceMapWidget* map, QString oldName, QString newName);

    void undo() override;
    void redo() override;

private:
    /// Moves the cluster from one name to the other; false (nothing changed) when it cannot.
    bool rename(const QString& from, const QString& to);

    QString oldName;
    QString newName;
    bool renamed = false;
};
