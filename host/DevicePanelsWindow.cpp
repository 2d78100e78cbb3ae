#include "DevicePanelsWindow.h"

#include "ConsoleWidget.h"
#include "DemoMenu.h"
#include "DeviceConfigWidget.h"
#include "DeviceListModel.h"
#include "DeviceManager.h"
#include "DeviceSignalsConsole.h"
#include "DeviceSignalsOutputWidget.h"

#include <QComboBox>
#include <QCursor>
#include <QEventLoop>
#include <QHBoxLayout>
#include <QLabel>
#include <QListView>
#include <QMenuBar>
#include <QPushButton>
#include <QTabWidget>
#include <QTimer>
#include <QVBoxLayout>

namespace {

const QString shownDevice = QStringLiteral("generator1");

// Lets the generator send values for a while, so the screenshot shows a history.
void collect(int milliseconds)
{
    QEventLoop loop;
    QTimer::singleShot(milliseconds, &loop, &QEventLoop::quit);
    loop.exec();
}

void showTab(DeviceConfigWidget* dialog, const QString& title)
{
    QTabWidget* tabs = dialog->getTabWidget();
    for (int i = 0; i < tabs->count(); ++i) {
        if (tabs->tabText(i) == title)
            tabs->setCurrentIndex(i);
    }
}

DeviceConfigWidget* openOutput(QWidget* window, const QString& signal, bool timestamps, int collectMs)
{
    DeviceConfigWidget* dialog = static_cast<DevicePanelsWindow*>(window)->openSettings(shownDevice);
    showTab(dialog, DeviceConfigWidget::tr("Output"));
    if (auto* output = dialog->findChild<DeviceSignalsOutputWidget*>()) {
        output->getSignalBox()->setCurrentText(signal);
        output->getSignalsConsole()->setShowTimestamp(timestamps);
    }
    collect(collectMs);
    return dialog;
}

} // namespace

DevicePanelsWindow::DevicePanelsWindow(DeviceManager* manager, QWidget* parent)
    : QWidget(parent)
    , m_manager(manager)
    , m_chooser(new QComboBox(this))
    , m_settingsButton(new QPushButton(tr("Settings..."), this))
    , m_log(new ConsoleWidget(this))
{
    // Connected before the list exists, so that the choice has followed a rename before any
    // update of the list looks for the chosen device.
    connect(manager, &DeviceManager::deviceRenamed, this, [this](const QString& oldName, const QString& newName) {
        if (oldName == m_chosen)
            m_chosen = newName;
    });
    m_devices = new DeviceListModel(manager, this);
    setWindowTitle(tr("Log and device settings"));
    auto* layout = new QVBoxLayout(this);
    auto* menuBar = new QMenuBar(this);
    addDemoMenu(menuBar);
    layout->setMenuBar(menuBar);
    auto* top = new QHBoxLayout;
    top->addWidget(new QLabel(tr("Device:"), this));
    m_chooser->setObjectName(QStringLiteral("deviceChooser"));
    m_chooser->setModel(m_devices);
    m_chooser->setModelColumn(DeviceListModel::DeviceColumn);
    // Sized and laid out without a look at every device: the list may hold thousands, each read
    // from the manager when first shown.
    m_chooser->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    m_chooser->setMinimumContentsLength(24);
    if (auto* popup = qobject_cast<QListView*>(m_chooser->view()))
        popup->setUniformItemSizes(true);
    top->addWidget(m_chooser, 1);
    m_settingsButton->setObjectName(QStringLiteral("settingsButton"));
    connect(m_settingsButton, &QPushButton::clicked, this, &DevicePanelsWindow::openChosenSettings);
    top->addWidget(m_settingsButton);
    layout->addLayout(top);
    layout->addWidget(new QLabel(tr("Log"), this));
    layout->addWidget(m_log, 1);
    resize(760, 480);

    connect(m_chooser, QOverload<int>::of(&QComboBox::currentIndexChanged), this, [this](int row) {
        if (!m_updating)
            choose(row < 0 ? QString() : m_chooser->itemData(row, DeviceListModel::NameRole).toString());
    });
    connect(m_devices, &DeviceListModel::updateStarted, this, [this] { m_updating = true; });
    connect(m_devices, &DeviceListModel::updateFinished, this, [this] {
        m_updating = false;
        showChoice();
    });
    const QString first = m_devices->rowCount() > 0 ? m_devices->index(0, 0).data(DeviceListModel::NameRole).toString()
                                                     : QString();
    choose(m_devices->rowOf(shownDevice) >= 0 ? shownDevice : first);
    showChoice();
}

DeviceConfigWidget* DevicePanelsWindow::openSettings(const QString& name)
{
    auto* dialog = new DeviceConfigWidget(*m_manager, name, this);
    dialog->resize(680, 560);
    dialog->show();
    dialog->move(QCursor::pos());
    connect(dialog, SIGNAL(finished(int)), dialog, SLOT(deleteLater()));
    return dialog;
}

QString DevicePanelsWindow::chosenDevice() const
{
    return m_chosen;
}

DeviceListModel* DevicePanelsWindow::devices() const
{
    return m_devices;
}

void DevicePanelsWindow::choose(const QString& name)
{
    m_chosen = name;
    m_settingsButton->setEnabled(!m_chosen.isEmpty());
}

void DevicePanelsWindow::showChoice()
{
    const int row = m_devices->rowOf(m_chosen);
    if (row < 0)
        choose(QString());
    m_chooser->setCurrentIndex(row);
}

void DevicePanelsWindow::openChosenSettings()
{
    // Reports heard in this turn of the event loop may have taken the chosen device away.
    m_devices->applyPendingChanges();
    if (!m_chosen.isEmpty())
        openSettings(m_chosen);
}

DemoWindow DevicePanelsWindow::demoWindow()
{
    return {QStringLiteral("log"),
            [](DeviceManager* manager) { return new DevicePanelsWindow(manager); },
            {{QStringLiteral("device-settings"),
              [](QWidget* window) { return static_cast<DevicePanelsWindow*>(window)->openSettings(shownDevice); }},
             {QStringLiteral("device-settings-output-graph"),
              [](QWidget* window) { return openOutput(window, QStringLiteral("valueChanged(double)"), false, 3000); }},
             {QStringLiteral("device-settings-output-console"),
              [](QWidget* window) { return openOutput(window, QStringLiteral("tick()"), true, 1500); }},
             {QStringLiteral("device-settings-input"), [](QWidget* window) {
                  DeviceConfigWidget* dialog = static_cast<DevicePanelsWindow*>(window)->openSettings(shownDevice);
                  showTab(dialog, DeviceConfigWidget::tr("Input"));
                  return dialog;
              }}}};
}
