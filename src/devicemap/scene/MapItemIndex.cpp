#include "MapItemIndex.h"

#include "ClusterRectItem.h"
#include "DeviceConnectionItem.h"
#include "DeviceNodeItem.h"

MapItemIndex::MapItemIndex(QObject* parent)
    : QObject(parent)
{
}

// The items belong to the scene, which deletes those still in it.
MapItemIndex::~MapItemIndex() = default;

void MapItemIndex::insertDevice(const QString& name, DeviceNodeItem* item)
{
    deviceItems.insert(name, item);
    devicesByName.insert(name, item);
    if (item)
        namesOfDevices.insert(item, name);
}

void MapItemIndex::reserve(int deviceCount, int linkCount)
{
    devicesByName.reserve(deviceCount);
    namesOfDevices.reserve(deviceCount);
    linksAtDevice.reserve(deviceCount);
    linkPositions.reserve(linkCount);
    firstLinkOfPair.reserve(linkCount);
}

void MapItemIndex::renameDevice(const QString& oldName, const QString& newName)
{
    DeviceNodeItem* item = deviceItems.take(oldName);
    devicesByName.remove(oldName);
    deviceItems.insert(newName, item);
    devicesByName.insert(newName, item);
    if (item)
        namesOfDevices.insert(item, newName);
}

bool MapItemIndex::removeDevice(const QString& name)
{
    const auto entry = deviceItems.constFind(name);
    if (entry == deviceItems.cend())
        return false;
    DeviceNodeItem* item = entry.value();
    if (item) {
        const QList<DeviceConnectionItem*> itsLinks = linksAtDevice.value(item);
        for (DeviceConnectionItem* link : itsLinks)
            removeLink(link);
        Q_EMIT itemAboutToBeRemoved(item);
    }
    // A holder may have removed the device while it was being announced.
    if (deviceItems.value(name) != item)
        return true;
    deviceItems.remove(name);
    devicesByName.remove(name);
    if (item) {
        namesOfDevices.remove(item);
        linksAtDevice.remove(item);
        delete item;
    }
    return true;
}

QList<DeviceConnectionItem*> MapItemIndex::links() const
{
    QList<DeviceConnectionItem*> result;
    result.reserve(int(linkOrder.size()));
    for (DeviceConnectionItem* link : linkOrder)
        result.append(link);
    return result;
}

DeviceConnectionItem* MapItemIndex::link(const DeviceNodeItem* source, const DeviceNodeItem* target) const
{
    if (!source || !target)
        return nullptr;
    return firstLinkOfPair.value(DevicePair(source, target));
}

void MapItemIndex::insertLink(DeviceConnectionItem* link)
{
    linkPositions.insert(link, linkOrder.insert(linkOrder.end(), link));
    const DeviceNodeItem* source = link->getNodeFrom();
    const DeviceNodeItem* target = link->getNodeTo();
    linksAtDevice[source].append(link);
    if (target != source)
        linksAtDevice[target].append(link);
    const DevicePair ends(source, target);
    if (!firstLinkOfPair.contains(ends))
        firstLinkOfPair.insert(ends, link);
}

void MapItemIndex::removeLink(DeviceConnectionItem* link)
{
    const auto position = linkPositions.find(link);
    if (position == linkPositions.end())
        return;
    Q_EMIT itemAboutToBeRemoved(link);
    linkOrder.erase(position.value());
    linkPositions.erase(position);

    const DeviceNodeItem* source = link->getNodeFrom();
    const DeviceNodeItem* target = link->getNodeTo();
    auto forgetAt = [this, link](const DeviceNodeItem* end) {
        const auto entry = linksAtDevice.find(end);
        if (entry != linksAtDevice.end())
            entry->removeOne(link);
    };
    forgetAt(source);
    if (target != source)
        forgetAt(target);

    // The next link of the same pair, in creation order, becomes the one getConnection() finds.
    const DevicePair ends(source, target);
    if (firstLinkOfPair.value(ends) == link) {
        firstLinkOfPair.remove(ends);
        for (DeviceConnectionItem* other : linksAtDevice.value(source)) {
            if (other->getNodeFrom() == source && other->getNodeTo() == target) {
                firstLinkOfPair.insert(ends, other);
                break;
            }
        }
    }
    delete link;
}

void MapItemIndex::insertCluster(const QString& name, ClusterRectItem* item)
{
    removeCluster(name);
    clusterItems.insert(name, item);
}

bool MapItemIndex::removeCluster(const QString& name)
{
    ClusterRectItem* item = clusterItems.value(name);
    if (!clusterItems.contains(name))
        return false;
    if (item)
        Q_EMIT itemAboutToBeRemoved(item);
    // A holder may have taken the entry out while it was being announced.
    const auto entry = clusterItems.find(name);
    if (entry == clusterItems.end() || entry.value() != item)
        return true;
    clusterItems.erase(entry);
    delete item;
    return true;
}
