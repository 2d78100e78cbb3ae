#include "DeviceManager.h"
#include "DeviceSignalsGraph.h"
#include "LibraryTranslator.h"
#include "ProbeDevice.h"
#include "SignalWindowStatistics.h"

#include <QTest>

#include <algorithm>
#include <cmath>
#include <limits>
#include <memory>

namespace {

const double inf = std::numeric_limits<double>::infinity();
const double notANumber = std::numeric_limits<double>::quiet_NaN();

} // namespace

class tst_DeviceSignalsGraph : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<DeviceManager> manager;
    std::unique_ptr<DeviceSignalsGraph> graph;
    QString name;
    double now = 1000.0;

    ProbeDevice* probe() const { return static_cast<ProbeDevice*>(manager->getDevice(name)); }

    void select(const QString& signal)
    {
        QVERIFY(QMetaObject::invokeMethod(graph.get(), "signalSelected", Q_ARG(QString, signal)));
    }

private Q_SLOTS:
    void init()
    {
        manager = std::make_unique<DeviceManager>();
        manager->registerDeviceType("probe", DeviceTypeInfo(), [] { return new ProbeDevice; });
        name = manager->createDevice("probe", true);
        graph = std::make_unique<DeviceSignalsGraph>(*manager, name);
        now = 1000.0;
        graph->setClock([this] { return now; });
        graph->resize(400, 300);
        graph->show();
    }

    void cleanup()
    {
        LibraryTranslator::remove();
        graph.reset();
        manager.reset();
    }

    void statisticsSpeakTheUsersLanguage()
    {
        // Given a Russian user's graph, before and after a value
        QVERIFY(LibraryTranslator::install(QLocale(QLocale::Russian, QLocale::Russia)));
        graph = std::make_unique<DeviceSignalsGraph>(*manager, name);
        graph->setClock([this] { return now; });
        QCOMPARE(graph->minLabelText(), QString::fromUtf8("Мин: -"));
        select(QStringLiteral("valueChanged(double)"));
        probe()->emitValue(2.5);
        graph->updateGraph();

        // Then the statistics carry Russian captions
        QCOMPARE(graph->minLabelText(), QString::fromUtf8("Мин: <b>2.5</b>"));
        QCOMPARE(graph->maxLabelText(), QString::fromUtf8("Макс: <b>2.5</b>"));
        QCOMPARE(graph->avgLabelText(), QString::fromUtf8("Сред: <b>2.5</b>"));
    }

    void valueText_data()
    {
        QTest::addColumn<QVector<double>>("window");
        QTest::addColumn<QString>("text");
        // The value shown is the last of the window.
        QVector<double> hundred(97, 1500.0);
        hundred << 1000.0 << 2000.0 << 1234.5;
        QTest::newRow("kilo, spread of 10 per value") << hundred << "1.23K";
        QTest::newRow("micro") << QVector<double>{0.00000025} << QString::fromUtf8("0.25\u00b5");
        QTest::newRow("negative mega") << QVector<double>{-3500000.0} << "-3.50M";
        QTest::newRow("zero has no sign") << QVector<double>{0.0} << "0.00";
        QTest::newRow("beyond tera keeps the prefix") << QVector<double>{5e15} << "5000.00T";
        // Non-finite values are named, never looked up in the prefixes, and not counted
        QTest::newRow("inf") << QVector<double>{4.0, inf} << "inf";
        QTest::newRow("nan") << QVector<double>{4.0, notANumber} << "nan";
    }

    void valueText()
    {
        QFETCH(QVector<double>, window);
        QFETCH(QString, text);
        SignalWindowStatistics statistics;
        int counted = 0;
        for (int i = 0; i < window.size(); ++i)
            counted += statistics.add(100.0 + i * 0.01, window.at(i)) ? 1 : 0;
        QCOMPARE(counted, int(std::count_if(window.begin(), window.end(), [](double v) { return std::isfinite(v); })));
        QCOMPARE(SignalWindowStatistics::valueText(window.last(), statistics.minimum(), statistics.maximum(),
                                                   statistics.count()),
                 text);
    }

    void statisticsDescribeTheLastThirtySeconds()
    {
        // Given values over ten seconds, the extremes first, and non-finite ones among them
        select(QStringLiteral("valueChanged(double)"));
        const double start = now;
        probe()->emitValue(100.0);
        for (int i = 1; i < 10; ++i) {
            now = start + i;
            probe()->emitValue(i);
            probe()->emitValue(i % 2 ? inf : notANumber);
        }
        // When a value comes 35 seconds after the first
        now = start + 35;
        probe()->emitValue(4.0);
        graph->updateGraph();
        // Then everything older than 30 seconds is gone from labels, line and history
        QCOMPARE(graph->statistics().count(), 6);
        QCOMPARE(graph->maxLabelText(), QStringLiteral("Max: <b>9</b>"));
        QCOMPARE(graph->minLabelText(), QStringLiteral("Min: <b>4</b>"));
        QCOMPARE(graph->avgLabelText(), QStringLiteral("Avg: <b>6.5</b>"));
        for (const QPointF& point : graph->historyPoints())
            QVERIFY(point.x() >= now - 30);
    }

    void pauseRedensAndStartsANewPair()
    {
        // Given a graph told that 40 ms without values is a pause
        graph->setNoDataInterval(40);
        select(QStringLiteral("valueChanged(double)"));
        probe()->emitValue(1.0);
        now += 0.01;
        probe()->emitValue(2.0);
        QCOMPARE(graph->graphCount(), 2);
        // When no value comes for longer
        QTRY_COMPARE(graph->plotBackground(), QColor(77, 14, 15));
        now += 5;
        probe()->emitValue(3.0);
        // Then the next value starts a new pair of graphs, and the background is back
        QCOMPARE(graph->graphCount(), 4);
        QCOMPARE(graph->plotBackground(), graph->palette().color(QPalette::Base));
    }

    void vectorIsShownWhole()
    {
        select(QStringLiteral("vectorChanged(DoubleVec)"));
        probe()->emitVector(DoubleVec({1.0, 2.0, 3.0}));
        QCOMPARE(graph->historyPoints(), QVector<QPointF>({QPointF(0, 1), QPointF(1, 2), QPointF(2, 3)}));

        // Non-finite entries count for nothing
        probe()->emitVector(DoubleVec({1.0, -inf, 3.0}));
        QCOMPARE(graph->avgLabelText(), QStringLiteral("Avg: <b>2</b>"));
    }
};

QTEST_MAIN(tst_DeviceSignalsGraph)
#include "tst_DeviceSignalsGraph.moc"
