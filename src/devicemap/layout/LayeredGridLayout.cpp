#include "LayeredGridLayout.h"

#include "CycleBreaker.h"
#include "DepthFirstOrder.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr double columnGap = 60.0;
constexpr double rowGap = 24.0;
constexpr double blockGap = 40.0;
constexpr double groupPadding = 16.0;
const QSizeF emptyGroupSize(80.0, 50.0);

} // namespace

GraphPlacement LayeredGridLayout::place(const LayoutGraph& graph)
{
    const LayeredGridLayout layout(graph);
    const Block root = layout.groupBlock(-1);

    GraphPlacement placement;
    placement.centers.resize(graph.devices.size());
    placement.groupRects.resize(graph.groups.size());
    placement.bends.resize(graph.links.size());
    for (const auto& entry : root.centers)
        placement.centers[entry.first] = entry.second;
    for (const auto& entry : root.groupRects)
        placement.groupRects[entry.first] = entry.second;
    if (graph.groups.isEmpty())
        placement.columns = root.columns;
    return placement;
}

LayeredGridLayout::LayeredGridLayout(const LayoutGraph& graph)
    : graph(graph)
    , membersOfGroup(graph.groups.size() + 1)
    , childrenOfGroup(graph.groups.size() + 1)
    , outLinks(graph.devices.size())
    , inLinks(graph.devices.size())
{
    // Index 0 stands for the top level, group g for index g + 1.
    for (int device = 0; device < graph.devices.size(); ++device)
        membersOfGroup[graph.devices.at(device).group + 1].append(device);
    for (int group = 0; group < graph.groups.size(); ++group)
        childrenOfGroup[graph.groups.at(group).parent + 1].append(group);
    // Ranked along the turned links, a large cycle gives a compact block instead of one long row.
    const QVector<bool> turned = CycleBreaker::turnedLinks(graph);
    for (int i = 0; i < graph.links.size(); ++i) {
        const LayoutGraph::Link& link = graph.links.at(i);
        if (link.from == link.to)
            continue;
        const int from = turned.at(i) ? link.to : link.from;
        const int to = turned.at(i) ? link.from : link.to;
        outLinks[from].append(to);
        inLinks[to].append(from);
    }
}

LayeredGridLayout::Block LayeredGridLayout::layerDevices(const QVector<int>& members) const
{
    Block block;
    if (members.isEmpty())
        return block;

    // Links leaving the members are ignored: the others count as already visited.
    QVector<bool> visited(graph.devices.size(), true);
    for (int device : members)
        visited[device] = false;
    const QVector<int> order = reversePostorder(members, visited, outLinks);
    QVector<int> rank(graph.devices.size(), -1);
    QVector<int> position(graph.devices.size(), 0);
    for (int i = 0; i < order.size(); ++i)
        position[order.at(i)] = i;

    QVector<QVector<int>> layers;
    for (int device : order) {
        int layer = 0;
        for (int source : inLinks.at(device)) {
            // Only sources earlier in the order: the others close a cycle.
            if (rank.at(source) >= 0 && position.at(source) < position.at(device))
                layer = std::max(layer, rank.at(source) + 1);
        }
        rank[device] = layer;
        if (layer >= layers.size())
            layers.resize(layer + 1);
        layers[layer].append(device);
    }

    auto sweep = [&](int layer, const QVector<QVector<int>>& neighbours) {
        QVector<QPair<double, int>> keyed;
        for (int device : layers.at(layer)) {
            double sum = 0;
            int count = 0;
            for (int neighbour : neighbours.at(device)) {
                if (rank.at(neighbour) >= 0 && rank.at(neighbour) != layer) {
                    sum += position.at(neighbour);
                    ++count;
                }
            }
            keyed.append({count > 0 ? sum / count : double(position.at(device)), device});
        }
        std::stable_sort(keyed.begin(), keyed.end(),
                         [](const auto& a, const auto& b) { return a.first < b.first; });
        for (int i = 0; i < keyed.size(); ++i) {
            layers[layer][i] = keyed.at(i).second;
            position[keyed.at(i).second] = i;
        }
    };
    for (const QVector<int>& layer : qAsConst(layers)) {
        for (int i = 0; i < layer.size(); ++i)
            position[layer.at(i)] = i;
    }
    for (int round = 0; round < 2; ++round) {
        for (int layer = 1; layer < layers.size(); ++layer)
            sweep(layer, inLinks);
        for (int layer = layers.size() - 2; layer >= 0; --layer)
            sweep(layer, outLinks);
    }

    QVector<double> layerHeights;
    double tallest = 0;
    for (const QVector<int>& layer : qAsConst(layers)) {
        double height = -rowGap;
        for (int device : layer)
            height += graph.devices.at(device).size.height() + rowGap;
        layerHeights.append(height);
        tallest = std::max(tallest, height);
    }
    double x = 0;
    for (int l = 0; l < layers.size(); ++l) {
        double width = 0;
        for (int device : layers.at(l))
            width = std::max(width, graph.devices.at(device).size.width());
        double y = (tallest - layerHeights.at(l)) / 2;
        for (int device : layers.at(l)) {
            const QSizeF size = graph.devices.at(device).size;
            block.centers.append({device, QPointF(x + width / 2, y + size.height() / 2)});
            y += size.height() + rowGap;
        }
        x += width + columnGap;
    }
    block.columns = layers;
    block.size = QSizeF(std::max(0.0, x - columnGap), tallest);
    return block;
}

LayeredGridLayout::Block LayeredGridLayout::groupBlock(int group) const
{
    QVector<Block> parts;
    const Block own = layerDevices(membersOfGroup.at(group + 1));
    if (!own.centers.isEmpty())
        parts.append(own);
    for (int child : childrenOfGroup.at(group + 1))
        parts.append(groupBlock(child));

    // Rows about as wide as the parts would be high in a square.
    double area = 0;
    double widest = 0;
    for (const Block& part : qAsConst(parts)) {
        area += (part.size.width() + blockGap) * (part.size.height() + blockGap);
        widest = std::max(widest, part.size.width());
    }
    const double rowWidth = std::max(widest, std::sqrt(area) * 1.3);

    Block block;
    const double padding = group < 0 ? 0.0 : groupPadding;
    double x = 0;
    double y = 0;
    double rowHeight = 0;
    double width = 0;
    for (const Block& part : qAsConst(parts)) {
        if (x > 0 && x + part.size.width() > rowWidth) {
            x = 0;
            y += rowHeight + blockGap;
            rowHeight = 0;
        }
        addBlockAt(block, part, QPointF(padding + x, padding + y));
        x += part.size.width() + blockGap;
        width = std::max(width, x - blockGap);
        rowHeight = std::max(rowHeight, part.size.height());
    }
    block.size = QSizeF(width + 2 * padding, y + rowHeight + 2 * padding);
    if (group >= 0) {
        if (parts.isEmpty())
            block.size = emptyGroupSize;
        block.groupRects.append({group, QRectF(QPointF(), block.size)});
    }
    // Columns only mean something for one layered part at the top level.
    if (group >= 0 || parts.size() != 1 || own.centers.isEmpty())
        block.columns.clear();
    return block;
}

void LayeredGridLayout::addBlockAt(Block& into, const Block& block, const QPointF& offset)
{
    for (const auto& entry : block.centers)
        into.centers.append({entry.first, entry.second + offset});
    for (const auto& entry : block.groupRects)
        into.groupRects.append({entry.first, entry.second.translated(offset)});
    into.columns += block.columns;
}
