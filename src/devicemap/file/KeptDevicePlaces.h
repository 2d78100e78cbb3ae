#pragma once

#include "dozerozozu_export.h"

#include <QHash>
#include <QList>
#include <QPointF>
#include <QPointer>
#include <QRect>
#include <QString>

class DeviceManager;
class MapLayoutFile;

/**
 * What the layout file says of the devices the manager keeps as text without making them
 * (their type is unknown to it: DeviceManager::getKeptDeviceNames()): their rectangles and
 * the bending points of their links. The map shows no such device, so the layout it captures
 * from its items has nothing of them; without this, the first write after a start would drop
 * their places, and a device whose type is known again would come back unplaced.
 *
 * remember() takes them from the file the map reads for a graph; putBack() writes them into
 * every layout the map writes, unchanged, for the names the manager keeps at that moment: a
 * name it no longer keeps (another graph loaded) is dropped, and a name a shown device bears
 * is written from its item. A link's other end follows the manager's renames, and the link
 * goes with a removed peer, as the manager's own kept links do. Holding nothing, it costs
 * nothing. Owned by the map's MapManagerSync; GUI thread only.
 */
class DOZEROZOZU_EXPORT KeptDevicePlaces
{
public:
    explicit KeptDevicePlaces(DeviceManager* manager);

    bool isEmpty() const { return rects.isEmpty() && bends.isEmpty(); }

    /// Forgets what it held, and takes what layout stores of the names the manager keeps now.
    void remember(const MapLayoutFile& layout);
    /// As remember(), reading the file at path only when the manager keeps some device.
    void rememberFile(const QString& path);
    /**
     * Writes what it holds of the names the manager still keeps into layout, which keeps its
     * own keys, and forgets the rest. Once the manager is gone, what it held last is written.
     */
    void putBack(MapLayoutFile& layout);

    /// A device of the manager was renamed: the links remembered at it follow.
    void peerRenamed(const QString& oldName, const QString& newName);
    /// A device of the manager is gone: the links remembered at it go.
    void peerRemoved(const QString& name);

private:
    struct BentLink
    {
        QString source;
        QString target;
        bool sourceKept = false;
        bool targetKept = false;
        QList<QPointF> points;
    };

    QPointer<DeviceManager> manager;
    QHash<QString, QRect> rects;
    QList<BentLink> bends;
};
