#include "GraphvizDrawer.h"

#include "RankedLinkRouter.h"

#include <graphviz/gvc.h>

#include <dlfcn.h>
#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <map>
#include <string>
#include <unordered_map>
#include <vector>

namespace {

/// Graphviz's last message, gathered from the pieces its error callback hands over.
std::string& lastMessage()
{
    static std::string message;
    return message;
}

int forwardGraphvizMessage(char* text)
{
    // Graphviz hands a message over in pieces ("Error", ": ", the text, "\n"). Each goes out
    // at once: a crash a moment later must not take what Graphviz said with it.
    const size_t length = std::strlen(text);
    for (size_t written = 0; written < length;) {
        const ssize_t result = ::write(STDERR_FILENO, text + written, length - written);
        if (result <= 0)
            break;
        written += size_t(result);
    }
    std::string& message = lastMessage();
    if (!message.empty() && message.back() == '\n')
        message.clear();
    message += text;
    return 0;
}

/*
 * Graphviz's own naming gives a named object the address of its name text as its id,
 * and keeps subgraphs ordered by id: clusters would come out in an order that changes
 * from run to run, and so would the layout. These ids count up instead.
 */
struct SequentialIds
{
    std::unordered_map<std::string, IDTYPE> idByName;
    std::unordered_map<IDTYPE, std::string> nameById;
    // Named objects get even ids and anonymous ones odd ids, as Graphviz's own naming does.
    IDTYPE nextNamed = 2;
    IDTYPE nextAnonymous = 1;

    static void* open(Agraph_t*, Agdisc_t*) { return new SequentialIds; }

    static long map(void* state, int, char* name, IDTYPE* id, int create)
    {
        auto* ids = static_cast<SequentialIds*>(state);
        if (!name) {
            *id = ids->nextAnonymous;
            ids->nextAnonymous += 2;
            return 1;
        }
        const std::string key(name);
        const auto found = ids->idByName.find(key);
        if (found != ids->idByName.end()) {
            *id = found->second;
            return 1;
        }
        if (!create)
            return 0;
        *id = ids->nextNamed;
        ids->nextNamed += 2;
        ids->idByName.emplace(key, *id);
        ids->nameById.emplace(*id, key);
        return 1;
    }

    static long alloc(void*, int, IDTYPE) { return 0; }

    static void free(void*, int, IDTYPE) {}

    static char* print(void* state, int, IDTYPE id)
    {
        auto* ids = static_cast<SequentialIds*>(state);
        const auto found = ids->nameById.find(id);
        return found == ids->nameById.end() ? nullptr : const_cast<char*>(found->second.c_str());
    }

    static void close(void* state) { delete static_cast<SequentialIds*>(state); }

    static void idregister(void*, int, void*) {}
};

Agiddisc_t sequentialIdDiscipline{SequentialIds::open,  SequentialIds::map,   SequentialIds::alloc,
                                  SequentialIds::free,  SequentialIds::print, SequentialIds::close,
                                  SequentialIds::idregister};
Agdisc_t layoutDiscipline{&AgMemDisc, &sequentialIdDiscipline, &AgIoDisc};

/*
 * gvContext() reads Graphviz's plugin list and, at the first text it measures, loads the
 * text-layout plugin with pango, cairo, glib and fontconfig: most of a small layout's cost.
 * dot needs only its layout plugin and the core; without a text-layout plugin Graphviz sizes
 * the cluster labels from its own font metrics, which is all a label's size is needed for.
 */
GVC_t* dotContext()
{
    static GVC_t* context = []() -> GVC_t* {
        void* dotLayout = ::dlopen(GRAPHVIZ_PLUGIN_DOT_LAYOUT, RTLD_LAZY | RTLD_LOCAL);
        void* core = ::dlopen(GRAPHVIZ_PLUGIN_CORE, RTLD_LAZY | RTLD_LOCAL);
        void* dotLibrary = dotLayout ? ::dlsym(dotLayout, "gvplugin_dot_layout_LTX_library") : nullptr;
        void* coreLibrary = core ? ::dlsym(core, "gvplugin_core_LTX_library") : nullptr;
        if (!dotLibrary || !coreLibrary)
            return nullptr;
        static lt_symlist_t builtins[] = {{"gvplugin_dot_layout_LTX_library", dotLibrary},
                                          {"gvplugin_core_LTX_library", coreLibrary},
                                          {nullptr, nullptr}};
        return gvContextPlugins(builtins, 0);
    }();
    return context;
}

/// The context for engine: dot's own where it can be had, every installed plugin otherwise.
GVC_t* contextFor(const std::string& engine)
{
    if (engine == "dot") {
        if (GVC_t* context = dotContext())
            return context;
    }
    static GVC_t* context = gvContext();
    return context;
}

/// Font size of the cluster labels that stand for the map's cluster titles.
const char clusterTitleSize[] = "14";

std::string inches(double points)
{
    // Graphviz sizes nodes in inches of 72 points; one point is one scene unit.
    char text[32];
    std::snprintf(text, sizeof(text), "%.5f", std::max(points, 1.0) / 72.0);
    return text;
}

char* text(const char* literal)
{
    return const_cast<char*>(literal);
}

/// Builds the Graphviz graph of a job and reads the layout back; owns the graph.
class GraphvizGraph
{
public:
    explicit GraphvizGraph(const ProgramJob& job)
        : job(job)
    {
        root = agopen(text("layout"), Agdirected, &layoutDiscipline);
        for (const auto& attribute : job.attributes)
            agattr(root, AGRAPH, const_cast<char*>(attribute.first.c_str()), const_cast<char*>(attribute.second.c_str()));
        agattr(root, AGNODE, text("shape"), text("box"));
        agattr(root, AGNODE, text("fixedsize"), text("true"));
        agattr(root, AGNODE, text("label"), text(""));
        widthAttribute = agattr(root, AGNODE, text("width"), text("0.75"));
        heightAttribute = agattr(root, AGNODE, text("height"), text("0.5"));
        agattr(root, AGRAPH, text("label"), text(""));
        addClusters();
        addNodes();
        addEdges();
    }

    /// Frees the graph, for a process that draws more than once; the program leaves that to its exit.
    void close()
    {
        agclose(root);
        root = nullptr;
    }

    GraphvizGraph(const GraphvizGraph&) = delete;
    GraphvizGraph& operator=(const GraphvizGraph&) = delete;

    Agraph_t* handle() const { return root; }

    ProgramDrawing drawing() const
    {
        ProgramDrawing result;
        const boxf box = GD_bb(root);
        const double top = box.UR.y;
        auto flipped = [top](const pointf& point) { return ProgramDrawing::Point{point.x, top - point.y}; };

        result.centers.reserve(nodes.size());
        for (Agnode_t* node : nodes)
            result.centers.push_back(flipped(ND_coord(node)));
        result.bends.resize(edges.size());
        if (job.links == ProgramJob::Links::Routed) {
            for (int i = 0; i < int(edges.size()); ++i)
                result.bends[i] = corners(edges.at(i), flipped);
        } else if (job.links == ProgramJob::Links::ThroughPlaces) {
            routeThroughPlaces(&result, flipped);
        }
        result.clusterRects.reserve(clusters.size());
        for (Agraph_t* cluster : clusters) {
            // Turned downwards, the box's upper corner is its top-left one.
            const boxf bb = GD_bb(cluster);
            const ProgramDrawing::Point topLeft = flipped(pointf{bb.LL.x, bb.UR.y});
            result.clusterRects.push_back({topLeft.x, topLeft.y, bb.UR.x - bb.LL.x, bb.UR.y - bb.LL.y});
        }
        return result;
    }

private:
    /// Sets the bends of every edge, or lists it as unrouted, from the places dot's drawing gave it.
    template<typename Flip>
    void routeThroughPlaces(ProgramDrawing* result, Flip flipped) const
    {
        // Rank by rank, top to bottom, as dot's own router takes them: each link narrows the
        // room of the next.
        RankedLinkRouter router(root);
        std::vector<int> order(edges.size());
        for (int i = 0; i < int(edges.size()); ++i)
            order[i] = i;
        auto start = [this](int i) {
            Agnode_t* tail = agtail(edges.at(i));
            Agnode_t* head = aghead(edges.at(i));
            Agnode_t* first = ND_rank(tail) <= ND_rank(head) ? tail : head;
            return std::make_pair(ND_rank(first), ND_order(first));
        };
        std::stable_sort(order.begin(), order.end(), [&start](int a, int b) { return start(a) < start(b); });
        // A link and its opposite share dot's places: they are routed together, at the first's turn.
        std::map<std::pair<Agnode_t*, Agnode_t*>, std::vector<int>> edgesJoining;
        for (int i : order)
            edgesJoining[joined(edges.at(i))].push_back(i);
        std::vector<Agedge_t*> together;
        std::vector<std::vector<pointf>> ways;
        for (int i : order) {
            const std::vector<int>& group = edgesJoining.at(joined(edges.at(i)));
            if (group.front() != i)
                continue;
            together.clear();
            for (int edge : group)
                together.push_back(edges.at(edge));
            const bool routed = router.route(together, &ways);
            for (size_t k = 0; k < group.size(); ++k) {
                if (!routed)
                    result->unroutedEdges.push_back(group[k]);
                for (const pointf& bend : ways[k])
                    result->bends[group[k]].push_back(flipped(bend));
            }
        }
        std::sort(result->unroutedEdges.begin(), result->unroutedEdges.end());
    }

    void addClusters()
    {
        std::vector<bool> hasMembers(job.clusters.size(), false);
        for (const ProgramJob::Node& node : job.nodes) {
            for (int cluster = node.cluster; cluster >= 0 && !hasMembers.at(cluster);
                 cluster = job.clusters.at(cluster).parent)
                hasMembers[cluster] = true;
        }
        for (int i = 0; i < int(job.clusters.size()); ++i) {
            const int parent = job.clusters.at(i).parent;
            Agraph_t* owner = parent >= 0 && parent < i ? clusters.at(parent) : root;
            const std::string name = "cluster_" + std::to_string(i);
            Agraph_t* cluster = agsubg(owner, const_cast<char*>(name.c_str()), 1);
            clusters.push_back(cluster);
            // The map draws a cluster's name in a tab inside its top-left corner: a label
            // of about that size keeps the devices clear of it.
            std::string title;
            for (const char c : job.clusters.at(i).label)
                title += c == '\\' ? std::string("\\\\") : std::string(1, c);
            agsafeset(cluster, text("label"), title.empty() ? text(" ") : title.data(), text(""));
            agsafeset(cluster, text("fontsize"), text(clusterTitleSize), text(""));
            agsafeset(cluster, text("labeljust"), text("l"), text(""));
            agsafeset(cluster, text("labelloc"), text("t"), text(""));
            if (!hasMembers.at(i)) {
                const std::string placeholder = "e" + std::to_string(i);
                Agnode_t* node = agnode(cluster, const_cast<char*>(placeholder.c_str()), 1);
                agsafeset(node, text("style"), text("invis"), text(""));
            }
        }
    }

    void addNodes()
    {
        nodes.reserve(job.nodes.size());
        for (int i = 0; i < int(job.nodes.size()); ++i) {
            const ProgramJob::Node& jobNode = job.nodes.at(i);
            const std::string id = "n" + std::to_string(i);
            Agraph_t* owner = jobNode.cluster >= 0 && jobNode.cluster < int(clusters.size()) ? clusters.at(jobNode.cluster)
                                                                                               : root;
            Agnode_t* node = agnode(owner, const_cast<char*>(id.c_str()), 1);
            agxset(node, widthAttribute, const_cast<char*>(inches(jobNode.width).c_str()));
            agxset(node, heightAttribute, const_cast<char*>(inches(jobNode.height).c_str()));
            nodes.push_back(node);
        }
    }

    void addEdges()
    {
        edges.reserve(job.edges.size());
        for (const auto& edge : job.edges)
            edges.push_back(agedge(root, nodes.at(edge.first), nodes.at(edge.second), nullptr, 1));
    }

    /// The two nodes edge joins, the same for the edge the other way.
    static std::pair<Agnode_t*, Agnode_t*> joined(Agedge_t* edge)
    {
        Agnode_t* tail = agtail(edge);
        Agnode_t* head = aghead(edge);
        return AGSEQ(tail) <= AGSEQ(head) ? std::make_pair(tail, head) : std::make_pair(head, tail);
    }

    template<typename Flip>
    static std::vector<ProgramDrawing::Point> corners(Agedge_t* edge, Flip flipped)
    {
        // A polyline comes as Bézier control points with every corner repeated: the
        // distinct points are its vertices, and the first and last lie on the node outlines.
        std::vector<ProgramDrawing::Point> points;
        const splines* spline = ED_spl(edge);
        if (!spline)
            return points;
        for (int b = 0; b < spline->size; ++b) {
            const bezier& curve = spline->list[b];
            for (int p = 0; p < curve.size; ++p) {
                const ProgramDrawing::Point point = flipped(curve.list[p]);
                if (points.empty() || points.back().x != point.x || points.back().y != point.y)
                    points.push_back(point);
            }
        }
        if (points.size() >= 2) {
            points.erase(points.begin());
            points.pop_back();
        } else {
            points.clear();
        }
        return points;
    }

    const ProgramJob& job;
    Agraph_t* root = nullptr;
    Agsym_t* widthAttribute = nullptr;
    Agsym_t* heightAttribute = nullptr;
    std::vector<Agraph_t*> clusters;
    std::vector<Agnode_t*> nodes;
    std::vector<Agedge_t*> edges;
};

bool isFinite(const ProgramDrawing& drawing)
{
    auto finite = [](const ProgramDrawing::Point& point) { return std::isfinite(point.x) && std::isfinite(point.y); };
    if (!std::all_of(drawing.centers.cbegin(), drawing.centers.cend(), finite))
        return false;
    for (const std::vector<ProgramDrawing::Point>& bends : drawing.bends) {
        if (!std::all_of(bends.cbegin(), bends.cend(), finite))
            return false;
    }
    for (const ProgramDrawing::Box& box : drawing.clusterRects) {
        if (!finite({box.x, box.y}) || !finite({box.width, box.height}))
            return false;
    }
    return true;
}

std::string trimmed(const std::string& text)
{
    const size_t first = text.find_first_not_of(" \t\r\n");
    if (first == std::string::npos)
        return std::string();
    return text.substr(first, text.find_last_not_of(" \t\r\n") - first + 1);
}

} // namespace

bool GraphvizDrawer::draw(const ProgramJob& job, ProgramDrawing* drawing, std::string* error, Teardown teardown)
{
    agseterrf(forwardGraphvizMessage);
    GVC_t* context = contextFor(job.engine);
    if (!context) {
        *error = "no Graphviz context";
        return false;
    }
    GraphvizGraph graph(job);
    const bool laidOut = gvLayout(context, graph.handle(), job.engine.c_str()) == 0;
    if (laidOut)
        *drawing = graph.drawing();
    else
        *error = trimmed(lastMessage()).empty() ? std::string("Graphviz could not lay the graph out")
                                                : trimmed(lastMessage());
    // Freeing a large graph costs a tenth of its layout; a process about to end need not.
    if (teardown == Teardown::Free) {
        if (laidOut)
            gvFreeLayout(context, graph.handle());
        graph.close();
    }
    if (laidOut && !isFinite(*drawing)) {
        *error = "Graphviz gave coordinates that are not numbers";
        return false;
    }
    return laidOut;
}
