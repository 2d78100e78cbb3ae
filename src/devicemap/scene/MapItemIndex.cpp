#include "MapItemIndex.h"

#include "ClusterRectItem.h"
#include "DeviceConnectionItem.h"
#include "DeviceNodeItem.h"

#include <algorithm>

MapItemIndex::MapItemIndex(QObject* parent)
    : QObject(parent)
{
}

// The items belong to the scene, which deletes those still in it.
MapItemIndex::~MapItemIndex() = default;

void MapItemIndex::insertDevice(const QString& name, DeviceNodeItem* item)
{
    deviceItems.insert(name, item);
    fileDevice(name, item);
}

void MapItemIndex::fileDevice(const QString& name, DeviceNodeItem* item)
{
    devicesByName.insert(name, item);
    if (item)
        namesOfDevices.insert(item, FiledDevice{name, ++filings});
}

void MapItemIndex::insertDevices(QVector<QPair<QString, DeviceNodeItem*>> entries)
{
    // Filed in the order given, which is the order they joined the scene.
    for (const auto& entry : qAsConst(entries))
        fileDevice(entry.first, entry.second);
    std::sort(entries.begin(), entries.end(),
              [](const QPair<QString, DeviceNodeItem*>& a, const QPair<QString, DeviceNodeItem*>& b) {
                  return a.first < b.first;
              });
    for (const auto& entry : qAsConst(entries)) {
        // Past the last name the map holds, the end is where the entry goes; otherwise the hint is ignored.
        deviceItems.insert(deviceItems.cend(), entry.first, entry.second);
    }
}

void MapItemIndex::reserve(int deviceCount, int linkCount)
{
    devicesByName.reserve(deviceCount);
    namesOfDevices.reserve(deviceCount);
    linksAtDevice.reserve(deviceCount);
    linkSlotOf.reserve(linkCount);
    linkSlots.reserve(size_t(linkCount));
    linkFilings.reserve(size_t(linkCount));
    firstLinkOfPair.reserve(linkCount);
}

void MapItemIndex::renameDevice(const QString& oldName, const QString& newName)
{
    DeviceNodeItem* item = deviceItems.take(oldName);
    devicesByName.remove(oldName);
    deviceItems.insert(newName, item);
    devicesByName.insert(newName, item);
    if (item)
        namesOfDevices[item].name = newName;
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
        const quint64 filed = namesOfDevices.take(item).filed;
        linksAtDevice.remove(item);
        dispose(item, filed);
    }
    return true;
}

QList<DeviceConnectionItem*> MapItemIndex::links() const
{
    QList<DeviceConnectionItem*> result;
    result.reserve(linkCount());
    for (DeviceConnectionItem* link : linkSlots) {
        if (link)
            result.append(link);
    }
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
    linkSlotOf.insert(link, int(linkSlots.size()));
    linkSlots.push_back(link);
    linkFilings.push_back(++filings);
    const DeviceNodeItem* source = link->getNodeFrom();
    const DeviceNodeItem* target = link->getNodeTo();
    appendLinkAt(source, link);
    if (target != source)
        appendLinkAt(target, link);
    DeviceConnectionItem*& first = firstLinkOfPair[DevicePair(source, target)];
    if (!first)
        first = link;
}

// Most devices have a few links: room for them is made at the first.
void MapItemIndex::appendLinkAt(const DeviceNodeItem* device, DeviceConnectionItem* link)
{
    QList<DeviceConnectionItem*>& itsLinks = linksAtDevice[device];
    if (itsLinks.isEmpty())
        itsLinks.reserve(4);
    itsLinks.append(link);
}

// Removed links leave an empty slot; once they are the most, the slots close up, so that
// removing stays constant in time on average and the order of creation is kept.
void MapItemIndex::freeLinkSlot(int slot)
{
    linkSlots[size_t(slot)] = nullptr;
    ++freedLinkSlots;
    if (freedLinkSlots < 64 || freedLinkSlots * 2 < int(linkSlots.size()))
        return;
    size_t kept = 0;
    for (size_t slot = 0; slot < linkSlots.size(); ++slot) {
        DeviceConnectionItem* link = linkSlots[slot];
        if (!link)
            continue;
        linkSlotOf[link] = int(kept);
        linkFilings[kept] = linkFilings[slot];
        linkSlots[kept++] = link;
    }
    linkSlots.resize(kept);
    linkFilings.resize(kept);
    freedLinkSlots = 0;
}

void MapItemIndex::removeLink(DeviceConnectionItem* link)
{
    if (!linkSlotOf.contains(link))
        return;
    Q_EMIT itemAboutToBeRemoved(link);
    // A holder may have removed the link while it was being announced.
    const auto slot = linkSlotOf.find(link);
    if (slot == linkSlotOf.end())
        return;
    const quint64 filed = linkFilings[size_t(slot.value())];
    freeLinkSlot(slot.value());
    linkSlotOf.erase(slot);

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
    dispose(link, filed);
}

void MapItemIndex::dispose(QGraphicsItem* item, quint64 filed)
{
    if (deletionHolds > 0)
        heldDeletions.emplace_back(filed, item);
    else
        delete item;
}

void MapItemIndex::holdDeletions()
{
    ++deletionHolds;
}

void MapItemIndex::releaseDeletions()
{
    if (--deletionHolds > 0)
        return;
    std::vector<std::pair<quint64, QGraphicsItem*>> held;
    held.swap(heldDeletions);
    std::sort(held.begin(), held.end());
    for (const auto& entry : held)
        delete entry.second;
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
