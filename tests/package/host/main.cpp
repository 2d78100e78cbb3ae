// A host built outside the source tree against the installed DozeRozOZU and OrboDev packages,
// once through CMake and once through pkg-config. It does offscreen what a real host does with
// each of the library's subsystems, checks what it sees, and exits cleanly: 0 when every check
// held. It compiles with what the packages give (QT_NO_KEYWORDS included); its own Q_OBJECT
// class needs moc, which CMake runs by itself and the README's pkg-config commands run by hand.
//
// The code between "README: <name>" and "README end" is the README's example of that name,
// word for word, and the #include lines after "README includes: <name>" the headers the README
// shows it with; the test package_ReadmeExamples keeps the two the same, and package_Host
// compiles the README's examples with only those headers.
// README includes: configurable
#include "Configurable.h"
#include <QWidget>

// README includes: configuration
#include "Singleton.h"
#include "YamlConfig.h"
#include <QMainWindow>
#include <exception>

// README includes: gui-device
#include "BaseGuiDevice.h"
#include "BaseWidget.h"
#include <QLabel>

// README includes: dashboard
#include "DeviceManager.h"
#include "SharedConstants.h"
#include "WidgetManager.h"

// README includes: device-map
#include "DeviceMapWindow.h"
#include "DeviceNodeItem.h"
#include <QDebug>

// README includes: connections
#include "DeviceConnectionsDialog.h"

// README includes: device-settings
#include "DeviceConfigWidget.h"

// README includes: settings-dialog
#include "ConfigWidget.h"

// README includes: house-widgets
#include "ConsoleWidget.h"
#include "ExternalWirelessNetworkWidget.h"
#include "ZenticMessageBox.h"
#include <QStatusBar>

// What the host's own checks use besides.
#include "DozeRozOZUVersion.h"
#include "LibraryTranslator.h"
#include "Logger.h"
#include "WirelessNetworkManager.h"

#include <QApplication>
#include <QDeadlineTimer>
#include <QGraphicsScene>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QThread>
#include <QTimer>

#include <cstdio>
#include <functional>

#ifndef QT_NO_KEYWORDS
#error "The packages must give their users QT_NO_KEYWORDS"
#endif

// README: configurable
/// Keeps the window's title on the station name of the host's settings.
class StationTitle : public Configurable
{
public:
    StationTitle(Config* config, QWidget* window)
        : Configurable(config)
        , window(window)
    {
        applyConfig();
    }
    void applyConfig() override
    {
        window->setWindowTitle(getParam(QStringLiteral("stationName"), QStringLiteral("host"),
                                        QStringLiteral("Station"), true));
    }

private:
    QWidget* window;
};
// README end

// README: gui-device
/// The host's own GUI device type: a lamp, and the widget it shows on the dashboard.
class LampWidget : public BaseWidget
{
public:
    using BaseWidget::BaseWidget;
    void initialise() override { getLayout()->addWidget(new QLabel(QStringLiteral("Lamp"), this), 0, 0); }
};

/// Q_OBJECT, as every device type with slots of its own: links reach them by signature text.
class LampDevice : public BaseGuiDevice
{
    Q_OBJECT
public:
    BaseWidget* createWidget() override { return new LampWidget(this); }
public Q_SLOTS:
    void setOn(bool on) { lit = on; }

private:
    bool lit = false;
};
// README end

namespace {

int failures = 0;

void check(bool condition, const char* what)
{
    std::printf("%s: %s\n", condition ? "ok" : "FAILED", what);
    failures += condition ? 0 : 1;
}

/// Whether the automatic layout gave way to the grid: then its program was not found or failed.
bool layoutFellBack = false;
QtMessageHandler nextHandler = nullptr;

void watchLayout(QtMsgType type, const QMessageLogContext& context, const QString& message)
{
    layoutFellBack = layoutFellBack || message.contains(QLatin1String("fell back to the layered grid"));
    nextHandler(type, context, message);
}

/// Runs the event loop until done() holds or the time is up.
bool waitFor(const std::function<bool()>& done, int milliseconds = 5000)
{
    const QDeadlineTimer deadline(milliseconds);
    while (!done() && !deadline.hasExpired()) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
        QThread::msleep(5);
    }
    return done();
}

/// Plays the user of the settings dialog once it runs: types a station name, saves, closes.
void answerSettingsDialog(QWidget* parent, const QString& stationName)
{
    QTimer::singleShot(0, parent, [parent, stationName] {
        auto* dialog = qobject_cast<ConfigWidget*>(QApplication::activeModalWidget());
        if (!dialog || dialog->parentWidget() != parent)
            return;
        dialog->findChild<QLineEdit*>()->setText(stationName);
        dialog->getSaveButton()->click();
        dialog->getCloseButton()->click();
    });
}

} // namespace

int main(int argc, char* argv[])
{
    QCoreApplication::setAttribute(Qt::AA_EnableHighDpiScaling);
    QApplication app(argc, argv);
    nextHandler = qInstallMessageHandler(watchLayout);
    // The framework's log collects from here on (the real framework does so when it starts).
    Logger::getDefaultBuffer();
    QTemporaryDir dir;
    check(LibraryTranslator::install(QLocale(QLocale::Russian))
              && QCoreApplication::translate("ScreenKeyboardDialog", "Password") == QString::fromUtf8("Пароль"),
          "the compiled-in translations are found");

    // README: configuration
    YamlConfig* config = Singleton<YamlConfig>::instance(); // the process-wide store
    try {
        config->parseConfig(dir.filePath(QStringLiteral("host.yaml")));
    } catch (const std::exception& error) { // not YAML, or not a configuration: nothing was loaded
        qWarning("host.yaml not loaded: %s", error.what());
    }
    // Never a public address here: the wireless list probes this machine's loopback.
    config->setParam(QStringLiteral("probeHost"), QStringLiteral("127.0.0.1"), QStringLiteral("wireless"), false);
    QMainWindow window;
    StationTitle title(config, &window);
    // README end
    window.show();
    check(window.windowTitle() == QStringLiteral("Station"), "a Configurable reads its key");

    // README: dashboard
    DeviceManager manager;
    manager.setConfigPath(dir.filePath(QStringLiteral("graph.yaml"))); // where saveYamlConfig() keeps the graph
    DeviceTypeInfo lampType;
    lampType.categories = QStringList{CategoryGui};
    lampType.kind = WidgetKind;
    manager.registerDeviceType(QStringLiteral("lamp"), lampType, [] { return new LampDevice; });
    const QString lamp = manager.createDevice(QStringLiteral("lamp"), false);
    manager.setDeviceParam(lamp, WidgetRowParam, QStringLiteral("0")); // its cell on the grid
    manager.setDeviceParam(lamp, WidgetColumnParam, QStringLiteral("0"));
    manager.initialiseDevice(lamp);

    WidgetManager::registerGuiDevices(manager);
    WidgetManager dashboard(QStringLiteral("main"), dir.filePath(QStringLiteral("dashboard.ini")));
    dashboard.loadOwnWidgets(&manager);
    window.setCentralWidget(dashboard.getWidgetsArea()); // the window owns the area now
    dashboard.initialiseWidgets();
    // README end
    auto* lampWidget = dynamic_cast<LampWidget*>(window.centralWidget()->findChild<BaseWidget*>(lamp));
    check(lampWidget && lampWidget->getPosition().row == 0 && lampWidget->findChild<QLabel*>(),
          "the dashboard shows the lamp's widget in its cell");
    check(manager.getDeviceInfo(lamp).slots.contains(QStringLiteral("setOn(bool)")), "the host's own slot is known");

    // README: device-map
    const QString generator = manager.createDevice(QStringLiteral("generator"), true);
    const QString scaler = manager.createDevice(QStringLiteral("scaler"), true);
    manager.addDeviceConnection(generator, scaler, QString(), QString());
    manager.markInitialised(); // the graph is loaded: the map builds its scene at once
    auto* mapWindow = new DeviceMapWindow(&manager, dir.filePath(QStringLiteral("map.ini")), &window);
    mapWindow->show(); // deletes itself when closed
    DeviceMapWidget* map = mapWindow->getDeviceMapWidget();
    map->rearrangeGraph(DeviceMapWidget::Hierarchical, false); // places every device: one undoable step
    for (DeviceNodeItem* item : map->getDeviceItems()) // by name; the items belong to the map
        qInfo().noquote() << item->devName() << item->devType() << (item->isUnplaced() ? "unplaced" : "placed");
    DeviceConnectionItem* link = map->getConnection(generator, scaler); // the arrow between them
    // README end
    QPointer<DeviceMapWindow> mapWindowAlive(mapWindow);
    QStringList devices{generator, lamp, scaler};
    devices.sort();
    check(map->getDeviceItems().keys() == devices, "the map shows every device");
    check(link && map->getConnectionSlots(scaler, generator) == QStringList{QStringLiteral("input(double)")},
          "the map shows the link with its slot");
    bool everyDevicePlaced = true;
    for (DeviceNodeItem* item : map->getDeviceItems())
        everyDevicePlaced = everyDevicePlaced && !item->isUnplaced();
    check(everyDevicePlaced, "the rearrangement places every device");
    check(!layoutFellBack, "the rearrangement runs the layout program installed beside the library");

    // README: connections
    DeviceConnectionsDialog::AnswerGuard accept(DeviceConnectionsDialog::Answer::Accept); // tests only
    // The signal and slot pairs the user picks for the link (the existing ones when cancelled).
    const QStringList pairs = DeviceConnectionsDialog::getConnections(
        &manager, manager.getDeviceInfo(generator), manager.getDeviceInfo(scaler), mapWindow);
    // README end
    check(accept.count() == 1 && pairs == QStringList{QStringLiteral("input(double)<valueChanged(double)")},
          "the connection dialog is answered through its guard");

    // README: device-settings
    auto* settings = new DeviceConfigWidget(manager, generator, &window);
    QObject::connect(settings, &QDialog::finished, settings, &QObject::deleteLater);
    settings->show();
    // README end
    QPointer<DeviceConfigWidget> settingsAlive(settings);
    check(settings->getDeviceInfo().name == generator && settings->findChild<QTabWidget*>()->count() >= 2,
          "a device's settings open with its parameters and panels");
    settings->close();

    answerSettingsDialog(&window, QStringLiteral("Pump station 2"));
    // README: settings-dialog
    ConfigWidget settingsDialog(false, &window);
    settingsDialog.addOption(ConfigOption(config, QObject::tr("Station name"), QStringLiteral("stationName"),
                                          ConfigOption::Text, false, QStringLiteral("host"), QString()),
                             QObject::tr("Station"), {}, {});
    settingsDialog.exec();
    config->saveConfig();
    // README end
    check(window.windowTitle() == QStringLiteral("Pump station 2"), "a saved setting reaches its Configurable");

    // README: house-widgets
    auto* log = new ConsoleWidget; // the framework's log, polled every 500 ms
    log->setAttribute(Qt::WA_DeleteOnClose);
    log->setWindowTitle(QObject::tr("Log"));
    log->show();
    window.statusBar()->addPermanentWidget(new ExternalWirelessNetworkWidget(&window));
    ZenticMessageBox::AnswerGuard ok(QMessageBox::Ok); // in tests only: presses Ok
    ZenticMessageBox::information(&window, QObject::tr("Station"), QObject::tr("Ready"));
    // README end
    QPointer<ConsoleWidget> logAlive(log);
    qWarning("package host: written to the log");
    check(waitFor([log] { return log->toPlainText().contains(QStringLiteral("written to the log")); }),
          "the log window shows the framework's log");
    auto* wireless = window.statusBar()->findChild<ExternalWirelessNetworkWidget*>();
    WirelessNetworkManager* networks = Singleton<WirelessNetworkManager>::instance();
    check(wireless && wireless->isUpdating()
              && waitFor([networks] { return networks->requestCount(QStringLiteral("currentNetwork")) > 0; }),
          "the wireless status polls the framework's wireless manager");
    check(ok.count() == 1, "the house message box is answered through its guard");

    // Delete, as the user presses it on a chosen device, asks and removes it; the window's
    // history, stepped as a host steps it, brings it back.
    {
        ZenticMessageBox::AnswerGuard confirm(ZenticMessageBox::AnswerGuard::AcceptRole);
        map->scene()->clearSelection();
        map->getDeviceItems().value(scaler)->setSelected(true);
        QKeyEvent deleteKey(QEvent::KeyPress, Qt::Key_Delete, Qt::NoModifier);
        QApplication::sendEvent(map, &deleteKey);
        check(confirm.count() == 1 && !manager.getDeviceNames().contains(scaler), "Delete asks and removes a placed device");
        mapWindow->setUndoIndex(map->getUndoStack()->index() - 1);
        check(manager.getDeviceNames().contains(scaler) && map->getConnection(generator, scaler),
              "the window's history brings the device back with its link");
    }

    // Closing down as a host does: the windows close (and delete themselves once the event loop
    // runs), the dashboard and the settings are saved.
    mapWindow->close();
    log->close();
    QTimer::singleShot(0, &app, &QCoreApplication::quit);
    app.exec();
    check(!mapWindowAlive && !logAlive && !settingsAlive, "the map window, the log and the settings close");
    // README: keep-dashboard
    dashboard.saveDashboard(); // the graph, with every widget's place, then the widgets' own file
    // README end
    check(QFile::exists(manager.getConfigPath()) && QFile::exists(dashboard.getLayoutFile()),
          "the dashboard is saved with the graph");
    check(config->saveConfig(), "the host's settings are saved");

    std::printf("DozeRozOZU %s: %d failed check(s)\n", DozeRozOZUVersion::version, failures);
    return failures == 0 ? 0 : 1;
}

#include "main.moc"
