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
 *   strings and outgoing connections, a link listed both ways once), each end being the device
 *   pasted for the description it stands for (a description's own links are its own, "this"
 *   is the described device). An entry that is no link, a link naming a device not pasted, or
 *   one the manager refuses is logged ("incorrect connection: ") and left out; one warning
 *   box follows the placement, however many there were. A name the descriptions hold twice
 *   is logged once ("repeated device name, ..."): a link naming it from elsewhere joins the
 *   first device of that name;
 * - places the items: with the arrangement when exactly its devices were shown, otherwise
 *   laid out afresh in the map's layout type (so whenever a name comes twice, since the
 *   arrangement holds one rectangle per name); links get their bending points (moved with
 *   the group) once their items are there. The placed items end up selected, and nothing else.
 *
 * Items are held guarded across the waits: one deleted meanwhile is skipped. Should a host delete
 * the map outright during redo() (in a slot on the manager's reports), the devices are still all
 * made and joined as described, with nothing placed and no box; undo() removes them all alike.
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
    /// A device this paste made whose item came, for the description at entry.
    struct ShownDevice
    {
        int entry;
        QString name;
        QPointer<DeviceNodeItem> item;
    };
    using ShownDevices = QList<ShownDevice>;
    using JoinedPairs = QSet<QPair<QString, QString>>;

    /// Creates, names and sets up one device per description; their names go to createdNames.
    /// Gives each description's entry and its device's name.
    QList<QPair<int, QString>> createDevices();
    bool shownOnMap(const QString& name) const;
    /// Waits for the created devices' items, in entry order; false when the map went meanwhile.
    bool awaitItems(const QList<QPair<int, QString>>& created, ShownDevices& shown);
    /// Joins the pasted devices; false when a connection could not be made.
    bool connectDevices(const ShownDevices& shown, JoinedPairs& joined);
    /// Joins every device made when the map went before its items came.
    void joinWithoutMap(const QList<QPair<int, QString>>& created);
    /// Pasted name to device name, of the first shown device of each name.
    QMap<QString, QString> firstOfEachName(const ShownDevices& shown) const;
    void insideCopying(const ShownDevices& shown, const JoinedPairs& joined);
    void outsideCopying(const ShownDevices& shown, const JoinedPairs& joined);
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
