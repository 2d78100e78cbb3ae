#include "BaseGuiDevice.h"
#include "MapAutoLayout.h"
#include "MapMenus.h"
#include "ModalRunner.h"
#include "ZenticMessageBox.h"
#include "tst_DeviceMapWidget_Fixture.h"

#include <QSignalSpy>
#include <QtTest>

namespace {

class PanelDevice : public BaseGuiDevice
{
public:
    BaseWidget* createWidget() override { return nullptr; }
};

} // namespace

// The map's automatic layout and its rearrange command, through the map's own members.
class TestMapAutoLayout : public QObject, DeviceMapFixture
{
    Q_OBJECT

    QString panel(const QString& area)
    {
        const QString name = create("panel");
        static_cast<BaseGuiDevice*>(manager->getDevice(name))->setArea(area);
        return name;
    }

private Q_SLOTS:
    void init()
    {
        resetFixture();
        manager->registerDeviceType("panel", DeviceTypeInfo{{"GUI"}, "widget"}, []() { return new PanelDevice(); });
        manager->markInitialised();
        openMap();
    }

    void cleanup() { tearDownFixture(); }

    void emptyListGivesEmptyArrangementAndRecordsTheType()
    {
        QVERIFY(map->rearrangeDevicesFromInfos({}, DeviceMapWidget::Hierarchical).isEmpty());
        QCOMPARE(map->getCurrentLayoutType(), DeviceMapWidget::Hierarchical);
    }

    void clustersHoldTheirMembersClearOfTheirTitle_data()
    {
        QTest::addColumn<int>("type");
        QTest::addColumn<QStringList>("clusters");
        QTest::newRow("by IO") << int(DeviceMapWidget::ClusterByIO) << QStringList{"Input", "Output"};
        QTest::newRow("by area") << int(DeviceMapWidget::ClusterByGuiArea) << QStringList{"main", "side"};
    }

    void clustersHoldTheirMembersClearOfTheirTitle()
    {
        QFETCH(int, type);
        QFETCH(QStringList, clusters);
        const QStringList names{create("serialPort"), create("udpSocket"), create("scaler"), panel("main"), panel("side")};
        QVERIFY(manager->addDeviceConnection(names.at(0), names.at(1), QString(), QString()));

        const DevicesArrangement arrangement = map->rearrangeDevices(names, DeviceMapWidget::LayoutType(type));

        // A clustered layout is recorded as Orthogonal, for devices placed later
        QCOMPARE(map->getCurrentLayoutType(), DeviceMapWidget::Orthogonal);
        QCOMPARE(arrangement.connections.size(), 1);
        QCOMPARE(arrangement.clusterRects.keys(), clusters);
        const QList<QStringList> members = type == DeviceMapWidget::ClusterByIO
                                               ? QList<QStringList>{names.mid(0, 2), names.mid(3, 2)}
                                               : QList<QStringList>{{names.at(3)}, {names.at(4)}};
        // The title tab drawn in a cluster's top-left corner covers none of its devices
        const double titleHeight = QFontMetricsF(map->font()).height();
        for (int i = 0; i < clusters.size(); ++i) {
            const QRectF cluster = arrangement.clusterRects.value(clusters.at(i));
            QVERIFY(!cluster.intersects(arrangement.deviceRects.value(names.at(2))));
            for (const QString& member : members.at(i)) {
                const QRectF device = arrangement.deviceRects.value(member);
                QVERIFY2(cluster.contains(device) && device.top() - cluster.top() >= titleHeight, qPrintable(member));
                QCOMPARE(device.size(), QSizeF(DeviceNodeItem::getDeviceSize(manager->getDeviceInfo(member))));
            }
        }
    }

    void keepsTheMapsClustersNestedAndEmptyOnes()
    {
        const QStringList pair = linkedPair();
        item(pair.at(0))->placeDevice(QPointF(50, 50));
        item(pair.at(1))->placeDevice(QPointF(600, 50));
        map->createCluster("outer", QRectF(0, 0, 400, 300));
        map->createCluster("inner", QRectF(20, 20, 250, 150));
        map->createCluster("empty", QRectF(800, 500, 100, 100));

        const DevicesArrangement arrangement = map->rearrangeDevices(pair, DeviceMapWidget::FixedClusters);

        QCOMPARE(arrangement.clusterRects.keys(), QStringList({"empty", "inner", "outer"}));
        QVERIFY(arrangement.clusterRects.value("inner").contains(arrangement.deviceRects.value(pair.at(0))));
        QVERIFY(arrangement.clusterRects.value("outer").contains(arrangement.clusterRects.value("inner")));
        QVERIFY(!arrangement.clusterRects.value("outer").intersects(arrangement.deviceRects.value(pair.at(1))));
    }

    void rearrangeAsksWithoutClaimingItCannotBeUndone_data()
    {
        QTest::addColumn<int>("type");
        QTest::addColumn<bool>("withCluster");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("informative");
        const QString plain = QStringLiteral("Are you sure you want to rearrange layout?");
        const QString moved = QStringLiteral("Device positions will be rearranged automatically.");
        const QString dropping = QStringLiteral("Are you sure you want to rearrange layout without clusters?");
        const QString removed = QStringLiteral("All clusters will be removed. ") + moved;
        QTest::newRow("orthogonal, no cluster") << int(DeviceMapWidget::Orthogonal) << false << plain << moved;
        QTest::newRow("hierarchical, clusters") << int(DeviceMapWidget::Hierarchical) << true << dropping << removed;
        QTest::newRow("keep clusters") << int(DeviceMapWidget::FixedClusters) << true << plain << moved;
    }

    void rearrangeAsksWithoutClaimingItCannotBeUndone()
    {
        QFETCH(int, type);
        QFETCH(bool, withCluster);
        QFETCH(QString, text);
        QFETCH(QString, informative);
        const QStringList pair = linkedPair();
        item(pair.at(0))->placeDevice(QPointF(10, 10));
        if (withCluster)
            map->createCluster("group", QRectF(0, 0, 300, 200));

        // When the user refuses, nothing changes
        {
            ZenticMessageBox::AnswerGuard refuse(ZenticMessageBox::AnswerGuard::RejectRole);
            map->rearrangeGraph(DeviceMapWidget::LayoutType(type), true);
            QCOMPARE(refuse.texts(), QStringList{text});
            QCOMPARE(refuse.informativeTexts(), QStringList{informative});
        }
        QCOMPARE(map->getUndoStack()->count(), 0);

        // When the user accepts, one undoable step places every device, unplaced ones too
        ZenticMessageBox::AnswerGuard accept(QStringLiteral("Rearrange"));
        map->rearrangeGraph(DeviceMapWidget::LayoutType(type), true);
        QVERIFY(!item(pair.at(1))->isUnplaced());
        map->getUndoStack()->undo();
        QCOMPARE(item(pair.at(0))->pos(), QPointF(10, 10));
        QCOMPARE(map->getClusterItems().keys(), withCluster ? QStringList{"group"} : QStringList());
    }

    void rearrangingWithoutAskingDropsClustersAndRefreshesTheMap()
    {
        // Given a cluster, a search result and its colour mode
        const QStringList pair = linkedPair();
        const QString third = create("generator");
        item(pair.at(0))->placeDevice(QPointF(500, 10));
        item(third)->placeDevice(QPointF(10, 400));
        map->createCluster("group", QRectF(0, 0, 300, 200));
        map->searchDevices(QStringLiteral("generator"));
        QSignalSpy modes(map.get(), SIGNAL(colorModeChanged(DeviceMapWidget::ColorisationMode)));

        ZenticMessageBox::AnswerGuard nothingAsked(QMessageBox::Ok);
        map->rearrangeGraph(DeviceMapWidget::Orthogonal, false);

        // Then the clusters are gone, the mode is set again and the result follows the new places
        QCOMPARE(nothingAsked.count(), 0);
        QVERIFY(map->getClusterItems().isEmpty());
        QCOMPARE(modes.count(), 1);
        const QList<DeviceNodeItem*> found = map->getFoundDevices();
        QCOMPARE(found.size(), 2);
        const QPointF first = found.at(0)->pos();
        const QPointF second = found.at(1)->pos();
        QVERIFY(first.y() < second.y() || (first.y() == second.y() && first.x() < second.x()));
    }

    void aFailedLayoutPlacesOnAGridAndTellsOnceAfterwards()
    {
        const QStringList pair = linkedPair();
        GraphLayoutAdapter::Options options = map->automaticLayout().options();
        options.graphvizProgram = "no-such-program";
        map->automaticLayout().setOptions(options);
        ZenticMessageBox::AnswerGuard told(QMessageBox::Ok);

        // When the map is rearranged and another layout follows at once
        map->rearrangeGraph(DeviceMapWidget::Hierarchical, false);
        map->rearrangeDevices(pair, DeviceMapWidget::Hierarchical);

        // Then the devices are placed all the same, and the user is told once, after the calls
        QCOMPARE(told.count(), 0);
        QVERIFY(!item(pair.at(1))->isUnplaced());
        QTRY_COMPARE(told.count(), 1);
        QVERIFY(told.informativeTexts().first().contains("simple grid"));
        QTest::qWait(50);
        QCOMPARE(told.count(), 1);
    }

    void layoutMenuEntriesRearrange_data()
    {
        QTest::addColumn<QString>("entry");
        QTest::addColumn<int>("recorded");
        QTest::addColumn<bool>("keepsCluster");
        QTest::newRow("Orthogonal") << "Orthogonal" << int(DeviceMapWidget::Orthogonal) << false;
        QTest::newRow("Hierarchical") << "Hierarchical" << int(DeviceMapWidget::Hierarchical) << false;
        QTest::newRow("Cluster By IO") << "Cluster By IO" << int(DeviceMapWidget::Orthogonal) << false;
        QTest::newRow("Cluster by GUI Area") << "Cluster by GUI Area" << int(DeviceMapWidget::Orthogonal) << false;
        QTest::newRow("Keep existing clusters") << "Keep existing clusters" << int(DeviceMapWidget::Orthogonal) << true;
    }

    void layoutMenuEntriesRearrange()
    {
        QFETCH(QString, entry);
        QFETCH(int, recorded);
        QFETCH(bool, keepsCluster);
        item(linkedPair().at(0))->placeDevice(QPointF(10, 10));
        map->createCluster("group", QRectF(0, 0, 300, 200));
        map->setCurrentLayoutType(recorded == DeviceMapWidget::Hierarchical ? DeviceMapWidget::Orthogonal
                                                                            : DeviceMapWidget::Hierarchical);

        ZenticMessageBox::AnswerGuard accept(QStringLiteral("Rearrange"));
        ModalRunner::MenuAnswerGuard choose(entry);
        MapMenus::run(map->menus().sceneMenu(), QPoint());

        QCOMPARE(map->getUndoStack()->count(), 1);
        QCOMPARE(int(map->getCurrentLayoutType()), recorded);
        QCOMPARE(map->getClusterItems().contains("group"), keepsCluster);
    }
};

QTEST_MAIN(TestMapAutoLayout)
#include "tst_MapAutoLayout.moc"
