// Capturing the arrangement of every device of a large map, as copying, export and the
// rearrangement's before-state do.
#include "ArrangementCapture.h"
#include "BenchReport.h"
#include "DeviceManager.h"
#include "DeviceMapWidget.h"
#include "DeviceNodeItem.h"
#include "MapItemIndex.h"
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

void benchCapture(QTextStream& out, int deviceCount)
{
    QTemporaryDir dir;
    const QString layoutPath = dir.filePath(QStringLiteral("map.ini"));
    DeviceManager manager;
    const QStringList names = buildGraph(manager, deviceCount);
    {
        QSettings layout(layoutPath, QSettings::IniFormat);
        for (int i = 0; i < names.size(); ++i)
            layout.setValue(names.at(i) + QStringLiteral("/rect"), QRect((i % 50) * 120, (i / 50) * 60, 80, 30));
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
    DeviceNodeItem::setUnplacedDevices(QStringList());
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
