#include "ElidedLabel.h"
#include "QtWaitingSpinner.h"

#include <QApplication>
#include <QTimer>
#include <QtTest>

namespace {

const QChar ellipsis(0x2026);

class StyleChangeCounter : public QObject
{
public:
    int count = 0;
    bool eventFilter(QObject*, QEvent* event) override
    {
        if (event->type() == QEvent::StyleChange)
            ++count;
        return false;
    }
};

} // namespace

class TestSmallWidgets : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void elidedLabelBelowOneLineShowsEllipsis()
    {
        ElidedLabel label("first\nsecond");
        label.setFixedSize(80, 3);
        label.grab();
        QCOMPARE(label.text(), QString(ellipsis));
        QVERIFY(label.isElided());
    }

    void elidedLabelRestylesOnlyWhenBecomingElided()
    {
        ElidedLabel label(QString(200, 'x'));
        label.setFixedSize(60, QFontMetrics(label.font()).lineSpacing());
        StyleChangeCounter counter;
        label.installEventFilter(&counter);

        label.grab();
        const int afterFirstPaint = counter.count;
        label.grab();
        label.repaint();
        label.grab();

        QVERIFY(afterFirstPaint >= 1);
        QCOMPARE(counter.count, afterFirstPaint);
    }

    void spinnerTimerInterval()
    {
        QCOMPARE(QtWaitingSpinner::calculateTimerInterval(12, 1), 83);
        QCOMPARE(QtWaitingSpinner::calculateTimerInterval(10, 2), 50);
        QCOMPARE(QtWaitingSpinner::calculateTimerInterval(100, 20), 1);
        QCOMPARE(QtWaitingSpinner::calculateTimerInterval(0, 1), 0);
        QCOMPARE(QtWaitingSpinner::calculateTimerInterval(12, 0), 0);
    }

    void spinnerTrailAlpha_data()
    {
        QTest::addColumn<int>("lines");
        QTest::addColumn<double>("fade");
        QTest::addColumn<int>("distance");
        QTest::addColumn<double>("alpha");
        QTest::newRow("leading line") << 12 << 70.0 << 0 << 1.0;
        QTest::newRow("beyond threshold") << 12 << 70.0 << 9 << 0.15;
        // Fade settings that leave no trail must not divide by zero
        QTest::newRow("no lines") << 0 << 100.0 << 1 << 0.15;
        QTest::newRow("one line, negative fade") << 1 << -300.0 << 1 << 0.15;
    }

    void spinnerTrailAlpha()
    {
        QFETCH(int, lines);
        QFETCH(double, fade);
        QFETCH(int, distance);
        QFETCH(double, alpha);
        const QColor color = QtWaitingSpinner::currentLineColor(distance, lines, fade, 15.0, Qt::black);
        QVERIFY2(qAbs(color.alphaF() - alpha) < 0.002, qPrintable(QString::number(color.alphaF())));
        QCOMPARE(color.rgb(), QColor(Qt::black).rgb());
    }

    void spinnerWithoutLinesOrSpeedStopsTimer()
    {
        QtWaitingSpinner spinner;
        auto timer = spinner.findChild<QTimer*>();
        spinner.start();
        QVERIFY(spinner.isSpinning() && timer->isActive());
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

QTEST_MAIN(TestSmallWidgets)
#include "tst_SmallWidgets.moc"
