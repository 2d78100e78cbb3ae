// Prints how long DeviceManager takes to build, describe, save, load, paste into and thin out a
// graph of N sample devices with two links each (N = 1,000 and 5,000, or the sizes given on
// the command line). Then the load of a text whose first devices get fresh names before as
// many devices named as the manager names them ("<type><number>"), for 1,000 and 4,000 fresh
// names, beside the same text whose first devices keep their names, and the growth from 1,000
// to 4,000: a load that costs in proportion to the text grows about 4 times. Figures only;
// nothing is asserted.

#include "BenchDeviceGraph.h"
#include "BenchReport.h"
#include "DeviceManager.h"

#include <QElapsedTimer>
#include <QFileInfo>
#include <QHash>
#include <QStringList>
#include <QTemporaryDir>
#include <QTextStream>

namespace {

using namespace BenchDeviceGraph;

int runGraph(QTextStream& out, int count, const QString& directory)
{
    DeviceManager manager;
    QElapsedTimer timer;
    out << "DeviceManager with " << count << " devices, " << 2 * count << " links" << Qt::endl;

    QStringList names;
    timer.start();
    for (int i = 0; i < count; ++i)
        names.append(manager.createDevice(QString::fromLatin1(typeOf(i)), false));
    report(out, "createDevice", timer.nsecsElapsed(), count);

    int joined = 0;
    timer.start();
    for (int i = 0; i < count; ++i) {
        const int target = targetFrom(i + 1, i, count);
        joined += manager.addConnection(names.at(i), names.at(target), signalOf(i), slotOf(target)) ? 1 : 0;
    }
    report(out, "addConnection, explicit pair", timer.nsecsElapsed(), count);

    timer.start();
    for (int i = 0; i < count; ++i) {
        const int target = targetFrom(i + count / 2 + 3, i, count);
        joined += manager.addDeviceConnection(names.at(i), names.at(target), QString(), QString()) ? 1 : 0;
    }
    report(out, "addDeviceConnection, plain join", timer.nsecsElapsed(), count);

    int connectionCount = 0;
    timer.start();
    for (const QString& name : manager.getDeviceNames())
        connectionCount += manager.getDeviceInfo(name).incomingConnections.size();
    report(out, "getDeviceInfo, every device", timer.nsecsElapsed(), count);

    timer.start();
    for (const QString& name : names)
        connectionCount += manager.getDeviceInfo(name.toUpper()).outgoingConnections.size();
    report(out, "getDeviceInfo, other case", timer.nsecsElapsed(), count);

    const QString path = directory + QStringLiteral("/graph%1.yaml").arg(count);
    timer.start();
    const bool saved = manager.saveYamlConfig(path);
    report(out, "saveYamlConfig", timer.nsecsElapsed(), 1);

    timer.start();
    const bool loaded = manager.loadYamlConfig(path);
    report(out, "loadYamlConfig, replacing the graph", timer.nsecsElapsed(), 1);

    // A tenth of the graph pasted again: every name is taken, so each device gets a fresh one.
    const int pasteCount = count / 10;
    QString pasteText = manager.toYamlString();
    pasteText.truncate(pasteText.indexOf(QLatin1String("\n") + names.at(pasteCount) + QLatin1Char(':')) + 1);
    timer.start();
    const int pasted = manager.pasteDevicesFromString(pasteText, 0).size();
    report(out, QStringLiteral("pasteDevicesFromString, %1 devices").arg(pasteCount), timer.nsecsElapsed(), pasted);

    const QStringList allNames = manager.getDeviceNames();
    int removed = 0;
    timer.start();
    for (int i = 0; i < allNames.size(); i += 2)
        removed += manager.removeDevice(allNames.at(i)) ? 1 : 0;
    report(out, "removeDevice, every other one", timer.nsecsElapsed(), removed);

    out << "links joined: " << joined << ", connections listed: " << connectionCount << ", saved: "
        << (saved ? "yes" : "no") << " (" << QFileInfo(path).size() << " bytes), loaded: " << (loaded ? "yes" : "no")
        << ", pasted: " << pasted << ", removed: " << removed << ", left: " << manager.getDeviceNames().size()
        << Qt::endl
        << Qt::endl;
    return saved && loaded && pasted == pasteCount ? 0 : 1;
}

constexpr int freshNameRuns = 3;

// count devices of the sample types, then count more named "<type><number>" as the manager
// names them. With fresh true the first ones are named as no device may be ("fresh.1"), so
// each is given a fresh name of its type, which must pass over the names still to come.
QString freshNamesText(int count, bool fresh)
{
    QString text = QStringLiteral("config_version: 2\n");
    auto addDevice = [&text](const QString& name, const QString& type) {
        text += name + QStringLiteral(":\n  type: ") + type + QStringLiteral("\n  initialised: false\n");
    };
    for (int i = 0; i < count; ++i)
        addDevice((fresh ? QStringLiteral("fresh.%1") : QStringLiteral("named%1")).arg(i + 1), QString::fromLatin1(typeOf(i)));
    QHash<QString, int> numbers;
    for (int i = 0; i < count; ++i) {
        const QString type = QString::fromLatin1(typeOf(i));
        addDevice(type + QString::number(++numbers[type]), type);
    }
    return text;
}

qint64 loadTime(const QString& text, int expectedDevices)
{
    QList<qint64> times;
    for (int run = 0; run < freshNameRuns; ++run) {
        DeviceManager manager;
        QElapsedTimer timer;
        timer.start();
        const bool loaded = manager.loadYamlFromString(text);
        times.append(timer.nsecsElapsed());
        if (!loaded || manager.getDeviceNames().size() != expectedDevices)
            return -1;
    }
    return median(times);
}

int runFreshNames(QTextStream& out)
{
    // Each fresh name is logged; the terminal is not what is measured.
    const QtMessageHandler previous = qInstallMessageHandler([](QtMsgType, const QMessageLogContext&, const QString&) {});
    QList<qint64> freshTimes;
    QList<qint64> namedTimes;
    const QList<int> counts{1000, 4000};
    for (int count : counts) {
        freshTimes.append(loadTime(freshNamesText(count, true), 2 * count));
        namedTimes.append(loadTime(freshNamesText(count, false), 2 * count));
    }
    qInstallMessageHandler(previous);
    out << "Fresh names at load, medians of " << freshNameRuns << " runs" << Qt::endl;
    for (int i = 0; i < counts.size(); ++i) {
        const int count = counts.at(i);
        report(out, QStringLiteral("load, %1 fresh names, %1 <type><number>").arg(count), freshTimes.at(i), 2 * count);
        report(out, QStringLiteral("load, %1 kept names, %1 <type><number>").arg(count), namedTimes.at(i), 2 * count);
        out << "fresh / kept names, " << count << ": "
            << QString::number(double(freshTimes.at(i)) / double(namedTimes.at(i)), 'f', 2) << Qt::endl;
    }
    out << "growth from " << counts.first() << " to " << counts.last() << " fresh names: "
        << QString::number(double(freshTimes.last()) / double(freshTimes.first()), 'f', 2) << " (kept names: "
        << QString::number(double(namedTimes.last()) / double(namedTimes.first()), 'f', 2) << ", "
        << QString::number(double(counts.last()) / counts.first(), 'f', 0) << " when linear)" << Qt::endl;
    const bool loaded = !freshTimes.contains(-1) && !namedTimes.contains(-1);
    if (!loaded)
        out << "a text did not load as expected" << Qt::endl;
    return loaded ? 0 : 1;
}

} // namespace

int main(int argc, char** argv)
{
    ConsoleBenchmark bench(argc, argv);
    QTemporaryDir dir;
    QList<int> counts;
    for (const QString& argument : bench.app.arguments().mid(1)) {
        const int count = argument.toInt();
        if (count >= deviceTypeCount)
            counts.append(count);
    }
    if (counts.isEmpty())
        counts = {1000, 5000};
    int result = 0;
    for (int count : qAsConst(counts))
        result |= runGraph(bench.out, count, dir.path());
    result |= runFreshNames(bench.out);
    return result;
}
