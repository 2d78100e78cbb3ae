#include "DeviceConfigWidget.h"

#include "ConfigOption.h"
#include "DeviceHandle.h"
#include "DeviceManager.h"
#include "DeviceSignalsOutputWidget.h"
#include "DeviceSlotsInputWidget.h"

#include <QCoreApplication>
#include <QDebug>
#include <QLabel>
#include <QMouseEvent>
#include <QPointer>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

const QString storePath = QStringLiteral("global");

const QStringList outputSuffixes = {
    QStringLiteral("(double)"),  QStringLiteral("(int)"), QStringLiteral("(DoubleVec)"), QStringLiteral("(QString)"),
    QStringLiteral("(QByteArray)"), QStringLiteral("(bool)"), QStringLiteral("()"),
};

ConfigOption::InputType editorKind(const Param& parameter)
{
    if (!parameter.options().isEmpty())
        return parameter.getStrictOptions() ? ConfigOption::Choice : ConfigOption::EditableChoice;
    switch (parameter.type()) {
    case 0:
        return ConfigOption::Real;
    case 1:
        return ConfigOption::Integer;
    case 2:
        return ConfigOption::Bool;
    case 5:
        return ConfigOption::HexInteger;
    default:
        return ConfigOption::Text;
    }
}

QString optionLabel(const Param& parameter)
{
    const QString displayName = parameter.displayName();
    if (!displayName.isEmpty())
        return capitalizeFirstLetter(QCoreApplication::translate("ParamDisplayNames", displayName.toUtf8().constData()));
    const QString name = parameter.name();
    return capitalizeFirstLetter(name.contains(QLatin1Char('/')) ? name.section(QLatin1Char('/'), 1, 1) : name);
}

bool containsIgnoringCase(const QStringList& keys, const QString& key)
{
    return keys.contains(key, Qt::CaseInsensitive);
}

} // namespace

QString capitalizeFirstLetter(QString text)
{
    if (!text.isEmpty())
        text[0] = text.at(0).toUpper();
    return text;
}

DeviceConfigWidget::DeviceConfigWidget(DeviceManager& manager, QString name, QWidget* parent)
    : ConfigWidget(false, parent, false)
    , deviceManager(&manager)
{
    setWindowFlags((windowFlags() & ~Qt::WindowCloseButtonHint) | Qt::FramelessWindowHint | Qt::Dialog);
    // Return in a field of the panels must neither save nor close the dialog.
    getSaveButton()->setAutoDefault(false);
    getCloseButton()->setAutoDefault(false);
    addParamatersTab(name);
    addOutputTab(name);
    addInputTab(name);
    connect(&manager, SIGNAL(deviceRemoved(QString)), this, SLOT(deviceRemoved(QString)));
}

DeviceConfigWidget::~DeviceConfigWidget() = default;

void DeviceConfigWidget::addParamatersTab(const QString& name)
{
    const QSharedPointer<DeviceHandle> handle = deviceManager->getDeviceHandle(name);
    if (handle)
        deviceInfo = handle->getDeviceInfo();
    connect(deviceManager, SIGNAL(deviceInitialised(QString,bool)), this, SLOT(deviceInitialised(QString,bool)));
    newTab(handle ? deviceInfo.name : name);

    initButton = new QPushButton(this);
    initButton->setFocusPolicy(Qt::NoFocus);
    initButton->setAutoDefault(false);
    connect(initButton, SIGNAL(clicked()), this, SLOT(initBtnClicked()));
    statusLabel = new QLabel(this);
    statusLabel->setWordWrap(true);
    // Error texts come from devices: shown as written, never as markup.
    statusLabel->setTextFormat(Qt::PlainText);
    statusLabel->hide();
    getCurrentPageLayout()->addWidget(initButton);
    getCurrentPageLayout()->addWidget(statusLabel);

    if (!handle) {
        qWarning().noquote() << "DeviceConfigWidget: no device named" << name;
        initButton->setText(tr("Disabled"));
        initButton->setStyleSheet(QStringLiteral("background-color : darkGray; color: white"));
        showReadOnly(tr("The device %1 does not exist.").arg(name));
        return;
    }

    deviceInitialised(deviceInfo.name, deviceInfo.initialised);
    newGroup(tr("Parameters"));
    if (handle->getState() == BaseDevice::Disabled) {
        QList<Param> stored;
        for (auto it = deviceInfo.paramValues.constBegin(); it != deviceInfo.paramValues.constEnd(); ++it) {
            Param parameter(it.key(), false, QString());
            parameter.setDefaultValue(it.value());
            stored.append(parameter);
        }
        addParameters(stored, parameterConfig, true);
        initButton->setText(tr("Disabled"));
        initButton->setStyleSheet(QStringLiteral("background-color : darkGray; color: white"));
        showReadOnly(
            tr("The device is disabled - perhaps network connection to it is lost or is it an unrecognized device."));
    } else {
        addParameters(deviceInfo.params, parameterConfig, true);
    }
}

void DeviceConfigWidget::addParameters(QList<Param>& parameters, Config& store, bool grouped)
{
    for (const Param& parameter : qAsConst(parameters)) {
        const QString name = parameter.name();
        store.setParam(name, parameter.raw(), storePath, true);
        const ConfigOption::InputType kind = editorKind(parameter);
        if (parameter.type() == 1)
            store.setParam(name, QString::number(int(parameter)), storePath, true);

        ConfigOption option(&store, optionLabel(parameter), name, kind, false, storePath, parameter.unit());
        option.setToolTip(parameter.description());
        option.setEnabledConditions(parameter.enabledConditions());
        const QStringList options = parameter.options();
        for (const QString& item : options)
            option << item;

        if (!grouped) {
            addOption(option, Qt::Alignment(), Qt::Alignment());
        } else {
            const QString group = name.contains(QLatin1Char('/')) ? name.section(QLatin1Char('/'), 0, 0) : tr("Parameters");
            addOption(option, capitalizeFirstLetter(group), Qt::Alignment(), Qt::Alignment());
        }
        builtParameters.append(BuiltParameter{name, parameter.raw(), store.getParam(name, storePath)});
    }
}

void DeviceConfigWidget::addOutputTab(const QString& name)
{
    const QStringList signalList = deviceManager->getDeviceInfo(name).signals;
    for (const QString& signal : signalList) {
        for (const QString& suffix : outputSuffixes) {
            if (signal.contains(suffix)) {
                newTab(tr("Output"));
                getCurrentPageLayout()->addWidget(new DeviceSignalsOutputWidget(*deviceManager, name, this));
                skipSpacer();
                return;
            }
        }
    }
}

void DeviceConfigWidget::addInputTab(const QString& name)
{
    if (deviceManager->getDeviceInfo(name).slots.isEmpty())
        return;
    newTab(tr("Input"));
    getCurrentPageLayout()->addWidget(new DeviceSlotsInputWidget(*deviceManager, name, this));
    skipSpacer();
}

void DeviceConfigWidget::deviceInitialised(QString device, bool success)
{
    if (deviceInfo.name.isEmpty() || device.compare(deviceInfo.name, Qt::CaseInsensitive) != 0 || !deviceManager)
        return;
    const DeviceInfo fresh = deviceManager->getDeviceInfo(deviceInfo.name);
    if (!fresh.name.isEmpty())
        deviceInfo = fresh;
    getSaveButton()->setEnabled(true);
    getCloseButton()->setEnabled(true);
    initButton->setEnabled(true);

    const bool failed = !deviceInfo.error.isEmpty();
    QString text;
    QColor background;
    QColor foreground;
    if (success) {
        text = failed ? tr("Initialised with error") : tr("Initialised");
        background = failed ? QColor(Qt::yellow).darker(130) : QColor(Qt::darkGreen);
        foreground = QColor(Qt::black);
    } else {
        text = failed ? tr("Initialisation failed") : tr("Deinitialised");
        background = failed ? QColor(Qt::darkRed) : QColor(Qt::darkGray);
        foreground = QColor(Qt::white);
    }
    initButton->setText(text);
    statusLabel->setText(deviceInfo.error);
    statusLabel->setVisible(failed);
    initButton->setStyleSheet(
        QStringLiteral("background-color : %0; color: %1").arg(background.name(), foreground.name()));
    update();
}

void DeviceConfigWidget::initBtnClicked()
{
    if (!deviceManager || deviceInfo.name.isEmpty())
        return;
    const QString name = deviceInfo.name;
    const DeviceInfo fresh = deviceManager->getDeviceInfo(name);
    if (!fresh.name.isEmpty())
        deviceInfo = fresh;
    initButton->setEnabled(false);
    if (!deviceInfo.initialised) {
        deviceManager->deinitialiseDevice(name);
        deviceInfo = deviceManager->getDeviceInfo(name);
        deviceInitialised(name, deviceInfo.initialised);
        deviceManager->initialiseDevice(name);
    } else {
        deviceManager->deinitialiseDevice(name);
    }
    deviceManager->saveYamlConfig();
}

// A host's slot on the manager's reports, or on a store's apply, may run a modal box whose event
// loop deletes this dialog (closed, or gone with the map it belongs to). What the save is to do
// is taken from the dialog first; every call to the manager is made, and the dialog is touched
// only while it lives.
void DeviceConfigWidget::save()
{
    QPointer<DeviceConfigWidget> alive(this);
    ConfigWidget::save();
    if (!alive || !deviceManager || deviceInfo.name.isEmpty())
        return;
    const QPointer<DeviceManager> manager = deviceManager;
    const QString name = deviceInfo.name;
    const QList<QPair<QString, QString>> values = valuesToWrite();
    const bool reinitialise = initButton->text() != tr("Deinitialised");
    for (const auto& value : values)
        manager->setDeviceParam(name, value.first, value.second);
    const DeviceInfo fresh = manager->getDeviceInfo(name);
    if (alive && !fresh.name.isEmpty())
        deviceInfo = fresh;

    if (reinitialise) {
        manager->deinitialiseDevice(name);
        if (alive) {
            getSaveButton()->setEnabled(false);
            getCloseButton()->setEnabled(false);
            initButton->setEnabled(false);
        }
        if (manager)
            manager->initialiseDevice(name);
    }
    if (manager)
        manager->saveYamlConfig();
    if (alive)
        Q_EMIT saved();
}

// Only parameters shown here, and only with a value the store still holds: a parameter that
// appeared since, or whose editor held nothing valid, is left as the device has it.
QList<QPair<QString, QString>> DeviceConfigWidget::valuesToWrite()
{
    QList<QPair<QString, QString>> values;
    const QStringList storedKeys = parameterConfig.getParams(storePath);
    for (const BuiltParameter& parameter : qAsConst(builtParameters)) {
        if (!containsIgnoringCase(storedKeys, parameter.name))
            continue;
        const QString value = parameterConfig.getParam(parameter.name, storePath);
        // An editor left as it started writes back the device's own text, which the editor
        // may have shown rounded ("12.5" of an integer parameter starts as 12).
        values.append(qMakePair(parameter.name, value == parameter.editorText ? parameter.deviceText : value));
    }
    return values;
}

void DeviceConfigWidget::deviceRemoved(QString device)
{
    if (deviceInfo.name.isEmpty() || device.compare(deviceInfo.name, Qt::CaseInsensitive) != 0)
        return;
    // Nothing will report on this device again: the buttons waiting for it must not stay off.
    deviceInfo = DeviceInfo();
    showReadOnly(tr("The device %1 was removed.").arg(device));
}

void DeviceConfigWidget::disableWidget()
{
    const QVector<ConfigOption> options = getOptions();
    for (const ConfigOption& option : options) {
        if (option.getEditorWidget())
            option.getEditorWidget()->setEnabled(false);
        if (option.getLabelWidget())
            option.getLabelWidget()->setEnabled(false);
    }
    getSaveButton()->setEnabled(false);
    initButton->setEnabled(false);
}

void DeviceConfigWidget::showReadOnly(const QString& notice)
{
    statusLabel->setText(notice);
    statusLabel->show();
    disableWidget();
    getCloseButton()->setEnabled(true);
}

void DeviceConfigWidget::mousePressEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton)
        dragPosition = event->globalPos();
    QWidget::mousePressEvent(event);
}

void DeviceConfigWidget::mouseMoveEvent(QMouseEvent* event)
{
    if (event->buttons() & Qt::LeftButton) {
        move(pos() + event->globalPos() - dragPosition);
        dragPosition = event->globalPos();
    }
    QWidget::mouseMoveEvent(event);
}

void DeviceConfigWidget::mouseReleaseEvent(QMouseEvent* event)
{
    QWidget::mouseReleaseEvent(event);
}
