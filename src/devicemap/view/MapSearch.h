#pragma once

#include "DeviceNodeItem.h"
#include "dozerozozu_export.h"

#include <QList>
#include <QPointer>
#include <QSet>
#include <QString>

class DeviceMapWidget;

/**
 * The device map's search: finds devices by any word of a text in their type, description
 * or name, keeps the result ordered top to bottom, then left to right, and switches the map
 * to colouring by search (an empty text switches back).
 *
 * Owned by the DeviceMapWidget; removed devices leave the result. GUI thread only.
 */
class DOZEROZOZU_EXPORT MapSearch
{
public:
    explicit MapSearch(DeviceMapWidget& map);

    /// A text finds and colours by search; an empty text ends a search in force (else nothing).
    void search(const QString& text);
    /// Orders the result again by the items' places, after they moved.
    void sortByPosition();
    /// The result, in order; removed devices are left out.
    QList<DeviceNodeItem*> found() const;
    bool contains(const DeviceNodeItem* item) const { return foundSet.contains(item); }
    /// Drops a removed device from the result; connected to MapItemIndex::itemAboutToBeRemoved().
    void forget(HoverableItem* item);

private:
    DeviceMapWidget& map;
    QList<QPointer<DeviceNodeItem>> foundDevices;
    QSet<const DeviceNodeItem*> foundSet;
};
