#include "BaseGuiDevice.h"
#include "DeviceMapWidget.h"
#include "DeviceNodeItem.h"
#include "TestDeviceManager.h"

#include <QGraphicsScene>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>

#include <memory>

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
class TestDeviceMapWidget : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir dir;
    std::unique_ptr<TestDeviceManager> manager;
    std::unique_ptr<DeviceMapWidget> map;

    QColor colorOf(const QString& name) const { return map->getDeviceItems().value(name)->getHighlightColor(); }

    QStringList sortedNames() const
    {
        QStringList names = manager->getDeviceNames();
        names.sort();
        return names;
    }

private Q_SLOTS:
    void init()
    {
        DeviceNodeItem::setUnplacedDevices(QStringList());
        manager = std::make_unique<TestDeviceManager>();
        manager->registerDeviceType(QStringLiteral("stateful"), DeviceTypeInfo{{"debug"}, QString()},
                                    []() { return new StateDevice(); });
        manager->registerDeviceType(QStringLiteral("panel"), DeviceTypeInfo{{"GUI"}, QStringLiteral("widget")},
                                    []() { return new PanelDevice(); });
        manager->markInitialised();
        map = std::make_unique<DeviceMapWidget>(manager.get(), dir.filePath(QStringLiteral("map.ini")));
    }

    void cleanup()
    {
        map.reset();
        manager.reset();
    }

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
        const QString name = manager->createDevice(QStringLiteral("stateful"), false);

        static_cast<StateDevice*>(manager->getDevice(name))->force(BaseDevice::DeviceState(state));

        QCOMPARE(colorOf(name).rgba(), expected.rgba());
        QCOMPARE(map->colorsMap.keys(), QStringList({"Device deinitialized with an error ",
                                                     "Device deinitialized without an error ",
                                                     "Device is initialized "}));
    }

    void threadModeGivesOneColourPerThreadInNameOrder()
    {
        for (int i = 0; i < 3; ++i)
            manager->createDevice(QStringLiteral("generator"), false);
        const QStringList names = sortedNames();
        manager->setDeviceThread(names.at(0), QStringLiteral("main"));
        manager->setDeviceThread(names.at(1), QStringLiteral("io"));
        manager->setDeviceThread(names.at(2), QStringLiteral("main"));

        map->setColorisationMode(DeviceMapWidget::ByThread);

        QCOMPARE(colorOf(names.at(0)), QColor(Qt::red));
        QCOMPARE(colorOf(names.at(1)), QColor(Qt::green));
        QCOMPARE(colorOf(names.at(2)), QColor(Qt::red));
        QCOMPARE(map->colorsMap.keys(), QStringList({"io", "main"}));

        map->setColorisationMode(DeviceMapWidget::ByState);
        QCOMPARE(map->colorsMap.size(), 3);
    }

    void networkModeColoursByManager()
    {
        manager->addNetworkManager(QStringLiteral("L"));
        manager->addNetworkManager(QStringLiteral("R"));
        const QString local = manager->createDevice(QStringLiteral("counter"), false);
        const QString left = manager->createDevice(QStringLiteral("L/generator"), false);
        const QString right = manager->createDevice(QStringLiteral("R/scaler"), false);
        QCOMPARE(sortedNames(), QStringList({local, left, right}));

        map->setColorisationMode(DeviceMapWidget::ByNetwork);

        QCOMPARE(colorOf(local), QColor(Qt::red));
        QCOMPARE(colorOf(left), QColor(Qt::blue));
        QCOMPARE(colorOf(right), QColor(Qt::cyan));
        QVERIFY(map->colorsMap.contains(QStringLiteral("No network device manager ")));
    }

    void areaModeColoursGuiDevicesByArea()
    {
        const QString plain = manager->createDevice(QStringLiteral("generator"), false);
        QStringList panels;
        for (int i = 0; i < 3; ++i)
            panels << manager->createDevice(QStringLiteral("panel"), false);
        panels.sort();
        static_cast<BaseGuiDevice*>(manager->getDevice(panels.at(0)))->setArea(QStringLiteral("main"));
        static_cast<BaseGuiDevice*>(manager->getDevice(panels.at(1)))->setArea(QStringLiteral("side"));
        static_cast<BaseGuiDevice*>(manager->getDevice(panels.at(2)))->setArea(QStringLiteral("main"));

        map->setColorisationMode(DeviceMapWidget::ByArea);

        QVERIFY(!colorOf(plain).isValid());
        QCOMPARE(colorOf(panels.at(0)), QColor(Qt::red));
        QCOMPARE(colorOf(panels.at(1)), QColor(Qt::green));
        QCOMPARE(colorOf(panels.at(2)), QColor(Qt::red));
        QCOMPARE(map->colorsMap.keys(), QStringList({"main", "side"}));
    }

    void connectivityModeJudgesTheDrawnConnection()
    {
        const QString source = manager->createDevice(QStringLiteral("generator"), false);
        const QString fed = manager->createDevice(QStringLiteral("scaler"), false);
        const QString other = manager->createDevice(QStringLiteral("adder"), false);
        manager->addDeviceConnection(source, fed, QString(), QString());
        map->connectionSource = source;

        manager->setForcedMatchCode(DeviceManager::SingleMatch);
        map->setColorisationMode(DeviceMapWidget::ByConnectivity);
        QCOMPARE(colorOf(source), QColor(Qt::darkRed));
        QCOMPARE(colorOf(fed), QColor(Qt::darkRed));
        QCOMPARE(colorOf(other), QColor(Qt::darkGreen));

        manager->setForcedMatchCode(DeviceManager::ChooseMatch);
        map->coloriseDeviceItem(other);
        QCOMPARE(colorOf(other), map->palette().color(QPalette::Highlight));

        manager->setForcedMatchCode(DeviceManager::NoMatch);
        map->coloriseDeviceItem(other);
        QCOMPARE(colorOf(other), QColor(Qt::darkRed));

        map->connectionSource.clear();
        map->coloriseDeviceItem(other);
        QVERIFY(!colorOf(other).isValid());
    }

    void searchColoursMatchesInPlaceOrderAndDeselectsTheRest()
    {
        const QString lower = manager->createDevice(QStringLiteral("generator"), false);
        const QString upper = manager->createDevice(QStringLiteral("generator"), false);
        const QString scaler = manager->createDevice(QStringLiteral("scaler"), false);
        map->getDeviceItems().value(lower)->placeDevice(QPointF(10, 80));
        map->getDeviceItems().value(upper)->placeDevice(QPointF(100, 50));
        DeviceNodeItem* scalerItem = map->getDeviceItems().value(scaler);
        scalerItem->placeDevice(QPointF(0, 0));
        scalerItem->setSelected(true);

        map->searchDevices(QStringLiteral("GENER gener"));

        QCOMPARE(map->getFoundDevices(),
                 QList<DeviceNodeItem*>({map->getDeviceItems().value(upper), map->getDeviceItems().value(lower)}));
        QCOMPARE(colorOf(lower), QColor(Qt::darkGreen));
        QCOMPARE(colorOf(scaler), QColor(Qt::darkRed));
        QVERIFY(!scalerItem->isSelected());
    }

    void emptySearchRestoresTheModeBeforeTheSearch()
    {
        QSignalSpy spy(map.get(), SIGNAL(colorModeChanged(DeviceMapWidget::ColorisationMode)));
        map->setColorisationMode(DeviceMapWidget::ByThread);
        map->setColorisationMode(DeviceMapWidget::ByThread);
        map->searchDevices(QStringLiteral("a"));
        map->searchDevices(QStringLiteral("ab"));

        map->searchDevices(QString());

        QCOMPARE(map->getColorisationMode(), DeviceMapWidget::ByThread);
        // Every change is announced, also one to the mode already in force.
        QCOMPARE(spy.count(), 5);
        QCOMPARE(spy.at(1).at(0).value<DeviceMapWidget::ColorisationMode>(), DeviceMapWidget::ByThread);
    }

    void legendCyclesHotKeysColoursNone()
    {
        QSignalSpy spy(map.get(), &DeviceMapWidget::legendToggled);
        map->resize(400, 300);
        QVERIFY(!map->legendIsActive());

        for (int press = 0; press < 3; ++press) {
            map->switchLegend();
            map->grab();
        }

        QCOMPARE(spy.count(), 3);
        QCOMPARE(spy.at(0).at(0).toBool(), true);
        QCOMPARE(spy.at(1).at(0).toBool(), true);
        QCOMPARE(spy.at(2).at(0).toBool(), false);
        map->toggleLegend(true);
        QCOMPARE(map->legendState, 0);
        map->toggleLegend(false);
        QVERIFY(!map->legendIsActive());
    }

    void colourLegendHasOneFramedPicturePerEntry()
    {
        manager->createDevice(QStringLiteral("generator"), false);
        map->setColorisationMode(DeviceMapWidget::ByState);
        const QMap<QString, QPixmap> legend = map->transformColorsMap();
        QCOMPARE(legend.keys(), map->colorsMap.keys());
        const QImage picture = legend.first().toImage();
        QCOMPARE(picture.size(), QSize(30, 20));
        QCOMPARE(picture.pixelColor(15, 10).alpha(), 150);
    }
};

QTEST_MAIN(TestDeviceMapWidget)
#include "tst_DeviceMapWidgetColorisation.moc"
