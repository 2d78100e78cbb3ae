#include "QtWaitingSpinner.h"

#include <QTimer>
#include <QtTest>

class TestQtWaitingSpinner : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void timerIntervalFollowsLinesAndSpeed_data()
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

    void timerIntervalFollowsLinesAndSpeed()
    {
        QFETCH(int, lines);
        QFETCH(int, speed);
        QFETCH(int, interval);
        QCOMPARE(QtWaitingSpinner::calculateTimerInterval(lines, speed), interval);
    }

    void trailFadesFromLeadingLine_data()
    {
        QTest::addColumn<int>("distance");
        QTest::addColumn<double>("alpha");
        QTest::newRow("leading line") << 0 << 1.0;
        QTest::newRow("first behind") << 1 << 1.0 - 0.85 / 9;
        QTest::newRow("last within threshold") << 8 << 1.0 - 8 * 0.85 / 9;
        QTest::newRow("beyond threshold 9") << 9 << 0.15;
        QTest::newRow("beyond threshold 11") << 11 << 0.15;
    }

    void trailFadesFromLeadingLine()
    {
        QFETCH(int, distance);
        QFETCH(double, alpha);
        const QColor color = QtWaitingSpinner::currentLineColor(distance, 12, 70.0, 15.0, Qt::black);
        QVERIFY2(qAbs(color.alphaF() - alpha) < 0.002, qPrintable(QString::number(color.alphaF())));
        QCOMPARE(color.rgb(), QColor(Qt::black).rgb());
    }

    void fadeSettingsNeverDivideByZero_data()
    {
        QTest::addColumn<int>("lines");
        QTest::addColumn<double>("fade");
        QTest::newRow("no lines, full fade") << 0 << 100.0;
        QTest::newRow("one line, negative fade") << 1 << -300.0;
        QTest::newRow("negative fade") << 12 << -200.0;
    }

    void fadeSettingsNeverDivideByZero()
    {
        QFETCH(int, lines);
        QFETCH(double, fade);
        const QColor color = QtWaitingSpinner::currentLineColor(1, lines, fade, 15.0, Qt::black);
        QVERIFY(color.isValid());
        QCOMPARE(color.alphaF(), QColor::fromRgbF(0, 0, 0, 0.15).alphaF());
    }

    void distanceWrapsAroundRing()
    {
        QCOMPARE(QtWaitingSpinner::lineCountDistanceFromPrimary(3, 5, 12), 2);
        QCOMPARE(QtWaitingSpinner::lineCountDistanceFromPrimary(5, 3, 12), 10);
        QCOMPARE(QtWaitingSpinner::lineCountDistanceFromPrimary(4, 4, 12), 0);
    }

    void roundnessIsClamped()
    {
        QtWaitingSpinner spinner;
        spinner.setRoundness(150);
        QCOMPARE(spinner.roundness(), 100.0);
        spinner.setRoundness(-5);
        QCOMPARE(spinner.roundness(), 0.0);
    }

    void startShowsAndTurnsStopHides()
    {
        QWidget parent;
        parent.show();
        auto spinner = new QtWaitingSpinner(&parent);
        auto timer = spinner->findChild<QTimer*>();
        QVERIFY(timer);
        QVERIFY(spinner->isHidden());

        spinner->setNumberOfLines(10);
        spinner->setRevolutionsPerSecond(2);
        QCOMPARE(timer->interval(), 50);
        spinner->start();
        QVERIFY(spinner->isSpinning());
        QVERIFY(spinner->isVisible());
        QVERIFY(timer->isActive());

        spinner->stop();
        QVERIFY(!spinner->isSpinning());
        QVERIFY(spinner->isHidden());
        QVERIFY(!timer->isActive());
    }

    void stopWithoutStartOnlyHides()
    {
        QtWaitingSpinner spinner;
        spinner.stop();
        QVERIFY(spinner.isHidden());
        QVERIFY(!spinner.isSpinning());
    }

    void zeroLinesOrSpeedNeverRunZeroIntervalTimer()
    {
        // Given a running spinner
        QtWaitingSpinner spinner;
        auto timer = spinner.findChild<QTimer*>();
        spinner.start();
        QVERIFY(timer->isActive());

        // When its lines go to zero, then back, then its speed to zero
        spinner.setNumberOfLines(0);
        QVERIFY(!timer->isActive());
        spinner.grab();
        spinner.setNumberOfLines(12);
        QVERIFY(timer->isActive());
        spinner.setRevolutionsPerSecond(0);

        // Then the timer stands still rather than firing on every event loop pass
        QVERIFY(!timer->isActive());
        QVERIFY(spinner.isSpinning());
        spinner.stop();
        spinner.setRevolutionsPerSecond(1);
        QVERIFY(!timer->isActive());
    }

    void separateWindowCentresOnParent()
    {
        QWidget parent;
        parent.setGeometry(100, 200, 301, 201);
        QtWaitingSpinner spinner(Qt::ApplicationModal, &parent, true);
        QVERIFY(spinner.isWindow());
        QVERIFY(spinner.testAttribute(Qt::WA_TranslucentBackground));
        QCOMPARE(spinner.windowModality(), Qt::ApplicationModal);
        spinner.updatePosition();
        const QRect frame = parent.frameGeometry();
        QCOMPARE(spinner.pos(), QPoint(frame.left() + 150 - 24, frame.top() + 100 - 24));
    }
};

QTEST_MAIN(TestQtWaitingSpinner)
#include "tst_QtWaitingSpinner.moc"
