#include "PopupWidget.h"

#include <QMouseEvent>
#include <QPushButton>
#include <QtTest>

class TestPopupWidget : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void outsidePressHidesPopupAndReachesTarget()
    {
        // Given a shown popup and another window of the application
        QPushButton other("other");
        other.show();
        QSignalSpy pressed(&other, &QPushButton::pressed);
        PopupWidget popup;
        popup.show();
        QVERIFY(QTest::qWaitForWindowExposed(&popup));

        // When the other window is pressed, then the popup hides and the press still arrives
        QTest::mousePress(&other, Qt::LeftButton);
        QVERIFY(popup.isHidden());
        QCOMPARE(pressed.count(), 1);
        QTest::mouseRelease(&other, Qt::LeftButton);
    }

    void pressInsideOrOnChildUnderMouseKeepsPopup()
    {
        PopupWidget popup;
        auto button = new QPushButton("x", &popup);
        popup.show();
        QTest::mouseClick(button, Qt::LeftButton);
        QVERIFY(popup.isVisible());

        // A visible child under the mouse keeps the popup even when the press lands elsewhere
        QWidget other;
        other.show();
        button->setAttribute(Qt::WA_UnderMouse);
        QTest::mouseClick(&other, Qt::LeftButton);
        QVERIFY(popup.isVisible());
        button->hide();
        QTest::mouseClick(&other, Qt::LeftButton);
        QVERIFY(popup.isHidden());
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
        for (Qt::MouseButton button : {Qt::RightButton, Qt::LeftButton}) {
            QTest::mousePress(&popup, button, Qt::NoModifier, QPoint(10, 10));
            QMouseEvent move(QEvent::MouseMove, QPointF(30, 25), popup.mapToGlobal(QPoint(30, 25)), Qt::NoButton,
                             button, Qt::NoModifier);
            QCoreApplication::sendEvent(&popup, &move);
            QCOMPARE(popup.pos(), button == Qt::LeftButton ? start + QPoint(20, 15) : start);
            QTest::mouseRelease(&popup, button, Qt::NoModifier, QPoint(10, 10));
        }
    }
};

QTEST_MAIN(TestPopupWidget)
#include "tst_PopupWidget.moc"
