#include "CycleBreaker.h"
#include "GraphLayoutAdapter.h"
#include "LayeringEstimate.h"
#include "LayoutPlan.h"
#include "TestSupport.h"

#include <QtTest>

Q_DECLARE_METATYPE(GraphLayoutAdapter::Engine)

namespace {

// A pipeline of devices of varied sizes: chains, fan-out, fan-in, long links, feedback, a pair
// linked both ways and a device feeding itself; clustered types get nested and empty groups.
LayoutGraph pipeline(int count, qint32 type)
{
    LayoutGraph graph;
    graph.type = type;
    for (int i = 0; i < count; ++i)
        graph.devices.append({QStringLiteral("device %1").arg(i), QSizeF(60 + (i * 37) % 90, 30 + (i % 3) * 8), -1});
    auto link = [&](int from, int to) { graph.links.append({from, to}); };
    for (int i = 1; i < count; ++i) {
        link(i % 10 == 0 ? i - 7 : i - 1, i);
        if (i % 5 == 2 && i + 3 < count)
            link(i, i + 3);
        if (i % 7 == 3 && i > 4)
            link(i - 4, i);
        if (i % 13 == 6 && i + 20 < count)
            link(i, i + 20);
        if (i % 17 == 16)
            link(i, i - 12);
    }
    link(2, 1); // with 1 -> 2: both directions
    link(5, 5);
    if (graph.isClustered()) {
        graph.groups = {{"first", -1}, {"second", -1}, {"inside first", 0}, {"empty", -1}, {"empty inside", 0}};
        for (int i = 0; i < count; ++i)
            graph.devices[i].group = i % 4 == 0 ? 0 : i % 4 == 1 ? 1 : i % 8 == 2 ? 2 : -1;
    }
    return graph;
}

// A ring in which every third device also feeds one seven steps on and every fifth one three
// steps back: feedback everywhere, as in a map where devices feed their neighbours.
LayoutGraph ringWithChords(int count, qint32 type)
{
    LayoutGraph graph;
    graph.type = type;
    for (int i = 0; i < count; ++i)
        graph.devices.append({QStringLiteral("device %1").arg(i), QSizeF(80, 40), -1});
    for (int i = 0; i < count; ++i) {
        graph.links.append({i, (i + 1) % count});
        if (i % 3 == 0)
            graph.links.append({i, (i + 7) % count});
        if (i % 5 == 0)
            graph.links.append({i, (i + count - 3) % count});
    }
    return graph;
}

// Device i feeds devices i + 1 and i + 50, modulo the count, as devices laid out on a map grid
// feed their right and lower neighbours: one big cycle, tangled in every rank.
LayoutGraph mapGrid(int count, qint32 type)
{
    LayoutGraph graph;
    graph.type = type;
    for (int i = 0; i < count; ++i)
        graph.devices.append({QStringLiteral("device %1").arg(i), QSizeF(80, 40), -1});
    for (int i = 0; i < count; ++i) {
        graph.links.append({i, (i + 1) % count});
        graph.links.append({i, (i + 50) % count});
    }
    return graph;
}

QPointF centerOf(const DevicesArrangement& arrangement, const QString& name)
{
    return arrangement.deviceRects.value(name).center();
}

bool crosses(const QLineF& segment, const QRectF& rect)
{
    // Segments are horizontal or vertical here: compare spans.
    const QRectF inner = rect.adjusted(0.5, 0.5, -0.5, -0.5);
    const QRectF span = QRectF(segment.p1(), segment.p2()).normalized();
    return span.left() <= inner.right() && span.right() >= inner.left() && span.top() <= inner.bottom()
           && span.bottom() >= inner.top();
}

/// Why the devices' rectangles are wrong, empty when they keep their sizes and never overlap.
QString rectangleFault(const LayoutGraph& graph, const DevicesArrangement& arrangement)
{
    if (arrangement.deviceRects.size() != graph.devices.size())
        return QStringLiteral("%1 rectangles for %2 devices").arg(arrangement.deviceRects.size()).arg(graph.devices.size());
    for (const LayoutGraph::Device& device : graph.devices) {
        const QRectF rect = arrangement.deviceRects.value(device.name);
        if (qAbs(rect.width() - device.size.width()) > 1e-9 || qAbs(rect.height() - device.size.height()) > 1e-9)
            return device.name + QStringLiteral(" lost its size");
    }
    const QList<QRectF> rects = arrangement.deviceRects.values();
    const QStringList names = arrangement.deviceRects.keys();
    for (int i = 0; i < rects.size(); ++i) {
        for (int j = i + 1; j < rects.size(); ++j) {
            if (rects.at(i).intersects(rects.at(j)))
                return names.at(i) + QStringLiteral(" overlaps ") + names.at(j);
        }
    }
    return QString();
}

/// Why the clusters are wrong, empty when every group has a rectangle holding its members and subgroups.
QString clusterFault(const LayoutGraph& graph, const DevicesArrangement& arrangement)
{
    if (arrangement.clusterRects.size() != graph.groups.size())
        return QStringLiteral("%1 clusters for %2 groups").arg(arrangement.clusterRects.size()).arg(graph.groups.size());
    auto holds = [&](int group, const QRectF& rect) {
        return arrangement.clusterRects.value(graph.groups.at(group).name).adjusted(-1, -1, 1, 1).contains(rect);
    };
    for (const LayoutGraph::Device& device : graph.devices) {
        for (int group = device.group; group >= 0; group = graph.groups.at(group).parent) {
            if (!holds(group, arrangement.deviceRects.value(device.name)))
                return graph.groups.at(group).name + QStringLiteral(" does not hold ") + device.name;
        }
    }
    for (const LayoutGraph::Group& group : graph.groups) {
        if (group.parent >= 0 && !holds(group.parent, arrangement.clusterRects.value(group.name)))
            return graph.groups.at(group.parent).name + QStringLiteral(" does not hold ") + group.name;
    }
    return QString();
}

/// Why a link is not a right-angle route around the devices, empty when all are.
QString orthogonalFault(const DevicesArrangement& arrangement)
{
    for (const ItemsConnection& connection : arrangement.connections) {
        QList<QPointF> path = connection.bendingPoints;
        path.prepend(centerOf(arrangement, connection.from));
        path.append(centerOf(arrangement, connection.to));
        const QString name = connection.from + QStringLiteral(" -> ") + connection.to;
        for (int i = 0; i + 1 < path.size(); ++i) {
            const QLineF segment(path.at(i), path.at(i + 1));
            if (segment.dx() != 0 && segment.dy() != 0)
                return name + QStringLiteral(" has a slanted segment");
            if (segment.length() == 0 && path.size() > 2)
                return name + QStringLiteral(" has an empty segment");
            if (i > 0 && (segment.dx() == 0) == (path.at(i).x() == path.at(i - 1).x()))
                return name + QStringLiteral(" bends without turning");
            for (auto it = arrangement.deviceRects.cbegin(); it != arrangement.deviceRects.cend(); ++it) {
                const bool ownEnd = (i == 0 && it.key() == connection.from)
                                    || (i + 2 == path.size() && it.key() == connection.to);
                if (!ownEnd && crosses(segment, it.value()))
                    return name + QStringLiteral(" runs through ") + it.key();
            }
        }
    }
    return QString();
}

QStringList connectionTexts(const DevicesArrangement& arrangement)
{
    QStringList texts;
    for (const ItemsConnection& connection : arrangement.connections)
        texts << connection.from + '>' + connection.to;
    return texts;
}

QStringList linkTexts(const LayoutGraph& graph)
{
    QStringList texts;
    for (const LayoutGraph::Link& link : graph.links)
        texts << graph.devices.at(link.from).name + '>' + graph.devices.at(link.to).name;
    return texts;
}

/// A chain of count devices in which device i belongs to group i % 8 (every sixteenth one to a
/// group nested in group 0), with an empty group and an empty one nested in group 1: groups
/// spread along the whole flow.
LayoutGraph spreadGroups(int count)
{
    LayoutGraph graph;
    graph.type = LayoutGraph::ClusterByGuiArea;
    for (int g = 0; g < 8; ++g)
        graph.groups.append({QStringLiteral("area %1").arg(g), -1});
    graph.groups += {{"nested", 0}, {"empty", -1}, {"empty inside", 1}};
    for (int i = 0; i < count; ++i)
        graph.devices.append({QStringLiteral("device %1").arg(i), QSizeF(60 + (i * 37) % 90, 30 + (i % 3) * 8),
                              i % 16 == 0 ? 8 : i % 8});
    for (int i = 1; i < count; ++i) {
        graph.links.append({i - 1, i});
        if (i % 9 == 0 && i + 5 < count)
            graph.links.append({i, i + 5});
    }
    return graph;
}

/// Why groups meet where they should not, empty when only nested groups meet and no group covers a device of another.
QString groupOverlapFault(const LayoutGraph& graph, const DevicesArrangement& arrangement)
{
    auto isWithin = [&](int group, int ancestor) {
        for (; group >= 0; group = graph.groups.at(group).parent) {
            if (group == ancestor)
                return true;
        }
        return false;
    };
    for (int a = 0; a < graph.groups.size(); ++a) {
        const QRectF rect = arrangement.clusterRects.value(graph.groups.at(a).name);
        for (int b = 0; b < graph.groups.size(); ++b) {
            const QRectF other = arrangement.clusterRects.value(graph.groups.at(b).name);
            if (a != b && !isWithin(a, b) && !isWithin(b, a) && rect.intersects(other))
                return graph.groups.at(a).name + QStringLiteral(" meets ") + graph.groups.at(b).name;
        }
        for (const LayoutGraph::Device& device : graph.devices) {
            if (!isWithin(device.group, a) && rect.intersects(arrangement.deviceRects.value(device.name)))
                return graph.groups.at(a).name + QStringLiteral(" covers ") + device.name;
        }
    }
    return QString();
}

QByteArray attribute(const LayoutPlan& plan, const QByteArray& name)
{
    for (const auto& entry : plan.settings.attributes) {
        if (entry.first == name)
            return entry.second;
    }
    return QByteArray();
}

GraphLayoutAdapter::Options withEngine(GraphLayoutAdapter::Engine engine)
{
    GraphLayoutAdapter::Options options;
    options.engine = engine;
    return options;
}

} // namespace

class TestGraphLayoutAdapter : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void emptyGraphGivesEmptyArrangement()
    {
        for (auto engine : {GraphLayoutAdapter::Engine::Graphviz, GraphLayoutAdapter::Engine::LayeredGrid}) {
            for (qint32 type = LayoutGraph::Orthogonal; type <= LayoutGraph::FixedClusters; ++type) {
                LayoutGraph graph;
                graph.type = type;
                const GraphLayoutAdapter::Result result = GraphLayoutAdapter::layOut(graph, withEngine(engine));
                QVERIFY(!result.fellBack && result.arrangement.isEmpty() && result.arrangement.devicesRect.isNull());
            }
        }
    }

    void placesEveryPartTheSameWayEachTime_data()
    {
        QTest::addColumn<GraphLayoutAdapter::Engine>("engine");
        QTest::addColumn<qint32>("type");
        QTest::addColumn<bool>("orthogonal");
        const auto graphviz = GraphLayoutAdapter::Engine::Graphviz;
        QTest::newRow("Orthogonal") << graphviz << qint32(LayoutGraph::Orthogonal) << true;
        QTest::newRow("Hierarchical") << graphviz << qint32(LayoutGraph::Hierarchical) << false;
        QTest::newRow("ClusterByGuiArea") << graphviz << qint32(LayoutGraph::ClusterByGuiArea) << false;
        QTest::newRow("ClusterByIO") << graphviz << qint32(LayoutGraph::ClusterByIO) << false;
        QTest::newRow("FixedClusters") << graphviz << qint32(LayoutGraph::FixedClusters) << false;
        const auto grid = GraphLayoutAdapter::Engine::LayeredGrid;
        QTest::newRow("grid Hierarchical") << grid << qint32(LayoutGraph::Hierarchical) << true;
    }

    void placesEveryPartTheSameWayEachTime()
    {
        QFETCH(GraphLayoutAdapter::Engine, engine);
        QFETCH(qint32, type);
        QFETCH(bool, orthogonal);

        const LayoutGraph graph = pipeline(70, type);
        const GraphLayoutAdapter::Result result = GraphLayoutAdapter::layOut(graph, withEngine(engine));

        QVERIFY(!result.fellBack);
        QCOMPARE(rectangleFault(graph, result.arrangement), QString());
        QCOMPARE(clusterFault(graph, result.arrangement), QString());
        QCOMPARE(connectionTexts(result.arrangement), linkTexts(graph));
        QVERIFY(result.arrangement.boundingRect.left() >= 0 && result.arrangement.boundingRect.top() >= 0);
        if (orthogonal) {
            QCOMPARE(orthogonalFault(result.arrangement), QString());
            // Opposite links go separate ways.
            const QStringList texts = connectionTexts(result.arrangement);
            const ItemsConnection forth = result.arrangement.connections.at(texts.indexOf("device 1>device 2"));
            const ItemsConnection back = result.arrangement.connections.at(texts.indexOf("device 2>device 1"));
            QVERIFY(!back.bendingPoints.isEmpty() && back.bendingPoints != forth.bendingPoints);
        }
        const DevicesArrangement again = GraphLayoutAdapter::layOutWithin(graph, withEngine(engine)).arrangement;
        QCOMPARE(again.deviceRects, result.arrangement.deviceRects);
        QCOMPARE(again.clusterRects, result.arrangement.clusterRects);
        QVERIFY(again.connections == result.arrangement.connections);
    }

    void cyclicGraphsAreRankedCompactly()
    {
        // Given a ring with chords, which a depth-first breaking stretches into one rank per device
        const LayoutGraph ring = ringWithChords(120, LayoutGraph::Orthogonal);
        const QVector<bool> turned = CycleBreaker::turnedLinks(ring);
        QCOMPARE(turned.size(), ring.links.size());

        // Then links are turned so that the ring takes well under half the ranks
        QVERIFY(turned.contains(true));
        const int ranks = LayeringEstimate::of(ring, turned).ranks;
        QVERIFY2(ranks < 60, qPrintable(QString::number(ranks)));
        QVERIFY(LayeringEstimate::of(ring, QVector<bool>(ring.links.size(), false)).ranks >= 120);

        // And the layout still routes every link from its source to its target around the devices
        const GraphLayoutAdapter::Result result =
            GraphLayoutAdapter::layOut(ring, withEngine(GraphLayoutAdapter::Engine::Graphviz));
        QVERIFY(!result.fellBack);
        QCOMPARE(rectangleFault(ring, result.arrangement), QString());
        QCOMPARE(connectionTexts(result.arrangement), linkTexts(ring));
        QCOMPARE(orthogonalFault(result.arrangement), QString());

        // And a polyline's corners run from the source to the target, turned link or not
        LayoutGraph hierarchical = ring;
        hierarchical.type = LayoutGraph::Hierarchical;
        const DevicesArrangement polylines = GraphLayoutAdapter::layOut(hierarchical).arrangement;
        for (int i = 0; i < ring.links.size(); ++i) {
            const ItemsConnection& connection = polylines.connections.at(i);
            if (connection.bendingPoints.size() < 2)
                continue;
            const QPointF from = centerOf(polylines, connection.from);
            const QPointF first = connection.bendingPoints.first();
            const QPointF last = connection.bendingPoints.last();
            QVERIFY2(QLineF(from, first).length() <= QLineF(from, last).length(), qPrintable(connection.from));
        }

        // While a pipeline's few feedback links are left to the engine
        const LayoutGraph line = pipeline(70, LayoutGraph::Hierarchical);
        QVERIFY(!CycleBreaker::turnedLinks(line).contains(true));
    }

    void plansDotByTheGraphsSizeAndShape()
    {
        // A small graph: dot's defaults
        const LayoutPlan small = LayoutPlan::of(pipeline(70, LayoutGraph::Hierarchical), "dot");
        QVERIFY(small.fitsGraphviz && small.coordinatePass && small.fullCrossingReduction && !small.groupsAsStrips);
        QVERIFY(attribute(small, "nslimit").isEmpty() && attribute(small, "newrank").isEmpty());

        // A large pipeline: no coordinate pass, but crossing reduction in full, since it is untangled
        const LayoutGraph line = pipeline(3000, LayoutGraph::Hierarchical);
        QVERIFY(LayoutPlan::crossingsPerDevice(line) < 2);
        const LayoutPlan large = LayoutPlan::of(line, "dot");
        QVERIFY(large.fitsGraphviz && !large.coordinatePass && large.fullCrossingReduction);
        QCOMPARE(attribute(large, "nslimit"), QByteArray("0"));
        QCOMPARE(attribute(large, "newrank"), QByteArray("true"));
        QVERIFY(attribute(large, "mclimit").isEmpty());

        // A large tangled graph: the short crossing reduction
        const LayoutGraph grid = mapGrid(5000, LayoutGraph::Hierarchical);
        QVERIFY(LayoutPlan::crossingsPerDevice(grid) > 2);
        const LayoutPlan tangled = LayoutPlan::of(grid, "dot");
        QVERIFY(!tangled.fullCrossingReduction);
        QCOMPARE(attribute(tangled, "mclimit"), QByteArray("0.05"));

        // Groups that follow one another along the flow stay dot's clusters, with a coordinate pass
        LayoutGraph bands = pipeline(3000, LayoutGraph::FixedClusters);
        bands.groups = {{"first half", -1}, {"second half", -1}};
        for (int i = 0; i < bands.devices.size(); ++i)
            bands.devices[i].group = i < 1500 ? 0 : 1;
        const LayoutPlan clusters = LayoutPlan::of(bands, "dot");
        QVERIFY(!clusters.groupsAsStrips && clusters.coordinatePass && !clusters.fullCrossingReduction);
        QCOMPARE(attribute(clusters, "nslimit"), QByteArray("0.02"));
        // and a short ranking, which keeps their links short
        QVERIFY(!clusters.tangled);
        QCOMPARE(attribute(clusters, "nslimit1"), QByteArray("0.02"));

        // Groups spread all along it are drawn as strips
        const LayoutGraph spread = spreadGroups(1500);
        QVERIFY(LayeringEstimate::of(spread, CycleBreaker::turnedLinks(spread)).groupRanks > 10000);
        const LayoutPlan strips = LayoutPlan::of(spread, "dot");
        QVERIFY(strips.groupsAsStrips && !strips.coordinatePass && !strips.settings.polylineEdges);

        // And the same graph always gets the same plan
        const LayoutPlan again = LayoutPlan::of(grid, "dot");
        QCOMPARE(again.method, tangled.method);
        QCOMPARE(again.settings.attributes, tangled.settings.attributes);
        QCOMPARE(again.settings.turnedLinks, tangled.settings.turnedLinks);
    }

    void keepsThePassesThatPay()
    {
        // A tangled graph whose drawing stays moderate: crossing reduction in full, and the
        // coordinate pass, briefly, for links that follow the devices
        const LayoutGraph grid = mapGrid(3000, LayoutGraph::Hierarchical);
        const LayoutPlan tangled = LayoutPlan::of(grid, "dot");
        QVERIFY(tangled.tangled && tangled.fullCrossingReduction && tangled.coordinatePass);
        QVERIFY(attribute(tangled, "mclimit").isEmpty());
        QCOMPARE(attribute(tangled, "nslimit"), QByteArray("0.02"));
        // The ranking pass gets one iteration per device at every size
        QCOMPARE(attribute(tangled, "nslimit1"), QByteArray("1"));
        const LayoutPlan large = LayoutPlan::of(mapGrid(5000, LayoutGraph::Hierarchical), "dot");
        QCOMPARE(attribute(large, "nslimit1"), QByteArray("1"));

        // An untangled graph is not measured, and its large drawing skips the coordinate pass
        const LayoutGraph line = pipeline(1800, LayoutGraph::Hierarchical);
        const LayeringEstimate estimate = LayeringEstimate::of(line, CycleBreaker::turnedLinks(line));
        QVERIFY(line.devices.size() + estimate.linkRanks - line.links.size() > 4500);
        const LayoutPlan layered = LayoutPlan::of(line, "dot");
        QVERIFY(!layered.tangled && !layered.coordinatePass);
        QCOMPARE(attribute(layered, "nslimit"), QByteArray("0"));

        // While the same graph drawn orthogonally keeps the whole pass, for routes between devices put level
        LayoutGraph orthogonalLine = line;
        orthogonalLine.type = LayoutGraph::Orthogonal;
        const LayoutPlan orthogonal = LayoutPlan::of(orthogonalLine, "dot");
        QVERIFY(orthogonal.coordinatePass && !orthogonal.settings.polylineEdges);
        QCOMPARE(attribute(orthogonal, "nslimit"), QByteArray("1"));

        // And a large tangled graph drawn orthogonally keeps it too
        const LayoutPlan orthogonalGrid = LayoutPlan::of(mapGrid(5000, LayoutGraph::Orthogonal), "dot");
        QVERIFY(orthogonalGrid.tangled && orthogonalGrid.coordinatePass);
        QCOMPARE(attribute(orthogonalGrid, "nslimit"), QByteArray("0.02"));
    }

    void estimatesTheRanksLinksSpan()
    {
        // Given a chain of four devices with a link skipping two of them and a self-link
        LayoutGraph graph;
        for (int i = 0; i < 4; ++i)
            graph.devices.append({QStringLiteral("d%1").arg(i), QSizeF(40, 20), -1});
        graph.links = {{0, 1}, {1, 2}, {2, 3}, {0, 3}, {2, 2}};

        // Then the links span 1 + 1 + 1 + 3 ranks
        const LayeringEstimate estimate = LayeringEstimate::of(graph, QVector<bool>(graph.links.size(), false));
        QCOMPARE(estimate.ranks, 4);
        QCOMPARE(estimate.linkRanks, qint64(6));
    }

    void spreadGroupsAreDrawnAsStrips()
    {
        // Given groups whose members lie all along a long flow
        const LayoutGraph graph = spreadGroups(1500);

        const GraphLayoutAdapter::Result result = GraphLayoutAdapter::layOutWithin(graph);

        // Then every group is a rectangle around its own devices alone, and no device overlaps another
        QVERIFY(!result.fellBack);
        QVERIFY2(result.method.contains("strips"), qPrintable(result.method));
        QCOMPARE(rectangleFault(graph, result.arrangement), QString());
        QCOMPARE(clusterFault(graph, result.arrangement), QString());
        QCOMPARE(groupOverlapFault(graph, result.arrangement), QString());
        // And every link is routed around the devices, from its source to its target
        QCOMPARE(connectionTexts(result.arrangement), linkTexts(graph));
        QCOMPARE(orthogonalFault(result.arrangement), QString());
        // And the same graph gives the same drawing
        const DevicesArrangement again = GraphLayoutAdapter::layOut(graph).arrangement;
        QCOMPARE(again.deviceRects, result.arrangement.deviceRects);
        QCOMPARE(again.clusterRects, result.arrangement.clusterRects);
        QVERIFY(again.connections == result.arrangement.connections);
    }

    void fallsBackWhenGraphvizFails()
    {
        // Given a Graphviz layout program that does not exist
        TestSupport::LogCapture log;
        GraphLayoutAdapter::Options options;
        options.graphvizProgram = "no-such-layout";
        const LayoutGraph graph = pipeline(30, LayoutGraph::FixedClusters);

        const GraphLayoutAdapter::Result result = GraphLayoutAdapter::layOut(graph, options);

        // Then Graphviz's complaint is logged and the grid places everything
        QVERIFY(log.containsFragment("GraphLayoutAdapter: Graphviz:"));
        QVERIFY(result.fellBack && result.reason.contains("failed"));
        QCOMPARE(rectangleFault(graph, result.arrangement), QString());
        QCOMPARE(clusterFault(graph, result.arrangement), QString());
    }

    void fallsBackPastTheDeadline()
    {
        // Given a layout that takes far longer than its deadline
        GraphLayoutAdapter::Options options;
        options.deadlineMs = 1;
        const LayoutGraph graph = pipeline(2500, LayoutGraph::Hierarchical);

        const GraphLayoutAdapter::Result result = GraphLayoutAdapter::layOutWithin(graph, options);

        // Then the grid stands in, with a reason
        QVERIFY(result.fellBack && result.reason.contains("longer than"));
        QCOMPARE(result.arrangement.deviceRects.size(), graph.devices.size());
    }
};

QTEST_MAIN(TestGraphLayoutAdapter)
#include "tst_GraphLayoutAdapter.moc"
