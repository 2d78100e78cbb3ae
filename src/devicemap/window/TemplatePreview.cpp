#include "TemplatePreview.h"

#include "DeviceConnectionItem.h"
#include "DeviceNodeItem.h"

#include <QGraphicsScene>
#include <QHash>

namespace TemplatePreview {

int draw(QGraphicsScene* scene, const DevicesArrangement& arrangement)
{
    clear(scene);
    scene->setSceneRect(arrangement.boundingRect);

    QHash<QString, DeviceNodeItem*> devices;
    for (const DeviceInfo& info : arrangement.devices) {
        auto device = new DeviceNodeItem(info, QRectF());
        devices.insert(info.name, device);
        scene->addItem(device);
        device->setPos(arrangement.deviceRects.value(info.name).topLeft());
    }
    int skipped = 0;
    for (const ItemsConnection& connection : arrangement.connections) {
        DeviceNodeItem* from = devices.value(connection.from);
        DeviceNodeItem* to = devices.value(connection.to);
        if (!from || !to) {
            ++skipped;
            continue;
        }
        auto link = new DeviceConnectionItem(from, to, QList<QPointF>());
        if (!connection.bendingPoints.isEmpty())
            link->setBendingPoints(connection.bendingPoints);
        link->setZValue(0);
        scene->addItem(link);
        link->update();
    }
    return skipped;
}

void clear(QGraphicsScene* scene)
{
    // A link reads its devices until it goes.
    const QList<QGraphicsItem*> items = scene->items();
    for (QGraphicsItem* item : items) {
        if (dynamic_cast<DeviceConnectionItem*>(item)) {
            scene->removeItem(item);
            delete item;
        }
    }
    scene->clear();
}

} // namespace TemplatePreview
