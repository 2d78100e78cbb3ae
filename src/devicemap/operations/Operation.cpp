#include "Operation.h"

#include "DeviceManager.h"
#include "DeviceMapWidget.h"
#include "RunningCommands.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QPointer>
#include <QtDebug>

Operation::Operation(DeviceMapWidget* map)
    : QUndoCommand(nullptr)
    , map(map)
    , manager(map ? map->getDeviceManager() : nullptr)
{
}

DeviceNodeItem* Operation::waitForDevice(const QString& name, int timeoutMs)
{
    if (!map)
        return nullptr;
    DeviceNodeItem* item = map->getDeviceItems().value(name);
    if (item || timeoutMs <= 0)
        return item;
    spinUntil(
        [&]() {
            item = map->getDeviceItems().value(name);
            return item != nullptr;
        },
        timeoutMs);
    return map ? item : nullptr;
}

DeviceConnectionItem* Operation::waitForConnection(const QString& source, const QString& target, int timeoutMs)
{
    if (!map)
        return nullptr;
    DeviceConnectionItem* link = map->getConnection(source, target);
    if (link || timeoutMs <= 0)
        return link;
    spinUntil(
        [&]() {
            link = map->getConnection(source, target);
            return link != nullptr;
        },
        timeoutMs);
    return map ? link : nullptr;
}

// User input stays queued during the wait, and the map counts it so that its own handlers
// refuse to push a second operation in the middle of this one's redo() or undo(). Whatever
// runs the operation, the wait is a running command: the map is not deleted under it.
bool Operation::spinUntil(const std::function<bool()>& found, int timeoutMs)
{
    QPointer<DeviceMapWidget> guard(map.data());
    const RunningCommands::Scope running(map);
    QElapsedTimer timer;
    timer.start();
    map->beginWaitForManager();
    bool done = false;
    while (!done && timer.elapsed() < timeoutMs) {
        QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
        if (!guard)
            return false;
        done = found();
    }
    map->endWaitForManager();
    return true;
}

void Operation::logManagerNotResponding()
{
    qCritical().noquote() << "Network DM not responding!";
}
