#include "MapInteraction.h"

#include "ClusterRectItem.h"
#include "DeviceConnectionItem.h"
#include "DeviceMapWidget.h"
#include "DeviceNodeItem.h"

#include <QRubberBand>

MapInteraction::MapInteraction(DeviceMapWidget& map)
    : QObject(nullptr)
    , map(map)
    , band(new QRubberBand(QRubberBand::Rectangle, &map))
{
    longClickTimer.setSingleShot(true);
    longClickTimer.setInterval(defaultLongPressMs);
    connect(&longClickTimer, SIGNAL(timeout()), &map, SLOT(longClickTimeout()));
}

MapInteraction::~MapInteraction() = default;

bool MapInteraction::mousePress(QMouseEvent* event)
{
    Q_UNUSED(event)
    return false;
}

bool MapInteraction::mouseMove(QMouseEvent* event)
{
    Q_UNUSED(event)
    return false;
}

bool MapInteraction::mouseRelease(QMouseEvent* event)
{
    Q_UNUSED(event)
    return false;
}

void MapInteraction::longPressTimeout() {}

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
