#pragma once

#include "DevicesArrangement.h"
#include "GraphLayoutAdapter.h"
#include "dozerozozu_export.h"

#include <QFutureWatcher>
#include <QObject>
#include <QRectF>
#include <QString>
#include <QStringList>

class DeviceMapWidget;
class DeviceNodeItem;
class QPainter;

/**
 * The unplaced-devices zone in the bottom-right corner of the device map's viewport: the
 * devices that have no place on the map yet, waiting to be pulled out, drawn as a shadow,
 * a caption, the first device (covered by a card when it heads a linked group) and a stack
 * of up to five cards with the count; while a device is pulled out, a hint at the bottom and
 * either the device itself or, for a linked group, the zone the group would take.
 *
 * The group's zone comes from the automatic layout, which runs once per group on the thread
 * pool: a paint never waits for it, and the device itself is drawn until the result is in.
 * Only devices this map shows count as unplaced (the list of unplaced names is shared by
 * every map of the process).
 *
 * Owned by the DeviceMapWidget, which paints it after the legends; the pulled device and the
 * positions at press come from its MapInteraction. GUI thread only.
 */
class DOZEROZOZU_EXPORT UnplacedZone : public QObject
{
    Q_OBJECT

public:
    /// Cards stacked in the corner at most.
    static constexpr int maxCards = 5;

    /// What the zone shows now; paint() draws exactly this.
    struct Contents
    {
        /// The zone's shadow: something is unplaced or pulled.
        bool shadow = false;
        /// "Unplaced devices ".
        bool caption = false;
        /// The device drawn in the middle of the zone, empty for none.
        QString firstDevice;
        /// Size of the linked group the first device heads; above 1 a card covers it.
        int firstGroupSize = 0;
        /// The pull hint at the bottom, empty while nothing is pulled.
        QString hint;
        /// The devices the stack of cards stands for, and the stack's label.
        int count = 0;
        int cards = 0;
        QString label;
    };

    explicit UnplacedZone(DeviceMapWidget& map);
    ~UnplacedZone() override;

    /// Drawn at all; Ctrl+T toggles it. On at first.
    bool isVisible() const { return visible; }
    void setVisible(bool on) { visible = on; }
    /// Union of the cards as last painted, in viewport coordinates; null without cards.
    QRectF unplacedZoneRect() const { return zoneRect; }
    /// The zone of the group being pulled, empty while none is known.
    const DevicesArrangement& assumedArrangement() const { return assumed; }
    /// Automatic layouts started for pulled groups so far.
    int groupLayoutRuns() const { return layoutRuns; }

    /// The names of this map's unplaced devices, in the order of the shared list.
    QStringList unplacedDevices() const;
    /**
     * Takes the names of this map's devices out of the shared unplaced list, except those
     * another live map shows; the map calls it as it goes.
     */
    void releaseDevices();
    Contents contents() const;

    /// The shadow, the zone and the pulled device or group, when the zone is visible.
    void paint(QPainter& painter);
    /// The caption, the first device and the cards; sets unplacedZoneRect().
    void drawZone(QPainter& painter);
    /// Fills the rectangle arrangement's devices would take with their centre at the cursor.
    void drawAssumedDevicesZone(QPainter& painter, const DevicesArrangement& arrangement) const;

private:
    void paintShadow(QPainter& painter) const;
    void paintPulled(QPainter& painter);
    void drawCards(QPainter& painter, const Contents& contents);
    /// The group's zone, laid out once; empty until the layout has come back.
    const DevicesArrangement& groupZone(const QStringList& names);
    void groupLayoutFinished();
    void forgetGroupZone();
    QString hintFor(const DeviceNodeItem* pulled, int groupSize) const;

    DeviceMapWidget& map;
    bool visible = true;
    QRectF zoneRect;
    DevicesArrangement assumed;
    // The group (layout type and names) the last layout was started for, with its result.
    QString groupKey;
    DevicesArrangement groupResult;
    QFutureWatcher<GraphLayoutAdapter::Result> groupLayout;
    int layoutRuns = 0;
};
