#include "DeviceWidgetArea.h"
#include "TestDeviceManager.h"
#include "TestGuiDevices.h"
#include "TestSupport.h"
#include "WidgetManager.h"

#include <QApplication>
#include <QSettings>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

class tst_WidgetManager : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<TestDeviceManager> manager;
    std::unique_ptr<QTemporaryDir> dir;

    QString layoutPath() const { return dir->filePath("dashboard.ini"); }

    TestGuiDevice* guiDevice(const QString& name) const
    {
        return dynamic_cast<TestGuiDevice*>(manager->getDevice(name));
    }

    /// Creates a lamp in area, initialised or not, and returns its name.
    QString createLamp(const QString& area, bool initialise)
    {
        const QString name = manager->createDevice("lamp", false);
        guiDevice(name)->setArea(area);
        if (initialise)
            manager->initialiseDevice(name);
        return name;
    }

    static bool contains(const QList<QPointer<BaseWidget>>& widgets, BaseWidget* widget)
    {
        return std::any_of(widgets.cbegin(), widgets.cend(),
                           [widget](const QPointer<BaseWidget>& entry) { return entry.data() == widget; });
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
        manager = std::make_unique<TestDeviceManager>();
        manager->registerDeviceType("lamp", DeviceTypeInfo{{"GUI"}, "widget"}, [] { return new TestGuiDevice; });
        manager->registerDeviceType("dial", DeviceTypeInfo{{"GUI"}, "widget"}, [] { return new TestGuiDevice; });
        manager->registerDeviceType("shouty", DeviceTypeInfo{{"GUI"}, "Widget"}, [] { return new TestGuiDevice; });
        manager->registerDeviceType("plain", DeviceTypeInfo{{"General"}, QString()},
                                    [] { return new TestPlainDevice; });
    }

    void cleanup()
    {
        manager.reset();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }

    void loadsWidgetsOfItsOwnGuiDevicesOnly()
    {
        // Given a GUI device of another area, a plain device, and two of this area
        createLamp("side", true);
        manager->createDevice("plain", true);
        const QString dormant = createLamp("main", false);
        const QString running = createLamp("main", true);

        // When the manager loads
        WidgetManager widgets("main", layoutPath());
        widgets.loadOwnWidgets(manager.get());

        // Then only this area's devices have widgets, initialised as their devices are
        QCOMPARE(widgets.widgetsCount(), 2);
        QVERIFY(widgets.findWidget(dormant));
        QVERIFY(!widgets.findWidget(dormant)->isInitialised());
        QVERIFY(widgets.findWidget(running)->isInitialised());
        QCOMPARE(widgets.findWidget(dormant)->objectName(), dormant);

        widgets.initialiseWidgets();
        QVERIFY(widgets.findWidget(dormant)->isInitialised());
    }

    void laterDeviceGetsWidgetOnlyWhileGridExists()
    {
        WidgetManager widgets("main", layoutPath());
        widgets.loadOwnWidgets(manager.get());

        const QString early = createLamp("main", true);
        QVERIFY(!widgets.findWidget(early));

        std::unique_ptr<DeviceWidgetArea> area(widgets.getWidgetsArea());
        const QString late = createLamp("main", true);
        const QString elsewhere = createLamp("side", true);
        BaseWidget* widget = widgets.findWidget(late);
        QVERIFY(widget);
        QVERIFY(widget->isInitialised());
        QVERIFY(contains(area->getWidgets(), widget));
        QVERIFY(!widgets.findWidget(elsewhere));

        // The early device gets its widget when it reports itself again
        manager->deinitialiseDevice(early);
        manager->initialiseDevice(early);
        QVERIFY(widgets.findWidget(early));
        QCOMPARE(widgets.widgetsCount(), 2);
    }

    void gridIsKeptUntilTheHostDeletesIt()
    {
        // Given a manager with two widgets on its grid
        const QString first = createLamp("main", true);
        const QString second = createLamp("main", true);
        guiDevice(first)->setPosition(WidgetPosition(0, 0));
        guiDevice(second)->setPosition(WidgetPosition(0, 1));
        WidgetManager widgets("main", layoutPath());
        widgets.loadOwnWidgets(manager.get());
        DeviceWidgetArea* area = widgets.getWidgetsArea();
        QCOMPARE(widgets.getWidgetsArea(), area);
        QCOMPARE(widgets.findWidget(first)->parentWidget(), area);

        // When the host deletes the grid
        delete area;

        // Then the widgets live on and the next grid shows them again
        QVERIFY(widgets.findWidget(first));
        QVERIFY(widgets.findWidget(second));
        std::unique_ptr<DeviceWidgetArea> fresh(widgets.getWidgetsArea());
        QVERIFY(fresh);
        QCOMPARE(fresh->getWidgets().size(), 2);
        QCOMPARE(widgets.findWidget(first)->parentWidget(), fresh.get());
        QCOMPARE(widgets.findWidget(second)->parentWidget(), fresh.get());
    }

    void removedDeviceDropsItsWidget_data()
    {
        QTest::addColumn<bool>("withGrid");
        QTest::newRow("with a grid") << true;
        QTest::newRow("without a grid") << false;
    }

    void removedDeviceDropsItsWidget()
    {
        QFETCH(bool, withGrid);
        const QString name = createLamp("main", true);
        const QString other = createLamp("side", true);
        WidgetManager widgets("main", layoutPath());
        widgets.loadOwnWidgets(manager.get());
        std::unique_ptr<DeviceWidgetArea> area(withGrid ? widgets.getWidgetsArea() : nullptr);
        QPointer<BaseWidget> widget = widgets.findWidget(name);

        manager->removeDevice(other);
        QCOMPARE(widgets.widgetsCount(), 1);
        manager->removeDevice(name);

        QCOMPARE(widgets.widgetsCount(), 0);
        QVERIFY(!widgets.findWidget(name));
        if (area)
            QVERIFY(area->getWidgets().isEmpty());
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QVERIFY(!widget);
    }

    void addRequestCreatesPlacesAndInitialisesDevice()
    {
        // Given a manager of area "side" with its grid
        WidgetManager widgets("side", layoutPath());
        widgets.loadOwnWidgets(manager.get());
        std::unique_ptr<DeviceWidgetArea> area(widgets.getWidgetsArea());
        manager->clearCallLog();

        // When the grid asks for a lamp at row 2, column 3
        Q_EMIT area->newWidgetRequested("lamp", 2, 3);

        // Then the device manager gets exactly these calls, and the widget comes
        QCOMPARE(manager->callLog(), QStringList({"createDevice(lamp,false)", "setDeviceParam(lamp1,widget/row,2)",
                                                  "setDeviceParam(lamp1,widget/column,3)",
                                                  "setDeviceParam(lamp1,widget/area,side)",
                                                  "initialiseDevice(lamp1)"}));
        TestGuiDevice* device = guiDevice("lamp1");
        QCOMPARE(device->getPosition(), WidgetPosition(2, 3, 1, 1));
        QCOMPARE(device->getArea(), QStringLiteral("side"));
        QVERIFY(device->isInitialised());
        QVERIFY(widgets.findWidget("lamp1"));
        QVERIFY(contains(area->getWidgets(), widgets.findWidget("lamp1")));
    }

    void refusedCreationStopsWithAWarning()
    {
        WidgetManager widgets("main", layoutPath());
        widgets.loadOwnWidgets(manager.get());
        std::unique_ptr<DeviceWidgetArea> area(widgets.getWidgetsArea());
        manager->clearCallLog();
        manager->setRefuseCreation(true);
        TestSupport::LogCapture log;

        Q_EMIT area->newWidgetRequested("lamp", 0, 0);

        QCOMPARE(manager->callLog(), QStringList({"createDevice(lamp,false)"}));
        QVERIFY(log.contains("WidgetManager: could not create a device of type lamp"));
    }

    void removeRequestRemovesTheDevice()
    {
        const QString name = createLamp("main", true);
        WidgetManager widgets("main", layoutPath());
        widgets.loadOwnWidgets(manager.get());
        std::unique_ptr<DeviceWidgetArea> area(widgets.getWidgetsArea());
        manager->clearCallLog();

        Q_EMIT area->removeWidgetRequested(name);

        QCOMPARE(manager->callLog(), QStringList({QStringLiteral("removeDevice(%1)").arg(name)}));
        QVERIFY(!manager->getDevice(name));
        QVERIFY(area->getWidgets().isEmpty());
    }

    void settingsRequestOpensNothingYet()
    {
        const QString name = createLamp("main", true);
        WidgetManager widgets("main", layoutPath());
        widgets.loadOwnWidgets(manager.get());
        std::unique_ptr<DeviceWidgetArea> area(widgets.getWidgetsArea());
        const int windows = QApplication::topLevelWidgets().size();
        TestSupport::LogCapture log;

        Q_EMIT area->widgetSettingsRequested(name);

        QVERIFY(log.contains(QStringLiteral("WidgetManager: no settings dialog is available for %1").arg(name)));
        QCOMPARE(QApplication::topLevelWidgets().size(), windows);
    }

    void requestsWithoutDeviceManagerAreIgnored()
    {
        WidgetManager widgets("main", layoutPath());
        std::unique_ptr<DeviceWidgetArea> area(widgets.getWidgetsArea());
        TestSupport::LogCapture log;
        Q_EMIT area->newWidgetRequested("lamp", 0, 0);
        Q_EMIT area->removeWidgetRequested("lamp1");
        widgets.deviceInitialised("lamp1", true);
        QCOMPARE(widgets.widgetsCount(), 0);
        QVERIFY(widgets.getWidgetTypes().isEmpty());
        QCOMPARE(log.messages(QtWarningMsg).size(), 2);
    }

    void widgetTypesAreThoseOfKindWidget()
    {
        WidgetManager widgets("main", layoutPath());
        widgets.loadOwnWidgets(manager.get());
        QStringList expected;
        for (const QString& type : manager->getDeviceTypes()) {
            if (type == "lamp" || type == "dial")
                expected.append(type);
        }
        QCOMPARE(widgets.getWidgetTypes(), expected);
        QCOMPARE(expected.size(), 2);
    }

    void readOnlySaveWritesNothing()
    {
        createLamp("main", true);
        WidgetManager widgets("main", layoutPath());
        widgets.loadOwnWidgets(manager.get());
        widgets.setReadonly(true);
        TestSupport::LogCapture log;

        QVERIFY(widgets.saveWidgets());

        QVERIFY(log.contains("WidgetManager: skip saving widgets in read-only mode"));
        QVERIFY(!QFile::exists(layoutPath()));
    }

    void saveWritesEveryWidgetsParameters()
    {
        // Given two widgets, one of them with a changed parameter
        const QString first = createLamp("main", true);
        const QString second = createLamp("main", false);
        WidgetManager widgets("main", layoutPath());
        widgets.loadOwnWidgets(manager.get());
        widgets.findWidget(second)->setParamValue("colour", "blue");

        // When they are saved
        QVERIFY(widgets.saveWidgets());

        // Then the layout file holds one group per widget with its parameters
        QSettings file(layoutPath(), QSettings::IniFormat);
        QCOMPARE(file.childGroups(), QStringList({first, second}));
        QCOMPARE(file.value(first + "/colour").toString(), QStringLiteral("red"));
        QCOMPARE(file.value(second + "/colour").toString(), QStringLiteral("blue"));
    }

    void failedSaveIsReported()
    {
        createLamp("main", true);
        WidgetManager widgets("main", dir->filePath("missing/dashboard.ini"));
        widgets.loadOwnWidgets(manager.get());
        QVERIFY(!widgets.saveWidgets());
    }

    void destructorDeinitialisesOnlyInitialisedWidgets()
    {
        // Given a running device, a dormant one, and one already stopped again
        const QString running = createLamp("main", true);
        const QString dormant = createLamp("main", false);
        const QString stopped = createLamp("main", true);
        auto widgets = std::make_unique<WidgetManager>("main", layoutPath());
        widgets->loadOwnWidgets(manager.get());
        manager->deinitialiseDevice(stopped);
        QPointer<BaseWidget> widget = widgets->findWidget(running);

        // When the manager goes
        widgets.reset();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);

        // Then each hook ran as often as its device came up, and the widgets are gone
        QCOMPARE(guiDevice(running)->counts.deinitialised, 1);
        QCOMPARE(guiDevice(dormant)->counts.deinitialised, 0);
        QCOMPARE(guiDevice(stopped)->counts.deinitialised, 1);
        QVERIFY(!widget);
    }
};

QTEST_MAIN(tst_WidgetManager)
#include "tst_WidgetManager.moc"
