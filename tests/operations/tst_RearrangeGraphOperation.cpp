#include "ClusterRectItem.h"
#include "DeviceConnectionItem.h"
#include "MapOperationFixture.h"
#include "RearrangeGraphOperation.h"

#include <QPointer>

// The rearrangement as an undo step: what redo shows, and that undo gives back the old map exactly.
class TestRearrangeGraphOperation : public QObject, protected MapOperationFixture
{
    Q_OBJECT

    QString a, b, c;

    DeviceConnectionItem* link(const QString& from, const QString& to) const { return map->getConnection(from, to); }
    QRectF rectOf(const QString& name) const { return item(name)->boundingRect().translated(item(name)->pos()); }
    QRectF at(const QString& name, double x, double y) const { return QRectF(QPointF(x, y), item(name)->boundingRect().size()); }

    void push(const DevicesArrangement& after)
    {
        map->pushOperation(new RearrangeGraphOperation(map.get(), map->getAllDevicesArrangement(), after, map->sceneRect()));
    }

    /// a, b and c placed off any grid, a→b with two bends, and two clusters, one not moving its devices.
    void buildMap()
    {
        item(a)->placeDevice(QPointF(10.1, 20.3));
        item(b)->placeDevice(QPointF(250.7, 40.9));
        item(c)->placeDevice(QPointF(33.3, 180.6));
        link(a, b)->setBendingPoints({QPointF(120.25, 31.5), QPointF(120.25, 60.125)});
        map->createCluster("left", QRectF(0.5, 0.25, 200.75, 260.5));
        map->createCluster("right", QRectF(240.5, 30.5, 180.25, 70.75));
        map->getClusterItems().value("right")->setMovesContainedDevices(false);
    }

    DevicesArrangement newLayout() const
    {
        DevicesArrangement after;
        after.deviceRects = {{a, at(a, 20, 20)}, {b, at(b, 300, 20)}, {c, at(c, 20, 200)}};
        after.connections = {{a, b, {QPointF(250, 40), QPointF(250, 45)}}};
        after.clusterRects = {{"Input", QRectF(10, 10, 100, 60)}};
        after.recalculateBounds();
        return after;
    }

private Q_SLOTS:
    void init()
    {
        DeviceNodeItem::setGridOn(false);
        openMap();
        // Shown smaller than every scene rectangle here, so that none is widened to the viewport.
        map->resize(160, 120);
        map->show();
        QVERIFY(QTest::qWaitForWindowExposed(map.get()));
        a = manager->createDevice("generator", false);
        b = manager->createDevice("scaler", false);
        c = manager->createDevice("scaler", false);
        manager->addDeviceConnection(a, b, QString(), QString());
    }

    void cleanup()
    {
        closeMap();
        DeviceNodeItem::setGridOn(false);
    }

    void sceneRectFollowsTheNewDevices_data()
    {
        QTest::addColumn<QRectF>("devices");
        QTest::addColumn<QRectF>("scene");
        QTest::newRow("300 x 199.9") << QRectF(20, 20, 300, 199.9) << QRectF(0, 0, 500, 400);
        QTest::newRow("300.5 x 200") << QRectF(20, 20, 300.5, 200) << QRectF(0, 0, 500, 400);
        QTest::newRow("634.9 x 567.8") << QRectF(20, 20, 634.9, 567.8) << QRectF(0, 0, 834, 767);
        QTest::newRow("no devices") << QRectF() << QRectF(0, 0, 500, 400);
    }

    void sceneRectFollowsTheNewDevices()
    {
        QFETCH(QRectF, devices);
        QFETCH(QRectF, scene);
        DevicesArrangement after;
        after.devicesRect = devices;
        push(after);
        QCOMPARE(map->sceneRect(), scene);
    }

    void undoGivesBackPlacesBendsClustersAndSceneExactly()
    {
        // Given a map with devices, bends, clusters and a scene rectangle off every grid
        buildMap();
        map->setSceneRects(QRectF(-15.5, -10.25, 1300.5, 900.75));
        const DevicesArrangement before = map->getAllDevicesArrangement();

        // When it is rearranged, then the new picture shows and the old clusters are gone
        push(newLayout());
        QCOMPARE(rectOf(a), at(a, 20, 20));
        QCOMPARE(link(a, b)->getBendingPoints(), QList<QPointF>({QPointF(250, 40), QPointF(250, 45)}));
        QCOMPARE(map->getClusterItems().keys(), QStringList({"Input"}));

        // When it is undone, then everything is where it was, to the last bit
        stack()->undo();
        for (const QString& name : {a, b, c}) {
            const QPointF pos = item(name)->pos();
            const QPointF expected = before.deviceRects.value(name).topLeft();
            QVERIFY2(pos.x() == expected.x() && pos.y() == expected.y(), qPrintable(name));
        }
        const QList<QPointF> bends = link(a, b)->getBendingPoints();
        QVERIFY(bends.size() == 2 && bends.at(0).x() == 120.25 && bends.at(0).y() == 31.5 && bends.at(1).y() == 60.125);
        QCOMPARE(map->getClusterItems().keys(), QStringList({"left", "right"}));
        QCOMPARE(QRectF(map->getClusterItems().value("right")->pos(), map->getClusterItems().value("right")->rect().size()),
                 QRectF(240.5, 30.5, 180.25, 70.75));
        QVERIFY(!map->getClusterItems().value("right")->getMovesContainedDevices());
        QCOMPARE(map->sceneRect(), QRectF(-15.5, -10.25, 1300.5, 900.75));
    }

    void passesOverWhatIsGoneAndRemovesClustersByTheirKey()
    {
        // Given a cluster item renamed behind its entry's back, an empty entry, and a new
        // arrangement naming a device and a link the map does not have
        buildMap();
        QPointer<ClusterRectItem> renamed = map->getClusterItems().value("left");
        renamed->setName("renamed");
        DevicesArrangement after = newLayout();
        after.deviceRects.insert("ghost", QRectF(0, 0, 50, 20));
        after.connections.append({"ghost", a, {QPointF(1, 1)}});
        const DevicesArrangement before = map->getAllDevicesArrangement();
        map->getClusterItems().insert("empty entry", nullptr);

        map->pushOperation(new RearrangeGraphOperation(map.get(), before, after, map->sceneRect()));

        QCOMPARE(rectOf(c), at(c, 20, 200));
        QVERIFY(!renamed);
        QCOMPARE(map->getClusterItems().keys(), QStringList({"Input"}));
        stack()->undo();
        QCOMPARE(map->getClusterItems().value("left")->getName(), QStringLiteral("left"));
    }

};

QTEST_MAIN(TestRearrangeGraphOperation)
#include "tst_RearrangeGraphOperation.moc"
