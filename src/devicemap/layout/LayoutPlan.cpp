#include "LayoutPlan.h"

#include "CycleBreaker.h"
#include "GroupStripLayout.h"
#include "LayeredGridLayout.h"
#include "LayeringEstimate.h"
#include "LayoutQuality.h"
#include "LinkClearance.h"
#include "OrthogonalRouter.h"

#include <QDebug>

#include <algorithm>

namespace {

/// Graph sizes (devices + links) up to which dot runs with its defaults, while its drawing
/// stays within defaultsDrawingUpTo nodes.
constexpr int defaultLimitsUpTo = 500;
constexpr qint64 defaultsDrawingUpTo = 6000;
/// Graph sizes up to which dot's crossing reduction always runs in full and Orthogonal gets
/// the whole coordinate pass; beyond, the graph's tangle is measured.
constexpr int tunedLimitsUpTo = 5000;
/// Graph sizes up to which dot stays within the freeze limit.
constexpr int graphvizUpTo = 20000;
/// Nodes of dot's drawing (devices and virtual nodes) up to which its coordinate pass runs.
constexpr qint64 coordinatePassUpTo = 4500;
/// Iterations of dot's coordinate pass times the nodes of its drawing, at most; for Orthogonal,
/// whose routes follow the places the pass finds, more.
constexpr double coordinateIterationBudget = 4.5e6;
constexpr double orthogonalIterationBudget = 1.5e7;
/// How far groups may spread across the ranks (LayeringEstimate::groupRanks) as dot's clusters.
constexpr qint64 spreadGroupRanksUpTo = 10000;
/// Crossings per device of the quick drawing up to which a graph counts as untangled.
constexpr double untangledCrossingsPerDevice = 2.0;
/// Nodes of dot's drawing up to which its crossing reduction runs in full on a tangled graph.
constexpr qint64 fullCrossingReductionUpTo = 10000;

/// What dot's passes cost at least, the least of what they took on drawings of 5,000 to 120,000
/// nodes (links reaching far along chains, rings, map grids, pipelines): crossing reduction in
/// proportion to the drawing (far more on tangled graphs), the coordinate pass its first feasible
/// tree in proportion to the drawing (to its square at worst) and then each iteration in
/// proportion to the drawing.
constexpr double fullCrossingReductionMsPerNode = 0.012;
constexpr double shortCrossingReductionMsPerNode = 0.005;
constexpr double feasibleTreeMsPerNode = 3e-6;
constexpr double coordinateIterationMsPerNode = 8e-5;

int sizeOf(const LayoutGraph& graph)
{
    return graph.devices.size() + graph.links.size();
}

} // namespace

LayoutPlan LayoutPlan::of(const LayoutGraph& graph, const QByteArray& program)
{
    LayoutPlan plan;
    GraphvizLayout::Settings& settings = plan.settings;
    settings.engine = program;
    settings.turnedLinks = CycleBreaker::turnedLinks(graph);
    const int size = sizeOf(graph);
    const bool grouped = !graph.groups.isEmpty();
    plan.fitsGraphviz = size <= graphvizUpTo;

    const LayeringEstimate estimate = LayeringEstimate::of(graph, settings.turnedLinks);
    plan.drawingNodes = graph.devices.size() + std::max<qint64>(0, estimate.balancedLinkRanks - graph.links.size());
    // dot's defaults run its passes to their ends: on a small graph whose links reach far, that
    // takes minutes (200 devices whose links reach half their chain ahead: almost two).
    const bool limited = size > defaultLimitsUpTo || plan.drawingNodes > defaultsDrawingUpTo;
    plan.groupsAsStrips = grouped && estimate.groupRanks > spreadGroupRanksUpTo;
    const bool clusters = grouped && !plan.groupsAsStrips;

    QList<QPair<QByteArray, QByteArray>> limits;
    auto set = [&limits](const char* name, const QByteArray& value) {
        limits.append(qMakePair(QByteArray(name), value));
    };
    plan.method = QString::fromLatin1(program);
    if (grouped || limited) {
        set("newrank", "true");
        plan.method += QStringLiteral(" newrank");
    }
    // Whether dot's coordinate pass runs to its end: only then does dot route the links.
    bool wholeCoordinatePass = true;
    if (limited) {
        const qint64 drawingNodes = graph.devices.size() + std::max<qint64>(0, estimate.linkRanks - graph.links.size());
        // Measured only where dot will lay the graph out: the quick drawing and its count take
        // a few milliseconds per thousand devices.
        plan.tangled = size > tunedLimitsUpTo && plan.fitsGraphviz && !plan.groupsAsStrips
                       && crossingsPerDevice(graph) > untangledCrossingsPerDevice;
        // Orthogonal routes run straight between devices the pass has put level.
        const bool orthogonal = graph.type == LayoutGraph::Orthogonal && size <= tunedLimitsUpTo;
        // Strips keep only the ranks and orders of dot's drawing. The links of a tangled
        // graph follow the devices' places closely: it keeps the pass, as clusters do.
        plan.coordinatePass
            = !plan.groupsAsStrips && (clusters || drawingNodes <= coordinatePassUpTo || plan.tangled || orthogonal);
        // A longer ranking shortens the links everywhere but around the clusters of a large
        // untangled graph, where dot's cluster handling stretches them instead.
        const bool shortRanking = clusters && size > tunedLimitsUpTo && !plan.tangled;
        set("nslimit1", shortRanking ? "0.02" : "1");
        // Each iteration of the coordinate pass costs time in proportion to the drawing. Past
        // the budget the pass gains little: a chain of 500 devices whose links reach half along
        // it, Orthogonal, gets the same crossings and under 5 % longer links in half the time.
        const double budget = orthogonal ? orthogonalIterationBudget : coordinateIterationBudget;
        const double iterations = std::clamp(budget / (double(graph.devices.size()) * drawingNodes), 0.02,
                                             size > tunedLimitsUpTo ? 0.02 : 1.0);
        wholeCoordinatePass = plan.coordinatePass && iterations >= 1.0;
        // dot's nslimit allows that many iterations per node of the graph it is given.
        plan.coordinateIterations = plan.coordinatePass ? qint64(iterations * graph.devices.size()) : 0;
        const QByteArray coordinateLimit = plan.coordinatePass ? QByteArray::number(iterations, 'g', 2) : "0";
        set("nslimit", coordinateLimit);
        plan.method += QStringLiteral(" nslimit=%1").arg(QString::fromLatin1(coordinateLimit));
        if (size > tunedLimitsUpTo) {
            plan.fullCrossingReduction
                = !clusters && plan.fitsGraphviz && (!plan.tangled || drawingNodes <= fullCrossingReductionUpTo);
        }
        if (!plan.fullCrossingReduction) {
            set("mclimit", "0.05");
            set("remincross", "false");
            plan.method += QStringLiteral(" mclimit=0.05");
        }
    }
    // Strips are drawn from the ranks and orders alone, and routed orthogonally like Orthogonal.
    // dot's link routing can crash or run without end on places its coordinate pass left
    // unfinished: there each link runs through the places dot's drawing gave it instead.
    const bool routedOrthogonally = plan.groupsAsStrips || (graph.type == LayoutGraph::Orthogonal && !grouped);
    settings.links = routedOrthogonally   ? GraphvizJob::Links::None
                     : wholeCoordinatePass ? GraphvizJob::Links::Routed
                                           : GraphvizJob::Links::ThroughPlaces;
    if (settings.links == GraphvizJob::Links::ThroughPlaces)
        plan.method += QStringLiteral(" links through places");
    settings.attributes = {
        {"rankdir", "LR"},
        {"nodesep", "0.3"},
        // Orthogonal links need room between the ranks for their vertical tracks.
        {"ranksep", routedOrthogonally ? "0.8" : "0.6"},
        {"splines", settings.links == GraphvizJob::Links::Routed ? "polyline" : "none"},
    };
    settings.attributes += limits;
    if (plan.groupsAsStrips)
        plan.method += QStringLiteral(" without groups, groups as strips");
    const int turned = int(std::count(settings.turnedLinks.cbegin(), settings.turnedLinks.cend(), true));
    if (turned > 0)
        plan.method += QStringLiteral(" turned=%1").arg(turned);
    return plan;
}

bool LayoutPlan::outrunsDeadline(int deadlineMs) const
{
    return estimatedMilliseconds() > deadlineMs;
}

double LayoutPlan::estimatedMilliseconds() const
{
    const double nodes = double(drawingNodes);
    const double crossingReduction = nodes * (fullCrossingReduction ? fullCrossingReductionMsPerNode
                                                                    : shortCrossingReductionMsPerNode);
    // Without a limit the pass runs to its end: at least its first feasible tree.
    const double iterations = double(std::max<qint64>(0, coordinateIterations));
    const double coordinates
        = coordinatePass ? nodes * (feasibleTreeMsPerNode + iterations * coordinateIterationMsPerNode) : 0.0;
    return crossingReduction + coordinates;
}

void LayoutPlan::completeLinks(const LayoutGraph& graph, GraphPlacement* placement) const
{
    // A link the program found no way for through dot's places would run straight through the
    // devices in its way. Routing it alone could not move columns apart for it: all are routed.
    const bool unrouted = !placement->unroutedLinks.isEmpty();
    if (unrouted) {
        qWarning().noquote() << "GraphLayoutAdapter:" << placement->unroutedLinks.size()
                             << "links found no way through dot's places, so all are routed around the devices";
    }
    if (groupsAsStrips || (unrouted && !graph.groups.isEmpty())) {
        *placement = GroupStripLayout::place(graph, *placement);
    } else if ((settings.links == GraphvizJob::Links::None || unrouted) && graph.groups.isEmpty()) {
        placement->findColumns();
        OrthogonalRouter(graph, *placement).route();
    } else if (settings.links == GraphvizJob::Links::Routed) {
        LinkClearance(graph, *placement).clear();
    }
    placement->unroutedLinks.clear();
}

double LayoutPlan::crossingsPerDevice(const LayoutGraph& graph)
{
    if (graph.devices.isEmpty())
        return 0;
    const LayoutGraph flat = graph.withoutGroups();
    const DevicesArrangement drawing = LayeredGridLayout::place(flat).toArrangement(flat, 0);
    return double(LayoutQuality::of(drawing).crossings) / graph.devices.size();
}
