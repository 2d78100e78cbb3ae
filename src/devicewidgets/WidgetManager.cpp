#include "WidgetManager.h"

#include "BaseGuiDevice.h"
#include "BaseWidget.h"
#include "DeviceConfigWidget.h"
#include "DeviceManager.h"
#include "DeviceWidgetArea.h"
#include "IniSerialiser.h"
#include "SharedConstants.h"

#include <QCursor>
#include <QDebug>

void WidgetManager::registerGuiDevices(DeviceManager& manager)
{
    Q_UNUSED(manager)
    WidgetPosition::registerMetaType();
}

WidgetManager::WidgetManager(const QString& areaName, const QString& layoutFile)
    : layoutFile(layoutFile)
    , areaName(areaName)
{
}

WidgetManager::~WidgetManager()
{
    // The guarded teardown: a widget whose device never came up has nothing to
    // undo, and none is torn down twice.
    for (const QPointer<BaseWidget>& widget : qAsConst(widgets)) {
        if (!widget)
            continue;
        widget->_deinitialise();
        widget->deleteLater();
    }
}

void WidgetManager::loadOwnWidgets(DeviceManager* manager)
{
    if (deviceManager)
        disconnect(deviceManager, nullptr, this, nullptr);
    deviceManager = manager;
    if (!manager)
        return;
    connect(manager, SIGNAL(deviceInitialised(QString,bool)), this, SLOT(deviceInitialised(QString,bool)));
    connect(manager, SIGNAL(deviceRemoved(QString)), this, SLOT(deviceRemoved(QString)));

    const QStringList names = manager->getDeviceNames();
    for (const QString& name : names) {
        auto device = dynamic_cast<BaseGuiDevice*>(manager->getDevice(name));
        if (!device || device->getArea() != areaName)
            continue;
        if (findWidget(device->objectName()))
            continue;
        createDeviceWidget(device);
    }
}

DeviceWidgetArea* WidgetManager::getWidgetsArea()
{
    if (widgetsArea)
        return widgetsArea;

    widgetsArea = new DeviceWidgetArea(widgets.values(), getWidgetTypes(), nullptr);
    connect(widgetsArea, SIGNAL(newWidgetRequested(QString,int,int)), this,
            SLOT(newWidgetRequested(QString,int,int)));
    connect(widgetsArea, SIGNAL(removeWidgetRequested(QString)), this, SLOT(removeWidgetRequested(QString)));
    connect(widgetsArea, SIGNAL(widgetSettingsRequested(QString)), this, SLOT(widgetSettingsRequested(QString)));
    connect(widgetsArea, SIGNAL(placesChanged()), this, SLOT(dashboardEdited()));
    connect(widgetsArea, SIGNAL(editingEnabledChanged(bool)), this, SLOT(editingSwitched(bool)));
    return widgetsArea;
}

void WidgetManager::initialiseWidgets()
{
    Q_EMIT initialiseAll(true);
}

bool WidgetManager::saveWidgets()
{
    if (readonly) {
        qDebug() << "WidgetManager: skip saving widgets in read-only mode";
        return true;
    }
    bool allSaved = true;
    const QMap<QString, QPointer<BaseWidget>> toSave = widgets;
    for (const QPointer<BaseWidget>& widget : toSave) {
        if (!widget)
            continue;
        IniSerialiser serialiser(widget.data());
        allSaved = serialiser.saveTo(layoutFile) && allSaved;
    }
    if (!allSaved)
        qWarning().noquote() << "WidgetManager: cannot save widgets to" << layoutFile;
    return allSaved;
}

bool WidgetManager::saveDashboard(QString* unsavedFile)
{
    if (readonly) {
        qDebug() << "WidgetManager: skip saving widgets in read-only mode";
        return true;
    }
    if (deviceManager && deviceManager->getReadonly()) {
        qDebug() << "WidgetManager: skip saving the dashboard while the device manager is read-only";
        return true;
    }
    bool saved = true;
    QString unsaved;
    if (deviceManager && !deviceManager->saveYamlConfig()) {
        qWarning() << "WidgetManager: the device manager could not save the widgets' places";
        saved = false;
        unsaved = deviceManager->getConfigPath();
    }
    if (!saveWidgets()) {
        if (saved)
            unsaved = layoutFile;
        saved = false;
    }
    if (unsavedFile)
        *unsavedFile = unsaved;
    return saved;
}

void WidgetManager::dashboardEdited()
{
    editedSinceSwitch = true;
    saveEdit();
}

void WidgetManager::editingSwitched(bool enabled)
{
    // A device living in a worker thread takes its new place queued, possibly after the
    // edit's own save had run; by the time the user leaves edit mode it has it.
    if (!enabled && editedSinceSwitch)
        saveEdit();
    editedSinceSwitch = false;
}

void WidgetManager::saveEdit()
{
    const bool wasFailing = editSaveFailing;
    QString unsaved;
    editSaveFailing = !saveDashboard(&unsaved);
    if (!editSaveFailing || wasFailing)
        return;
    // The save runs inside the edit, under the grid's click: the host hears of it once that is
    // over, so that a modal box answering it runs no event loop beneath the clicked button.
    QMetaObject::invokeMethod(
        this, [this, unsaved] { Q_EMIT saveFailed(unsaved); }, Qt::QueuedConnection);
}

int WidgetManager::widgetsCount() const
{
    return widgets.size();
}

void WidgetManager::setReadonly(bool readonly)
{
    this->readonly = readonly;
}

bool WidgetManager::getReadonly() const
{
    return readonly;
}

QString WidgetManager::getLayoutFile() const
{
    return layoutFile;
}

QString WidgetManager::getAreaName() const
{
    return areaName;
}

bool WidgetManager::isCellTaken(int row, int column) const
{
    for (const QPointer<BaseWidget>& widget : widgets) {
        if (!widget)
            continue;
        const WidgetPosition place = widget->getPosition();
        if (place.isPlaced() && row >= place.row && row < place.row + place.rowspan && column >= place.column
            && column < place.column + place.colspan)
            return true;
    }
    return false;
}

BaseWidget* WidgetManager::findWidget(const QString& name) const
{
    return widgets.value(name);
}

QStringList WidgetManager::getWidgetTypes() const
{
    QStringList types;
    if (!deviceManager)
        return types;
    const QStringList allTypes = deviceManager->getDeviceTypes();
    for (const QString& type : allTypes) {
        if (deviceManager->getDeviceTypeInfo(type).kind == WidgetKind)
            types.append(type);
    }
    return types;
}

void WidgetManager::addWidget(const QString& name, BaseWidget* widget)
{
    widgets.insert(name, widget);
    connect(this, SIGNAL(initialiseAll(bool)), widget, SLOT(deviceInitialised(bool)), Qt::UniqueConnection);
    widget->setObjectName(name);
}

BaseWidget* WidgetManager::createDeviceWidget(BaseGuiDevice* device)
{
    BaseWidget* widget = device->createWidget();
    if (device->isInitialised())
        widget->deviceInitialised(true);
    addWidget(device->objectName(), widget);
    return widget;
}

void WidgetManager::deviceInitialised(QString name, bool initialised)
{
    if (!initialised || findWidget(name) || !deviceManager)
        return;
    auto device = dynamic_cast<BaseGuiDevice*>(deviceManager->getDevice(name));
    if (!device || device->getArea() != areaName || !widgetsArea)
        return;
    BaseWidget* widget = createDeviceWidget(device);
    if (device->objectName() != name)
        addWidget(name, widget);
    widgetsArea->addWidget(widget);
}

void WidgetManager::deviceRemoved(QString name)
{
    if (!widgets.contains(name))
        return;
    BaseWidget* widget = widgets.take(name);
    // Without a grid the widget would otherwise stay registered, pointing at a
    // device that no longer exists.
    if (widgetsArea)
        widgetsArea->removeWidget(widget);
    else if (widget)
        widget->deleteLater();
}

void WidgetManager::newWidgetRequested(QString type, int row, int column)
{
    if (!deviceManager) {
        qWarning() << "WidgetManager: no device manager to create a widget device";
        return;
    }
    // The grid offers widget types and free cells only, but a request may be stale or come from
    // elsewhere; whatever would not end as a widget shown on the grid makes no device at all.
    if (deviceManager->getDeviceTypeInfo(type).kind != WidgetKind) {
        qWarning().noquote() << "WidgetManager: type" << type << "makes no widget";
        return;
    }
    // The grid shows no widget at a negative cell.
    if (row < 0 || column < 0) {
        qWarning().noquote() << QStringLiteral("WidgetManager: cell (%1, %2) is not on the grid").arg(row).arg(column);
        return;
    }
    // A second widget there would be drawn over the first.
    if (isCellTaken(row, column)) {
        qWarning().noquote() << QStringLiteral("WidgetManager: cell (%1, %2) is taken").arg(row).arg(column);
        return;
    }
    const QString name = deviceManager->createDevice(type, false);
    if (name.isEmpty()) {
        qWarning().noquote() << "WidgetManager: could not create a device of type" << type;
        return;
    }
    // Registered as a widget type, yet no GUI device: it would stay without a widget.
    if (!dynamic_cast<BaseGuiDevice*>(deviceManager->getDevice(name))) {
        qWarning().noquote() << "WidgetManager: type" << type << "makes no widget";
        deviceManager->removeDevice(name);
        return;
    }
    deviceManager->setDeviceParam(name, WidgetRowParam, QString::number(row));
    deviceManager->setDeviceParam(name, WidgetColumnParam, QString::number(column));
    deviceManager->setDeviceParam(name, WidgetAreaParam, areaName);
    deviceManager->initialiseDevice(name);
    dashboardEdited();
}

void WidgetManager::removeWidgetRequested(QString deviceName)
{
    if (!deviceManager) {
        qWarning() << "WidgetManager: no device manager to remove a widget device";
        return;
    }
    deviceManager->removeDevice(deviceName);
    dashboardEdited();
}

void WidgetManager::widgetSettingsRequested(QString deviceName)
{
    if (!deviceManager) {
        qWarning() << "WidgetManager: no device manager to open device settings";
        return;
    }
    auto* dialog = new DeviceConfigWidget(*deviceManager, deviceName, widgetsArea.data());
    dialog->show();
    // The dialog's own placement right after showing replaces this move.
    dialog->move(QCursor::pos());
    connect(dialog, SIGNAL(finished(int)), dialog, SLOT(deleteLater()));
}
