#pragma once

#include "DevicesArrangement.h"
#include "DeviceMapParts.h"
#include "dozerozozu_export.h"

#include <QMap>
#include <QPointF>
#include <QString>
#include <QStringList>

#include <functional>

class DeviceMapWidget;
class DeviceNodeItem;

/**
 * Turns what a drag on the device map moved into undoable edits when the drag ends.
 *
 * Compares the positions recorded at the press (MapInteraction::devicePositionsAtPress()
 * and clusterPositionsAtPress()) with the items' positions now and pushes one
 * MoveItemsOperation for the devices and one for the clusters, both in one "Move template"
 * macro when devices and clusters moved together. A device pulled out of the unplaced zone
 * goes back to the zone when dropped within 100 scene units of it; dropped further away it
 * is placed, and with it every unplaced device linked to it, laid out around the pointer.
 *
 * Owned by the map's MapInteraction; GUI thread only. Names whose item has gone since the
 * press are skipped.
 *
 *     DeviceMapParts(map).interaction().moves().moveItems();   // what a release after a drag does
 */
class DOZEROZOZU_EXPORT MapMoves
{
public:
    /// How near the zone's centre a pulled device is dropped to go back into the zone.
    static constexpr double zoneReturnDistance = 100.0;

    /// The arrangement of the named devices that a pulled group is placed in.
    using GroupLayout = std::function<DevicesArrangement(const QStringList& names)>;

    explicit MapMoves(DeviceMapWidget& map);

    /// Pushes the moves of the drag that ends and empties both maps of positions at the press.
    void moveItems();
    /// The devices' new positions by name; places or returns a pulled device on the way.
    /// Placing a pulled group waits for its layout: a map deleted there gives none, untouched.
    QMap<QString, QPointF> moveDevices();
    /// The clusters' new positions by name; the devices inside a cluster that moves them
    /// are deselected.
    QMap<QString, QPointF> moveClusters();

    /// Replaces the layout of a pulled group (the map's automatic layout in the current
    /// layout type by default); an empty function puts the default back.
    void setGroupLayout(GroupLayout layout);

private:
    /// Returns the pulled device to the zone or places it, alone or with its group; false, with
    /// nothing touched after, when the map was deleted during the group's layout.
    bool dropTemporaryDevice(DeviceNodeItem* pulled, QMap<QString, QPointF>& newPositions);
    /// False, with nothing touched after, when the map was deleted during the group's layout.
    bool placeGroup(const QStringList& group, const QPointF& pointer, QMap<QString, QPointF>& newPositions);
    void releaseTemporaryDevice();
    DevicesArrangement layOutGroup(const QStringList& names) const;

    DeviceMapWidget& map;
    GroupLayout groupLayout;
};
