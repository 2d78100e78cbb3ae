#pragma once

#include "ClusterRectItem.h"
#include "DeviceNodeItem.h"
#include "MapMoves.h"
#include "dozerozozu_export.h"

#include <QList>
#include <QMap>
#include <QObject>
#include <QPointF>
#include <QPointer>
#include <QTimer>

class DeviceConnectionItem;
class DeviceMapWidget;
class QGestureEvent;
class QGraphicsItem;
class QMouseEvent;
class QRubberBand;

/**
 * The device map's pointer handling: press, move, release, long press, pinch, hover and cursor.
 *
 * A press on empty space starts a rubber-band selection with the mouse, or a pan with a
 * touch (Qt's mouse events synthesised from touches); a press on a device or a cluster starts
 * a drag that MapMoves turns into MoveItemsOperations at the release; a press on a cluster's
 * stretch corner resizes it; a press on a bending point drags it (a MoveBendingPointOperation
 * when it moved). A right press, or a left press with exactly Shift, on a device starts a
 * ConnectionDrawing. Moving over the unplaced zone in the viewport's lower right corner pulls
 * out the first unplaced device. A right-button rubber band offers "Create cluster...". A
 * press and release less than 3 scene units apart (|dx| + |dy|) is a click, handed to the
 * map's mouseClickEvent(); so is a press held still for the long-press interval, as a right
 * click. A pinch scales the view.
 *
 * The map's event handlers forward here. Every pointer to an item is dropped when the map's
 * MapItemIndex announces the item's removal, and after every nested event loop (menus, the
 * name prompt, the connection dialog, a click's handling) the map is checked before the
 * handler goes on. Owned by the DeviceMapWidget; GUI thread only.
 */
class DOZEROZOZU_EXPORT MapInteraction : public QObject
{
    Q_OBJECT

public:
    /// The long press that acts as a right click.
    static constexpr int defaultLongPressMs = 1000;
    /// A press and release nearer than this (|dx| + |dy|, scene units) make a click.
    static constexpr double clickDistance = 3.0;
    /// A right-button rubber band must be wider and higher than this (pixels) to offer a cluster.
    static constexpr int clusterBandMinimum = 5;

    explicit MapInteraction(DeviceMapWidget& map);
    ~MapInteraction() override;

    /// Each handles the event and returns true. mouseRelease(nullptr) resets the pointer state.
    bool mousePress(QMouseEvent* event);
    bool mouseMove(QMouseEvent* event);
    bool mouseRelease(QMouseEvent* event);
    /// A pinch scales the view; any drag in progress is reset first. Always true.
    bool gesture(QGestureEvent* event);
    /// The long-press timer ran out: the press acts as a right click.
    void longPressTimeout();

    int longPressInterval() const { return longClickTimer.interval(); }
    void setLongPressInterval(int ms) { longClickTimer.setInterval(ms); }
    bool isLongPressPending() const { return longClickTimer.isActive(); }

    /// The topmost item whose shape meets the 2 x 2 pixel square at a viewport point, or null.
    QGraphicsItem* findItemAt(const QPoint& viewportPoint) const;
    /// Sets the viewport cursor for the item under the pointer and the pointer's scene position.
    void setSuitableCursor(HoverableItem* item, const QPointF& scenePos);

    HoverableItem* hoveredItem() const { return hovered.data(); }
    void setHoveredItem(HoverableItem* item) { hovered = item; }
    /**
     * The hovered item loses its hover look. The map calls it whenever the pointer leaves the
     * item without a move over the map telling so: when the pointer leaves the view, when a line
     * being drawn is dragged off it, and when a device's settings dialog takes the pointer.
     */
    void endHover();
    DeviceNodeItem* temporaryDevice() const { return currentTemporaryDevice.data(); }
    void setTemporaryDevice(DeviceNodeItem* item) { currentTemporaryDevice = item; }
    ClusterRectItem* stretchedCluster() const { return stretched.data(); }
    void setStretchedCluster(ClusterRectItem* item) { stretched = item; }
    /// Scene position of the last press; (0, 0) when no press is pending.
    QPointF pressScenePos() const { return pressScenePosition; }
    void setPressScenePos(const QPointF& pos) { pressScenePosition = pos; }
    /// Scene position of the pointer at the last press, move or release.
    QPointF pointerScenePos() const { return pointerPosition; }
    /// The link whose bending point is dragged, with the point's index (at most one entry).
    const QMap<DeviceConnectionItem*, int>& movedBendingPoint() const { return bendingPointDrag; }
    void setMovedBendingPoint(DeviceConnectionItem* link, int index, const QList<QPointF>& bendsAtPress);
    QList<QPointF> bendingPointsAtPress() const { return bendsAtPress; }
    QMap<QString, QPointF>& devicePositionsAtPress() { return devicesAtPress; }
    QMap<QString, QPointF>& clusterPositionsAtPress() { return clustersAtPress; }
    QRubberBand* rubberBand() const { return band; }
    /// The press landed on a device, a cluster or a bending point.
    bool isItemPressed() const { return itemPressed; }
    bool isPanning() const { return panning; }
    MapMoves& moves() { return dragEnd; }

    /// Drops every pointer to item; connected to MapItemIndex::itemAboutToBeRemoved().
    void forget(HoverableItem* item);

protected:
    /// The viewport's Leave ends the hover.
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void startRubberBand(const QPoint& point, const QPointF& scenePos);
    void recordPressOn(QGraphicsItem* item, QMouseEvent* event, const QPointF& scenePos);
    void recordClusterPress(ClusterRectItem* cluster, QMouseEvent* event, const QPointF& scenePos);
    /// Starts a drawing, or finishes the one waiting for its end.
    void pressForDrawing(QMouseEvent* event, const QPointF& scenePos);
    void followRubberBand(const QPoint& point, const QPointF& scenePos);
    void pan(const QPoint& point);
    void followUnplacedZone(const QPoint& point);
    /// Drags a bending point or a cluster's corner; false when neither applies.
    bool dragHandle(const QPointF& scenePos);
    void hover(HoverableItem* candidate);
    /// Whether item lies under the 2 x 2 pixel square at a viewport point, as findItemAt() sees it.
    bool isUnderPointer(const QGraphicsItem* item, const QPoint& viewportPoint) const;
    void resetState();
    /// The right-button release's own work; false when the map went.
    bool releaseRightButton(const QPointF& scenePos, bool usableBand, const QRect& bandGeometry);
    /// Offers "Create cluster..." for a right-button rubber band; false when the map went.
    bool offerClusterForBand(const QRect& bandGeometry);
    void endBendingPointDrag();
    QList<QGraphicsItem*> itemsAt(const QPointF& scenePos) const;

    DeviceMapWidget& map;
    bool panning = false;
    QPointF lastPanPos;
    QPointF pressScenePosition;
    // Whether pressScenePosition belongs to a press not yet released: a press at the scene's
    // origin must still click, and a release after a reset must not.
    bool pressPending = false;
    QPointF pointerPosition;
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
    MapMoves dragEnd;
};
