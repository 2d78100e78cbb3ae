#include "DevicePanelsWindow.h"

#include "ConsoleWidget.h"
#include "DemoMenu.h"
#include "DeviceConfigWidget.h"
#include "DeviceManager.h"
#include "DeviceSignalsConsole.h"
#include "DeviceSignalsOutputWidget.h"

#include <QComboBox>
#include <QCursor>
#include <QEventLoop>
#include <QHBoxLayout>
#include <QLabel>
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
    , m_devices(new QComboBox(this))
    , m_log(new ConsoleWidget(this))
{
    setWindowTitle(tr("Log and device settings"));
    auto* layout = new QVBoxLayout(this);
    auto* menuBar = new QMenuBar(this);
    addDemoMenu(menuBar);
    layout->setMenuBar(menuBar);
    auto* top = new QHBoxLayout;
    top->addWidget(new QLabel(tr("Device:"), this));
    m_devices->addItems(manager->getDeviceNames());
    m_devices->setCurrentText(shownDevice);
    top->addWidget(m_devices, 1);
    auto* settings = new QPushButton(tr("Settings..."), this);
    connect(settings, &QPushButton::clicked, this, [this] { openSettings(m_devices->currentText()); });
    top->addWidget(settings);
    layout->addLayout(top);
    layout->addWidget(new QLabel(tr("Log"), this));
    layout->addWidget(m_log, 1);
    resize(760, 480);
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
