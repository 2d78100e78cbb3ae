#pragma once

#include <graphviz/gvc.h>

#include <unordered_map>
#include <utility>
#include <vector>

/**
 * Routes links through the places dot's drawing gave them, where dot itself routes nothing
 * (splines=none): dot crosses a rank with a link through a virtual node of that rank, placed
 * with the devices, and leaves each such node room between its neighbours. Each link takes
 * the shortest way through those rooms, level out of its source and into its target, as
 * dot's own router does; the links are routed one after another, each narrowing the room of
 * its neighbours to where it passed. Links cross only where dot's ordering has them cross.
 * A link and its opposite, which share their places, run side by side as dot draws them.
 *
 * A link between neighbouring ranks crosses no rank: it leaves its source's band level
 * with its source and enters its target's level with its target, and the gap between two
 * ranks holds no device. Such links need nothing but the devices' final places.
 *
 * dot's last step turns and moves the devices to their final places but leaves the virtual
 * nodes where its left-to-right passes put them, in the drawing's own frame (ranks along y,
 * each rank along x). That frame is found again from the devices: a rank's y is its virtual
 * nodes', and devices sit in a rank at the separations dot keeps between neighbours, which
 * are tight wherever a node stays packed against its neighbour. Where no device has a
 * virtual neighbour the frame stays unknown, and links through virtual nodes are not routed.
 *
 * Works on the laid-out graph before its layout is freed, rankdir=LR only; in Graphviz's
 * final frame (y up).
 */
class RankedLinkRouter
{
public:
    explicit RankedLinkRouter(Agraph_t* root);

    /**
     * Routes edges, which join the same two nodes (a link and its opposite: dot gives them one
     * chain), and sets ways[i] to the bends of edges[i] from its tail to its head (none where a
     * straight line passes no other device). Two edges run the same way apart, as dot draws
     * them, a node separation apart where the rooms on their way have space for it (bends at
     * either end where the way is straight); within a rank they run straight. False, with
     * the ways empty, where the drawing does not say where the link runs: its virtual nodes'
     * frame is unknown, dot's chain for it is not whole, or it joins devices of one rank with
     * others between them.
     */
    bool route(const std::vector<Agedge_t*>& edges, std::vector<std::vector<pointf>>* ways);

private:
    struct RankBand
    {
        double x = 0;
        double left = 0;
        double right = 0;
    };

    struct Gate
    {
        double x = 0;
        double low = 0;
        double high = 0;
    };

    bool findFrame();
    void findBands();
    pointf placeOf(Agnode_t* node) const;
    /// The nodes from the lower-ranked end of edge to the other, empty when dot's chain is not whole.
    std::vector<Agnode_t*> chainOf(Agedge_t* edge) const;
    /// The room a virtual node leaves its link between its neighbours in the rank.
    Gate roomOf(Agnode_t* node) const;
    /// node's place in its rank of the drawing, -1 for none.
    int orderOf(Agnode_t* node) const;
    double lowSide(Agnode_t* node) const;
    double highSide(Agnode_t* node) const;

    Agraph_t* root;
    bool ready = false;
    /// Whether the virtual nodes' frame (rankEnd, rankStart) was found.
    bool frameFound = false;
    double rankEnd = 0;
    double rankStart = 0;
    std::vector<RankBand> bands;
    /// Each node's place in its rank of the drawing.
    std::unordered_map<Agnode_t*, int> orders;
    /// Where routed links passed their virtual nodes, lowest and highest.
    std::unordered_map<Agnode_t*, std::pair<double, double>> passedAt;
};
