// Removing every device of a map one by one: the map's work per removal must not grow with the map.
#include "BenchReport.h"
#include "DeviceManager.h"
#include "DeviceMapWidget.h"
#include "DeviceNodeItem.h"
#include "YamlSerialiser.h"

#include <QApplication>
#include <QBuffer>
#include <QElapsedTimer>
#include <QSettings>
#include <QTemporaryDir>
#include <QTextStream>

namespace {

// n scalers, each feeding the next and the one 50 further on: twice as many links as devices.
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
        for (int step : {1, 50}) {
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

// The time of removing every device in creation order through the manager, which reports each
// removal (and the peers' changed links) to the map.
qint64 removeAll(int deviceCount, bool placed, qint64* managerAloneNs)
{
    QTemporaryDir dir;
    const QString layoutPath = dir.filePath(QStringLiteral("map.ini"));
    DeviceManager manager;
    const QStringList names = buildGraph(manager, deviceCount);
    if (placed) {
        QSettings layout(layoutPath, QSettings::IniFormat);
        for (int i = 0; i < names.size(); ++i)
            layout.setValue(names.at(i) + QStringLiteral("/rect"), QRect((i % 50) * 120, (i / 50) * 60, 80, 30));
    }
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
    DeviceNodeItem::setUnplacedDevices(QStringList());

    // The same removals with no map listening: what the framework stand-in itself costs.
    DeviceManager alone;
    buildGraph(alone, deviceCount);
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
