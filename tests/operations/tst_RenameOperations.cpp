#include "ClusterRectItem.h"
#include "MapOperationFixture.h"
#include "RenameClusterOperation.h"
#include "RenameDeviceOperation.h"

// Renaming a device through the manager and a cluster on the map, with undo and redo.
class TestRenameOperations : public QObject, protected MapOperationFixture
{
    Q_OBJECT

private Q_SLOTS:
    void init() { openMap(); }
    void cleanup() { closeMap(); }

    void renamesADeviceAndBackKeepingItsItemAndLinks()
    {
        const QString source = manager->createDevice("generator", false);
        const QString device = manager->createDevice("scaler", false);
        manager->addDeviceConnection(source, device, QString(), QString());
        DeviceNodeItem* renamed = item(device);

        map->pushOperation(new RenameDeviceOperation(map.get(), device, "pump"));

        QCOMPARE(item("pump"), renamed);
        QVERIFY(map->getConnection(source, "pump"));
        stack()->undo();
        QCOMPARE(item(device), renamed);
        QCOMPARE(manager->getDeviceInfo(device).incomingConnections.size(), 1);
        stack()->redo();
        QCOMPARE(renamed->devName(), QStringLiteral("pump"));
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
        ClusterRectItem* cluster = map->getClusterItems().value("old");

        map->pushOperation(new RenameClusterOperation(map.get(), "old", "new"));
        QCOMPARE(map->getClusterItems().keys(), QStringList({"new"}));
        QCOMPARE(cluster->getName(), QStringLiteral("new"));
        stack()->undo();
        QCOMPARE(map->getClusterItems().keys(), QStringList({"old"}));
        QCOMPARE(cluster->getName(), QStringLiteral("old"));
        stack()->redo();
        QCOMPARE(map->getClusterItems().value("new"), cluster);
    }

    void aClusterRenameThatCannotBeDoneChangesNothing_data()
    {
        QTest::addColumn<QString>("from");
        QTest::addColumn<QString>("to");
        QTest::newRow("absent cluster") << "missing" << "new";
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
