#pragma once

#include "dozerozozu_export.h"

#include <QHash>
#include <QList>
#include <QMap>
#include <QObject>
#include <QPair>
#include <QString>
#include <QVector>

#include <utility>
#include <vector>

class ClusterRectItem;
class DeviceConnectionItem;
class DeviceNodeItem;
class HoverableItem;
class QGraphicsItem;

/**
 * The device map's tables of scene items: devices by name, links in creation order and by
 * their two ends, clusters by name.
 *
 * Every item leaves the map through removeDevice(), removeLink() or removeCluster(). Each
 * announces the item in itemAboutToBeRemoved() while it is still whole, so whoever keeps a
 * pointer to an item (hover, drags, the drawing, search results, menus) forgets it there, in
 * one place. Removing a device removes its links first, each announced. Look-ups and
 * removals cost the same whatever the size of the map.
 *
 * Owned by the DeviceMapWidget; the items belong to the map's scene, and the index deletes
 * those it removes. GUI thread only.
 */
class DOZEROZOZU_EXPORT MapItemIndex : public QObject
{
    Q_OBJECT

public:
    explicit MapItemIndex(QObject* parent = nullptr);
    ~MapItemIndex() override;

    /// Device name to item, placed or not; the map hands out copies of it.
    const QMap<QString, DeviceNodeItem*>& devices() const { return deviceItems; }
    DeviceNodeItem* device(const QString& name) const { return devicesByName.value(name); }
    bool hasDevice(const QString& name) const { return devicesByName.contains(name); }
    /// The name the item is filed under; empty for an item the index does not hold.
    QString nameOf(const DeviceNodeItem* item) const { return namesOfDevices.value(item).name; }
    void insertDevice(const QString& name, DeviceNodeItem* item);
    /// The same for many devices at once, as a build files them: in name order, each in one step.
    void insertDevices(QVector<QPair<QString, DeviceNodeItem*>> entries);
    /// Makes room for that many devices and links in all, ahead of a build.
    void reserve(int deviceCount, int linkCount);
    /// Files the item of oldName under newName; the item itself is not told.
    void renameDevice(const QString& oldName, const QString& newName);
    /// Announces and deletes the device's links, then the device's item. False without an entry.
    bool removeDevice(const QString& name);

    /// Every link item, in creation order.
    QList<DeviceConnectionItem*> links() const;
    int linkCount() const { return int(linkSlots.size()) - freedLinkSlots; }
    /// Whether the link item is one of the map's links (a rubber line being drawn is not).
    bool hasLink(const DeviceConnectionItem* link) const { return linkSlotOf.contains(link); }
    /// The first link created from source to target that still exists, or null.
    DeviceConnectionItem* link(const DeviceNodeItem* source, const DeviceNodeItem* target) const;
    /// The links that start or end at the item, in creation order.
    QList<DeviceConnectionItem*> linksOf(const DeviceNodeItem* item) const { return linksAtDevice.value(item); }
    void insertLink(DeviceConnectionItem* link);
    /// Announces, removes from the tables and deletes the link.
    void removeLink(DeviceConnectionItem* link);

    /// Cluster name to item. Callers may change it in place; whoever takes an entry out
    /// deletes its item (removeCluster() does both and announces the item).
    QMap<QString, ClusterRectItem*>& clusters() { return clusterItems; }
    const QMap<QString, ClusterRectItem*>& clusters() const { return clusterItems; }
    ClusterRectItem* cluster(const QString& name) const { return clusterItems.value(name); }
    /// Files the item under name; an item already filed there is removed first.
    void insertCluster(const QString& name, ClusterRectItem* item);
    /// Announces and deletes the cluster's item. False without an entry.
    bool removeCluster(const QString& name);

    /**
     * While held (holds nest), removed devices and links leave the tables and are announced at
     * once, as ever, but their items stay in the scene until the last hold ends; then they go
     * all together, in the order they were filed, which is the order they joined the scene.
     * Qt's scene takes longer to remove an item the more items it has to pass over to find it
     * in its own list; removed in that order, each is found at once, so a large delete costs
     * what its items cost. Nothing may show or look at the scene while a hold lasts.
     */
    void holdDeletions();
    void releaseDeletions();

Q_SIGNALS:
    /// The item is about to be deleted: forget every pointer to it now.
    void itemAboutToBeRemoved(HoverableItem* item);

private:
    using DevicePair = QPair<const DeviceNodeItem*, const DeviceNodeItem*>;

    struct FiledDevice
    {
        QString name;
        // When it was filed, among devices and links alike.
        quint64 filed = 0;
    };

    void fileDevice(const QString& name, DeviceNodeItem* item);
    void appendLinkAt(const DeviceNodeItem* device, DeviceConnectionItem* link);
    void freeLinkSlot(int slot);
    /// Deletes the item now, or once the holds end.
    void dispose(QGraphicsItem* item, quint64 filed);

    QMap<QString, DeviceNodeItem*> deviceItems;
    // The same entries for look-ups by name, which the map and its operations make all the time.
    QHash<QString, DeviceNodeItem*> devicesByName;
    QHash<const DeviceNodeItem*, FiledDevice> namesOfDevices;
    // Links in creation order; a removed link leaves a null slot until the slots close up.
    std::vector<DeviceConnectionItem*> linkSlots;
    // In step with linkSlots: when each link was filed.
    std::vector<quint64> linkFilings;
    quint64 filings = 0;
    int deletionHolds = 0;
    // Removed during the holds, with when each was filed.
    std::vector<std::pair<quint64, QGraphicsItem*>> heldDeletions;
    int freedLinkSlots = 0;
    QHash<const DeviceConnectionItem*, int> linkSlotOf;
    QHash<const DeviceNodeItem*, QList<DeviceConnectionItem*>> linksAtDevice;
    QHash<DevicePair, DeviceConnectionItem*> firstLinkOfPair;
    QMap<QString, ClusterRectItem*> clusterItems;
};
