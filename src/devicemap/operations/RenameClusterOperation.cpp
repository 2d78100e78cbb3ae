#include "RenameClusterOperation.h"

#include "ClusterRectItem.h"
#include "DeviceMapWidget.h"

#include <QObject>

RenameClusterOperation::RenameClusterOperation(DeviceMapWidget* map, QString oldName, QString newName)
    : Operation(map)
    , oldName(std::move(oldName))
    , newName(std::move(newName))
{
    setText(QObject::tr("Rename cluster"));
}

void RenameClusterOperation::redo()
{
    renamed = rename(oldName, newName);
}

void RenameClusterOperation::undo()
{
    if (renamed)
        rename(newName, oldName);
    renamed = false;
}

bool RenameClusterOperation::rename(const QString& from, const QString& to)
{
    if (!map || from == to || to.trimmed().isEmpty())
        return false;
    QMap<QString, ClusterRectItem*>& clusters = map->getClusterItems();
    if (!clusters.value(from) || clusters.contains(to))
        return false;
    ClusterRectItem* item = clusters.take(from);
    clusters.insert(to, item);
    item->setName(to);
    return true;
}
