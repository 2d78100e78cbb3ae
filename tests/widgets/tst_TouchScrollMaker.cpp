#include "TouchScrollMaker.h"

#include <QApplication>
#include <QPushButton>
#include <QScrollArea>
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

// A frameless 200 x 200 area, activated before its content is set, whose tall content has a
// button at the area's very top-left corner.
struct Fixture
{
    Fixture()
    {
        area = std::make_unique<QScrollArea>();
        area->setFrameShape(QFrame::NoFrame);
        area->resize(200, 200);
        TouchScrollMaker::activateTouchScroll(area.get());
        auto* content = new QWidget;
        content->setFixedSize(180, 1000);
        button = new QPushButton("top", content);
        button->setGeometry(0, 0, 80, 30);
        area->setWidget(content);
        area->show();
        exposed = QTest::qWaitForWindowExposed(area.get());
    }

    std::unique_ptr<QScrollArea> area;
    bool exposed = false;
    QPushButton* button = nullptr;
};

} // namespace

class TestTouchScrollMaker : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void tapsClickAndDragsDoNot_data()
    {
        QTest::addColumn<QPoint>("from");
        QTest::addColumn<QPoint>("movement");
        QTest::addColumn<int>("clicks");
        QTest::newRow("2 px") << QPoint(10, 10) << QPoint(1, 1) << 1;
        QTest::newRow("3 px") << QPoint(10, 10) << QPoint(2, 1) << 0;
        // The button's (0, 0) is the area's (0, 0): still one ordinary click, no endless replay.
        QTest::newRow("area origin") << QPoint(0, 0) << QPoint(0, 0) << 1;
    }

    void tapsClickAndDragsDoNot()
    {
        QFETCH(QPoint, from);
        QFETCH(QPoint, movement);
        QFETCH(int, clicks);
        Fixture fixture;
        QVERIFY(fixture.exposed);
        QSignalSpy clicked(fixture.button, &QPushButton::clicked);

        tap(fixture.button, from, from + movement);

        QCOMPARE(clicked.count(), 0);
        QTest::qWait(30);
        QCOMPARE(clicked.count(), clicks);
    }

};

QTEST_MAIN(TestTouchScrollMaker)
#include "tst_TouchScrollMaker.moc"
