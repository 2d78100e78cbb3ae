#include "TouchScrollMaker.h"

#include <QApplication>
#include <QComboBox>
#include <QPushButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QVBoxLayout>
#include <QtTest>

#include <memory>

namespace {

void sendMouse(QWidget* widget, QEvent::Type type, const QPoint& pos, Qt::MouseButtons buttons)
{
    QMouseEvent event(type, pos, widget->mapToGlobal(pos), type == QEvent::MouseMove ? Qt::NoButton : Qt::LeftButton,
                      buttons, Qt::NoModifier);
    QApplication::sendEvent(widget, &event);
}

void tap(QWidget* widget, const QPoint& from, const QPoint& to)
{
    sendMouse(widget, QEvent::MouseButtonPress, from, Qt::LeftButton);
    sendMouse(widget, QEvent::MouseButtonRelease, to, Qt::NoButton);
}

// A frameless 200 x 200 area, activated before its content is set, whose content is a
// button at the area's very top-left corner, a combo box and some height.
struct Fixture
{
    explicit Fixture(int contentHeight)
    {
        area = std::make_unique<QScrollArea>();
        area->setFrameShape(QFrame::NoFrame);
        area->resize(200, 200);
        TouchScrollMaker::activateTouchScroll(area.get());
        content = new QWidget;
        content->setFixedSize(180, contentHeight);
        button = new QPushButton("top", content);
        button->setGeometry(0, 0, 80, 30);
        combo = new QComboBox(content);
        combo->addItems({"a", "b", "c"});
        combo->setGeometry(0, 40, 80, 30);
        area->setWidget(content);
        area->show();
    }

    std::unique_ptr<QScrollArea> area;
    QWidget* content = nullptr;
    QPushButton* button = nullptr;
    QComboBox* combo = nullptr;
};

} // namespace

class TestTouchScrollMaker : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void tapsClickAndDragsDoNot_data()
    {
        QTest::addColumn<int>("contentHeight");
        QTest::addColumn<QPoint>("from");
        QTest::addColumn<QPoint>("movement");
        QTest::addColumn<int>("heldBack");
        QTest::addColumn<int>("clicks");
        QTest::newRow("still") << 1000 << QPoint(10, 10) << QPoint(0, 0) << 0 << 1;
        QTest::newRow("2 px") << 1000 << QPoint(10, 10) << QPoint(1, 1) << 0 << 1;
        QTest::newRow("3 px") << 1000 << QPoint(10, 10) << QPoint(2, 1) << 0 << 0;
        // The button's (0, 0) is the area's (0, 0): still one ordinary click, no endless replay.
        QTest::newRow("area origin") << 1000 << QPoint(0, 0) << QPoint(0, 0) << 0 << 1;
        // Content that fits (no scroll bar) is not touched: the click comes at once.
        QTest::newRow("content fits") << 100 << QPoint(10, 10) << QPoint(0, 0) << 1 << 1;
    }

    void tapsClickAndDragsDoNot()
    {
        QFETCH(int, contentHeight);
        QFETCH(QPoint, from);
        QFETCH(QPoint, movement);
        QFETCH(int, heldBack);
        QFETCH(int, clicks);
        Fixture fixture(contentHeight);
        QVERIFY(QTest::qWaitForWindowExposed(fixture.area.get()));
        QSignalSpy clicked(fixture.button, &QPushButton::clicked);

        tap(fixture.button, from, from + movement);

        QCOMPARE(clicked.count(), heldBack);
        QTest::qWait(30);
        QCOMPARE(clicked.count(), clicks);
    }

    void dragScrollsWithFinger()
    {
        Fixture fixture(1000);
        QVERIFY(QTest::qWaitForWindowExposed(fixture.area.get()));
        QWidget* viewport = fixture.area->viewport();
        QScrollBar* bar = fixture.area->verticalScrollBar();
        bar->setValue(100);

        sendMouse(viewport, QEvent::MouseButtonPress, QPoint(150, 150), Qt::LeftButton);
        sendMouse(viewport, QEvent::MouseMove, QPoint(150, 140), Qt::LeftButton);
        sendMouse(viewport, QEvent::MouseMove, QPoint(150, 120), Qt::LeftButton);
        sendMouse(viewport, QEvent::MouseButtonRelease, QPoint(150, 120), Qt::NoButton);

        QCOMPARE(bar->value(), 130);
    }

    void wheelOverComboChangesNothing()
    {
        Fixture fixture(1000);
        QVERIFY(QTest::qWaitForWindowExposed(fixture.area.get()));
        fixture.combo->setCurrentIndex(1);
        QScrollBar* bar = fixture.area->verticalScrollBar();
        bar->setValue(20);
        const QPoint pos(10, 10);

        QWheelEvent wheel(pos, fixture.combo->mapToGlobal(pos), QPoint(), QPoint(0, -120), Qt::NoButton,
                          Qt::NoModifier, Qt::NoScrollPhase, false);
        QApplication::sendEvent(fixture.combo, &wheel);

        QCOMPARE(fixture.combo->currentIndex(), 1);
        QCOMPARE(bar->value(), 20);
    }

    void laterChildrenCoveredNestedAreaNot()
    {
        // Given content that gains a button and a nested scroll area after activation
        Fixture fixture(1000);
        QVERIFY(QTest::qWaitForWindowExposed(fixture.area.get()));
        auto* later = new QPushButton("later", fixture.content);
        later->setGeometry(0, 80, 80, 30);
        later->show();
        auto* nested = new QScrollArea(fixture.content);
        nested->setGeometry(0, 120, 150, 60);
        auto* nestedButton = new QPushButton("nested");
        nested->setWidget(nestedButton);
        nested->show();
        QSignalSpy laterClicked(later, &QPushButton::clicked);
        QSignalSpy nestedClicked(nestedButton, &QPushButton::clicked);

        // When both are tapped
        tap(later, QPoint(5, 5), QPoint(5, 5));
        tap(nestedButton, QPoint(5, 5), QPoint(5, 5));

        // Then the later button's press was held back and replayed, the nested one passed at once
        QCOMPARE(laterClicked.count(), 0);
        QCOMPARE(nestedClicked.count(), 1);
        QTRY_COMPARE(laterClicked.count(), 1);
    }
};

QTEST_MAIN(TestTouchScrollMaker)
#include "tst_TouchScrollMaker.moc"
