// Building the device map's scene from the framework stand-in, and rewriting its layout file.
#include "DeviceConnectionItem.h"
#include "DeviceManager.h"
#include "DeviceMapWidget.h"
#include "DeviceNodeItem.h"
#include "YamlSerialiser.h"

#include <QBuffer>

#include <QApplication>
#include <QElapsedTimer>
#include <QSettings>
#include <QTemporaryDir>
#include <QTextStream>

namespace {

// n scalers, each feeding the next two: twice as many links as devices. Loaded as one YAML
// graph under fixed names, so that the figures are the map's and not the manager's naming.
QStringList buildGraph(DeviceManager& manager, int deviceCount)
{
    QStringList names;
    for (int i = 0; i < deviceCount; ++i)
        names << QStringLiteral("scaler%1").arg(i + 1);
    QBuffer header;
    YamlSerialiser::writeConfigVersion(&header);
    QString text = QString::fromUtf8(header.data());
    for (int i = 0; i < deviceCount; ++i) {
        DeviceInfo info;
        info.name = names.at(i);
        info.type = QStringLiteral("scaler");
        for (int step = 1; step <= 2; ++step) {
            Connection link;
            link.device = names.at((i + step) % deviceCount);
            link.signal = QStringLiteral("output(double)");
            link.slot = QStringLiteral("input(double)");
            info.outgoingConnections.append(link);
        }
        text += YamlSerialiser::serialise(info);
    }
    if (!manager.loadYamlFromString(text))
        qFatal("The benchmark graph did not load");
    return names;
}

void writePlaces(const QString& layoutPath, const QStringList& names)
{
    QSettings layout(layoutPath, QSettings::IniFormat);
    for (int i = 0; i < names.size(); ++i)
        layout.setValue(names.at(i) + QStringLiteral("/rect"), QRect((i % 50) * 120, (i / 50) * 60, 80, 30));
}

void benchSceneBuilding(QTextStream& out, int deviceCount)
{
    QTemporaryDir dir;
    const QString layoutPath = dir.filePath(QStringLiteral("map.ini"));
    DeviceManager manager;
    const QStringList names = buildGraph(manager, deviceCount);
    writePlaces(layoutPath, names);

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
    DeviceNodeItem::setUnplacedDevices(QStringList());
}

void benchLayoutRewrite(QTextStream& out, int deviceCount)
{
    QTemporaryDir dir;
    const QString layoutPath = dir.filePath(QStringLiteral("map.ini"));
    DeviceManager manager;
    const QStringList names = buildGraph(manager, deviceCount);
    writePlaces(layoutPath, names);
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
