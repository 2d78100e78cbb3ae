#include "ClusterRectItem.h"
#include "DeviceConnectionItem.h"
#include "DeviceMapWidget.h"
#include "DeviceNodeItem.h"
#include "RearrangeGraphOperation.h"
#include "TestDeviceManager.h"

#include <QPointer>
#include <QTemporaryDir>
#include <QUndoStack>
#include <QtTest>

#include <memory>

// The rearrangement as an undo step: what redo shows, and that undo gives back the old map exactly.
class TestRearrangeGraphOperation : public QObject
{
    Q_OBJECT

    QTemporaryDir dir;
    std::unique_ptr<TestDeviceManager> manager;
    std::unique_ptr<DeviceMapWidget> map;
    QString a, b, c;

    DeviceNodeItem* item(const QString& name) const { return map->getDeviceItems().value(name); }
    DeviceConnectionItem* link(const QString& from, const QString& to) const { return map->getConnection(from, to); }
    QRectF rectOf(const QString& name) const { return item(name)->boundingRect().translated(item(name)->pos()); }
    QRectF at(const QString& name, double x, double y) const { return QRectF(QPointF(x, y), item(name)->boundingRect().size()); }
    QUndoStack* stack() const { return map->getUndoStack(); }

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
        DeviceNodeItem::setUnplacedDevices(QStringList());
        DeviceNodeItem::setGridOn(false);
        QFile::remove(dir.filePath("map.ini"));
        manager = std::make_unique<TestDeviceManager>();
        manager->markInitialised();
        map = std::make_unique<DeviceMapWidget>(manager.get(), dir.filePath("map.ini"));
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
        map.reset();
        manager.reset();
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

        // A larger view widens it to what it shows
        map->resize(1000, 900);
        QTRY_VERIFY(map->viewport()->width() > 900);
        stack()->undo();
        stack()->redo();
        QCOMPARE(map->sceneRect(), QRectF(QPointF(0, 0), map->mapToScene(map->viewport()->rect()).boundingRect().size()));
    }

    void undoGivesBackPlacesBendsClustersAndSceneExactly()
    {
        // Given a map with devices, bends, clusters and a scene rectangle off every grid
        buildMap();
        map->setSceneRects(QRectF(-15.5, -10.25, 1300.5, 900.75));
        const DevicesArrangement before = map->getAllDevicesArrangement();

        // When it is rearranged, then the new picture shows and the old clusters are gone
        push(newLayout());
        QCOMPARE(stack()->text(0), QStringLiteral("Rearrange graph"));
        QCOMPARE(rectOf(a), at(a, 20, 20));
        QCOMPARE(link(a, b)->getBendingPoints(), QList<QPointF>({QPointF(250, 40), QPointF(250, 45)}));
        QCOMPARE(map->getClusterItems().keys(), QStringList({"Input"}));
        QCOMPARE(map->sceneRect(), RearrangeGraphOperation::sceneRectFor(newLayout().devicesRect));

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
        // A cluster made anew moves its devices, as every new cluster does
        QVERIFY(map->getClusterItems().value("right")->getMovesContainedDevices());
        QCOMPARE(map->sceneRect(), QRectF(-15.5, -10.25, 1300.5, 900.75));
    }

    void oppositeLinksThatComeStraightAreSplit_data()
    {
        QTest::addColumn<bool>("reverseBentBefore");
        QTest::addColumn<bool>("reverseBentAfter");
        // The later entry of b→a gives b→a its own (empty) bends back
        QTest::newRow("reverse straight before") << false << false;
        // The entry of a→b finds b→a still bent; the entry of b→a then splits both
        QTest::newRow("reverse bent before") << true << true;
    }

    void oppositeLinksThatComeStraightAreSplit()
    {
        QFETCH(bool, reverseBentBefore);
        QFETCH(bool, reverseBentAfter);
        manager->addDeviceConnection(b, a, QString(), QString());
        buildMap();
        link(a, b)->setBendingPoints({});
        link(b, a)->setBendingPoints(reverseBentBefore ? QList<QPointF>{QPointF(200, 300)} : QList<QPointF>{});
        DevicesArrangement after = newLayout();
        after.connections = {{a, b, {}}, {b, a, {}}};

        push(after);
        QVERIFY(!link(a, b)->getBendingPoints().isEmpty());
        QCOMPARE(!link(b, a)->getBendingPoints().isEmpty(), reverseBentAfter);

        // Undo sets the stored bends and splits nothing
        stack()->undo();
        QVERIFY(link(a, b)->getBendingPoints().isEmpty());
        QCOMPARE(link(b, a)->getBendingPoints().isEmpty(), !reverseBentBefore);
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

    void placesExactlyWithSnappingOnAndPlacesUnplacedDevicesForGood()
    {
        // Given snapping on and c waiting in the unplaced zone
        buildMap();
        item(c)->unplaceDevice();
        DeviceNodeItem::setGridOn(true);
        DevicesArrangement after = newLayout();
        after.deviceRects[a] = at(a, 21.5, 23.25);

        push(after);
        QCOMPARE(rectOf(a), at(a, 21.5, 23.25));
        QVERIFY(!item(c)->isUnplaced() && item(c)->isVisible());

        // Undo snaps nothing either, and c keeps its new place: it was not on the map before
        stack()->undo();
        QCOMPARE(item(b)->pos(), QPointF(250.7, 40.9));
        QCOMPARE(rectOf(c), at(c, 20, 200));
        QVERIFY(DeviceNodeItem::getGridOn());
    }
};

QTEST_MAIN(TestRearrangeGraphOperation)
#include "tst_RearrangeGraphOperation.moc"
