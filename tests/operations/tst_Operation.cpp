#include "CreateConnectionOperation.h"
#include "CreateDeviceOperation.h"
#include "DeviceConnectionItem.h"
#include "DeviceMapWidget.h"
#include "DeviceNodeItem.h"
#include "Operation.h"
#include "RemoveConnectionOperation.h"
#include "TestDeviceManager.h"
#include "TestSupport.h"

#include <QTemporaryDir>
#include <QTimer>
#include <QUndoStack>
#include <QtTest>

#include <memory>

namespace {

// Opens the protected waits to the test.
class WaitingOperation : public Operation
{
public:
    using Operation::Operation;
    using Operation::waitForConnection;
    using Operation::waitForDevice;
};

} // namespace

// The base's waits for items that the map makes when the manager reports a change, and the
// operations that create a device or make and take away a connection.
class TestOperation : public QObject
{
    Q_OBJECT

    QTemporaryDir dir;
    std::unique_ptr<TestDeviceManager> manager;
    std::unique_ptr<DeviceMapWidget> map;
    QString generator;
    QString adder;

    QUndoStack* stack() { return map->getUndoStack(); }

    bool pushCreate(const QString& type = "generator")
    {
        return map->pushOperation(new CreateDeviceOperation(map.get(), type, QPointF(30, 40)));
    }

    // Two placed devices for the connection operations, with the manager's call log cleared.
    void placeLinkEnds()
    {
        generator = manager->createDevice("generator", false);
        adder = manager->createDevice("adder", false);
        map->getDeviceItems().value(generator)->placeDevice(QPointF(0, 0));
        map->getDeviceItems().value(adder)->placeDevice(QPointF(300, 0));
        manager->clearCallLog();
    }

    static void answeringAtOnceOrLate()
    {
        QTest::addColumn<bool>("answersLate");
        QTest::newRow("manager answering at once") << false;
        QTest::newRow("manager answering late") << true;
    }

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

    void looksOnceWithoutProcessingEventsWhenTheItemIsThereOrNoTimeIsGiven()
    {
        const QString name = manager->createDevice("generator", false);
        bool eventProcessed = false;
        QObject scope; // the pending call must not outlive eventProcessed
        QTimer::singleShot(0, &scope, [&eventProcessed]() { eventProcessed = true; });
        WaitingOperation operation(map.get());

        QCOMPARE(operation.waitForDevice(name, 500), map->getDeviceItems().value(name));
        QCOMPARE(operation.waitForDevice("absent", 0), nullptr);
        QCOMPARE(operation.waitForConnection(name, "absent", -5), nullptr);
        QVERIFY(!eventProcessed && !map->isWaitingForManager());
    }

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
        QVERIFY(pushCreate("scaler"));
    }

    void mapDeletedLaterDuringAWaitOutlivesTheOperation_data()
    {
        QTest::addColumn<bool>("eventPendingWhenTheWaitEnds");
        QTest::newRow("nothing else pending") << false;
        QTest::newRow("another event pending") << true;
    }

    void mapDeletedLaterDuringAWaitOutlivesTheOperation()
    {
        // Given a map that someone schedules for deletion while its operation waits
        QFETCH(bool, eventPendingWhenTheWaitEnds);
        manager->setNotificationMode(TestDeviceManager::Deferred, 100);
        QPointer<DeviceMapWidget> guard(map.release());
        QTimer::singleShot(20, guard.data(), [&guard]() { guard->deleteLater(); });
        // Qt drops a second deferred delete of an object while other events for it are queued.
        if (eventPendingWhenTheWaitEnds) {
            connect(manager.get(), &DeviceManager::deviceRegistered, guard.data(),
                    [&guard]() { QCoreApplication::postEvent(guard.data(), new QEvent(QEvent::User)); });
        }

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

    void createsThePlacedDevice_data() { answeringAtOnceOrLate(); }

    void createsThePlacedDevice()
    {
        QFETCH(bool, answersLate);
        if (answersLate)
            manager->setNotificationMode(TestDeviceManager::Deferred, 200);

        pushCreate();

        const QString name = manager->getDeviceNames().value(0);
        QVERIFY(manager->callLog().contains("createDevice(generator,true)"));
        QCOMPARE(stack()->text(0), "Create device " + name);
        const DeviceNodeItem* item = map->getDeviceItems().value(name);
        QVERIFY(item && !item->isUnplaced() && item->isVisible());
        QCOMPARE(item->pos(), QPointF(30, 40));
    }

    void undoRemovesAndRedoFollowsTheNewName()
    {
        // Given a created device that is undone, and its name taken by another device meanwhile
        pushCreate();
        const QString first = manager->getDeviceNames().value(0);
        stack()->undo();
        QVERIFY(manager->callLog().contains("removeDevice(" + first + ")"));
        QVERIFY(!map->getDeviceItems().contains(first));
        QCOMPARE(manager->createDevice("generator", false), first);

        // When it is redone
        stack()->redo();

        // Then the operation follows the new device in its text and its next undo
        const auto op = static_cast<const CreateDeviceOperation*>(stack()->command(0));
        QVERIFY(op->deviceName() != first);
        QCOMPARE(stack()->text(0), "Create device " + op->deviceName());
        QCOMPARE(map->getDeviceItems().value(op->deviceName())->pos(), QPointF(30, 40));
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

        QCOMPARE(stack()->text(0), QStringLiteral("Create device "));
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
        QVERIFY(!map->isWaitingForManager());
        QCOMPARE(stack()->count(), 2);
        QCOMPARE(manager->getDeviceNames().size(), 3);
        QCOMPARE(map->getDeviceItems().size(), 2);
        QVERIFY(!map->getConnection(generator, adder));
        QCOMPARE(manager->getDeviceInfo(adder).incomingConnections.size(), 1);
        stack()->redo();
        QCOMPARE(manager->getDeviceInfo(adder).incomingConnections.size(), 0);
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
        QCOMPARE(stack()->text(0), QStringLiteral("Create connection"));
    }

    void undoneRemovalRestoresItsBendingPoints_data() { answeringAtOnceOrLate(); }

    void undoneRemovalRestoresItsBendingPoints()
    {
        placeLinkEnds();
        QFETCH(bool, answersLate);
        manager->addDeviceConnection(generator, adder, "valueChanged(double)", "setA(double)");
        const QList<QPointF> bends = {QPointF(100, 50), QPointF(200, 50)};
        map->getConnection(generator, adder)->setBendingPoints(bends);
        map->pushOperation(new RemoveConnectionOperation(map.get(), adder, generator,
                                                         map->getConnectionSignals(adder, generator),
                                                         map->getConnectionSlots(adder, generator), bends));
        QVERIFY(!map->getConnection(generator, adder));
        QCOMPARE(stack()->text(0), QStringLiteral("Remove connection"));
        if (answersLate)
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
