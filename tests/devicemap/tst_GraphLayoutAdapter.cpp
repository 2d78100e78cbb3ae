#include "CycleBreaker.h"
#include "GraphLayoutAdapter.h"
#include "GroupStripLayout.h"
#include "LayeringEstimate.h"
#include "LibraryTranslator.h"
#include "LayoutPlan.h"
#include "TestSupport.h"
#include "LayoutCorpus.h"

#include <QtTest>

Q_DECLARE_METATYPE(GraphLayoutAdapter::Engine)
Q_DECLARE_METATYPE(LayoutGraph)

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

// count devices of one size, in no group and unlinked.
LayoutGraph evenDevices(int count, qint32 type)
{
    LayoutGraph graph;
    graph.type = type;
    for (int i = 0; i < count; ++i)
        graph.devices.append({QStringLiteral("device %1").arg(i), QSizeF(80, 40), -1});
    return graph;
}

// A ring in which every third device also feeds one seven steps on and every fifth one three
// steps back: feedback everywhere, as in a map where devices feed their neighbours.
LayoutGraph ringWithChords(int count, qint32 type)
{
    LayoutGraph graph = evenDevices(count, type);
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
    LayoutGraph graph = evenDevices(count, type);
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

/// A chain of count devices in which device i belongs to group i % 8 (every sixteenth one to a group
/// nested in group 0), with an empty group and an empty one nested in group 1: groups spread along the flow.
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

enum SampleGroup { Left, Right, Spread, Inner, Empty, EmptyInside, EmptyNested };

/// Five columns 200 apart, as a layout without groups placed them: "left" holds columns 0 and 1 (with
/// "inner" inside it), "right" columns 3 and 4, "spread" columns 0 and 4; "empty" holds only the empty
/// "empty nested", and "spread" the empty "empty inside". Three devices belong to no group.
LayoutGraph groupsInColumns(GraphPlacement* ungrouped)
{
    LayoutGraph graph;
    graph.type = LayoutGraph::ClusterByGuiArea;
    graph.groups = {{"left", -1}, {"right", -1}, {"spread", -1}, {"inner", Left},
                    {"empty", -1}, {"empty inside", Spread}, {"empty nested", Empty}};
    // Column, group: in each column the devices come top to bottom in this order.
    const QVector<QPair<int, int>> devices{{0, Left}, {1, Inner}, {1, Left}, {3, Right}, {4, Right},
                                           {0, Spread}, {4, Spread}, {0, -1}, {2, -1}, {4, -1}};
    QVector<int> inColumn(5, 0);
    for (int i = 0; i < devices.size(); ++i) {
        const int column = devices.at(i).first;
        graph.devices.append({QStringLiteral("d%1").arg(i), QSizeF(80 + 10 * (i % 3), 40), devices.at(i).second});
        ungrouped->centers.append(QPointF(200.0 * column, 60.0 * inColumn[column]++));
    }
    graph.links = {{0, 2}, {2, 8}, {8, 3}, {3, 4}, {7, 1}, {5, 8}, {8, 6}, {9, 9}, {4, 0}};
    return graph;
}

/// Why groups meet where they should not, empty when only nested groups meet and no group covers a device of another.
QString groupOverlapFault(const LayoutGraph& graph, const DevicesArrangement& arrangement)
{
    auto isWithin = [&](int group, int ancestor) {
        while (group >= 0 && group != ancestor)
            group = graph.groups.at(group).parent;
        return group >= 0;
    };
    auto rectOf = [&](int group) { return arrangement.clusterRects.value(graph.groups.at(group).name); };
    for (int a = 0; a < graph.groups.size(); ++a) {
        for (int b = a + 1; b < graph.groups.size(); ++b) {
            if (!isWithin(a, b) && !isWithin(b, a) && rectOf(a).intersects(rectOf(b)))
                return graph.groups.at(a).name + QStringLiteral(" meets ") + graph.groups.at(b).name;
        }
        for (const LayoutGraph::Device& device : graph.devices) {
            if (!isWithin(device.group, a) && rectOf(a).intersects(arrangement.deviceRects.value(device.name)))
                return graph.groups.at(a).name + QStringLiteral(" covers ") + device.name;
        }
    }
    return QString();
}

/// What the plan made of a graph: dot's limits on its passes, then how it sees the graph.
QString choices(const LayoutPlan& plan)
{
    QStringList texts;
    for (const auto& entry : plan.settings.attributes) {
        if (entry.first.startsWith("nslimit") || entry.first == "newrank" || entry.first == "mclimit")
            texts << QString::fromLatin1(entry.first + '=' + entry.second);
    }
    texts.sort();
    texts << (plan.tangled ? "tangled" : "") << (plan.groupsAsStrips ? "strips" : "")
          << (plan.settings.links == GraphvizJob::Links::None            ? "orthogonal"
              : plan.settings.links == GraphvizJob::Links::ThroughPlaces ? "through places"
                                                                          : "");
    texts.removeAll(QString());
    return texts.join(' ');
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

    void plansDotByTheGraphsSizeAndShape_data()
    {
        QTest::addColumn<LayoutGraph>("graph");
        QTest::addColumn<QString>("expected");
        const auto hierarchical = LayoutGraph::Hierarchical, orthogonal = LayoutGraph::Orthogonal;
        QTest::newRow("small: dot's defaults") << pipeline(70, hierarchical) << QString();
        // Crossing reduction in full, the coordinate pass only where it pays
        // Links run through dot's places wherever its coordinate pass is cut short
        QTest::newRow("large untangled") << pipeline(3000, hierarchical) << "newrank=true nslimit1=1 nslimit=0 through places";
        QTest::newRow("large drawing") << pipeline(1800, hierarchical) << "newrank=true nslimit1=1 nslimit=0 through places";
        QTest::newRow("small graph, far-reaching links")
            << LayoutCorpus::farChain(200, hierarchical) << "newrank=true nslimit1=1 nslimit=0 through places";
        QTest::newRow("orthogonal") << pipeline(1800, orthogonal) << "newrank=true nslimit1=1 nslimit=1 orthogonal";
        QTest::newRow("tangled") << mapGrid(3000, hierarchical) << "newrank=true nslimit1=1 nslimit=0.02 tangled through places";
        // The short crossing reduction
        QTest::newRow("large tangled") << mapGrid(5000, hierarchical)
                                       << "mclimit=0.05 newrank=true nslimit1=1 nslimit=0.02 tangled through places";
        QTest::newRow("large tangled orthogonal")
            << mapGrid(5000, orthogonal) << "mclimit=0.05 newrank=true nslimit1=1 nslimit=0.02 tangled orthogonal";
        LayoutGraph bands = pipeline(3000, LayoutGraph::FixedClusters);
        bands.groups = {{"first half", -1}, {"second half", -1}};
        for (int i = 0; i < bands.devices.size(); ++i)
            bands.devices[i].group = i < 1500 ? 0 : 1;
        QTest::newRow("groups one after another: clusters, short ranking")
            << bands << "mclimit=0.05 newrank=true nslimit1=0.02 nslimit=0.02 through places";
        QTest::newRow("groups spread along the flow") << spreadGroups(1500)
                                                      << "newrank=true nslimit1=1 nslimit=0 strips orthogonal";
    }

    void plansDotByTheGraphsSizeAndShape()
    {
        QFETCH(LayoutGraph, graph);
        QFETCH(QString, expected);

        const LayoutPlan plan = LayoutPlan::of(graph, "dot");

        QCOMPARE(choices(plan), expected);
        QVERIFY(plan.fitsGraphviz);
        // dot routes links only over places its coordinate pass finished: on others its routing can crash
        const QByteArray coordinateLimit = attribute(plan, "nslimit");
        if (attribute(plan, "splines") == "polyline")
            QVERIFY2(coordinateLimit.isEmpty() || coordinateLimit.toDouble() >= 1, coordinateLimit.constData());
        // The same graph always gets the same plan.
        const LayoutPlan again = LayoutPlan::of(graph, "dot");
        QCOMPARE(again.settings.attributes, plan.settings.attributes);
        QCOMPARE(again.settings.turnedLinks, plan.settings.turnedLinks);
    }

    void estimatesTheRanksLinksSpan()
    {
        // Given a chain of four devices with a link skipping two of them and a self-link
        LayoutGraph graph;
        for (int i = 0; i < 4; ++i)
            graph.devices.append({QStringLiteral("d%1").arg(i), QSizeF(40, 20), -1});
        graph.links = {{0, 1}, {1, 2}, {2, 3}, {0, 3}, {2, 2}};
        // Then the links span 1 + 1 + 1 + 3 ranks
        QCOMPARE(LayeringEstimate::of(graph, QVector<bool>(graph.links.size(), false)).linkRanks, qint64(6));
    }

    void drawsStripsAroundTheirGroupsDevicesAlone_data()
    {
        QTest::addColumn<bool>("withDevices");
        QTest::newRow("nested, spread and empty groups") << true;
        QTest::newRow("empty groups alone") << false;
    }

    void drawsStripsAroundTheirGroupsDevicesAlone()
    {
        QFETCH(bool, withDevices);
        GraphPlacement ungrouped;
        LayoutGraph graph = groupsInColumns(&ungrouped);
        if (!withDevices) {
            graph.devices.clear();
            graph.links.clear();
            ungrouped = GraphPlacement();
        }

        const GraphPlacement placement = GroupStripLayout::place(graph, ungrouped);

        const DevicesArrangement arrangement = placement.toArrangement(graph, 0);
        QCOMPARE(rectangleFault(graph, arrangement), QString());
        QCOMPARE(clusterFault(graph, arrangement), QString());
        QCOMPARE(groupOverlapFault(graph, arrangement), QString());
        QCOMPARE(connectionTexts(arrangement), linkTexts(graph));
        QCOMPARE(orthogonalFault(arrangement), QString());
        for (const QRectF& rect : arrangement.clusterRects)
            QVERIFY(rect.width() >= 40 && rect.height() >= 40);
        // Devices keep their columns, in order from left to right
        for (const LayoutGraph::Link& link : graph.links) {
            const double before = ungrouped.centers.at(link.to).x() - ungrouped.centers.at(link.from).x();
            const double after = placement.centers.at(link.to).x() - placement.centers.at(link.from).x();
            QVERIFY(before == 0 ? after == 0 : (before > 0) == (after > 0));
        }
        // Groups share rows, but "spread", whose devices reach across "left" and "right", gets one of its own
        const QVector<QRectF>& rects = placement.groupRects;
        QVERIFY(rects[Left].top() == rects[Right].top() && rects[Left].right() < rects[Right].left());
        QCOMPARE(rects[Spread].bottom() < rects[Left].top() || rects[Spread].top() > rects[Left].bottom(), withDevices);
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

    void reasonSpeaksTheUsersLanguage()
    {
        // Given a Russian user, and a layout of a type nobody knows
        QVERIFY(LibraryTranslator::install(QLocale(QLocale::Russian, QLocale::Russia)));
        const LayoutGraph graph = pipeline(3, 17);

        const GraphLayoutAdapter::Result result = GraphLayoutAdapter::layOut(graph);
        LibraryTranslator::remove();

        // Then the grid stands in, and the user is told why in Russian
        QVERIFY(result.fellBack);
        QCOMPARE(result.reason, QString::fromUtf8("Тип раскладки 17 неизвестен, поэтому устройства размещены простой сеткой."));
    }
};

QTEST_MAIN(TestGraphLayoutAdapter)
#include "tst_GraphLayoutAdapter.moc"
