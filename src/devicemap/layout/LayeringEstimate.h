#pragma once

#include "LayoutGraph.h"
#include "dozerozozu_export.h"

#include <QVector>

/**
 * A quick estimate of how dot will rank a graph: devices ranked by longest path along
 * the links as CycleBreaker turned them (the cycles left broken depth-first, in the
 * graph's order), and from that how far the groups spread across the ranks.
 *
 * dot's own ranking (network simplex) gives shorter links, so the figures are upper
 * bounds; they serve to choose dot's settings before it runs. Linear in the size of the
 * graph; deterministic.
 *
 * Internal to the automatic layout (exported for its tests); any thread.
 */
struct DOZEROZOZU_EXPORT LayeringEstimate
{
    /// How many ranks the devices take.
    int ranks = 0;
    /// The ranks each group's devices (its subgroups' included) reach across, summed over the groups.
    qint64 groupRanks = 0;
    /// The ranks the links span, summed: a link spanning n ranks gives dot n - 1 virtual nodes.
    qint64 linkRanks = 0;
    /**
     * The same once every device that feeds more links than feed it sits just before its
     * nearest target, as dot's ranking puts it: a source feeding one stage far down a
     * pipeline spans one rank, not the pipeline. Still no less than what dot's ranking
     * gives; what the size of dot's drawing is estimated from.
     */
    qint64 balancedLinkRanks = 0;

    /// The estimate for graph with the links flagged in turnedLinks (one per link) turned round.
    static LayeringEstimate of(const LayoutGraph& graph, const QVector<bool>& turnedLinks);
};
