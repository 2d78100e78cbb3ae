// Prints how long DeviceManager takes to build, describe, save, load, paste into and thin out a
// graph of N sample devices with two links each (N = 1,000 and 5,000, or the sizes given on
// the command line). Figures only; nothing is asserted.

#include "BenchDeviceGraph.h"
#include "BenchReport.h"
#include "DeviceManager.h"

#include <QElapsedTimer>
#include <QFileInfo>
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
    return result;
}
