#include "BaseGuiDevice.h"
#include "ClusterRectItem.h"
#include "DeviceMapParts.h"
#include "DeviceText.h"
#include "MapAutoLayout.h"
#include "MapMenus.h"
#include "ModalRunner.h"
#include "RearrangeGraphOperation.h"
#include "ZenticMessageBox.h"
#include "tst_DeviceMapWidget_Fixture.h"

#include <QScrollBar>
#include <QtTest>

namespace {

// count scalers, each feeding linksEach others spread over the whole graph (the same choice in
// every run), so that links reach across the drawing.
QString denseGraph(int count, int linksEach)
{
    QList<DeviceInfo> infos;
    quint32 state = 1;
    for (int i = 0; i < count; ++i) {
        DeviceInfo info;
        info.name = QStringLiteral("scaler%1").arg(i);
        info.type = QStringLiteral("scaler");
        QSet<int> targets;
        while (targets.size() < linksEach) {
            state = state * 1664525u + 1013904223u;
            const int target = int((state >> 8) % quint32(count));
            if (target != i && !targets.contains(target)) {
                targets.insert(target);
                info.outgoingConnections.append(Connection{QStringLiteral("scaler%1").arg(target),
                                                           QStringLiteral("output(double)"),
                                                           QStringLiteral("input(double)")});
            }
        }
        infos.append(info);
    }
    return DeviceText::compose(infos);
}

// A chain of count scalers, each feeding the next.
QString chainGraph(int count)
{
    QList<DeviceInfo> infos;
    for (int i = 0; i < count; ++i) {
        DeviceInfo info;
        info.name = QStringLiteral("scaler%1").arg(i);
        info.type = QStringLiteral("scaler");
        if (i + 1 < count)
            info.outgoingConnections.append(Connection{QStringLiteral("scaler%1").arg(i + 1),
                                                       QStringLiteral("output(double)"), QStringLiteral("input(double)")});
        infos.append(info);
    }
    return DeviceText::compose(infos);
}

// Devices by name with their places, links with their bends: what the user sees of an arrangement.
QMap<QString, QString> shownArrangement(const DevicesArrangement& arrangement)
{
    QMap<QString, QString> shown;
    for (auto it = arrangement.deviceRects.cbegin(); it != arrangement.deviceRects.cend(); ++it)
        shown.insert(it.key(), QStringLiteral("%1,%2").arg(it.value().x()).arg(it.value().y()));
    for (const ItemsConnection& link : arrangement.connections) {
        QStringList bends;
        for (const QPointF& point : link.bendingPoints)
            bends << QStringLiteral("%1,%2").arg(point.x()).arg(point.y());
        shown.insert(link.from + "->" + link.to, bends.join(' '));
    }
    return shown;
}

// Each cluster by its key: its name, place, size, colour and whether it moves its devices.
QMap<QString, QString> shownClusters(DeviceMapWidget& map)
{
    QMap<QString, QString> shown;
    for (auto it = map.getClusterItems().cbegin(); it != map.getClusterItems().cend(); ++it) {
        const QRectF rect = it.value()->rect().translated(it.value()->pos());
        QDebug(&shown[it.key()]) << it.value()->getName() << rect << it.value()->getColor()
                                 << it.value()->getMovesContainedDevices();
    }
    return shown;
}

// The device whose top-left corner lies nearest the drawing's top-left corner, or farthest.
QString cornerDevice(const QMap<QString, QRectF>& deviceRects, bool farthest)
{
    QRectF drawing;
    for (const QRectF& rect : deviceRects)
        drawing |= rect;
    QString found;
    double foundDistance = 0;
    // In name order, as the view looks for the drawing's start.
    for (auto it = deviceRects.cbegin(); it != deviceRects.cend(); ++it) {
        const double distance = (it.value().topLeft() - drawing.topLeft()).manhattanLength();
        if (found.isEmpty() || (farthest ? distance > foundDistance : distance < foundDistance)) {
            found = it.key();
            foundDistance = distance;
        }
    }
    return found;
}

void addLayoutTypeRows()
{
    QTest::addColumn<int>("type");
    QTest::newRow("Orthogonal") << int(DeviceMapWidget::Orthogonal);
    QTest::newRow("Hierarchical") << int(DeviceMapWidget::Hierarchical);
    QTest::newRow("Cluster by IO") << int(DeviceMapWidget::ClusterByIO);
    QTest::newRow("Cluster by GUI area") << int(DeviceMapWidget::ClusterByGuiArea);
    QTest::newRow("Keep existing clusters") << int(DeviceMapWidget::FixedClusters);
}

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

    // count devices of the kinds the clustered layouts tell apart (inputs, outputs, panels of
    // two areas, plain scalers), each feeding the next.
    QStringList mixedChain(int count)
    {
        QStringList names;
        for (int i = 0; i < count; ++i) {
            const int kind = i % 4;
            names << (kind == 0 ? create("serialPort") : kind == 1 ? panel(i % 8 == 1 ? "main" : "side")
                                                 : kind == 2 ? create("scaler")
                                                             : create("udpSocket"));
            if (i > 0)
                manager->addDeviceConnection(names.at(i - 1), names.at(i), QString(), QString());
        }
        return names;
    }

    // The devices in a row from corner, 150 apart, in the layout file of a map shown at size.
    void openWithRow(const QStringList& names, QPoint corner, QSize size)
    {
        map.reset();
        for (int i = 0; i < names.size(); ++i)
            writeLayout(names.at(i) + "/rect", QRect(corner.x() + 150 * i, corner.y(), 100, 40));
        openMap();
        map->resize(size);
        map->show();
        QVERIFY(QTest::qWaitForWindowExposed(map.get()));
    }

    QRectF viewed() const { return map->mapToScene(map->viewport()->rect()).boundingRect(); }

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

    // Guarded by the suite's timeout: applied item by item against the scene's index, the third
    // rearrangement of such a map took a quarter of an hour.
    void denseMapRearrangesAgainAndAgain()
    {
        // Given a map not shown of 8,000 devices with 20 links each
        map.reset();
        QVERIFY(manager->loadYamlFromString(denseGraph(8000, 20)));
        openMap();
        // The layered grid, whatever size the engine hands to Graphviz: applying it is what counts.
        GraphLayoutAdapter::Options options = DeviceMapParts(*map).automaticLayout().options();
        options.engine = GraphLayoutAdapter::Engine::LayeredGrid;
        DeviceMapParts(*map).automaticLayout().setOptions(options);

        // When it is rearranged three times, the scene indexed in between as an idle window does
        QMap<QString, QString> previous;
        for (int round = 1; round <= 3; ++round) {
            map->scene()->items(QRectF(0, 0, 1, 1));
            map->rearrangeGraph(DeviceMapWidget::Hierarchical, false);
            QCOMPARE(map->getUndoStack()->count(), round);
            if (round == 1)
                continue;
            // Then each ends, and the same layout twice shows the same places and bends
            const QMap<QString, QString> shown = shownArrangement(map->getAllDevicesArrangement());
            QCOMPARE(shown.size(), 8000 + 8000 * 20);
            if (round == 3)
                QVERIFY(shown == previous);
            previous = shown;
        }

        // Undone and redone, the map shows that arrangement again, and its scene answers at once
        map->getUndoStack()->undo();
        map->getUndoStack()->redo();
        QVERIFY(shownArrangement(map->getAllDevicesArrangement()) == previous);
        DeviceNodeItem* first = map->getDeviceItems().first();
        QVERIFY(map->scene()->items(first->sceneBoundingRect()).contains(first));
    }

    void rearrangementShowsDevices_data()
    {
        QTest::addColumn<bool>("risingDrawing");
        QTest::addColumn<double>("scale");
        QTest::addColumn<QString>("lookedAt");
        QTest::addColumn<bool>("undone");
        QTest::newRow("drawing from the bottom left, nothing in view before") << true << 1.0 << QString() << false;
        QTest::newRow("drawing from the bottom left, zoomed out") << true << 0.5 << QString() << false;
        QTest::newRow("a device in view before") << false << 1.0 << "scaler350" << false;
        QTest::newRow("a device in view before, zoomed out") << false << 0.5 << "scaler350" << false;
        QTest::newRow("a device in view before, undone") << false << 1.0 << "scaler350" << true;
    }

    void rearrangementShowsDevices()
    {
        QFETCH(bool, risingDrawing);
        QFETCH(double, scale);
        QFETCH(QString, lookedAt);
        QFETCH(bool, undone);
        // Given a chain of 700 devices in a window of 1,280 x 720, unplaced or in a row far to the
        // right with the view on one of them, at the user's scale
        map.reset();
        QVERIFY(manager->loadYamlFromString(chainGraph(700)));
        for (int i = 0; !lookedAt.isEmpty() && i < 700; ++i)
            writeLayout(QStringLiteral("scaler%1/rect").arg(i), QRect(60000 + 150 * i, 30000, 100, 40));
        openMap();
        map->resize(1280, 720);
        map->show();
        QVERIFY(QTest::qWaitForWindowExposed(map.get()));
        map->scale(scale, scale);
        const QTransform zoom = map->transform();
        if (!lookedAt.isEmpty())
            map->centerOn(item(lookedAt));

        // When the user rearranges it (and undoes that): by the map's layout, or into a drawing
        // 54,127 x 16,174 that rises from its bottom-left corner, as Graphviz once drew the chain
        if (risingDrawing) {
            DevicesArrangement rising;
            for (int i = 0; i < 700; ++i)
                rising.deviceRects.insert(QStringLiteral("scaler%1").arg(i), QRectF(20 + 77.3 * i, 16154 - 23 * i, 100, 40));
            rising.recalculateBounds();
            map->pushOperation(new RearrangeGraphOperation(map.get(), map->getAllDevicesArrangement(), rising,
                                                           map->sceneRect()));
        } else {
            map->rearrangeGraph(DeviceMapWidget::Hierarchical, false);
        }
        if (undone)
            map->getUndoStack()->undo();

        // Then devices lie in the view, the one looked at among them, and the zoom stays
        const QRectF view = map->mapToScene(map->viewport()->rect()).boundingRect();
        QStringList inView;
        for (DeviceNodeItem* device : map->getDeviceItems()) {
            if (device->isVisible() && view.intersects(device->sceneBoundingRect()))
                inView << device->devName();
        }
        QVERIFY(!inView.isEmpty());
        if (!lookedAt.isEmpty())
            QVERIFY2(inView.contains(lookedAt), qPrintable(inView.join(' ')));
        QCOMPARE(map->transform(), zoom);
    }

    void undoAndRedoGiveClustersBackAsTheUserLeftThem_data() { addLayoutTypeRows(); }

    void undoAndRedoGiveClustersBackAsTheUserLeftThem()
    {
        // Given two rows of devices in clusters of the user's colour that do not move their devices
        QFETCH(int, type);
        const QStringList names = mixedChain(8);
        ClusterSettings own;
        own.color = Qt::magenta;
        own.movesContainedDevices = false;
        for (int row = 0; row < 2; ++row) {
            QRectF devices;
            for (int i = 0; i < 4; ++i) {
                item(names.at(4 * row + i))->placeDevice(QPointF(40 + 200 * i, 50 + 200 * row));
                devices |= item(names.at(4 * row + i))->sceneBoundingRect();
            }
            map->createCluster(QStringLiteral("row%1").arg(row), devices.adjusted(-20, -30, 20, 20));
            map->getClusterItems().value(QStringLiteral("row%1").arg(row))->setSettings(own);
        }
        const QMap<QString, QString> before = shownClusters(*map);

        // When the map is rearranged, then the clusters it keeps keep the user's settings
        map->rearrangeGraph(DeviceMapWidget::LayoutType(type), false);
        if (type == DeviceMapWidget::FixedClusters) {
            QCOMPARE(map->getClusterItems().keys(), before.keys());
            for (const ClusterRectItem* cluster : map->getClusterItems())
                QVERIFY(cluster->settings() == own);
        }
        // And what the user sets on the rearranged clusters is theirs through undo and redo
        ClusterSettings later;
        later.color = Qt::cyan;
        for (ClusterRectItem* cluster : map->getClusterItems())
            cluster->setSettings(later);
        const QMap<QString, QString> rearranged = shownClusters(*map);

        // When it is undone, then each cluster is as the user left it, in the layout file too
        map->getUndoStack()->undo();
        QCOMPARE(shownClusters(*map), before);
        QCOMPARE(stored("Clusters/row1/movesContainedDevices"), QVariant(false));
        // When it is redone, then the rearranged clusters are back as the user left them
        map->getUndoStack()->redo();
        QCOMPARE(shownClusters(*map), rearranged);
    }

    void undoShowsWhatTheUserSawBefore_data() { addLayoutTypeRows(); }

    void undoShowsWhatTheUserSawBefore()
    {
        // Given a row of devices far from the scene's origin, in a small view zoomed out to
        // look beside one of them
        QFETCH(int, type);
        const QStringList names = mixedChain(40);
        openWithRow(names, QPoint(6000, 3000), QSize(400, 300));
        map->scale(0.75, 0.75);
        const QTransform zoom = map->transform();
        const QString lookedAt = names.at(20);
        map->centerOn(item(lookedAt)->sceneBoundingRect().center() + QPointF(37, 23));
        const QPointF centre = viewed().center();

        // When the user rearranges the map, looks around the new drawing and undoes that
        map->rearrangeGraph(DeviceMapWidget::LayoutType(type), false);
        map->centerOn(item(names.first()));
        map->getUndoStack()->undo();

        // Then the view shows what it showed before, at the user's zoom
        QVERIFY(viewed().intersects(item(lookedAt)->sceneBoundingRect()));
        QVERIFY(QLineF(viewed().center(), centre).length() < 2.0);
        QCOMPARE(map->transform(), zoom);
    }

    void undoGivesBackTheScrolledViewToThePixel_data()
    {
        QTest::addColumn<bool>("bottom");
        QTest::addColumn<double>("scale");
        // Each undo moved the view by half the width of the scroll bar the long row had hidden
        QTest::newRow("scrolled to the right end") << false << 1.0;
        QTest::newRow("scrolled to the bottom right corner, zoomed out") << true << 0.75;
    }

    void undoGivesBackTheScrolledViewToThePixel()
    {
        QFETCH(bool, bottom);
        QFETCH(double, scale);
        // Given a chain of 1,000 devices on a grid of 50 columns in a window of 1,280 x 720, scrolled
        // to the right end of the map (and its bottom), at the user's scale
        map.reset();
        QVERIFY(manager->loadYamlFromString(chainGraph(1000)));
        for (int i = 0; i < 1000; ++i)
            writeLayout(QStringLiteral("scaler%1/rect").arg(i), QRect(40 + 150 * (i % 50), 40 + 80 * (i / 50), 100, 40));
        openMap();
        map->resize(1280, 720);
        map->show();
        QVERIFY(QTest::qWaitForWindowExposed(map.get()));
        map->scale(scale, scale);
        QApplication::processEvents();
        map->horizontalScrollBar()->setValue(map->horizontalScrollBar()->maximum());
        if (bottom)
            map->verticalScrollBar()->setValue(map->verticalScrollBar()->maximum());
        QApplication::processEvents();
        const QPoint scrolled(map->horizontalScrollBar()->value(), map->verticalScrollBar()->value());

        // When the user rearranges it into one long row, looks at it and undoes that, several times over
        map->rearrangeGraph(DeviceMapWidget::Hierarchical, false);
        for (int round = 1; round <= 3; ++round) {
            QApplication::processEvents();
            map->getUndoStack()->undo();
            QApplication::processEvents();

            // Then the view is where the user had scrolled it, to the pixel
            QCOMPARE(QPoint(map->horizontalScrollBar()->value(), map->verticalScrollBar()->value()), scrolled);
            map->getUndoStack()->redo();
        }
    }

    void rearrangementFromAnEmptyViewShowsTheDrawingsStart_data() { addLayoutTypeRows(); }

    void rearrangementFromAnEmptyViewShowsTheDrawingsStart()
    {
        // Given a row of devices far away, and a small view on an empty part of the map where
        // the new drawing will have devices, though not its start
        QFETCH(int, type);
        const QStringList names = mixedChain(40);
        openWithRow(names, QPoint(20000, 20000), QSize(400, 300));
        map->setSceneRects(QRectF(0, 0, 30000, 25000));
        const DevicesArrangement coming = map->rearrangeDevices(names, DeviceMapWidget::LayoutType(type));
        map->centerOn(coming.deviceRects.value(cornerDevice(coming.deviceRects, true)).center());
        QVERIFY(!viewed().intersects(coming.deviceRects.value(cornerDevice(coming.deviceRects, false))));
        for (const QString& name : names)
            QVERIFY(!viewed().intersects(item(name)->sceneBoundingRect()));

        // When the user rearranges the map
        map->rearrangeGraph(DeviceMapWidget::LayoutType(type), false);

        // Then the view shows the device nearest the drawing's top-left corner
        const QString start = cornerDevice(map->getAllDevicesArrangement().deviceRects, false);
        QVERIFY2(viewed().intersects(item(start)->sceneBoundingRect()), qPrintable(start));
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

        // The rearrangement runs from the event loop, once the menu is done with the choice.
        QTRY_COMPARE(map->getUndoStack()->count(), 1);
        QCOMPARE(int(map->getCurrentLayoutType()), recorded);
        QCOMPARE(map->getClusterItems().contains("group"), keepsCluster);
    }
};

QTEST_MAIN(TestMapAutoLayout)
#include "tst_MapAutoLayout.moc"
