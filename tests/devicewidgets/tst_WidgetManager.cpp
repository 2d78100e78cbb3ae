#include "DeviceConfigWidget.h"
#include "DeviceWidgetArea.h"
#include "ModalRunner.h"
#include "TestDeviceManager.h"
#include "TestGuiDevices.h"
#include "TestSupport.h"
#include "WidgetManager.h"

#include <QEventLoop>
#include <QPushButton>
#include <QSettings>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QToolButton>

class tst_WidgetManager : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<TestDeviceManager> manager;
    std::unique_ptr<QTemporaryDir> dir;
    std::unique_ptr<WidgetManager> widgets;
    std::unique_ptr<DeviceWidgetArea> area;
    /// The grid button last clicked, and whether its click is running.
    QPointer<QToolButton> lastClicked;
    bool clicking = false;

    TestGuiDevice* guiDevice(const QString& name) const { return dynamic_cast<TestGuiDevice*>(manager->getDevice(name)); }

    /// Creates a lamp in area, initialised or not, and returns its name.
    QString createLamp(const QString& area, bool initialise)
    {
        const QString name = manager->createDevice("lamp", false);
        guiDevice(name)->setArea(area);
        if (initialise)
            manager->initialiseDevice(name);
        return name;
    }

    /// A manager of the area "main" loaded from the device manager, with its grid when withGrid.
    void load(bool withGrid, const QString& layoutFile = QString())
    {
        widgets = std::make_unique<WidgetManager>("main", layoutFile.isEmpty() ? dir->filePath("dashboard.ini") : layoutFile);
        widgets->loadOwnWidgets(manager.get());
        if (withGrid)
            area.reset(widgets->getWidgetsArea());
        manager->clearCallLog();
    }

    bool onGrid(const QString& name) const
    {
        return area->getWidgets().contains(QPointer<BaseWidget>(widgets->findWidget(name)));
    }

    std::unique_ptr<TestDeviceManager> newManager() const
    {
        auto made = std::make_unique<TestDeviceManager>();
        made->registerDeviceType("lamp", DeviceTypeInfo{{"GUI"}, "widget"}, [] { return new TestGuiDevice; });
        made->registerDeviceType("plain", DeviceTypeInfo{{"General"}, QString()}, [] { return new BaseDevice; });
        return made;
    }

    QString graphFile() const { return dir->filePath("graph.yaml"); }

    /// Two running lamps side by side, on a shown grid in edit mode, with a graph file to keep them in.
    void editPair(const WidgetPosition& second = WidgetPosition(0, 1))
    {
        guiDevice(createLamp("main", true))->setPosition(WidgetPosition(0, 0));
        guiDevice(createLamp("main", true))->setPosition(second);
        manager->setConfigPath(graphFile());
        load(true);
        area->resize(400, 300);
        area->show();
        area->setEditingEnabled(true);
    }

    /// Clicks the grid's edit-mode button of that name, answering its menu (if any) with entry.
    void click(const QString& name, const QString& entry = QString())
    {
        QToolButton* button = nullptr;
        auto shown = [&] {
            const QList<QToolButton*> found = area->findChildren<QToolButton*>(name);
            auto visible = std::find_if(found.cbegin(), found.cend(), [](QToolButton* b) { return !b->isHidden(); });
            button = visible == found.cend() ? nullptr : *visible;
            return button != nullptr;
        };
        QTRY_VERIFY(shown());
        ModalRunner::MenuAnswerGuard choose(entry);
        lastClicked = button;
        clicking = true;
        QTest::mouseClick(button, Qt::LeftButton);
        clicking = false;
    }

    /// Ends this run as a host's quit does and starts the next one from the saved graph; false without one.
    bool restart()
    {
        area.reset();
        widgets.reset();
        manager.reset();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        manager = newManager();
        if (!manager->loadYamlConfig(graphFile()))
            return false;
        load(true);
        widgets->initialiseWidgets();
        return true;
    }

    QList<WidgetPosition> placesOf(const QStringList& names) const
    {
        QList<WidgetPosition> places;
        for (const QString& name : names)
            places.append(widgets->findWidget(name) ? widgets->findWidget(name)->getPosition() : WidgetPosition(-9, -9));
        return places;
    }

private Q_SLOTS:
    void initTestCase()
    {
        DeviceManager registrar;
        WidgetManager::registerGuiDevices(registrar);
    }

    void init()
    {
        dir = std::make_unique<QTemporaryDir>();
        manager = newManager();
    }

    void cleanup()
    {
        area.reset();
        widgets.reset();
        manager.reset();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }

    void registeringThePositionTypeLeavesTheManagerAlone()
    {
        // Given a device manager no widget manager has read
        TestDeviceManager other;
        const QStringList types = other.getDeviceTypes();

        // When the position type is registered through it once more
        WidgetManager::registerGuiDevices(other);

        // Then the manager holds what it held, and positions still travel by name
        QCOMPARE(other.getDeviceTypes(), types);
        QVERIFY(other.getDeviceNames().isEmpty());
        const QVariant position = QVariant::fromValue(WidgetPosition(1, 2, 1, 3));
        QCOMPARE(QMetaType::typeName(position.userType()), "WidgetPosition");
    }

    void loadsWidgetsOfItsOwnGuiDevicesOnly()
    {
        // Given a GUI device of another area, a plain device, and two of "main", one not running
        createLamp("side", true);
        manager->createDevice("plain", true);
        const QString dormant = createLamp("main", false);
        const QString running = createLamp("main", true);
        load(false);
        QCOMPARE(widgets->widgetsCount(), 2);
        QVERIFY(!widgets->findWidget(dormant)->isInitialised() && widgets->findWidget(running)->isInitialised());
        widgets->initialiseWidgets();
        QVERIFY(widgets->findWidget(dormant)->isInitialised());

        // A later device gets its widget while a grid exists
        area.reset(widgets->getWidgetsArea());
        const QString late = createLamp("main", true);
        QVERIFY(onGrid(late) && widgets->findWidget(late)->isInitialised());
    }

    void gridIsKeptUntilTheHostDeletesIt()
    {
        const QString first = createLamp("main", true);
        const QString second = createLamp("main", true);
        guiDevice(first)->setPosition(WidgetPosition(0, 0));
        guiDevice(second)->setPosition(WidgetPosition(0, 1));
        load(true);
        QCOMPARE(widgets->getWidgetsArea(), area.get());

        // The widgets outlive a grid the host deletes, and the next grid shows them again
        area.reset();
        area.reset(widgets->getWidgetsArea());
        QCOMPARE(area->getWidgets().size(), 2);
        QCOMPARE(widgets->findWidget(second)->parentWidget(), area.get());
    }

    void removedDeviceDropsItsWidgetWithoutAGrid()
    {
        const QString name = createLamp("main", true);
        load(false);
        QPointer<BaseWidget> widget = widgets->findWidget(name);
        manager->removeDevice(name);
        QCOMPARE(widgets->widgetsCount(), 0);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QVERIFY(!widget);
    }

    void addRequestCreatesPlacesAndInitialisesDevice()
    {
        load(true);
        Q_EMIT area->newWidgetRequested("lamp", 2, 3);
        QCOMPARE(manager->callLog(), QStringList({"createDevice(lamp,false)", "setDeviceParam(lamp1,widget/row,2)",
                                                  "setDeviceParam(lamp1,widget/column,3)",
                                                  "setDeviceParam(lamp1,widget/area,main)", "initialiseDevice(lamp1)",
                                                  "saveYamlConfig()"}));
        QVERIFY(onGrid("lamp1"));

        // A creation the device manager refuses ends the request with a warning
        manager->clearCallLog();
        manager->setRefuseCreation(true);
        TestSupport::LogCapture log;
        Q_EMIT area->newWidgetRequested("lamp", 0, 0);
        QCOMPARE(manager->callLog(), QStringList({"createDevice(lamp,false)"}));
        QVERIFY(log.contains("WidgetManager: could not create a device of type lamp"));
    }

    void addRequestIsRefusedUnlessItMakesAShownWidget_data()
    {
        QTest::addColumn<QString>("type");
        QTest::addColumn<int>("row");
        QTest::addColumn<int>("column");
        QTest::addColumn<QString>("refusal");
        // A lamp covering (0, 0) to (1, 1), and one at (0, 2)
        QTest::newRow("a widget's own cell") << "lamp" << 0 << 2 << "WidgetManager: cell (0, 2) is taken";
        QTest::newRow("the top-left of a spanning widget") << "lamp" << 0 << 0 << "WidgetManager: cell (0, 0) is taken";
        QTest::newRow("a cell a widget spans over") << "lamp" << 1 << 1 << "WidgetManager: cell (1, 1) is taken";
        QTest::newRow("the free cell below a widget") << "lamp" << 1 << 2 << QString();
        QTest::newRow("a type without widgets") << "plain" << 1 << 2 << "WidgetManager: type plain makes no widget";
        QTest::newRow("an unknown type") << "nosuch" << 1 << 2 << "WidgetManager: type nosuch makes no widget";
        QTest::newRow("a widget type making no GUI device") << "fake" << 1 << 2 << "WidgetManager: type fake makes no widget";
        QTest::newRow("a negative row") << "lamp" << -1 << 0 << "WidgetManager: cell (-1, 0) is not on the grid";
        QTest::newRow("a negative column") << "lamp" << 2 << -1 << "WidgetManager: cell (2, -1) is not on the grid";
    }

    void addRequestIsRefusedUnlessItMakesAShownWidget()
    {
        QFETCH(QString, type);
        QFETCH(int, row);
        QFETCH(int, column);
        QFETCH(QString, refusal);
        manager->registerDeviceType("fake", DeviceTypeInfo{{"GUI"}, "widget"}, [] { return new BaseDevice; });
        guiDevice(createLamp("main", true))->setPosition(WidgetPosition(0, 0, 2, 2));
        guiDevice(createLamp("main", true))->setPosition(WidgetPosition(0, 2));
        load(true);
        const QStringList devices = manager->getDeviceNames();

        TestSupport::LogCapture log;
        Q_EMIT area->newWidgetRequested(type, row, column);

        // A refused request leaves no device behind, and the log says why
        if (refusal.isEmpty()) {
            QCOMPARE(manager->getDeviceNames().size(), devices.size() + 1);
            QCOMPARE(area->getWidgets().size(), 3);
        } else {
            QVERIFY2(log.contains(refusal), qPrintable(refusal));
            QCOMPARE(manager->getDeviceNames(), devices);
            QCOMPARE(area->getWidgets().size(), 2);
        }
    }

    void removeAndSettingsRequestsReachTheirTargets()
    {
        const QString name = createLamp("main", true);
        load(true);

        // The settings control opens the device's dialog on the grid, without waiting for it
        Q_EMIT area->widgetSettingsRequested(name);
        QPointer<DeviceConfigWidget> dialog = area->findChild<DeviceConfigWidget*>();
        QVERIFY(dialog && dialog->isVisible());
        QCOMPARE(dialog->getDeviceInfo().name, name);
        manager->clearCallLog();

        Q_EMIT area->removeWidgetRequested(name);
        QCOMPARE(manager->callLog(), QStringList({QStringLiteral("removeDevice(%1)").arg(name), "saveYamlConfig()"}));
        QVERIFY(area->getWidgets().isEmpty());
    }

    void saveWritesEveryWidgetsParametersUnlessReadOnly()
    {
        // Given two widgets, one of them with a changed parameter
        const QString first = createLamp("main", true);
        const QString second = createLamp("main", false);
        load(false);
        widgets->findWidget(second)->setParamValue("colour", "blue");

        // When they are saved read-only, nothing is written
        widgets->setReadonly(true);
        TestSupport::LogCapture log;
        QVERIFY(widgets->saveWidgets());
        QVERIFY(!QFile::exists(widgets->getLayoutFile()));

        // Otherwise the layout file holds one group per widget with its parameters
        widgets->setReadonly(false);
        QVERIFY(widgets->saveWidgets());
        QSettings file(widgets->getLayoutFile(), QSettings::IniFormat);
        QCOMPARE(file.childGroups(), QStringList({first, second}));
        QCOMPARE(file.value(second + "/colour").toString(), QStringLiteral("blue"));

        // A file that cannot be written is reported, not taken for saved
        load(false, dir->filePath("missing/dashboard.ini"));
        log.clear();
        QVERIFY(!widgets->saveWidgets());
        QVERIFY(log.contains("WidgetManager: cannot save widgets to " + dir->filePath("missing/dashboard.ini")));
    }

    void gridEditsAreThereAtTheNextStart_data()
    {
        QTest::addColumn<QString>("button");
        QTest::addColumn<QString>("entry");
        QTest::addColumn<QList<WidgetPosition>>("places");
        const WidgetPosition gone(-9, -9);
        QTest::newRow("swap") << "swap:0,0:0,1" << QString() << QList<WidgetPosition>{{0, 1}, {0, 0}};
        QTest::newRow("expand") << "settings:0,1" << "Expand rightward" << QList<WidgetPosition>{{0, 0}, {0, 1, 1, 2}};
        QTest::newRow("remove") << "settings:0,1" << "Remove" << QList<WidgetPosition>{{0, 0}, gone};
        QTest::newRow("add at the left edge") << "add:0,-1" << "Lamp" << QList<WidgetPosition>{{0, 1}, {0, 2}, {0, 0}};
    }

    void gridEditsAreThereAtTheNextStart()
    {
        QFETCH(QString, button);
        QFETCH(QString, entry);
        QFETCH(QList<WidgetPosition>, places);
        // Given two lamps side by side on a grid in edit mode
        editPair();

        // When the user edits the grid, leaves edit mode and the host quits without saving
        click(button, entry);
        area->setEditingEnabled(false);
        QVERIFY(restart());

        // Then the next start shows the edit
        QCOMPARE(placesOf({"lamp1", "lamp2", "lamp3"}).mid(0, places.size()), places);
    }

    void eachEditIsSavedAndLeavingEditModeSavesItAgain()
    {
        editPair();
        QSignalSpy failures(widgets.get(), &WidgetManager::saveFailed);

        // Switching edit mode without an edit writes nothing
        area->setEditingEnabled(false);
        area->setEditingEnabled(true);
        QVERIFY(!QFile::exists(graphFile()));

        // An edit is saved at once, with the widgets' own file, and once more on leaving edit mode
        click("swap:0,0:0,1");
        QCOMPARE(manager->callLog().count("saveYamlConfig()"), 1);
        QVERIFY(QFile::exists(graphFile()) && QFile::exists(widgets->getLayoutFile()));
        area->setEditingEnabled(false);
        QCOMPARE(manager->callLog().count("saveYamlConfig()"), 2);
        QCOMPARE(failures.count(), 0);

        // A graph that cannot be written is announced, and tried again on leaving edit mode,
        // which fails as well without a second announcement
        manager->setConfigPath(dir->filePath("missing/graph.yaml"));
        area->setEditingEnabled(true);
        TestSupport::LogCapture log;
        click("swap:0,1:0,0"); // named from the first widget's cell, which is now the right one
        QTRY_COMPARE(failures.count(), 1);
        QCOMPARE(failures.first().first().toString(), dir->filePath("missing/graph.yaml"));
        QVERIFY(log.contains("WidgetManager: the device manager could not save the widgets' places"));
        area->setEditingEnabled(false);
        QCOMPARE(manager->callLog().count("saveYamlConfig()"), 4);
        QCoreApplication::processEvents(); // where a second notice would come from
        QCOMPARE(failures.count(), 1);

        // Once a save got through, the next failure is announced again
        manager->setConfigPath(graphFile());
        area->setEditingEnabled(true);
        click("swap:0,0:0,1");
        manager->setConfigPath(dir->filePath("missing/graph.yaml"));
        click("swap:0,1:0,0");
        QTRY_COMPARE(failures.count(), 2);
    }

    void failedSaveIsToldOnceTheClickIsOver_data()
    {
        QTest::addColumn<QString>("button");
        QTest::addColumn<QString>("entry");
        // lamp1 at (0, 0), lamp2 at (0, 1) over two rows
        QTest::newRow("swap") << "swap:0,0:0,1" << QString();
        QTest::newRow("add") << "add:0,2" << "Lamp";
        QTest::newRow("expand") << "settings:0,0" << "Expand downward";
        QTest::newRow("shrink") << "settings:0,1" << "Shrink upward";
        QTest::newRow("remove") << "settings:0,1" << "Remove";
    }

    void failedSaveIsToldOnceTheClickIsOver()
    {
        QFETCH(QString, button);
        QFETCH(QString, entry);
        // Given a grid whose graph cannot be written, and a host answering a failed save with a modal box
        editPair(WidgetPosition(0, 1, 2, 1));
        manager->setConfigPath(dir->filePath("missing/graph.yaml"));
        int told = 0;
        bool toldInsideClick = false;
        connect(widgets.get(), &WidgetManager::saveFailed, this, [&] {
            ++told;
            toldInsideClick = clicking;
            QEventLoop box;
            QTimer::singleShot(20, &box, &QEventLoop::quit);
            box.exec();
        });

        // When the user edits the grid
        TestSupport::LogCapture log;
        click(button, entry);

        // Then the clicked button outlived its click, and the host heard of the failure after it
        QVERIFY(lastClicked);
        QCOMPARE(told, 0);
        QTRY_COMPARE(told, 1);
        QVERIFY(!toldInsideClick);
        // The button, discarded by the edit's rebuild, goes once nothing runs
        QTRY_VERIFY(!lastClicked);
    }

    void readOnlyDashboardKeepsNothing_data()
    {
        QTest::addColumn<bool>("deviceManagerReadonly");
        QTest::newRow("widget manager read-only") << false;
        QTest::newRow("device manager read-only") << true;
    }

    void readOnlyDashboardKeepsNothing()
    {
        QFETCH(bool, deviceManagerReadonly);
        editPair();
        if (deviceManagerReadonly)
            manager->setReadonly(true);
        else
            widgets->setReadonly(true);
        QSignalSpy failures(widgets.get(), &WidgetManager::saveFailed);

        click("swap:0,0:0,1");
        area->setEditingEnabled(false);

        // The edit shows, but neither file is written, and that is no failure
        QCOMPARE(placesOf({"lamp1", "lamp2"}), (QList<WidgetPosition>{{0, 1}, {0, 0}}));
        QVERIFY(!manager->callLog().contains("saveYamlConfig()"));
        QVERIFY(!QFile::exists(graphFile()) && !QFile::exists(widgets->getLayoutFile()));
        QCOMPARE(failures.count(), 0);
        QVERIFY(widgets->saveDashboard());
    }

    void destructorDeinitialisesOnlyInitialisedWidgets()
    {
        // A running device, a dormant one, and one already stopped again
        const QString running = createLamp("main", true);
        const QString dormant = createLamp("main", false);
        const QString stopped = createLamp("main", true);
        load(false);
        manager->deinitialiseDevice(stopped);
        QPointer<BaseWidget> widget = widgets->findWidget(running);
        widgets.reset();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QCOMPARE(guiDevice(running)->counts.deinitialised, 1);
        QCOMPARE(guiDevice(dormant)->counts.deinitialised, 0);
        QCOMPARE(guiDevice(stopped)->counts.deinitialised, 1);
        QVERIFY(!widget);
    }
};

QTEST_MAIN(tst_WidgetManager)
#include "tst_WidgetManager.moc"
