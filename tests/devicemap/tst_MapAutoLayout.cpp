#include "BaseGuiDevice.h"
#include "ClusterRectItem.h"
#include "DeviceConnectionItem.h"
#include "Grid.h"
#include "MapAutoLayout.h"
#include "MapMenus.h"
#include "ModalRunner.h"
#include "ZenticMessageBox.h"
#include "tst_DeviceMapWidget_Fixture.h"

#include <QSignalSpy>
#include <QtTest>

namespace {

// A GUI device whose widget is never asked for here.
class PanelDevice : public BaseGuiDevice
{
public:
    BaseWidget* createWidget() override { return nullptr; }
};

/// Why the arrangement's devices are wrong: not of their node's size, or overlapping; empty when right.
QString deviceRectsFault(const DevicesArrangement& arrangement, const QList<DeviceInfo>& infos)
{
    for (const DeviceInfo& info : infos) {
        const QRectF rect = arrangement.deviceRects.value(info.name);
        if (rect.size() != QSizeF(DeviceNodeItem::getDeviceSize(info)))
            return QStringLiteral("%1 has another size than its node").arg(info.name);
        for (auto other = arrangement.deviceRects.cbegin(); other != arrangement.deviceRects.cend(); ++other) {
            if (other.key() != info.name && other.value().intersects(rect))
                return QStringLiteral("%1 overlaps %2").arg(info.name, other.key());
        }
    }
    return QString();
}

} // namespace

// The map's automatic layout and its rearrange command, through the map's own members.
class TestMapAutoLayout : public QObject, DeviceMapFixture
{
    Q_OBJECT

    QList<DeviceInfo> infosOf(const QStringList& names) const
    {
        QList<DeviceInfo> infos;
        for (const QString& name : names)
            infos.append(manager->getDeviceInfo(name));
        return infos;
    }

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
        const DevicesArrangement arrangement = map->rearrangeDevicesFromInfos({}, DeviceMapWidget::Hierarchical);
        QVERIFY(arrangement.isEmpty());
        QVERIFY(arrangement.clusterRects.isEmpty());
        QCOMPARE(map->getCurrentLayoutType(), DeviceMapWidget::Hierarchical);
    }

    void laysOutTheManagersDevicesWithTheirLinks_data()
    {
        QTest::addColumn<int>("type");
        QTest::addColumn<int>("recorded");
        QTest::newRow("Orthogonal") << int(DeviceMapWidget::Orthogonal) << int(DeviceMapWidget::Orthogonal);
        QTest::newRow("Hierarchical") << int(DeviceMapWidget::Hierarchical) << int(DeviceMapWidget::Hierarchical);
        QTest::newRow("ClusterByIO") << int(DeviceMapWidget::ClusterByIO) << int(DeviceMapWidget::Orthogonal);
        QTest::newRow("ClusterByGuiArea") << int(DeviceMapWidget::ClusterByGuiArea) << int(DeviceMapWidget::Orthogonal);
        QTest::newRow("FixedClusters") << int(DeviceMapWidget::FixedClusters) << int(DeviceMapWidget::Orthogonal);
    }

    void laysOutTheManagersDevicesWithTheirLinks()
    {
        QFETCH(int, type);
        QFETCH(int, recorded);
        // Given a chain with a pair linked both ways, a link twice, and a peer that is not laid out
        const QStringList pair = linkedPair(QStringLiteral("scaler"));
        QVERIFY(manager->addDeviceConnection(pair.at(1), pair.at(0), QString(), QString()));
        const QString port = create("generator");
        QVERIFY(manager->addDeviceConnection(port, pair.at(0), QString(), QString()));
        manager->addDeviceConnection(port, pair.at(0), QString(), QString());
        const QString outsider = create("scaler");
        manager->addDeviceConnection(pair.at(1), outsider, QString(), QString());
        const QStringList names{port, pair.at(0), pair.at(1), panel("main")};

        const DevicesArrangement arrangement =
            map->rearrangeDevices(names, DeviceMapWidget::LayoutType(type));

        QCOMPARE(int(map->getCurrentLayoutType()), recorded);
        QCOMPARE(arrangement.deviceRects.size(), names.size());
        QCOMPARE(deviceRectsFault(arrangement, infosOf(names)), QString());
        QSet<QPair<QString, QString>> links;
        for (const ItemsConnection& connection : arrangement.connections)
            links.insert({connection.from, connection.to});
        QCOMPARE(arrangement.connections.size(), 3);
        QVERIFY(links.contains({pair.at(0), pair.at(1)}) && links.contains({pair.at(1), pair.at(0)}));
        QVERIFY(links.contains({port, pair.at(0)}));
        QCOMPARE(arrangement.devices.size(), names.size());
    }

    void clustersHoldTheirMembers_data()
    {
        QTest::addColumn<int>("type");
        QTest::addColumn<QStringList>("clusters");
        QTest::newRow("by IO") << int(DeviceMapWidget::ClusterByIO) << QStringList{"Input", "Output"};
        QTest::newRow("by area") << int(DeviceMapWidget::ClusterByGuiArea) << QStringList{"main", "side"};
    }

    void clustersHoldTheirMembers()
    {
        QFETCH(int, type);
        QFETCH(QStringList, clusters);
        const QString port = create("serialPort");
        const QString socket = create("udpSocket");
        const QString scaler = create("scaler");
        const QString mainPanel = panel("main");
        const QString sidePanel = panel("side");
        manager->addDeviceConnection(port, scaler, QString(), QString());
        manager->addDeviceConnection(scaler, mainPanel, QString(), QString());

        const DevicesArrangement arrangement = map->rearrangeDevices(
            {port, socket, scaler, mainPanel, sidePanel}, DeviceMapWidget::LayoutType(type));

        QCOMPARE(arrangement.clusterRects.keys(), clusters);
        const QMap<QString, QStringList> members = type == DeviceMapWidget::ClusterByIO
                                                       ? QMap<QString, QStringList>{{"Input", {port, socket}},
                                                                                    {"Output", {mainPanel, sidePanel}}}
                                                       : QMap<QString, QStringList>{{"main", {mainPanel}},
                                                                                    {"side", {sidePanel}}};
        // The cluster's title tab, drawn in its top-left corner, covers none of its devices
        const double titleHeight = QFontMetricsF(map->font()).height();
        for (auto it = members.cbegin(); it != members.cend(); ++it) {
            const QRectF cluster = arrangement.clusterRects.value(it.key());
            for (const QString& member : it.value()) {
                const QRectF device = arrangement.deviceRects.value(member);
                QVERIFY2(cluster.contains(device), qPrintable(member));
                QVERIFY2(device.top() - cluster.top() >= titleHeight, qPrintable(member));
            }
        }
        QVERIFY(!arrangement.clusterRects.value(clusters.first()).contains(arrangement.deviceRects.value(scaler)));
    }

    void keepsTheMapsClustersNestedAndEmptyOnes()
    {
        // Given a device inside two nested clusters and an empty cluster elsewhere
        const QStringList pair = linkedPair();
        item(pair.at(0))->placeDevice(QPointF(50, 50));
        item(pair.at(1))->placeDevice(QPointF(600, 50));
        map->createCluster("outer", QRectF(0, 0, 400, 300));
        map->createCluster("inner", QRectF(20, 20, 250, 150));
        map->createCluster("empty", QRectF(800, 500, 100, 100));

        const DevicesArrangement arrangement = map->rearrangeDevices(pair, DeviceMapWidget::FixedClusters);

        QCOMPARE(arrangement.clusterRects.keys(), QStringList({"empty", "inner", "outer"}));
        const QRectF first = arrangement.deviceRects.value(pair.at(0));
        QVERIFY(arrangement.clusterRects.value("inner").contains(first));
        QVERIFY(arrangement.clusterRects.value("outer").contains(arrangement.clusterRects.value("inner")));
        QVERIFY(!arrangement.clusterRects.value("outer").contains(arrangement.deviceRects.value(pair.at(1))));
        QVERIFY(!arrangement.clusterRects.value("empty").intersects(first));
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
        QTest::newRow("orthogonal, clusters") << int(DeviceMapWidget::Orthogonal) << true << dropping << removed;
        QTest::newRow("hierarchical, clusters") << int(DeviceMapWidget::Hierarchical) << true << dropping << removed;
        QTest::newRow("by IO, clusters") << int(DeviceMapWidget::ClusterByIO) << true << plain << moved;
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
            QCOMPARE(refuse.count(), 1);
            QCOMPARE(refuse.texts().first(), text);
            QCOMPARE(refuse.informativeTexts().first(), informative);
            QVERIFY(!refuse.informativeTexts().first().contains("cannot be undone"));
        }
        QCOMPARE(map->getUndoStack()->count(), 0);
        QVERIFY(item(pair.at(1))->isUnplaced());

        // When the user accepts, one undoable step places every device
        ZenticMessageBox::AnswerGuard accept(QStringLiteral("Rearrange"));
        map->rearrangeGraph(DeviceMapWidget::LayoutType(type), true);
        QCOMPARE(map->getUndoStack()->count(), 1);
        QVERIFY(!item(pair.at(1))->isUnplaced());
        map->getUndoStack()->undo();
        QCOMPARE(item(pair.at(0))->pos(), QPointF(10, 10));
        QCOMPARE(map->getClusterItems().keys(), withCluster ? QStringList{"group"} : QStringList());
    }

    void rearrangingWithoutAskingDropsClustersAndRefreshesTheMap()
    {
        // Given clusters, a shown grid, a search result and a colour mode in force
        const QStringList pair = linkedPair();
        const QString third = create("generator");
        item(pair.at(0))->placeDevice(QPointF(500, 10));
        item(third)->placeDevice(QPointF(10, 400));
        map->createCluster("group", QRectF(0, 0, 300, 200));
        map->getGrid().activate(true);
        map->searchDevices(QStringLiteral("generator"));
        QCOMPARE(map->getFoundDevices(), QList<DeviceNodeItem*>({item(pair.at(0)), item(third)}));
        QSignalSpy modes(map.get(), SIGNAL(colorModeChanged(DeviceMapWidget::ColorisationMode)));

        // When the map is rearranged without asking
        ZenticMessageBox::AnswerGuard never([](ZenticMessageBox&) -> QAbstractButton* {
            qFatal("nothing is to be asked");
            return nullptr;
        });
        map->rearrangeGraph(DeviceMapWidget::Orthogonal, false);

        // Then the clusters are gone, the mode is set again and the result follows the new places
        QVERIFY(map->getClusterItems().isEmpty());
        QCOMPARE(modes.count(), 1);
        QCOMPARE(modes.first().first().value<DeviceMapWidget::ColorisationMode>(), DeviceMapWidget::BySearch);
        QVERIFY(map->getGrid().isActive());
        QList<DeviceNodeItem*> expected = map->getFoundDevices();
        std::sort(expected.begin(), expected.end(), [](DeviceNodeItem* a, DeviceNodeItem* b) {
            return a->pos().y() < b->pos().y() || (a->pos().y() == b->pos().y() && a->pos().x() < b->pos().x());
        });
        QCOMPARE(map->getFoundDevices(), expected);
        QCOMPARE(map->getUndoStack()->text(0), QStringLiteral("Rearrange graph"));
    }

    void aFailedLayoutPlacesOnAGridAndTellsOnce()
    {
        // Given a layout engine that cannot run
        const QStringList pair = linkedPair();
        GraphLayoutAdapter::Options options = map->automaticLayout().options();
        options.graphvizProgram = "no-such-program";
        map->automaticLayout().setOptions(options);
        ZenticMessageBox::AnswerGuard told(QMessageBox::Ok);

        // When the map is rearranged, and then a file's devices are laid out too
        map->rearrangeGraph(DeviceMapWidget::Hierarchical, false);
        map->rearrangeDevices(pair, DeviceMapWidget::Hierarchical);

        // Then the devices are placed all the same, and the user is told once, after the calls
        QCOMPARE(told.count(), 0);
        QVERIFY(!item(pair.at(0))->isUnplaced() && !item(pair.at(1))->isUnplaced());
        QTRY_COMPARE(told.count(), 1);
        QVERIFY2(told.informativeTexts().first().contains("simple grid"), qPrintable(told.informativeTexts().first()));
        QTest::qWait(50);
        QCOMPARE(told.count(), 1);
    }

    void aSlowLayoutGivesUpAtTheDeadline()
    {
        // Given a deadline shorter than any Graphviz run
        QStringList names;
        for (int i = 0; i < 60; ++i)
            names.append(create("scaler"));
        for (int i = 1; i < names.size(); ++i)
            manager->addDeviceConnection(names.at(i - 1), names.at(i), QString(), QString());
        GraphLayoutAdapter::Options options = map->automaticLayout().options();
        options.deadlineMs = 0;
        map->automaticLayout().setOptions(options);
        ZenticMessageBox::AnswerGuard told(QMessageBox::Ok);

        const DevicesArrangement arrangement = map->rearrangeDevices(names, DeviceMapWidget::Orthogonal);

        QCOMPARE(arrangement.deviceRects.size(), names.size());
        QCOMPARE(deviceRectsFault(arrangement, infosOf(names)), QString());
        QTRY_COMPARE(told.count(), 1);
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
        const QStringList pair = linkedPair();
        item(pair.at(0))->placeDevice(QPointF(10, 10));
        map->createCluster("group", QRectF(0, 0, 300, 200));
        map->setCurrentLayoutType(recorded == DeviceMapWidget::Hierarchical ? DeviceMapWidget::Orthogonal
                                                                            : DeviceMapWidget::Hierarchical);

        ZenticMessageBox::AnswerGuard accept(QStringLiteral("Rearrange"));
        ModalRunner::MenuAnswerGuard choose(entry);
        MapMenus::run(map->menus().sceneMenu(), QPoint());

        QCOMPARE(accept.count(), 1);
        QCOMPARE(map->getUndoStack()->count(), 1);
        QCOMPARE(int(map->getCurrentLayoutType()), recorded);
        QCOMPARE(map->getClusterItems().contains("group"), keepsCluster);
    }
};

QTEST_MAIN(TestMapAutoLayout)
#include "tst_MapAutoLayout.moc"
