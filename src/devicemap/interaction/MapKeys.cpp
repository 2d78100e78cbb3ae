#include "MapKeys.h"

#include "ConnectionDrawing.h"
#include "CreateDeviceOperation.h"
#include "DeviceMapParts.h"
#include "DeviceMapWidget.h"
#include "DeviceNodeItem.h"
#include "MapClicks.h"
#include "MapClipboard.h"
#include "MapClusters.h"
#include "MapCommands.h"
#include "MapInteraction.h"
#include "MapItemIndex.h"
#include "MapMenus.h"
#include "RuntimeVariables.h"
#include "UnplacedZone.h"

#include <QCursor>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPointer>
#include <QWheelEvent>

#include <algorithm>

namespace {

// The zone's device is centred this far from the viewport's right and bottom edges.
constexpr double zoneInset = 100.0;

} // namespace

MapKeys::MapKeys(DeviceMapWidget& map)
    : map(map)
{
}

// ---------------------------------------------------------------------------------------------
// Keys

bool MapKeys::controlOnly(const QKeyEvent* event) const
{
    return event->modifiers() == Qt::ControlModifier;
}

bool MapKeys::keyPress(QKeyEvent* event)
{
    // The plain R key, wherever the cursor is: nothing else sees it.
    if (event->text() == QLatin1String("r")) {
        RuntimeVariables(map).insertIntoLinkUnderCursor();
        return true;
    }
    if (event->matches(QKeySequence::Copy)) {
        DeviceMapParts(map).clipboard().copy();
        return true;
    }
    if (event->matches(QKeySequence::Paste)) {
        DeviceMapParts(map).clipboard().paste(QPoint());
        return true;
    }
    const int key = event->key();
    if (key == Qt::Key_Delete) {
        DeviceMapParts(map).commands().deleteSelectionOrItemUnderCursor();
    } else if (key == Qt::Key_Q && controlOnly(event)) {
        map.window()->close();
    } else if (key == Qt::Key_K && controlOnly(event)) {
        DeviceMapParts(map).clusters().createClusterFromSelection();
    } else if (key == Qt::Key_A && controlOnly(event)) {
        selectAllDevices();
    } else if (key == Qt::Key_T && controlOnly(event)) {
        toggleUnplacedZone();
    } else if (key == Qt::Key_Escape && DeviceMapParts(map).connectionDrawing().isDrawing()) {
        DeviceMapParts(map).connectionDrawing().cancel();
    } else if (key == Qt::Key_H) {
        map.switchLegend();
    } else if (key == Qt::Key_N && controlOnly(event)) {
        newDeviceAtCursor();
    } else if (key == Qt::Key_Menu) {
        contextMenuAtCursor();
    } else {
        return false;
    }
    return true;
}

void MapKeys::selectAllDevices()
{
    const QMap<QString, DeviceNodeItem*>& devices = DeviceMapParts(map).itemIndex().devices();
    for (DeviceNodeItem* device : devices)
        device->setSelected(true);
}

void MapKeys::toggleUnplacedZone()
{
    UnplacedZone& zone = DeviceMapParts(map).unplacedZone();
    zone.setVisible(!zone.isVisible());
    releaseTemporaryDevice();
    map.viewport()->update();
}

void MapKeys::releaseTemporaryDevice()
{
    MapInteraction& pointer = DeviceMapParts(map).interaction();
    DeviceNodeItem* shown = pointer.temporaryDevice();
    if (!shown)
        return;
    shown->setHovered(false);
    shown->unplaceDevice();
    pointer.setTemporaryDevice(nullptr);
}

// A cursor outside the viewport opens the menu at the nearest point inside, and the device
// lands there too.
void MapKeys::newDeviceAtCursor()
{
    QWidget* viewport = map.viewport();
    QPoint point = viewport->mapFromGlobal(QCursor::pos());
    if (!viewport->rect().contains(point))
        point = QPoint(qBound(0, point.x(), viewport->width() - 1), qBound(0, point.y(), viewport->height() - 1));
    const QPointF place = map.mapToScene(point);

    // The menu's search field creates its one match at the press position: here, the cursor's.
    MapInteraction& pointer = DeviceMapParts(map).interaction();
    const QPointF pressBefore = pointer.pressScenePos();
    pointer.setPressScenePos(place);
    QPointer<DeviceMapWidget> alive(&map);
    QAction* chosen = MapMenus::run(*DeviceMapParts(map).menus().newDeviceMenu(), viewport->mapToGlobal(point));
    if (!alive)
        return;
    pointer.setPressScenePos(pressBefore);
    if (chosen && !chosen->objectName().isEmpty())
        map.pushOperation(new CreateDeviceOperation(&map, chosen->objectName(), place));
}

// The keyboard's menu key: the menu a right click at the cursor would open, so that every menu
// of the map can be reached from the keyboard too.
void MapKeys::contextMenuAtCursor()
{
    QWidget* viewport = map.viewport();
    QPoint point = viewport->mapFromGlobal(QCursor::pos());
    point = QPoint(qBound(0, point.x(), viewport->width() - 1), qBound(0, point.y(), viewport->height() - 1));
    MapInteraction& pointer = DeviceMapParts(map).interaction();
    const QPointF pressBefore = pointer.pressScenePos();
    pointer.setPressScenePos(map.mapToScene(point));
    QPointer<DeviceMapWidget> alive(&map);
    QMouseEvent rightClick(QEvent::MouseButtonRelease, point, Qt::RightButton, Qt::NoButton, Qt::NoModifier);
    DeviceMapParts(map).clicks().click(&rightClick);
    if (alive)
        pointer.setPressScenePos(pressBefore);
}

// ---------------------------------------------------------------------------------------------
// Wheel

bool MapKeys::wheel(QWheelEvent* event)
{
    const QPoint point = event->position().toPoint();
    const QPoint angle = event->angleDelta();
    const int delta = angle.y() != 0 ? angle.y() : angle.x();
    UnplacedZone& zone = DeviceMapParts(map).unplacedZone();
    if (zone.isVisible() && zone.unplacedZoneRect().contains(QPointF(point))) {
        rotateUnplaced(delta);
        return true;
    }
    if (DeviceMapParts(map).interaction().temporaryDevice()) {
        stepThroughGroup(delta, point);
        return true;
    }
    if (!(event->modifiers() & Qt::ControlModifier))
        return false;
    applyScale(delta > 0 ? zoomInFactor : zoomOutFactor, point);
    return true;
}

QStringList MapKeys::groupOf(const QString& name) const
{
    QMap<QString, bool> marks;
    map.getConnectedDevices(name, marks);
    const QStringList group = marks.keys();
    return group.isEmpty() ? QStringList{name} : group;
}

QStringList MapKeys::rotatedUnplaced(QStringList names, const QStringList& group, bool forward)
{
    for (const QString& name : group) {
        names.removeAll(name);
        if (forward)
            names.append(name);
        else
            names.prepend(name);
    }
    return names;
}

void MapKeys::rotateUnplaced(int delta)
{
    // Only this map's names: the shared list also holds the unplaced devices of other maps.
    const QStringList shown = DeviceMapParts(map).unplacedZone().unplacedDevices();
    if (delta == 0 || shown.isEmpty())
        return;
    const bool forward = delta > 0;
    const QStringList group = groupOf(forward ? shown.first() : shown.last());
    DeviceNodeItem::setUnplacedDevices(rotatedUnplaced(DeviceNodeItem::getUnplacedDevices(), group, forward));
    map.viewport()->update();
}

void MapKeys::stepThroughGroup(int delta, const QPoint& viewportPoint)
{
    MapInteraction& pointer = DeviceMapParts(map).interaction();
    DeviceNodeItem* shown = pointer.temporaryDevice();
    // Drawn at unzoomed size: its scene rectangle is what the pointer sees.
    if (!shown->sceneBoundingRect().contains(map.mapToScene(viewportPoint)))
        return;
    const QString name = DeviceMapParts(map).itemIndex().nameOf(shown);
    const QStringList group = groupOf(name);
    const int count = int(group.size());
    const int at = int(group.indexOf(name));
    if (count < 2 || at < 0 || delta == 0)
        return;
    const QString chosen = group.at(delta > 0 ? (at + 1) % count : (at + count - 1) % count);
    DeviceNodeItem* next = DeviceMapParts(map).itemIndex().device(chosen);
    if (!next)
        return;

    shown->setHovered(false);
    shown->unplaceDevice();
    pointer.setTemporaryDevice(nullptr);
    QStringList unplaced = DeviceNodeItem::getUnplacedDevices();
    unplaced.removeAll(chosen);
    unplaced.prepend(chosen);
    DeviceNodeItem::setUnplacedDevices(unplaced);

    pointer.setTemporaryDevice(next);
    const QTransform view = map.transform();
    next->setTransform(QTransform::fromScale(1.0 / view.m11(), 1.0 / view.m22()));
    const QSizeF size = next->boundingRect().size();
    const QWidget* viewport = map.viewport();
    next->placeDevice(map.mapToScene(QPoint(int(viewport->width() - zoneInset - size.width() / 2),
                                            int(viewport->height() - zoneInset - size.height() / 2))));
    next->setHovered(true);
    map.viewport()->update();
}

// ---------------------------------------------------------------------------------------------
// Zoom

double MapKeys::currentScale() const
{
    return map.transform().m11();
}

double MapKeys::boundedFactor(double currentScale, double factor)
{
    if (currentScale <= 0.0)
        return factor;
    const double target = currentScale * factor;
    if (target < minimumScale)
        return minimumScale / currentScale;
    if (target > maximumScale)
        return maximumScale / currentScale;
    return factor;
}

void MapKeys::applyScale(double factor, const QPoint& viewportPoint)
{
    const double bounded = boundedFactor(currentScale(), factor);
    const QPointF anchor = map.mapToScene(viewportPoint);
    map.scale(bounded, bounded);
    map.centerOn(anchor);
    // centerOn() put the anchor in the middle; shift by the cursor's offset from the middle.
    const QWidget* viewport = map.viewport();
    const QPointF offset = QPointF(viewportPoint) - QPointF(viewport->width() * 0.5, viewport->height() * 0.5);
    const QPoint centre = (QPointF(map.mapFromScene(anchor)) - offset).toPoint();
    map.centerOn(map.mapToScene(centre));
    map.update();
}

void MapKeys::scaleAboutAnchor(double factor)
{
    const double bounded = boundedFactor(currentScale(), factor);
    map.scale(bounded, bounded);
    map.resizeSceneRectToViewRect();
}

void MapKeys::resetScale()
{
    const QTransform view = map.transform();
    const double back = 1.0 / ((view.m11() + view.m22()) * 0.5);
    map.scale(back, back);
    map.resizeSceneRectToViewRect();
}
