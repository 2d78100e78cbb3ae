#include "RuntimeVariables.h"

#include "DeviceConnectionItem.h"
#include "DeviceManager.h"
#include "DeviceMapParts.h"
#include "DeviceMapWidget.h"
#include "DeviceNodeItem.h"
#include "InsertRuntimeVariableOperation.h"
#include "MapItemIndex.h"
#include "ModalRunner.h"
#include "ReadonlyBracket.h"
#include "RunningCommands.h"
#include "ZenticMessageBox.h"

#include <QCursor>
#include <QPointer>
#include <QtDebug>

namespace {

const QString runtimeVariableType = QStringLiteral("runtime_variable");
// The parameter in which the manager keeps a runtime variable's name.
const QString variableNameKey = QStringLiteral("name");

} // namespace

RuntimeVariables::RuntimeVariables(DeviceMapWidget& map)
    : map(map)
{
}

bool RuntimeVariables::isWellFormedName(const QString& name)
{
    if (name.isEmpty())
        return false;
    for (const QChar character : name) {
        if (!character.isLetter() && !character.isDigit() && character != QLatin1Char('_'))
            return false;
    }
    return true;
}

bool RuntimeVariables::isUsedName(const QString& name) const
{
    DeviceManager* manager = map.getDeviceManager();
    const QStringList devices = manager->getDeviceNames();
    for (const QString& device : devices) {
        const DeviceInfo info = manager->getDeviceInfo(device);
        if (info.type == runtimeVariableType && info.paramValues.value(variableNameKey) == name)
            return true;
    }
    return false;
}

void RuntimeVariables::insertIntoLinkUnderCursor()
{
    const QPoint point = map.viewport()->mapFromGlobal(QCursor::pos());
    auto link = dynamic_cast<DeviceConnectionItem*>(map.findItemAt(point));
    if (link && DeviceMapParts(map).itemIndex().hasLink(link))
        insertIntoLink(link, map.mapToScene(point));
}

void RuntimeVariables::insertIntoLink(DeviceConnectionItem* link, const QPointF& scenePos)
{
    // No name asked for a variable that would be refused.
    if (!RunningCommands::mayBegin(&map, "RuntimeVariables::insertIntoLink()"))
        return;
    QPointer<DeviceMapWidget> alive(&map);
    QPointer<DeviceConnectionItem> subject(link);
    bool ok = false;
    const QString name = ModalRunner::getText(&map, DeviceMapWidget::tr("Create runtime variable"),
                                              DeviceMapWidget::tr("Variable name"), QString(), &ok);
    if (!alive || !ok || name.isEmpty())
        return;
    if (!isWellFormedName(name)) {
        ZenticMessageBox::warning(&map, DeviceMapWidget::tr("Invalid variable name"),
                                  DeviceMapWidget::tr("A variable name holds letters, digits and \"_\" only."));
        return;
    }
    if (isUsedName(name)) {
        ZenticMessageBox::warning(&map, DeviceMapWidget::tr("Variable name in use"),
                                  DeviceMapWidget::tr("A runtime variable named \"%0\" exists already.").arg(name));
        return;
    }
    // The link may have gone while the name was typed.
    const MapItemIndex& index = DeviceMapParts(map).itemIndex();
    if (!subject || !index.hasLink(subject))
        return;
    InsertRuntimeVariableOperation::Link replaced;
    replaced.source = index.nameOf(subject->getNodeFrom());
    replaced.target = index.nameOf(subject->getNodeTo());
    if (replaced.source.isEmpty() || replaced.target.isEmpty())
        return;
    replaced.signalList = map.getConnectionSignals(replaced.target, replaced.source);
    replaced.slotList = map.getConnectionSlots(replaced.target, replaced.source);
    replaced.bendingPoints = subject->getBendingPoints();

    DeviceManager* manager = map.getDeviceManager();
    // The devices are made before the operation that takes them in is pushed: one command,
    // begun before anything is made, so that its push is not refused once they exist.
    const RunningCommands::Entry command(&map, "RuntimeVariables::insertIntoLink()", name);
    if (!command.hasBegun())
        return;
    ReadonlyBracket bracket(manager, &map);
    QString setDevice;
    QString getDevice;
    if (!InsertRuntimeVariableOperation::createDevices(manager, name, &setDevice, &getDevice)) {
        bracket.close();
        qWarning().noquote() << "RuntimeVariables::insertIntoLink() | WARNING the manager did not make the devices "
                                "of the runtime variable |"
                             << name;
        if (!alive)
            return;
        ZenticMessageBox::warning(&map, DeviceMapWidget::tr("Runtime variable not created"),
                                  DeviceMapWidget::tr("The devices of the variable \"%0\" could not be created. The "
                                                      "connection is left as it was.")
                                      .arg(name));
        return;
    }
    bool pushed = false;
    if (alive) {
        auto operation = new InsertRuntimeVariableOperation(&map, name, setDevice, getDevice, replaced, scenePos);
        RunningCommands::OwnStep own(&map);
        pushed = map.pushOperation(operation);
    }
    // A map a host deleted outright on the manager's report of a device takes no operation.
    if (!pushed) {
        manager->removeDevice(setDevice);
        manager->removeDevice(getDevice);
    }
}
