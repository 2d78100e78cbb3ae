#include "CycleBreaker.h"

#include "DepthFirstOrder.h"

#include <algorithm>

namespace {

/// Ranks a link of a component may span on average before its depth-first breaking is questioned.
constexpr qint64 longLinkSpan = 4;

} // namespace

QVector<bool> CycleBreaker::turnedLinks(const LayoutGraph& graph)
{
    CycleBreaker breaker(graph);
    breaker.findComponents();
    for (const QVector<int>& members : qAsConst(breaker.components))
        breaker.breakComponent(members);
    return breaker.turned;
}

CycleBreaker::CycleBreaker(const LayoutGraph& graph)
    : graph(graph)
    , outLinks(graph.devices.size())
    , inLinks(graph.devices.size())
    , componentOf(graph.devices.size(), -1)
    , position(graph.devices.size(), -1)
    , rank(graph.devices.size(), 0)
    , visited(graph.devices.size(), false)
    , turned(graph.links.size(), false)
{
    for (int i = 0; i < graph.links.size(); ++i) {
        const LayoutGraph::Link& link = graph.links.at(i);
        if (link.from == link.to)
            continue;
        outLinks[link.from].append(i);
        inLinks[link.to].append(i);
    }
}

// Tarjan's algorithm without recursion: a chain of thousands of devices would overflow the stack.
void CycleBreaker::findComponents()
{
    const int count = graph.devices.size();
    QVector<int> index(count, -1);
    QVector<int> low(count, 0);
    QVector<bool> onStack(count, false);
    QVector<int> stack;
    QVector<QPair<int, int>> calls;
    int counter = 0;
    for (int root = 0; root < count; ++root) {
        if (index.at(root) >= 0)
            continue;
        index[root] = low[root] = counter++;
        stack.append(root);
        onStack[root] = true;
        calls.append({root, 0});
        while (!calls.isEmpty()) {
            const int device = calls.last().first;
            const int next = calls.last().second++;
            if (next < outLinks.at(device).size()) {
                const int target = graph.links.at(outLinks.at(device).at(next)).to;
                if (index.at(target) < 0) {
                    index[target] = low[target] = counter++;
                    stack.append(target);
                    onStack[target] = true;
                    calls.append({target, 0});
                } else if (onStack.at(target)) {
                    low[device] = std::min(low.at(device), index.at(target));
                }
                continue;
            }
            calls.removeLast();
            if (!calls.isEmpty())
                low[calls.last().first] = std::min(low.at(calls.last().first), low.at(device));
            if (low.at(device) != index.at(device))
                continue;
            QVector<int> members;
            int member = -1;
            do {
                member = stack.takeLast();
                onStack[member] = false;
                componentOf[member] = components.size();
                members.append(member);
            } while (member != device);
            std::sort(members.begin(), members.end());
            components.append(members);
        }
    }
}

void CycleBreaker::breakComponent(const QVector<int>& members)
{
    if (members.size() < 2)
        return;
    const int entry = entryOf(members);
    const qint64 depthFirstSpan = spannedRanks(members, depthFirstOrder(members, entry));
    if (depthFirstSpan <= longLinkSpan * linksWithin(members))
        return;
    const QVector<int> breadthFirst = breadthFirstOrder(members, entry);
    const qint64 breadthFirstSpan = spannedRanks(members, breadthFirst);
    if (2 * breadthFirstSpan >= depthFirstSpan)
        return;

    // spannedRanks() left the breadth-first positions behind: turn the links against them.
    const int component = componentOf.at(entry);
    for (int device : members) {
        for (int link : outLinks.at(device)) {
            const int target = graph.links.at(link).to;
            if (componentOf.at(target) == component && position.at(target) < position.at(device))
                turned[link] = true;
        }
    }
}

int CycleBreaker::linksWithin(const QVector<int>& members) const
{
    int links = 0;
    for (int device : members) {
        for (int link : outLinks.at(device))
            links += componentOf.at(graph.links.at(link).to) == componentOf.at(device) ? 1 : 0;
    }
    return links;
}

int CycleBreaker::entryOf(const QVector<int>& members) const
{
    for (int device : members) {
        for (int link : inLinks.at(device)) {
            if (componentOf.at(graph.links.at(link).from) != componentOf.at(device))
                return device;
        }
    }
    return members.first();
}

QVector<int> CycleBreaker::depthFirstOrder(const QVector<int>& members, int entry) const
{
    const int component = componentOf.at(entry);
    QVector<int> roots{entry};
    roots += members;
    const QVector<int> order = reversePostorder(
        roots, visited, [&](int device) { return outLinks.at(device).size(); },
        [&](int device, int i) {
            const int target = graph.links.at(outLinks.at(device).at(i)).to;
            return componentOf.at(target) == component ? target : -1;
        });
    for (int device : members)
        visited[device] = false;
    return order;
}

QVector<int> CycleBreaker::breadthFirstOrder(const QVector<int>& members, int entry) const
{
    // The component is strongly connected: everything in it is reached from its entry.
    const int component = componentOf.at(entry);
    QVector<int> order;
    order.reserve(members.size());
    order.append(entry);
    visited[entry] = true;
    for (int i = 0; i < order.size(); ++i) {
        for (int link : outLinks.at(order.at(i))) {
            const int target = graph.links.at(link).to;
            if (componentOf.at(target) == component && !visited.at(target)) {
                visited[target] = true;
                order.append(target);
            }
        }
    }
    for (int device : members)
        visited[device] = false;
    return order;
}

qint64 CycleBreaker::spannedRanks(const QVector<int>& members, const QVector<int>& order) const
{
    const int component = componentOf.at(members.first());
    for (int i = 0; i < order.size(); ++i)
        position[order.at(i)] = i;
    // Every link of the component runs from the earlier of its ends in order to the later.
    auto neighbours = [&](int device, auto visit) {
        for (int link : outLinks.at(device))
            visit(graph.links.at(link).to);
        for (int link : inLinks.at(device))
            visit(graph.links.at(link).from);
    };
    qint64 spanned = 0;
    for (int device : order) {
        int deviceRank = 0;
        neighbours(device, [&](int other) {
            if (componentOf.at(other) == component && position.at(other) < position.at(device))
                deviceRank = std::max(deviceRank, rank.at(other) + 1);
        });
        rank[device] = deviceRank;
        neighbours(device, [&](int other) {
            if (componentOf.at(other) == component && position.at(other) < position.at(device))
                spanned += deviceRank - rank.at(other);
        });
    }
    return spanned;
}
