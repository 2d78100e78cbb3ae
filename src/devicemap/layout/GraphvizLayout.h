#pragma once

#include "GraphPlacement.h"
#include "GraphvizJob.h"
#include "LayoutGraph.h"
#include "LayoutProcess.h"
#include "dozerozozu_export.h"

#include <QByteArray>
#include <QList>
#include <QPair>
#include <QString>
#include <QVector>

/**
 * One Graphviz layout of a LayoutGraph, drawn by the layout program in a process of its
 * own (LayoutProcess): nodes with the devices' fixed sizes, edges in link order, groups as
 * nested clusters, then positions, polyline corners and cluster boxes, y axis downwards.
 * Links may be handed over turned round, to break cycles the caller's way rather than
 * dot's; their bends still come back from source to target.
 *
 * A drawing is taken only when it is whole and fits its job: its counts, coordinates within
 * the reach of the job's sizes, and no error in Graphviz's messages (dot can report one and
 * still answer). Graphviz's messages are logged as "GraphLayoutAdapter: Graphviz: <message>",
 * the first few and how many more, and the reason of a failed answer as "GraphLayoutAdapter:
 * Graphviz failed: <reason>"; the user is told only that Graphviz could not lay the graph
 * out. Runs are independent of one another: nothing is shared but the program's file.
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
        /// Whether dot routes the links, or where their bends come from otherwise.
        GraphvizJob::Links links = GraphvizJob::Links::Routed;
        /// Graph attributes set before the layout, e.g. {"rankdir", "LR"}.
        QList<QPair<QByteArray, QByteArray>> attributes;
        /// Per link, true to hand it to Graphviz from its target to its source (CycleBreaker);
        /// its bends still come back from source to target. Empty for none.
        QVector<bool> turnedLinks;
    };

    /// How a run is bounded, and which program draws.
    struct Control
    {
        LayoutProcess::Limits limits;
        /// The layout program; empty for the one installed with the library.
        QString program;
    };

    struct Outcome
    {
        /// How the program ended: Answered for a drawing, and for an answer that is none.
        LayoutProcess::End end = LayoutProcess::End::Answered;
        /// Why there is no drawing, translated: that Graphviz failed, what is wrong with the answer,
        /// the signal that ended the program or why it did not start; empty for a drawing.
        QString detail;
        /// The address space the program ran under, in bytes; 0 for none.
        qint64 memoryBytes = 0;
        /// Whether the placement was set from the program's drawing.
        bool drawn = false;
        /// For NotStarted: the system would not make the program's process, whatever its file
        /// (too many processes, or a sandbox that refuses one); detail says why.
        bool refused = false;

        bool hasDrawing() const { return drawn; }
    };

    /// The job the layout program is given for graph.
    static GraphvizJob jobOf(const LayoutGraph& graph, const Settings& settings);
    /// The most a drawing of job can take as text, generously: what its standard output is bounded by.
    static qint64 answerBytesOf(const GraphvizJob& job);
    /// How far from the origin a drawing of job can reach, generously: every node, cluster and gap end to end.
    static double reachOf(const GraphvizJob& job);

    /// Lays graph out; the placement is set only when the outcome has a drawing.
    static Outcome run(const LayoutGraph& graph, const Settings& settings, GraphPlacement* placement,
                       const Control& control = Control());
};
