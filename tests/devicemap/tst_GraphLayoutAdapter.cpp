#include "GraphLayoutAdapter.h"
#include "TestSupport.h"

#include <QtTest>

Q_DECLARE_METATYPE(GraphLayoutAdapter::Engine)

namespace {

/**
 * A pipeline of count devices of varied sizes: chains, fan-out, fan-in, long links,
 * feedback, a pair linked both ways and a device feeding itself. Clustered types get
 * groups: two top-level ones, one nested in the first, and two without devices (one of
 * them nested).
 */
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
QString orthogonalFault(const LayoutGraph& graph, const DevicesArrangement& arrangement)
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
    Q_UNUSED(graph);
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
    void emptyGraphGivesEmptyArrangement_data()
    {
        QTest::addColumn<GraphLayoutAdapter::Engine>("engine");
        QTest::newRow("Graphviz") << GraphLayoutAdapter::Engine::Graphviz;
        QTest::newRow("layered grid") << GraphLayoutAdapter::Engine::LayeredGrid;
    }

    void emptyGraphGivesEmptyArrangement()
    {
        QFETCH(GraphLayoutAdapter::Engine, engine);
        for (qint32 type = LayoutGraph::Orthogonal; type <= LayoutGraph::FixedClusters; ++type) {
            LayoutGraph graph;
            graph.type = type;
            const GraphLayoutAdapter::Result result = GraphLayoutAdapter::layOut(graph, withEngine(engine));
            QVERIFY(!result.fellBack);
            QVERIFY(result.arrangement.isEmpty());
            QVERIFY(result.arrangement.devicesRect.isNull());
        }
    }

    void placesEveryPart_data()
    {
        QTest::addColumn<GraphLayoutAdapter::Engine>("engine");
        QTest::addColumn<qint32>("type");
        QTest::addColumn<bool>("orthogonal");

        const QList<QPair<const char*, GraphLayoutAdapter::Engine>> engines{
            {"Graphviz", GraphLayoutAdapter::Engine::Graphviz}, {"grid", GraphLayoutAdapter::Engine::LayeredGrid}};
        for (const auto& engine : engines) {
            const bool grid = engine.second == GraphLayoutAdapter::Engine::LayeredGrid;
            QTest::addRow("%s Orthogonal", engine.first) << engine.second << qint32(LayoutGraph::Orthogonal) << true;
            QTest::addRow("%s Hierarchical", engine.first) << engine.second << qint32(LayoutGraph::Hierarchical) << grid;
            QTest::addRow("%s ClusterByGuiArea", engine.first) << engine.second << qint32(LayoutGraph::ClusterByGuiArea) << false;
            QTest::addRow("%s ClusterByIO", engine.first) << engine.second << qint32(LayoutGraph::ClusterByIO) << false;
            QTest::addRow("%s FixedClusters", engine.first) << engine.second << qint32(LayoutGraph::FixedClusters) << false;
        }
    }

    void placesEveryPart()
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
        if (orthogonal) {
            QCOMPARE(orthogonalFault(graph, result.arrangement), QString());
            // Opposite links go separate ways.
            const QStringList texts = connectionTexts(result.arrangement);
            const ItemsConnection forth = result.arrangement.connections.at(texts.indexOf("device 1>device 2"));
            const ItemsConnection back = result.arrangement.connections.at(texts.indexOf("device 2>device 1"));
            QVERIFY(!back.bendingPoints.isEmpty());
            QVERIFY(back.bendingPoints != forth.bendingPoints);
        }
        QVERIFY(result.arrangement.boundingRect.left() >= 0 && result.arrangement.boundingRect.top() >= 0);
    }

    void orthogonalRoutesSurviveTangledGraphs_data()
    {
        QTest::addColumn<GraphLayoutAdapter::Engine>("engine");
        QTest::newRow("Graphviz") << GraphLayoutAdapter::Engine::Graphviz;
        QTest::newRow("layered grid") << GraphLayoutAdapter::Engine::LayeredGrid;
    }

    void orthogonalRoutesSurviveTangledGraphs()
    {
        // Given links between devices picked at random, many of them backwards, and isolated devices
        QFETCH(GraphLayoutAdapter::Engine, engine);
        LayoutGraph graph = pipeline(250, LayoutGraph::Orthogonal);
        quint32 seed = 7;
        auto next = [&seed](int bound) {
            seed = seed * 1664525u + 1013904223u;
            return int((seed >> 8) % quint32(bound));
        };
        for (int i = 0; i < 80; ++i)
            graph.links.append({next(200), next(200)});
        for (int i = 0; i < 20; ++i)
            graph.devices.append({QStringLiteral("alone %1").arg(i), QSizeF(50, 30), -1});

        // When they are laid out orthogonally
        const GraphLayoutAdapter::Result result = GraphLayoutAdapter::layOut(graph, withEngine(engine));

        // Then every route still turns at right angles only and passes no device
        QCOMPARE(rectangleFault(graph, result.arrangement), QString());
        QCOMPARE(orthogonalFault(graph, result.arrangement), QString());
    }

    void sameInputGivesSameOutput_data()
    {
        QTest::addColumn<qint32>("type");
        for (qint32 type = LayoutGraph::Orthogonal; type <= LayoutGraph::FixedClusters; ++type)
            QTest::addRow("type %d", type) << type;
    }

    void sameInputGivesSameOutput()
    {
        QFETCH(qint32, type);
        const LayoutGraph graph = pipeline(50, type);
        const DevicesArrangement first = GraphLayoutAdapter::layOut(graph).arrangement;
        const DevicesArrangement second = GraphLayoutAdapter::layOutWithin(graph).arrangement;
        QCOMPARE(second.deviceRects, first.deviceRects);
        QCOMPARE(second.clusterRects, first.clusterRects);
        QVERIFY(second.connections == first.connections);
    }

    void fallsBackWhenGraphvizFails()
    {
        // Given a Graphviz layout program that does not exist
        TestSupport::LogCapture log;
        GraphLayoutAdapter::Options options;
        options.graphvizProgram = "no-such-layout";
        const LayoutGraph graph = pipeline(30, LayoutGraph::FixedClusters);

        // When the graph is laid out
        const GraphLayoutAdapter::Result result = GraphLayoutAdapter::layOut(graph, options);

        // Then Graphviz's complaint is logged and the grid places everything
        QVERIFY(log.containsFragment("GraphLayoutAdapter: Graphviz:"));
        QVERIFY(result.fellBack);
        QVERIFY(result.reason.contains("failed"));
        QCOMPARE(rectangleFault(graph, result.arrangement), QString());
        QCOMPARE(clusterFault(graph, result.arrangement), QString());
        QCOMPARE(connectionTexts(result.arrangement), linkTexts(graph));
    }

    void unknownTypeOrBrokenGraphStillGetsPlaces()
    {
        LayoutGraph graph = pipeline(20, 7);
        const GraphLayoutAdapter::Result unknown = GraphLayoutAdapter::layOut(graph);
        QVERIFY(unknown.fellBack);
        QCOMPARE(rectangleFault(graph, unknown.arrangement), QString());

        graph.type = LayoutGraph::Hierarchical;
        graph.links.append({3, 99});
        graph.devices[0].group = 12;
        const GraphLayoutAdapter::Result broken = GraphLayoutAdapter::layOut(graph);
        QCOMPARE(broken.arrangement.connections.size(), graph.links.size() - 1);
        QCOMPARE(rectangleFault(graph, broken.arrangement), QString());
    }

    void fallsBackPastTheDeadline()
    {
        // Given a layout that takes far longer than its deadline
        GraphLayoutAdapter::Options options;
        options.deadlineMs = 1;
        const LayoutGraph graph = pipeline(2500, LayoutGraph::Hierarchical);

        // When it is laid out within the deadline
        const GraphLayoutAdapter::Result result = GraphLayoutAdapter::layOutWithin(graph, options);

        // Then the grid stands in, with a reason, and a later layout still works
        QVERIFY(result.fellBack);
        QVERIFY(result.reason.contains("longer than"));
        QCOMPARE(result.arrangement.deviceRects.size(), graph.devices.size());
        const LayoutGraph small = pipeline(10, LayoutGraph::Hierarchical);
        QVERIFY(!GraphLayoutAdapter::layOut(small).fellBack);
    }

    void abandonedRunsLeaveNothingBehind()
    {
        // Given a long run inside Graphviz and a second run queued behind it
        const LayoutGraph large = pipeline(2500, LayoutGraph::Orthogonal);
        QFuture<GraphLayoutAdapter::Result> running = GraphLayoutAdapter::start(large);
        QTest::qWait(300);
        QFuture<GraphLayoutAdapter::Result> queued = GraphLayoutAdapter::start(pipeline(40, LayoutGraph::Hierarchical));

        // When a third one must finish soon, then it says why it could not
        GraphLayoutAdapter::Options options;
        options.deadlineMs = 100;
        const LayoutGraph small = pipeline(10, LayoutGraph::ClusterByIO);
        const GraphLayoutAdapter::Result waited = GraphLayoutAdapter::layOutWithin(small, options);
        QVERIFY(waited.fellBack);
        QVERIFY2(waited.reason.contains("still running"), qPrintable(waited.reason));
        QCOMPARE(clusterFault(small, waited.arrangement), QString());

        // When the others are abandoned, then they finish without a result
        queued.cancel();
        running.cancel();
        QTRY_VERIFY_WITH_TIMEOUT(running.isFinished() && queued.isFinished(), 60000);
        QCOMPARE(running.resultCount(), 0);
        QCOMPARE(queued.resultCount(), 0);
        QVERIFY(!GraphLayoutAdapter::layOut(small).fellBack);
    }

    void runsInTimeGiveTheLayout()
    {
        const LayoutGraph graph = pipeline(40, LayoutGraph::ClusterByGuiArea);
        QFuture<GraphLayoutAdapter::Result> future = GraphLayoutAdapter::start(graph);
        QTRY_VERIFY(future.isFinished());
        QVERIFY(!future.result().fellBack);
        QCOMPARE(future.result().arrangement.deviceRects, GraphLayoutAdapter::layOut(graph).arrangement.deviceRects);
    }
};

QTEST_MAIN(TestGraphLayoutAdapter)
#include "tst_GraphLayoutAdapter.moc"
