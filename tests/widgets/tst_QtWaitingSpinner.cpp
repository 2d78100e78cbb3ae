#include "QtWaitingSpinner.h"

#include <QTimer>
#include <QtTest>

class TestQtWaitingSpinner : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void timerInterval_data()
    {
        QTest::addColumn<int>("lines");
        QTest::addColumn<int>("speed");
        QTest::addColumn<int>("interval");
        QTest::newRow("defaults") << 12 << 1 << 83;
        QTest::newRow("ten lines at two per second") << 10 << 2 << 50;
        QTest::newRow("no lines") << 0 << 1 << 0;
        QTest::newRow("no speed") << 12 << 0 << 0;
        QTest::newRow("negative product") << -4 << 2 << 0;
        QTest::newRow("faster than a millisecond") << 100 << 20 << 1;
    }

    void timerInterval()
    {
        QFETCH(int, lines);
        QFETCH(int, speed);
        QFETCH(int, interval);
        QCOMPARE(QtWaitingSpinner::calculateTimerInterval(lines, speed), interval);
    }

    void trailAlpha_data()
    {
        QTest::addColumn<int>("lines");
        QTest::addColumn<double>("fade");
        QTest::addColumn<int>("distance");
        QTest::addColumn<double>("alpha");
        QTest::newRow("leading line") << 12 << 70.0 << 0 << 1.0;
        QTest::newRow("first behind") << 12 << 70.0 << 1 << 1.0 - 0.85 / 9;
        QTest::newRow("last within threshold") << 12 << 70.0 << 8 << 1.0 - 8 * 0.85 / 9;
        QTest::newRow("beyond threshold") << 12 << 70.0 << 9 << 0.15;
        QTest::newRow("last line") << 12 << 70.0 << 11 << 0.15;
        // Fade settings that leave no trail must not divide by zero
        QTest::newRow("no lines") << 0 << 100.0 << 1 << 0.15;
        QTest::newRow("one line, negative fade") << 1 << -300.0 << 1 << 0.15;
        QTest::newRow("negative fade") << 12 << -200.0 << 1 << 0.15;
    }

    void trailAlpha()
    {
        QFETCH(int, lines);
        QFETCH(double, fade);
        QFETCH(int, distance);
        QFETCH(double, alpha);
        const QColor color = QtWaitingSpinner::currentLineColor(distance, lines, fade, 15.0, Qt::black);
        QVERIFY2(qAbs(color.alphaF() - alpha) < 0.002, qPrintable(QString::number(color.alphaF())));
        QCOMPARE(color.rgb(), QColor(Qt::black).rgb());
    }

    void startRunsStopHidesAndZeroSpeedStandsStill()
    {
        // Given a spinner never started, then started with 10 lines at 2 turns a second
        QtWaitingSpinner spinner;
        auto timer = spinner.findChild<QTimer*>();
        spinner.stop();
        QVERIFY(spinner.isHidden());
        spinner.setNumberOfLines(10);
        spinner.setRevolutionsPerSecond(2);
        spinner.start();
        QCOMPARE(timer->interval(), 50);
        QVERIFY(spinner.isSpinning() && timer->isActive());

        // When its lines or its speed go to zero, then the timer stands still rather than
        // firing on every pass of the event loop, and comes back with the lines
        spinner.setNumberOfLines(0);
        QVERIFY(!timer->isActive());
        spinner.grab();
        spinner.setNumberOfLines(12);
        QVERIFY(timer->isActive());
        spinner.setRevolutionsPerSecond(0);
        QVERIFY(!timer->isActive() && spinner.isSpinning());
        spinner.stop();
        QVERIFY(!spinner.isSpinning() && spinner.isHidden());
    }
};

QTEST_MAIN(TestQtWaitingSpinner)
#include "tst_QtWaitingSpinner.moc"
