#include "LayoutPlan.h"

#include "CycleBreaker.h"
#include "LayeredGridLayout.h"
#include "LayeringEstimate.h"
#include "LayoutQuality.h"

#include <algorithm>

namespace {

/// Graph sizes (devices + links) up to which dot runs with its defaults.
constexpr int defaultLimitsUpTo = 500;
/// Graph sizes up to which dot's crossing reduction always runs in full and Orthogonal gets
/// the whole coordinate pass; beyond, the graph's tangle is measured.
constexpr int tunedLimitsUpTo = 5000;
/// Graph sizes up to which dot stays within the freeze limit.
constexpr int graphvizUpTo = 20000;
/// Nodes of dot's drawing (devices and virtual nodes) up to which its coordinate pass runs.
constexpr qint64 coordinatePassUpTo = 4500;
/// Iterations of dot's coordinate pass times the nodes of its drawing, at most.
constexpr double coordinateIterationBudget = 4.5e6;
/// How far groups may spread across the ranks (LayeringEstimate::groupRanks) as dot's clusters.
constexpr qint64 spreadGroupRanksUpTo = 10000;
/// Crossings per device of the quick drawing up to which a graph counts as untangled.
constexpr double untangledCrossingsPerDevice = 2.0;
/// Nodes of dot's drawing up to which its crossing reduction runs in full on a tangled graph.
constexpr qint64 fullCrossingReductionUpTo = 10000;

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

    LayeringEstimate estimate;
    if (size > defaultLimitsUpTo)
        estimate = LayeringEstimate::of(graph, settings.turnedLinks);
    plan.groupsAsStrips = grouped && estimate.groupRanks > spreadGroupRanksUpTo;
    const bool clusters = grouped && !plan.groupsAsStrips;
    // Strips are drawn from the ranks and orders alone, and routed orthogonally like Orthogonal.
    settings.polylineEdges = !plan.groupsAsStrips && !(graph.type == LayoutGraph::Orthogonal && !grouped);
    settings.attributes = {
        {"rankdir", "LR"},
        {"nodesep", "0.3"},
        // Orthogonal links need room between the ranks for their vertical tracks.
        {"ranksep", settings.polylineEdges ? "0.6" : "0.8"},
        {"splines", settings.polylineEdges ? "polyline" : "none"},
    };
    auto set = [&settings](const char* name, const QByteArray& value) {
        settings.attributes.append(qMakePair(QByteArray(name), value));
    };
    plan.method = QString::fromLatin1(program);
    if (grouped || size > defaultLimitsUpTo) {
        set("newrank", "true");
        plan.method += QStringLiteral(" newrank");
    }

    if (size > defaultLimitsUpTo) {
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
        // Each iteration of the coordinate pass costs time in proportion to the drawing.
        const double iterations
            = orthogonal ? 1.0
                         : std::clamp(coordinateIterationBudget / (double(graph.devices.size()) * drawingNodes), 0.02,
                                      size > tunedLimitsUpTo ? 0.02 : 1.0);
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
    if (plan.groupsAsStrips)
        plan.method += QStringLiteral(" without groups, groups as strips");
    const int turned = int(std::count(settings.turnedLinks.cbegin(), settings.turnedLinks.cend(), true));
    if (turned > 0)
        plan.method += QStringLiteral(" turned=%1").arg(turned);
    return plan;
}

double LayoutPlan::crossingsPerDevice(const LayoutGraph& graph)
{
    if (graph.devices.isEmpty())
        return 0;
    const LayoutGraph flat = graph.withoutGroups();
    const DevicesArrangement drawing = LayeredGridLayout::place(flat).toArrangement(flat, 0);
    return double(LayoutQuality::of(drawing).crossings) / graph.devices.size();
}
