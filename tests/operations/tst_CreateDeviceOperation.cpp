#include "CreateDeviceOperation.h"
#include "DeviceMapWidget.h"
#include "DeviceNodeItem.h"
#include "TestDeviceManager.h"
#include "TestSupport.h"

#include <QTemporaryDir>
#include <QUndoStack>
#include <QtTest>

#include <memory>

class TestCreateDeviceOperation : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir dir;
    std::unique_ptr<TestDeviceManager> manager;
    std::unique_ptr<DeviceMapWidget> map;

    QUndoStack* stack() { return map->getUndoStack(); }

    void pushCreate()
    {
        QVERIFY(map->pushOperation(new CreateDeviceOperation(map.get(), QStringLiteral("generator"), QPointF(30, 40))));
    }

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

    void createsThePlacedDevice_data()
    {
        QTest::addColumn<bool>("answersLate");
        QTest::newRow("manager answering at once") << false;
        QTest::newRow("manager answering late") << true;
    }

    void createsThePlacedDevice()
    {
        QFETCH(bool, answersLate);
        if (answersLate)
            manager->setNotificationMode(TestDeviceManager::Deferred, 200);

        pushCreate();

        const QString name = manager->getDeviceNames().value(0);
        QVERIFY(!name.isEmpty());
        QCOMPARE(stack()->text(0), "Create device " + name);
        DeviceNodeItem* item = map->getDeviceItems().value(name);
        QCOMPARE(item->pos(), QPointF(30, 40));
        QVERIFY(!item->isUnplaced());
        QVERIFY(item->isVisible());
        QVERIFY(manager->callLog().contains(QStringLiteral("createDevice(generator,true)")));
    }

    void undoRemovesAndRedoFollowsTheNewName()
    {
        // Given a created device that is undone, and its name taken by another device meanwhile
        pushCreate();
        const QString first = manager->getDeviceNames().value(0);
        stack()->undo();
        QVERIFY(manager->callLog().contains("removeDevice(" + first + ")"));
        QVERIFY(!map->getDeviceItems().contains(first));
        QCOMPARE(manager->createDevice(QStringLiteral("generator"), false), first);

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

        QCOMPARE(stack()->count(), 1);
        QCOMPARE(stack()->text(0), QStringLiteral("Create device "));
        QVERIFY(log.messages(QtCriticalMsg).isEmpty());
        manager->clearCallLog();
        stack()->undo();
        QVERIFY(manager->callLog().filter(QStringLiteral("removeDevice")).isEmpty());
    }

    void logsAManagerThatNeverAnswersAndKeepsTheDevice()
    {
        manager->setNotificationMode(TestDeviceManager::Never);
        TestSupport::LogCapture log;

        pushCreate();

        QCOMPARE(log.messages(QtCriticalMsg), QStringList({"Network DM not responding!"}));
        QCOMPARE(stack()->count(), 1);
        QCOMPARE(manager->getDeviceNames().size(), 1);
        QVERIFY(map->getDeviceItems().isEmpty());
    }
};

QTEST_MAIN(TestCreateDeviceOperation)
#include "tst_CreateDeviceOperation.moc"
