#include "SignalWindowStatistics.h"

#include <QTest>

#include <limits>

class tst_SignalWindowStatistics : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void valueText_data()
    {
        QTest::addColumn<QVector<double>>("window");
        QTest::addColumn<QString>("text");
        // The value shown is the last of the window.
        QVector<double> hundred(97, 1500.0);
        hundred << 1000.0 << 2000.0 << 1234.5;
        QTest::newRow("kilo, spread of 10 per value") << hundred << "1.23K";
        QTest::newRow("digits beyond the prefix drop it") << QVector<double>{1234.5, 1234.6} << "1234.60";
        QTest::newRow("milli, single value") << QVector<double>{0.0005} << QString("0.50m");
        QTest::newRow("micro") << QVector<double>{0.00000025} << QString::fromUtf8("0.25\u00b5");
        QTest::newRow("negative mega") << QVector<double>{-3500000.0} << "-3.50M";
        QTest::newRow("plain") << QVector<double>{1.0, 2.0, 3.0} << "3.0";
        QTest::newRow("zero has no sign") << QVector<double>{0.0} << "0.00";
        QTest::newRow("beyond tera keeps the prefix") << QVector<double>{5e15} << "5000.00T";
        QTest::newRow("below pico keeps the prefix") << QVector<double>{2e-15} << "0.00p";
    }

    void valueText()
    {
        QFETCH(QVector<double>, window);
        QFETCH(QString, text);
        SignalWindowStatistics statistics;
        for (int i = 0; i < window.size(); ++i)
            QVERIFY(statistics.add(100.0 + i * 0.01, window.at(i)));
        QCOMPARE(SignalWindowStatistics::valueText(window.last(), statistics.minimum(), statistics.maximum(),
                                                   statistics.count()),
                 text);
    }

    void nonFiniteValuesAreRefusedAndNamed()
    {
        SignalWindowStatistics statistics;
        statistics.add(1.0, 4.0);
        const double values[] = {std::numeric_limits<double>::infinity(), -std::numeric_limits<double>::infinity(),
                                 std::numeric_limits<double>::quiet_NaN()};
        for (double value : values)
            QVERIFY(!statistics.add(2.0, value));
        QCOMPARE(statistics.count(), 1);
        QCOMPARE(statistics.sum(), 4.0);
        QCOMPARE(statistics.maximum(), 4.0);
        QCOMPARE(SignalWindowStatistics::valueText(values[0], 0, 1, 1), QStringLiteral("inf"));
        QCOMPARE(SignalWindowStatistics::valueText(values[1], 0, 1, 1), QStringLiteral("-inf"));
        QCOMPARE(SignalWindowStatistics::valueText(values[2], 0, 1, 1), QStringLiteral("nan"));
    }

    void windowDropsEveryEntryThatLeftIt()
    {
        // Given ten values one second apart, the largest and smallest first
        SignalWindowStatistics statistics(30.0);
        statistics.add(0.0, 100.0);
        statistics.add(1.0, -100.0);
        for (int i = 2; i < 10; ++i)
            statistics.add(i, i);
        // When the next value comes 35 s after the first, three entries have left the window at once
        statistics.add(35.0, 5.0);
        // Then minimum, maximum and average describe only what is left: 5..9 and the new 5
        QCOMPARE(statistics.count(), 6);
        QCOMPARE(statistics.minimum(), 5.0);
        QCOMPARE(statistics.maximum(), 9.0);
        QCOMPARE(statistics.average(), (5.0 + 6 + 7 + 8 + 9 + 5) / 6);
        QCOMPARE(statistics.oldestTime(), 5.0);
    }

    void extremesFollowASlidingWindow()
    {
        SignalWindowStatistics statistics(10.0);
        QVector<double> values;
        for (int i = 0; i < 400; ++i) {
            const double value = double((i * 7919) % 101) - 50.0;
            values << value;
            statistics.add(i, value);
            const QVector<double> inWindow = values.mid(qMax(0, i - 10));
            QCOMPARE(statistics.minimum(), *std::min_element(inWindow.begin(), inWindow.end()));
            QCOMPARE(statistics.maximum(), *std::max_element(inWindow.begin(), inWindow.end()));
        }
    }

    void valueRangeWidensBySpread()
    {
        SignalWindowStatistics statistics;
        statistics.add(1.0, 10.0);
        // A constant signal: the span is half the value
        QCOMPARE(statistics.lowerBound(), 8.5);
        QCOMPARE(statistics.upperBound(), 11.5);
        statistics.add(2.0, 20.0);
        QCOMPARE(statistics.lowerBound(), 7.0);
        QCOMPARE(statistics.upperBound(), 23.0);
        statistics.reset();
        QCOMPARE(statistics.count(), 0);
        QCOMPARE(statistics.minimum(), std::numeric_limits<double>::max());
        QCOMPARE(statistics.maximum(), -std::numeric_limits<double>::max());
    }
};

QTEST_APPLESS_MAIN(tst_SignalWindowStatistics)
#include "tst_SignalWindowStatistics.moc"
