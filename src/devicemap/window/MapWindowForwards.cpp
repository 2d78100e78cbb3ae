#include "MapWindowForwards.h"

#include "DeviceManager.h"
#include "DeviceNodeItem.h"
#include "ExportMetaDeviceWizard.h"

#include <QtDebug>

bool MapWindowForwards::rearrangeGraph(DeviceMapWidget* map, DeviceMapWidget::LayoutType type, bool confirm)
{
    if (!map)
        return false;
    map->rearrangeGraph(type, confirm);
    return true;
}

QWidget* MapWindowForwards::exportMetaDevice(DeviceMapWidget* map, const QList<QGraphicsItem*>& items)
{
    if (!map || items.isEmpty())
        return nullptr;
    DeviceManager* manager = map->getDeviceManager();
    QList<DeviceInfo> infos;
    for (QGraphicsItem* item : items) {
        if (auto device = dynamic_cast<DeviceNodeItem*>(item))
            infos.append(manager->getDeviceInfo(device->devName()));
    }
    auto wizard = new ExportMetaDeviceWizard(items, infos, manager, map);
    wizard->setModal(true);
    wizard->show();
    return wizard;
}
