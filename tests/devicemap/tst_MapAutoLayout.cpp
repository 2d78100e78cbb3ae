#include "BaseGuiDevice.h"
#include "DeviceMapParts.h"
#include "MapAutoLayout.h"
#include "MapMenus.h"
#include "ModalRunner.h"
#include "ZenticMessageBox.h"
#include "tst_DeviceMapWidget_Fixture.h"

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

    void clustersHoldTheirMembersClearOfTheirTitle()
    {
        const QStringList names{create("serialPort"), create("udpSocket"), create("scaler"), panel("main"), panel("side")};
        QVERIFY(manager->addDeviceConnection(names.at(0), names.at(1), QString(), QString()));

        const DevicesArrangement arrangement = map->rearrangeDevices(names, DeviceMapWidget::ClusterByIO);

        // A clustered layout is recorded as Orthogonal, for devices placed later
        QCOMPARE(map->getCurrentLayoutType(), DeviceMapWidget::Orthogonal);
        QCOMPARE(arrangement.connections.size(), 1);
        QCOMPARE(arrangement.clusterRects.keys(), QStringList({"Input", "Output"}));
        const QList<QStringList> members{names.mid(0, 2), names.mid(3, 2)};
        // The title tab drawn in a cluster's top-left corner covers none of its devices
        const double titleHeight = QFontMetricsF(map->font()).height();
        for (int i = 0; i < 2; ++i) {
            const QRectF cluster = arrangement.clusterRects.value(arrangement.clusterRects.keys().at(i));
            QVERIFY(!cluster.intersects(arrangement.deviceRects.value(names.at(2))));
            for (const QString& member : members.at(i)) {
                const QRectF device = arrangement.deviceRects.value(member);
                QVERIFY2(cluster.contains(device) && device.top() - cluster.top() >= titleHeight, qPrintable(member));
                QCOMPARE(device.size(), QSizeF(DeviceNodeItem::getDeviceSize(manager->getDeviceInfo(member))));
            }
        }
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

    void aFailedLayoutPlacesOnAGridAndTellsOnceAfterwards()
    {
        const QStringList pair = linkedPair();
        GraphLayoutAdapter::Options options = DeviceMapParts(*map).automaticLayout().options();
        options.graphvizProgram = "no-such-program";
        DeviceMapParts(*map).automaticLayout().setOptions(options);
        ZenticMessageBox::AnswerGuard told(QMessageBox::Ok);

        // When the map is rearranged and another layout follows at once
        map->rearrangeGraph(DeviceMapWidget::Hierarchical, false);
        map->rearrangeDevices(pair, DeviceMapWidget::Hierarchical);

        // Then the devices are placed all the same, and the user is told once, after the calls
        QCOMPARE(told.count(), 0);
        QVERIFY(!item(pair.at(1))->isUnplaced());
        QTRY_COMPARE(told.count(), 1);
        QVERIFY(told.informativeTexts().first().contains("simple grid"));
    }

    void layoutMenuEntriesRearrange_data()
    {
        QTest::addColumn<QString>("entry");
        QTest::addColumn<int>("recorded");
        QTest::addColumn<bool>("keepsCluster");
        QTest::newRow("Orthogonal") << "Orthogonal" << int(DeviceMapWidget::Orthogonal) << false;
        QTest::newRow("Hierarchical") << "Hierarchical" << int(DeviceMapWidget::Hierarchical) << false;
        QTest::newRow("Cluster by IO") << "Cluster by IO" << int(DeviceMapWidget::Orthogonal) << false;
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
        MapMenus::run(DeviceMapParts(*map).menus().sceneMenu(), QPoint());

        QCOMPARE(map->getUndoStack()->count(), 1);
        QCOMPARE(int(map->getCurrentLayoutType()), recorded);
        QCOMPARE(map->getClusterItems().contains("group"), keepsCluster);
    }
};

QTEST_MAIN(TestMapAutoLayout)
#include "tst_MapAutoLayout.moc"
