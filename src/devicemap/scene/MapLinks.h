#pragma once

#include "dozerozozu_export.h"

#include <QList>
#include <QMap>
#include <QPointF>
#include <QString>
#include <QStringList>

class DeviceConnectionItem;
class DeviceMapWidget;
class DeviceNodeItem;

/**
 * The device map's link items as the map and its operations use them: made between two
 * devices' items, found by the devices' names, drawn side by side when two devices link
 * each other, and the signal and slot pairs behind one link.
 *
 * Owned by the DeviceMapWidget, whose link members forward here; the items themselves are
 * filed in the map's MapItemIndex. GUI thread only.
 */
class DOZEROZOZU_EXPORT MapLinks
{
public:
    explicit MapLinks(DeviceMapWidget& map);

    /// Adds a link item when both devices have items; no check for an existing one.
    void create(const QString& from, const QString& to, const QList<QPointF>& bends);
    /// The same between two device items of the map, both non-null.
    DeviceConnectionItem* create(DeviceNodeItem* source, DeviceNodeItem* target, const QList<QPointF>& bends);
    /// The first link item from the device named from to the one named to, or null.
    DeviceConnectionItem* find(const QString& from, const QString& to) const;
    /// Gives two opposite links without bending points a bend each, so both show.
    void split(const QString& a, const QString& b);
    /// The signals (or slots) of the manager's connections into target whose source is source.
    QStringList signalsOf(const QString& target, const QString& source) const;
    QStringList slotsOf(const QString& target, const QString& source) const;
    /// Marks name and every unplaced device reachable from it through unplaced devices.
    void markConnectedUnplaced(const QString& name, QMap<QString, bool>& marks) const;

private:
    DeviceMapWidget& map;
};
