#include "CreateConnectionOperation.h"

#include <QObject>

CreateConnectionOperation::CreateConnectionOperation(DeviceMapWidget* map, QString target, QString source,
                                                     QStringList signalList, QStringList slotList)
    : RemoveConnectionOperation(map, std::move(target), std::move(source), std::move(signalList),
                                std::move(slotList), QList<QPointF>())
{
    setText(QObject::tr("Create connection"));
}

void CreateConnectionOperation::redo()
{
    makeConnections();
}

void CreateConnectionOperation::undo()
{
    takeConnectionsAway();
}
