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

private Q_SLOTS:
    void init()
    {
        resetFixture();
        manager->markInitialised();
    }

    void cleanup() { tearDownFixture(); }

    void sceneRectCoversPlacedDevicesWithMarginAndReadsBackTheMinimum()
    {
        openMap();
        save();
        QCOMPARE(stored("sceneRect").toRect(), QRect(0, 0, 50, 50));
        QCOMPARE(stored("layoutType").toInt(), 0);
        QCOMPARE(stored("Clusters/ClusterNames").toStringList(), QStringList());
        openMap();
        QCOMPARE(map->sceneRect(), QRectF(0, 0, 1000, 600));

        DeviceNodeItem* node = item(create("generator"));
        node->placeDevice(QPointF(1150 - node->boundingRect().width(), 700 - node->boundingRect().height()));
        save();
        QCOMPARE(stored("sceneRect").toRect().size(), QSize(1200, 750));
    }

    void devicePlacesRoundTrip()
    {
        openMap();
        const QString placed = create("generator");
        const QString unplaced = create("scaler");
        item(placed)->placeDevice(QPointF(10.7, 20.2));
        map.reset(); // closing saves
        QCOMPARE(stored(placed + "/rect").toRect().topLeft(), QPoint(10, 20));
        QCOMPARE(stored(unplaced + "/rect").toRect(), QRect(-1, -1, -1, -1));

        openMap();

        QCOMPARE(item(placed)->pos(), QPointF(10, 20));
        QVERIFY(item(unplaced)->isUnplaced());
    }

    void bendingPointsRoundTripAsShortestText()
    {
        const QStringList pair = linkedPair();
        manager->addDeviceConnection(pair.at(1), pair.at(0), QString(), QString());
        openMap();
        map->getConnection(pair.at(0), pair.at(1))->setBendingPoints({QPointF(100.25, 33.333333), QPointF(-4, 8)});
        map->getConnection(pair.at(1), pair.at(0))->setBendingPoints({});
        save();
        QCOMPARE(stored(pair.join(':') + "/bends").toStringList(), QStringList({"100.25;33.3333", "-4;8"}));
        QVERIFY(!stored(pair.at(1) + ":" + pair.at(0) + "/bends").isValid());

        openMap();

        QCOMPARE(map->getConnection(pair.at(0), pair.at(1))->getBendingPoints(),
                 QList<QPointF>({QPointF(100.25, 33.3333), QPointF(-4, 8)}));
    }

    void malformedBendTextsAreSkipped()
    {
        const QStringList pair = linkedPair();
        writeLayout(pair.join(':') + "/bends", QStringList({"7", "a;b", "", "1;2"}));

        openMap();

        QCOMPARE(map->getConnection(pair.at(0), pair.at(1))->getBendingPoints(), QList<QPointF>({QPointF(1, 2)}));
    }

    void layoutTypeIsReadBack_data()
    {
        QTest::addColumn<QVariant>("storedType");
        QTest::addColumn<int>("expected");
        QTest::newRow("fixed clusters") << QVariant(4) << int(DeviceMapWidget::FixedClusters);
        QTest::newRow("unknown number") << QVariant(17) << int(DeviceMapWidget::Orthogonal);
        QTest::newRow("negative") << QVariant(-2) << int(DeviceMapWidget::Orthogonal);
        QTest::newRow("not a number") << QVariant("wide") << int(DeviceMapWidget::Orthogonal);
    }

    void layoutTypeIsReadBack()
    {
        QFETCH(QVariant, storedType);
        QFETCH(int, expected);
        writeLayout("layoutType", storedType);

        QCOMPARE(int(openMap()->getCurrentLayoutType()), expected);
    }

    void clustersRoundTrip()
    {
        openMap();
        map->createCluster("pumps", QRectF(10, 20, 200, 100));
        map->createCluster("valves", QRectF(300, 20, 50, 60));
        map->getClusterItems().value("valves")->setMovesContainedDevices(false);

        openMap();

        QCOMPARE(stored("Clusters/ClusterNames").toStringList(), QStringList({"pumps", "valves"}));
        QCOMPARE(map->getClusterItems().keys(), QStringList({"pumps", "valves"}));
        const ClusterRectItem* pumps = map->getClusterItems().value("pumps");
        QCOMPARE(pumps->pos(), QPointF(10, 20));
        QCOMPARE(pumps->rect(), QRectF(0, 0, 200, 100));
        QVERIFY(pumps->getMovesContainedDevices());
        QVERIFY(!map->getClusterItems().value("valves")->getMovesContainedDevices());
    }

    void closingSavesOnlyTheKeysOfTheNewName()
    {
        openMap();
        const QString name = create("generator");
        item(name)->placeDevice(QPointF(70, 80));
        save();
        QVERIFY(manager->renameDevice(name, "pump"));

        map->close();

        QVERIFY(!stored(name + "/rect").isValid());
        const QPointF renamedPos = item("pump")->pos(); // kept about its centre
        QCOMPARE(stored("pump/rect").toRect().topLeft(), QPoint(int(renamedPos.x()), int(renamedPos.y())));
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

    void hugeStoredRectanglesAreClampedAndTheGridStaysSmall()
    {
        // Given a file asking for a scene of two million units and a device near the end of int
        const QString name = create("generator");
        QFile file(layoutPath());
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("[General]\nsceneRect=@Rect(0 0 2000000 2000000)\n[" + name.toUtf8()
                   + "]\nrect=@Rect(2147483600 10 2147483000 30)\n");
        file.close();

        // When the map opens it and shows its grid
        openMap();
        map->toggleShowGrid();

        // Then every coordinate lies within a million units, and the grid has a few thousand lines
        QCOMPARE(item(name)->pos(), QPointF(1000000, 10));
        QVERIFY2(map->sceneRect().right() <= 1000000 + 200 && map->sceneRect().bottom() <= 1000000 + 200,
                 qPrintable(QString("%1 %2").arg(map->sceneRect().right()).arg(map->sceneRect().bottom())));
        QVERIFY(map->getGrid().getVerticalLines().size() <= Grid::maxLinesPerAxis + 1);
        QVERIFY(map->getGrid().getHorizontalLines().size() <= Grid::maxLinesPerAxis + 1);
        save();
        QCOMPARE(stored(name + "/rect").toRect().x(), 1000000);
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
