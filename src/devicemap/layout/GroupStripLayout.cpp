#include "GroupStripLayout.h"

#include "OrthogonalRouter.h"

#include <algorithm>
#include <limits>
#include <numeric>

namespace {

/// Room between the devices of one column of a group.
constexpr double deviceGap = 22.0;
/// Room between two rows of blocks, where links pass.
constexpr double rowGap = 30.0;
/// Least room between two blocks of one row.
constexpr double blockGap = 12.0;
/// Margin of a group's rectangle around what it holds.
constexpr double groupPadding = 12.0;
/// Room for the title the map draws inside a cluster's top-left corner.
constexpr double titleHeight = 24.0;
const QSizeF emptyGroupSize(80.0, 50.0);

constexpr double infinity = std::numeric_limits<double>::infinity();

} // namespace

GraphPlacement GroupStripLayout::place(const LayoutGraph& graph, const GraphPlacement& ungrouped)
{
    const GroupStripLayout layout(graph, ungrouped);
    const Block root = layout.groupBlock(-1);

    GraphPlacement placement;
    placement.centers = layout.centers;
    for (const auto& entry : root.deviceTops)
        placement.centers[entry.first].setY(entry.second + graph.devices.at(entry.first).size.height() / 2);
    placement.bends.resize(graph.links.size());
    placement.findColumns();
    OrthogonalRouter(graph, placement).route();
    // The routing may have moved columns apart: the rectangles follow the devices' last places.
    placement.groupRects = layout.groupRects(placement, root);
    return placement;
}

GroupStripLayout::GroupStripLayout(const LayoutGraph& graph, const GraphPlacement& ungrouped)
    : graph(graph)
    , centers(ungrouped.centers)
    , columnOf(graph.devices.size(), 0)
    , membersOfGroup(graph.groups.size() + 1)
    , childrenOfGroup(graph.groups.size() + 1)
{
    centers.resize(graph.devices.size());
    GraphPlacement columns;
    columns.centers = centers;
    columns.findColumns();
    for (int c = 0; c < columns.columns.size(); ++c) {
        for (int device : columns.columns.at(c))
            columnOf[device] = c;
    }
    for (int device = 0; device < graph.devices.size(); ++device)
        membersOfGroup[graph.devices.at(device).group + 1].append(device);
    for (int group = 0; group < graph.groups.size(); ++group)
        childrenOfGroup[graph.groups.at(group).parent + 1].append(group);
}

GroupStripLayout::Block GroupStripLayout::membersBlock(const QVector<int>& members) const
{
    QVector<int> order = members;
    std::sort(order.begin(), order.end(), [&](int a, int b) {
        if (columnOf.at(a) != columnOf.at(b))
            return columnOf.at(a) < columnOf.at(b);
        return centers.at(a).y() < centers.at(b).y();
    });
    Block block;
    block.left = infinity;
    block.right = -infinity;
    double keySum = 0;
    double top = 0;
    int column = -1;
    for (int device : qAsConst(order)) {
        const QSizeF size = graph.devices.at(device).size;
        const QPointF center = centers.at(device);
        if (columnOf.at(device) != column) {
            column = columnOf.at(device);
            top = 0;
        }
        block.deviceTops.append({device, top});
        top += size.height();
        block.height = std::max(block.height, top);
        top += deviceGap;
        block.left = std::min(block.left, center.x() - size.width() / 2);
        block.right = std::max(block.right, center.x() + size.width() / 2);
        keySum += center.y();
    }
    block.key = keySum / order.size();
    return block;
}

GroupStripLayout::Block GroupStripLayout::groupBlock(int group) const
{
    QVector<Block> parts;
    const QVector<int>& members = membersOfGroup.at(group + 1);
    if (!members.isEmpty())
        parts.append(membersBlock(members));
    for (int child : childrenOfGroup.at(group + 1))
        parts.append(groupBlock(child));
    const bool isGroup = group >= 0;
    Block block = stacked(parts, isGroup ? groupPadding : 0, isGroup ? titleHeight : 0);
    block.group = group;
    if (isGroup) {
        if (block.isEmpty()) {
            // Its empty subgroups were placed from its left plus the padding: keep that left.
            block.right = block.left + std::max(block.right - block.left, emptyGroupSize.width());
            block.height = std::max(block.height, emptyGroupSize.height());
        }
        block.groupSpans.append({group, {0.0, block.height}});
    }
    return block;
}

GroupStripLayout::Block GroupStripLayout::stacked(QVector<Block> parts, double padding, double title) const
{
    QVector<int> placed;
    QVector<int> empty;
    for (int i = 0; i < parts.size(); ++i)
        (parts.at(i).isEmpty() ? empty : placed).append(i);
    std::stable_sort(placed.begin(), placed.end(), [&](int a, int b) { return parts.at(a).key < parts.at(b).key; });

    // First fit: a block joins the first row where no other block meets its columns.
    QVector<QVector<int>> rows;
    for (int part : qAsConst(placed)) {
        const Block& block = parts.at(part);
        auto fits = [&](const QVector<int>& row) {
            return std::all_of(row.cbegin(), row.cend(), [&](int other) {
                return block.right + blockGap <= parts.at(other).left || parts.at(other).right + blockGap <= block.left;
            });
        };
        const auto row = std::find_if(rows.begin(), rows.end(), fits);
        if (row == rows.end())
            rows.append(QVector<int>{part});
        else
            row->append(part);
    }
    if (!empty.isEmpty())
        rows.append(empty);

    Block result;
    result.left = infinity;
    result.right = -infinity;
    double top = title + padding;
    double keySum = 0;
    int keyWeight = 0;
    double emptyWidth = 0;
    for (const QVector<int>& row : qAsConst(rows)) {
        double rowHeight = 0;
        for (int part : row) {
            Block& block = parts[part];
            rowHeight = std::max(rowHeight, block.height);
            shift(block, top);
            append(result, block);
            if (block.isEmpty()) {
                result.emptyPlacements.append({block.group, {emptyWidth, block.right - block.left}});
                emptyWidth += block.right - block.left + blockGap;
                continue;
            }
            result.left = std::min(result.left, block.left);
            result.right = std::max(result.right, block.right);
            keySum += block.key * block.deviceTops.size();
            keyWeight += block.deviceTops.size();
        }
        top += rowHeight + rowGap;
    }
    // Empty groups sit from the left of the rest; the width of their row counts too.
    const double contentLeft = result.left == infinity ? 0.0 : result.left;
    double contentRight = result.right == -infinity ? 0.0 : result.right;
    if (!empty.isEmpty())
        contentRight = std::max(contentRight, contentLeft + emptyWidth - blockGap);
    result.left = contentLeft - padding;
    result.right = contentRight + padding;
    result.height = (rows.isEmpty() ? top : top - rowGap) + padding;
    result.key = keyWeight > 0 ? keySum / keyWeight : 0;
    return result;
}

void GroupStripLayout::shift(Block& block, double dy)
{
    for (auto& entry : block.deviceTops)
        entry.second += dy;
    for (auto& entry : block.groupSpans) {
        entry.second.first += dy;
        entry.second.second += dy;
    }
}

void GroupStripLayout::append(Block& into, const Block& part)
{
    into.deviceTops += part.deviceTops;
    into.groupSpans += part.groupSpans;
    into.emptyPlacements += part.emptyPlacements;
}

QVector<QRectF> GroupStripLayout::groupRects(const GraphPlacement& placement, const Block& root) const
{
    const int groups = graph.groups.size();
    // Index 0 stands for the top level, group g for index g + 1: the span of what each holds.
    QVector<double> contentLeft(groups + 1, infinity);
    QVector<double> contentRight(groups + 1, -infinity);
    for (int device = 0; device < graph.devices.size(); ++device) {
        const int slot = graph.devices.at(device).group + 1;
        const double halfWidth = graph.devices.at(device).size.width() / 2;
        contentLeft[slot] = std::min(contentLeft.at(slot), placement.centers.at(device).x() - halfWidth);
        contentRight[slot] = std::max(contentRight.at(slot), placement.centers.at(device).x() + halfWidth);
    }
    QVector<QPair<double, double>> spans(groups, {0.0, 0.0});
    for (const auto& entry : root.groupSpans)
        spans[entry.first] = entry.second;
    QVector<QPair<double, double>> emptyPlaces(groups, {0.0, emptyGroupSize.width()});
    for (const auto& entry : root.emptyPlacements)
        emptyPlaces[entry.first] = entry.second;

    QVector<QRectF> rects(groups);
    // Groups with devices, subgroups before their parents (a parent always has the smaller index).
    for (int group = groups - 1; group >= 0; --group) {
        if (contentLeft.at(group + 1) == infinity)
            continue;
        rects[group] = QRectF(QPointF(contentLeft.at(group + 1) - groupPadding, spans.at(group).first),
                              QPointF(contentRight.at(group + 1) + groupPadding, spans.at(group).second));
        const int parent = graph.groups.at(group).parent + 1;
        contentLeft[parent] = std::min(contentLeft.at(parent), rects.at(group).left());
        contentRight[parent] = std::max(contentRight.at(parent), rects.at(group).right());
    }
    // Empty groups, parents first: in a row of their own from the left of what their parent holds.
    for (int group = 0; group < groups; ++group) {
        if (contentLeft.at(group + 1) != infinity)
            continue;
        const int parent = graph.groups.at(group).parent;
        double anchor = contentLeft.at(parent + 1);
        if (parent >= 0 && anchor == infinity)
            anchor = rects.at(parent).left() + groupPadding;
        else if (anchor == infinity)
            anchor = 0;
        rects[group] = QRectF(anchor + emptyPlaces.at(group).first, spans.at(group).first, emptyPlaces.at(group).second,
                              spans.at(group).second - spans.at(group).first);
    }
    // Every group holds its subgroups, empty ones included.
    for (int group = groups - 1; group >= 0; --group) {
        const int parent = graph.groups.at(group).parent;
        if (parent >= 0)
            rects[parent].setRight(std::max(rects.at(parent).right(), rects.at(group).right() + groupPadding));
    }
    return rects;
}
