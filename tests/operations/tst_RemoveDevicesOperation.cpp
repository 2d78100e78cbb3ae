#include "ClusterRectItem.h"
#include "DeviceConnectionItem.h"
#include "MapOperationFixture.h"
#include "RemoveDevicesOperation.h"
#include "TestSupport.h"

// Removing devices and bringing them back: places, links and bends as they were.
class TestRemoveDevicesOperation : public QObject, protected MapOperationFixture
{
    Q_OBJECT

    // A -> B -> C -> D, each placed, A -> B and C -> D bent; named after their letters.
    void buildChain()
    {
        const QStringList names{"A", "B", "C", "D"};
        for (int i = 0; i < names.size(); ++i) {
            manager->renameDevice(manager->createDevice("scaler", false), names.at(i));
            item(names.at(i))->placeDevice(QPointF(100 * i, 50 * i));
            if (i > 0)
                manager->addConnection(names.at(i - 1), names.at(i), "output(double)", "input(double)");
        }
        map->getConnection("A", "B")->setBendingPoints({QPointF(50, 100), QPointF(60, 110)});
        map->getConnection("C", "D")->setBendingPoints({QPointF(300, 10)});
    }

    QMap<QString, QPointF> centres() const
    {
        QMap<QString, QPointF> result;
        for (DeviceNodeItem* device : map->getDeviceItems())
            result.insert(device->devName(), device->isUnplaced() ? QPointF(-1, -1) : device->getCenter());
        return result;
    }

private Q_SLOTS:
    void init() { openMap(); }
    void cleanup() { closeMap(); }

    void undoBringsBackDevicesLinksBendsAndPlaces_data()
    {
        QTest::addColumn<bool>("answersLate");
        QTest::newRow("manager answering at once") << false;
        QTest::newRow("manager answering late") << true;
    }

    void undoBringsBackDevicesLinksBendsAndPlaces()
    {
        // Given the chain, with a cluster item among the items to remove
        QFETCH(bool, answersLate);
        buildChain();
        map->createCluster("group", QRectF(0, 0, 400, 300));
        const QMap<QString, QPointF> before = centres();
        if (answersLate)
            manager->setNotificationMode(TestDeviceManager::Deferred, 20);

        // When A, B and C are removed (the cluster is ignored), undone and redone
        map->pushOperation(new RemoveDevicesOperation(
            map.get(), {item("A"), map->getClusterItems().value("group"), item("B"), item("C"), item("A")}));
        QTRY_COMPARE(map->getDeviceItems().keys(), QStringList({"D"}));
        stack()->undo();

        // Then everything is back where it was, the cluster untouched
        QCOMPARE(centres(), before);
        QCOMPARE(map->getConnection("A", "B")->getBendingPoints(), QList<QPointF>({QPointF(50, 100), QPointF(60, 110)}));
        QCOMPARE(map->getConnection("C", "D")->getBendingPoints(), QList<QPointF>({QPointF(300, 10)}));
        QVERIFY(map->getConnection("B", "C"));
        QVERIFY(map->getClusterItems().contains("group"));
        stack()->redo();
        QTRY_COMPARE(manager->getDeviceNames(), QStringList({"D"}));
    }

    void aDeviceTheManagerNeverShowsIsLoggedOnceAndTheOthersArePlaced()
    {
        // Given the chain and a lone device E, removed together, and a manager silent about E
        buildChain();
        manager->renameDevice(manager->createDevice("adder", false), "E");
        item("E")->placeDevice(QPointF(600, 0));
        const QMap<QString, QPointF> before = centres();
        map->pushOperation(new RemoveDevicesOperation(map.get(), {item("A"), item("B"), item("E"), item("C")}));
        manager->setSilentDevices({"E"});
        TestSupport::LogCapture log;

        stack()->undo();

        QCOMPARE(log.messages(QtCriticalMsg), QStringList({"Network DM not responding!"}));
        for (const char* name : {"A", "B", "C"})
            QCOMPARE(item(name)->getCenter(), before.value(name));
        QVERIFY(!item("E"));
    }

    void unplacedAndDraggedDevicesGoBackAmongTheUnplaced()
    {
        buildChain();
        item("A")->unplaceDevice();
        map->setCurrentTemporaryDevice(item("B"));
        map->pushOperation(new RemoveDevicesOperation(map.get(), {item("A"), item("B")}));
        QVERIFY(!map->getCurrentTemporaryDevice());

        stack()->undo();

        QVERIFY(item("A")->isUnplaced() && !item("A")->isVisible());
        QVERIFY(item("B")->isUnplaced() && !item("B")->isVisible());
    }

    void aDeviceBroughtBackUnderAnotherNameIsTheOneRedoRemoves()
    {
        // Given B removed, and its name taken by another device behind the stack's back
        buildChain();
        map->pushOperation(new RemoveDevicesOperation(map.get(), {item("B")}));
        manager->renameDevice(manager->createDevice("adder", false), "B");

        // When the removal is undone and redone
        stack()->undo();
        const QStringList restored = manager->getDeviceNames().mid(4);
        stack()->redo();

        // Then the device it brought back goes again, and the other B stays
        QCOMPARE(restored.size(), 1);
        QVERIFY(!manager->getDeviceNames().contains(restored.first()));
        QCOMPARE(manager->getDeviceInfo("B").type, QStringLiteral("adder"));
    }
};

QTEST_MAIN(TestRemoveDevicesOperation)
#include "tst_RemoveDevicesOperation.moc"
