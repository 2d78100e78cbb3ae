#pragma once

#include "ClusterRectItem.h"
#include "DeviceNodeItem.h"
#include "dozerozozu_export.h"

#include <QList>
#include <QMap>
#include <QObject>
#include <QPointF>
#include <QPointer>
#include <QTimer>

class DeviceConnectionItem;
class DeviceMapWidget;
class QMouseEvent;
class QRubberBand;

/**
 * The device map's pointer state: press, move, release, long press, pinch, hover and cursor.
 *
 * Holds what a gesture on the map remembers between events (the press position, the
 * rubber band, the positions at press of what is dragged, the bending point or cluster
 * corner being dragged, the hovered item, the device pulled out of the unplaced zone) and
 * the long-press timer. The map's event handlers ask it first; a handler that returns false
 * leaves the event to the plain graphics view. Every pointer to an item is dropped when the
 * map's MapItemIndex announces the item's removal.
 *
 * Owned by the DeviceMapWidget; GUI thread only.
 */
class DOZEROZOZU_EXPORT MapInteraction : public QObject
{
    Q_OBJECT

public:
    /// The long press that acts as a right click.
    static constexpr int defaultLongPressMs = 1000;

    explicit MapInteraction(DeviceMapWidget& map);
    ~MapInteraction() override;

    /// Each returns true when it handled the event; false leaves it to the plain view.
    bool mousePress(QMouseEvent* event);
    bool mouseMove(QMouseEvent* event);
    bool mouseRelease(QMouseEvent* event);
    /// The long-press timer ran out.
    void longPressTimeout();

    int longPressInterval() const { return longClickTimer.interval(); }
    void setLongPressInterval(int ms) { longClickTimer.setInterval(ms); }

    HoverableItem* hoveredItem() const { return hovered.data(); }
    void setHoveredItem(HoverableItem* item) { hovered = item; }
    DeviceNodeItem* temporaryDevice() const { return currentTemporaryDevice.data(); }
    void setTemporaryDevice(DeviceNodeItem* item) { currentTemporaryDevice = item; }
    ClusterRectItem* stretchedCluster() const { return stretched.data(); }
    void setStretchedCluster(ClusterRectItem* item) { stretched = item; }
    QPointF pressScenePos() const { return pressScenePosition; }
    void setPressScenePos(const QPointF& pos) { pressScenePosition = pos; }
    /// The link whose bending point is dragged, with the point's index (at most one entry).
    const QMap<DeviceConnectionItem*, int>& movedBendingPoint() const { return bendingPointDrag; }
    void setMovedBendingPoint(DeviceConnectionItem* link, int index, const QList<QPointF>& bendsAtPress);
    QList<QPointF> bendingPointsAtPress() const { return bendsAtPress; }
    QMap<QString, QPointF>& devicePositionsAtPress() { return devicesAtPress; }
    QMap<QString, QPointF>& clusterPositionsAtPress() { return clustersAtPress; }
    QRubberBand* rubberBand() const { return band; }

    /// Drops every pointer to item; connected to MapItemIndex::itemAboutToBeRemoved().
    void forget(HoverableItem* item);

private:
    DeviceMapWidget& map;
    bool panning = false;
    QPointF lastPanPos;
    QPointF pressScenePosition;
    QPointF rubberBandOrigin;
    QPointF rubberBandSceneOrigin;
    QPointer<HoverableItem> hovered;
    QRubberBand* band = nullptr;
    QMap<QString, QPointF> devicesAtPress;
    QMap<QString, QPointF> clustersAtPress;
    QMap<DeviceConnectionItem*, int> bendingPointDrag;
    QPointer<ClusterRectItem> stretched;
    QList<QPointF> bendsAtPress;
    bool itemPressed = false;
    QTimer longClickTimer;
    QPointer<DeviceNodeItem> currentTemporaryDevice;
};
