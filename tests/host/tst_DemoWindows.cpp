#include "DashboardWindow.h"
#include "DemoQuit.h"
#include "DemoGuiDevices.h"
#include "DemoWindowSet.h"
#include "DemoWindows.h"
#include "DeviceConfigWidget.h"
#include "DeviceListModel.h"
#include "DeviceListWindow.h"
#include "DeviceManager.h"
#include "DeviceMapWidget.h"
#include "DeviceMapWindow.h"
#include "DevicePanelsWindow.h"
#include "MapLayoutFile.h"
#include "MoveItemsOperation.h"
#include "RenameDeviceOperation.h"
#include "SafeFileWriter.h"
#include "SettingsWindow.h"
#include "TestSupport.h"
#include "WirelessNetworkWidget.h"
#include "WirelessWindow.h"
#include "ZenticMessageBox.h"

#include <QAbstractItemModelTester>
#include <QAction>
#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <QMenu>
#include <QPushButton>
#include <QTableView>
#include <QTemporaryDir>
#include <QToolBar>
#include <QtTest>

#include <algorithm>
#include <memory>

namespace {

// A manager that counts the devices read from it: the work of a window that follows it.
class ReadCountingManager : public DeviceManager
{
public:
    DeviceInfo getDeviceInfo(const QString& name) const override
    {
        ++reads;
        return DeviceManager::getDeviceInfo(name);
    }
    QVector<DeviceInfo> getDeviceInfos() const override
    {
        const QVector<DeviceInfo> infos = DeviceManager::getDeviceInfos();
        reads += infos.size();
        return infos;
    }

    mutable int reads = 0;
};

// Every cell of a table, row by row.
QList<QStringList> tableText(const QAbstractItemModel* table)
{
    QList<QStringList> rows;
    for (int row = 0; row < table->rowCount(); ++row) {
        QStringList cells;
        for (int column = 0; column < table->columnCount(); ++column)
            cells.append(table->index(row, column).data().toString());
        rows.append(cells);
    }
    return rows;
}

QAbstractItemModel* rowsOf(QWidget* deviceList)
{
    return deviceList->findChild<QTableView*>()->model();
}

QStringList listedNames(const QComboBox* chooser)
{
    QStringList names;
    for (int row = 0; row < chooser->count(); ++row)
        names.append(chooser->itemData(row, DeviceListModel::NameRole).toString());
    return names;
}

} // namespace

// The demo's windows as a user meets them after closing some: the settings within reach from
// every one, the map telling once that it could not save, and no window left behind.
class tst_DemoWindows : public QObject
{
    Q_OBJECT

    QTemporaryDir home;
    std::unique_ptr<ReadCountingManager> manager;
    std::unique_ptr<QWidget> window;
    std::vector<std::unique_ptr<QWidget>> all;
    std::unique_ptr<DemoWindowSet> set;

    /// Loads the sample graph as the demo does at start, saves going to the user's copy.
    bool loadSampleGraph()
    {
        manager = std::make_unique<ReadCountingManager>();
        registerDemoGuiDeviceTypes(manager.get());
        if (!manager->loadYamlConfig(QStringLiteral(DEMO_DATA_DIR "/demo-graph.yaml")))
            return false;
        manager->setConfigPath(demoDataFile(QStringLiteral("demo-graph.yaml")));
        return true;
    }

    /// Opens the demo window of that name over the sample graph, as the demo does at start.
    QWidget* open(const QString& name)
    {
        if (!loadSampleGraph())
            return nullptr;
        for (const DemoWindow& description : demoWindows()) {
            if (description.name == name)
                window.reset(description.create(manager.get()));
        }
        if (window)
            window->show();
        return window.get();
    }

    /// Opens every window of the demo, in its order, as the demo does at start.
    bool openAll()
    {
        if (!loadSampleGraph())
            return false;
        for (const DemoWindow& description : demoWindows()) {
            all.emplace_back(description.create(manager.get()));
            all.back()->show();
        }
        return true;
    }

    /// Changes the sample graph as a test row names it, within one turn of the event loop.
    void change(const QString& what)
    {
        DeviceManager& graph = *manager;
        if (what == "register") {
            QVERIFY(!graph.createDevice("scaler", true).isEmpty());
        } else if (what == "remove") {
            QVERIFY(graph.removeDevice("counter1"));
        } else if (what == "rename") {
            QVERIFY(graph.renameDevice("counter1", "counter9"));
        } else if (what == "link") {
            QVERIFY(graph.addDeviceConnection("generator2", "scaler3", "", ""));
        } else if (what == "state") {
            // A device of a worker thread: its report comes queued.
            QVERIFY(graph.deinitialiseDevice("scaler2"));
        } else if (what == "describe") {
            graph.getDevice("generator2")->setDescription("Slow wave");
        } else if (what == "remove and make again") {
            QVERIFY(graph.removeDevice("counter1"));
            QVERIFY(graph.renameDevice(graph.createDevice("counter", true), "counter1"));
        } else if (what == "many") {
            const QStringList names = graph.getDeviceNames();
            for (int i = 1; i < names.size(); i += 2)
                QVERIFY(graph.removeDevice(names.at(i)));
            for (int i = 0; i < 20; ++i)
                QVERIFY(!graph.createDevice("scaler", true).isEmpty());
            QVERIFY(graph.renameDevice("generator1", "wave1"));
            QVERIFY(graph.addDeviceConnection("wave1", "scaler4", "", ""));
        } else if (what == "rename chosen") {
            QVERIFY(graph.renameDevice("generator1", "wave1"));
        } else if (what == "remove chosen") {
            QVERIFY(graph.removeDevice("generator1"));
        } else {
            QFAIL(qPrintable("No such change: " + what));
        }
    }

    static QList<SettingsWindow*> shownSettings()
    {
        QList<SettingsWindow*> shown;
        for (QWidget* widget : QApplication::topLevelWidgets()) {
            auto* settings = qobject_cast<SettingsWindow*>(widget);
            if (settings && settings->isVisible())
                shown.append(settings);
        }
        return shown;
    }

    /// The windows from's "Demo" menu lists, by name, as the user opens it; a click chooses choice.
    static QStringList chooseFromDemoMenu(QWidget* from, const QString& choice)
    {
        auto* menu = from->findChild<QMenu*>(QStringLiteral("demoMenu"));
        menu->popup(from->mapToGlobal(QPoint(0, 0)));
        QStringList names;
        for (QAction* entry : menu->actions()) {
            if (entry->objectName() != QLatin1String("demoWindowAction"))
                continue;
            names.append(entry->data().toString());
            if (names.last() == choice)
                QTest::mouseClick(menu, Qt::LeftButton, {}, menu->actionGeometry(entry).center());
        }
        menu->hide();
        return names;
    }

    /// A folder standing where the file is blocks its writing, whatever the user's rights.
    static void setWritable(const QString& file, bool writable)
    {
        if (writable)
            QVERIFY(QDir(file).removeRecursively());
        else
            QVERIFY(QFile::remove(file) && QDir().mkpath(file));
    }

private Q_SLOTS:
    void initTestCase()
    {
        QVERIFY(home.isValid());
        qputenv("XDG_DATA_HOME", home.path().toUtf8());
        QCoreApplication::setApplicationName(QStringLiteral("dozerozozu-demo"));
    }

    void cleanup()
    {
        // First: the demo's own settings window among them is not for the loop below to delete.
        all.clear();
        set.reset();
        for (SettingsWindow* settings : shownSettings())
            delete settings;
        window.reset();
        manager.reset();
    }

    void everyWindowOffersTheSettings_data()
    {
        QTest::addColumn<QString>("name");
        for (const DemoWindow& description : demoWindows()) {
            if (description.name != QLatin1String("settings"))
                QTest::newRow(qPrintable(description.name)) << description.name;
        }
    }

    void everyWindowOffersTheSettings()
    {
        QFETCH(QString, name);
        // Given one window of the demo open, and no settings window
        QWidget* opened = open(name);
        QVERIFY(opened);
        QVERIFY(shownSettings().isEmpty());
        auto* entry = opened->findChild<QAction*>(QStringLiteral("demoSettingsAction"));
        QVERIFY(entry);

        // When the user chooses Settings from its menu, twice
        entry->trigger();
        QCOMPARE(shownSettings().size(), 1);
        SettingsWindow* first = shownSettings().first();
        entry->trigger();

        // Then the settings are shown, the open ones brought to the front rather than doubled
        QCOMPARE(shownSettings(), QList<SettingsWindow*>{first});
        // And once closed, they open again
        QPointer<SettingsWindow> closed = first;
        first->close();
        QTRY_VERIFY(!closed);
        entry->trigger();
        QCOMPARE(shownSettings().size(), 1);
    }

    void demoMenuShowsTheChosenWindow_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("how");
        for (const DemoWindow& description : demoWindows()) {
            if (description.name != QLatin1String("settings"))
                QTest::newRow(qPrintable(description.name + " closed")) << description.name << "closed";
        }
        QTest::newRow("map deleted") << "map" << "deleted";
        QTest::newRow("dashboard deleted") << "dashboard" << "deleted";
        QTest::newRow("log minimised") << "log" << "minimised";
        QTest::newRow("devices open behind") << "devices" << "open";
    }

    void demoMenuShowsTheChosenWindow()
    {
        QFETCH(QString, name);
        QFETCH(QString, how);
        // Given the demo's windows as at start, one of them closed (and deleted), minimised or
        // behind the others
        QVERIFY(loadSampleGraph());
        set = std::make_unique<DemoWindowSet>(manager.get());
        set->openAll();
        const int index = set->indexOf(name);
        QPointer<QWidget> before = set->window(index);
        const QString title = before->windowTitle();
        if (how == "closed")
            QVERIFY(before->close());
        else if (how == "deleted")
            delete before.data();
        else if (how == "minimised")
            before->showMinimized();

        // When the user chooses it from another window's "Demo" menu, which lists them all but
        // the settings ("Settings..." shows those)
        QStringList listed;
        for (const DemoWindow& description : demoWindows())
            listed.append(description.name);
        listed.removeOne(QStringLiteral("settings"));
        QCOMPARE(chooseFromDemoMenu(set->window(set->indexOf(name == "devices" ? "map" : "devices")), name), listed);

        // Then that window is in front, and once: the same one unless it was deleted
        QWidget* shown = set->window(index);
        QVERIFY(shown && shown->isVisible() && !shown->isMinimized());
        QCOMPARE(shown == before.data(), how != "deleted");
        QTRY_COMPARE(QApplication::activeWindow(), shown);
        const QWidgetList windows = QApplication::topLevelWidgets();
        const auto withTitle = [&title](const QWidget* window) { return window->isVisible() && window->windowTitle() == title; };
        QCOMPARE(int(std::count_if(windows.cbegin(), windows.cend(), withTitle)), 1);
    }

    void quitFromAnyWindowClosesThemAll_data()
    {
        QTest::addColumn<int>("from");
        const QList<DemoWindow> windows = demoWindows();
        for (int i = 0; i < windows.size(); ++i)
            QTest::newRow(qPrintable(windows.at(i).name)) << i;
    }

    void quitFromAnyWindowClosesThemAll()
    {
        QFETCH(int, from);
        // Given every window of the demo open, the dashboard in edit mode
        QVERIFY(openAll());
        DashboardWindow* dashboard = nullptr;
        for (const auto& opened : all)
            dashboard = dashboard ? dashboard : qobject_cast<DashboardWindow*>(opened.get());
        QVERIFY(dashboard);
        dashboard->setEditingEnabled(true);
        auto* edit = dashboard->findChild<QToolBar*>()->actions().value(0);
        QVERIFY(edit && edit->isChecked());

        // When the user quits from one of them (the settings have the key only)
        auto* quit = all.at(size_t(from))->findChild<QAction*>(QStringLiteral("demoQuitAction"));
        QVERIFY(quit);
        QCOMPARE(quit->shortcut(), QKeySequence(Qt::CTRL + Qt::Key_Q));
        quit->trigger();

        // Then every window is closed, each as the user closes it: the dashboard left edit mode
        for (const auto& opened : all)
            QTRY_VERIFY2(!opened->isVisible(), qPrintable(opened->windowTitle()));
        QVERIFY(!edit->isChecked());
    }

    void mapTellsOnceThatItCouldNotSave()
    {
        // Given the map window, its data folder's files blocked after it opened
        auto* map = qobject_cast<DeviceMapWindow*>(open(QStringLiteral("map")));
        QVERIFY(map);
        DeviceMapWidget* view = map->getDeviceMapWidget();
        const QString layout = demoDataFile(QStringLiteral("demo-map.ini"));
        const QString graph = demoDataFile(QStringLiteral("demo-graph.yaml"));
        QVERIFY(manager->saveYamlConfig());
        setWritable(layout, false);
        setWritable(graph, false);
        ZenticMessageBox::AnswerGuard ok(QMessageBox::Ok);
        TestSupport::LogCapture log;

        // When the user moves a device twice and renames one, each turn of the event loop apart
        const auto move = [view](double x) {
            view->pushOperation(new MoveItemsOperation(view, {{"counter1", QPointF()}}, {{"counter1", QPointF(x, 40)}},
                                                       MoveItemsOperation::Devices));
            QCoreApplication::processEvents();
        };
        move(100);
        move(200);
        view->pushOperation(new RenameDeviceOperation(view, "counter1", "counter9"));
        QCoreApplication::processEvents();

        // Then one box said so, naming the file
        QCOMPARE(ok.count(), 1);
        QCOMPARE(ok.texts().first(), QStringLiteral("The map could not be saved."));
        QVERIFY(ok.informativeTexts().first().contains(QDir::toNativeSeparators(layout)));
        setWritable(layout, true);
        setWritable(graph, true);
    }

    void mapTellsWhetherAFailedSaveMayStillBeKept_data()
    {
        QTest::addColumn<bool>("quitting");
        QTest::addColumn<QString>("told");
        QTest::newRow("an edit's save") << false << "kept only once a later save succeeds";
        QTest::newRow("the closing save at Quit") << true << "The demo is ending: your changes to the map were not saved.";
    }

    void mapTellsWhetherAFailedSaveMayStillBeKept()
    {
        QFETCH(bool, quitting);
        QFETCH(QString, told);
        // Given the map window, its layout file blocked after it opened
        auto* map = qobject_cast<DeviceMapWindow*>(open(QStringLiteral("map")));
        QVERIFY(map);
        DeviceMapWidget* view = map->getDeviceMapWidget();
        const QString layout = demoDataFile(QStringLiteral("demo-map.ini"));
        QVERIFY(manager->saveYamlConfig());
        setWritable(layout, false);
        ZenticMessageBox::AnswerGuard ok(QMessageBox::Ok);

        // When the user moves a device, or quits
        if (quitting)
            DemoQuit::quit();
        else
            view->pushOperation(new MoveItemsOperation(view, {{"counter1", QPointF()}}, {{"counter1", QPointF(100, 40)}},
                                                       MoveItemsOperation::Devices));
        QCoreApplication::processEvents();

        // Then the box says whether the changes may still be kept
        QCOMPARE(ok.count(), 1);
        QVERIFY2(ok.informativeTexts().first().contains(told), qPrintable(ok.informativeTexts().first()));
        setWritable(layout, true);
    }

    void mapKeepsTheGraphAndItsLayoutInStep_data()
    {
        QTest::addColumn<QString>("then");
        QTest::newRow("another device moved") << "move";
        QTest::newRow("the map window closed") << "close";
        QTest::newRow("the demo quitting") << "quit";
    }

    void mapKeepsTheGraphAndItsLayoutInStep()
    {
        QFETCH(QString, then);
        // Given the map window on the shipped layout, a plain file put where its data folder
        // was after it opened
        const QString folder = QFileInfo(demoDataFile(QStringLiteral("demo-graph.yaml"))).absolutePath();
        QVERIFY(QDir(folder).removeRecursively());
        auto* map = qobject_cast<DeviceMapWindow*>(open(QStringLiteral("map")));
        QVERIFY(map);
        DeviceMapWidget* view = map->getDeviceMapWidget();
        const QString graph = demoDataFile(QStringLiteral("demo-graph.yaml"));
        const QString layout = demoDataFile(QStringLiteral("demo-map.ini"));
        QVERIFY(manager->saveYamlConfig());
        QVERIFY(QDir(folder).removeRecursively() && SafeFileWriter::writeFile(folder, "not a folder"));
        ZenticMessageBox::AnswerGuard ok(QMessageBox::Ok);
        TestSupport::LogCapture log;

        // When the user renames a device, makes the folder writable again, then moves another
        // device, closes the map or quits
        view->pushOperation(new RenameDeviceOperation(view, "counter1", "counter9"));
        QCoreApplication::processEvents();
        QVERIFY(QFile::remove(folder) && QDir().mkpath(folder));
        if (then == "move")
            view->pushOperation(new MoveItemsOperation(view, {{"comparator1", QPointF()}},
                                                       {{"comparator1", QPointF(300, 40)}},
                                                       MoveItemsOperation::Devices));
        else if (then == "close")
            map->close();
        else
            QVERIFY(QMetaObject::invokeMethod(QCoreApplication::instance(), "aboutToQuit"));
        QCoreApplication::processEvents();

        // Then the next start has the rename, and every device in its place
        DeviceManager next;
        registerDemoGuiDeviceTypes(&next);
        QVERIFY(next.loadYamlConfig(graph));
        const QStringList names = next.getDeviceNames();
        QVERIFY(names.contains("counter9") && !names.contains("counter1"));
        const MapLayoutFile places = MapLayoutFile::read(layout);
        for (const QString& name : names) {
            const std::optional<QRect> place = places.deviceRect(name);
            QVERIFY2(place && *place != MapLayoutFile::unplacedRect, qPrintable(name));
        }
        // And the user was told once, of the rename
        QCOMPARE(ok.count(), 1);
    }

    void deviceListFollowsTheManager_data()
    {
        QTest::addColumn<QString>("edit");
        QTest::newRow("a device registered") << "register";
        QTest::newRow("a device removed") << "remove";
        QTest::newRow("a device renamed") << "rename";
        QTest::newRow("two devices linked") << "link";
        QTest::newRow("a state changed") << "state";
        QTest::newRow("a description changed") << "describe";
        QTest::newRow("a device removed and made again") << "remove and make again";
        QTest::newRow("many devices at once") << "many";
    }

    void deviceListFollowsTheManager()
    {
        QFETCH(QString, edit);
        // Given the Devices window over the sample graph, the reports of the devices that started in
        // worker threads heard, every row read once
        auto* window = qobject_cast<DeviceListWindow*>(open(QStringLiteral("devices")));
        QVERIFY(window);
        QAbstractItemModel* rows = rowsOf(window);
        QAbstractItemModelTester tester(rows, QAbstractItemModelTester::FailureReportingMode::QtTest);
        QCoreApplication::processEvents();
        QTRY_VERIFY(!window->model()->hasPendingChanges());
        tableText(rows);
        int reports = 0;
        QObject listener;
        const auto count = [&reports] { ++reports; };
        connect(manager.get(), &DeviceManager::deviceRegistered, &listener, count);
        connect(manager.get(), &DeviceManager::deviceRemoved, &listener, count);
        connect(manager.get(), &DeviceManager::deviceRenamed, &listener, count);
        connect(manager.get(), &DeviceManager::deviceChanged, &listener, count);
        connect(manager.get(), &DeviceManager::deviceStateChanged, &listener, count);
        connect(manager.get(), &DeviceManager::deviceDescriptionChanged, &listener, count);
        manager->reads = 0;

        // When the manager changes so
        change(edit);
        const int readsBefore = manager->reads;
        QList<QStringList> expected;
        {
            DeviceListWindow opened(manager.get());
            expected = tableText(rowsOf(&opened));
        }
        const int readsOfTheOpened = manager->reads - readsBefore;

        // Then, its reports heard, the window shows what a window opened now shows
        QTRY_COMPARE(tableText(rows), expected);
        // And it read no device more often than it heard of one
        QVERIFY2(manager->reads - readsOfTheOpened <= reports,
                 qPrintable(QStringLiteral("%1 reads for %2 reports").arg(manager->reads - readsOfTheOpened).arg(reports)));
    }

    void logWindowKeepsTheChosenDevice_data()
    {
        QTest::addColumn<QString>("edit");
        QTest::addColumn<QString>("chosen");
        QTest::newRow("a device registered") << "register" << "generator1";
        QTest::newRow("another device removed") << "remove" << "generator1";
        QTest::newRow("the chosen device renamed") << "rename chosen" << "wave1";
        QTest::newRow("the chosen device removed") << "remove chosen" << "";
    }

    void logWindowKeepsTheChosenDevice()
    {
        QFETCH(QString, edit);
        QFETCH(QString, chosen);
        // Given the log window over the sample graph, the first wave generator chosen
        auto* window = qobject_cast<DevicePanelsWindow*>(open(QStringLiteral("log")));
        QVERIFY(window);
        QAbstractItemModelTester tester(window->devices(), QAbstractItemModelTester::FailureReportingMode::QtTest);
        auto* chooser = window->findChild<QComboBox*>(QStringLiteral("deviceChooser"));
        auto* settings = window->findChild<QPushButton*>(QStringLiteral("settingsButton"));
        QVERIFY(chooser && settings);
        QCOMPARE(window->chosenDevice(), QStringLiteral("generator1"));

        // When the manager changes so
        change(edit);

        // Then the chooser lists the manager's devices, and the chosen one while it exists
        QTRY_COMPARE(listedNames(chooser), manager->getDeviceNames());
        QCOMPARE(window->chosenDevice(), chosen);
        QCOMPARE(chooser->currentData(DeviceListModel::NameRole).toString(), chosen);
        // And "Settings..." opens its settings, and nothing once it is gone
        QCOMPARE(settings->isEnabled(), !chosen.isEmpty());
        TestSupport::LogCapture log;
        settings->click();
        const QList<DeviceConfigWidget*> dialogs = window->findChildren<DeviceConfigWidget*>();
        QCOMPARE(dialogs.size(), chosen.isEmpty() ? 0 : 1);
        QVERIFY(!log.containsFragment("no device named"));
    }

    void networkListClosesWithTheWirelessWindow()
    {
        // Given the wireless window with its network list open
        auto* wireless = qobject_cast<WirelessWindow*>(open(QStringLiteral("wireless")));
        QVERIFY(wireless);
        QPointer<QWidget> list = wireless->openNetworkList();
        QVERIFY(list && list->isVisible());

        // When the user closes the window
        wireless->close();

        // Then the list is gone from the screen too
        QVERIFY(list);
        QVERIFY(!list->isVisible());
    }
};

QTEST_MAIN(tst_DemoWindows)
#include "tst_DemoWindows.moc"
