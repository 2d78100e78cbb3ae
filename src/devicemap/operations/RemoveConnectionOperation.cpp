#include "RemoveConnectionOperation.h"

#include "DeviceConnectionItem.h"
#include "DeviceManager.h"
#include "DeviceMapWidget.h"
#include "ReadonlyBracket.h"
#include "RunningCommands.h"

#include <QObject>

RemoveConnectionOperation::RemoveConnectionOperation(DeviceMapWidget* map, QString target, QString source,
                                                     QStringList signalList, QStringList slotList,
                                                     QList<QPointF> bendingPoints)
    : Operation(map)
    , target(std::move(target))
    , source(std::move(source))
    , signalList(std::move(signalList))
    , slotList(std::move(slotList))
    , bendingPoints(std::move(bendingPoints))
{
    setText(QObject::tr("Remove connection"));
}

void RemoveConnectionOperation::redo()
{
    takeConnectionsAway();
}

void RemoveConnectionOperation::undo()
{
    makeConnections();
}

void RemoveConnectionOperation::takeConnectionsAway()
{
    if (!map || !manager)
        return;
    const RunningCommands::Scope running(map);
    ReadonlyBracket bracket(manager, map);
    if (signalList.isEmpty()) {
        manager->removeDeviceConnection(source, target);
        return;
    }
    const int pairs = qMin(signalList.size(), slotList.size());
    for (int i = 0; i < pairs; ++i)
        manager->removeConnection(source, target, signalList.at(i), slotList.at(i));
}

void RemoveConnectionOperation::makeConnections()
{
    if (!map || !manager)
        return;
    const RunningCommands::Scope running(map);
    ReadonlyBracket bracket(manager, map);
    if (signalList.isEmpty()) {
        manager->addDeviceConnection(source, target, QString(), QString());
    } else {
        const int pairs = qMin(signalList.size(), slotList.size());
        for (int i = 0; i < pairs; ++i)
            manager->addConnection(source, target, signalList.at(i), slotList.at(i));
    }

    DeviceConnectionItem* link = waitForConnection(source, target, itemWaitMs);
    if (!map)
        return;
    if (!link) {
        logManagerNotResponding();
        return;
    }
    link->setBendingPoints(bendingPoints);
    if (map->getConnection(target, source) && bendingPoints.isEmpty())
        map->splitConnections(source, target);
    link->update(QRectF());
}
