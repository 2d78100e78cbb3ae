#include "PopupWidget.h"

#include <QMouseEvent>
#include <QPushButton>
#include <QtTest>

namespace {

class PressCounter : public QWidget
{
public:
    int presses = 0;

protected:
    void mousePressEvent(QMouseEvent* event) override
    {
        ++presses;
        QWidget::mousePressEvent(event);
    }
};

} // namespace

class TestPopupWidget : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void outsidePressHidesPopupAndReachesTarget()
    {
        // Given a shown popup and another window of the application
        PressCounter other;
        other.resize(100, 100);
        other.show();
        PopupWidget popup;
        popup.resize(50, 50);
        popup.show();
        QVERIFY(QTest::qWaitForWindowExposed(&popup));

        // When the other window is pressed
        QTest::mousePress(&other, Qt::LeftButton, Qt::NoModifier, QPoint(10, 10));

        // Then the popup hides and the press still arrives
        QVERIFY(popup.isHidden());
        QCOMPARE(other.presses, 1);
        QTest::mouseRelease(&other, Qt::LeftButton, Qt::NoModifier, QPoint(10, 10));
    }

    void pressOnChildUnderMouseKeepsPopup()
    {
        PopupWidget popup;
        popup.resize(80, 80);
        auto button = new QPushButton("x", &popup);
        popup.show();
        button->setAttribute(Qt::WA_UnderMouse);
        QVERIFY(childrenUnderCursor(&popup));

        QWidget other;
        other.show();
        QTest::mousePress(&other, Qt::LeftButton);
        QVERIFY(popup.isVisible());
        QTest::mouseRelease(&other, Qt::LeftButton);
    }

    void pressInsidePopupKeepsIt()
    {
        PopupWidget popup;
        popup.resize(80, 80);
        auto button = new QPushButton("x", &popup);
        popup.show();
        QVERIFY(!childrenUnderCursor(&popup));

        QTest::mouseClick(button, Qt::LeftButton);
        QVERIFY(popup.isVisible());
    }

    void hiddenChildrenDoNotCountAsUnderCursor()
    {
        QWidget widget;
        auto child = new QWidget(&widget);
        auto grandChild = new QWidget(child);
        widget.show();
        grandChild->setAttribute(Qt::WA_UnderMouse);
        QVERIFY(childrenUnderCursor(&widget));
        grandChild->hide();
        QVERIFY(!childrenUnderCursor(&widget));
    }

    void applicationDeactivationHides()
    {
        PopupWidget popup;
        popup.show();
        QEvent deactivate(QEvent::ApplicationDeactivate);
        QCoreApplication::sendEvent(qApp, &deactivate);
        QVERIFY(popup.isHidden());
    }

    void dragsOnlyWithLeftButton()
    {
        PopupWidget popup;
        popup.setGeometry(100, 100, 80, 80);
        popup.show();
        QVERIFY(QTest::qWaitForWindowExposed(&popup));
        const QPoint start = popup.pos();

        QTest::mousePress(&popup, Qt::RightButton, Qt::NoModifier, QPoint(10, 10));
        QMouseEvent rightMove(QEvent::MouseMove, QPointF(30, 30), popup.mapToGlobal(QPoint(30, 30)),
                              Qt::NoButton, Qt::RightButton, Qt::NoModifier);
        QCoreApplication::sendEvent(&popup, &rightMove);
        QCOMPARE(popup.pos(), start);
        QTest::mouseRelease(&popup, Qt::RightButton, Qt::NoModifier, QPoint(10, 10));

        QTest::mousePress(&popup, Qt::LeftButton, Qt::NoModifier, QPoint(10, 10));
        QMouseEvent leftMove(QEvent::MouseMove, QPointF(30, 25), popup.mapToGlobal(QPoint(30, 25)),
                             Qt::NoButton, Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(&popup, &leftMove);
        QCOMPARE(popup.pos(), start + QPoint(20, 15));
        QVERIFY(popup.isVisible());
    }
};

QTEST_MAIN(TestPopupWidget)
#include "tst_PopupWidget.moc"
