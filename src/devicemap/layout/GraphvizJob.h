#pragma once

#include "dozerozozu_export.h"

#include <QByteArray>
#include <QList>
#include <QPair>
#include <QPointF>
#include <QRectF>
#include <QSizeF>
#include <QString>
#include <QVector>

/**
 * What the layout program (dozerozozu-layout) is asked to draw with Graphviz, as the text
 * that goes to it on its standard input. Nodes, clusters and edges are numbered by their
 * place in the lists; edges are given as Graphviz is to see them (a link turned round for
 * cycle breaking comes turned). Sizes are in points, as the map's scene units.
 *
 * The text is line based: a header line, "engine", "links", then one line per attribute,
 * cluster, node and edge, and "end". Names, values and labels are percent-encoded, numbers
 * written in the shortest form that reads back exactly. The library's side of the text (it
 * writes jobs and reads drawings; the other directions serve tests and benchmarks); the
 * program, which starts without Qt, has its own (program/JobText.h). The lines, numbers,
 * percent-encoding and the format's version both sides use are in program/LayoutText.h.
 * Exported for the benchmark; plain values, any thread.
 */
struct DOZEROZOZU_EXPORT GraphvizJob
{
    /// How the links come back.
    enum class Links {
        /// Graphviz routes them (splines=polyline); the bends are the polylines' corners.
        Routed,
        /// Not routed: the bends are the places dot's drawing gave the link, one per rank it
        /// crosses (its virtual nodes), left for whatever rank it did not.
        ThroughPlaces,
        /// Not routed, no bends.
        None,
    };

    struct Node
    {
        QSizeF size;
        /// Index in clusters of the innermost cluster holding the node, -1 for none.
        int cluster = -1;
    };

    struct Cluster
    {
        /// UTF-8; the cluster label that keeps the devices clear of the map's title tab.
        QByteArray label;
        /// Index in clusters of the enclosing cluster, always smaller; -1 at the top.
        int parent = -1;
    };

    QByteArray engine = "dot";
    Links links = Links::Routed;
    /// Graph attributes set before the layout, e.g. {"rankdir", "LR"}.
    QList<QPair<QByteArray, QByteArray>> attributes;
    QVector<Cluster> clusters;
    QVector<Node> nodes;
    /// Tail and head node of each edge.
    QVector<QPair<int, int>> edges;

    QByteArray toText() const;
    /// Reads a job from text; false with error set when it is not a whole, consistent job.
    static bool fromText(const QByteArray& text, GraphvizJob* job, QString* error);
};

/**
 * What the layout program answers on its standard output: every node's centre, every
 * edge's bends (tail to head, as Graphviz drew the edge) and every cluster's rectangle, in
 * the job's order, with the y axis turned downwards. An edge the program could not route
 * (Links::ThroughPlaces where dot's drawing does not say where it runs) comes as
 * "unrouted", for the caller to route. A run that fails answers "failed" and Graphviz's
 * last message instead. Same text conventions as GraphvizJob.
 */
struct DOZEROZOZU_EXPORT GraphvizDrawing
{
    QVector<QPointF> centers;
    QVector<QList<QPointF>> bends;
    QVector<QRectF> clusterRects;
    /// The edges the program could not route, ascending; their bends are empty.
    QVector<int> unroutedEdges;

    QByteArray toText() const;
    /// The answer of a run that failed for the reason given.
    static QByteArray failureText(const QByteArray& reason);
    /**
     * Reads an answer. Returns true with drawing set for a drawing that ends properly, false
     * otherwise, with failure set to the run's own reason where it gave one and error to what
     * is wrong with the text where it did not; both empty for a run that failed without a reason.
     */
    static bool fromText(const QByteArray& text, GraphvizDrawing* drawing, QString* failure, QString* error);
};
