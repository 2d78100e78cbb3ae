#pragma once

#include "LayoutGraph.h"
#include "dozerozozu_export.h"

#include <QVector>

/**
 * Chooses the links a layered layout should lay out turned round, so that the feedback
 * loops of a large strongly connected part of the graph do not stretch it into one long
 * chain of ranks.
 *
 * dot and the layered grid break cycles by a depth-first search: on a ring with chords
 * (device i feeding i + 1 and i + 50) that search runs once round the whole ring, every
 * device gets a rank of its own and every chord spans fifty ranks. The layered drawing
 * then holds tens of thousands of virtual nodes and dot's network simplex takes seconds
 * for 100 devices and minutes for 500. Ranking such a part by its breadth-first distance
 * from where the signals enter it instead turns round only the links that lead back
 * towards that entry, and every other link spans one rank.
 *
 * For each strongly connected part of two or more devices, both ways are judged by the
 * ranks spanned by its links when ranked by longest path. The breadth-first one is taken
 * only where the depth-first one makes its links span more than four ranks on average and
 * the breadth-first one spans less than half as many: a pipeline's feedback loops, with
 * their bypasses, and pairs linked both ways keep the depth-first breaking the layout
 * engines do themselves, and their chains keep running forwards.
 * The entry is the part's first device (in the graph's order) fed from outside it, or its
 * first device when nothing feeds it. Self-links are never turned. Linear in the size of
 * the graph; deterministic.
 *
 * Internal to the automatic layout (exported for its tests); any thread.
 */
class DOZEROZOZU_EXPORT CycleBreaker
{
public:
    /**
     * One flag per link of graph: true for a link to lay out from its target to its
     * source. The links left as they are may still hold cycles, which the layout engine's
     * own depth-first breaking removes; the turned ones never close one.
     */
    static QVector<bool> turnedLinks(const LayoutGraph& graph);

private:
    explicit CycleBreaker(const LayoutGraph& graph);

    void findComponents();
    void breakComponent(const QVector<int>& members);
    QVector<int> depthFirstOrder(const QVector<int>& members, int entry) const;
    QVector<int> breadthFirstOrder(const QVector<int>& members, int entry) const;
    /// The ranks the component's links span when ranked by longest path along order.
    qint64 spannedRanks(const QVector<int>& members, const QVector<int>& order) const;
    int entryOf(const QVector<int>& members) const;
    int linksWithin(const QVector<int>& members) const;

    const LayoutGraph& graph;
    /// Link indexes leaving and entering each device, self-links left out.
    QVector<QVector<int>> outLinks;
    QVector<QVector<int>> inLinks;
    /// The strongly connected component of each device.
    QVector<int> componentOf;
    QVector<QVector<int>> components;
    /// Scratch per device, sized once: position in the order being judged, rank, visited mark.
    mutable QVector<int> position;
    mutable QVector<int> rank;
    mutable QVector<bool> visited;
    QVector<bool> turned;
};
