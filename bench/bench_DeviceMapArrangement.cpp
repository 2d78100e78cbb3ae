// Capturing the arrangement of every device of a large map, as copying, export and the
// rearrangement's before-state do.
#include "ArrangementCapture.h"
#include "BenchMapGraph.h"
#include "BenchReport.h"
#include "DeviceMapWidget.h"
#include "MapItemIndex.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QSettings>
#include <QTemporaryDir>
#include <QTextStream>

namespace {

void benchCapture(QTextStream& out, int deviceCount)
{
    QTemporaryDir dir;
    const QString layoutPath = dir.filePath(QStringLiteral("map.ini"));
    DeviceManager manager;
    // n scalers, each feeding the next and the one 50 further on: twice as many links as devices.
    writeGridPlaces(layoutPath, loadScalerGraph(manager, deviceCount));
    {
        QSettings layout(layoutPath, QSettings::IniFormat);
        layout.setValue(QStringLiteral("Clusters/ClusterNames"), QStringList{QStringLiteral("left")});
        layout.setValue(QStringLiteral("Clusters/left/rect"), QRect(-20, -20, 600, 4000));
    }
    DeviceMapWidget map(&manager, layoutPath);

    const int rounds = 5;
    qint64 best = std::numeric_limits<qint64>::max();
    int links = 0;
    for (int round = 0; round < rounds; ++round) {
        QElapsedTimer timer;
        timer.start();
        const DevicesArrangement all = map.getAllDevicesArrangement();
        best = std::min(best, timer.nsecsElapsed());
        links = all.connections.size();
        if (all.devices.size() != deviceCount)
            qFatal("The capture missed devices");
    }
    report(out, QStringLiteral("capture all %1 devices (%2 links), best of %3").arg(deviceCount).arg(links).arg(rounds),
           best, 1);
    out << QStringLiteral("  goal: under 100 ms for 5,000 devices\n");
    out.flush();
    forgetUnplacedDevices();
}

} // namespace

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    QTextStream out(stdout);
    benchCapture(out, 1000);
    benchCapture(out, 5000);
    return 0;
}
