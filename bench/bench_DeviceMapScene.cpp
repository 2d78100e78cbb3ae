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

// The mean time of rewriting the layout file after one edit. Every keptEvery-th device (none
// when 0) is of a type the manager does not know: kept as text, it keeps its place in the file.
double layoutRewriteMs(int deviceCount, int keptEvery)
{
    QTemporaryDir dir;
    const QString layoutPath = dir.filePath(QStringLiteral("map.ini"));
    DeviceManager manager;
    QList<DeviceInfo> infos = scalerInfos(deviceCount, {1, 2});
    for (int i = 0; keptEvery > 0 && i < infos.size(); ++i) {
        if (i % keptEvery == keptEvery / 2)
            infos[i].type = QStringLiteral("pump");
    }
    // The manager names each device it keeps; the figures are not to drown in those lines.
    const QtMessageHandler logging = qInstallMessageHandler([](QtMsgType, const QMessageLogContext&, const QString&) {});
    loadGraph(manager, infos);
    qInstallMessageHandler(logging);
    const QStringList names = scalerNames(deviceCount);
    writeGridPlaces(layoutPath, names);
    DeviceMapWidget map(&manager, layoutPath);
    map.getConnection(names.at(0), names.at(1))->setBendingPoints({QPointF(10, 400), QPointF(300, 400)});
    const QMap<QString, DeviceNodeItem*> shown = map.getDeviceItems();

    const int rounds = 10;
    QElapsedTimer timer;
    timer.start();
    for (int round = 0; round < rounds; ++round) {
        shown.value(shown.keys().at(round))->placeDevice(QPointF(round * 7, 900));
        QMetaObject::invokeMethod(&map, "saveLayout");
    }
    const double meanMs = double(timer.nsecsElapsed()) / rounds / 1e6;
    forgetUnplacedDevices();
    return meanMs;
}

void benchLayoutRewrite(QTextStream& out, int deviceCount)
{
    const int keptEvery = 10;
    const double plain = layoutRewriteMs(deviceCount, 0);
    out << QStringLiteral("layout file of a %1-device map rewritten after one edit in %2 ms (mean of 10)\n")
               .arg(deviceCount)
               .arg(plain, 0, 'f', 1);
    const double withKept = layoutRewriteMs(deviceCount, keptEvery);
    out << QStringLiteral("  the same with every %1th device kept as text, its place written back: %2 ms, %3x "
                          "(goal: about 1x)\n")
               .arg(keptEvery)
               .arg(withKept, 0, 'f', 1)
               .arg(withKept / plain, 0, 'f', 2);
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
