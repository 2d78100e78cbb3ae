#pragma once

#include "GraphPlacement.h"
#include "LayoutGraph.h"
#include "dozerozozu_export.h"

#include <QByteArray>
#include <QList>
#include <QPair>
#include <QString>
#include <QVector>

#include <atomic>
#include <functional>

/**
 * One run of Graphviz through its C API on a LayoutGraph: nodes with synthetic ids
 * ("n0", "n1", …) and the devices' fixed sizes, edges in link order, groups as nested
 * "cluster_N" subgraphs (an empty one holds an invisible placeholder, since Graphviz
 * drops empty clusters), then positions, polyline corners and cluster boxes read back
 * with the y axis turned downwards. Links may be handed over turned round, to break
 * cycles the caller's way rather than dot's.
 *
 * Graphviz is not thread-safe: every run holds one process-wide lock, and its error
 * callback, for the whole of its work. Messages Graphviz reports are logged as
 * "GraphLayoutAdapter: Graphviz: <message>".
 *
 * Internal to the automatic layout (exported for its benchmark); any thread.
 */
class DOZEROZOZU_EXPORT GraphvizLayout
{
public:
    struct Settings
    {
        /// The Graphviz layout engine.
        QByteArray engine = "dot";
        /// Read the edges' polyline corners back as bends; otherwise edges are not routed at all.
        bool polylineEdges = true;
        /// Graph attributes set before the layout, e.g. {"rankdir", "LR"}.
        QList<QPair<QByteArray, QByteArray>> attributes;
        /// Per link, true to hand it to Graphviz from its target to its source (CycleBreaker);
        /// its bends still come back from source to target. Empty for none.
        QVector<bool> turnedLinks;
    };

    /// How a caller on another thread follows and abandons a run.
    struct Control
    {
        /// Asked once the lock is held: true makes the run give up without starting Graphviz.
        std::function<bool()> isAbandoned;
        /// True while the run waits for another one to leave Graphviz.
        std::atomic<bool> waitingForLock{false};
    };

    /**
     * Lays graph out. False, with error set, when Graphviz fails or gives unusable
     * coordinates, or when the run was abandoned before it got the lock.
     */
    static bool run(const LayoutGraph& graph, const Settings& settings, GraphPlacement* placement,
                    QString* error, Control* control = nullptr);
};
