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

GraphPlacement layeredGrid(const LayoutGraph& graph)
{
    GraphPlacement placement = LayeredGridLayout::place(graph);
    if (graph.groups.isEmpty())
        OrthogonalRouter(graph, placement).route();
    return placement;
}

QString deadlineText(int deadlineMs)
{
    return QString::number(deadlineMs / 1000.0, 'g', 3);
}

/// Why Graphviz's run gave no placement, as the user is told; empty for a run nobody waits for.
QString reasonFor(const GraphvizLayout::Outcome& outcome, const GraphLayoutAdapter::Options& options)
{
    switch (outcome.end) {
    case LayoutProcess::End::Answered:
        return QCoreApplication::translate("GraphLayoutAdapter",
                                           "The automatic layout failed (%1), so the devices were placed on a simple grid.")
            .arg(outcome.detail);
    case LayoutProcess::End::Crashed:
        return QCoreApplication::translate(
                   "GraphLayoutAdapter",
                   "The automatic layout crashed (signal %1), so the devices were placed on a simple grid.")
            .arg(outcome.detail);
    case LayoutProcess::End::Killed:
        return QCoreApplication::translate(
            "GraphLayoutAdapter",
            "The automatic layout was killed from outside, so the devices were placed on a simple grid.");
    case LayoutProcess::End::OutOfMemory:
        return QCoreApplication::translate("GraphLayoutAdapter",
                                           "The automatic layout needed more than its %1 MB of memory, so the devices "
                                           "were placed on a simple grid.")
            .arg(options.memoryLimitBytes >> 20);
    case LayoutProcess::End::TimedOut:
        return QCoreApplication::translate(
                   "GraphLayoutAdapter",
                   "The automatic layout took longer than %1 s, so the devices were placed on a simple grid.")
            .arg(deadlineText(options.deadlineMs));
    case LayoutProcess::End::Exited:
    case LayoutProcess::End::NotStarted:
        return QCoreApplication::translate(
                   "GraphLayoutAdapter",
                   "The automatic layout could not run (%1), so the devices were placed on a simple grid.")
            .arg(outcome.detail);
    case LayoutProcess::End::Abandoned: break;
    }
    return QString();
}

GraphLayoutAdapter::Result layOutChecked(const LayoutGraph& graph, const GraphLayoutAdapter::Options& options,
                                         const GraphvizLayout::Control& control)
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
    const auto isAbandoned = control.limits.isAbandoned;
    // Nobody waits for an abandoned run: no grid, no log line.
    if (isAbandoned && isAbandoned())
        return result;
    if (plan.outrunsDeadline(options.deadlineMs)) {
        return GraphLayoutAdapter::fallback(
            graph, QCoreApplication::translate("GraphLayoutAdapter",
                                               "The automatic layout would take longer than %1 s for links reaching "
                                               "this far, so the devices were placed on a simple grid.")
                       .arg(deadlineText(options.deadlineMs)));
    }

    GraphPlacement placement;
    result.method = plan.method;
    const GraphvizLayout::Outcome outcome
        = GraphvizLayout::run(plan.groupsAsStrips ? graph.withoutGroups() : graph, plan.settings, &placement, control);
    if (outcome.end == LayoutProcess::End::Abandoned || (isAbandoned && isAbandoned()))
        return result;
    if (!outcome.hasDrawing())
        return GraphLayoutAdapter::fallback(graph, reasonFor(outcome, options));
    plan.completeLinks(graph, &placement);
    result.arrangement = placement.toArrangement(graph, resultMargin);
    return result;
}

GraphvizLayout::Control controlFor(const GraphLayoutAdapter::Options& options)
{
    GraphvizLayout::Control control;
    control.limits.deadline = QDeadlineTimer(std::max(0, options.deadlineMs));
    control.limits.memoryBytes = options.memoryLimitBytes;
    control.program = options.layoutProgram;
    return control;
}

QFuture<GraphLayoutAdapter::Result> startRun(const LayoutGraph& graph, const GraphLayoutAdapter::Options& options)
{
    QFutureInterface<GraphLayoutAdapter::Result> promise;
    promise.reportStarted();
    const QFuture<GraphLayoutAdapter::Result> future = promise.future();
    GraphvizLayout::Control control = controlFor(options);
    control.limits.isAbandoned = [promise]() { return promise.isCanceled(); };
    // The task owns copies of everything it reads: an abandoned run outlives its caller.
    QThreadPool::globalInstance()->start([promise, graph = checked(graph), options, control]() mutable {
        if (!promise.isCanceled())
            promise.reportResult(layOutChecked(graph, options, control));
        promise.reportFinished();
    });
    return future;
}

} // namespace

GraphLayoutAdapter::Result GraphLayoutAdapter::layOut(const LayoutGraph& graph, const Options& options)
{
    return layOutChecked(checked(graph), options, controlFor(options));
}

QFuture<GraphLayoutAdapter::Result> GraphLayoutAdapter::start(const LayoutGraph& graph, const Options& options)
{
    return startRun(graph, options);
}

GraphLayoutAdapter::Result GraphLayoutAdapter::layOutWithin(const LayoutGraph& graph, const Options& options)
{
    QFuture<Result> future = startRun(graph, options);
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

    future.cancel();
    return fallback(graph, reasonFor({LayoutProcess::End::TimedOut, QString()}, options));
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
