// Lays out device graphs with every layout type and prints, per type, the automatic layout's
// time and how readable its result is (link crossings, total link length) in three tables.
//
// First, on three kinds of graph of 500, 1,000, 2,000 and 5,000 devices, the map's own call
// (GraphLayoutAdapter::layOutWithin, with its deadline and fallback; the median of three
// runs) beside plain Graphviz dot on the same graph: the same
// devices with their sizes, the same links as they are, the same groups as clusters, drawn
// the same way (left to right, the same spacing, polyline links) and with dot's defaults for
// everything else (no newrank, no limits on network simplex or crossing reduction, dot's own
// cycle breaking). Beside that, dot with the same defaults on the graph with our cycle
// breaking (the links CycleBreaker chooses handed over turned round): dot's own breaking
// stretches a cyclic graph into one rank per device, which takes it minutes to hours. The
// ratios are ours over dot's. Crossings and lengths count every link as the polyline from
// its source's centre through its bends to its target's centre (LayoutQuality), and so does
// "through %", the share of our links that pass through a device that is neither of their
// ends. Dot runs in the layout program's process as ours does, given up on after ten
// minutes. The kinds:
// - pipeline: chains with fan-out and fan-in, some long links and a few feedback links,
//   about 1.4 links per device;
// - map grid: device i feeds devices i + 1 and i + 50, modulo the count, as the map
//   benchmarks' graph (BenchMapGraph.h) and the paste benchmark have it: one big cycle, full
//   of smaller ones;
// - ring with chords: a ring, every other device feeding one a few steps on and every fifth
//   one a few steps back: feedback loops everywhere.
//
// Second, the other sizes, laid out once each through GraphLayoutAdapter::layOut, with the
// graph builder's time: pipelines of 100 and 10,000 devices (beyond Graphviz's limit), map
// grids and rings with chords of 100 devices.
//
// The graphs are built from device descriptions as the map would build them. The clustered
// types get 5 to 20 groups. The third table rearranges a shown map of the pipelines (up to
// 5,000 devices): the map's own layout call, the redo of the RearrangeGraphOperation it
// pushes, its undo and its redo again. The last table sets Graphviz in the layout program
// against Graphviz in this process (the program's own drawer compiled in, as the library ran it
// before it had the program), in CPU time of both processes measured in the same run: the fixed
// cost of a run with and without cluster labels, and every type at 1,000 devices with the shares
// of the program's start and of the text of the job and its drawing. BENCH_PROCESS=0 leaves it out.
// BENCH_DEVICES=N runs one size only, BENCH_TYPE=T one layout type only, BENCH_GRAPH=pipeline,
// BENCH_GRAPH=grid or BENCH_GRAPH=ring one kind of graph only, BENCH_RUNS=N times the map's
// call N times instead of three, BENCH_DOT=0 leaves dot out, BENCH_DOT_UPTO=N runs it only on
// graphs of at most N devices, BENCH_PLAIN_DOT_UPTO=N runs dot with its own cycle breaking only
// on graphs of at most N devices, BENCH_DOT_SECONDS=N gives up on a dot run after N seconds,
// and BENCH_MAP=0 leaves the third table out.

#include "BenchInProcessLayout.h"
#include "BenchMapGraph.h"
#include "BenchReport.h"
#include "CycleBreaker.h"
#include "DeviceMapWidget.h"
#include "GraphLayoutAdapter.h"
#include "GraphvizDrawer.h"
#include "GraphvizJob.h"
#include "JobText.h"
#include "GraphvizLayout.h"
#include "LayoutPlan.h"
#include "LayoutGraphBuilder.h"
#include "LayoutQuality.h"
#include "RearrangeGraphOperation.h"
#include "SampleDevices.h"
#include "ZenticMessageBox.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QDeadlineTimer>
#include <QSettings>
#include <QTemporaryDir>
#include <QTextStream>
#include <QThreadPool>
#include <QUndoStack>

#include <algorithm>
#include <functional>
#include <limits>
#include <map>
#include <random>

namespace {

const QList<int> comparedDeviceCounts{500, 1000, 2000, 5000};
// 10,000 devices show what a graph beyond Graphviz's limit gets instead.
const QList<int> otherPipelineDeviceCounts{100, 10000};
const QList<int> otherCyclicDeviceCounts{100};
constexpr int chainLength = 12;

QString deviceName(int index)
{
    return QStringLiteral("device_%1").arg(index);
}

void link(QList<DeviceInfo>& infos, int from, int to)
{
    infos[from].outgoingConnections.append({deviceName(to), QStringLiteral("output(double)"), QStringLiteral("input(double)")});
    infos[to].connectionStrings.append(
        QStringLiteral("%1.input(double)<%2.output(double)").arg(deviceName(to), deviceName(from)));
}

/// count unlinked devices of the benchmark's types (so that the clustered types find groups).
QList<DeviceInfo> unlinkedDevices(int count)
{
    static const QStringList types{"io/adc", "maths/sum", "filters/lowpass", "gui/plot", "maths/scale", "network/udp"};
    QList<DeviceInfo> infos;
    for (int i = 0; i < count; ++i) {
        DeviceInfo info;
        info.name = deviceName(i);
        info.type = types.at(i % types.size());
        if (i % 4 == 0)
            info.description = QStringLiteral("Stage %1 of the line").arg(i);
        infos.append(info);
    }
    return infos;
}

QList<DeviceInfo> pipelineDevices(int count)
{
    std::mt19937 random(42);
    QList<DeviceInfo> infos = unlinkedDevices(count);
    for (int i = 1; i < count; ++i) {
        if (i % chainLength != 0)
            link(infos, i - 1, i); // the chain
        else
            link(infos, i - 1 - int(random() % std::min(i, 30)), i); // a new chain fed by a recent device
        if (i % 5 == 2 && i + 3 < count)
            link(infos, i, i + 3); // fan-out
        if (i % 7 == 3 && i > 10)
            link(infos, i - 1 - int(random() % 10), i); // fan-in
        if (i % 25 == 5 && i + 60 < count)
            link(infos, i, i + 20 + int(random() % 40)); // a long link
        if (i % 200 == 150)
            link(infos, i, i - 10 - int(random() % 30)); // feedback
    }
    return infos;
}

/// Device i feeds i + 1 and i + gridColumns, modulo the count, as scalerInfos(count, {1, gridColumns}).
QList<DeviceInfo> mapGridDevices(int count)
{
    QList<DeviceInfo> infos = unlinkedDevices(count);
    for (int i = 0; i < count; ++i) {
        for (int step : {1, gridColumns}) {
            if (step < count)
                link(infos, i, (i + step) % count);
        }
    }
    return infos;
}

/// A ring; every other device feeds one 2 to 40 steps on, every fifth one 2 to 21 steps back.
QList<DeviceInfo> ringWithChordsDevices(int count)
{
    std::mt19937 random(7);
    QList<DeviceInfo> infos = unlinkedDevices(count);
    for (int i = 0; i < count; ++i) {
        link(infos, i, (i + 1) % count);
        if (i % 2 == 0)
            link(infos, i, (i + 2 + int(random() % 39)) % count);
        if (i % 5 == 0)
            link(infos, i, (i + count - 2 - int(random() % 20)) % count);
    }
    return infos;
}

struct GraphKind
{
    QString name;
    std::function<QList<DeviceInfo>(int)> devices;
    /// Sizes laid out beside plain dot.
    QList<int> comparedCounts;
    /// Sizes laid out once, without dot.
    QList<int> otherCounts;
};

QList<GraphKind> graphKinds()
{
    return {{QStringLiteral("pipeline"), pipelineDevices, comparedDeviceCounts, otherPipelineDeviceCounts},
            {QStringLiteral("grid"), mapGridDevices, comparedDeviceCounts, otherCyclicDeviceCounts},
            {QStringLiteral("ring"), ringWithChordsDevices, comparedDeviceCounts, otherCyclicDeviceCounts}};
}

int groupCount(int devices)
{
    return devices <= 100 ? 5 : devices <= 1000 ? 10 : 20;
}

/// Devices on a grid and clusters over bands of its rows, every third with an inner one, and one empty.
void addMapClusters(LayoutGraphBuilder& builder, int devices)
{
    QMap<QString, QRectF> deviceRects;
    for (int i = 0; i < devices; ++i)
        deviceRects.insert(deviceName(i), QRectF(200.0 * (i % gridColumns), 80.0 * (i / gridColumns), 150, 40));
    const int rows = (devices + gridColumns - 1) / gridColumns;
    const int groups = groupCount(devices);
    QMap<QString, QRectF> clusterRects;
    for (int g = 0; g < groups; ++g) {
        const int firstRow = rows * g / groups;
        const int lastRow = rows * (g + 1) / groups;
        const QRectF band(-10, 80.0 * firstRow - 10, 200.0 * gridColumns, 80.0 * (lastRow - firstRow) - 10);
        clusterRects.insert(QStringLiteral("cluster_%1").arg(g), band);
        if (g % 3 == 0)
            clusterRects.insert(QStringLiteral("inner_%1").arg(g), band.adjusted(5, 5, -100.0 * gridColumns, -5));
    }
    clusterRects.insert(QStringLiteral("empty"), QRectF(-500, -500, 100, 100));
    builder.setMapClusters(clusterRects, deviceRects);
}

LayoutGraph buildGraph(const QList<DeviceInfo>& infos, LayoutGraph::Type type)
{
    LayoutGraphBuilder builder(type);
    builder.setCategoriesFunction([](const QString& type) {
        if (type.startsWith("io/"))
            return QStringList{"IO"};
        if (type.startsWith("network/"))
            return QStringList{"network"};
        if (type.startsWith("gui/"))
            return QStringList{"GUI"};
        return QStringList{type.section('/', 0, 0)};
    });
    const int areas = groupCount(infos.size());
    builder.setGuiAreaFunction([areas](const QString& name) -> std::optional<QString> {
        return QStringLiteral("area_%1").arg(name.section('_', 1).toInt() % areas);
    });
    if (type == LayoutGraph::FixedClusters)
        addMapClusters(builder, infos.size());
    return builder.build(infos);
}

QString typeName(LayoutGraph::Type type)
{
    switch (type) {
    case LayoutGraph::Orthogonal: return QStringLiteral("Orthogonal");
    case LayoutGraph::Hierarchical: return QStringLiteral("Hierarchical");
    case LayoutGraph::ClusterByGuiArea: return QStringLiteral("ClusterByGuiArea");
    case LayoutGraph::ClusterByIO: return QStringLiteral("ClusterByIO");
    case LayoutGraph::FixedClusters: return QStringLiteral("FixedClusters");
    }
    return QString();
}

QString cell(const QString& text, int width)
{
    return text.leftJustified(width);
}

/// The time the goals allow for this size and type, 0 for none.
int goalMilliseconds(int devices, LayoutGraph::Type type)
{
    if (devices == 1000)
        return type == LayoutGraph::Hierarchical ? 1000 : 2000;
    if (devices == 5000)
        return 10000;
    return 0;
}

QString milliseconds(qint64 nanoseconds)
{
    return QString::number(nanoseconds / 1e6, 'f', 1).rightJustified(11);
}

QString number(double value, int width)
{
    return QString::number(value, 'f', 0).rightJustified(width);
}

QString ratio(double ours, double theirs)
{
    return (theirs > 0 ? QString::number(ours / theirs, 'f', 2) : QStringLiteral("-")).rightJustified(8);
}

/// One layout's figures: time, what placed the devices, how readable the links are.
struct Measured
{
    qint64 nanoseconds = 0;
    QString method;
    int fallbacks = 0;
    LayoutQuality quality;
    /// The share of the links that pass through a device that is neither of their ends, in percent.
    double throughShare = 0;
    bool done = false;
};

double throughShareOf(const DevicesArrangement& arrangement)
{
    const int links = arrangement.connections.size();
    return links == 0 ? 0.0 : 100.0 * double(LayoutQuality::linksThroughDevices(arrangement)) / links;
}

QString share(double percent)
{
    return QString::number(percent, 'f', 1).rightJustified(10);
}

/// The map's own call, runs times; the median time, the fallbacks counted, the last run's result measured.
Measured ours(const LayoutGraph& graph, int runs)
{
    Measured measured;
    QList<qint64> times;
    GraphLayoutAdapter::Result result;
    for (int run = 0; run < runs; ++run) {
        // A run abandoned at its deadline ends its Graphviz process: the next starts once it is gone.
        QThreadPool::globalInstance()->waitForDone();
        QElapsedTimer timer;
        timer.start();
        result = GraphLayoutAdapter::layOutWithin(graph);
        times.append(timer.nsecsElapsed());
        measured.fallbacks += result.fellBack ? 1 : 0;
    }
    measured.nanoseconds = median(times);
    measured.method = result.method;
    measured.quality = LayoutQuality::of(result.arrangement);
    measured.throughShare = throughShareOf(result.arrangement);
    measured.done = true;
    return measured;
}

/// Plain dot on graph: its defaults but for the drawing's direction, spacing and polyline links;
/// with turned, the links CycleBreaker chooses are handed over turned round instead of leaving
/// dot to break the cycles. Given up on after limitSeconds; dot may take all the memory it wants.
Measured plainDot(const LayoutGraph& graph, bool turned, int limitSeconds)
{
    GraphvizLayout::Settings settings;
    settings.attributes = {{"rankdir", "LR"}, {"nodesep", "0.3"}, {"ranksep", "0.6"}, {"splines", "polyline"}};
    if (turned)
        settings.turnedLinks = CycleBreaker::turnedLinks(graph);
    GraphvizLayout::Control control;
    control.limits.deadline = QDeadlineTimer(qint64(limitSeconds) * 1000);
    control.limits.memoryBytes = qint64(16) << 30;
    Measured measured;
    GraphPlacement placement;
    QElapsedTimer timer;
    timer.start();
    const GraphvizLayout::Outcome outcome = GraphvizLayout::run(graph, settings, &placement, control);
    measured.nanoseconds = timer.nsecsElapsed();
    measured.done = outcome.hasDrawing();
    if (measured.done) {
        measured.method = QStringLiteral("dot");
        measured.quality = LayoutQuality::of(placement.toArrangement(graph, 20));
    } else {
        measured.method = outcome.end == LayoutProcess::End::TimedOut
                              ? QStringLiteral("no result within %1 s").arg(limitSeconds)
                              : QStringLiteral("dot failed");
    }
    return measured;
}

/// What the goals ask of this size and type, and whether it is met; empty for no goal. Where
/// plain dot gave nothing, Hierarchical is held against dot with our cycle breaking.
QString goalText(const QString& kind, int devices, LayoutGraph::Type type, const Measured& measured,
                 const Measured& dot, const Measured& turnedDot)
{
    const bool clustered = type == LayoutGraph::ClusterByGuiArea || type == LayoutGraph::ClusterByIO
                           || type == LayoutGraph::FixedClusters;
    const bool inTime = measured.nanoseconds <= 5000 * qint64(1000000) && measured.fallbacks == 0;
    if (devices == 5000 && clustered && kind == QLatin1String("pipeline"))
        return QStringLiteral("<= 5 s, no fallback: %1").arg(inTime ? "met" : "MISSED");
    if (devices == 2000 && type == LayoutGraph::Hierarchical) {
        const Measured& baseline = dot.done ? dot : turnedDot;
        if (!baseline.done)
            return QStringLiteral("<= 5 s, crossings <= dot's: no dot");
        const bool met = inTime && measured.quality.crossings <= baseline.quality.crossings;
        return QStringLiteral("<= 5 s, crossings <= %1: %2")
            .arg(dot.done ? "dot's" : "turned dot's", met ? "met" : "MISSED");
    }
    return QString();
}

/// Time, crossings and length of dot's run, with ours over them, or why there are none.
QString dotCells(const Measured& measured, const Measured& dot, bool asked)
{
    if (!dot.done)
        return QString("  " + (asked ? dot.method : QStringLiteral("(no dot)"))).leftJustified(64);
    return milliseconds(dot.nanoseconds).rightJustified(13) + number(double(dot.quality.crossings), 12)
           + number(dot.quality.linkLength, 13) + ratio(measured.nanoseconds, dot.nanoseconds).rightJustified(10)
           + ratio(measured.quality.crossings, dot.quality.crossings)
           + ratio(measured.quality.linkLength, dot.quality.linkLength);
}

/// Which dot runs the comparison makes: on graphs of at most so many devices, each given up on after seconds.
struct DotRuns
{
    int plainUpTo = std::numeric_limits<int>::max();
    int turnedUpTo = std::numeric_limits<int>::max();
    int seconds = 600;
};

/// The rows of benchAgainstDot() for kind's graph of count devices.
void compareWithDot(QTextStream& out, const GraphKind& kind, int count, const QList<LayoutGraph::Type>& types, int runs,
                    const DotRuns& dotRuns)
{
    const bool withPlainDot = count <= dotRuns.plainUpTo;
    const bool withTurnedDot = count <= dotRuns.turnedUpTo;
    const QList<DeviceInfo> infos = kind.devices(count);
    // Orthogonal and Hierarchical lay out the same graph, so dot runs once for both.
    std::map<LayoutGraph::Type, std::pair<Measured, Measured>> dotResults;
    for (LayoutGraph::Type type : types) {
        const LayoutGraph graph = buildGraph(infos, type);
        const Measured measured = ours(graph, runs);
        const LayoutGraph::Type dotKey = type == LayoutGraph::Orthogonal ? LayoutGraph::Hierarchical : type;
        if (dotResults.count(dotKey) == 0) {
            const int seconds = dotRuns.seconds;
            dotResults[dotKey] = {withPlainDot ? plainDot(graph, false, seconds) : Measured(),
                                  withTurnedDot ? plainDot(graph, true, seconds) : Measured()};
        }
        const Measured& dot = dotResults[dotKey].first;
        const Measured& turnedDot = dotResults[dotKey].second;
        out << cell(kind.name, 10) << cell(QString::number(count), 9) << cell(QString::number(graph.links.size()), 7)
            << cell(typeName(type), 18) << cell(QString::number(graph.groups.size()), 8) << cell(measured.method, 56)
            << milliseconds(measured.nanoseconds).rightJustified(13) << QString::number(measured.fallbacks).rightJustified(3)
            << number(double(measured.quality.crossings), 12) << number(measured.quality.linkLength, 13)
            << share(measured.throughShare) << dotCells(measured, dot, withPlainDot) << " |"
            << dotCells(measured, turnedDot, withTurnedDot) << "  "
            << goalText(kind.name, count, type, measured, dot, turnedDot) << Qt::endl;
    }
}

/// Every kind's compared sizes: the map's call beside plain dot and dot with our cycle breaking.
void benchAgainstDot(QTextStream& out, const QList<GraphKind>& kinds, const QList<LayoutGraph::Type>& types, int runs,
                     const DotRuns& dotRuns)
{
    out << "The map's layout call (median of " << runs
        << " runs) against plain dot with its defaults on the same graph, then against dot with its defaults on the"
           " graph with our cycle breaking (the links CycleBreaker chooses handed over turned round); ratios are"
           " ours / dot's"
        << Qt::endl;
    const QString dotHeads = QStringLiteral("       dot ms   crossings       length  time/dot cr./dot len/dot");
    out << cell("graph", 10) << cell("devices", 9) << cell("links", 7) << cell("type", 18) << cell("groups", 8)
        << cell("method", 56) << "      ours ms" << " fb" << "   crossings" << "       length" << " through %"
        << dotHeads << " |" << dotHeads << "  goal" << Qt::endl;
    for (const GraphKind& kind : kinds) {
        for (int count : kind.comparedCounts)
            compareWithDot(out, kind, count, types, runs, dotRuns);
    }
    out << "  (fb: runs that fell back to the grid; goals: the clustered types at 5,000 pipeline devices within 5 s"
           " and never on the grid, Hierarchical at 2,000 within 5 s with no more crossings than dot; dot runs in a"
           " child process given up on after "
        << dotRuns.seconds << " s)" << Qt::endl;
}

void benchOtherGraphs(QTextStream& out, const QList<GraphKind>& kinds, const QList<LayoutGraph::Type>& types)
{
    out << Qt::endl
        << "Other graphs, one layout call each (goals: 1,000 devices under 1 s for Hierarchical and under 2 s"
           " for the others, 5,000 under 10 s for all)"
        << Qt::endl;
    out << cell("graph", 10) << cell("devices", 9) << cell("links", 8) << cell("type", 18) << cell("groups", 8)
        << cell("method", 56) << "  build ms" << "  layout ms" << "   crossings" << "       length" << " through %"
        << "  fell back" << "  goal" << Qt::endl;
    for (const GraphKind& kind : kinds) {
        for (int count : kind.otherCounts) {
            const QList<DeviceInfo> infos = kind.devices(count);
            for (LayoutGraph::Type type : types) {
                QElapsedTimer timer;
                timer.start();
                const LayoutGraph graph = buildGraph(infos, type);
                const qint64 buildTime = timer.nsecsElapsed();
                // Small graphs are laid out several times, for a steadier figure.
                const int runs = count <= 100 ? 10 : 1;
                GraphLayoutAdapter::Result result;
                QThreadPool::globalInstance()->waitForDone();
                timer.restart();
                for (int run = 0; run < runs; ++run)
                    result = GraphLayoutAdapter::layOut(graph);
                const qint64 layoutTime = timer.nsecsElapsed() / runs;
                const LayoutQuality quality = LayoutQuality::of(result.arrangement);
                out << cell(kind.name, 10) << cell(QString::number(count), 9)
                    << cell(QString::number(graph.links.size()), 8) << cell(typeName(type), 18)
                    << cell(QString::number(graph.groups.size()), 8) << cell(result.method, 56)
                    << milliseconds(buildTime).rightJustified(10) << milliseconds(layoutTime)
                    << number(double(quality.crossings), 12) << number(quality.linkLength, 13)
                    << share(throughShareOf(result.arrangement))
                    << (result.fellBack ? "  yes      " : "  no       ");
                const int goal = goalMilliseconds(count, type);
                if (goal > 0)
                    out << QStringLiteral("  < %1 s %2").arg(goal / 1000).arg(layoutTime / 1e6 < goal ? "met" : "MISSED");
                out << Qt::endl;
            }
        }
    }
}

/// The sample device type standing in for each benchmark type on a real map, by its categories.
QString mapTypeOf(const QString& type)
{
    if (type.startsWith("io/"))
        return QStringLiteral("ioScaler");
    if (type.startsWith("network/"))
        return QStringLiteral("networkScaler");
    return QStringLiteral("scaler");
}

/// A manager holding infos as scalers (in the IO and network categories where infos say so).
void loadAsScalers(DeviceManager& manager, QList<DeviceInfo> infos)
{
    manager.registerDeviceType("ioScaler", DeviceTypeInfo{{"IO"}, QString()}, []() { return new ScalerDevice(); });
    manager.registerDeviceType("networkScaler", DeviceTypeInfo{{"network"}, QString()},
                               []() { return new ScalerDevice(); });
    for (DeviceInfo& info : infos) {
        info.type = mapTypeOf(info.type);
        info.connectionStrings.clear();
    }
    loadGraph(manager, infos);
}

/// A layout file with every device on a grid and clusters over bands of its rows, as addMapClusters() has them.
void writeMapLayout(const QString& path, int devices)
{
    QSettings layout(path, QSettings::IniFormat);
    QStringList clusterNames;
    for (int i = 0; i < devices; ++i)
        layout.setValue(deviceName(i) + QStringLiteral("/rect"),
                        QRect(200 * (i % gridColumns) + 20, 80 * (i / gridColumns) + 20, 150, 40));
    const int rows = (devices + gridColumns - 1) / gridColumns;
    const int groups = groupCount(devices);
    for (int g = 0; g < groups; ++g) {
        const QString name = QStringLiteral("cluster_%1").arg(g);
        const int firstRow = rows * g / groups;
        const int lastRow = rows * (g + 1) / groups;
        clusterNames.append(name);
        layout.setValue(QStringLiteral("Clusters/%1/rect").arg(name),
                        QRect(10, 80 * firstRow + 10, 200 * gridColumns, 80 * (lastRow - firstRow) - 10));
    }
    layout.setValue(QStringLiteral("Clusters/ClusterNames"), clusterNames);
}

void benchMapRearrangement(QTextStream& out, const QList<int>& deviceCounts, const QList<LayoutGraph::Type>& types)
{
    out << Qt::endl
        << "Rearranging a shown 1280 x 720 map (redo: the operation's first run as the push makes it)" << Qt::endl;
    out << cell("devices", 9) << cell("type", 18) << cell("clusters", 10) << "  layout ms" << "    redo ms"
        << "    undo ms" << "  redo again ms" << Qt::endl;
    for (int count : deviceCounts) {
        if (count > 5000)
            continue;
        QTemporaryDir dir;
        const QString layoutPath = dir.filePath(QStringLiteral("map.ini"));
        writeMapLayout(layoutPath, count);
        DeviceManager manager;
        loadAsScalers(manager, pipelineDevices(count));
        DeviceMapWidget map(&manager, layoutPath);
        map.resize(1280, 720);
        map.show();
        QApplication::processEvents();
        const QStringList names = manager.getDeviceNames();
        for (LayoutGraph::Type type : types) {
            QThreadPool::globalInstance()->waitForDone();
            QElapsedTimer timer;
            timer.start();
            const DevicesArrangement after = map.rearrangeDevices(names, DeviceMapWidget::LayoutType(type));
            const qint64 layoutTime = timer.nsecsElapsed();
            const DevicesArrangement before = map.getAllDevicesArrangement();
            timer.restart();
            map.pushOperation(new RearrangeGraphOperation(&map, before, after, map.sceneRect()));
            const qint64 redoTime = timer.nsecsElapsed();
            timer.restart();
            map.getUndoStack()->undo();
            const qint64 undoTime = timer.nsecsElapsed();
            timer.restart();
            map.getUndoStack()->redo();
            const qint64 redoAgainTime = timer.nsecsElapsed();
            out << cell(QString::number(count), 9) << cell(typeName(type), 18)
                << cell(QString::number(after.clusterRects.size()), 10) << milliseconds(layoutTime)
                << milliseconds(redoTime) << milliseconds(undoTime) << milliseconds(redoAgainTime).rightJustified(15)
                << Qt::endl;
            // The next type starts from the map as the layout file has it.
            map.getUndoStack()->undo();
        }
        forgetUnplacedDevices();
    }
    out << "  (the map's layout call includes the graph's build from the manager; ClusterByGuiArea finds no GUI"
           " devices here)"
        << Qt::endl;
}

/// A small graph as a user rearranges it: a pipeline of devices, with labelled groups where withGroups.
LayoutGraph smallGraph(int devices, bool withGroups)
{
    return buildGraph(pipelineDevices(devices), withGroups ? LayoutGraph::ClusterByIO : LayoutGraph::Hierarchical);
}

QString cpuCell(qint64 nanoseconds)
{
    return QString::number(nanoseconds / 1e6, 'f', 2).rightJustified(11);
}

/**
 * What running Graphviz in the layout program costs against running it in this process, in
 * CPU time of both processes (getrusage of this one and of its waited-for children), measured
 * in the same run: the fixed cost of a run with and without cluster labels, and every type at
 * 1,000 devices with the shares of the program's start and of the text passed to and from it.
 */
void benchProcessCost(QTextStream& out)
{
    out << Qt::endl
        << "Graphviz in the layout program against Graphviz in this process (CPU of both processes, medians)"
        << Qt::endl;
    out << cell("graph", 34) << cell("method", 44) << "   program" << " in process" << "   more ms" << "    ratio"
        << "  goal" << Qt::endl;
    GraphPlacement unused;
    const qint64 start = medianCpu(21, [&]() { GraphvizLayout::run(LayoutGraph(), GraphvizLayout::Settings(), &unused); });
    out << cell("empty graph (the program's start)", 34) << cell("", 44) << cpuCell(start) << Qt::endl;
    for (bool withGroups : {false, true}) {
        const LayoutGraph graph = smallGraph(10, withGroups);
        layOutInProcess(graph); // Graphviz's set-up, once for the process
        GraphLayoutAdapter::Result result;
        qint64 program = 0;
        qint64 inProcess = 0;
        medianPair(31, [&]() { result = GraphLayoutAdapter::layOut(graph); }, [&]() { layOutInProcess(graph); },
                   &program, &inProcess);
        const qint64 more = program - inProcess;
        out << cell(withGroups ? QStringLiteral("10 devices, %1 labelled clusters").arg(graph.groups.size())
                               : QStringLiteral("10 devices, no clusters"),
                    34)
            << cell(result.method, 44) << cpuCell(program) << cpuCell(inProcess) << cpuCell(more).rightJustified(10)
            << ratio(program, inProcess).rightJustified(9) << "  <= 3 ms more: " << (more <= 3000000 ? "met" : "MISSED")
            << Qt::endl;
    }
    out << cell("1,000-device pipeline", 34) << cell("", 44) << "   program" << " in process" << "   more ms" << "    ratio"
        << "  goal            start %  text %" << Qt::endl;
    const QList<DeviceInfo> infos = pipelineDevices(1000);
    for (LayoutGraph::Type type : {LayoutGraph::Hierarchical, LayoutGraph::Orthogonal, LayoutGraph::ClusterByIO,
                                   LayoutGraph::ClusterByGuiArea, LayoutGraph::FixedClusters}) {
        const LayoutGraph graph = buildGraph(infos, type);
        GraphLayoutAdapter::Result result;
        qint64 program = 0;
        qint64 inProcess = 0;
        medianPair(9, [&]() { result = GraphLayoutAdapter::layOut(graph); }, [&]() { layOutInProcess(graph); },
                   &program, &inProcess);
        // The job as the layout sends it and the drawing the program answers, each written and read.
        const LayoutPlan plan = LayoutPlan::of(graph, "dot");
        const GraphvizJob job = GraphvizLayout::jobOf(plan.groupsAsStrips ? graph.withoutGroups() : graph, plan.settings);
        ProgramDrawing drawing;
        std::string error;
        GraphvizDrawer::draw(programJobOf(job), &drawing, &error, GraphvizDrawer::Teardown::Free);
        const qint64 text = medianCpu(21, [&]() {
            const QByteArray jobText = job.toText();
            ProgramJob jobRead;
            ProgramJob::read(std::string_view(jobText.constData(), size_t(jobText.size())), &jobRead, &error);
            const std::string drawingText = drawing.text();
            GraphvizDrawing drawingRead;
            QString failure;
            QString readError;
            GraphvizDrawing::fromText(QByteArray::fromRawData(drawingText.data(), int(drawingText.size())),
                                      &drawingRead, &failure, &readError);
        });
        const bool met = program <= inProcess + inProcess / 20;
        out << cell(typeName(type), 34) << cell(result.method.left(43), 44) << cpuCell(program) << cpuCell(inProcess)
            << cpuCell(program - inProcess).rightJustified(10) << ratio(program, inProcess).rightJustified(9)
            << "  <= 1.05: " << (met ? "met   " : "MISSED") << QString::number(100.0 * start / program, 'f', 1).rightJustified(10)
            << QString::number(100.0 * text / program, 'f', 1).rightJustified(8) << Qt::endl;
    }
    out << "  (program: the map's layout call with Graphviz in the layout program; in process: the same plan and"
           " job drawn by the same drawer in this process; start: an empty graph laid out by the program; text:"
           " the job and its drawing written and read)"
        << Qt::endl;
}

} // namespace

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    // A layout past its deadline tells the user in a box: nobody is there to close it.
    ZenticMessageBox::AnswerGuard closeBoxes(ZenticMessageBox::AnswerGuard::AcceptRole);
    QTextStream out(stdout);
    QList<LayoutGraph::Type> types{LayoutGraph::Hierarchical, LayoutGraph::Orthogonal, LayoutGraph::ClusterByIO,
                                   LayoutGraph::ClusterByGuiArea, LayoutGraph::FixedClusters};
    if (qEnvironmentVariableIsSet("BENCH_TYPE"))
        types = {LayoutGraph::Type(qEnvironmentVariableIntValue("BENCH_TYPE"))};
    QList<GraphKind> kinds = graphKinds();
    if (qEnvironmentVariableIsSet("BENCH_GRAPH")) {
        const QString name = qEnvironmentVariable("BENCH_GRAPH");
        kinds.erase(std::remove_if(kinds.begin(), kinds.end(), [&](const GraphKind& kind) { return kind.name != name; }),
                    kinds.end());
    }
    if (qEnvironmentVariableIsSet("BENCH_DEVICES")) {
        const int count = qEnvironmentVariableIntValue("BENCH_DEVICES");
        for (GraphKind& kind : kinds) {
            const bool compared = kind.comparedCounts.contains(count) || !kind.otherCounts.contains(count);
            kind.comparedCounts = compared ? QList<int>{count} : QList<int>();
            kind.otherCounts = compared ? QList<int>() : QList<int>{count};
        }
    }
    const int runs = qEnvironmentVariableIsSet("BENCH_RUNS") ? std::max(1, qEnvironmentVariableIntValue("BENCH_RUNS")) : 3;
    DotRuns dotRuns;
    if (qEnvironmentVariableIsSet("BENCH_DOT_UPTO"))
        dotRuns.turnedUpTo = dotRuns.plainUpTo = qEnvironmentVariableIntValue("BENCH_DOT_UPTO");
    if (qEnvironmentVariableIsSet("BENCH_PLAIN_DOT_UPTO"))
        dotRuns.plainUpTo = std::min(dotRuns.plainUpTo, qEnvironmentVariableIntValue("BENCH_PLAIN_DOT_UPTO"));
    if (qgetenv("BENCH_DOT") == "0")
        dotRuns.turnedUpTo = dotRuns.plainUpTo = 0;
    if (qEnvironmentVariableIsSet("BENCH_DOT_SECONDS"))
        dotRuns.seconds = std::max(1, qEnvironmentVariableIntValue("BENCH_DOT_SECONDS"));

    benchAgainstDot(out, kinds, types, runs, dotRuns);
    benchOtherGraphs(out, kinds, types);
    QList<int> mapCounts;
    for (const GraphKind& kind : kinds) {
        if (kind.name == QLatin1String("pipeline"))
            mapCounts = kind.comparedCounts;
    }
    if (!mapCounts.isEmpty() && qgetenv("BENCH_MAP") != "0")
        benchMapRearrangement(out, mapCounts, types);
    if (qgetenv("BENCH_PROCESS") != "0")
        benchProcessCost(out);
    return 0;
}
