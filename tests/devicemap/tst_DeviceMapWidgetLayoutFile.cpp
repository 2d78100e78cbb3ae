#include "ClusterRectItem.h"
#include "CreateDeviceOperation.h"
#include "DeviceConnectionItem.h"
#include "TestSupport.h"
#include "tst_DeviceMapWidget_Fixture.h"

#include <QtTest>

// The map's INI layout file: what is written, what is read back, and when.
class TestDeviceMapWidget : public QObject, DeviceMapFixture
{
    Q_OBJECT

    void save() { QVERIFY(QMetaObject::invokeMethod(map.get(), "saveLayout")); }

    QByteArray layoutBytes() const
    {
        QFile file(layoutPath());
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }

private Q_SLOTS:
    void init()
    {
        resetFixture();
        manager->markInitialised();
    }

    void cleanup() { tearDownFixture(); }

    void placesBendsAndClustersRoundTrip()
    {
        const QStringList pair = linkedPair();
        manager->addDeviceConnection(pair.at(1), pair.at(0), QString(), QString());
        const QString unplaced = create("adder");
        openMap();
        item(pair.at(0))->placeDevice(QPointF(10.7, 20.2));
        map->getConnection(pair.at(0), pair.at(1))->setBendingPoints({QPointF(100.25, 33.333333), QPointF(-4, 8)});
        map->getConnection(pair.at(1), pair.at(0))->setBendingPoints({});
        map->createCluster("valves", QRectF(10, 20, 200, 100));
        map->getClusterItems().value("valves")->setMovesContainedDevices(false);
        map.reset(); // closing saves
        QCOMPARE(stored(unplaced + "/rect").toRect(), QRect(-1, -1, -1, -1));
        QCOMPARE(stored(pair.join(':') + "/bends").toStringList(), QStringList({"100.25;33.3333", "-4;8"}));
        QVERIFY(!stored(pair.at(1) + ":" + pair.at(0) + "/bends").isValid());

        openMap();

        QCOMPARE(item(pair.at(0))->pos(), QPointF(10, 20));
        QVERIFY(item(unplaced)->isUnplaced());
        QCOMPARE(map->getConnection(pair.at(0), pair.at(1))->getBendingPoints(),
                 QList<QPointF>({QPointF(100.25, 33.3333), QPointF(-4, 8)}));
        const ClusterRectItem* valves = map->getClusterItems().value("valves");
        QCOMPARE(QRectF(valves->pos(), valves->rect().size()), QRectF(10, 20, 200, 100));
        QVERIFY(!valves->getMovesContainedDevices());
    }

    void malformedBendTextsAreSkipped()
    {
        const QStringList pair = linkedPair();
        writeLayout(pair.join(':') + "/bends", QStringList({"7", "a;b", "", "1;2"}));

        openMap();

        QCOMPARE(map->getConnection(pair.at(0), pair.at(1))->getBendingPoints(), QList<QPointF>({QPointF(1, 2)}));
    }

    void anUnknownLayoutTypeReadsAsOrthogonal()
    {
        writeLayout("layoutType", 17);
        QCOMPARE(openMap()->getCurrentLayoutType(), DeviceMapWidget::Orthogonal);
        map.reset();
        writeLayout("layoutType", 4);
        QCOMPARE(openMap()->getCurrentLayoutType(), DeviceMapWidget::FixedClusters);
    }

    void undoAndRedoRewriteTheFile()
    {
        openMap();
        map->pushOperation(new CreateDeviceOperation(map.get(), "generator", QPointF(30, 40)));
        const QString name = manager->getDeviceNames().value(0);
        QCOMPARE(stored(name + "/rect").toRect().topLeft(), QPoint(30, 40));

        map->getUndoStack()->undo();
        QVERIFY(!stored(name + "/rect").isValid());
        map->getUndoStack()->redo();
        QCOMPARE(stored(manager->getDeviceNames().value(0) + "/rect").toRect().topLeft(), QPoint(30, 40));
    }

    void aMapClosedBeforeItsSceneIsBuiltLeavesTheFileAlone()
    {
        // Given a layout file that places a device and a cluster, and a manager that has its
        // devices but has not reported its graph yet
        manager = std::make_unique<TestDeviceManager>();
        const QStringList pair = linkedPair();
        writeLayout(pair.at(0) + "/rect", QRect(100, 200, 80, 30));
        writeLayout("Clusters/ClusterNames", QStringList({"pumps"}));
        writeLayout("Clusters/pumps/rect", QRect(0, 0, 300, 200));
        const QByteArray before = layoutBytes();

        // When the map is opened, a device is registered meanwhile, and the map is closed and destroyed
        openMap();
        create("adder");
        map->close();
        map.reset();

        // Then the file is as it was
        QCOMPARE(layoutBytes(), before);

        // And once the graph is reported, the scene comes from that file and saves go on
        openMap();
        manager->markInitialised();
        QTRY_VERIFY(map->getClusterItems().contains("pumps"));
        QCOMPARE(item(pair.at(0))->pos(), QPointF(100, 200));
        item(pair.at(0))->placeDevice(QPointF(120, 220));
        save();
        QCOMPARE(stored(pair.at(0) + "/rect").toRect().topLeft(), QPoint(120, 220));
    }

    void reopeningWithoutEditsKeepsTheFileByteForByte_data()
    {
        QTest::addColumn<QPointF>("place");
        QTest::addColumn<bool>("withClusters");
        QTest::newRow("no clusters") << QPointF(40, 30) << false;
        QTest::newRow("a cluster") << QPointF(40, 30) << true;
        QTest::newRow("a fractional place near the scene's edge") << QPointF(-10.5, 3.25) << false;
    }

    void reopeningWithoutEditsKeepsTheFileByteForByte()
    {
        // Given devices the file does not know yet, one of them placed by the user and linked
        QFETCH(QPointF, place);
        QFETCH(bool, withClusters);
        const QStringList pair = linkedPair();
        create("adder");
        openMap();
        item(pair.at(1))->placeDevice(place);
        if (withClusters)
            map->createCluster("valves", QRectF(10, 20, 200, 100));
        map.reset();
        const QByteArray first = layoutBytes();

        // When the map is opened and closed twice without an edit
        openMap();
        map.reset();
        QCOMPARE(layoutBytes(), first);
        openMap();
        map.reset();

        // Then each close wrote the same bytes, and an empty cluster list is no value of its own
        QCOMPARE(layoutBytes(), first);
        QVERIFY(!first.contains("@Invalid()"));
        QCOMPARE(stored("Clusters/ClusterNames").toStringList(),
                 withClusters ? QStringList({"valves"}) : QStringList());
    }

    void failedWriteIsLogged()
    {
        // A layout path below a plain file, which no one can create
        QFile blocker(dir.filePath("blocker"));
        QVERIFY(blocker.open(QIODevice::WriteOnly));
        blocker.close();
        DeviceMapWidget unwritable(manager.get(), blocker.fileName() + "/map.ini");
        TestSupport::LogCapture log;

        bool saved = true;
        QVERIFY(QMetaObject::invokeMethod(&unwritable, "saveLayout", Q_RETURN_ARG(bool, saved)));

        QVERIFY(!saved);
        QVERIFY(log.containsFragment("DeviceMapWidget::saveLayout() | WARNING can not write the layout file |"));
    }
};

QTEST_MAIN(TestDeviceMapWidget)
#include "tst_DeviceMapWidgetLayoutFile.moc"
