#pragma once

#include "DeviceInfo.h"
#include "DevicesArrangement.h"
#include "Operation.h"

#include <QList>
#include <QMap>
#include <QPair>
#include <QPointF>
#include <QPointer>
#include <QSet>
#include <QStringList>

class DeviceNodeItem;

/**
 * Puts described devices into the graph and onto the map, so that their arrangement keeps
 * its shape and its grab point (center) lands on the paste point; undo removes the devices
 * the last redo() created. Text "Paste devices".
 *
 * redo(), in one read-only bracket saved once:
 * - creates one device per description (of type "manager/type" for a name "device@manager")
 *   and gives it the description's name when no item of the map bears it and the manager
 *   agrees; otherwise the device keeps the manager's name. Then it sets the description's
 *   parameters in key order and applies them once. All devices are made before the first
 *   wait, so a manager that answers late costs one delay, not one per device;
 * - waits for each device's item (Operation::itemWaitMs; "Network DM not responding!" for
 *   each that does not come); only the devices shown take part in the links and placement,
 *   but every device created is removed by undo();
 * - joins the devices by every link the descriptions list (DescribedLink: connection
 *   strings and outgoing connections, a link listed both ways once), with source and target
 *   names mapped by whole name to the pasted devices ("this" is the described device). An
 *   entry that is no link, a link naming a device not pasted, or one the manager refuses is
 *   logged ("incorrect connection: ") and left out; one warning box follows the placement,
 *   however many there were;
 * - places the items: with the arrangement when exactly its devices were shown, otherwise
 *   laid out afresh in the map's layout type; links get their bending points (moved with the
 *   group) once their items are there. The placed items end up selected, and nothing else.
 *
 * Items are held guarded across the waits: one deleted meanwhile is skipped.
 */
class DOZEROZOZU_EXPORT PasteDevicesOperation : public Operation
{
public:
    PasteDevicesOperation(DeviceMapWidget* map, QList<DeviceInfo> descriptions, DevicesArrangement arrangement,
                          QPointF pastePoint);

    void undo() override;
    void redo() override;

    /// The devices the last redo() created, in creation order; empty after undo().
    QStringList createdDevices() const;

    /// The devices and the links that infos describe, as MapWaitCursor counts a paste's work.
    static int workOf(const QList<DeviceInfo>& infos);

private:
    using ShownItems = QMap<QString, QPointer<DeviceNodeItem>>;
    using JoinedPairs = QSet<QPair<QString, QString>>;

    /// Creates, names and sets up one device per description; their names go to createdNames.
    QList<QPair<QString, QString>> createDevices();
    /// Waits for the created devices' items; false when the map went meanwhile.
    bool awaitItems(const QList<QPair<QString, QString>>& created, QMap<QString, QString>& nameMap, ShownItems& items);
    /// Joins the pasted devices; false when a connection could not be made.
    bool connectDevices(const QMap<QString, QString>& nameMap, JoinedPairs& joined);
    void insideCopying(const QMap<QString, QString>& nameMap, const ShownItems& items, const JoinedPairs& joined);
    void outsideCopying(const QMap<QString, QString>& nameMap, const ShownItems& items, const JoinedPairs& joined);
    /// Moves each item's centre to its point, growing the scene first, and selects it.
    void placeItems(const QList<QPair<QPointer<DeviceNodeItem>, QPointF>>& placements);
    /// Gives the links among the pasted devices their bending points, moved by offset.
    void dressLinks(const QList<ItemsConnection>& connections, const QMap<QString, QString>& nameMap,
                    const QPointF& offset, const JoinedPairs& joined);

    QList<DeviceInfo> descriptions;
    DevicesArrangement arrangement;
    QStringList createdNames;
    QPointF pastePoint;
};
