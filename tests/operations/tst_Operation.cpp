#include "CreateConnectionOperation.h"
#include "CreateDeviceOperation.h"
#include "DeviceConnectionItem.h"
#include "MapOperationFixture.h"
#include "RemoveConnectionOperation.h"
#include "TestSupport.h"

#include <QTimer>

// The base's waits for items that the map makes when the manager reports a change, and the
// operations that create a device or make and take away a connection.
class TestOperation : public QObject, protected MapOperationFixture
{
    Q_OBJECT

    QString generator;
    QString adder;

    bool pushCreate(const QString& type = "generator")
    {
        return map->pushOperation(new CreateDeviceOperation(map.get(), type, QPointF(30, 40)));
    }

    // Two placed devices for the connection operations, with the manager's call log cleared.
    void placeLinkEnds()
    {
        generator = manager->createDevice("generator", false);
        adder = manager->createDevice("adder", false);
        item(generator)->placeDevice(QPointF(0, 0));
        item(adder)->placeDevice(QPointF(300, 0));
        manager->clearCallLog();
    }

private Q_SLOTS:
    void init() { openMap(); }
    void cleanup() { closeMap(); }

    void refusesAnotherOperationWhileWaiting()
    {
        // Given an operation waiting for a slow manager
        manager->setNotificationMode(TestDeviceManager::Deferred, 150);
        bool pushedDuringWait = true;
        bool waitingSeen = false;
        QTimer::singleShot(20, this, [&]() {
            waitingSeen = map->isWaitingForManager();
            pushedDuringWait = pushCreate("scaler");
        });

        // When something tries to push a second one meanwhile
        pushCreate();

        // Then it is refused and only the first one is on the stack
        QVERIFY(waitingSeen && !pushedDuringWait);
        QCOMPARE(stack()->count(), 1);
        QCOMPARE(manager->getDeviceNames().size(), 1);
    }

    void mapDeletedLaterDuringAWaitOutlivesTheOperation()
    {
        // Given a map scheduled for deletion while its operation waits, with another event for it queued
        manager->setNotificationMode(TestDeviceManager::Deferred, 100);
        QPointer<DeviceMapWidget> guard(map.release());
        QTimer::singleShot(20, guard.data(), [&guard]() { guard->deleteLater(); });
        // Qt drops a second deferred delete of an object while other events for it are queued.
        connect(manager.get(), &DeviceManager::deviceRegistered, guard.data(),
                [&guard]() { QCoreApplication::postEvent(guard.data(), new QEvent(QEvent::User)); });

        // When the operation runs
        guard->pushOperation(new CreateDeviceOperation(guard.data(), "generator", QPointF(1, 2)));

        // Then the map is still there when it returns, and goes afterwards
        QVERIFY(guard);
        QCOMPARE(guard->getUndoStack()->count(), 1);
        QTRY_VERIFY(!guard);
    }

    void mapDeletedDuringAWaitIsSafe()
    {
        // Given an operation waiting for a slow manager, and a map deleted outright meanwhile
        manager->setNotificationMode(TestDeviceManager::Deferred, 100);
        QPointer<DeviceMapWidget> guard(map.release());
        QTimer::singleShot(20, guard.data(), [&guard]() { delete guard.data(); });
        TestSupport::LogCapture log;

        // When the operation runs, then it returns without touching the map
        QVERIFY(guard->pushOperation(new CreateDeviceOperation(guard.data(), "generator", QPointF(1, 2))));

        QVERIFY(!guard);
        QCOMPARE(manager->getDeviceNames().size(), 1);
        QVERIFY(!log.contains("Network DM not responding!"));
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }

    void undoRemovesAndRedoFollowsTheNewName()
    {
        // Given a created device that is undone, and its name taken by another device meanwhile
        pushCreate();
        const QString first = manager->getDeviceNames().value(0);
        stack()->undo();
        QVERIFY(!map->getDeviceItems().contains(first));
        QCOMPARE(manager->createDevice("generator", false), first);

        // When it is redone, then the operation follows the new device in its next undo
        stack()->redo();
        const auto op = static_cast<const CreateDeviceOperation*>(stack()->command(0));
        QVERIFY(op->deviceName() != first);
        QCOMPARE(item(op->deviceName())->pos(), QPointF(30, 40));
        stack()->undo();
        QCOMPARE(manager->getDeviceNames(), QStringList({first}));
    }

    void refusedCreationStaysOnTheStackAndUndoesNothing()
    {
        manager->setRefuseCreation(true);
        TestSupport::LogCapture log;
        pushCreate();
        manager->clearCallLog();
        stack()->undo();
        QVERIFY(log.messages(QtCriticalMsg).isEmpty());
        QVERIFY(manager->callLog().filter("removeDevice").isEmpty());
    }

    void logsAManagerThatNeverAnswersAndRollsNothingBack()
    {
        // Given a manager that never reports what it did
        placeLinkEnds();
        manager->setNotificationMode(TestDeviceManager::Never);
        TestSupport::LogCapture log;

        // When a device is created and a removed connection is restored
        pushCreate();
        map->pushOperation(new RemoveConnectionOperation(map.get(), adder, generator, {}, {}, {QPointF(1, 1)}));
        stack()->undo();

        // Then each wait ends with the log line, and the manager keeps what was done
        QCOMPARE(log.messages(QtCriticalMsg), QStringList({"Network DM not responding!", "Network DM not responding!"}));
        QCOMPARE(manager->getDeviceNames().size(), 3);
        QCOMPARE(manager->getDeviceInfo(adder).incomingConnections.size(), 1);
    }

    void makesAndTakesAwayThePairsOrThePlainLink_data()
    {
        QTest::addColumn<QStringList>("slotList");
        QTest::addColumn<QStringList>("expectedCalls");
        const QString add = "addConnection(%1,%2,valueChanged(double),%3)";
        const QString remove = "removeConnection(%1,%2,valueChanged(double),%3)";
        QTest::newRow("plain link") << QStringList() << QStringList({"addDeviceConnection(%1,%2,,)", "removeDeviceConnection(%1,%2)"});
        QTest::newRow("pairs in list order")
            << QStringList({"setA(double)", "setB(double)"})
            << QStringList({add.arg("%1", "%2", "setA(double)"), add.arg("%1", "%2", "setB(double)"),
                            remove.arg("%1", "%2", "setA(double)"), remove.arg("%1", "%2", "setB(double)")});
    }

    void makesAndTakesAwayThePairsOrThePlainLink()
    {
        placeLinkEnds();
        QFETCH(QStringList, slotList);
        QFETCH(QStringList, expectedCalls);
        QStringList signalList;
        for (int i = 0; i < slotList.size(); ++i)
            signalList << "valueChanged(double)";

        map->pushOperation(new CreateConnectionOperation(map.get(), adder, generator, signalList, slotList));
        QVERIFY(map->getConnection(generator, adder));
        stack()->undo();

        for (QString& call : expectedCalls)
            call = call.arg(generator, adder);
        QCOMPARE(manager->callLog().filter(QRegularExpression("Connection\\(")), expectedCalls);
        QVERIFY(!map->getConnection(generator, adder));
    }

    void undoneRemovalRestoresItsBendingPoints()
    {
        placeLinkEnds();
        manager->addDeviceConnection(generator, adder, "valueChanged(double)", "setA(double)");
        const QList<QPointF> bends = {QPointF(100, 50), QPointF(200, 50)};
        map->getConnection(generator, adder)->setBendingPoints(bends);
        map->pushOperation(new RemoveConnectionOperation(map.get(), adder, generator,
                                                         map->getConnectionSignals(adder, generator),
                                                         map->getConnectionSlots(adder, generator), bends));
        QVERIFY(!map->getConnection(generator, adder));
        manager->setNotificationMode(TestDeviceManager::Deferred, 150);

        stack()->undo();

        QCOMPARE(map->getConnection(generator, adder)->getBendingPoints(), bends);
        QCOMPARE(manager->getDeviceInfo(adder).incomingConnections.size(), 1);
    }

    void newLinkOppositeAnExistingOneIsSplit()
    {
        placeLinkEnds();
        manager->addDeviceConnection(adder, generator, QString(), QString());
        map->getConnection(adder, generator)->setBendingPoints({});
        map->pushOperation(new CreateConnectionOperation(map.get(), adder, generator, {}, {}));
        QCOMPARE(map->getConnection(generator, adder)->getBendingPoints().size(), 1);
        QCOMPARE(map->getConnection(adder, generator)->getBendingPoints().size(), 1);
    }
};

QTEST_MAIN(TestOperation)
#include "tst_Operation.moc"
