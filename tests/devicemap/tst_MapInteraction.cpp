#include "ClusterRectItem.h"
#include "DeviceMapParts.h"
#include "ModalRunner.h"
#include "tst_MapInteraction_Pointer.h"

#include <QDialog>
#include <QGestureEvent>
#include <QGraphicsScene>
#include <QPinchGesture>
#include <QRubberBand>
#include <QScrollBar>

// The map's pointer handling driven by synthesised mouse, touch and gesture events.
class TestMapInteraction : public QObject, PointerFixture
{
    Q_OBJECT

private Q_SLOTS:
    void init() { resetFixture(); }
    void cleanup() { tearDownFixture(); }

    void clickNeedsLessThanThreeSceneUnits()
    {
        openPointerMap();
        const auto clicks = [this](const QPoint& start, const QPoint& offset) {
            const int before = pointerMap->clicks.size();
            press(start);
            moveTo(start + offset, Qt::LeftButton);
            release(start + offset);
            // A release without a press of its own clicks nothing.
            release(start);
            return pointerMap->clicks.size() - before;
        };
        QCOMPARE(clicks(QPoint(300, 300), QPoint(0, 0)), 1);
        QCOMPARE(clicks(QPoint(300, 300), QPoint(2, 1)), 0);
        QCOMPARE(clicks(QPoint(0, 0), QPoint(1, 0)), 1);
    }

    void longPressIsARightClickThatKeepsTheSelection()
    {
        // Given an unselected device, pressed and held
        openPointerMap();
        const QString a = create("generator");
        place(a, QPointF(200, 200));
        press(centreOf(a));
        QVERIFY(item(a)->isSelected());

        // Then after the interval it is right-clicked where it was pressed, and deselected again
        QTRY_COMPARE(pointerMap->clicks.size(), 1);
        QCOMPARE(pointerMap->clicks.first().button, Qt::RightButton);
        QCOMPARE(pointerMap->clicks.first().pos, centreOf(a));
        QVERIFY(!item(a)->isSelected());
        release(centreOf(a));
        QCOMPARE(pointerMap->clicks.size(), 1);
        // Any move cancels it
        press(QPoint(300, 300));
        moveTo(QPoint(301, 300), Qt::LeftButton);
        QTest::qWait(4 * DeviceMapParts(*map).interaction().longPressInterval());
        QCOMPARE(pointerMap->clicks.size(), 1);
    }

    void touchDragPansAndMouseDragSelects_data()
    {
        QTest::addColumn<bool>("touch");
        QTest::newRow("mouse") << false;
        QTest::newRow("touch") << true;
    }

    void touchDragPansAndMouseDragSelects()
    {
        QFETCH(bool, touch);
        openPointerMap();
        const QString a = create("generator");
        place(a, QPointF(320, 220));

        // When a drag starts on empty space and goes 100 pixels up and left
        press(QPoint(400, 300), Qt::LeftButton, Qt::NoModifier, touch);
        for (int step = 1; step <= 4; ++step)
            send(QEvent::MouseMove, QPoint(400, 300) - QPoint(25, 25) * step, Qt::NoButton, Qt::LeftButton,
                 Qt::NoModifier, touch);
        const bool bandShown = DeviceMapParts(*map).interaction().rubberBand()->isVisible();
        release(QPoint(300, 200), Qt::LeftButton, Qt::NoModifier, touch);

        // Then a touch scrolls by the distance and selects nothing; the mouse does the opposite
        QCOMPARE(bandShown, !touch);
        QCOMPARE(map->horizontalScrollBar()->value(), touch ? 100 : 0);
        QCOMPARE(map->verticalScrollBar()->value(), touch ? 100 : 0);
        QCOMPARE(item(a)->isSelected(), !touch);
        QVERIFY(!DeviceMapParts(*map).interaction().isPanning() && !DeviceMapParts(*map).interaction().rubberBand()->isVisible());
    }

    void rightRubberBandOffersACluster_data()
    {
        QTest::addColumn<QSize>("size");
        QTest::addColumn<QString>("name");
        QTest::addColumn<bool>("offered");
        QTest::addColumn<bool>("made");
        QTest::newRow("6 x 6") << QSize(6, 6) << "Zone" << true << true;
        QTest::newRow("5 x 40") << QSize(5, 40) << "Zone" << false << false;
        QTest::newRow("a cluster's name") << QSize(60, 60) << "Taken" << true << false;
    }

    void rightRubberBandOffersACluster()
    {
        QFETCH(QSize, size);
        const auto button = Qt::RightButton;
        QFETCH(QString, name);
        QFETCH(bool, offered);
        QFETCH(bool, made);
        openPointerMap();
        map->createCluster("Taken", QRectF(1000, 1000, 100, 100));
        const QString a = create("generator");
        place(a, QPointF(300, 300));
        ModalRunner::MenuAnswerGuard choose(QStringLiteral("Create cluster..."));
        ModalRunner::InputAnswerGuard typed(name);

        // When a band from just above and left of the device is drawn over its corner and released
        const QPoint start(296, 296);
        press(start, button);
        moveTo(start + QPoint(size.width(), size.height()), button);
        const bool selectedByBand = item(a)->isSelected();
        release(start + QPoint(size.width(), size.height()), button);

        // Then it selected like any band, and only a large enough right band offers a cluster
        QVERIFY(selectedByBand);
        QCOMPARE(choose.menus(), offered ? QList<QStringList>{{"Create cluster..."}} : QList<QStringList>());
        QCOMPARE(map->getClusterItems().size(), made ? 2 : 1);
        QCOMPARE(map->getClusterItems().value("Taken")->pos(), QPointF(1000, 1000));
        if (made) {
            ClusterRectItem* cluster = map->getClusterItems().value(name);
            QCOMPARE(QRectF(cluster->pos(), cluster->rect().size()),
                     QRectF(map->mapToScene(start), map->mapToScene(start + QPoint(5, 5))));
        }
        QCOMPARE(map->scene()->selectedItems().isEmpty(), offered);
    }

    void pinchResetsTheDragAndScales()
    {
        openPointerMap();
        const QString a = create("generator");
        place(a, QPointF(200, 200));
        press(centreOf(a));
        QVERIFY(!DeviceMapParts(*map).interaction().devicePositionsAtPress().isEmpty());

        QPinchGesture pinch;
        pinch.setScaleFactor(1.5);
        QGestureEvent event(QList<QGesture*>{&pinch});
        QApplication::sendEvent(map.get(), &event);

        QCOMPARE(map->transform().m11(), 1.5);
        QVERIFY(DeviceMapParts(*map).interaction().devicePositionsAtPress().isEmpty() && !DeviceMapParts(*map).interaction().isLongPressPending());
    }

    void noPointerOutlivesAnItemRemovedInsideAMenu()
    {
        // Given a hovered device and a pulled-out one
        openPointerMap();
        const QString a = create("generator");
        place(a, QPointF(200, 200));
        const QString b = create("scaler");
        moveTo(QPoint(map->viewport()->width() - 100, map->viewport()->height() - 100));
        QCOMPARE(map->getCurrentTemporaryDevice(), item(b));
        map->setHoveredItem(item(a));

        // When both are removed while the rubber band's menu is open
        ModalRunner::MenuAnswerGuard removeAll([this, a, b](QMenu&) -> QAction* {
            manager->removeDevice(a);
            manager->removeDevice(b);
            return nullptr;
        });
        press(QPoint(300, 300), Qt::RightButton);
        moveTo(QPoint(400, 400), Qt::RightButton);
        release(QPoint(400, 400), Qt::RightButton);

        // Then the map holds no pointer to them and goes on working
        QCOMPARE(removeAll.count(), 1);
        QVERIFY(!map->getHoveredItem() && !map->getCurrentTemporaryDevice());
        moveTo(QPoint(600, 450));
        paint();
    }

    void hoverEndsWhenThePointerLeavesTheItem_data()
    {
        QTest::addColumn<QString>("meanwhile");
        QTest::newRow("a connection drawn to another device") << "drawing";
        QTest::newRow("settings opened by a double click") << "settings";
        QTest::newRow("the pointer leaving the view") << "leave";
    }

    void hoverEndsWhenThePointerLeavesTheItem()
    {
        // Given two devices, the pointer resting on the first
        QFETCH(QString, meanwhile);
        openPointerMap();
        pointerMap->dispatch = true;
        const QString a = create("generator");
        const QString b = create("scaler");
        place(a, QPointF(100, 100));
        place(b, QPointF(400, 100));
        paint();
        moveTo(centreOf(a));
        QVERIFY(item(a)->isHovered());

        // When the pointer goes elsewhere while something runs
        if (meanwhile == "drawing") {
            manager->setForcedMatchCode(2);
            press(centreOf(a), Qt::RightButton);
            moveTo(centreOf(a) + QPoint(30, 40), Qt::RightButton);
            moveTo(centreOf(b), Qt::RightButton);
            paint();
            release(centreOf(b), Qt::RightButton);
            QVERIFY(map->getConnection(a, b));
        } else if (meanwhile == "settings") {
            press(centreOf(a));
            release(centreOf(a));
            send(QEvent::MouseButtonDblClick, centreOf(a), Qt::LeftButton, Qt::LeftButton);
            release(centreOf(a));
            QTRY_VERIFY(map->findChild<QDialog*>());
            QDialog* settings = map->findChild<QDialog*>();
            QVERIFY(settings->isVisible());
            settings->reject();
        } else {
            QEvent leave(QEvent::Leave);
            QApplication::sendEvent(map->viewport(), &leave);
        }

        // Then the first device has lost its hover look, and no pointer to it is kept
        QVERIFY(!item(a)->isHovered());
        QVERIFY(map->getHoveredItem() != item(a));
        // And the pointer coming back hovers it again
        moveTo(centreOf(a) + QPoint(1, 0));
        QVERIFY(item(a)->isHovered());
    }

    void aLongPressMayDeleteTheMap()
    {
        openPointerMap();
        const QString a = create("generator");
        place(a, QPointF(200, 200));
        pointerMap->onClick = [this](QMouseEvent*) { delete map.release(); };
        press(centreOf(a));
        QTRY_VERIFY(!map);
    }
};

QTEST_MAIN(TestMapInteraction)
#include "tst_MapInteraction.moc"
