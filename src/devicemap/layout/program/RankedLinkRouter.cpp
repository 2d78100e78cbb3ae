#include "RankedLinkRouter.h"

#include "PortalPath.h"

#include <algorithm>
#include <cmath>
#include <utility>

namespace {

// dot's kinds of node and its drawing directions, as its sources number them.
constexpr int normalNode = 0;
constexpr int virtualNode = 1;
constexpr int leftToRight = 1;

int rounded(double value)
{
    // As dot rounds the separations it keeps between the nodes of a rank.
    return value >= 0 ? int(value + 0.5) : int(value - 0.5);
}

} // namespace

RankedLinkRouter::RankedLinkRouter(Agraph_t* root)
    : root(root)
{
    if (GD_rankdir(root) != leftToRight || !GD_rank(root) || GD_maxrank(root) < GD_minrank(root))
        return;
    frameFound = findFrame();
    findBands();
    ready = true;
}

bool RankedLinkRouter::findFrame()
{
    double lowestStart = 0;
    double highestStart = 0;
    bool lowest = false;
    bool highest = false;
    bool rankFound = false;
    for (int r = GD_minrank(root); r <= GD_maxrank(root); ++r) {
        const rank_t& rank = GD_rank(root)[r];
        for (int i = 0; i < rank.n; ++i) {
            Agnode_t* node = rank.v[i];
            if (ND_node_type(node) != normalNode)
                continue;
            for (int side : {-1, 1}) {
                if (i + side < 0 || i + side >= rank.n || ND_node_type(rank.v[i + side]) != virtualNode)
                    continue;
                Agnode_t* neighbour = rank.v[i + side];
                if (!rankFound) {
                    // The rank axis: final x = rankEnd - y in the drawing's frame.
                    rankEnd = ND_coord(node).x + ND_coord(neighbour).y;
                    rankFound = true;
                }
                // Within a rank, final y = x - rankStart; a device reaches half its final height
                // along the rank. A neighbour above bounds rankStart from above, one below from below.
                const int separation = rounded(ND_ht(node) / 2 + (side > 0 ? ND_lw(neighbour) : ND_rw(neighbour))
                                               + GD_nodesep(root));
                if (side > 0) {
                    const double bound = ND_coord(neighbour).x - separation - ND_coord(node).y;
                    highestStart = highest ? std::min(highestStart, bound) : bound;
                    highest = true;
                } else {
                    const double bound = ND_coord(neighbour).x + separation - ND_coord(node).y;
                    lowestStart = lowest ? std::max(lowestStart, bound) : bound;
                    lowest = true;
                }
            }
        }
    }
    rankStart = highest ? highestStart : lowestStart;
    return rankFound && (lowest || highest);
}

void RankedLinkRouter::findBands()
{
    for (int r = GD_minrank(root); r <= GD_maxrank(root); ++r) {
        const rank_t& rank = GD_rank(root)[r];
        RankBand band;
        bool placed = false;
        for (int i = 0; i < rank.n; ++i) {
            Agnode_t* node = rank.v[i];
            // A node's own order may be its place in a cluster's ranks: this is its place in the drawing's.
            orders[node] = i;
            const bool normal = ND_node_type(node) == normalNode;
            if (!normal && !frameFound)
                continue;
            const double x = placeOf(node).x;
            const double half = normal ? ND_lw(node) : 0.0;
            band.x = x;
            band.left = placed ? std::min(band.left, x - half) : x - half;
            band.right = placed ? std::max(band.right, x + half) : x + half;
            placed = true;
        }
        bands.push_back(band);
    }
}

pointf RankedLinkRouter::placeOf(Agnode_t* node) const
{
    if (ND_node_type(node) == normalNode)
        return ND_coord(node);
    return pointf{rankEnd - ND_coord(node).y, ND_coord(node).x - rankStart};
}

std::vector<Agnode_t*> RankedLinkRouter::chainOf(Agedge_t* edge) const
{
    // A link dot turned round has its virtual nodes chained from its head's rank to its tail's.
    const bool turned = ND_rank(agtail(edge)) > ND_rank(aghead(edge));
    Agnode_t* first = turned ? aghead(edge) : agtail(edge);
    Agnode_t* last = turned ? agtail(edge) : aghead(edge);
    const int ranks = ND_rank(last) - ND_rank(first);
    std::vector<Agnode_t*> chain{first};
    Agedge_t* step = ED_to_virt(edge);
    while (step && agtail(step) == chain.back() && ND_node_type(aghead(step)) == virtualNode && int(chain.size()) < ranks) {
        chain.push_back(aghead(step));
        step = ND_out(aghead(step)).size > 0 ? ND_out(aghead(step)).list[0] : nullptr;
    }
    // Only a chain that ends where the link does is the link's.
    if (!step || agtail(step) != chain.back() || aghead(step) != last)
        return {};
    chain.push_back(last);
    return chain;
}

int RankedLinkRouter::orderOf(Agnode_t* node) const
{
    const auto found = orders.find(node);
    return found == orders.end() ? -1 : found->second;
}

double RankedLinkRouter::lowSide(Agnode_t* node) const
{
    const double y = placeOf(node).y;
    if (ND_node_type(node) == normalNode)
        return y - ND_ht(node) / 2;
    return passedAt.count(node) ? passedAt.at(node).first : y - ND_lw(node);
}

double RankedLinkRouter::highSide(Agnode_t* node) const
{
    const double y = placeOf(node).y;
    if (ND_node_type(node) == normalNode)
        return y + ND_ht(node) / 2;
    return passedAt.count(node) ? passedAt.at(node).second : y + ND_rw(node);
}

RankedLinkRouter::Gate RankedLinkRouter::roomOf(Agnode_t* node) const
{
    const double y = placeOf(node).y;
    const int order = orderOf(node);
    if (order < 0 || ND_rank(node) < GD_minrank(root) || ND_rank(node) > GD_maxrank(root))
        return {0, y, y};
    const rank_t& rank = GD_rank(root)[ND_rank(node)];
    Gate gate;
    gate.low = order > 0 ? highSide(rank.v[order - 1]) : y - ND_lw(node);
    gate.high = order + 1 < rank.n ? lowSide(rank.v[order + 1]) : y + ND_rw(node);
    // Places a cut-short pass left overlapping leave the link its own place alone.
    if (gate.low > y || gate.high < y)
        gate.low = gate.high = y;
    return gate;
}

bool RankedLinkRouter::route(const std::vector<Agedge_t*>& edges, std::vector<std::vector<pointf>>* ways)
{
    ways->assign(edges.size(), {});
    if (!ready || edges.empty())
        return false;
    Agnode_t* tail = agtail(edges.front());
    Agnode_t* head = aghead(edges.front());
    if (ND_rank(tail) == ND_rank(head)) {
        // Within a rank a straight line passes no device only between neighbours.
        return tail == head || std::abs(orderOf(tail) - orderOf(head)) == 1;
    }
    const std::vector<Agnode_t*> chain = chainOf(edges.front());
    // Virtual nodes are placed in a frame of their own.
    if (chain.empty() || (chain.size() > 2 && !frameFound))
        return false;

    // Level out of the first device and into the last, through each virtual node's room
    // across its rank's band.
    std::vector<std::pair<pointf, pointf>> portals;
    auto addGate = [&portals](double x, double low, double high) {
        portals.emplace_back(pointf{x, high}, pointf{x, low});
    };
    const pointf start = placeOf(chain.front());
    const pointf end = placeOf(chain.back());
    portals.emplace_back(start, start);
    const RankBand& firstBand = bands.at(ND_rank(chain.front()) - GD_minrank(root));
    addGate(firstBand.right, start.y - ND_ht(chain.front()) / 2, start.y + ND_ht(chain.front()) / 2);
    for (int i = 1; i + 1 < int(chain.size()); ++i) {
        const RankBand& band = bands.at(ND_rank(chain[i]) - GD_minrank(root));
        const Gate room = roomOf(chain[i]);
        addGate(band.left, room.low, room.high);
        addGate(band.right, room.low, room.high);
    }
    const RankBand& lastBand = bands.at(ND_rank(chain.back()) - GD_minrank(root));
    addGate(lastBand.left, end.y - ND_ht(chain.back()) / 2, end.y + ND_ht(chain.back()) / 2);
    portals.emplace_back(end, end);

    // Links that share the chain (a link and its opposite) run apart as dot spreads a multi-edge,
    // by its separation of nodes.
    std::vector<std::vector<pointf>> sideBySide
        = PortalPath::sideBySide(portals, int(edges.size()), double(GD_nodesep(root)));
    for (int i = 1; i + 1 < int(chain.size()); ++i) {
        const double x = bands.at(ND_rank(chain[i]) - GD_minrank(root)).x;
        passedAt[chain[i]] = {PortalPath::heightAt(sideBySide.front(), x), PortalPath::heightAt(sideBySide.back(), x)};
    }
    for (size_t i = 0; i < edges.size(); ++i) {
        std::vector<pointf>& way = sideBySide[i];
        way.erase(way.begin());
        way.pop_back();
        if (ND_rank(agtail(edges[i])) > ND_rank(aghead(edges[i])))
            std::reverse(way.begin(), way.end());
        (*ways)[i] = std::move(way);
    }
    return true;
}
