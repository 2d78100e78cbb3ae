#include "LayeringEstimate.h"

#include "DepthFirstOrder.h"

#include <algorithm>
#include <cstdlib>
#include <limits>
#include <numeric>

namespace {

/*
 * Moves every device with more links out than in down to just before its nearest target,
 * from the last device of the order to the first, so that its targets have their final
 * ranks already. Each move shortens the links in total and keeps every link pointing
 * forward, so the result is still a ranking, and its span no less than dot's optimum.
 */
QVector<int> balancedRanks(const QVector<int>& rank, const QVector<int>& order, const QVector<int>& position,
                           const QVector<QVector<int>>& successors)
{
    QVector<int> balanced = rank;
    QVector<int> incoming(rank.size(), 0);
    for (int device : order) {
        for (int target : successors.at(device)) {
            if (position.at(target) > position.at(device))
                ++incoming[target];
        }
    }
    for (int i = order.size() - 1; i >= 0; --i) {
        const int device = order.at(i);
        int outgoing = 0;
        int nearest = std::numeric_limits<int>::max();
        for (int target : successors.at(device)) {
            if (position.at(target) > position.at(device)) {
                ++outgoing;
                nearest = std::min(nearest, balanced.at(target));
            }
        }
        if (outgoing > incoming.at(device))
            balanced[device] = std::max(balanced.at(device), nearest - 1);
    }
    return balanced;
}

} // namespace

LayeringEstimate LayeringEstimate::of(const LayoutGraph& graph, const QVector<bool>& turnedLinks)
{
    const int count = graph.devices.size();
    QVector<QVector<int>> successors(count);
    for (int i = 0; i < graph.links.size(); ++i) {
        const LayoutGraph::Link& link = graph.links.at(i);
        if (link.from == link.to)
            continue;
        const bool turned = i < turnedLinks.size() && turnedLinks.at(i);
        successors[turned ? link.to : link.from].append(turned ? link.from : link.to);
    }
    // In the graph's order, as dot breaks the cycles left.
    QVector<int> devices(count);
    std::iota(devices.begin(), devices.end(), 0);
    QVector<bool> visited(count, false);
    const QVector<int> order = reversePostorder(devices, visited, successors);
    QVector<int> position(count);
    for (int i = 0; i < count; ++i)
        position[order.at(i)] = i;

    LayeringEstimate estimate;
    QVector<int> rank(count, 0);
    for (int device : order) {
        estimate.ranks = std::max(estimate.ranks, rank.at(device) + 1);
        for (int target : successors.at(device)) {
            if (position.at(target) > position.at(device))
                rank[target] = std::max(rank.at(target), rank.at(device) + 1);
        }
    }

    for (const LayoutGraph::Link& link : graph.links)
        estimate.linkRanks += std::abs(rank.at(link.to) - rank.at(link.from));
    const QVector<int> balanced = balancedRanks(rank, order, position, successors);
    for (const LayoutGraph::Link& link : graph.links)
        estimate.balancedLinkRanks += std::abs(balanced.at(link.to) - balanced.at(link.from));

    QVector<int> first(graph.groups.size(), std::numeric_limits<int>::max());
    QVector<int> last(graph.groups.size(), -1);
    for (int device = 0; device < count; ++device) {
        for (int group = graph.devices.at(device).group; group >= 0; group = graph.groups.at(group).parent) {
            first[group] = std::min(first.at(group), rank.at(device));
            last[group] = std::max(last.at(group), rank.at(device));
        }
    }
    for (int group = 0; group < graph.groups.size(); ++group) {
        if (last.at(group) >= 0)
            estimate.groupRanks += last.at(group) - first.at(group) + 1;
    }
    return estimate;
}
