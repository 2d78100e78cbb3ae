#include "ClusterRectItem.h"
#include "DeviceConnectionItem.h"
#include "ModalRunner.h"
#include "tst_MapInteraction_Pointer.h"

#include <QGestureEvent>
#include <QGraphicsScene>
#include <QPinchGesture>
#include <QRubberBand>
#include <QScrollBar>
#include <QUndoStack>

// The map's pointer handling driven by synthesised mouse, touch and gesture events.
class TestMapInteraction : public QObject, PointerFixture
{
    Q_OBJECT

    Qt::CursorShape cursor() const { return map->viewport()->cursor().shape(); }

private Q_SLOTS:
    void init() { resetFixture(); }
    void cleanup() { tearDownFixture(); }

    void clickNeedsLessThanThreeSceneUnits_data()
    {
        QTest::addColumn<QPoint>("start");
        QTest::addColumn<QPoint>("offset");
        QTest::addColumn<bool>("click");
        QTest::newRow("still") << QPoint(300, 300) << QPoint(0, 0) << true;
        QTest::newRow("2 in x") << QPoint(300, 300) << QPoint(2, 0) << true;
        QTest::newRow("2 in x and 1 in y") << QPoint(300, 300) << QPoint(2, 1) << false;
        QTest::newRow("at the scene's origin") << QPoint(0, 0) << QPoint(1, 0) << true;
    }

    void clickNeedsLessThanThreeSceneUnits()
    {
        QFETCH(QPoint, start);
        QFETCH(QPoint, offset);
        QFETCH(bool, click);
        openPointerMap();
        press(start);
        moveTo(start + offset, Qt::LeftButton);
        release(start + offset);
        QCOMPARE(pointerMap->clicks.size(), click ? 1 : 0);
        // A release without a press of its own clicks nothing.
        release(start);
        QCOMPARE(pointerMap->clicks.size(), click ? 1 : 0);
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
    }

    void anyMoveCancelsTheLongPress()
    {
        openPointerMap();
        press(QPoint(300, 300));
        moveTo(QPoint(301, 300), Qt::LeftButton);
        QTest::qWait(4 * map->interaction().longPressInterval());
        QVERIFY(pointerMap->clicks.isEmpty());
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
        const bool bandShown = map->interaction().rubberBand()->isVisible();
        release(QPoint(300, 200), Qt::LeftButton, Qt::NoModifier, touch);

        // Then a touch scrolls by the distance and selects nothing; the mouse does the opposite
        QCOMPARE(bandShown, !touch);
        QCOMPARE(map->horizontalScrollBar()->value(), touch ? 100 : 0);
        QCOMPARE(map->verticalScrollBar()->value(), touch ? 100 : 0);
        QCOMPARE(item(a)->isSelected(), !touch);
        QVERIFY(!map->interaction().isPanning() && !map->interaction().rubberBand()->isVisible());
    }

    void rightRubberBandOffersACluster_data()
    {
        QTest::addColumn<QSize>("size");
        QTest::addColumn<int>("buttonCode");
        QTest::addColumn<QString>("name");
        QTest::addColumn<bool>("offered");
        QTest::addColumn<bool>("made");
        QTest::newRow("6 x 6") << QSize(6, 6) << int(Qt::RightButton) << "Zone" << true << true;
        QTest::newRow("5 x 40") << QSize(5, 40) << int(Qt::RightButton) << "Zone" << false << false;
        QTest::newRow("left button") << QSize(60, 60) << int(Qt::LeftButton) << "Zone" << false << false;
        QTest::newRow("blank name") << QSize(60, 60) << int(Qt::RightButton) << "  " << true << false;
        QTest::newRow("a cluster's name") << QSize(60, 60) << int(Qt::RightButton) << "Taken" << true << false;
    }

    void rightRubberBandOffersACluster()
    {
        QFETCH(QSize, size);
        QFETCH(int, buttonCode);
        const auto button = Qt::MouseButton(buttonCode);
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
        QCOMPARE(choose.count(), offered ? 1 : 0);
        if (offered)
            QCOMPARE(choose.menus().first(), QStringList{"Create cluster..."});
        QCOMPARE(map->getClusterItems().size(), made ? 2 : 1);
        QCOMPARE(map->getClusterItems().value("Taken")->pos(), QPointF(1000, 1000));
        if (made) {
            ClusterRectItem* cluster = map->getClusterItems().value(name);
            QCOMPARE(QRectF(cluster->pos(), cluster->rect().size()),
                     QRectF(map->mapToScene(start), map->mapToScene(start + QPoint(5, 5))));
        }
        QCOMPARE(map->scene()->selectedItems().isEmpty(), offered);
    }

    void stretchCornerResizesWithoutUndo_data()
    {
        QTest::addColumn<QPointF>("to");
        QTest::addColumn<QSizeF>("size");
        QTest::newRow("beyond the top-left corner") << QPointF(50, 50) << QSizeF(8, 8);
        QTest::newRow("outward") << QPointF(400, 300) << QSizeF(304, 204);
    }

    void stretchCornerResizesWithoutUndo()
    {
        QFETCH(QPointF, to);
        QFETCH(QSizeF, size);
        openPointerMap();
        map->createCluster("K", QRectF(100, 100, 200, 100));
        ClusterRectItem* cluster = map->getClusterItems().value("K");
        paint();

        moveTo(at(QPointF(298, 198)));
        QCOMPARE(cursor(), Qt::SizeFDiagCursor);
        press(at(QPointF(298, 198)));
        moveTo(at(to), Qt::LeftButton);
        release(at(to));

        QCOMPARE(cluster->rect(), QRectF(QPointF(0, 0), size));
        QCOMPARE(cluster->pos(), QPointF(100, 100));
        QVERIFY(cluster->flags() & QGraphicsItem::ItemIsMovable);
        QVERIFY(!map->interaction().stretchedCluster());
        QCOMPARE(map->getUndoStack()->count(), 0);
    }

    void bendingPointDragIsUndoneOnlyWhenItMoved_data()
    {
        QTest::addColumn<QPointF>("to");
        QTest::newRow("moved") << QPointF(350, 330);
        QTest::newRow("back where it started") << QPointF(300, 300);
    }

    void bendingPointDragIsUndoneOnlyWhenItMoved()
    {
        QFETCH(QPointF, to);
        openPointerMap();
        const QStringList pair = linkedPair();
        place(pair.at(0), QPointF(100, 100));
        place(pair.at(1), QPointF(500, 100));
        DeviceConnectionItem* link = map->getConnection(pair.at(0), pair.at(1));
        link->setBendingPoints({QPointF(300, 300)});
        link->update();
        paint();

        press(at(QPointF(300, 300)));
        moveTo(at(QPointF(320, 320)), Qt::LeftButton);
        moveTo(at(to), Qt::LeftButton);
        release(at(to));

        QCOMPARE(link->getBendingPoints(), QList<QPointF>{to});
        const bool moved = to != QPointF(300, 300);
        QCOMPARE(undoTexts(), moved ? QStringList{"Move bending point"} : QStringList());
        QVERIFY(map->interaction().movedBendingPoint().isEmpty());
        if (moved) {
            map->getUndoStack()->undo();
            QCOMPARE(link->getBendingPoints(), QList<QPointF>{QPointF(300, 300)});
        }
    }

    void pinchResetsTheDragAndScales()
    {
        openPointerMap();
        const QString a = create("generator");
        place(a, QPointF(200, 200));
        press(centreOf(a));
        QVERIFY(!map->interaction().devicePositionsAtPress().isEmpty());

        QPinchGesture pinch;
        pinch.setScaleFactor(1.5);
        QGestureEvent event(QList<QGesture*>{&pinch});
        QApplication::sendEvent(map.get(), &event);

        QCOMPARE(map->transform().m11(), 1.5);
        QCOMPARE(map->transform().m22(), 1.5);
        QVERIFY(map->interaction().devicePositionsAtPress().isEmpty() && !map->interaction().isLongPressPending());
    }

    void hoverAndCursorFollowThePointer()
    {
        openPointerMap();
        const QString a = create("generator");
        place(a, QPointF(200, 200));
        moveTo(centreOf(a));
        QCOMPARE(map->getHoveredItem(), item(a));
        QVERIFY(item(a)->isHovered());
        QCOMPARE(cursor(), Qt::PointingHandCursor);
        moveTo(QPoint(50, 500));
        QVERIFY(!map->getHoveredItem() && !item(a)->isHovered());
        QCOMPARE(cursor(), Qt::ArrowCursor);
    }

    void theFirstUnplacedDeviceIsPulledOutOfTheZone()
    {
        // Given a zoomed map whose only unplaced device is b
        openPointerMap();
        place(create("generator"), QPointF(100, 100));
        const QString b = create("scaler");
        map->scale(2, 2);
        const QSizeF size = item(b)->boundingRect().size();
        const QPoint zone(map->viewport()->width() - 100, map->viewport()->height() - 100);

        // When the pointer enters the zone, b is shown there at unzoomed size; leaving puts it back
        moveTo(zone);
        QCOMPARE(map->getCurrentTemporaryDevice(), item(b));
        QVERIFY(item(b)->isVisible() && !item(b)->isUnplaced());
        QCOMPARE(item(b)->transform().m11(), 0.5);
        QCOMPARE(item(b)->pos(), map->mapToScene(QPoint(int(zone.x() - size.width() / 2),
                                                       int(zone.y() - size.height() / 2))));
        moveTo(QPoint(50, 50));
        QVERIFY(!map->getCurrentTemporaryDevice() && !item(b)->isVisible());
        QCOMPARE(DeviceNodeItem::getUnplacedDevices(), QStringList{b});
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

    void aClickMayDeleteTheMap_data()
    {
        QTest::addColumn<bool>("longPress");
        QTest::newRow("click") << false;
        QTest::newRow("long press") << true;
    }

    void aClickMayDeleteTheMap()
    {
        QFETCH(bool, longPress);
        openPointerMap();
        const QString a = create("generator");
        place(a, QPointF(200, 200));
        const QPoint point = centreOf(a);
        pointerMap->onClick = [this](QMouseEvent*) { delete map.release(); };
        press(point);
        if (longPress)
            QTRY_VERIFY(!map);
        else
            release(point);
        QVERIFY(!map);
    }
};

QTEST_MAIN(TestMapInteraction)
#include "tst_MapInteraction.moc"
