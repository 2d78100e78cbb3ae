#include "ClusterRectItem.h"
#include "CreateClusterOperation.h"
#include "MapOperationFixture.h"
#include "RemoveClusterOperation.h"

#include <QPointer>

// Creating and removing named clusters, through the map's undo stack.
class TestClusterOperations : public QObject, protected MapOperationFixture
{
    Q_OBJECT

    ClusterRectItem* cluster(const QString& name) { return map->getClusterItems().value(name); }
    QRectF sceneRectOf(const ClusterRectItem* item) { return QRectF(item->pos(), item->boundingRect().size()); }

private Q_SLOTS:
    void init() { openMap(); }
    void cleanup() { closeMap(); }

    void createUndoRedoMakesAFreshItemAtTheSameRectangle()
    {
        const QRectF rect(40, 50, 200, 120);
        QVERIFY(map->pushOperation(new CreateClusterOperation(map.get(), "Inputs", rect)));
        QPointer<ClusterRectItem> first = cluster("Inputs");
        QCOMPARE(sceneRectOf(first), rect);
        stack()->undo();
        QVERIFY(!first && !map->getClusterItems().contains("Inputs"));
        stack()->redo();
        QCOMPARE(sceneRectOf(cluster("Inputs")), rect);
    }

    void removeUndoRedoBringsBackANewClusterWherever()
    {
        // Given a cluster that does not move its devices, a device inside it and the cluster hovered
        map->createCluster("Inputs", QRectF(10, 20, 300, 200));
        cluster("Inputs")->setMovesContainedDevices(false);
        const QString device = manager->createDevice("generator", false);
        item(device)->placeDevice(QPointF(50, 60));
        map->setHoveredItem(cluster("Inputs"));
        const QRectF rect = sceneRectOf(cluster("Inputs"));

        // When it is removed, the removal undone and redone
        QVERIFY(map->pushOperation(new RemoveClusterOperation(map.get(), "Inputs", rect)));
        QVERIFY(!map->getHoveredItem() && !cluster("Inputs"));
        stack()->undo();
        QCOMPARE(sceneRectOf(cluster("Inputs")), rect);
        stack()->redo();

        // Then the device never moved
        QVERIFY(!cluster("Inputs"));
        QCOMPARE(item(device)->pos(), QPointF(50, 60));
    }

    void anAbsentClusterChangesNothing()
    {
        map->createCluster("other", QRectF(0, 0, 50, 50));
        QVERIFY(map->pushOperation(new RemoveClusterOperation(map.get(), "ghost", QRectF(1, 2, 3, 4))));
        stack()->undo();
        QCOMPARE(map->getClusterItems().keys(), QStringList({"other"}));
        stack()->redo();
        QCOMPARE(map->getClusterItems().keys(), QStringList({"other"}));
    }

    void creatingATakenNameKeepsTheClusterThere()
    {
        map->createCluster("Inputs", QRectF(0, 0, 50, 50));
        QPointer<ClusterRectItem> original = cluster("Inputs");

        QVERIFY(map->pushOperation(new CreateClusterOperation(map.get(), "Inputs", QRectF(500, 500, 10, 10))));
        QCOMPARE(cluster("Inputs"), original.data());
        stack()->undo();

        QCOMPARE(cluster("Inputs"), original.data());
        QCOMPARE(original->pos(), QPointF(0, 0));
    }

    void undoOfACreationWhoseClusterWentOnlyRepaints()
    {
        QVERIFY(map->pushOperation(new CreateClusterOperation(map.get(), "Inputs", QRectF(0, 0, 50, 50))));
        QVERIFY(map->removeCluster("Inputs"));
        stack()->undo();
        QCOMPARE(map->getClusterItems().keys(), QStringList());
    }
};

QTEST_MAIN(TestClusterOperations)
#include "tst_ClusterOperations.moc"
