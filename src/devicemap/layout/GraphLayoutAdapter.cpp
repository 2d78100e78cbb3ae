#include "GraphLayoutAdapter.h"

#include "GraphPlacement.h"
#include "GraphvizLayout.h"
#include "GroupStripLayout.h"
#include "LayeredGridLayout.h"
#include "LayoutPlan.h"
#include "LayoutThreads.h"
#include "OrthogonalRouter.h"

#include <QCoreApplication>
#include <QDebug>
#include <QEventLoop>
#include <QFutureInterface>
#include <QFutureWatcher>
#include <QPointer>
#include <QSemaphore>
#include <QTimer>

#include <algorithm>
#include <cerrno>
#include <memory>
#include <mutex>
#include <new>

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

/// Why a layout that the system would not start gave the grid: what the system refused.
QString systemRefusal(const QString& why)
{
    return QCoreApplication::translate(
               "GraphLayoutAdapter",
               "The system could not start the automatic layout (%1), so the devices were placed on a simple grid.")
        .arg(why);
}

/// Why a run's thread could not be made, in the user's words.
QString threadRefusal(int error)
{
    switch (error) {
    case EAGAIN:
        return systemRefusal(QCoreApplication::translate("GraphLayoutAdapter", "too many processes or threads"));
    case ENOMEM: return systemRefusal(QCoreApplication::translate("GraphLayoutAdapter", "not enough memory"));
    default: return systemRefusal(qt_error_string(error));
    }
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
    case LayoutProcess::End::Stopped:
        return QCoreApplication::translate(
                   "GraphLayoutAdapter",
                   "The automatic layout was stopped from outside (%1), so the devices were placed on a simple grid.")
            .arg(outcome.detail);
    case LayoutProcess::End::OutOfMemory:
        return QCoreApplication::translate("GraphLayoutAdapter",
                                           "The automatic layout needed more than its %1 MB of memory, so the devices "
                                           "were placed on a simple grid.")
            .arg((outcome.memoryBytes > 0 ? outcome.memoryBytes : options.memoryLimitBytes) >> 20);
    case LayoutProcess::End::OutputBound:
        return QCoreApplication::translate(
                   "GraphLayoutAdapter",
                   "The automatic layout wrote more than it may (%1) and was ended, so the devices were placed on a "
                   "simple grid.")
            .arg(outcome.detail);
    case LayoutProcess::End::TimedOut:
        return QCoreApplication::translate(
                   "GraphLayoutAdapter",
                   "The automatic layout took longer than %1 s, so the devices were placed on a simple grid.")
            .arg(deadlineText(options.deadlineMs));
    case LayoutProcess::End::NotStarted:
        if (outcome.refused)
            return systemRefusal(outcome.detail);
        Q_FALLTHROUGH();
    case LayoutProcess::End::Exited:
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

/**
 * layOutChecked(), where this process's memory running out anywhere on the way (the answer
 * read, its drawing, the placement) gives the grid with a reason: never an exception on the
 * layout's thread, which would end the application.
 */
GraphLayoutAdapter::Result layOutOrFallBack(const LayoutGraph& graph, const GraphLayoutAdapter::Options& options,
                                            const GraphvizLayout::Control& control)
{
    try {
        return layOutChecked(graph, options, control);
    } catch (const std::bad_alloc&) {
    }
    // What the run held is freed by now; nobody waits for an abandoned run.
    const auto isAbandoned = control.limits.isAbandoned;
    if (isAbandoned && isAbandoned())
        return GraphLayoutAdapter::Result();
    return GraphLayoutAdapter::fallback(
        graph, QCoreApplication::translate("GraphLayoutAdapter",
                                           "The application ran out of memory during the automatic layout, so the "
                                           "devices were placed on a simple grid."));
}

GraphvizLayout::Control controlFor(const GraphLayoutAdapter::Options& options)
{
    GraphvizLayout::Control control;
    control.limits.deadline = QDeadlineTimer(std::max(0, options.deadlineMs));
    control.limits.memoryBytes = options.memoryLimitBytes;
    control.program = options.layoutProgram;
    return control;
}

struct StartedRun
{
    QFuture<GraphLayoutAdapter::Result> future;
    /// Released once the run has finished, for a caller that cannot wait in an event loop.
    std::shared_ptr<QSemaphore> finished;
};

/**
 * Held while a run's result is put in its future or taken out: a thread checker
 * (ThreadSanitizer) sees this lock, where it cannot see the ones Qt's futures take, and would
 * take the hand-overs for races. One for every run, so that nothing about it is itself handed
 * over; it is held for moments.
 */
std::mutex handover;

void finish(QFutureInterface<GraphLayoutAdapter::Result>& promise, const GraphLayoutAdapter::Result& result)
{
    const std::lock_guard<std::mutex> handed(handover);
    promise.reportResult(result);
}

StartedRun startRun(const LayoutGraph& graph, const GraphLayoutAdapter::Options& options)
{
    QFutureInterface<GraphLayoutAdapter::Result> promise;
    promise.reportStarted();
    StartedRun run{promise.future(), std::make_shared<QSemaphore>()};
    GraphvizLayout::Control control = controlFor(options);
    control.limits.isAbandoned = [promise]() { return promise.isCanceled() || LayoutThreads::closing(); };
    // The task owns copies of everything it reads: an abandoned run outlives its caller.
    auto task = [promise, graph = checked(graph), options, control, finished = run.finished]() mutable {
        try {
            if (!promise.isCanceled())
                finish(promise, layOutOrFallBack(graph, options, control));
        } catch (const std::bad_alloc&) {
            // Not even the grid's notice fitted: the run ends without a result, as an abandoned one does.
        }
        promise.reportFinished();
        finished->release();
    };
    const int error = LayoutThreads::start(std::move(task));
    if (error != 0) {
        // Nothing is left to wait for a thread: the grid at once, and the next layout asks again.
        finish(promise, GraphLayoutAdapter::fallback(graph, threadRefusal(error)));
        promise.reportFinished();
        run.finished->release();
    }
    return run;
}

} // namespace

GraphLayoutAdapter::Result GraphLayoutAdapter::layOut(const LayoutGraph& graph, const Options& options)
{
    return layOutOrFallBack(checked(graph), options, controlFor(options));
}

QFuture<GraphLayoutAdapter::Result> GraphLayoutAdapter::start(const LayoutGraph& graph, const Options& options)
{
    return startRun(graph, options).future;
}

GraphLayoutAdapter::Result GraphLayoutAdapter::layOutWithin(const LayoutGraph& graph, const Options& options,
                                                        const QObject* owner)
{
    const QDeadlineTimer deadline(std::max(0, options.deadlineMs));
    const QPointer<const QObject> ownerAlive(owner);
    StartedRun run = startRun(graph, options);
    if (!run.future.isFinished()) {
        QEventLoop loop;
        QFutureWatcher<Result> watcher;
        QTimer timer;
        timer.setSingleShot(true);
        QObject::connect(&watcher, &QFutureWatcherBase::finished, &loop, &QEventLoop::quit);
        QObject::connect(&timer, &QTimer::timeout, &loop, &QEventLoop::quit);
        if (owner)
            QObject::connect(owner, &QObject::destroyed, &loop, &QEventLoop::quit);
        watcher.setFuture(run.future);
        timer.start(int(deadline.remainingTime()));
        loop.exec(QEventLoop::ExcludeUserInputEvents);
    }
    // Nobody is left to take the result: the run is dropped and its program killed.
    if (owner && !ownerAlive) {
        run.future.cancel();
        Result abandoned;
        abandoned.abandoned = true;
        return abandoned;
    }
    // QCoreApplication::quit() (a host's answer to a signal, say) ends every event loop at
    // once, and any loop started after it too: the run is waited for here then, within its
    // deadline, so that what it gives is its own result and never a grid no deadline made.
    if (!run.future.isFinished())
        run.finished->tryAcquire(1, int(std::max<qint64>(0, deadline.remainingTime())));
    if (run.future.isFinished() && run.future.resultCount() > 0) {
        const std::lock_guard<std::mutex> taken(handover);
        return run.future.result();
    }

    run.future.cancel();
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
    Result result;
    result.fellBack = true;
    result.reason = reason;
    result.method = QStringLiteral("layered grid");
    try {
        const LayoutGraph valid = checked(graph);
        result.arrangement = layeredGrid(valid).toArrangement(valid, resultMargin);
    } catch (const std::bad_alloc&) {
        // Where not even the grid fits in memory the devices stay where they are, and the notice says why.
    }
    return result;
}
