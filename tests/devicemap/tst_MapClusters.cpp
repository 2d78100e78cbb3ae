#include "ClusterRectItem.h"
#include "ClusterRules.h"
#include "DeviceConnectionItem.h"
#include "ModalRunner.h"
#include "DeviceText.h"
#include "ZenticMessageBox.h"
#include "tst_DeviceMapWidget_Fixture.h"
#include "TestSupport.h"

#include <QGraphicsScene>
#include <QtTest>

// Arrangement snapshots, device files and the user's cluster commands on the map.
class TestMapClusters : public QObject, DeviceMapFixture
{
    Q_OBJECT

    DeviceNodeItem* placed(const QString& name, const QPointF& pos)
    {
        DeviceNodeItem* node = item(name);
        node->placeDevice(pos);
        return node;
    }

    QString writeFile(const QString& name, const QByteArray& content)
    {
        QFile file(dir.filePath(name));
        file.open(QIODevice::WriteOnly | QIODevice::Truncate);
        file.write(content);
        return file.fileName();
    }

    static QByteArray pairText()
    {
        DeviceInfo first;
        first.name = "p1";
        first.type = "scaler";
        DeviceInfo second = first;
        second.name = "p2";
        second.outgoingConnections.append(Connection{"p1", "output(double)", "input(double)"});
        return DeviceText::compose({first, second}).toUtf8();
    }

private Q_SLOTS:
    void init()
    {
        resetFixture();
        manager->markInitialised();
        openMap();
    }

    void cleanup() { tearDownFixture(); }

    void snapshotRecordsEachLinkOnceWithItsBends()
    {
        // Given A -> B with two bends and B -> A, C linked to A but not listed, and a far cluster
        const QStringList pair = linkedPair();
        manager->addDeviceConnection(pair.at(1), pair.at(0), QString(), QString());
        const QString outsider = create("adder");
        manager->addDeviceConnection(outsider, pair.at(0), QString(), QString());
        map->getConnection(pair.at(0), pair.at(1))->setBendingPoints({QPointF(5, 5), QPointF(9, 9)});
        map->getConnection(pair.at(1), pair.at(0))->setBendingPoints({});
        map->createCluster("far", QRectF(5000, 5000, 10, 10));
        const QList<QGraphicsItem*> listed{placed(pair.at(0), {0, 0}), placed(pair.at(1), {200, 0})};

        // Then each direction appears once, in either order, the outsider not at all, and every cluster
        for (const QList<QGraphicsItem*>& items : {listed, QList<QGraphicsItem*>{listed.at(1), listed.at(0)}}) {
            const DevicesArrangement snapshot = map->getDevicesArrangement(items);
            QCOMPARE(snapshot.connections.size(), 2);
            QVERIFY(snapshot.connections.contains(ItemsConnection{pair.at(0), pair.at(1), {QPointF(5, 5), QPointF(9, 9)}}));
            QCOMPARE(snapshot.devices.size(), 2);
            for (const DeviceInfo& info : snapshot.devices) {
                for (const Connection& c : info.incomingConnections + info.outgoingConnections)
                    QVERIFY(c.device != outsider);
            }
            QCOMPARE(snapshot.clusterRects.value("far"), QRectF(5000, 5000, 10, 10));
        }
        QCOMPARE(map->getAllDevicesArrangement().deviceRects.keys(), QStringList({pair.at(0), pair.at(1)}));
    }

    void deviceFilesAreReadOnlyWhenSafe_data()
    {
        QTest::addColumn<QString>("fileName");
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<int>("devices");
        QTest::newRow("capital suffix") << "pumps.YML" << pairText() << 2;
        QTest::newRow("binary") << "blob.yaml" << QByteArray("a: 1\n\0\x01\x02", 8) << 0;
        QTest::newRow("too large") << "big.yml" << QByteArray(int(16 * 1024 * 1024 + 1), '#') << 0;
    }

    void deviceFilesAreReadOnlyWhenSafe()
    {
        QFETCH(QString, fileName);
        QFETCH(QByteArray, content);
        QFETCH(int, devices);
        const QString path = writeFile(fileName, content);
        ZenticMessageBox::AnswerGuard noBoxes(ZenticMessageBox::AnswerGuard::RejectRole);
        TestSupport::LogCapture log;

        const DevicesArrangement arrangement = map->getDeviceArrangement(path);

        QCOMPARE(arrangement.devices.size(), devices);
        QCOMPARE(arrangement.deviceRects.size(), devices);
        QCOMPARE(noBoxes.count(), 0);
        if (devices > 0)
            QCOMPARE(arrangement.connections, QList<ItemsConnection>({ItemsConnection{"p2", "p1", {}}}));
        else
            QVERIFY(log.containsFragment("DeviceMapWidget::getDeviceArrangement() | WARNING can not read the device"));
    }

    void malformedDeviceFileIsToldInABox()
    {
        const QString path = writeFile("broken.yml", "left: [unclosed");
        ZenticMessageBox::AnswerGuard ok(QMessageBox::Ok);
        TestSupport::LogCapture log;

        QVERIFY(map->getDeviceArrangement(path).devices.isEmpty());

        QCOMPARE(ok.texts(), QStringList({"Corrupted configuration"}));
        QVERIFY(log.containsFragment("Devices configuration corrupted! "));
    }

    void clusterNamesAreCheckedWhereverTyped_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<bool>("made");
        QTest::newRow("new name") << "pumps" << true;
        QTest::newRow("empty") << "" << false;
        QTest::newRow("a cluster's") << "valves" << false;
        QTest::newRow("a device's") << "scaler1" << true;
    }

    void clusterNamesAreCheckedWhereverTyped()
    {
        // Given a selected device at (10, 10), and a cluster "valves"
        QFETCH(QString, typed);
        QFETCH(bool, made);
        map->createCluster("valves", QRectF(600, 600, 20, 20));
        const QString name = create("scaler");
        DeviceNodeItem* node = placed(name, {10, 10});
        const QSizeF size = node->boundingRect().size();
        node->setSelected(true);
        ModalRunner::InputAnswerGuard answer(typed);

        // When the user asks for a cluster and types the name
        QVERIFY(QMetaObject::invokeMethod(map.get(), "onCreateCluster"));

        // Then only an acceptable name makes one, around the devices with 15 to spare
        QCOMPARE(answer.requests().size(), 1);
        QCOMPARE(map->getClusterItems().contains(typed) && typed != "valves", made);
        QCOMPARE(map->getUndoStack()->count(), made ? 1 : 0);
        QVERIFY(map->scene()->selectedItems().isEmpty());
        if (made) {
            const ClusterRectItem* cluster = map->getClusterItems().value(typed);
            QCOMPARE(QRectF(cluster->pos(), cluster->rect().size()),
                     QRectF(-5, -5, size.width() + 29, size.height() + 29));
        }
    }

    void aCancelledPromptOrAClusterOutsideTheSceneMakesNone()
    {
        const QString name = create("scaler");
        placed(name, {5000, 10})->setSelected(true);
        const QString near = create("scaler");
        placed(near, {5, 5});
        map->setSceneRects(QRectF(0, 0, 1000, 600)); // the first device now lies outside
        {
            ModalRunner::InputAnswerGuard cancel(ModalRunner::Cancel);
            map->createClusterByItems({item(name)});
        }
        ModalRunner::InputAnswerGuard answer(QStringLiteral("far"));
        map->createClusterByItems({item(name)});
        // A template's cluster around a device at the edge would leave the scene too
        map->createClusterForTemplate("pump", {item(near)});

        QVERIFY(map->getClusterItems().isEmpty());
        QCOMPARE(map->getUndoStack()->count(), 0);
        QCOMPARE(answer.count(), 1);
    }

    void templateClustersAreNumberedPastTakenNames()
    {
        // Given a device already named pump-0
        const QString device = create("scaler");
        QVERIFY(manager->renameDevice(device, "pump-0"));
        const QList<QGraphicsItem*> pasted{placed("pump-0", {100, 100})};

        // When the same template is dropped twice
        map->createClusterForTemplate("pump", pasted);
        map->createClusterForTemplate("pump", pasted);

        // Then the clusters are pump-1 and pump-2, and nothing was asked
        QCOMPARE(map->getClusterItems().keys(), QStringList({"pump-1", "pump-2"}));
        QCOMPARE(ClusterRules::templateClusterName("pump", [](const QString&) { return false; }), QStringLiteral("pump-0"));
    }
};

QTEST_MAIN(TestMapClusters)
#include "tst_MapClusters.moc"
