#include "GraphLayoutAdapter.h"

#include "CycleBreaker.h"
#include "GraphPlacement.h"
#include "GraphvizLayout.h"
#include "LayeredGridLayout.h"
#include "LayeringEstimate.h"
#include "OrthogonalRouter.h"

#include <QCoreApplication>
#include <QDebug>
#include <QEventLoop>
#include <QFutureInterface>
#include <QFutureWatcher>
#include <QSharedPointer>
#include <QThreadPool>
#include <QTimer>

#include <algorithm>

namespace {

constexpr double resultMargin = 20.0;
/// Graph sizes (devices + links) up to which dot runs with its defaults, then with tuned limits.
constexpr int defaultLimitsUpTo = 500;
constexpr int tunedLimitsUpTo = 5000;
/// Graph sizes up to which dot stays within the freeze limit, by the ranking it uses.
constexpr int classicRankUpTo = 12500;
constexpr int newRankUpTo = 20000;
/// How far groups may spread across the ranks (LayeringEstimate::groupRanks) for newrank.
constexpr qint64 spreadGroupRanksUpTo = 10000;

QString translated(const char* text)
{
    return QCoreApplication::translate("GraphLayoutAdapter", text);
}

int sizeOf(const LayoutGraph& graph)
{
    return graph.devices.size() + graph.links.size();
}

/// graph without links or group references that point nowhere, so no run can index out of range.
LayoutGraph checked(const LayoutGraph& graph)
{
    const int devices = graph.devices.size();
    bool valid = true;
    for (const LayoutGraph::Link& link : graph.links)
        valid = valid && link.from >= 0 && link.from < devices && link.to >= 0 && link.to < devices;
    for (const LayoutGraph::Device& device : graph.devices)
        valid = valid && device.group >= -1 && device.group < graph.groups.size();
    for (int i = 0; i < graph.groups.size(); ++i)
        valid = valid && graph.groups.at(i).parent >= -1 && graph.groups.at(i).parent < i;
    if (valid)
        return graph;

    qWarning() << "GraphLayoutAdapter: links or groups out of range were left out";
    LayoutGraph result = graph;
    result.links.clear();
    for (const LayoutGraph::Link& link : graph.links) {
        if (link.from >= 0 && link.from < devices && link.to >= 0 && link.to < devices)
            result.links.append(link);
    }
    for (LayoutGraph::Device& device : result.devices) {
        if (device.group < -1 || device.group >= graph.groups.size())
            device.group = -1;
    }
    for (int i = 0; i < result.groups.size(); ++i) {
        if (result.groups.at(i).parent < -1 || result.groups.at(i).parent >= i)
            result.groups[i].parent = -1;
    }
    return result;
}

bool routesOrthogonally(const LayoutGraph& graph)
{
    return graph.type == LayoutGraph::Orthogonal && graph.groups.isEmpty();
}

/// How dot is to run on a graph, and whether it can within the freeze limit.
struct GraphvizPlan
{
    GraphvizLayout::Settings settings;
    QString method;
    bool fits = true;
};

GraphvizPlan graphvizPlan(const LayoutGraph& graph, const QByteArray& program)
{
    GraphvizPlan plan;
    GraphvizLayout::Settings& settings = plan.settings;
    settings.engine = program;
    settings.polylineEdges = !routesOrthogonally(graph);
    settings.attributes = {
        {"rankdir", "LR"},
        {"nodesep", "0.3"},
        // Orthogonal links need room between the ranks for their vertical tracks.
        {"ranksep", settings.polylineEdges ? "0.6" : "0.8"},
        {"splines", settings.polylineEdges ? "polyline" : "none"},
    };
    plan.method = QString::fromLatin1(program);
    settings.turnedLinks = CycleBreaker::turnedLinks(graph);
    const int size = sizeOf(graph);

    // Ranked over the whole graph, a cluster's sources and sinks keep their places in the
    // signal flow and no link runs backwards. dot's classic ranking, which ranks each
    // cluster on its own first, also ends in a clean-up quadratic in the number of links
    // (4 s of 5,000 devices' 8 s). Only clusters stretched across thousands of ranks, with
    // other clusters' devices between their members, make crossing reduction after the
    // whole-graph ranking slower still (a minute for 5,000 devices in 10 spread groups).
    bool newRank = !graph.groups.isEmpty();
    if (size > defaultLimitsUpTo) {
        newRank = graph.groups.isEmpty()
                  || LayeringEstimate::of(graph, settings.turnedLinks).groupRanks <= spreadGroupRanksUpTo;
    }
    if (newRank) {
        settings.attributes += {{"newrank", "true"}};
        plan.method += QStringLiteral(" newrank");
    }
    plan.fits = size <= (newRank ? newRankUpTo : classicRankUpTo);

    if (size > tunedLimitsUpTo) {
        // Clusters spread along a long pipeline make crossing reduction the costly part then.
        settings.attributes += {{"nslimit", "0.02"}, {"nslimit1", "0.02"}, {"mclimit", "0.05"}, {"remincross", "false"}};
        plan.method += QStringLiteral(" nslimit=0.02 mclimit=0.05");
    } else if (size > defaultLimitsUpTo) {
        settings.attributes += {{"nslimit", "1"}, {"nslimit1", "1"}};
        plan.method += QStringLiteral(" nslimit=1");
    }
    const int turned = int(std::count(settings.turnedLinks.cbegin(), settings.turnedLinks.cend(), true));
    if (turned > 0)
        plan.method += QStringLiteral(" turned=%1").arg(turned);
    return plan;
}

GraphPlacement layeredGrid(const LayoutGraph& graph)
{
    GraphPlacement placement = LayeredGridLayout::place(graph);
    if (graph.groups.isEmpty())
        OrthogonalRouter(graph, placement).route();
    return placement;
}

GraphLayoutAdapter::Result layOutChecked(const LayoutGraph& graph, const GraphLayoutAdapter::Options& options,
                                         GraphvizLayout::Control* control)
{
    if (!graph.hasKnownType()) {
        return GraphLayoutAdapter::fallback(
            graph, translated("The layout type %1 is unknown, so the devices were placed on a simple grid.")
                       .arg(graph.type));
    }

    GraphLayoutAdapter::Result result;
    GraphvizPlan plan;
    if (options.engine != GraphLayoutAdapter::Engine::LayeredGrid)
        plan = graphvizPlan(graph, options.graphvizProgram);
    const bool tooLarge = options.engine == GraphLayoutAdapter::Engine::Automatic && !plan.fits;
    if (options.engine == GraphLayoutAdapter::Engine::LayeredGrid || tooLarge) {
        result.method = QStringLiteral("layered grid");
        result.arrangement = layeredGrid(graph).toArrangement(graph, resultMargin);
        return result;
    }

    GraphPlacement placement;
    QString error;
    result.method = plan.method;
    if (!GraphvizLayout::run(graph, plan.settings, &placement, &error, control)) {
        // Nobody waits for an abandoned run: no grid, no log line.
        if (control && control->isAbandoned && control->isAbandoned())
            return result;
        return GraphLayoutAdapter::fallback(
            graph, translated("The automatic layout failed (%1), so the devices were placed on a simple grid.")
                       .arg(error));
    }
    if (routesOrthogonally(graph)) {
        placement.findColumns();
        OrthogonalRouter(graph, placement).route();
    }
    result.arrangement = placement.toArrangement(graph, resultMargin);
    return result;
}

QFuture<GraphLayoutAdapter::Result> startRun(const LayoutGraph& graph, const GraphLayoutAdapter::Options& options,
                                             const QSharedPointer<GraphvizLayout::Control>& control)
{
    QFutureInterface<GraphLayoutAdapter::Result> promise;
    promise.reportStarted();
    const QFuture<GraphLayoutAdapter::Result> future = promise.future();
    control->isAbandoned = [promise]() { return promise.isCanceled(); };
    // The task owns copies of everything it reads: an abandoned run outlives its caller.
    QThreadPool::globalInstance()->start([promise, graph = checked(graph), options, control]() mutable {
        if (!promise.isCanceled())
            promise.reportResult(layOutChecked(graph, options, control.data()));
        promise.reportFinished();
    });
    return future;
}

} // namespace

GraphLayoutAdapter::Result GraphLayoutAdapter::layOut(const LayoutGraph& graph, const Options& options)
{
    return layOutChecked(checked(graph), options, nullptr);
}

QFuture<GraphLayoutAdapter::Result> GraphLayoutAdapter::start(const LayoutGraph& graph, const Options& options)
{
    return startRun(graph, options, QSharedPointer<GraphvizLayout::Control>::create());
}

GraphLayoutAdapter::Result GraphLayoutAdapter::layOutWithin(const LayoutGraph& graph, const Options& options)
{
    const auto control = QSharedPointer<GraphvizLayout::Control>::create();
    QFuture<Result> future = startRun(graph, options, control);
    if (!future.isFinished()) {
        QEventLoop loop;
        QFutureWatcher<Result> watcher;
        QTimer deadline;
        deadline.setSingleShot(true);
        QObject::connect(&watcher, &QFutureWatcherBase::finished, &loop, &QEventLoop::quit);
        QObject::connect(&deadline, &QTimer::timeout, &loop, &QEventLoop::quit);
        watcher.setFuture(future);
        deadline.start(std::max(0, options.deadlineMs));
        loop.exec(QEventLoop::ExcludeUserInputEvents);
    }
    if (future.isFinished() && future.resultCount() > 0)
        return future.result();

    const bool waitedForAnother = control->waitingForLock;
    future.cancel();
    const QString reason
        = waitedForAnother
              ? translated("An earlier automatic layout is still running, so the devices were placed on a simple grid.")
              : translated("The automatic layout took longer than %1 s, so the devices were placed on a simple grid.")
                    .arg(options.deadlineMs / 1000.0, 0, 'g', 3);
    return fallback(graph, reason);
}

GraphLayoutAdapter::Result GraphLayoutAdapter::layOut(const LayoutGraph& graph)
{
    return layOut(graph, Options());
}

QFuture<GraphLayoutAdapter::Result> GraphLayoutAdapter::start(const LayoutGraph& graph)
{
    return start(graph, Options());
}

GraphLayoutAdapter::Result GraphLayoutAdapter::layOutWithin(const LayoutGraph& graph)
{
    return layOutWithin(graph, Options());
}

GraphLayoutAdapter::Result GraphLayoutAdapter::fallback(const LayoutGraph& graph, const QString& reason)
{
    qWarning().noquote() << "GraphLayoutAdapter: fell back to the layered grid:" << reason;
    const LayoutGraph valid = checked(graph);
    Result result;
    result.fellBack = true;
    result.reason = reason;
    result.method = QStringLiteral("layered grid");
    result.arrangement = layeredGrid(valid).toArrangement(valid, resultMargin);
    return result;
}
