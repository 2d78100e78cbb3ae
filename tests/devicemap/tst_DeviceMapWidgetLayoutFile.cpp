#include "ClusterRectItem.h"
#include "CreateDeviceOperation.h"
#include "DeviceConnectionItem.h"
#include "RemoveDevicesOperation.h"
#include "RenameDeviceOperation.h"
#include "SampleDevices.h"
#include "TestSupport.h"
#include "tst_DeviceMapWidget_Fixture.h"

#include <QtTest>

namespace {

// pump1, of a type the manager does not know, between two devices it knows.
const char* const keptGraph = R"yaml(config_version: 2
generator1:
  type: generator
  outgoing:
    - "pump1.input(double)<this.valueChanged(double)"
pump1:
  type: pump
  outgoing:
    - "scaler1.input(double)<this.output(double)"
scaler1:
  type: scaler
)yaml";

} // namespace

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

    void theFileKeepsWhatItHoldsOfKeptDevices_data()
    {
        // source: the name under which generator1 feeds pump1, if at all; kept: whether pump1 is still kept.
        QTest::addColumn<QString>("edit");
        QTest::addColumn<QString>("source");
        QTest::addColumn<bool>("kept");
        QTest::newRow("the layout file keeps a kept device's place after the map closes")
            << "close" << "generator1" << true;
        QTest::newRow("the layout file keeps a kept device's place after an edit") << "create" << "generator1" << true;
        QTest::newRow("the layout file keeps a kept device's place after its peer is renamed")
            << "rename" << "gen" << true;
        QTest::newRow("the layout file drops the bends of a kept link whose peer is removed") << "remove" << "" << true;
        QTest::newRow("another graph loaded keeps the places of its own kept devices only")
            << "load" << "generator1" << false;
    }

    void theFileKeepsWhatItHoldsOfKeptDevices()
    {
        // Given a graph whose pump1 is of a type the manager does not know, placed by the file
        // (as is valve1, of another graph)
        QFETCH(QString, edit);
        QFETCH(QString, source);
        QFETCH(bool, kept);
        const QRect place(100, 200, 80, 30);
        const QRect valvePlace(400, 200, 80, 30);
        writeLayout("pump1/rect", place);
        writeLayout("valve1/rect", valvePlace);
        writeLayout("generator1:pump1/bends", QStringList({"150;250"}));
        writeLayout("pump1:scaler1/bends", QStringList({"300;260"}));
        QVERIFY(manager->loadYamlFromString(keptGraph));
        openMap();

        // When the map rewrites its layout file
        if (edit == "create")
            map->pushOperation(new CreateDeviceOperation(map.get(), "adder", QPointF(30, 40)));
        if (edit == "rename")
            map->pushOperation(new RenameDeviceOperation(map.get(), "generator1", "gen"));
        if (edit == "remove")
            map->pushOperation(new RemoveDevicesOperation(map.get(), {item("generator1")}));
        if (edit == "load") {
            QVERIFY(manager->loadYamlFromString("config_version: 2\ngenerator1:\n  type: generator\nvalve1:\n  type: valve\n"));
            save();
        }
        if (edit == "close")
            map.reset();

        // Then the file still places pump1 and bends its links, as long as the manager keeps it
        QCOMPARE(stored("pump1/rect").toRect(), kept ? place : QRect());
        QCOMPARE(stored("valve1/rect").toRect(), edit == "load" ? valvePlace : QRect());
        QCOMPARE(stored(source + ":pump1/bends").toStringList(),
                 kept && !source.isEmpty() ? QStringList({"150;250"}) : QStringList());
        QCOMPARE(stored("pump1:scaler1/bends").toStringList(), kept ? QStringList({"300;260"}) : QStringList());
        QVERIFY(!stored("generator1:pump1/bends").isValid() || source == "generator1");
        if (!kept)
            return;

        // And the file, read back and written again without an edit, is the same
        map.reset();
        const QByteArray written = layoutBytes();
        openMap();
        map.reset();
        QCOMPARE(layoutBytes(), written);

        // And once its type is known again, pump1 comes back where it was
        const QString graph = manager->toYamlString();
        manager = std::make_unique<TestDeviceManager>();
        manager->registerDeviceType("pump", DeviceTypeInfo(), [] { return new ScalerDevice; });
        QVERIFY(manager->loadYamlFromString(graph));
        openMap();
        QCOMPARE(item("pump1")->pos(), QPointF(place.topLeft()));
        QCOMPARE(map->getConnection("pump1", "scaler1")->getBendingPoints(), QList<QPointF>({QPointF(300, 260)}));
        if (!source.isEmpty())
            QCOMPARE(map->getConnection(source, "pump1")->getBendingPoints(), QList<QPointF>({QPointF(150, 250)}));
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
