#include "ClusterRectItem.h"
#include "CreateDeviceOperation.h"
#include "DeviceConnectionItem.h"
#include "DeviceMapWidget.h"
#include "DeviceNodeItem.h"
#include "TestDeviceManager.h"
#include "TestSupport.h"

#include <QSettings>
#include <QTemporaryDir>
#include <QtTest>

#include <memory>

// The map's INI layout file: what is written, what is read back, and when.
class TestDeviceMapWidget : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir dir;
    std::unique_ptr<TestDeviceManager> manager;

    QString layoutPath() const { return dir.filePath(QStringLiteral("map.ini")); }

    std::unique_ptr<DeviceMapWidget> makeMap()
    {
        return std::make_unique<DeviceMapWidget>(manager.get(), layoutPath());
    }

    QVariant stored(const QString& key) const
    {
        QSettings layout(layoutPath(), QSettings::IniFormat);
        return layout.value(key);
    }

    void writeLayout(const QString& key, const QVariant& value)
    {
        QSettings layout(layoutPath(), QSettings::IniFormat);
        layout.setValue(key, value);
    }

    void save(DeviceMapWidget& map) { QVERIFY(QMetaObject::invokeMethod(&map, "saveLayout")); }

private Q_SLOTS:
    void init()
    {
        QFile::remove(layoutPath());
        DeviceNodeItem::setUnplacedDevices(QStringList());
        manager = std::make_unique<TestDeviceManager>();
        manager->markInitialised();
    }

    void cleanup() { manager.reset(); }

    void sceneRectCoversPlacedDevicesWithMarginAndReadsBackTheMinimum()
    {
        {
            auto map = makeMap();
            save(*map);
            QCOMPARE(stored(QStringLiteral("sceneRect")).toRect(), QRect(0, 0, 50, 50));
            QCOMPARE(stored(QStringLiteral("layoutType")).toInt(), 0);
            QCOMPARE(stored(QStringLiteral("Clusters/ClusterNames")).toStringList(), QStringList());
        }
        auto map = makeMap();
        QCOMPARE(map->sceneRect(), QRectF(0, 0, 1000, 600));

        const QString name = manager->createDevice(QStringLiteral("generator"), false);
        DeviceNodeItem* item = map->getDeviceItems().value(name);
        item->placeDevice(QPointF(1150 - item->boundingRect().width(), 700 - item->boundingRect().height()));
        save(*map);
        QCOMPARE(stored(QStringLiteral("sceneRect")).toRect().size(), QSize(1200, 750));
    }

    void devicePlacesRoundTrip()
    {
        // Given a placed device at a fractional position and an unplaced one
        QString placed;
        QString unplaced;
        {
            auto map = makeMap();
            placed = manager->createDevice(QStringLiteral("generator"), false);
            unplaced = manager->createDevice(QStringLiteral("scaler"), false);
            map->getDeviceItems().value(placed)->placeDevice(QPointF(10.7, 20.2));
        }
        // (destroying the map saved it)
        QCOMPARE(stored(placed + "/rect").toRect().topLeft(), QPoint(10, 20));
        QCOMPARE(stored(unplaced + "/rect").toRect(), QRect(-1, -1, -1, -1));

        // When a map reads the file
        auto map = makeMap();

        // Then the places come back
        QCOMPARE(map->getDeviceItems().value(placed)->pos(), QPointF(10, 20));
        QVERIFY(map->getDeviceItems().value(unplaced)->isUnplaced());
    }

    void bendingPointsRoundTripAsShortestText()
    {
        // Given a bent link and a straight one back
        const QString from = manager->createDevice(QStringLiteral("generator"), false);
        const QString to = manager->createDevice(QStringLiteral("scaler"), false);
        manager->addDeviceConnection(from, to, QString(), QString());
        manager->addDeviceConnection(to, from, QString(), QString());
        {
            auto map = makeMap();
            map->getConnection(from, to)->setBendingPoints({QPointF(100.25, 33.333333), QPointF(-4, 8)});
            map->getConnection(to, from)->setBendingPoints({});
            save(*map);
            QCOMPARE(stored(from + ":" + to + "/bends").toStringList(), QStringList({"100.25;33.3333", "-4;8"}));
            QVERIFY(!stored(to + ":" + from + "/bends").isValid());
        }
        auto map = makeMap();
        QCOMPARE(map->getConnection(from, to)->getBendingPoints(),
                 QList<QPointF>({QPointF(100.25, 33.3333), QPointF(-4, 8)}));
    }

    void malformedBendTextsAreSkipped()
    {
        const QString from = manager->createDevice(QStringLiteral("generator"), false);
        const QString to = manager->createDevice(QStringLiteral("scaler"), false);
        manager->addDeviceConnection(from, to, QString(), QString());
        writeLayout(from + ":" + to + "/bends", QStringList({"7", "a;b", "", "1;2"}));

        auto map = makeMap();

        QCOMPARE(map->getConnection(from, to)->getBendingPoints(), QList<QPointF>({QPointF(1, 2)}));
    }

    void layoutTypeIsReadBack_data()
    {
        QTest::addColumn<QVariant>("storedType");
        QTest::addColumn<int>("expected");
        QTest::newRow("hierarchical") << QVariant(1) << int(DeviceMapWidget::Hierarchical);
        QTest::newRow("fixed clusters") << QVariant(4) << int(DeviceMapWidget::FixedClusters);
        QTest::newRow("unknown number") << QVariant(17) << int(DeviceMapWidget::Orthogonal);
        QTest::newRow("negative") << QVariant(-2) << int(DeviceMapWidget::Orthogonal);
        QTest::newRow("not a number") << QVariant(QStringLiteral("wide")) << int(DeviceMapWidget::Orthogonal);
    }

    void layoutTypeIsReadBack()
    {
        QFETCH(QVariant, storedType);
        QFETCH(int, expected);
        writeLayout(QStringLiteral("layoutType"), storedType);

        auto map = makeMap();

        QCOMPARE(int(map->getCurrentLayoutType()), expected);
    }

    void clustersRoundTrip()
    {
        {
            auto map = makeMap();
            map->createCluster(QStringLiteral("pumps"), QRectF(10, 20, 200, 100));
            map->createCluster(QStringLiteral("valves"), QRectF(300, 20, 50, 60));
            map->getClusterItems().value(QStringLiteral("valves"))->setMovesContainedDevices(false);
            save(*map);
        }
        QCOMPARE(stored(QStringLiteral("Clusters/ClusterNames")).toStringList(), QStringList({"pumps", "valves"}));

        auto map = makeMap();

        QCOMPARE(map->getClusterItems().keys(), QStringList({"pumps", "valves"}));
        ClusterRectItem* pumps = map->getClusterItems().value(QStringLiteral("pumps"));
        QCOMPARE(pumps->pos(), QPointF(10, 20));
        QCOMPARE(pumps->rect(), QRectF(0, 0, 200, 100));
        QVERIFY(pumps->getMovesContainedDevices());
        QVERIFY(!map->getClusterItems().value(QStringLiteral("valves"))->getMovesContainedDevices());
    }

    void closingSavesOnlyTheKeysOfTheNewName()
    {
        auto map = makeMap();
        const QString name = manager->createDevice(QStringLiteral("generator"), false);
        map->getDeviceItems().value(name)->placeDevice(QPointF(70, 80));
        save(*map);
        QVERIFY(manager->renameDevice(name, QStringLiteral("pump")));

        map->close();

        QVERIFY(!stored(name + "/rect").isValid());
        const QPointF renamedPos = map->getDeviceItems().value(QStringLiteral("pump"))->pos();
        QCOMPARE(stored(QStringLiteral("pump/rect")).toRect().topLeft(), QPoint(int(renamedPos.x()), int(renamedPos.y())));
    }

    void undoAndRedoRewriteTheFile()
    {
        // Given a device created through the undo stack
        auto map = makeMap();
        map->pushOperation(new CreateDeviceOperation(map.get(), QStringLiteral("generator"), QPointF(30, 40)));
        const QString name = manager->getDeviceNames().value(0);
        QCOMPARE(stored(name + "/rect").toRect().topLeft(), QPoint(30, 40));

        // When it is undone, the file forgets it; when redone, the new device is written
        map->getUndoStack()->undo();
        QVERIFY(!stored(name + "/rect").isValid());
        map->getUndoStack()->redo();
        const QString again = manager->getDeviceNames().value(0);
        QCOMPARE(stored(again + "/rect").toRect().topLeft(), QPoint(30, 40));
    }

    void failedWriteIsLogged()
    {
        // Given a layout path below a plain file, which no one can create
        const QString blocker = dir.filePath(QStringLiteral("blocker"));
        QFile file(blocker);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.close();
        const QString unwritable = blocker + QStringLiteral("/map.ini");
        DeviceMapWidget map(manager.get(), unwritable);
        TestSupport::LogCapture log;

        QVERIFY(QMetaObject::invokeMethod(&map, "saveLayout"));

        QVERIFY(log.containsFragment(QStringLiteral("DeviceMapWidget::saveLayout() | WARNING can not write the layout "
                                                    "file |")));
    }
};

QTEST_MAIN(TestDeviceMapWidget)
#include "tst_DeviceMapWidgetLayoutFile.moc"
