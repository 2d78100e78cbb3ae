#pragma once

#include "dozerozozu_export.h"

#include <QHash>
#include <QString>
#include <QStringList>

#include <list>
#include <vector>

/**
 * The ordered list of unplaced device names that every DeviceNodeItem shares: a name is
 * put first when a device is unplaced and taken out when it is placed or removed.
 *
 * Look-ups, insertions at the front and removals cost the same whatever the list's length;
 * the list as a QStringList is built only when asked for, and kept until the next change.
 * A name may be listed more than once (setUnplacedDevices() takes any list); a removal takes
 * out its first occurrence. Plain value; GUI thread only.
 */
class DOZEROZOZU_EXPORT UnplacedDeviceList
{
public:
    void assign(const QStringList& names);
    QStringList toStringList() const;
    bool contains(const QString& name) const { return positions.contains(name); }
    void prepend(const QString& name);
    /// Takes out the first occurrence; false when the name is not listed.
    bool removeOne(const QString& name);
    int size() const { return int(order.size()); }

private:
    using Position = std::list<QString>::iterator;

    std::list<QString> order;
    // Each listed name's occurrences, first to last.
    QHash<QString, std::vector<Position>> positions;
    mutable QStringList cached;
    mutable bool cacheValid = true;
};
