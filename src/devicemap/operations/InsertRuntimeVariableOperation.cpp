#include "InsertRuntimeVariableOperation.h"

#include "DeviceConnectionItem.h"
#include "DeviceManager.h"
#include "DeviceMapParts.h"
#include "DeviceMapWidget.h"
#include "DeviceNodeItem.h"
#include "MapItemIndex.h"
#include "ReadonlyBracket.h"

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
    if (!map)
        return;
    ReadonlyBracket bracket(map->getDeviceManager(), map);
    if (!devicesMade && !recreateDevices()) {
        qWarning().noquote() << "InsertRuntimeVariableOperation::redo() | WARNING the manager did not make the "
                                "devices of the runtime variable |"
                             << variable;
        return;
    }
    placeDevices();
    if (!map)
        return;
    relink();
}

void InsertRuntimeVariableOperation::undo()
{
    if (!map || !devicesMade)
        return;
    DeviceManager* manager = map->getDeviceManager();
    ReadonlyBracket bracket(manager, map);
    // Their links to the link's two ends go with them.
    manager->removeDevice(setName);
    manager->removeDevice(getName);
    devicesMade = false;
    restoreLink();
}

bool InsertRuntimeVariableOperation::recreateDevices()
{
    DeviceManager* manager = map->getDeviceManager();
    QString madeSet;
    QString madeGet;
    if (!createDevices(manager, variable, &madeSet, &madeGet))
        return false;
    // Later steps of the undo stack know the devices by their first names.
    const MapItemIndex& items = DeviceMapParts(map).itemIndex();
    if (madeSet != setName && !items.hasDevice(setName) && manager->renameDevice(madeSet, setName))
        madeSet = setName;
    if (madeGet != getName && !items.hasDevice(getName) && manager->renameDevice(madeGet, getName))
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
    DeviceManager* manager = map->getDeviceManager();
    manager->removeDeviceConnection(link.source, link.target);
    manager->addDeviceConnection(link.source, setName, QString(), QString());
    manager->addDeviceConnection(getName, link.target, QString(), QString());
    manager->initialiseDevice(setName);
    manager->initialiseDevice(getName);
}

void InsertRuntimeVariableOperation::restoreLink()
{
    DeviceManager* manager = map->getDeviceManager();
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
