#pragma once

#include "Operation.h"

#include <QRectF>

/**
 * Adds a named cluster rectangle to the map; undo takes it away again.
 *
 * A cluster groups devices for the eye only: the operation touches the scene and the map's
 * cluster table, never the device manager, and does not wait. The rectangle's corner is the
 * cluster item's position, its size the item's own rectangle. Each redo makes a fresh item
 * (colour, z value, flags of a new cluster, moving its devices). The operation changes
 * nothing when the cluster is not as it expects: a redo while a cluster of the name exists
 * makes none (and its undo then removes none), an undo while no cluster has the name
 * removes none.
 */
class DOZEROZOZU_EXPORT CreateClusterOperation : public Operation
{
public:
    CreateClusterOperation(DeviceMapWidget* map, QString name, QRectF rect);

    void undo() override;
    void redo() override;

    QString name() const { return clusterName; }
    QRectF rect() const { return clusterRect; }

protected:
    /// Makes the cluster unless one of the name exists; true when it made one.
    bool makeCluster();
    /// Removes the cluster of the name; true when there was one. Clears the hovered item first.
    bool removeCluster();

    QString clusterName;
    QRectF clusterRect;
    // Whether the last makeCluster() or removeCluster() changed the map, so that the other
    // direction takes back exactly that.
    bool changedMap = false;
};
