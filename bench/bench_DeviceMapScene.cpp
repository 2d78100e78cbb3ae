// Building the device map's scene from the framework stand-in, and rewriting its layout file.
#include "BenchMapGraph.h"
#include "DeviceConnectionItem.h"
#include "DeviceMapWidget.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <QTextStream>

namespace {

// n scalers, each feeding the next two: twice as many links as devices, placed on the grid.
QStringList buildGraph(DeviceManager& manager, const QString& layoutPath, int deviceCount)
{
    const QStringList names = loadScalerGraph(manager, deviceCount, {1, 2});
    writeGridPlaces(layoutPath, names);
    return names;
}

void benchSceneBuilding(QTextStream& out, int deviceCount)
{
    QTemporaryDir dir;
    const QString layoutPath = dir.filePath(QStringLiteral("map.ini"));
    DeviceManager manager;
    const QStringList names = buildGraph(manager, layoutPath, deviceCount);

    QElapsedTimer timer;
    timer.start();
    {
        DeviceMapWidget map(&manager, layoutPath);
        const qint64 buildMs = timer.elapsed();
        out << QStringLiteral("scene of %1 devices and %2 links built in %3 ms\n")
                   .arg(map.getDeviceItems().size())
                   .arg(deviceCount * 2)
                   .arg(buildMs);
        out.flush();

        // A new link makes the manager report both ends changed; each report re-checks every link.
        timer.restart();
        manager.addDeviceConnection(names.at(0), names.at(deviceCount / 2), QString(), QString());
        out << QStringLiteral("one new link on that map followed in %1 ms\n").arg(timer.elapsed());
        out.flush();
        timer.restart();
    }
    forgetUnplacedDevices();
}

void benchLayoutRewrite(QTextStream& out, int deviceCount)
{
    QTemporaryDir dir;
    const QString layoutPath = dir.filePath(QStringLiteral("map.ini"));
    DeviceManager manager;
    const QStringList names = buildGraph(manager, layoutPath, deviceCount);
    DeviceMapWidget map(&manager, layoutPath);
    map.getConnection(names.at(0), names.at(1))->setBendingPoints({QPointF(10, 400), QPointF(300, 400)});

    const int rounds = 10;
    QElapsedTimer timer;
    timer.start();
    for (int round = 0; round < rounds; ++round) {
        map.getDeviceItems().value(names.at(round))->placeDevice(QPointF(round * 7, 900));
        QMetaObject::invokeMethod(&map, "saveLayout");
    }
    out << QStringLiteral("layout file of a %1-device map rewritten after one edit in %2 ms (mean of %3)\n")
               .arg(deviceCount)
               .arg(double(timer.elapsed()) / rounds, 0, 'f', 1)
               .arg(rounds);
    out.flush();
}

} // namespace

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    QTextStream out(stdout);
    benchSceneBuilding(out, 1000);
    benchSceneBuilding(out, 5000);
    benchLayoutRewrite(out, 1000);
    return 0;
}
