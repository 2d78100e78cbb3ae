#include "GraphOrder.h"

#include "DeviceManager.h"
#include "DeviceNodeItem.h"

#include <QPair>
#include <QSet>
#include <QStringList>
#include <QVector>

#include <algorithm>
#include <limits>

GraphOrder::GraphOrder(const DeviceManager* manager)
    : manager(manager)
{
}

int GraphOrder::position(const QString& name) const
{
    if (!ranked) {
        const QStringList names = manager ? manager->getDeviceNames() : QStringList();
        positions.reserve(names.size());
        for (int i = 0; i < names.size(); ++i)
            positions.insert(names.at(i), i);
        ranked = true;
    }
    return positions.value(name, std::numeric_limits<int>::max());
}

QList<DeviceNodeItem*> GraphOrder::deviceItems(const QList<QGraphicsItem*>& items) const
{
    QList<DeviceNodeItem*> devices;
    QSet<QString> named;
    for (QGraphicsItem* item : items) {
        auto device = dynamic_cast<DeviceNodeItem*>(item);
        if (!device || named.contains(device->devName()))
            continue;
        named.insert(device->devName());
        devices.append(device);
    }
    if (devices.size() < 2)
        return devices;
    // Each name is looked up once; the index breaks ties, so that devices the manager does
    // not list stay in the order given.
    QVector<QPair<int, int>> keys;
    keys.reserve(devices.size());
    for (int i = 0; i < devices.size(); ++i)
        keys.append(qMakePair(position(devices.at(i)->devName()), i));
    std::sort(keys.begin(), keys.end());
    QList<DeviceNodeItem*> sorted;
    sorted.reserve(devices.size());
    for (const QPair<int, int>& key : qAsConst(keys))
        sorted.append(devices.at(key.second));
    return sorted;
}
