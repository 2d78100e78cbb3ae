#include "GraphLayoutAdapter.h"

#include "GraphPlacement.h"
#include "GraphvizLayout.h"
#include "GroupStripLayout.h"
#include "LayeredGridLayout.h"
#include "LayoutPlan.h"
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
            graph, QCoreApplication::translate("GraphLayoutAdapter",
                                               "The layout type %1 is unknown, so the devices were placed on a simple grid.")
                       .arg(graph.type));
    }

    GraphLayoutAdapter::Result result;
    LayoutPlan plan;
    if (options.engine != GraphLayoutAdapter::Engine::LayeredGrid)
        plan = LayoutPlan::of(graph, options.graphvizProgram);
    const bool tooLarge = options.engine == GraphLayoutAdapter::Engine::Automatic && !plan.fitsGraphviz;
    if (options.engine == GraphLayoutAdapter::Engine::LayeredGrid || tooLarge) {
        result.method = QStringLiteral("layered grid");
        result.arrangement = layeredGrid(graph).toArrangement(graph, resultMargin);
        return result;
    }

    GraphPlacement placement;
    QString error;
    result.method = plan.method;
    if (!GraphvizLayout::run(plan.groupsAsStrips ? graph.withoutGroups() : graph, plan.settings, &placement, &error,
                             control)) {
        // Nobody waits for an abandoned run: no grid, no log line.
        if (control && control->isAbandoned && control->isAbandoned())
            return result;
        return GraphLayoutAdapter::fallback(
            graph, QCoreApplication::translate("GraphLayoutAdapter",
                                               "The automatic layout failed (%1), so the devices were placed on a simple grid.")
                       .arg(error));
    }
    if (plan.groupsAsStrips) {
        placement = GroupStripLayout::place(graph, placement);
    } else if (routesOrthogonally(graph)) {
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
              ? QCoreApplication::translate("GraphLayoutAdapter", "An earlier automatic layout is still running, so the "
                                                                  "devices were placed on a simple grid.")
              : QCoreApplication::translate("GraphLayoutAdapter", "The automatic layout took longer than %1 s, so the "
                                                                  "devices were placed on a simple grid.")
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
