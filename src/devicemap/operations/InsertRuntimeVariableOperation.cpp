#include "InsertRuntimeVariableOperation.h"

#include "DeviceConnectionItem.h"
#include "DeviceManager.h"
#include "DeviceMapParts.h"
#include "DeviceMapWidget.h"
#include "DeviceNodeItem.h"
#include "MapItemIndex.h"
#include "ReadonlyBracket.h"
#include "RunningCommands.h"

#include <QObject>
#include <QtDebug>

InsertRuntimeVariableOperation::InsertRuntimeVariableOperation(DeviceMapWidget* map, QString variable,
                                                               QString setDevice, QString getDevice, Link link,
                                                               QPointF position)
    : Operation(map)
    , variable(std::move(variable))
    , setName(std::move(setDevice))
    , getName(std::move(getDevice))
    , link(std::move(link))
    , position(position)
{
    setText(QObject::tr("Create runtime variable ") + this->variable);
}

bool InsertRuntimeVariableOperation::createDevices(DeviceManager* manager, const QString& variable,
                                                   QString* setDevice, QString* getDevice)
{
    QString setText = QStringLiteral("runtime_variable(%1,SET)").arg(variable);
    QString getText = QStringLiteral("runtime_variable(%1,GET)").arg(variable);
    // Each call rewrites its text to the name of the device it made.
    const bool setMade = manager->shortParse(setText);
    const bool getMade = manager->shortParse(getText);
    if (setMade && getMade) {
        *setDevice = setText;
        *getDevice = getText;
        return true;
    }
    if (setMade)
        manager->removeDevice(setText);
    if (getMade)
        manager->removeDevice(getText);
    return false;
}

void InsertRuntimeVariableOperation::redo()
{
    if (!map || !manager)
        return;
    const RunningCommands::Scope running(map);
    ReadonlyBracket bracket(manager, map);
    if (!devicesMade && !recreateDevices()) {
        qWarning().noquote() << "InsertRuntimeVariableOperation::redo() | WARNING the manager did not make the "
                                "devices of the runtime variable |"
                             << variable;
        return;
    }
    // Should a host delete the map meanwhile, the link is still replaced.
    if (map)
        placeDevices();
    relink();
}

void InsertRuntimeVariableOperation::undo()
{
    if (!map || !manager || !devicesMade)
        return;
    const RunningCommands::Scope running(map);
    ReadonlyBracket bracket(manager, map);
    // Their links to the link's two ends go with them.
    manager->removeDevice(setName);
    manager->removeDevice(getName);
    devicesMade = false;
    restoreLink();
}

bool InsertRuntimeVariableOperation::recreateDevices()
{
    QString madeSet;
    QString madeGet;
    if (!createDevices(manager, variable, &madeSet, &madeGet))
        return false;
    // Later steps of the undo stack know the devices by their first names. A map deleted on the
    // manager's report of a device leaves the manager alone to decide.
    auto shown = [this](const QString& name) { return map && DeviceMapParts(map).itemIndex().hasDevice(name); };
    if (madeSet != setName && !shown(setName) && manager->renameDevice(madeSet, setName))
        madeSet = setName;
    if (madeGet != getName && !shown(getName) && manager->renameDevice(madeGet, getName))
        madeGet = getName;
    setName = madeSet;
    getName = madeGet;
    devicesMade = true;
    return true;
}

void InsertRuntimeVariableOperation::placeDevices()
{
    for (const QString& name : {setName, getName}) {
        DeviceNodeItem* item = waitForDevice(name, itemWaitMs);
        if (!map)
            return;
        if (!item) {
            logManagerNotResponding();
            continue;
        }
        item->placeDevice(position);
    }
}

void InsertRuntimeVariableOperation::relink()
{
    manager->removeDeviceConnection(link.source, link.target);
    manager->addDeviceConnection(link.source, setName, QString(), QString());
    manager->addDeviceConnection(getName, link.target, QString(), QString());
    manager->initialiseDevice(setName);
    manager->initialiseDevice(getName);
}

void InsertRuntimeVariableOperation::restoreLink()
{
    if (link.signalList.isEmpty()) {
        manager->addDeviceConnection(link.source, link.target, QString(), QString());
    } else {
        const int pairs = qMin(link.signalList.size(), link.slotList.size());
        for (int i = 0; i < pairs; ++i)
            manager->addConnection(link.source, link.target, link.signalList.at(i), link.slotList.at(i));
    }
    DeviceConnectionItem* item = waitForConnection(link.source, link.target, itemWaitMs);
    if (!map)
        return;
    if (!item) {
        logManagerNotResponding();
        return;
    }
    item->setBendingPoints(link.bendingPoints);
    if (map->getConnection(link.target, link.source) && link.bendingPoints.isEmpty())
        map->splitConnections(link.source, link.target);
    item->update(QRectF());
}
