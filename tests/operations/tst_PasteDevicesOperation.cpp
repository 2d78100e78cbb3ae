#include "DeviceConnectionItem.h"
#include "MapOperationFixture.h"
#include "PasteDevicesOperation.h"
#include "TestSupport.h"
#include "ZenticMessageBox.h"

#include <QGraphicsScene>

namespace {

DeviceInfo scaler(const QString& name, const QStringList& connectionStrings = {},
                  const QMap<QString, QString>& params = {})
{
    DeviceInfo info;
    info.name = name;
    info.type = QStringLiteral("scaler");
    info.connectionStrings = connectionStrings;
    info.paramValues = params;
    return info;
}

QString fromA(const QString& source = QStringLiteral("A"))
{
    return QStringLiteral("this.input(double)<%1.output(double)").arg(source);
}

DeviceInfo feeding(const QString& name, const QString& target)
{
    DeviceInfo info = scaler(name);
    info.outgoingConnections.append(Connection{target, "output(double)", "input(double)"});
    return info;
}

// Every link the manager holds, "source>target", a device of this paste written as its entry's position.
QStringList linksByEntry(DeviceManager& manager, const QStringList& created)
{
    auto written = [&created](const QString& name) {
        const int entry = created.indexOf(name);
        return entry < 0 ? name : QString::number(entry);
    };
    QStringList links;
    for (const QString& name : manager.getDeviceNames()) {
        for (const Connection& link : manager.getDeviceInfo(name).outgoingConnections)
            links.append(written(name) + ">" + written(link.device));
    }
    links.sort();
    return links;
}

bool linked(DeviceManager& manager, const QString& source, const QString& target)
{
    const QList<Connection> outgoing = manager.getDeviceInfo(source).outgoingConnections;
    return std::any_of(outgoing.cbegin(), outgoing.cend(), [&](const Connection& c) { return c.device == target; });
}

} // namespace

// Pasting described devices: their names, parameters and links, where they land, and what
// undo takes away.
class TestPasteDevicesOperation : public QObject, protected MapOperationFixture
{
    Q_OBJECT

    void paste(const QList<DeviceInfo>& infos, const DevicesArrangement& arrangement = DevicesArrangement(),
               const QPointF& point = QPointF(500, 300))
    {
        map->pushOperation(new PasteDevicesOperation(map.get(), infos, arrangement, point));
    }

    const PasteDevicesOperation* lastPaste() const
    {
        return static_cast<const PasteDevicesOperation*>(stack()->command(stack()->count() - 1));
    }

    // An arrangement of the two devices A and B, with the link A -> B bent once.
    static DevicesArrangement twoDevices()
    {
        DevicesArrangement arrangement;
        arrangement.deviceRects.insert("A", QRectF(0, 0, 40, 20));
        arrangement.deviceRects.insert("B", QRectF(200, 100, 40, 20));
        arrangement.connections.append(ItemsConnection{"A", "B", {QPointF(120, 10)}});
        arrangement.recalculateBounds();
        return arrangement;
    }

private Q_SLOTS:
    void init() { openMap(); }
    void cleanup() { closeMap(); }

    void keepsFreeNamesMapsTakenOnesAndRewritesTheirLinks()
    {
        const QList<DeviceInfo> infos{scaler("A"), scaler("B", {fromA()})};

        paste(infos);
        paste(infos);

        // The first paste keeps the names; the second gets the manager's, linked among themselves
        const QStringList second = lastPaste()->createdDevices();
        QCOMPARE(manager->getDeviceNames().mid(0, 2), QStringList({"A", "B"}));
        QCOMPARE(second.size(), 2);
        QVERIFY(!second.contains("A") && !second.contains("B"));
        QVERIFY(linked(*manager, "A", "B") && linked(*manager, second.at(0), second.at(1)));
        QVERIFY(!linked(*manager, "A", second.at(1)));
    }

    void keepsTheArrangementAroundThePastePoint_data()
    {
        QTest::addColumn<bool>("answersLate");
        QTest::newRow("manager answering at once") << false;
        QTest::newRow("manager answering late") << true;
    }

    void keepsTheArrangementAroundThePastePoint()
    {
        // Given something selected, and a manager that may answer late
        QFETCH(bool, answersLate);
        const QString before = manager->createDevice("adder", false);
        item(before)->placeDevice(QPointF(0, 0));
        item(before)->setSelected(true);
        if (answersLate)
            manager->setNotificationMode(TestDeviceManager::Deferred, 30);

        // When A and B are pasted with their arrangement at (500, 300)
        paste({scaler("A"), scaler("B", {fromA()})}, twoDevices());

        // Then the grab point lands there, the bend moves with them, and only they are selected
        const QPointF offset = QPointF(500, 300) - twoDevices().center;
        QCOMPARE(item("A")->getCenter(), QPointF(20, 10) + offset);
        QCOMPARE(item("B")->getCenter(), QPointF(220, 110) + offset);
        QCOMPARE(map->getConnection("A", "B")->getBendingPoints(), QList<QPointF>({QPointF(120, 10) + offset}));
        QCOMPARE(map->scene()->selectedItems().size(), 2);
    }

    void setsParametersInKeyOrderThenAppliesOnceUnderItsManager()
    {
        manager->addNetworkManager("m2");
        paste({scaler("d@m2", {}, {{"offset", "2"}, {"factor", "7"}})});

        QCOMPARE(lastPaste()->createdDevices(), QStringList({"d@m2"}));
        QVERIFY(manager->callLog().contains("createDevice(m2/scaler,false)"));
        QCOMPARE(manager->callLog().filter(QRegularExpression("^(setDeviceParam|applyDeviceParams)")), QStringList({"setDeviceParam(d@m2,factor,7)", "setDeviceParam(d@m2,offset,2)",
                                     "applyDeviceParams(d@m2)"}));
    }

    void badConnectionStringsAreReportedOnceAndTheRestGoesOn_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("logged");
        QTest::newRow("no <") << "this.input(double)" << "\"this.input(double)\"";
        QTest::newRow("two <") << "this.in(double)<A.out(double)<B.x()" << "\"this.in(double)<A.out(double)<B.x()\"";
        QTest::newRow("source not pasted") << fromA("Z") << "\"this.input(double)<Z.output(double)\"";
        QTest::newRow("source not pasted, of another manager")
            << fromA("Z@m2") << "\"this.input(double)<Z@m2.output(double)\"";
    }

    void badConnectionStringsAreReportedOnceAndTheRestGoesOn()
    {
        // Given one good link among bad ones
        QFETCH(QString, text);
        QFETCH(QString, logged);
        TestSupport::LogCapture log;
        ZenticMessageBox::AnswerGuard answer(QMessageBox::Ok);

        paste({scaler("A"), scaler("B", {text, fromA(), text})}, twoDevices());

        // Then one box, each bad string logged, the good link made, the devices placed
        QCOMPARE(answer.texts(), QStringList({"Incorrect connection."}));
        QCOMPARE(log.messages(QtDebugMsg).filter("incorrect connection: " + logged).size(), 2);
        QVERIFY(linked(*manager, "A", "B"));
        QVERIFY(!item("A")->isUnplaced());
    }

    void mapsDeviceNamesByTheWholeName()
    {
        // Given devices AB and A1 outside the paste
        manager->renameDevice(manager->createDevice("scaler", false), "AB");
        manager->renameDevice(manager->createDevice("scaler", false), "A1");
        ZenticMessageBox::AnswerGuard answer(QMessageBox::Ok);

        // When B is pasted with a link into AB, and C with links from B and from A (not pasted)
        paste({scaler("B"), scaler("C", {"AB.input(double)<B.output(double)", fromA("B"), fromA()})});

        // Then only B -> C is made: AB, A1 and anything named like a part of them stay untouched
        QVERIFY(linked(*manager, "B", "C"));
        QVERIFY(manager->getDeviceInfo("AB").incomingConnections.isEmpty());
        QVERIFY(manager->getDeviceInfo("A1").outgoingConnections.isEmpty());
        QCOMPARE(answer.count(), 1);
    }

    void aRefusedRenameKeepsTheManagersNameAndTheOlderDevice()
    {
        // Given an older device "a", which the manager matches to "A" whatever the case
        const QString older = manager->createDevice("scaler", false);
        manager->renameDevice(older, "a");
        manager->setDeviceParam("a", "factor", "1");

        paste({scaler("A", {}, {{"factor", "7"}})});

        // Then the new device keeps the manager's name and the parameters; undo spares the older one
        const QString pasted = lastPaste()->createdDevices().value(0);
        QVERIFY(!pasted.isEmpty() && pasted != "a" && pasted != "A");
        QCOMPARE(manager->getDeviceInfo(pasted).paramValues.value("factor"), QStringLiteral("7"));
        QCOMPARE(manager->getDeviceInfo("a").paramValues.value("factor"), QStringLiteral("1"));
        stack()->undo();
        QCOMPARE(manager->getDeviceNames(), QStringList({"a"}));
    }

    void undoRemovesDevicesThatNeverShowedAndRedoMakesNewOnes()
    {
        // Given a manager that never reports the adder it makes (adder1, named A)
        manager->setSilentDevices({"adder1", "A"});
        TestSupport::LogCapture log;
        ZenticMessageBox::AnswerGuard answer(QMessageBox::Ok);
        DeviceInfo adder = scaler("A");
        adder.type = "adder";

        paste({adder, scaler("B", {fromA()})}, twoDevices());

        // Then one log line, B is laid out alone around the point, and undo removes both
        QCOMPARE(log.messages(QtCriticalMsg), QStringList({"Network DM not responding!"}));
        QCOMPARE(item("B")->getCenter(), QPointF(500, 300));
        QCOMPARE(answer.count(), 1);
        stack()->undo();
        QVERIFY(manager->getDeviceNames().isEmpty());
        manager->setSilentDevices({});
        stack()->redo();
        QCOMPARE(manager->getDeviceNames(), QStringList({"A", "B"}));
    }

    void everyEntryOfARepeatedNameKeepsItsOwnLinks_data()
    {
        QTest::addColumn<QList<DeviceInfo>>("infos");
        QTest::addColumn<bool>("alreadyOnTheMap");
        QTest::addColumn<bool>("undoneAndRedone");
        QTest::addColumn<QStringList>("links");
        QTest::addColumn<QStringList>("repeated");
        const QList<DeviceInfo> twinsFeedingX{feeding("twin", "x"), feeding("twin", "x"), scaler("x")};
        QTest::newRow("two twins each feeding x")
            << twinsFeedingX << false << false << QStringList{"0>2", "1>2"} << QStringList{"twin"};
        QTest::newRow("twin fed by x twice")
            << QList<DeviceInfo>{scaler("x"), scaler("twin", {fromA("x")}), scaler("twin", {fromA("x")})} << false
            << false << QStringList{"0>1", "0>2"} << QStringList{"twin"};
        // x names t by name alone: that is the first t; the third names x from its own entry.
        QTest::newRow("three alike, one named by a peer")
            << QList<DeviceInfo>{feeding("t", "x"), scaler("t"), scaler("t", {fromA("x")}), feeding("x", "t")}
            << false << false << QStringList{"0>3", "3>0", "3>2"} << QStringList{"t"};
        QTest::newRow("two names repeated, each logged once")
            << QList<DeviceInfo>{feeding("a", "b"), feeding("a", "b"), scaler("b"), scaler("b", {fromA("a")})}
            << false << false << QStringList{"0>2", "0>3", "1>2"} << QStringList{"a", "b"};
        QTest::newRow("repeated name already on the map")
            << twinsFeedingX << true << false << QStringList{"0>2", "1>2"} << QStringList{"twin"};
        QTest::newRow("redone after undo")
            << twinsFeedingX << false << true << QStringList{"0>2", "1>2"} << QStringList{"twin"};
    }

    void everyEntryOfARepeatedNameKeepsItsOwnLinks()
    {
        // Given a text naming devices alike (and maybe a device of that name on the map)
        QFETCH(QList<DeviceInfo>, infos);
        QFETCH(bool, alreadyOnTheMap);
        QFETCH(bool, undoneAndRedone);
        QFETCH(QStringList, links);
        QFETCH(QStringList, repeated);
        if (alreadyOnTheMap)
            manager->renameDevice(manager->createDevice("scaler", false), infos.first().name);
        ZenticMessageBox::AnswerGuard answer(QMessageBox::Ok);
        TestSupport::LogCapture log;

        // When it is pasted (and the paste undone and redone)
        paste(infos, map->rearrangeDevicesFromInfos(infos, map->getCurrentLayoutType()));
        if (undoneAndRedone) {
            stack()->undo();
            log.clear();
            stack()->redo();
        }

        // Then every entry's device has the links its entry gives, each repeated name is logged
        // once, and every device is placed on its own and selected, with no box
        const QStringList created = lastPaste()->createdDevices();
        QCOMPARE(created.size(), infos.size());
        QCOMPARE(linksByEntry(*manager, created), links);
        QStringList logged;
        for (const QString& name : repeated)
            logged.append("repeated device name, links naming it join the first device of that name: \"" + name + "\"");
        QCOMPARE(log.messages(QtWarningMsg).filter("repeated device name"), logged);
        QStringList centres;
        for (const QString& name : created) {
            QVERIFY(!item(name)->isUnplaced());
            QVERIFY(item(name)->isSelected());
            centres.append(QStringLiteral("%1,%2").arg(item(name)->getCenter().x()).arg(item(name)->getCenter().y()));
        }
        centres.removeDuplicates();
        QCOMPARE(centres.size(), created.size());
        QCOMPARE(answer.count(), 0);
    }

    void anItemThatVanishesDuringTheWaitsIsSkipped()
    {
        // Given a late manager, and A removed at once when B is reported
        manager->setNotificationMode(TestDeviceManager::Deferred, 20);
        connect(manager.get(), &DeviceManager::deviceRegistered, this, [this](const QString& name) {
            if (name != "B" && !manager->getDeviceInfo("B").name.isEmpty() && map->getDeviceItems().contains("A")) {
                manager->setNotificationMode(TestDeviceManager::Immediate);
                manager->removeDevice("A");
            }
        });

        paste({scaler("A"), scaler("B")}, twoDevices());

        // Then B is placed, and nothing touched A's item
        QVERIFY(!map->getDeviceItems().contains("A"));
        QVERIFY(item("B")->isVisible());
        stack()->undo();
        QVERIFY(manager->getDeviceNames().isEmpty());
    }
};

QTEST_MAIN(TestPasteDevicesOperation)
#include "tst_PasteDevicesOperation.moc"
