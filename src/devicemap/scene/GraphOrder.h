#pragma once

#include "dozerozozu_export.h"

#include <QHash>
#include <QList>
#include <QString>

class DeviceManager;
class DeviceNodeItem;
class QGraphicsItem;

/**
 * The graph's own order of devices, the order of the manager's device list, for whatever the
 * map writes or shows of several devices at once: the device text of a selection, the devices
 * a removal re-creates on undo (and so the order of the saved graph), the names a question
 * lists. A scene hands out its selection in the order of a hash, which changes from run to
 * run; walked that way, the same edits would give another text and another saved graph.
 *
 * Made for one command and dropped with it: the manager's names are hashed once, when two or
 * more devices are first put in order, so a command costs one pass over the graph and one
 * sort of what it handles. Devices the manager does not list come last, in the order given.
 * GUI thread only.
 *
 *     const QList<DeviceNodeItem*> devices = GraphOrder(manager).deviceItems(selection);
 */
class DOZEROZOZU_EXPORT GraphOrder
{
public:
    explicit GraphOrder(const DeviceManager* manager);

    /// The device items among items, the first of each device name only, in the graph's order.
    QList<DeviceNodeItem*> deviceItems(const QList<QGraphicsItem*>& items) const;

private:
    /// Where the name stands in the manager's list; past every device when it is not there.
    int position(const QString& name) const;

    const DeviceManager* manager;
    mutable QHash<QString, int> positions;
    mutable bool ranked = false;
};
