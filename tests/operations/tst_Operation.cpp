#include "CreateDeviceOperation.h"
#include "DeviceMapWidget.h"
#include "DeviceNodeItem.h"
#include "Operation.h"
#include "TestDeviceManager.h"

#include <QElapsedTimer>
#include <QTemporaryDir>
#include <QTimer>
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

// The base's waits for items that the map makes when the manager reports a change.
class TestOperation : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir dir;
    std::unique_ptr<TestDeviceManager> manager;
    std::unique_ptr<DeviceMapWidget> map;

private Q_SLOTS:
    void init()
    {
        DeviceNodeItem::setUnplacedDevices(QStringList());
        manager = std::make_unique<TestDeviceManager>();
        manager->markInitialised();
        map = std::make_unique<DeviceMapWidget>(manager.get(), dir.filePath(QStringLiteral("map.ini")));
    }

    void cleanup()
    {
        map.reset();
        manager.reset();
    }

    void looksOnceWithoutProcessingEvents_data()
    {
        QTest::addColumn<bool>("exists");
        QTest::addColumn<int>("limit");
        QTest::newRow("existing item") << true << 500;
        QTest::newRow("limit zero") << false << 0;
        QTest::newRow("negative limit") << false << -5;
    }

    void looksOnceWithoutProcessingEvents()
    {
        QFETCH(bool, exists);
        QFETCH(int, limit);
        const QString name = exists ? manager->createDevice(QStringLiteral("generator"), false) : QString("absent");
        bool eventProcessed = false;
        QTimer::singleShot(0, this, [&eventProcessed]() { eventProcessed = true; });
        WaitingOperation operation(map.get());

        QCOMPARE(operation.waitForDevice(name, limit), map->getDeviceItems().value(name));
        if (!exists)
            QCOMPARE(operation.waitForConnection(name, QStringLiteral("b"), limit), nullptr);

        QVERIFY(!eventProcessed);
        QVERIFY(!map->isWaitingForManager());
    }

    void picksUpItemsThatComeLate()
    {
        manager->setNotificationMode(TestDeviceManager::Deferred, 50);
        const QString from = manager->createDevice(QStringLiteral("generator"), false);
        QVERIFY(!map->getDeviceItems().contains(from));
        WaitingOperation operation(map.get());

        DeviceNodeItem* item = operation.waitForDevice(from, 500);
        QVERIFY(item);
        QCOMPARE(item->devName(), from);

        const QString to = manager->createDevice(QStringLiteral("scaler"), false);
        manager->addDeviceConnection(from, to, QString(), QString());
        QVERIFY(operation.waitForConnection(from, to, 500));
    }

    void givesUpAfterTheLimit()
    {
        manager->setNotificationMode(TestDeviceManager::Never);
        WaitingOperation operation(map.get());
        QElapsedTimer timer;
        timer.start();

        QCOMPARE(operation.waitForDevice(QStringLiteral("never"), 200), nullptr);

        QVERIFY(timer.elapsed() >= 200);
        QVERIFY(!map->isWaitingForManager());
    }

    void refusesAnotherOperationWhileWaiting()
    {
        // Given an operation waiting for a slow manager
        manager->setNotificationMode(TestDeviceManager::Deferred, 150);
        bool pushedDuringWait = true;
        bool waitingSeen = false;
        QTimer::singleShot(20, this, [&]() {
            waitingSeen = map->isWaitingForManager();
            pushedDuringWait = map->pushOperation(
                new CreateDeviceOperation(map.get(), QStringLiteral("scaler"), QPointF()));
        });

        // When something tries to push a second one meanwhile
        map->pushOperation(new CreateDeviceOperation(map.get(), QStringLiteral("generator"), QPointF()));

        // Then it is refused and only the first one is on the stack
        QVERIFY(waitingSeen);
        QVERIFY(!pushedDuringWait);
        QCOMPARE(map->getUndoStack()->count(), 1);
        QCOMPARE(manager->getDeviceNames().size(), 1);
        QVERIFY(map->pushOperation(new CreateDeviceOperation(map.get(), QStringLiteral("scaler"), QPointF())));
    }

    void mapDeletedLaterDuringAWaitOutlivesTheOperation()
    {
        // Given a map that someone schedules for deletion while its operation waits
        manager->setNotificationMode(TestDeviceManager::Deferred, 100);
        QPointer<DeviceMapWidget> guard(map.release());
        QTimer::singleShot(20, guard.data(), [&guard]() { guard->deleteLater(); });

        // When the operation runs
        guard->pushOperation(new CreateDeviceOperation(guard.data(), QStringLiteral("generator"), QPointF(1, 2)));

        // Then the map is still there when it returns, and goes afterwards
        QVERIFY(guard);
        QCOMPARE(guard->getUndoStack()->count(), 1);
        QTRY_VERIFY(!guard);
    }
};

QTEST_MAIN(TestOperation)
#include "tst_Operation.moc"
