#include "BaseGuiDevice.h"
#include "ConnectionDrawing.h"
#include "MapColoriser.h"
#include "MapLegend.h"
#include "tst_DeviceMapWidget_Fixture.h"

#include <QSignalSpy>
#include <QtTest>

namespace {

// A device whose state the test sets directly, to reach states no sample device reports.
class StateDevice : public BaseDevice
{
public:
    void force(DeviceState state) { setState(state); }
};

// A GUI device whose widget is never asked for here.
class PanelDevice : public BaseGuiDevice
{
public:
    BaseWidget* createWidget() override { return nullptr; }
};

} // namespace

// Outline colours of every mode, the colour table behind the legend, and the legend states.
class TestDeviceMapWidget : public QObject, DeviceMapFixture
{
    Q_OBJECT

    QColor colorOf(const QString& name) const { return item(name)->getHighlightColor(); }

private Q_SLOTS:
    void init()
    {
        resetFixture();
        manager->registerDeviceType("stateful", DeviceTypeInfo{{"debug"}, QString()}, []() { return new StateDevice(); });
        manager->registerDeviceType("panel", DeviceTypeInfo{{"GUI"}, "widget"}, []() { return new PanelDevice(); });
        manager->markInitialised();
        openMap();
    }

    void cleanup() { tearDownFixture(); }

    void coloursEachState_data()
    {
        QTest::addColumn<int>("state");
        QTest::addColumn<QColor>("expected");
        QTest::newRow("not initialised") << int(BaseDevice::NotInitialised) << QColor(Qt::darkGray);
        QTest::newRow("initialised") << int(BaseDevice::Initialised) << QColor(Qt::darkGreen);
        QTest::newRow("warning") << int(BaseDevice::Warning) << QColor(196, 196, 0);
        QTest::newRow("deinitialised") << int(BaseDevice::Deinitialised) << QColor(Qt::darkGray);
        QTest::newRow("error") << int(BaseDevice::DeinitialisedWithError) << QColor(Qt::darkRed);
        QTest::newRow("disabled") << int(BaseDevice::Disabled) << QColor(Qt::darkGray);
    }

    void coloursEachState()
    {
        QFETCH(int, state);
        QFETCH(QColor, expected);
        const QString name = create("stateful");

        static_cast<StateDevice*>(manager->getDevice(name))->force(BaseDevice::DeviceState(state));

        QCOMPARE(colorOf(name).rgba(), expected.rgba());
        QCOMPARE(map->coloriser().colors().keys(), QStringList({"Device deinitialized with an error ",
                                                     "Device deinitialized without an error ", "Device is initialized "}));
    }

    void threadAndAreaModesGiveOneColourPerValueInNameOrder_data()
    {
        QTest::addColumn<int>("mode");
        QTest::newRow("thread") << int(DeviceMapWidget::ByThread);
        QTest::newRow("area, of GUI devices only") << int(DeviceMapWidget::ByArea);
    }

    void threadAndAreaModesGiveOneColourPerValueInNameOrder()
    {
        QFETCH(int, mode);
        const bool byArea = mode == DeviceMapWidget::ByArea;
        const QString plain = byArea ? create("generator") : QString();
        QStringList names;
        for (int i = 0; i < 3; ++i)
            names << create(byArea ? "panel" : "generator");
        names.sort();
        const QStringList values{"main", "io", "main"};
        for (int i = 0; i < 3; ++i) {
            if (byArea)
                static_cast<BaseGuiDevice*>(manager->getDevice(names.at(i)))->setArea(values.at(i));
            else
                manager->setDeviceThread(names.at(i), values.at(i));
        }

        map->setColorisationMode(DeviceMapWidget::ColorisationMode(mode));

        QCOMPARE(QList<QColor>({colorOf(names.at(0)), colorOf(names.at(1)), colorOf(names.at(2))}),
                 QList<QColor>({Qt::red, Qt::green, Qt::red}));
        QCOMPARE(map->coloriser().colors().keys(), QStringList({"io", "main"}));
        if (byArea)
            QVERIFY(!colorOf(plain).isValid());
    }

    void networkModeColoursByManager()
    {
        manager->addNetworkManager("L");
        manager->addNetworkManager("R");
        const QString local = create("counter");
        const QString left = create("L/generator");
        const QString right = create("R/scaler");

        map->setColorisationMode(DeviceMapWidget::ByNetwork);

        QCOMPARE(QList<QColor>({colorOf(local), colorOf(left), colorOf(right)}),
                 QList<QColor>({Qt::red, Qt::blue, Qt::cyan}));
        QVERIFY(map->coloriser().colors().contains("No network device manager "));
    }

    void connectivityModeJudgesTheDrawnConnection()
    {
        const QString source = create("generator");
        const QString fed = create("scaler");
        const QString other = create("adder");
        manager->addDeviceConnection(source, fed, QString(), QString());
        map->connectionDrawing().setSource(source);

        manager->setForcedMatchCode(DeviceManager::SingleMatch);
        map->setColorisationMode(DeviceMapWidget::ByConnectivity);
        QCOMPARE(QList<QColor>({colorOf(source), colorOf(fed), colorOf(other)}),
                 QList<QColor>({Qt::darkRed, Qt::darkRed, Qt::darkGreen}));

        manager->setForcedMatchCode(DeviceManager::ChooseMatch);
        map->coloriseDeviceItem(other);
        QCOMPARE(colorOf(other), map->palette().color(QPalette::Highlight));

        manager->setForcedMatchCode(DeviceManager::NoMatch);
        map->coloriseDeviceItem(other);
        QCOMPARE(colorOf(other), QColor(Qt::darkRed));

        map->connectionDrawing().clearSource();
        map->coloriseDeviceItem(other);
        QVERIFY(!colorOf(other).isValid());
    }

    void searchColoursMatchesInPlaceOrderUntilAnEmptySearchRestoresTheMode()
    {
        const QString lower = create("generator");
        const QString upper = create("generator");
        const QString scaler = create("scaler");
        item(lower)->placeDevice(QPointF(10, 80));
        item(upper)->placeDevice(QPointF(100, 50));
        item(scaler)->placeDevice(QPointF(0, 0));
        item(scaler)->setSelected(true);
        QSignalSpy spy(map.get(), SIGNAL(colorModeChanged(DeviceMapWidget::ColorisationMode)));
        map->setColorisationMode(DeviceMapWidget::ByThread);
        map->setColorisationMode(DeviceMapWidget::ByThread);

        map->searchDevices("gener");
        map->searchDevices("GENER gener");

        QCOMPARE(map->getFoundDevices(), QList<DeviceNodeItem*>({item(upper), item(lower)}));
        QCOMPARE(colorOf(lower), QColor(Qt::darkGreen));
        QCOMPARE(colorOf(scaler), QColor(Qt::darkRed));
        QVERIFY(!item(scaler)->isSelected());

        // Every change is announced, also one to the mode already in force
        map->searchDevices(QString());
        QCOMPARE(map->getColorisationMode(), DeviceMapWidget::ByThread);
        QCOMPARE(spy.count(), 5);
        QCOMPARE(spy.at(1).at(0).value<DeviceMapWidget::ColorisationMode>(), DeviceMapWidget::ByThread);
    }

    void legendCyclesHotKeysColoursNoneWithOneFramedPicturePerColour()
    {
        create("generator");
        QSignalSpy spy(map.get(), &DeviceMapWidget::legendToggled);
        map->resize(400, 300);
        QVERIFY(!map->legendIsActive());

        for (int press = 0; press < 3; ++press) {
            map->switchLegend();
            map->grab();
        }

        QCOMPARE(spy.size(), 3);
        QVERIFY(spy.at(0).at(0).toBool() && spy.at(1).at(0).toBool() && !spy.at(2).at(0).toBool());
        map->toggleLegend(true);
        QCOMPARE(int(map->legend().state()), 0);
        map->toggleLegend(false);
        QVERIFY(!map->legendIsActive());
        const QMap<QString, QPixmap> legend = map->transformColorsMap();
        QCOMPARE(legend.keys(), map->coloriser().colors().keys());
        QCOMPARE(legend.first().toImage().size(), QSize(30, 20));
        QCOMPARE(legend.first().toImage().pixelColor(15, 10).alpha(), 150);
    }
};

QTEST_MAIN(TestDeviceMapWidget)
#include "tst_DeviceMapWidgetColorisation.moc"
