#include "ClusterRectItem.h"
#include "DeviceMapParts.h"
#include "DeviceConnectionItem.h"
#include "MapMoves.h"
#include "tst_MapInteraction_Pointer.h"

#include <QGraphicsScene>
#include <QUndoStack>

// What a drag on the map leaves on the undo stack, and devices pulled out of the unplaced zone.
class TestMapMoves : public QObject, PointerFixture
{
    Q_OBJECT

    QUndoStack* stack() const { return map->getUndoStack(); }
    QPoint zone() const { return QPoint(map->viewport()->width() - 100, map->viewport()->height() - 100); }
    ClusterRectItem* cluster(const QString& name) const { return map->getClusterItems().value(name); }

private Q_SLOTS:
    void init() { resetFixture(); }
    void cleanup() { tearDownFixture(); }

    void devicesMovedWithTheirClusterAreOneUndoStep_data()
    {
        QTest::addColumn<bool>("movesDevices");
        QTest::newRow("cluster moving its devices") << true;
        QTest::newRow("cluster alone") << false;
    }

    void devicesMovedWithTheirClusterAreOneUndoStep()
    {
        // Given two devices inside a cluster
        QFETCH(bool, movesDevices);
        openPointerMap();
        const QString a = create("generator");
        const QString b = create("scaler");
        place(a, QPointF(120, 140));
        place(b, QPointF(260, 140));
        map->createCluster("K", QRectF(100, 100, 400, 150));
        cluster("K")->setMovesContainedDevices(movesDevices);
        paint();

        // When the cluster is dragged by its label
        drag(at(QPointF(103, 105)), at(QPointF(153, 135)));

        // Then one step moves what moved, the devices left unselected, and one undo restores all
        QCOMPARE(cluster("K")->pos(), QPointF(150, 130));
        const QPointF shift = movesDevices ? QPointF(50, 30) : QPointF();
        QCOMPARE(item(a)->pos(), QPointF(120, 140) + shift);
        QCOMPARE(item(b)->pos(), QPointF(260, 140) + shift);
        QCOMPARE(stack()->count(), 1);
        QCOMPARE(stack()->text(0), movesDevices ? QStringLiteral("Move template") : QStringLiteral("Move K"));
        QVERIFY(map->scene()->selectedItems().isEmpty());
        stack()->undo();
        QCOMPARE(cluster("K")->pos(), QPointF(100, 100));
        QCOMPARE(item(a)->pos(), QPointF(120, 140));
        QCOMPARE(item(b)->pos(), QPointF(260, 140));
        stack()->redo();
        QCOMPARE(item(b)->pos(), QPointF(260, 140) + shift);

        // And a drag that ends where it began leaves nothing to undo
        drag(at(QPointF(150, 140)), at(QPointF(150, 140)));
        QCOMPARE(stack()->count(), 1);
    }

    void aPulledDeviceGoesBackNearTheZoneOrIsPlaced_data()
    {
        QTest::addColumn<QPoint>("offset");
        QTest::addColumn<bool>("placed");
        QTest::newRow("near the zone") << QPoint(20, 10) << false;
        QTest::newRow("far from it") << QPoint(-300, -250) << true;
    }

    void aPulledDeviceGoesBackNearTheZoneOrIsPlaced()
    {
        QFETCH(QPoint, offset);
        QFETCH(bool, placed);
        openPointerMap();
        place(create("generator"), QPointF(100, 100));
        const QString b = create("scaler");
        moveTo(zone());
        QCOMPARE(map->getCurrentTemporaryDevice(), item(b));
        const QPointF pulledAt = item(b)->pos();

        drag(zone(), zone() + offset);

        QVERIFY(!map->getCurrentTemporaryDevice());
        QCOMPARE(item(b)->isVisible(), placed);
        QCOMPARE(item(b)->isUnplaced(), !placed);
        if (!placed)
            return;
        QCOMPARE(item(b)->pos(), pulledAt + QPointF(offset));
        QCOMPARE(stack()->text(stack()->count() - 1), QStringLiteral("Move ") + b);
        stack()->undo();
        QVERIFY(!item(b)->isVisible() && item(b)->isUnplaced());
        stack()->redo();
        QCOMPARE(item(b)->pos(), pulledAt + QPointF(offset));
    }

    void aPulledGroupIsPlacedAroundThePointerWithItsBends()
    {
        // Given three unplaced devices linked to the first of the zone, laid out with a bend
        openPointerMap();
        place(create("generator"), QPointF(100, 100));
        const QString b = create("scaler");
        const QString c = create("scaler");
        const QString d = create("generator");
        manager->addDeviceConnection(d, b, QString(), QString());
        manager->addDeviceConnection(d, c, QString(), QString());
        DevicesArrangement layout;
        layout.deviceRects = {{b, QRectF(0, 0, 100, 40)}, {c, QRectF(200, 0, 100, 40)}, {d, QRectF(100, 100, 100, 40)}};
        ItemsConnection bent;
        bent.from = d;
        bent.to = b;
        bent.bendingPoints = {QPointF(50, 120)};
        layout.connections = {bent};
        layout.center = QPointF(150, 60);
        QStringList laidOut;
        DeviceMapParts(*map).interaction().moves().setGroupLayout([&](const QStringList& names) {
            laidOut = names;
            return layout;
        });

        // When the first one is pulled out and dropped far from the zone
        moveTo(zone());
        QCOMPARE(map->getCurrentTemporaryDevice(), item(d));
        const QPoint drop(300, 250);
        drag(zone(), drop);

        // Then all three stand around the pointer in the layout's shape, the bend moved along
        const QPointF shift = map->mapToScene(drop) - layout.center;
        QStringList group{b, c, d};
        group.sort();
        QCOMPARE(laidOut, group);
        for (const QString& name : {b, c, d}) {
            QVERIFY(item(name)->isVisible() && !item(name)->isUnplaced());
            QCOMPARE(item(name)->getCenter(), layout.deviceRects.value(name).center() + shift);
        }
        QCOMPARE(map->getConnection(d, b)->getBendingPoints(), QList<QPointF>{QPointF(50, 120) + shift});
        QCOMPARE(stack()->text(stack()->count() - 1), QStringLiteral("Move items"));

        // And one undo puts all three back among the unplaced devices
        stack()->undo();
        for (const QString& name : {b, c, d})
            QVERIFY(!item(name)->isVisible() && item(name)->isUnplaced());
    }
};

QTEST_MAIN(TestMapMoves)
#include "tst_MapMoves.moc"
