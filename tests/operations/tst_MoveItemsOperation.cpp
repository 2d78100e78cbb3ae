#include "ClusterRectItem.h"
#include "MapOperationFixture.h"
#include "MoveItemsOperation.h"

using Positions = QMap<QString, QPointF>;

// Devices and clusters moved from one set of positions to another, undone and redone.
class TestMoveItemsOperation : public QObject, protected MapOperationFixture
{
    Q_OBJECT

private Q_SLOTS:
    void init() { openMap(); }
    void cleanup() { closeMap(); }

    void undoHidesADeviceThatHadNoPlace()
    {
        // Given a device pulled out of the unplaced zone, still the temporary device, and a placed one
        const QString pulled = manager->createDevice("generator", false);
        const QString placed = manager->createDevice("scaler", false);
        item(placed)->placeDevice(QPointF(10, 20));
        map->setCurrentTemporaryDevice(item(pulled));
        item(pulled)->setHovered(true);

        // When both moves, with a device gone meanwhile, are pushed, undone, redone
        const Positions before{{pulled, QPointF(-1, -1)}, {placed, QPointF(10, 20)}, {"gone", QPointF()}};
        const Positions after{{pulled, QPointF(300, 200)}, {placed, QPointF(50, 60)}, {"gone", QPointF(5, 5)}};
        map->pushOperation(new MoveItemsOperation(map.get(), before, after, MoveItemsOperation::Devices));
        QVERIFY(!map->getCurrentTemporaryDevice() && !item(pulled)->isHovered());
        QVERIFY(item(pulled)->isVisible() && !item(pulled)->isUnplaced());
        QCOMPARE(item(placed)->pos(), QPointF(50, 60));
        stack()->undo();

        // Then undo hides the pulled one among the unplaced devices and moves the other back
        QVERIFY(!item(pulled)->isVisible() && item(pulled)->isUnplaced());
        QCOMPARE(item(placed)->pos(), QPointF(10, 20));
        stack()->redo();
        QCOMPARE(item(pulled)->pos(), QPointF(300, 200));
        QVERIFY(item(pulled)->isVisible());
    }

    void clustersMoveAndMissingOnesAreSkipped()
    {
        map->createCluster("Inputs", QRectF(10, 10, 100, 100));
        const Positions before{{"Inputs", QPointF(10, 10)}, {"gone", QPointF()}};
        const Positions after{{"Inputs", QPointF(40, 70)}, {"gone", QPointF(1, 1)}};
        map->pushOperation(new MoveItemsOperation(map.get(), before, after, MoveItemsOperation::Clusters));
        QCOMPARE(map->getClusterItems().value("Inputs")->pos(), QPointF(40, 70));
        stack()->undo();
        QCOMPARE(map->getClusterItems().value("Inputs")->pos(), QPointF(10, 10));
    }
};

QTEST_MAIN(TestMoveItemsOperation)
#include "tst_MoveItemsOperation.moc"
