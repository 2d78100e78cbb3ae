#include "ClusterRectItem.h"
#include "DeviceMapWidget.h"
#include "DeviceNodeItem.h"
#include "MoveItemsOperation.h"
#include "TestDeviceManager.h"

#include <QTemporaryDir>
#include <QUndoStack>
#include <QtTest>

#include <memory>

using Positions = QMap<QString, QPointF>;

// Devices and clusters moved from one set of positions to another, undone and redone.
class TestMoveItemsOperation : public QObject
{
    Q_OBJECT

    QTemporaryDir dir;
    std::unique_ptr<TestDeviceManager> manager;
    std::unique_ptr<DeviceMapWidget> map;

    QUndoStack* stack() { return map->getUndoStack(); }
    DeviceNodeItem* item(const QString& name) { return map->getDeviceItems().value(name); }

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

    void textNamesASingleItem_data()
    {
        QTest::addColumn<QStringList>("names");
        QTest::addColumn<int>("type");
        QTest::addColumn<QString>("text");
        QTest::newRow("one device") << QStringList{"pump"} << int(MoveItemsOperation::Devices) << "Move pump";
        QTest::newRow("two devices") << QStringList{"pump", "valve"} << int(MoveItemsOperation::Devices)
                                     << "Move items";
        QTest::newRow("one cluster") << QStringList{"Inputs"} << int(MoveItemsOperation::Clusters) << "Move Inputs";
    }

    void textNamesASingleItem()
    {
        QFETCH(QStringList, names);
        QFETCH(int, type);
        QFETCH(QString, text);
        Positions before;
        for (const QString& name : names)
            before.insert(name, QPointF());
        MoveItemsOperation operation(map.get(), before, Positions(), MoveItemsOperation::MovedType(type));
        QCOMPARE(operation.text(), text);
    }

    void undoHidesADeviceThatHadNoPlace()
    {
        // Given a device pulled out of the unplaced zone, still the temporary device, and a placed one
        const QString pulled = manager->createDevice("generator", false);
        const QString placed = manager->createDevice("scaler", false);
        item(placed)->placeDevice(QPointF(10, 20));
        map->setCurrentTemporaryDevice(item(pulled));
        item(pulled)->setHovered(true);

        // When both moves, with a device and a cluster gone meanwhile, are pushed, undone, redone
        const Positions before{{pulled, QPointF(-1, -1)}, {placed, QPointF(10, 20)}, {"gone", QPointF()}};
        const Positions after{{pulled, QPointF(300, 200)}, {placed, QPointF(50, 60)}, {"gone", QPointF(5, 5)}};
        map->pushOperation(new MoveItemsOperation(map.get(), before, after, MoveItemsOperation::Devices));
        QVERIFY(!map->getCurrentTemporaryDevice() && !item(pulled)->isHovered());
        QVERIFY(item(pulled)->isVisible() && !item(pulled)->isUnplaced());
        QCOMPARE(item(pulled)->pos(), QPointF(300, 200));
        QCOMPARE(item(placed)->pos(), QPointF(50, 60));
        stack()->undo();

        // Then undo hides the pulled one among the unplaced devices and moves the other back
        QVERIFY(!item(pulled)->isVisible() && item(pulled)->isUnplaced());
        QCOMPARE(item(placed)->pos(), QPointF(10, 20));
        stack()->redo();
        QVERIFY(item(pulled)->isVisible());
        QCOMPARE(item(pulled)->pos(), QPointF(300, 200));
        stack()->undo();
        QVERIFY(item(pulled)->isUnplaced());
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
