#pragma once

#include "DevicesArrangement.h"
#include "LayoutGraph.h"
#include "LayoutProcess.h"
#include "dozerozozu_export.h"

#include <QByteArray>
#include <QFuture>
#include <QString>

class QObject;

/**
 * The map's automatic layout on Graphviz: takes a LayoutGraph (devices with sizes,
 * links, groups) and returns a DevicesArrangement. No widget inside; tests and
 * benchmarks call it directly, the map through layOutWithin() or start().
 *
 * How each layout type is drawn (left to right, the way signals flow):
 * - Hierarchical: dot, rankdir=LR, splines=polyline; the bends are the polylines' corners.
 *   dot's polylines end on the devices' outlines, and the map draws a link on to the
 *   centres; a link that would then pass through another device (and around clusters, some
 *   of dot's own corners do) is routed again through the gaps between the devices
 *   (LinkClearance). Where dot's coordinate pass is cut short for time, dot's own routing
 *   can crash or run without end on the places it leaves, so dot routes nothing there
 *   (splines=none) and each link takes the shortest way through the room dot's drawing left
 *   it in each rank it crosses (RankedLinkRouter, in the layout program): the same
 *   ordering, so about as many crossings. Either way a link and its opposite run side by
 *   side, apart, as dot draws them.
 * - Orthogonal: dot for the positions only (splines=none, so dot routes nothing), then
 *   our own orthogonal routing (OrthogonalRouter): right-angle polylines out of the
 *   source's right side, through the channels between the ranks and the free lanes
 *   between the devices of a rank, into the target's left side; tracks ordered against
 *   crossings, no segment through a device. Graphviz's splines=ortho is far too slow
 *   (52 s for 1,000 devices).
 * - ClusterByIO, ClusterByGuiArea, FixedClusters: dot, rankdir=LR, splines=polyline (or
 *   links through dot's places, as for Hierarchical),
 *   newrank=true (ranked over the whole graph, so no link of a cluster runs backwards),
 *   every group a "cluster_N" subgraph nested as the groups nest, labelled with the
 *   group's name so that the map's title tab keeps clear of the devices; a cluster's
 *   rectangle is its subgraph's bounding box; an empty group gets an invisible placeholder
 *   node so that its cluster comes back too. Groups spread across thousands of ranks (a
 *   GUI area's widgets fed from all along a long flow), which dot's cluster handling
 *   would take minutes over, are drawn instead as strips over dot's layout of the graph
 *   without them (GroupStripLayout), their links routed orthogonally.
 *
 * Always: synthetic node ids, node sizes fixed to the devices' sizes (one scene unit is
 * one point), the y axis turned downwards, links in their order with A→B and B→A both
 * kept, the result moved to start at (20, 20), and the same result for the same input.
 *
 * dot's settings follow the graph's size and shape (LayoutPlan): its defaults up to 500
 * devices plus links while its drawing stays small, then limits on its passes where
 * profiles show their costs growing
 * faster than the graph. A pipeline of 5,000 devices takes about a second, with clusters
 * 2 to 4 s. Beyond 20,000 devices plus links dot would take longer than the freeze limit,
 * so a large graph gets our own layered grid (LayeredGridLayout: columns by longest path,
 * barycentre ordering, groups as packed boxes) in well under a second; without groups its
 * links get the orthogonal routing for every type, with groups they stay straight.
 *
 * Graphviz runs in a process of its own (GraphvizLayout, LayoutProcess): a crash inside it,
 * a run past the deadline or one that reaches its memory limit costs only that layout. Runs
 * do not wait for one another. Graphviz's messages go to the log ("GraphLayoutAdapter:
 * Graphviz: …"); when it fails, dies, or misses the deadline, the result is the layered
 * grid with fellBack set and a reason the map can show, naming what happened, and the
 * program, and whatever it started, is gone by the time the result is there. Where the system
 * will not make the run's thread or the program's process (too many processes or threads),
 * the grid comes at once with a reason that says so, and the next layout tries again. Where
 * this process's own memory runs out on the way (the answer, its drawing, the placement), the
 * grid comes too, with a reason; and where not even the grid fits, the result has the reason
 * and no places. A drawing is
 * taken only when it is whole and fits its graph (GraphvizLayout). A graph whose drawing dot could not
 * finish within the deadline (LayoutPlan::outrunsDeadline) gets the grid at once, with a
 * reason. An unknown layout type gets the grid too.
 *
 * Static functions only; layOut() on any thread, layOutWithin() on a thread with an
 * event loop (the GUI thread).
 *
 *     const auto result = GraphLayoutAdapter::layOutWithin(LayoutGraphBuilder(manager, type).build(infos));
 *     if (result.fellBack)
 *         ZenticMessageBox::warning(this, tr("Rearrange layout"), result.reason);
 */
class DOZEROZOZU_EXPORT GraphLayoutAdapter
{
public:
    enum class Engine {
        /// By the graph's size, as above.
        Automatic,
        /// Graphviz whatever the size.
        Graphviz,
        /// The layered grid whatever the size.
        LayeredGrid,
    };

    struct Options
    {
        /// How long a layout may take before it gives the fallback; its Graphviz run is killed then.
        int deadlineMs = 9000;
        Engine engine = Engine::Automatic;
        /// The Graphviz layout program; tests name one Graphviz does not know to see a failure.
        QByteArray graphvizProgram = "dot";
        /// The program that runs Graphviz; empty for the one installed with the library.
        QString layoutProgram;
        /// The address space that program may take, in bytes.
        qint64 memoryLimitBytes = LayoutProcess::defaultMemoryBytes;
    };

    struct Result
    {
        DevicesArrangement arrangement;
        /// The layered grid stands in for the requested layout; reason says why.
        bool fellBack = false;
        /// A translated sentence for the user; empty unless fellBack.
        QString reason;
        /// What placed the devices, e.g. "dot nslimit=1" or "layered grid"; for logs and benchmarks.
        QString method;
        /// The owner the layout was waited for went meanwhile: no arrangement, nothing logged.
        bool abandoned = false;
    };

    /// Lays graph out on the calling thread, within the deadline.
    static Result layOut(const LayoutGraph& graph, const Options& options);
    static Result layOut(const LayoutGraph& graph);

    /**
     * Runs layOut() on a thread of its own (not Qt's global pool, which a host may fill with
     * its own tasks); where no thread can be made, the future is finished at once with the
     * grid and a reason. Cancelling the future abandons the run, and so does the process's
     * end: one
     * that has not started Graphviz yet never starts it, one inside Graphviz has its process
     * killed, and its result is dropped. The run works on its own copy of graph, so the
     * caller may go away meanwhile.
     */
    static QFuture<Result> start(const LayoutGraph& graph, const Options& options);
    static QFuture<Result> start(const LayoutGraph& graph);

    /**
     * start(), then waits at most options.deadlineMs while the calling thread's events
     * other than user input keep being processed. Past the deadline it abandons the run
     * and returns fallback() with a reason; the run's Graphviz process is killed within
     * moments. Where the event loop cannot run (QCoreApplication::quit() ends every loop
     * at once, a host's answer to a signal say) it waits for the run without one, within
     * the same deadline, and returns the run's own result. Callers re-check their own state
     * afterwards: timers and queued calls ran meanwhile.
     *
     * An owner (the map the layout is for) deleted during the wait ends it at once: the run is
     * abandoned as a cancelled future's is, and the result is empty, with abandoned set, no
     * grid built and nothing logged. Never wait inside a slot that Qt's widgets call in the
     * middle of their own event handling (a view's currentChanged, a drag's enter, a menu's
     * triggered): what the wait deletes may be what Qt goes on with once the slot returns.
     */
    static Result layOutWithin(const LayoutGraph& graph, const Options& options, const QObject* owner = nullptr);
    static Result layOutWithin(const LayoutGraph& graph);

    /// The layered grid for graph, with fellBack set and reason as given; no places where not
    /// even the grid fits in this process's memory.
    static Result fallback(const LayoutGraph& graph, const QString& reason);
};
