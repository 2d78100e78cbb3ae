#include "ClusterRectItem.h"
#include "DeviceMapWidget.h"
#include "DeviceNodeItem.h"
#include "RenameClusterOperation.h"
#include "RenameDeviceOperation.h"
#include "TestDeviceManager.h"

#include <QTemporaryDir>
#include <QUndoStack>
#include <QtTest>

#include <memory>

// Renaming a device through the manager and a cluster on the map, with undo and redo.
class TestRenameOperations : public QObject
{
    Q_OBJECT

    QTemporaryDir dir;
    std::unique_ptr<TestDeviceManager> manager;
    std::unique_ptr<DeviceMapWidget> map;

    QUndoStack* stack() { return map->getUndoStack(); }

private Q_SLOTS:
    void init()
    {
        DeviceNodeItem::setUnplacedDevices(QStringList());
        manager = std::make_unique<TestDeviceManager>();
        manager->markInitialised();
        map = std::make_unique<DeviceMapWidget>(manager.get(), dir.filePath("map.ini"));
    }

    void cleanup()
    {
        map.reset();
        manager.reset();
    }

    void renamesADeviceAndBackKeepingItsItemAndLinks()
    {
        const QString source = manager->createDevice("generator", false);
        const QString device = manager->createDevice("scaler", false);
        manager->addDeviceConnection(source, device, QString(), QString());
        DeviceNodeItem* item = map->getDeviceItems().value(device);

        map->pushOperation(new RenameDeviceOperation(map.get(), device, "pump"));

        QCOMPARE(stack()->text(0), QStringLiteral("Rename device"));
        QCOMPARE(map->getDeviceItems().value("pump"), item);
        QVERIFY(map->getConnection(source, "pump"));
        stack()->undo();
        QCOMPARE(map->getDeviceItems().value(device), item);
        QCOMPARE(manager->getDeviceInfo(device).incomingConnections.size(), 1);
        stack()->redo();
        QCOMPARE(item->devName(), QStringLiteral("pump"));
    }

    void aRefusedDeviceRenameUndoesNothing()
    {
        // Given a rename onto a name another device bears
        const QString first = manager->createDevice("scaler", false);
        const QString second = manager->createDevice("scaler", false);
        map->pushOperation(new RenameDeviceOperation(map.get(), first, second));
        manager->clearCallLog();

        // When it is undone, the other device is not renamed to the first one's name
        stack()->undo();

        QVERIFY(manager->callLog().filter("renameDevice").isEmpty());
        QCOMPARE(manager->getDeviceNames(), QStringList({first, second}));
    }

    void renamesAClusterInTheTableAndBack()
    {
        map->createCluster("old", QRectF(0, 0, 100, 100));
        ClusterRectItem* item = map->getClusterItems().value("old");

        map->pushOperation(new RenameClusterOperation(map.get(), "old", "new"));
        QCOMPARE(map->getClusterItems().keys(), QStringList({"new"}));
        QCOMPARE(map->getClusterItems().value("new"), item);
        QCOMPARE(item->getName(), QStringLiteral("new"));
        stack()->undo();
        QCOMPARE(map->getClusterItems().keys(), QStringList({"old"}));
        QCOMPARE(item->getName(), QStringLiteral("old"));
        stack()->redo();
        QCOMPARE(map->getClusterItems().value("new"), item);
        QCOMPARE(stack()->text(0), QStringLiteral("Rename cluster"));
    }

    void aClusterRenameThatCannotBeDoneChangesNothing_data()
    {
        QTest::addColumn<QString>("from");
        QTest::addColumn<QString>("to");
        QTest::newRow("absent cluster") << "missing" << "new";
        QTest::newRow("empty name") << "first" << "";
        QTest::newRow("blank name") << "first" << "  ";
        QTest::newRow("taken name") << "first" << "second";
    }

    void aClusterRenameThatCannotBeDoneChangesNothing()
    {
        QFETCH(QString, from);
        QFETCH(QString, to);
        map->createCluster("first", QRectF(0, 0, 100, 100));
        map->createCluster("second", QRectF(200, 0, 100, 100));
        const QMap<QString, ClusterRectItem*> before = map->getClusterItems();

        map->pushOperation(new RenameClusterOperation(map.get(), from, to));
        QCOMPARE(map->getClusterItems(), before);
        stack()->undo();

        QCOMPARE(map->getClusterItems(), before);
        QCOMPARE(before.value("first")->getName(), QStringLiteral("first"));
        QCOMPARE(before.value("second")->getName(), QStringLiteral("second"));
    }
};

QTEST_MAIN(TestRenameOperations)
#include "tst_RenameOperations.moc"
