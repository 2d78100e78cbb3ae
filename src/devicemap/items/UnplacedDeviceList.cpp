#include "UnplacedDeviceList.h"

void UnplacedDeviceList::assign(const QStringList& names)
{
    order.clear();
    positions.clear();
    for (const QString& name : names)
        positions[name].push_back(order.insert(order.end(), name));
    cached = names;
    cacheValid = true;
}

QStringList UnplacedDeviceList::toStringList() const
{
    if (!cacheValid) {
        cached.clear();
        cached.reserve(int(order.size()));
        for (const QString& name : order)
            cached.append(name);
        cacheValid = true;
    }
    return cached;
}

void UnplacedDeviceList::prepend(const QString& name)
{
    std::vector<Position>& occurrences = positions[name];
    occurrences.insert(occurrences.begin(), order.insert(order.begin(), name));
    cacheValid = false;
}

bool UnplacedDeviceList::removeOne(const QString& name)
{
    const auto entry = positions.find(name);
    if (entry == positions.end())
        return false;
    order.erase(entry->front());
    entry->erase(entry->begin());
    if (entry->empty())
        positions.erase(entry);
    cacheValid = false;
    return true;
}
