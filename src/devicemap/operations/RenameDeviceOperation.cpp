#include "RenameDeviceOperation.h"

#include "DeviceManager.h"
#include "DeviceMapWidget.h"
#include "ReadonlyBracket.h"
#include "RunningCommands.h"

#include <QObject>

RenameDeviceOperation::RenameDeviceOperation(DeviceMapWidget* map, QString oldName, QString newName)
    : Operation(map)
    , oldName(std::move(oldName))
    , newName(std::move(newName))
{
    setText(QObject::tr("Rename device"));
}

void RenameDeviceOperation::redo()
{
    renamedTo.clear();
    if (!map || !manager)
        return;
    const RunningCommands::Scope running(map);
    ReadonlyBracket bracket(manager, map);
    if (manager->renameDevice(oldName, newName))
        renamedTo = nameAfterRename(newName, oldName);
}

void RenameDeviceOperation::undo()
{
    if (!map || !manager || renamedTo.isEmpty())
        return;
    const RunningCommands::Scope running(map);
    ReadonlyBracket bracket(manager, map);
    manager->renameDevice(renamedTo, oldName);
    renamedTo.clear();
}

bool RenameDeviceOperation::renamed() const
{
    return !renamedTo.isEmpty();
}

// A device of a networked manager keeps its "@manager" suffix whatever name it is given.
QString RenameDeviceOperation::nameAfterRename(const QString& requested, const QString& former) const
{
    const QString stored = manager->getDeviceInfo(requested).name;
    if (!stored.isEmpty())
        return stored;
    if (former.contains(QLatin1Char('@'))) {
        const QString suffixed = manager->getDeviceInfo(requested + QLatin1Char('@') + former.section(QLatin1Char('@'), 1)).name;
        if (!suffixed.isEmpty())
            return suffixed;
    }
    return requested;
}
