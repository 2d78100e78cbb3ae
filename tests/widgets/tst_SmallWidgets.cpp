#include "ElidedLabel.h"
#include "PopupWidget.h"
#include "QtWaitingSpinner.h"
#include "ToggleSwitch.h"

#include <QApplication>
#include <QPropertyAnimation>
#include <QPushButton>
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

void press(QWidget* widget)
{
    QTest::mousePress(widget, Qt::LeftButton, Qt::NoModifier, QPoint(2, 2));
    QTest::mouseRelease(widget, Qt::LeftButton, Qt::NoModifier, QPoint(2, 2));
}

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

    void elidedLabelExpandsAndCollapses()
    {
        // Given a label two lines high with about five lines of text
        ElidedLabel label;
        const QFontMetrics metrics(label.font());
        const int spacing = metrics.lineSpacing();
        QString text;
        while (metrics.horizontalAdvance(text) < 5 * 100 - 60)
            text += "word ";
        label.setText(text.trimmed());
        label.setFixedWidth(100);
        label.setFixedHeight(2 * spacing);
        label.grab();

        // Then it shows two lines, the second ending in the ellipsis
        const QStringList shown = label.text().split('\n');
        QCOMPARE(shown.size(), 2);
        QVERIFY(shown.last().endsWith(ellipsis));

        // When pressed, it grows to the whole text; pressed again, it shrinks back
        press(&label);
        QVERIFY(label.height() >= 5 * spacing);
        label.grab();
        QCOMPARE(label.text().remove('\n'), label.fullText());
        press(&label);
        QCOMPARE(label.height(), 2 * spacing);
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

    void popupHidesOnOutsidePressThatReachesTarget()
    {
        QPushButton other("other");
        other.show();
        QSignalSpy pressed(&other, &QPushButton::pressed);
        PopupWidget popup;
        popup.show();
        QVERIFY(QTest::qWaitForWindowExposed(&popup));

        QTest::mousePress(&other, Qt::LeftButton);
        QVERIFY(popup.isHidden());
        QCOMPARE(pressed.count(), 1);
        QTest::mouseRelease(&other, Qt::LeftButton);
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
        QTest::newRow("first behind") << 12 << 70.0 << 1 << 1.0 - 0.85 / 9;
        QTest::newRow("beyond threshold") << 12 << 70.0 << 9 << 0.15;
        // Fade settings that leave no trail must not divide by zero
        QTest::newRow("no lines") << 0 << 100.0 << 1 << 0.15;
        QTest::newRow("one line, negative fade") << 1 << -300.0 << 1 << 0.15;
        QTest::newRow("negative fade") << 12 << -200.0 << 1 << 0.15;
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

    void toggleSwitchAnimatesThumbAndEmits()
    {
        ToggleSwitch toggle;
        toggle.resize(38, 22);
        QSignalSpy toggled(&toggle, &QAbstractButton::toggled);
        auto animation = toggle.findChild<QPropertyAnimation*>();

        toggle.setToggled(true);
        QCOMPARE(toggled.count(), 1);
        QCOMPARE(toggled.at(0).at(0).toBool(), true);
        QCOMPARE(animation->duration(), 120);
        QTRY_COMPARE(toggle.property("offset").toInt(), 22);

        toggle.setToggled(false);
        QCOMPARE(toggled.at(1).at(0).toBool(), false);
        QTRY_COMPARE(toggle.property("offset").toInt(), 8);
    }
};

QTEST_MAIN(TestSmallWidgets)
#include "tst_SmallWidgets.moc"
