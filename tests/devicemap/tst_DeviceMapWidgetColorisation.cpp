#include "BaseGuiDevice.h"
#include "DeviceMapParts.h"
#include "MapColoriser.h"
#include "MapLegend.h"
#include "tst_DeviceMapWidget_Fixture.h"

#include <QSignalSpy>
#include <QTranslator>
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

// Gives the long click's duration in another language.
class DurationTranslator : public QTranslator
{
public:
    explicit DurationTranslator(const QString& duration)
        : duration(duration)
    {
    }
    bool isEmpty() const override { return false; }
    QString translate(const char* context, const char* source, const char*, int) const override
    {
        return qstrcmp(context, "DeviceMapWidget") == 0 && qstrcmp(source, "1s") == 0 ? duration : QString();
    }

private:
    QString duration;
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
        QTest::newRow("error") << int(BaseDevice::DeinitialisedWithError) << QColor(Qt::darkRed);
    }

    void coloursEachState()
    {
        QFETCH(int, state);
        QFETCH(QColor, expected);
        const QString name = create("stateful");

        static_cast<StateDevice*>(manager->getDevice(name))->force(BaseDevice::DeviceState(state));

        QCOMPARE(colorOf(name).rgba(), expected.rgba());
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
        QCOMPARE(DeviceMapParts(*map).coloriser().colors().keys(), QStringList({"io", "main"}));
        if (byArea)
            QVERIFY(!colorOf(plain).isValid());
    }

    void threadLegendNamesEveryRow_data()
    {
        // A device without a thread of its own runs in the GUI thread.
        QTest::addColumn<QStringList>("threads");
        QTest::addColumn<QStringList>("legend");
        QTest::newRow("GUI thread only") << QStringList{""} << QStringList{"GUI thread "};
        QTest::newRow("GUI thread and another") << QStringList{"", "io", ""} << QStringList{"GUI thread ", "io"};
        QTest::newRow("named threads only") << QStringList{"main", "io"} << QStringList{"io", "main"};
    }

    void threadLegendNamesEveryRow()
    {
        QFETCH(QStringList, threads);
        QFETCH(QStringList, legend);
        for (const QString& thread : threads) {
            const QString name = create("generator");
            if (!thread.isEmpty())
                manager->setDeviceThread(name, thread);
        }

        map->setColorisationMode(DeviceMapWidget::ByThread);

        QCOMPARE(map->transformColorsMap().keys(), legend);
    }

    void longClickDurationIsWrittenInTheUsersWords_data()
    {
        QTest::addColumn<QString>("duration");
        QTest::newRow("English") << "1s";
        QTest::newRow("Russian") << QString::fromUtf8("1 с");
        QTest::newRow("a longer word") << QString::fromUtf8("1 секунда");
    }

    void longClickDurationIsWrittenInTheUsersWords()
    {
        // Given the user's word for the long click's duration
        QFETCH(QString, duration);
        DurationTranslator translator(duration);
        QVERIFY(QCoreApplication::installTranslator(&translator));

        // When the hot-key legend is drawn
        const QPixmap picture = DeviceMapParts(*map).legend().hotKeyPictures().value("Long click ");
        QCoreApplication::removeTranslator(&translator);

        // Then the word stands beside the mouse and clock, as wide as it is
        const QPixmap symbols(":/hotkeys/dozerozozu_longClickHotkey");
        QVERIFY2(picture.width() > symbols.width() + 4 * duration.size(),
                 qPrintable(QStringLiteral("%1 wide beside %2").arg(picture.width()).arg(symbols.width())));
        const QImage written = picture.toImage().copy(symbols.width(), 0, picture.width() - symbols.width(),
                                                      picture.height());
        bool inked = false;
        for (int y = 0; y < written.height() && !inked; ++y) {
            for (int x = 0; x < written.width() && !inked; ++x)
                inked = qAlpha(written.pixel(x, y)) > 128;
        }
        QVERIFY(inked);
    }

    void legendCyclesHotKeysColoursNone()
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
        QCOMPARE(map->transformColorsMap().keys(), DeviceMapParts(*map).coloriser().colors().keys());
    }
};

QTEST_MAIN(TestDeviceMapWidget)
#include "tst_DeviceMapWidgetColorisation.moc"
