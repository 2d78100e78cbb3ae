#include "CreateConnectionOperation.h"
#include "DeviceConnectionItem.h"
#include "DeviceMapWidget.h"
#include "DeviceNodeItem.h"
#include "RemoveConnectionOperation.h"
#include "TestDeviceManager.h"
#include "TestSupport.h"

#include <QTemporaryDir>
#include <QUndoStack>
#include <QtTest>

#include <memory>

// CreateConnectionOperation and RemoveConnectionOperation: the manager calls and the link's dress.
class TestConnectionOperations : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir dir;
    std::unique_ptr<TestDeviceManager> manager;
    std::unique_ptr<DeviceMapWidget> map;
    QString generator;
    QString adder;

    QUndoStack* stack() { return map->getUndoStack(); }

    QStringList connectionCalls() const
    {
        return manager->callLog().filter(QRegularExpression(QStringLiteral("Connection\\(")));
    }

private Q_SLOTS:
    void init()
    {
        DeviceNodeItem::setUnplacedDevices(QStringList());
        manager = std::make_unique<TestDeviceManager>();
        manager->markInitialised();
        map = std::make_unique<DeviceMapWidget>(manager.get(), dir.filePath(QStringLiteral("map.ini")));
        generator = manager->createDevice(QStringLiteral("generator"), false);
        adder = manager->createDevice(QStringLiteral("adder"), false);
        map->getDeviceItems().value(generator)->placeDevice(QPointF(0, 0));
        map->getDeviceItems().value(adder)->placeDevice(QPointF(300, 0));
        manager->clearCallLog();
    }

    void cleanup()
    {
        map.reset();
        manager.reset();
    }

    void makesAndTakesAwayThePairsOrThePlainLink_data()
    {
        QTest::addColumn<QStringList>("slotList");
        QTest::addColumn<QStringList>("expectedCalls");
        const QString add = QStringLiteral("addConnection(%1,%2,valueChanged(double),%3)");
        const QString remove = QStringLiteral("removeConnection(%1,%2,valueChanged(double),%3)");
        QTest::newRow("plain link") << QStringList()
                                    << QStringList({"addDeviceConnection(%1,%2,,)", "removeDeviceConnection(%1,%2)"});
        QTest::newRow("pairs in list order")
            << QStringList({"setA(double)", "setB(double)"})
            << QStringList({add.arg("%1", "%2", "setA(double)"), add.arg("%1", "%2", "setB(double)"),
                            remove.arg("%1", "%2", "setA(double)"), remove.arg("%1", "%2", "setB(double)")});
    }

    void makesAndTakesAwayThePairsOrThePlainLink()
    {
        QFETCH(QStringList, slotList);
        QFETCH(QStringList, expectedCalls);
        QStringList signalList;
        for (int i = 0; i < slotList.size(); ++i)
            signalList << QStringLiteral("valueChanged(double)");

        map->pushOperation(new CreateConnectionOperation(map.get(), adder, generator, signalList, slotList));
        QVERIFY(map->getConnection(generator, adder));
        stack()->undo();

        for (QString& call : expectedCalls)
            call = call.arg(generator, adder);
        QCOMPARE(connectionCalls(), expectedCalls);
        QVERIFY(!map->getConnection(generator, adder));
        QCOMPARE(stack()->text(0), QStringLiteral("Create connection"));
    }

    void undoneRemovalRestoresItsBendingPoints_data()
    {
        QTest::addColumn<bool>("answersLate");
        QTest::newRow("manager answering at once") << false;
        QTest::newRow("manager answering late") << true;
    }

    void undoneRemovalRestoresItsBendingPoints()
    {
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
        const QString scaler = manager->createDevice(QStringLiteral("scaler"), false);
        map->getDeviceItems().value(scaler)->placeDevice(QPointF(0, 200));
        manager->addConnection(scaler, generator, "output(double)", "setInterval(int)");
        manager->addDeviceConnection(generator, scaler, QString(), QString());
        map->getConnection(generator, scaler)->setBendingPoints({});
        map->getConnection(scaler, generator)->setBendingPoints({});
        stack()->clear();
        manager->removeDeviceConnection(generator, scaler);

        map->pushOperation(new CreateConnectionOperation(map.get(), scaler, generator, {}, {}));

        QCOMPARE(map->getConnection(generator, scaler)->getBendingPoints().size(), 1);
        QCOMPARE(map->getConnection(scaler, generator)->getBendingPoints().size(), 1);
    }

    void managerThatNeverAnswersLeavesTheLinkUndressed()
    {
        manager->setNotificationMode(TestDeviceManager::Never);
        TestSupport::LogCapture log;

        map->pushOperation(new RemoveConnectionOperation(map.get(), adder, generator, {}, {}, {QPointF(1, 1)}));
        stack()->undo();

        QCOMPARE(log.messages(QtCriticalMsg), QStringList({"Network DM not responding!"}));
        QVERIFY(!map->getConnection(generator, adder));
        QCOMPARE(manager->getDeviceInfo(adder).incomingConnections.size(), 1);
        stack()->redo();
        QCOMPARE(manager->getDeviceInfo(adder).incomingConnections.size(), 0);
    }
};

QTEST_MAIN(TestConnectionOperations)
#include "tst_ConnectionOperations.moc"
