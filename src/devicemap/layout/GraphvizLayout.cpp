#include "GraphvizLayout.h"

#include <QByteArray>
#include <QDebug>
#include <QHash>
#include <QMutex>
#include <QMutexLocker>
#include <QStringList>

#include <graphviz/gvc.h>

#include <algorithm>
#include <vector>

namespace {

QMutex& graphvizLock()
{
    static QMutex lock;
    return lock;
}

// Written only by Graphviz's error callback, which runs only while graphvizLock() is held.
QByteArray& graphvizMessages()
{
    static QByteArray messages;
    return messages;
}

int captureGraphvizMessage(char* text)
{
    // Graphviz hands a message over in pieces ("Error", ": ", the text, "\n").
    graphvizMessages() += text;
    return 0;
}

/// The process's one Graphviz context, made on first use under the lock and kept.
GVC_t* graphvizContext()
{
    static GVC_t* context = gvContext();
    return context;
}

/*
 * Graphviz's own naming gives a named object the address of its name text as its id,
 * and keeps subgraphs ordered by id: clusters would come out in an order that changes
 * from run to run, and so would the layout. These ids count up instead.
 */
struct SequentialIds
{
    QHash<QByteArray, IDTYPE> idByName;
    QHash<IDTYPE, QByteArray> nameById;
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
        const QByteArray key(name);
        const auto found = ids->idByName.constFind(key);
        if (found != ids->idByName.constEnd()) {
            *id = *found;
            return 1;
        }
        if (!create)
            return 0;
        *id = ids->nextNamed;
        ids->nextNamed += 2;
        ids->idByName.insert(key, *id);
        ids->nameById.insert(*id, key);
        return 1;
    }

    static long alloc(void*, int, IDTYPE) { return 0; }

    static void free(void*, int, IDTYPE) {}

    static char* print(void* state, int, IDTYPE id)
    {
        auto* ids = static_cast<SequentialIds*>(state);
        const auto found = ids->nameById.constFind(id);
        return found == ids->nameById.constEnd() ? nullptr : const_cast<char*>(found->constData());
    }

    static void close(void* state) { delete static_cast<SequentialIds*>(state); }

    static void idregister(void*, int, void*) {}
};

Agiddisc_t sequentialIdDiscipline{SequentialIds::open,  SequentialIds::map,   SequentialIds::alloc,
                                  SequentialIds::free,  SequentialIds::print, SequentialIds::close,
                                  SequentialIds::idregister};
Agdisc_t layoutDiscipline{&AgMemDisc, &sequentialIdDiscipline, &AgIoDisc};

/// Font size of the cluster labels that stand for the map's cluster titles.
const char clusterTitleSize[] = "14";

QByteArray inches(double points)
{
    // Graphviz sizes nodes in inches of 72 points; one point is one scene unit.
    return QByteArray::number(std::max(points, 1.0) / 72.0, 'f', 5);
}

char* text(const char* literal)
{
    return const_cast<char*>(literal);
}

/// Builds the Graphviz graph of a LayoutGraph and reads the layout back; owns the graph.
class GraphvizGraph
{
public:
    GraphvizGraph(const LayoutGraph& graph, const GraphvizLayout::Settings& settings)
        : graph(graph)
        , turnedLinks(settings.turnedLinks)
    {
        root = agopen(text("layout"), Agdirected, &layoutDiscipline);
        for (const auto& attribute : settings.attributes)
            agattr(root, AGRAPH, const_cast<char*>(attribute.first.constData()),
                   const_cast<char*>(attribute.second.constData()));
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

    ~GraphvizGraph() { agclose(root); }

    GraphvizGraph(const GraphvizGraph&) = delete;
    GraphvizGraph& operator=(const GraphvizGraph&) = delete;

    Agraph_t* handle() const { return root; }

    GraphPlacement placement(bool withBends) const
    {
        GraphPlacement result;
        const boxf box = GD_bb(root);
        const double top = box.UR.y;
        auto flipped = [top](const pointf& point) { return QPointF(point.x, top - point.y); };

        result.centers.reserve(nodes.size());
        for (Agnode_t* node : nodes)
            result.centers.append(flipped(ND_coord(node)));
        result.bends.resize(edges.size());
        if (withBends) {
            for (int i = 0; i < int(edges.size()); ++i) {
                result.bends[i] = corners(edges.at(i), flipped);
                if (isTurned(i))
                    std::reverse(result.bends[i].begin(), result.bends[i].end());
            }
        }
        result.groupRects.reserve(clusters.size());
        for (Agraph_t* cluster : clusters) {
            const boxf bb = GD_bb(cluster);
            result.groupRects.append(QRectF(flipped(bb.LL), flipped(bb.UR)).normalized());
        }
        return result;
    }

private:
    void addClusters()
    {
        QVector<bool> hasMembers(graph.groups.size(), false);
        for (const LayoutGraph::Device& device : graph.devices) {
            for (int group = device.group; group >= 0 && !hasMembers.at(group); group = graph.groups.at(group).parent)
                hasMembers[group] = true;
        }
        for (int i = 0; i < graph.groups.size(); ++i) {
            const int parent = graph.groups.at(i).parent;
            Agraph_t* owner = parent >= 0 && parent < i ? clusters.at(parent) : root;
            const QByteArray name = "cluster_" + QByteArray::number(i);
            Agraph_t* cluster = agsubg(owner, const_cast<char*>(name.constData()), 1);
            clusters.push_back(cluster);
            // The map draws a cluster's name in a tab inside its top-left corner: a label
            // of about that size keeps the devices clear of it.
            QByteArray title = graph.groups.at(i).name.toUtf8();
            title.replace('\\', "\\\\");
            agsafeset(cluster, text("label"), title.isEmpty() ? text(" ") : title.data(), text(""));
            agsafeset(cluster, text("fontsize"), text(clusterTitleSize), text(""));
            agsafeset(cluster, text("labeljust"), text("l"), text(""));
            agsafeset(cluster, text("labelloc"), text("t"), text(""));
            if (!hasMembers.at(i)) {
                const QByteArray placeholder = "e" + QByteArray::number(i);
                Agnode_t* node = agnode(cluster, const_cast<char*>(placeholder.constData()), 1);
                agsafeset(node, text("style"), text("invis"), text(""));
            }
        }
    }

    void addNodes()
    {
        nodes.reserve(graph.devices.size());
        for (int i = 0; i < graph.devices.size(); ++i) {
            const LayoutGraph::Device& device = graph.devices.at(i);
            const QByteArray id = "n" + QByteArray::number(i);
            Agraph_t* owner = device.group >= 0 && device.group < int(clusters.size()) ? clusters.at(device.group) : root;
            Agnode_t* node = agnode(owner, const_cast<char*>(id.constData()), 1);
            agxset(node, widthAttribute, const_cast<char*>(inches(device.size.width()).constData()));
            agxset(node, heightAttribute, const_cast<char*>(inches(device.size.height()).constData()));
            nodes.push_back(node);
        }
    }

    void addEdges()
    {
        edges.reserve(graph.links.size());
        for (int i = 0; i < graph.links.size(); ++i) {
            const LayoutGraph::Link& link = graph.links.at(i);
            Agnode_t* from = nodes.at(link.from);
            Agnode_t* to = nodes.at(link.to);
            edges.push_back(isTurned(i) ? agedge(root, to, from, nullptr, 1) : agedge(root, from, to, nullptr, 1));
        }
    }

    bool isTurned(int link) const { return link < turnedLinks.size() && turnedLinks.at(link); }

    template<typename Flip>
    static QList<QPointF> corners(Agedge_t* edge, Flip flipped)
    {
        // A polyline comes as Bézier control points with every corner repeated: the
        // distinct points are its vertices, and the first and last lie on the node outlines.
        QList<QPointF> points;
        const splines* spline = ED_spl(edge);
        if (!spline)
            return points;
        for (int b = 0; b < spline->size; ++b) {
            const bezier& curve = spline->list[b];
            for (int p = 0; p < curve.size; ++p) {
                const QPointF point = flipped(curve.list[p]);
                if (points.isEmpty() || points.last() != point)
                    points.append(point);
            }
        }
        if (points.size() >= 2) {
            points.removeFirst();
            points.removeLast();
        } else {
            points.clear();
        }
        return points;
    }

    const LayoutGraph& graph;
    const QVector<bool> turnedLinks;
    Agraph_t* root = nullptr;
    Agsym_t* widthAttribute = nullptr;
    Agsym_t* heightAttribute = nullptr;
    std::vector<Agraph_t*> clusters;
    std::vector<Agnode_t*> nodes;
    std::vector<Agedge_t*> edges;
};

/// Installs the message capture for one run and logs what it caught.
class MessageCapture
{
public:
    MessageCapture()
    {
        graphvizMessages().clear();
        previous = agseterrf(captureGraphvizMessage);
    }
    ~MessageCapture()
    {
        agseterrf(previous);
        for (const QString& message : messages())
            qWarning().noquote() << "GraphLayoutAdapter: Graphviz:" << message;
    }
    MessageCapture(const MessageCapture&) = delete;
    MessageCapture& operator=(const MessageCapture&) = delete;

    QStringList messages() const
    {
        QStringList lines;
        for (const QByteArray& line : graphvizMessages().split('\n')) {
            if (!line.trimmed().isEmpty())
                lines.append(QString::fromUtf8(line.trimmed()));
        }
        return lines;
    }

    QString lastMessage() const { return messages().isEmpty() ? QString() : messages().last(); }

private:
    agusererrf previous = nullptr;
};

} // namespace

bool GraphvizLayout::run(const LayoutGraph& graph, const Settings& settings, GraphPlacement* placement,
                         QString* error, Control* control)
{
    if (control)
        control->waitingForLock = true;
    QMutexLocker locker(&graphvizLock());
    if (control)
        control->waitingForLock = false;
    if (control && control->isAbandoned && control->isAbandoned()) {
        *error = QStringLiteral("abandoned before it started");
        return false;
    }

    const MessageCapture capture;
    GVC_t* context = graphvizContext();
    if (!context) {
        *error = QStringLiteral("no Graphviz context");
        return false;
    }
    const GraphvizGraph graphvizGraph(graph, settings);
    if (gvLayout(context, graphvizGraph.handle(), settings.engine.constData()) != 0) {
        *error = capture.lastMessage().isEmpty() ? QStringLiteral("Graphviz could not lay the graph out")
                                                 : capture.lastMessage();
        return false;
    }
    *placement = graphvizGraph.placement(settings.polylineEdges);
    gvFreeLayout(context, graphvizGraph.handle());
    if (!placement->isFinite()) {
        *error = QStringLiteral("Graphviz gave coordinates that are not numbers");
        return false;
    }
    return true;
}
