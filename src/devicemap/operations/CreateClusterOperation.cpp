#include "CreateClusterOperation.h"

#include "DeviceMapWidget.h"

#include <QObject>

CreateClusterOperation::CreateClusterOperation(DeviceMapWidget* map, QString name, QRectF rect)
    : Operation(map)
    , clusterName(std::move(name))
    , clusterRect(rect)
{
    setText(QObject::tr("Create cluster ") + clusterName);
}

void CreateClusterOperation::redo()
{
    changedMap = makeCluster();
}

void CreateClusterOperation::undo()
{
    if (changedMap)
        removeCluster();
    changedMap = false;
}

bool CreateClusterOperation::makeCluster()
{
    // Replacing a cluster of the same name would lose it for good: its undo removes the new one.
    if (!map || map->getClusterItems().contains(clusterName))
        return false;
    map->createCluster(clusterName, clusterRect);
    return true;
}

bool CreateClusterOperation::removeCluster()
{
    if (!map)
        return false;
    map->setHoveredItem(nullptr);
    const bool removed = map->removeCluster(clusterName);
    map->update();
    map->viewport()->update();
    return removed;
}
