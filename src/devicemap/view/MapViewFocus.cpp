#include "MapViewFocus.h"

#include "DeviceMapParts.h"
#include "DeviceMapWidget.h"
#include "DeviceNodeItem.h"
#include "MapItemIndex.h"

#include <QGraphicsItem>
#include <QLineF>
#include <QScrollBar>

#include <limits>

namespace {

/// How far from the view's edge, in pixels, the drawing's start is shown.
constexpr int startMargin = 20;

bool isShownDevice(const DeviceNodeItem* item)
{
    return item && item->isVisible() && !item->isUnplaced();
}

QRectF visibleSceneRect(const DeviceMapWidget& map)
{
    return map.mapToScene(map.viewport()->rect()).boundingRect();
}

} // namespace

MapViewFocus::MapViewFocus(DeviceMapWidget& map)
    : map(&map)
{
    const QRectF visible = visibleSceneRect(map);
    const QPointF centre = visible.center();
    view = {centre, QPoint(map.horizontalScrollBar()->value(), map.verticalScrollBar()->value()), map.size(),
            map.transform()};
    double nearest = std::numeric_limits<double>::max();
    // The scene's index finds what lies in view without a walk over every device.
    const QList<QGraphicsItem*> inView = map.scene()->items(visible, Qt::IntersectsItemBoundingRect);
    const MapItemIndex& items = DeviceMapParts(map).itemIndex();
    for (QGraphicsItem* graphicsItem : inView) {
        const auto* device = dynamic_cast<const DeviceNodeItem*>(graphicsItem);
        if (!isShownDevice(device) || items.device(device->devName()) != device)
            continue;
        const double distance = QLineF(device->sceneBoundingRect().center(), centre).length();
        if (distance < nearest) {
            nearest = distance;
            focused = device->devName();
        }
    }
}

void MapViewFocus::follow()
{
    if (!map)
        return;
    const DeviceNodeItem* device = focused.isEmpty() ? nullptr : DeviceMapParts(*map).itemIndex().device(focused);
    if (isShownDevice(device)) {
        if (!isInView(device))
            map->centerOn(device->sceneBoundingRect().center());
        return;
    }
    // Devices that happen to come into an empty view are no better a start than any other.
    if (const DeviceNodeItem* start = drawingStart())
        showAtTopLeft(start);
}

void MapViewFocus::returnTo(const View& shown)
{
    if (!map)
        return;
    if (map->size() != shown.size || map->transform() != shown.transform) {
        map->centerOn(shown.centre);
        return;
    }
    // Centring would be off by half a scroll bar: the view shows or hides its bars for the scene
    // rectangle set back only once the event loop runs, and until then centerOn() measures the
    // viewport of the scene it leaves, while the scroll ranges already allow for the bars to come.
    map->horizontalScrollBar()->setValue(shown.scrolled.x());
    map->verticalScrollBar()->setValue(shown.scrolled.y());
}

bool MapViewFocus::isInView(const DeviceNodeItem* item) const
{
    return visibleSceneRect(*map).intersects(item->sceneBoundingRect());
}

DeviceNodeItem* MapViewFocus::drawingStart() const
{
    const QMap<QString, DeviceNodeItem*>& devices = DeviceMapParts(*map).itemIndex().devices();
    QRectF drawing;
    for (const DeviceNodeItem* device : devices) {
        if (isShownDevice(device))
            drawing |= device->sceneBoundingRect();
    }
    DeviceNodeItem* start = nullptr;
    double nearest = std::numeric_limits<double>::max();
    // In name order, so that of devices as near as each other the same one is shown every time.
    for (DeviceNodeItem* device : devices) {
        if (!isShownDevice(device))
            continue;
        const double distance = (device->sceneBoundingRect().topLeft() - drawing.topLeft()).manhattanLength();
        if (distance < nearest) {
            nearest = distance;
            start = device;
        }
    }
    return start;
}

void MapViewFocus::showAtTopLeft(const DeviceNodeItem* item)
{
    // The view's size in scene units at the user's scale; the view keeps within its scene
    // rectangle, which holds the device, so the device stays in view wherever it lies.
    const QRectF visible = visibleSceneRect(*map);
    const double margin = startMargin / std::max(map->transform().m11(), 1e-9);
    const QPointF corner = item->sceneBoundingRect().topLeft() - QPointF(margin, margin);
    map->centerOn(corner + QPointF(visible.width() / 2, visible.height() / 2));
}
