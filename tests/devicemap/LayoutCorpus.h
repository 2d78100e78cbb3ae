#pragma once

#include "LayoutGraph.h"

#include <QLineF>
#include <QPointF>
#include <QSet>
#include <QString>
#include <QStringList>
#include <QTest>
#include <QVector>

#include <algorithm>
#include <functional>
#include <random>

// Graph shapes that Graphviz's dot finds hard: links reaching far along a flow, rings fed half
// way round, lanes linked across, dense random wiring, map grids, trees and stars. Each shape is a function
// of the device count; devices of varied sizes, clustered types get nested groups.
namespace LayoutCorpus {

inline LayoutGraph devices(int count, qint32 type)
{
    LayoutGraph graph;
    graph.type = type;
    for (int i = 0; i < count; ++i)
        graph.devices.append({QStringLiteral("device %1").arg(i), QSizeF(60 + (i * 37) % 90, 30 + (i % 3) * 8), -1});
    if (type == LayoutGraph::ClusterByGuiArea) {
        // Ten areas, each holding a few widgets spread along the flow.
        for (int area = 0; area < 10; ++area)
            graph.groups.append({QStringLiteral("area %1").arg(area), -1});
        for (int i = 3; i < count; i += 6)
            graph.devices[i].group = (i / 6) % 10;
    } else if (graph.isClustered()) {
        graph.groups = {{"first", -1}, {"second", -1}, {"inside first", 0}, {"third", -1}, {"empty", -1}};
        for (int i = 0; i < count; ++i)
            graph.devices[i].group = i % 5 == 0 ? 0 : i % 5 == 1 ? 1 : i % 5 == 2 ? 2 : i % 5 == 3 ? 3 : -1;
    }
    return graph;
}

/// A chain whose devices also feed the device half the chain ahead.
inline LayoutGraph farChain(int count, qint32 type)
{
    LayoutGraph graph = devices(count, type);
    for (int i = 0; i + 1 < count; ++i)
        graph.links.append({i, i + 1});
    for (int i = 0; i + count / 2 < count; ++i)
        graph.links.append({i, i + count / 2});
    return graph;
}

/// A ring whose devices also feed the device half way round.
inline LayoutGraph halfRing(int count, qint32 type)
{
    LayoutGraph graph = devices(count, type);
    for (int i = 0; i < count; ++i) {
        graph.links.append({i, (i + 1) % count});
        graph.links.append({i, (i + count / 2) % count});
    }
    return graph;
}

/// Ten pipelines side by side; every fourth device also feeds one a few steps on in the next lane.
inline LayoutGraph crossLinkedLanes(int count, qint32 type)
{
    LayoutGraph graph = devices(count, type);
    constexpr int lanes = 10;
    const int length = count / lanes;
    for (int i = 0; i < count; ++i) {
        const int lane = i / length;
        const int step = i % length;
        if (step + 1 < length && i + 1 < count)
            graph.links.append({i, i + 1});
        const int across = (lane + 1) % lanes * length + step + 3;
        if (i % 4 == 0 && step + 3 < length && across < count)
            graph.links.append({i, across});
    }
    return graph;
}

/// Every device feeds three others chosen at random.
inline LayoutGraph denseRandom(int count, qint32 type)
{
    LayoutGraph graph = devices(count, type);
    std::mt19937 random(11);
    QSet<qint64> taken;
    for (int i = 0; i < count; ++i) {
        for (int k = 0; k < 3; ++k) {
            const int to = int(random() % count);
            if (to != i && !taken.contains(qint64(i) * count + to)) {
                taken.insert(qint64(i) * count + to);
                graph.links.append({i, to});
            }
        }
    }
    return graph;
}

/// Devices on a map grid of 50 columns, each feeding its right and its lower neighbour, modulo the count.
inline LayoutGraph mapGrid(int count, qint32 type)
{
    LayoutGraph graph = devices(count, type);
    for (int i = 0; i < count; ++i) {
        graph.links.append({i, (i + 1) % count});
        graph.links.append({i, (i + 50) % count});
    }
    return graph;
}

/// A binary tree fed from its root.
inline LayoutGraph tree(int count, qint32 type)
{
    LayoutGraph graph = devices(count, type);
    for (int i = 1; i < count; ++i)
        graph.links.append({(i - 1) / 2, i});
    return graph;
}

/// One hub feeding every device, every other device feeding it back.
inline LayoutGraph star(int count, qint32 type)
{
    LayoutGraph graph = devices(count, type);
    for (int i = 1; i < count; ++i) {
        graph.links.append({0, i});
        if (i % 2 == 0)
            graph.links.append({i, 0});
    }
    return graph;
}

/// A flow whose every link also runs back: each device feeds the next, every third one five on.
inline LayoutGraph bothWays(int count, qint32 type)
{
    LayoutGraph graph = devices(count, type);
    for (int i = 0; i + 1 < count; ++i) {
        for (int to : {i + 1, i % 3 == 0 ? i + 5 : count}) {
            if (to < count)
                graph.links << LayoutGraph::Link{i, to} << LayoutGraph::Link{to, i};
        }
    }
    return graph;
}

/// Devices scattered at random over a square, each feeding its three nearest neighbours.
inline LayoutGraph nearestNeighbours(int count, qint32 type)
{
    LayoutGraph graph = devices(count, type);
    std::mt19937 random(5);
    std::uniform_real_distribution<double> coordinate(0, 1);
    QVector<QPointF> places;
    for (int i = 0; i < count; ++i)
        places.append(QPointF(coordinate(random), coordinate(random)));
    for (int i = 0; i < count; ++i) {
        QVector<int> others;
        for (int j = 0; j < count; ++j) {
            if (j != i)
                others.append(j);
        }
        const int nearest = std::min(3, int(others.size()));
        auto distance = [&](int j) { return QLineF(places.at(i), places.at(j)).length(); };
        std::partial_sort(others.begin(), others.begin() + nearest, others.end(),
                          [&](int a, int b) { return distance(a) < distance(b); });
        for (int k = 0; k < nearest; ++k)
            graph.links.append({i, others.at(k)});
    }
    return graph;
}

/// graph with the devices of all its groups in the first, as a map whose GUI widgets all sit in one area.
inline LayoutGraph inOneGroup(LayoutGraph graph)
{
    graph.groups = graph.groups.mid(0, 1);
    for (LayoutGraph::Device& device : graph.devices)
        device.group = device.group >= 0 ? 0 : -1;
    return graph;
}

/// The shape named, one of shapes() or "both ways" or "nearest neighbours".
inline std::function<LayoutGraph(int, qint32)> shape(const QString& name)
{
    if (name == QLatin1String("both ways"))
        return bothWays;
    if (name == QLatin1String("nearest neighbours"))
        return nearestNeighbours;
    if (name == QLatin1String("far chain"))
        return farChain;
    if (name == QLatin1String("half ring"))
        return halfRing;
    if (name == QLatin1String("lanes"))
        return crossLinkedLanes;
    if (name == QLatin1String("dense random"))
        return denseRandom;
    if (name == QLatin1String("map grid"))
        return mapGrid;
    if (name == QLatin1String("tree"))
        return tree;
    return star;
}

/// The shapes laid out at every size and type.
inline QStringList shapes()
{
    return {"far chain", "half ring", "lanes", "dense random", "map grid", "tree", "star"};
}

/// A data row per layout type, in the column "type", for a suite that lays graphs out with each.
inline void addTypeRows()
{
    QTest::addColumn<qint32>("type");
    QTest::newRow("Orthogonal") << qint32(LayoutGraph::Orthogonal);
    QTest::newRow("Hierarchical") << qint32(LayoutGraph::Hierarchical);
    QTest::newRow("ClusterByGuiArea") << qint32(LayoutGraph::ClusterByGuiArea);
    QTest::newRow("ClusterByIO") << qint32(LayoutGraph::ClusterByIO);
    QTest::newRow("FixedClusters") << qint32(LayoutGraph::FixedClusters);
}

} // namespace LayoutCorpus
