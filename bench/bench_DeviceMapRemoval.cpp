// Removing every device of a map one by one: the map's work per removal must not grow with the map.
#include "BenchMapGraph.h"
#include "BenchReport.h"
#include "DeviceMapWidget.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <QTextStream>

namespace {

// The time of removing every device in creation order through the manager, which reports each
// removal (and the peers' changed links) to the map. The graph: n scalers, each feeding the next
// and the one 50 further on, twice as many links as devices.
qint64 removeAll(int deviceCount, bool placed, qint64* managerAloneNs)
{
    QTemporaryDir dir;
    const QString layoutPath = dir.filePath(QStringLiteral("map.ini"));
    DeviceManager manager;
    const QStringList names = loadScalerGraph(manager, deviceCount);
    if (placed)
        writeGridPlaces(layoutPath, names);
    qint64 elapsed = 0;
    {
        DeviceMapWidget map(&manager, layoutPath);
        // A map on screen has had its items polished and its updates processed by then.
        QCoreApplication::processEvents();
        QElapsedTimer timer;
        timer.start();
        for (const QString& name : names)
            manager.removeDevice(name);
        elapsed = timer.nsecsElapsed();
        if (!map.getDeviceItems().isEmpty())
            qFatal("The map kept devices");
    }
    forgetUnplacedDevices();

    // The same removals with no map listening: what the framework stand-in itself costs.
    DeviceManager alone;
    loadScalerGraph(alone, deviceCount);
    QElapsedTimer timer;
    timer.start();
    for (const QString& name : names)
        alone.removeDevice(name);
    *managerAloneNs = timer.nsecsElapsed();
    return elapsed;
}

} // namespace

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    QTextStream out(stdout);
    for (const bool placed : {true, false}) {
        double perDevice[2] = {0, 0};
        int row = 0;
        for (const int count : {1000, 10000}) {
            qint64 managerAlone = 0;
            const qint64 withMap = removeAll(count, placed, &managerAlone);
            const QString what =
                QStringLiteral("remove %1 %2 devices one by one").arg(count).arg(placed ? "placed" : "unplaced");
            report(out, what, withMap, count);
            report(out, QStringLiteral("  of which the map (stand-in alone: %1 us/op)")
                            .arg(double(managerAlone) / count / 1e3, 0, 'f', 3),
                   withMap - managerAlone, count);
            perDevice[row++] = double(withMap - managerAlone) / count;
        }
        out << QStringLiteral("  map's cost per device, 10,000 over 1,000 devices: %1x (goal: at most 2x)\n")
                   .arg(perDevice[1] / perDevice[0], 0, 'f', 2);
        out.flush();
    }
    return 0;
}
