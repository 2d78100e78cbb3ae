#pragma once

#include "GraphvizLayout.h"
#include "LayoutGraph.h"
#include "dozerozozu_export.h"

#include <QByteArray>
#include <QString>

/**
 * How the automatic layout runs dot on a graph, chosen before dot runs from the graph's
 * size and from quick measurements of the graph itself. Profiles of dot on pipeline-shaped
 * graphs of 2,000 to 5,000 devices show three costs that grow faster than the graph:
 *
 * - The coordinate pass: its network simplex starts from a feasible tree found in time
 *   quadratic in the drawing's nodes, the devices plus one virtual node per rank a link
 *   spans (about 0.8 s at 15,000 nodes, 5 s at 37,000), whatever nslimit says; nslimit=0
 *   skips the pass, and the devices keep their first feasible places, packed towards the
 *   top of each rank. Polylines cross as often and are hardly longer (the ranks and orders
 *   decide that), orthogonal routes cross a little more often (2,000 devices: 669 times
 *   instead of 583), so without clusters the pass runs only while the drawing, as
 *   LayeringEstimate counts it, stays small. With clusters it keeps their members near
 *   their links (ClusterByIO at 5,000 devices: about 6 % shorter links), so it runs
 *   there, with fewer iterations on larger drawings.
 * - Clusters: for every rank a cluster spans, dot searches its whole list of nodes once
 *   (an assertion in its node removal), so a cluster spread along a long flow costs its
 *   ranks times the drawing: ten groups spread over 3,300 ranks take half a minute. Groups
 *   that spread that far (LayeringEstimate::groupRanks) are drawn by GroupStripLayout over
 *   a layout of the graph without them, in a fraction of a second.
 * - Crossing reduction: its passes are cheap on an untangled graph and gain much there (a
 *   pipeline of 5,000 devices: 556 crossings instead of 901), but run long on a tangled one
 *   for little gain (a map grid of 5,000: seconds for the same crossings). How tangled a
 *   graph is comes from the crossings per device of LayeredGridLayout's quick drawing of
 *   it (pipelines about 0.5, map grids 5, rings with chords 20); only large tangled graphs,
 *   and large graphs with clusters, get the short reduction (mclimit=0.05, no second round).
 *
 * By size (devices + links):
 * - up to 500: dot with its defaults; newrank=true with groups, so that no link of a
 *   cluster runs backwards;
 * - beyond: newrank=true always (dot's classic ranking takes several times as long on a
 *   large graph); the ranking pass limited to nslimit1=1 iteration per device,
 *   0.02 above 5,000; the coordinate pass to as many iterations as keep iterations times
 *   drawing nodes within 4.5 million (each iteration costs time in proportion to the
 *   drawing), at most 1 per device, 0.02 above 5,000; without clusters, no coordinate
 *   pass at all for drawings of more than 4,500 nodes;
 * - beyond 20,000: dot would take longer than the freeze limit, so the layered grid.
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

    /// The plan for graph with the Graphviz layout program named.
    static LayoutPlan of(const LayoutGraph& graph, const QByteArray& program);

    /// Link crossings per device in LayeredGridLayout's drawing of graph without its groups.
    static double crossingsPerDevice(const LayoutGraph& graph);
};
