#include "RemoveClusterOperation.h"

#include <QObject>

RemoveClusterOperation::RemoveClusterOperation(DeviceMapWidget* map, QString name, QRectF rect)
    : CreateClusterOperation(map, std::move(name), rect)
{
    setText(QObject::tr("Remove cluster ") + clusterName);
}

void RemoveClusterOperation::redo()
{
    changedMap = removeCluster();
}

void RemoveClusterOperation::undo()
{
    if (changedMap)
        makeCluster();
    changedMap = false;
}
