// What devices kept as text (their type unknown to the manager) cost: one graph of N devices
// with two links each (N = 20,000, or the size given on the command line), its text loaded
// once with every type known and once with a tenth of the devices of an unknown type, the
// text otherwise the same. For each, in the same run: the load, a save, and the removal of
// every device of the manager one by one. Each line gives the ratio of the graph with kept
// devices to the one without; kept devices should cost in proportion to what they hold, so
// every ratio stays near 1. CPU time, medians of a few runs. Figures only; nothing is asserted.

#include "BenchDeviceGraph.h"
#include "BenchReport.h"
#include "DeviceManager.h"

#include <QStringList>
#include <QTextStream>

#include <ctime>

namespace {

using namespace BenchDeviceGraph;

constexpr int runs = 5;
constexpr int savesPerLoad = 3;

QString nameOf(int index)
{
    return QStringLiteral("device%1").arg(index + 1);
}

// The graph as a save writes it, each link at both ends; every tenth device of type "pump"
// when withUnknownTypes.
QString graphText(int count, bool withUnknownTypes)
{
    QVector<QStringList> incoming(count);
    QVector<QStringList> outgoing(count);
    for (int source = 0; source < count; ++source) {
        for (int target : {targetFrom(source + 1, source, count), targetFrom(source + count / 2 + 3, source, count)}) {
            outgoing[source].append(nameOf(target) + "." + slotOf(target) + "<this." + signalOf(source));
            incoming[target].append("this." + slotOf(target) + "<" + nameOf(source) + "." + signalOf(source));
        }
    }
    QString text = QStringLiteral("config_version: 2\n");
    for (int i = 0; i < count; ++i) {
        const bool unknown = withUnknownTypes && i % 10 == 5;
        text += nameOf(i) + ":\n  type: " + (unknown ? QStringLiteral("pump") : QString::fromLatin1(typeOf(i)))
            + "\n  initialised: false\n";
        if (!incoming.at(i).isEmpty())
            text += "  connections:\n    - \"" + incoming.at(i).join("\"\n    - \"") + "\"\n";
        if (!outgoing.at(i).isEmpty())
            text += "  outgoing:\n    - \"" + outgoing.at(i).join("\"\n    - \"") + "\"\n";
    }
    return text;
}

qint64 cpuNanoseconds()
{
    return qint64(std::clock()) * (1000000000LL / CLOCKS_PER_SEC);
}

struct Steps
{
    QList<qint64> load;
    QList<qint64> save;
    QList<qint64> removeAll;
    int kept = 0;
    int savedLength = 0;
};

void measure(const QString& text, Steps& steps)
{
    DeviceManager manager;
    qint64 start = cpuNanoseconds();
    if (!manager.loadYamlFromString(text))
        qFatal("The benchmark graph did not load");
    steps.load.append(cpuNanoseconds() - start);
    steps.kept = manager.getKeptDeviceNames().size();

    // A save changes nothing: each load is saved a few times, for steadier figures.
    for (int save = 0; save < savesPerLoad; ++save) {
        start = cpuNanoseconds();
        steps.savedLength = manager.toYamlString().size();
        steps.save.append(cpuNanoseconds() - start);
    }

    const QStringList names = manager.getDeviceNames();
    start = cpuNanoseconds();
    for (const QString& name : names)
        manager.removeDevice(name);
    steps.removeAll.append(cpuNanoseconds() - start);
}

void compare(QTextStream& out, const QString& step, const QList<qint64>& none, const QList<qint64>& kept)
{
    report(out, QStringLiteral("%1, every type known").arg(step), median(none), 1);
    report(out, QStringLiteral("%1, a tenth kept as text").arg(step), median(kept), 1);
    out << "kept / none: " << step << " " << QString::number(double(median(kept)) / double(median(none)), 'f', 2)
        << Qt::endl;
}

} // namespace

int main(int argc, char** argv)
{
    ConsoleBenchmark bench(argc, argv);
    // Every kept device is logged once per load; the terminal is not what is measured.
    qInstallMessageHandler([](QtMsgType, const QMessageLogContext&, const QString&) {});
    int count = 20000;
    if (argc > 1 && bench.app.arguments().at(1).toInt() >= deviceTypeCount)
        count = bench.app.arguments().at(1).toInt();
    const QString known = graphText(count, false);
    const QString withKept = graphText(count, true);

    Steps none;
    Steps kept;
    for (int run = 0; run < runs; ++run) {
        // Each graph measured first every other run: neither always finds the heap the other left.
        if (run % 2 == 0) {
            measure(known, none);
            measure(withKept, kept);
        } else {
            measure(withKept, kept);
            measure(known, none);
        }
    }
    bench.out << "DeviceManager with " << count << " devices, " << 2 * count << " links, " << kept.kept
              << " of them kept as text; CPU time, medians of " << runs << " runs" << Qt::endl;
    compare(bench.out, QStringLiteral("load"), none.load, kept.load);
    compare(bench.out, QStringLiteral("save"), none.save, kept.save);
    compare(bench.out, QStringLiteral("remove"), none.removeAll, kept.removeAll);
    bench.out << "saved text: " << none.savedLength << " characters, " << kept.savedLength << " with kept devices" << Qt::endl;
    return none.savedLength > 0 && kept.savedLength > 0 ? 0 : 1;
}
