#include "MapSearch.h"

#include "DeviceManager.h"
#include "DeviceMapParts.h"
#include "DeviceMapWidget.h"
#include "DeviceNodeItem.h"
#include "MapColoriser.h"
#include "MapItemIndex.h"

#include <algorithm>

namespace {

bool compareItemsByPos(const QGraphicsItem* a, const QGraphicsItem* b)
{
    if (a->pos().y() != b->pos().y())
        return a->pos().y() < b->pos().y();
    return a->pos().x() < b->pos().x();
}

} // namespace

MapSearch::MapSearch(DeviceMapWidget& map)
    : map(map)
{
}

void MapSearch::search(const QString& text)
{
    foundDevices.clear();
    foundSet.clear();
    if (text.isEmpty()) {
        // Only a search in force has a mode to go back to: a second empty search would
        // otherwise go back to the search's colouring, with nothing found.
        if (map.getColorisationMode() == DeviceMapWidget::BySearch)
            map.setColorisationMode(DeviceMapParts(map).coloriser().previousMode());
        return;
    }
    const QStringList words = text.split(QLatin1Char(' '));
    QList<DeviceNodeItem*> found;
    const QMap<QString, DeviceNodeItem*>& devices = DeviceMapParts(map).itemIndex().devices();
    for (auto it = devices.cbegin(); it != devices.cend(); ++it) {
        const DeviceInfo info = map.getDeviceManager()->getDeviceInfo(it.key());
        const QString type = info.type.toLower();
        const QString description = info.description.toLower();
        const QString name = info.name.toLower();
        bool matches = false;
        for (const QString& word : words) {
            if (word.isEmpty())
                continue;
            const QString lower = word.toLower();
            matches = matches || type.contains(lower) || description.contains(lower) || name.contains(lower);
        }
        if (matches && it.value())
            found.append(it.value());
    }
    std::sort(found.begin(), found.end(), compareItemsByPos);
    for (DeviceNodeItem* item : qAsConst(found)) {
        foundDevices.append(item);
        foundSet.insert(item);
    }
    map.setColorisationMode(DeviceMapWidget::BySearch);
}

void MapSearch::sortByPosition()
{
    QList<DeviceNodeItem*> items = found();
    std::sort(items.begin(), items.end(), compareItemsByPos);
    foundDevices.clear();
    for (DeviceNodeItem* item : qAsConst(items))
        foundDevices.append(item);
}

QList<DeviceNodeItem*> MapSearch::found() const
{
    QList<DeviceNodeItem*> result;
    for (const QPointer<DeviceNodeItem>& item : foundDevices) {
        if (item && foundSet.contains(item.data()))
            result.append(item.data());
    }
    return result;
}

// Taken out of the set only: searching the list for each device that goes would cost a delete
// of every device found the square of their number. Reading the list passes it over, and the
// next sort or search drops it.
void MapSearch::forget(HoverableItem* item)
{
    if (auto node = dynamic_cast<DeviceNodeItem*>(item))
        foundSet.remove(node);
}
