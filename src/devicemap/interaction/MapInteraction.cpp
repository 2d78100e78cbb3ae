#include "MapInteraction.h"

#include "ClusterRectItem.h"
#include "ConnectionDrawing.h"
#include "DeviceConnectionItem.h"
#include "DeviceMapParts.h"
#include "DeviceMapWidget.h"
#include "DeviceNodeItem.h"
#include "MapClusters.h"
#include "MapItemIndex.h"
#include "MapKeys.h"
#include "MapMenus.h"
#include "MoveBendingPointOperation.h"
#include "UnplacedZone.h"

#include <QCursor>
#include <QGestureEvent>
#include <QGraphicsScene>
#include <QMenu>
#include <QMouseEvent>
#include <QPinchGesture>
#include <QRubberBand>
#include <QScrollBar>

#include <algorithm>
#include <cmath>

MapInteraction::MapInteraction(DeviceMapWidget& map)
    : QObject(nullptr)
    , map(map)
    , band(new QRubberBand(QRubberBand::Rectangle, &map))
    , dragEnd(map)
{
    band->hide();
    map.viewport()->installEventFilter(this);
    longClickTimer.setSingleShot(true);
    longClickTimer.setInterval(defaultLongPressMs);
    connect(&longClickTimer, SIGNAL(timeout()), &map, SLOT(longClickTimeout()));
}

MapInteraction::~MapInteraction() = default;

// ---------------------------------------------------------------------------------------------
// Press

bool MapInteraction::mousePress(QMouseEvent* event)
{
    QPointer<DeviceMapWidget> alive(&map);
    // Items handle their own press first: a press on an unselected device selects it.
    map.QGraphicsView::mousePressEvent(event);
    if (!alive)
        return true;
    longClickTimer.start();

    const QPoint point = event->pos();
    const QPointF scenePos = map.mapToScene(point);
    pointerPosition = scenePos;
    QGraphicsItem* item = findItemAt(point);
    if (!dynamic_cast<HoverableItem*>(item)) {
        const bool touch = event->source() == Qt::MouseEventSynthesizedByQt;
        if (!touch)
            startRubberBand(point, scenePos);
        panning = touch;
        lastPanPos = point;
    } else {
        recordPressOn(item, event, scenePos);
    }
    pressForDrawing(event, scenePos);
    return true;
}

void MapInteraction::startRubberBand(const QPoint& point, const QPointF& scenePos)
{
    rubberBandOrigin = point;
    rubberBandSceneOrigin = scenePos;
    band->setGeometry(QRectF(point, QSizeF()).toRect());
    band->raise();
    band->show();
}

void MapInteraction::recordPressOn(QGraphicsItem* item, QMouseEvent* event, const QPointF& scenePos)
{
    const MapItemIndex& index = DeviceMapParts(map).itemIndex();
    if (auto node = dynamic_cast<DeviceNodeItem*>(item)) {
        if (!node->isSelected()) {
            devicesAtPress.insert(index.nameOf(node), node->pos());
        } else {
            // Only device nodes are selectable on the map.
            const QList<QGraphicsItem*> selection = map.scene()->selectedItems();
            for (QGraphicsItem* selected : selection) {
                if (auto selectedNode = dynamic_cast<DeviceNodeItem*>(selected))
                    devicesAtPress.insert(index.nameOf(selectedNode), selectedNode->pos());
            }
        }
        devicesAtPress.remove(QString());
        itemPressed = true;
    } else if (auto cluster = dynamic_cast<ClusterRectItem*>(item)) {
        recordClusterPress(cluster, event, scenePos);
    } else if (auto link = dynamic_cast<DeviceConnectionItem*>(item)) {
        const QPointF bend = link->isInBendingPointsArea(scenePos);
        if (bend.x() == 0.0 && bend.y() == 0.0)
            return;
        const QList<QPointF> bends = link->getBendingPoints();
        setMovedBendingPoint(link, bends.indexOf(bend), bends);
        itemPressed = true;
    }
}

void MapInteraction::recordClusterPress(ClusterRectItem* cluster, QMouseEvent* event, const QPointF& scenePos)
{
    itemPressed = true;
    if (cluster->isInStretchArea(scenePos)) {
        stretched = cluster;
        cluster->setFlag(QGraphicsItem::ItemIsMovable, false);
        return;
    }
    if (event->button() != Qt::LeftButton)
        return;
    clustersAtPress.insert(cluster->getName(), cluster->pos());
    if (!cluster->getMovesContainedDevices())
        return;
    // The devices inside move with the cluster as a selection.
    const QRectF area(cluster->pos(), cluster->rect().size());
    const QMap<QString, DeviceNodeItem*>& devices = DeviceMapParts(map).itemIndex().devices();
    for (auto it = devices.cbegin(); it != devices.cend(); ++it) {
        DeviceNodeItem* device = it.value();
        if (!area.contains(device->boundingRect().translated(device->pos())))
            continue;
        devicesAtPress.insert(it.key(), device->pos());
        device->setSelected(true);
    }
}

void MapInteraction::pressForDrawing(QMouseEvent* event, const QPointF& scenePos)
{
    ConnectionDrawing& drawing = DeviceMapParts(map).connectionDrawing();
    if (!drawing.isDrawing()) {
        pressScenePosition = scenePos;
        pressPending = true;
        const QList<QGraphicsItem*> items = itemsAt(scenePos);
        if (items.isEmpty())
            return;
        auto node = dynamic_cast<DeviceNodeItem*>(items.first());
        const QString name = node ? DeviceMapParts(map).itemIndex().nameOf(node) : QString();
        const bool rightButton = event->button() == Qt::RightButton;
        const bool shiftLeft = event->button() == Qt::LeftButton && event->modifiers() == Qt::ShiftModifier;
        if (!name.isEmpty() && (rightButton || shiftLeft))
            drawing.start(name);
        return;
    }

    // A drawing waits for its end: this press ends it, on a device or not.
    longClickTimer.stop();
    if (!drawing.endNode()) {
        drawing.cancel();
        return;
    }
    QPointer<DeviceMapWidget> alive(&map);
    const QList<QGraphicsItem*> items = itemsAt(scenePos);
    if (!items.isEmpty())
        drawing.drawConnection(items);
    if (!alive)
        return;
    DeviceMapParts(map).connectionDrawing().interrupt();
    mouseRelease(event);
}

// ---------------------------------------------------------------------------------------------
// Move

bool MapInteraction::mouseMove(QMouseEvent* event)
{
    // Any move, however small, is no long press.
    longClickTimer.stop();
    map.QGraphicsView::mouseMoveEvent(event);

    const QPoint point = event->pos();
    const QPointF scenePos = map.mapToScene(point);
    pointerPosition = scenePos;
    if (band->isVisible())
        followRubberBand(point, scenePos);
    if (panning)
        pan(point);

    auto candidate = dynamic_cast<HoverableItem*>(findItemAt(point));
    setSuitableCursor(candidate, scenePos);
    if (DeviceMapParts(map).unplacedZone().isVisible())
        followUnplacedZone(point);

    ConnectionDrawing& drawing = DeviceMapParts(map).connectionDrawing();
    if (drawing.isDrawing()) {
        // No item takes the hover look while a line is drawn, but the one it left loses it.
        if (hovered && !isUnderPointer(hovered, point))
            endHover();
        drawing.follow(scenePos);
        return true;
    }
    if (!dragHandle(scenePos))
        hover(candidate);
    return true;
}

bool MapInteraction::isUnderPointer(const QGraphicsItem* item, const QPoint& viewportPoint) const
{
    const QPolygonF square = map.mapToScene(QRect(viewportPoint, QSize(2, 2)));
    return map.scene()->items(square, Qt::IntersectsItemShape).contains(const_cast<QGraphicsItem*>(item));
}

void MapInteraction::endHover()
{
    if (!hovered)
        return;
    hovered->setHovered(false);
    hovered = nullptr;
    map.viewport()->update();
}

bool MapInteraction::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::Leave && watched == map.viewport())
        endHover();
    return QObject::eventFilter(watched, event);
}

void MapInteraction::followRubberBand(const QPoint& point, const QPointF& scenePos)
{
    QPainterPath area;
    area.addRect(QRectF(rubberBandSceneOrigin, scenePos).normalized().toRect());
    map.scene()->setSelectionArea(area, Qt::IntersectsItemShape);
    band->setGeometry(QRectF(rubberBandOrigin, QPointF(point)).normalized().toRect());
}

void MapInteraction::pan(const QPoint& point)
{
    const QPointF delta = lastPanPos - QPointF(point);
    lastPanPos = point;
    map.horizontalScrollBar()->setValue(map.horizontalScrollBar()->value() + int(delta.x()));
    map.verticalScrollBar()->setValue(map.verticalScrollBar()->value() + int(delta.y()));
}

// The first unplaced device waits, drawn at unzoomed size, in a node-sized zone centred 100
// pixels from the viewport's right and bottom edges; moving into the zone pulls it out, moving
// away without dragging it puts it back.
void MapInteraction::followUnplacedZone(const QPoint& point)
{
    const MapItemIndex& index = DeviceMapParts(map).itemIndex();
    const QStringList unplaced = DeviceNodeItem::getUnplacedDevices();
    DeviceNodeItem* candidate = currentTemporaryDevice.data();
    if (!candidate && !unplaced.isEmpty())
        candidate = index.device(unplaced.first());
    if (!candidate)
        return;

    const QSizeF size = candidate->boundingRect().size();
    if (devicesAtPress.contains(candidate->devName()))
        map.viewport()->update();
    const double width = map.viewport()->width();
    const double height = map.viewport()->height();
    const QPointF corner(width - 100 - size.width() / 2, height - 100 - size.height() / 2);
    const QRectF zone(corner, size);
    const bool inside = zone.contains(QPointF(point));

    if (inside && !currentTemporaryDevice) {
        currentTemporaryDevice = candidate;
        const QTransform view = map.transform();
        const QTransform unzoomed = QTransform::fromScale(1.0 / view.m11(), 1.0 / view.m22());
        QMap<QString, bool> group;
        map.getConnectedDevices(candidate->devName(), group);
        if (group.size() >= 2) {
            for (auto it = group.cbegin(); it != group.cend(); ++it) {
                if (DeviceNodeItem* member = index.device(it.key()))
                    member->setTransform(unzoomed);
            }
        } else {
            candidate->setTransform(unzoomed);
        }
        candidate->placeDevice(map.mapToScene(QPoint(int(corner.x()), int(corner.y()))));
    } else if (!inside && currentTemporaryDevice && !devicesAtPress.contains(currentTemporaryDevice->devName())) {
        currentTemporaryDevice->setHovered(false);
        currentTemporaryDevice->unplaceDevice();
        currentTemporaryDevice = nullptr;
    }
}

bool MapInteraction::dragHandle(const QPointF& scenePos)
{
    const QRectF sceneRect = map.scene()->sceneRect();
    if (!bendingPointDrag.isEmpty() && sceneRect.contains(scenePos)) {
        DeviceConnectionItem* link = bendingPointDrag.firstKey();
        const int at = bendingPointDrag.first();
        QList<QPointF> bends = link->getBendingPoints();
        if (at >= 0 && at < bends.size()) {
            bends[at] = scenePos;
            link->setBendingPoints(bends);
            link->update(QRectF());
        }
        return true;
    }
    if (stretched && sceneRect.contains(scenePos)) {
        const int side = stretched->getStretchSideLength();
        const double width = std::max(double(side), scenePos.x() - stretched->x() + side / 2);
        const double height = std::max(double(side), scenePos.y() - stretched->y() + side / 2);
        stretched->setRect(QRectF(0, 0, width, height));
        stretched->update();
        map.viewport()->update();
        return true;
    }
    return false;
}

void MapInteraction::hover(HoverableItem* candidate)
{
    if (!candidate) {
        if (hovered)
            hovered->setHovered(false);
        hovered = nullptr;
        return;
    }
    if (candidate != hovered) {
        if (hovered)
            hovered->setHovered(false);
        hovered = candidate;
        candidate->setHovered(true);
    }
    map.viewport()->update();
}

void MapInteraction::setSuitableCursor(HoverableItem* item, const QPointF& scenePos)
{
    QWidget* viewport = map.viewport();
    const Qt::CursorShape current = viewport->cursor().shape();
    if (DeviceMapParts(map).connectionDrawing().isDrawing()) {
        viewport->setCursor(Qt::PointingHandCursor);
        return;
    }
    const bool dragging = !bendingPointDrag.isEmpty() || stretched;
    if (!item && !(current == Qt::ClosedHandCursor || current == Qt::SizeFDiagCursor || dragging)) {
        viewport->setCursor(Qt::ArrowCursor);
        return;
    }
    if (item && !itemPressed) {
        auto cluster = dynamic_cast<ClusterRectItem*>(item);
        const bool corner = cluster && cluster->isInStretchArea(scenePos);
        viewport->setCursor(corner ? Qt::SizeFDiagCursor : Qt::PointingHandCursor);
        return;
    }
    if (!itemPressed)
        viewport->setCursor(Qt::PointingHandCursor);
    else if (current == Qt::PointingHandCursor)
        viewport->setCursor(stretched ? Qt::SizeFDiagCursor : Qt::ClosedHandCursor);
}

// ---------------------------------------------------------------------------------------------
// Release

bool MapInteraction::mouseRelease(QMouseEvent* event)
{
    longClickTimer.stop();
    panning = false;
    if (!event) {
        resetState();
        return true;
    }

    QPointer<DeviceMapWidget> alive(&map);
    map.QGraphicsView::mouseReleaseEvent(event);
    if (!alive)
        return true;
    const QPointF scenePos = map.mapToScene(event->pos());
    pointerPosition = scenePos;
    const QRect bandGeometry = band->geometry();
    const bool usableBand = band->isVisible() && bandGeometry.width() != 0 && bandGeometry.height() != 0;
    band->hide();

    if (event->button() == Qt::RightButton && !releaseRightButton(scenePos, usableBand, bandGeometry))
        return true;
    if (!devicesAtPress.isEmpty() || !clustersAtPress.isEmpty()) {
        dragEnd.moveItems();
        if (!alive)
            return true;
        map.viewport()->setCursor(Qt::PointingHandCursor);
    }
    if (stretched) {
        stretched->setFlag(QGraphicsItem::ItemIsMovable, true);
        stretched = nullptr;
        map.viewport()->setCursor(Qt::SizeFDiagCursor);
    }
    if (!bendingPointDrag.isEmpty()) {
        endBendingPointDrag();
        if (!alive)
            return true;
    }
    itemPressed = false;

    const bool click = pressPending && std::abs(scenePos.x() - pressScenePosition.x())
                                               + std::abs(scenePos.y() - pressScenePosition.y()) < clickDistance;
    pressPending = false;
    if (click) {
        map.mouseClickEvent(event);
        if (!alive)
            return true;
    }
    pressScenePosition = QPointF();
    return true;
}

bool MapInteraction::releaseRightButton(const QPointF& scenePos, bool usableBand, const QRect& bandGeometry)
{
    ConnectionDrawing& drawing = DeviceMapParts(map).connectionDrawing();
    if (drawing.isDrawing()) {
        if (!drawing.endNode()) {
            // Released before the line existed: nothing is drawn, and no source stays behind.
            drawing.cancel();
        } else {
            // The line's free end follows the pointer, so the line lies under the release point
            // even where its hit shape, taken from its last paint, falls just short of it.
            QList<QGraphicsItem*> items = itemsAt(scenePos);
            if (items.isEmpty())
                items.append(drawing.rubberLine());
            QPointer<DeviceMapWidget> alive(&map);
            drawing.drawConnection(items);
            if (!alive)
                return false;
        }
    }
    if (usableBand)
        return offerClusterForBand(bandGeometry);
    return true;
}

bool MapInteraction::offerClusterForBand(const QRect& bandGeometry)
{
    if (std::abs(bandGeometry.width()) <= clusterBandMinimum || std::abs(bandGeometry.height()) <= clusterBandMinimum)
        return true;
    QPointer<DeviceMapWidget> alive(&map);
    QMenu menu;
    QAction* create = menu.addAction(DeviceMapWidget::tr("Create cluster..."));
    QAction* chosen = MapMenus::run(menu, QCursor::pos());
    if (!alive)
        return false;
    if (chosen != create)
        return true;
    // The cluster covers the band to its last pixel.
    const QPointF topLeft = map.mapToScene(bandGeometry.topLeft());
    const QPointF bottomRight =
        map.mapToScene(bandGeometry.topLeft() + QPoint(bandGeometry.width() - 1, bandGeometry.height() - 1));
    DeviceMapParts(map).clusters().createClusterOnRect(QRectF(topLeft, bottomRight));
    if (!alive)
        return false;
    map.scene()->clearSelection();
    return true;
}

void MapInteraction::endBendingPointDrag()
{
    DeviceConnectionItem* link = bendingPointDrag.firstKey();
    const QList<QPointF> before = bendsAtPress;
    const QList<QPointF> after = link->getBendingPoints();
    bendingPointDrag.clear();
    bendsAtPress.clear();
    if (before != after && link->getNodeFrom() && link->getNodeTo()) {
        map.pushOperation(new MoveBendingPointOperation(&map, link->getNodeTo()->devName(),
                                                        link->getNodeFrom()->devName(), before, after));
    }
    map.viewport()->setCursor(Qt::PointingHandCursor);
}

void MapInteraction::resetState()
{
    itemPressed = false;
    map.viewport()->setCursor(Qt::ArrowCursor);
    devicesAtPress.clear();
    clustersAtPress.clear();
    bendingPointDrag.clear();
    bendsAtPress.clear();
    if (stretched) {
        stretched->setFlag(QGraphicsItem::ItemIsMovable, true);
        stretched = nullptr;
    }
    pressScenePosition = QPointF();
    pressPending = false;
    band->hide();
}

// ---------------------------------------------------------------------------------------------
// Long press and pinch

void MapInteraction::longPressTimeout()
{
    QPointer<DeviceMapWidget> alive(&map);
    const QPoint point = map.mapFromScene(QPointF(pressScenePosition.toPoint()));
    // The press selected what it landed on; a right click leaves the selection as it was.
    if (auto item = dynamic_cast<HoverableItem*>(findItemAt(point))) {
        if (!item->getWasSelected())
            item->setSelected(false);
    }
    QMouseEvent rightClick(QEvent::MouseButtonRelease, point, Qt::RightButton, Qt::NoButton, Qt::NoModifier);
    map.mouseClickEvent(&rightClick);
    if (!alive)
        return;
    mouseRelease(nullptr);
    // The scene still grabs the mouse for the press.
    map.QGraphicsView::mouseReleaseEvent(&rightClick);
}

bool MapInteraction::gesture(QGestureEvent* event)
{
    mouseRelease(nullptr);
    if (auto pinch = static_cast<QPinchGesture*>(event->gesture(Qt::PinchGesture))) {
        const double factor = MapKeys::boundedFactor(map.transform().m11(), pinch->scaleFactor());
        map.scale(factor, factor);
        map.update();
    }
    return true;
}

// ---------------------------------------------------------------------------------------------
// Look-ups and clean-up

QGraphicsItem* MapInteraction::findItemAt(const QPoint& viewportPoint) const
{
    const QPolygonF square = map.mapToScene(QRect(viewportPoint, QSize(2, 2)));
    const QList<QGraphicsItem*> items = map.scene()->items(square, Qt::IntersectsItemShape, Qt::DescendingOrder);
    return items.isEmpty() ? nullptr : items.first();
}

QList<QGraphicsItem*> MapInteraction::itemsAt(const QPointF& scenePos) const
{
    return map.scene()->items(scenePos, Qt::IntersectsItemShape, Qt::DescendingOrder);
}

void MapInteraction::setMovedBendingPoint(DeviceConnectionItem* link, int index, const QList<QPointF>& bends)
{
    bendingPointDrag.clear();
    if (link)
        bendingPointDrag.insert(link, index);
    bendsAtPress = bends;
}

void MapInteraction::forget(HoverableItem* item)
{
    if (hovered == item)
        hovered = nullptr;
    if (stretched.data() == item)
        stretched = nullptr;
    if (auto node = dynamic_cast<DeviceNodeItem*>(item)) {
        if (currentTemporaryDevice == node)
            currentTemporaryDevice = nullptr;
        devicesAtPress.remove(node->devName());
    } else if (auto link = dynamic_cast<DeviceConnectionItem*>(item)) {
        bendingPointDrag.remove(link);
        if (bendingPointDrag.isEmpty())
            bendsAtPress.clear();
    } else if (auto cluster = dynamic_cast<ClusterRectItem*>(item)) {
        clustersAtPress.remove(cluster->getName());
    }
}
