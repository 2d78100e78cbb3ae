// Capturing the arrangement of every device of a large map, as copying, export and the
// rearrangement's before-state do; and rearranging a densely linked map, whose cost must grow
// with its devices and links alone.
#include "ArrangementCapture.h"
#include "BenchMapGraph.h"
#include "BenchReport.h"
#include "DeviceMapWidget.h"
#include "MapItemIndex.h"
#include "RearrangeGraphOperation.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QGraphicsScene>
#include <QSet>
#include <QSettings>
#include <QTemporaryDir>
#include <QTextStream>
#include <QUndoStack>

#include <algorithm>

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

/// What the dense benchmark measured at one size: the rearrangements and their application.
struct DenseFigures
{
    int devices = 0;
    int links = 0;
    qint64 rearrangeNs = 0;
    qint64 applyNs = 0;
    qint64 indexNs = 0;
};

// n scalers, each feeding 20 others spread over the whole graph (a fixed pseudo-random choice,
// the same in every run), so that links reach across the drawing; every tenth also feeds back
// the one before it, so that opposite pairs come straight from the layout and are split.
QList<DeviceInfo> denseScalerInfos(int deviceCount)
{
    const QStringList names = scalerNames(deviceCount);
    QList<DeviceInfo> infos;
    quint32 state = 12345;
    for (int i = 0; i < deviceCount; ++i) {
        DeviceInfo info;
        info.name = names.at(i);
        info.type = QStringLiteral("scaler");
        QSet<int> targets;
        if (i % 10 == 0 && i > 0)
            targets.insert(i - 1);
        while (targets.size() < 20 + (i % 10 == 0 && i > 0 ? 1 : 0)) {
            state = state * 1664525u + 1013904223u;
            const int target = int((state >> 8) % quint32(deviceCount));
            if (target != i)
                targets.insert(target);
        }
        QList<int> ordered = targets.values();
        std::sort(ordered.begin(), ordered.end());
        for (int target : ordered)
            info.outgoingConnections.append(
                Connection{names.at(target), QStringLiteral("output(double)"), QStringLiteral("input(double)")});
        infos.append(info);
    }
    return infos;
}

DenseFigures benchDenseRearrangement(QTextStream& out, int deviceCount, bool shown)
{
    QTemporaryDir dir;
    const QString layoutPath = dir.filePath(QStringLiteral("map.ini"));
    DeviceManager manager;
    const QList<DeviceInfo> infos = denseScalerInfos(deviceCount);
    loadGraph(manager, infos);
    QStringList names;
    for (const DeviceInfo& info : infos)
        names.append(info.name);
    writeGridPlaces(layoutPath, names);
    // Not shown, as a host that keeps it in a closed tab has it; or shown, painted after each step.
    DeviceMapWidget map(&manager, layoutPath);
    if (shown) {
        map.resize(1280, 720);
        map.show();
        QCoreApplication::processEvents();
    }

    DenseFigures figures;
    figures.devices = deviceCount;
    QList<qint64> rounds;
    QList<qint64> indexings;
    map.scene()->items(QRectF(0, 0, 1, 1));
    for (int round = 0; round < 3; ++round) {
        QElapsedTimer timer;
        timer.start();
        map.rearrangeGraph(DeviceMapWidget::Hierarchical, false);
        if (shown)
            QCoreApplication::processEvents();
        rounds.append(timer.nsecsElapsed());
        // The scene indexes its items two seconds after the last change, or at once when asked
        // what lies somewhere, as the first paint does; a user's next Rearrange comes after that.
        timer.restart();
        map.scene()->items(QRectF(0, 0, 1, 1));
        indexings.append(timer.nsecsElapsed());
    }
    figures.rearrangeNs = median(rounds);
    figures.indexNs = median(indexings);

    // The application alone: the same arrangement pushed again, undone and redone.
    const DevicesArrangement arranged = map.getAllDevicesArrangement();
    figures.links = arranged.connections.size();
    QElapsedTimer timer;
    timer.start();
    map.pushOperation(new RearrangeGraphOperation(&map, arranged, arranged, map.sceneRect()));
    map.getUndoStack()->undo();
    map.getUndoStack()->redo();
    figures.applyNs = timer.nsecsElapsed() / 3;

    report(out,
           QStringLiteral("rearrange %1 dense devices (%2 links)%3, median of 3")
               .arg(deviceCount)
               .arg(figures.links)
               .arg(shown ? QStringLiteral(", shown") : QString()),
           figures.rearrangeNs, 1);
    report(out, QStringLiteral("  apply one rearrangement"), figures.applyNs, 1);
    report(out, QStringLiteral("  index the scene after it"), figures.indexNs, 1);
    out.flush();
    forgetUnplacedDevices();
    return figures;
}

void benchDenseScaling(QTextStream& out, const QList<int>& deviceCounts, bool shown)
{
    QList<DenseFigures> sizes;
    for (int deviceCount : deviceCounts)
        sizes.append(benchDenseRearrangement(out, deviceCount, shown));
    const DenseFigures& base = sizes.first();
    for (const DenseFigures& size : sizes) {
        const double growth = double(size.devices + size.links) / (base.devices + base.links);
        out << QStringLiteral("  %1 devices: %2x the graph, rearrangement %3x, application %4x, index %5x\n")
                   .arg(size.devices)
                   .arg(growth, 0, 'f', 2)
                   .arg(double(size.rearrangeNs) / base.rearrangeNs, 0, 'f', 2)
                   .arg(double(size.applyNs) / base.applyNs, 0, 'f', 2)
                   .arg(double(size.indexNs) / base.indexNs, 0, 'f', 2);
    }
    out << QStringLiteral("  goal: each ratio near the graph's (linear), and no step over a few seconds\n");
    out.flush();
}

} // namespace

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    QTextStream out(stdout);
    // Sizes named on the command line run the dense rearrangement alone, at those sizes.
    QList<int> denseCounts;
    for (const QString& argument : app.arguments().mid(1))
        denseCounts.append(argument.toInt());
    if (denseCounts.isEmpty()) {
        benchCapture(out, 1000);
        benchCapture(out, 5000);
        denseCounts = {2000, 4000, 8000};
    }
    benchDenseScaling(out, denseCounts, false);
    benchDenseScaling(out, denseCounts, true);
    return 0;
}
