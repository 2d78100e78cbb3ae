#include "ClusterRectItem.h"
#include "CreateClusterOperation.h"
#include "DeviceMapWidget.h"
#include "DeviceNodeItem.h"
#include "RemoveClusterOperation.h"
#include "TestDeviceManager.h"

#include <QPointer>
#include <QTemporaryDir>
#include <QUndoStack>
#include <QtTest>

#include <memory>

// Creating and removing named clusters, through the map's undo stack.
class TestClusterOperations : public QObject
{
    Q_OBJECT

    QTemporaryDir dir;
    std::unique_ptr<TestDeviceManager> manager;
    std::unique_ptr<DeviceMapWidget> map;

    QUndoStack* stack() { return map->getUndoStack(); }
    ClusterRectItem* cluster(const QString& name) { return map->getClusterItems().value(name); }
    QRectF sceneRectOf(const ClusterRectItem* item) { return QRectF(item->pos(), item->boundingRect().size()); }

private Q_SLOTS:
    void init()
    {
        DeviceNodeItem::setUnplacedDevices(QStringList());
        QFile::remove(dir.filePath("map.ini"));
        manager = std::make_unique<TestDeviceManager>();
        manager->markInitialised();
        map = std::make_unique<DeviceMapWidget>(manager.get(), dir.filePath("map.ini"));
    }

    void cleanup()
    {
        map.reset();
        manager.reset();
    }

    void createUndoRedoMakesAFreshItemAtTheSameRectangle()
    {
        const QRectF rect(40, 50, 200, 120);
        QVERIFY(map->pushOperation(new CreateClusterOperation(map.get(), "Inputs", rect)));
        QPointer<ClusterRectItem> first = cluster("Inputs");
        QVERIFY(first);
        QCOMPARE(sceneRectOf(first), rect);
        QCOMPARE(stack()->text(0), QStringLiteral("Create cluster Inputs"));

        stack()->undo();
        QVERIFY(!first && !map->getClusterItems().contains("Inputs"));

        stack()->redo();
        QCOMPARE(sceneRectOf(cluster("Inputs")), rect);
        QCOMPARE(cluster("Inputs")->zValue(), -1.0);
        QCOMPARE(cluster("Inputs")->getColor(), QColor(Qt::darkGreen));
    }

    void removeUndoRedoBringsBackANewClusterWherever()
    {
        // Given a cluster that does not move its devices, a device inside it and the cluster hovered
        map->createCluster("Inputs", QRectF(10, 20, 300, 200));
        cluster("Inputs")->setMovesContainedDevices(false);
        const QString device = manager->createDevice("generator", false);
        map->getDeviceItems().value(device)->placeDevice(QPointF(50, 60));
        map->setHoveredItem(cluster("Inputs"));
        const QRectF rect = sceneRectOf(cluster("Inputs"));

        // When it is removed, the removal undone and redone
        QVERIFY(map->pushOperation(new RemoveClusterOperation(map.get(), "Inputs", rect)));
        QVERIFY(!map->getHoveredItem() && !cluster("Inputs"));
        QCOMPARE(stack()->text(0), QStringLiteral("Remove cluster Inputs"));
        stack()->undo();
        QCOMPARE(sceneRectOf(cluster("Inputs")), rect);
        QVERIFY(cluster("Inputs")->getMovesContainedDevices());
        stack()->redo();

        // Then the device never moved
        QVERIFY(!cluster("Inputs"));
        QCOMPARE(map->getDeviceItems().value(device)->pos(), QPointF(50, 60));
    }

    void anAbsentClusterChangesNothing()
    {
        // Given no cluster named "ghost", and something hovered
        map->createCluster("other", QRectF(0, 0, 50, 50));
        map->setHoveredItem(cluster("other"));

        // When it is removed, and the removal undone
        QVERIFY(map->pushOperation(new RemoveClusterOperation(map.get(), "ghost", QRectF(1, 2, 3, 4))));
        QVERIFY(!map->getHoveredItem());
        stack()->undo();

        // Then no cluster "ghost" appeared, and the others are untouched
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
