#pragma once

#include "GraphPlacement.h"
#include "GraphvizLayout.h"
#include "LayoutGraph.h"
#include "dozerozozu_export.h"

#include <QByteArray>
#include <QString>

/**
 * How the automatic layout runs dot on a graph, chosen before dot runs from the graph's
 * size and from quick measurements of the graph itself. Profiles of dot on graphs of 2,000
 * to 5,000 devices show the costs that grow faster than the graph, and measurements of the
 * results show what each pass buys:
 *
 * - The ranking pass: its network simplex, limited to one iteration per device (nslimit1=1),
 *   costs little at every size; fewer iterations leave links spanning more ranks (a ring
 *   with chords of 5,000 devices: 33,949 crossings instead of 28,085 and 12 % longer links,
 *   in the same time). Only around the clusters of a large untangled graph does the longer
 *   ranking stretch the links (ClusterByIO at 5,000 pipeline devices: 2 % longer), so there
 *   it stops after 0.02 iterations per device.
 * - The coordinate pass: its network simplex starts from a feasible tree found in time between
 *   linear and quadratic in the drawing's nodes, the devices plus one virtual node per rank a link
 *   spans (0.24 s at 63,000 nodes of a chain whose links reach half along it, 5 s at 37,000 of a
 *   map grid), whatever nslimit says; then each iteration costs time in proportion to the drawing
 *   (about 0.1 µs a node), and nslimit allows that many iterations per device; nslimit=0 skips the
 *   pass, and the devices keep their first feasible places, packed towards the top of each rank. On
 *   an untangled graph polylines then cross as often and are hardly longer (the ranks and orders
 *   decide that), so there the pass runs only while the drawing, as LayeringEstimate counts it,
 *   stays small. It stays where it pays: orthogonal routes run straight between devices it has put
 *   level (a pipeline of 2,000 devices: 583 crossings instead of 669), so Orthogonal keeps it up to
 *   5,000 devices plus links; the links of a tangled graph follow the devices' places (a map grid
 *   of 5,000 devices, Orthogonal: 20,624 crossings instead of 21,892 and 7 % shorter links); with
 *   clusters it keeps their members near their links (ClusterByIO at 5,000 pipeline devices: about
 *   6 % shorter links). Its iterations are limited so that iterations times drawing nodes stay
 *   within 4.5 million (15 million for Orthogonal), at most 1 per device, 0.02 above 5,000 devices
 *   plus links.
 * - Clusters: for every rank a cluster spans, dot searches its whole list of nodes once
 *   (an assertion in its node removal), so a cluster spread along a long flow costs its
 *   ranks times the drawing: ten groups spread over 3,300 ranks take half a minute. Groups
 *   that spread that far (LayeringEstimate::groupRanks) are drawn by GroupStripLayout over
 *   a layout of the graph without them, in a fraction of a second.
 * - Crossing reduction: its passes are cheap on an untangled graph and gain much there (a
 *   pipeline of 5,000 devices: 556 crossings instead of 901), and on a tangled one while
 *   its drawing stays moderate (a map grid of 2,000 devices: 3,823 crossings instead of
 *   4,866 in 0.6 s), but run long on a large tangled one (a ring with chords of 5,000:
 *   5 s instead of 1 s). How tangled a graph is comes from the crossings per device of
 *   LayeredGridLayout's quick drawing of it (pipelines about 0.5, map grids 4, rings with
 *   chords 10 or more), measured above 5,000 devices plus links; large tangled graphs with
 *   drawings of more than 10,000 nodes, and large graphs with clusters, get the short
 *   reduction (mclimit=0.05, no second round).
 *
 * By size (devices + links):
 * - up to 500, while dot's drawing (devices and virtual nodes) stays within 6,000 nodes:
 *   dot with its defaults; newrank=true with groups, so that no link of a cluster runs
 *   backwards. A small graph whose links reach far makes a large drawing, and dot's passes
 *   run to their ends on it: 200 devices, each half feeding the device half the chain
 *   ahead, take it almost two minutes; such a graph gets the limits below;
 * - beyond: newrank=true always (dot's classic ranking takes several times as long on a
 *   large graph), the passes limited as above;
 * - beyond 20,000: dot would take longer than the freeze limit, so the layered grid.
 *
 * dot routes the links (splines=polyline) only where its coordinate pass runs to its end,
 * that is without nslimit or with at least one iteration per node: a pass cut short can
 * leave places on which dot's routing crashes or never ends. Elsewhere the links run through
 * dot's places for them (GraphvizJob::Links::ThroughPlaces).
 *
 * Before dot starts, its drawing is estimated (LayeringEstimate::balancedLinkRanks): a
 * drawing dot could not finish within the caller's deadline (estimatedMilliseconds(), a
 * low estimate, so that a graph dot lays out in time is never refused) gets the grid at once.
 * The estimate counts the coordinate pass as nslimit bounds it: a chain of 500 devices whose
 * links reach half along it (63,000 nodes) takes dot 1.5 to 5 s and is laid out; one of 4,000
 * (4 million nodes) would take minutes and gets the grid.
 *
 * Deterministic: the same graph gets the same plan. Internal to the automatic layout
 * (exported for its tests); any thread.
 */
struct DOZEROZOZU_EXPORT LayoutPlan
{
    GraphvizLayout::Settings settings;
    /// What places the devices, e.g. "dot newrank nslimit=0"; for logs and benchmarks.
    QString method;
    /// Whether dot can lay the graph out within the freeze limit.
    bool fitsGraphviz = true;
    /// dot lays the graph out without its groups, which GroupStripLayout then draws as strips.
    bool groupsAsStrips = false;
    /// Whether dot's coordinate pass runs.
    bool coordinatePass = true;
    /// Whether dot's crossing reduction runs in full.
    bool fullCrossingReduction = true;
    /// Whether the graph, measured above 5,000 devices plus links, counts as tangled.
    bool tangled = false;
    /// The nodes of dot's drawing: the devices and one per rank a link crosses (LayeringEstimate::balancedLinkRanks).
    qint64 drawingNodes = 0;
    /// The iterations dot's nslimit lets its coordinate pass make; -1 where it runs to its end.
    qint64 coordinateIterations = -1;

    /// The plan for graph with the Graphviz layout program named.
    static LayoutPlan of(const LayoutGraph& graph, const QByteArray& program);

    /// How long dot would take on the drawing at least, from its size and the passes that run.
    double estimatedMilliseconds() const;
    /// Whether dot could not finish the drawing within deadlineMs.
    bool outrunsDeadline(int deadlineMs) const;

    /**
     * Draws what dot's drawing of graph left to be drawn: groups as strips where dot drew the
     * graph without them, orthogonal routes where dot routed nothing. Where the layout program
     * left links unrouted (GraphPlacement::unroutedLinks), every link is routed orthogonally,
     * and with groups these become strips: routes may move columns apart, and strips follow.
     * Where dot routed the links, those that pass through a device are routed again around
     * the devices, and a link and its opposite drawn one on the other are moved apart along
     * dot's way, or routed again where there is no room beside it (LinkClearance).
     */
    void completeLinks(const LayoutGraph& graph, GraphPlacement* placement) const;

    /// Link crossings per device in LayeredGridLayout's drawing of graph without its groups.
    static double crossingsPerDevice(const LayoutGraph& graph);
};
