// The map's big commands against what it costs to load the same graph and build its map, in the
// same run: deleting every device of a map and undoing that, and redoing the paste of a densely
// linked group. Each figure is a ratio to that baseline, so that it means the same on any machine;
// a cost that grows with the square of the work shows as a ratio that grows with the map.
#include "BenchMapGraph.h"
#include "BenchReport.h"
#include "DeviceMapParts.h"
#include "DeviceMapWidget.h"
#include "MapCommands.h"
#include "MapItemIndex.h"
#include "PasteDevicesOperation.h"
#include "ZenticMessageBox.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QGraphicsScene>
#include <QTemporaryDir>
#include <QTextStream>

#include <algorithm>

namespace {

constexpr int runs = 3;

// The baseline: the graph's text loaded by a fresh manager and its map built, with the layout
// file that places every device.
qint64 loadAndBuild(const QString& text, const QStringList& names)
{
    QTemporaryDir dir;
    const QString layoutPath = dir.filePath(QStringLiteral("map.ini"));
    writeGridPlaces(layoutPath, names);
    QElapsedTimer timer;
    timer.start();
    qint64 elapsed = 0;
    {
        DeviceManager manager;
        if (!manager.loadYamlFromString(text))
            qFatal("The benchmark graph did not load");
        DeviceMapWidget map(&manager, layoutPath);
        QCoreApplication::processEvents();
        elapsed = timer.nsecsElapsed();
    }
    forgetUnplacedDevices();
    return elapsed;
}

struct DeleteTimes
{
    qint64 deleteNs = 0;
    qint64 undoNs = 0;
};

// Every device selected and deleted by the map's delete command (the question answered), then
// the deletion undone. Events are processed inside each timed span: work left to the event loop counts.
DeleteTimes deleteAndUndo(const QString& text, const QStringList& names)
{
    QTemporaryDir dir;
    const QString layoutPath = dir.filePath(QStringLiteral("map.ini"));
    writeGridPlaces(layoutPath, names);
    DeviceManager manager;
    if (!manager.loadYamlFromString(text))
        qFatal("The benchmark graph did not load");
    DeleteTimes times;
    {
        DeviceMapWidget map(&manager, layoutPath);
        QCoreApplication::processEvents();
        for (DeviceNodeItem* item : map.getDeviceItems())
            item->setSelected(true);
        ZenticMessageBox::AnswerGuard confirm(ZenticMessageBox::AnswerGuard::AcceptRole);
        QElapsedTimer timer;
        timer.start();
        DeviceMapParts(map).commands().deleteSelectionOrItemUnderCursor();
        QCoreApplication::processEvents();
        times.deleteNs = timer.nsecsElapsed();
        if (!map.getDeviceItems().isEmpty() || !manager.getDeviceNames().isEmpty())
            qFatal("The delete left devices");
        timer.restart();
        map.getUndoStack()->undo();
        QCoreApplication::processEvents();
        times.undoNs = timer.nsecsElapsed();
        if (map.getDeviceItems().size() != names.size())
            qFatal("The undo did not bring every device back");
    }
    forgetUnplacedDevices();
    return times;
}

struct PasteTimes
{
    qint64 pasteNs = 0;
    qint64 undoNs = 0;
    qint64 redoNs = 0;
};

// The group pasted onto an empty map, the paste undone and redone.
PasteTimes pasteUndoRedo(const QList<DeviceInfo>& infos, int linkCount)
{
    QTemporaryDir dir;
    DeviceManager manager;
    manager.markInitialised();
    PasteTimes times;
    {
        DeviceMapWidget map(&manager, dir.filePath(QStringLiteral("map.ini")));
        QCoreApplication::processEvents();
        const DevicesArrangement arrangement = gridArrangement(infos);
        QElapsedTimer timer;
        timer.start();
        map.pushOperation(new PasteDevicesOperation(&map, infos, arrangement, QPointF(600, 400)));
        QCoreApplication::processEvents();
        times.pasteNs = timer.nsecsElapsed();
        timer.restart();
        map.getUndoStack()->undo();
        QCoreApplication::processEvents();
        times.undoNs = timer.nsecsElapsed();
        timer.restart();
        map.getUndoStack()->redo();
        QCoreApplication::processEvents();
        times.redoNs = timer.nsecsElapsed();
        if (map.getDeviceItems().size() != infos.size() || DeviceMapParts(map).itemIndex().linkCount() != linkCount)
            qFatal("The redo did not bring the group back whole");
    }
    forgetUnplacedDevices();
    return times;
}

QString ratio(qint64 value, qint64 baseline)
{
    return QString::number(double(value) / double(baseline), 'f', 2) + QLatin1Char('x');
}

void reportRatio(QTextStream& out, const QString& what, qint64 value, qint64 baseline, const QString& goal)
{
    out << what.leftJustified(46) << QString::number(value / 1e6, 'f', 1).rightJustified(10) << " ms"
        << ratio(value, baseline).rightJustified(10) << "  " << goal << Qt::endl;
}

} // namespace

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    QLoggingCategory::setFilterRules(QStringLiteral("default.debug=false"));
    QTextStream out(stdout);
    out << QStringLiteral("Figures: medians of %1 runs; ratios to loading the same graph and building its map.\n").arg(runs);

    QList<double> deleteRatios;
    QList<double> undoRatios;
    for (const int count : {1000, 5000}) {
        // Each scaler feeds the next and the one 50 further on: twice as many links as devices.
        const QString text = savedText(scalerInfos(count, {1, gridColumns}));
        const QStringList names = scalerNames(count);
        QList<qint64> baselines;
        QList<qint64> deletes;
        QList<qint64> undos;
        for (int run = 0; run < runs; ++run) {
            baselines.append(loadAndBuild(text, names));
            const DeleteTimes times = deleteAndUndo(text, names);
            deletes.append(times.deleteNs);
            undos.append(times.undoNs);
        }
        const qint64 baseline = median(baselines);
        reportRatio(out, QStringLiteral("load %1 devices, %2 links and build the map").arg(count).arg(2 * count),
                    baseline, baseline, QString());
        reportRatio(out, QStringLiteral("  delete every device"), median(deletes), baseline,
                    QStringLiteral("(goal at 5,000: at most 1.5x)"));
        reportRatio(out, QStringLiteral("  undo that delete"), median(undos), baseline,
                    QStringLiteral("(goal at 5,000: at most 3x)"));
        deleteRatios.append(double(median(deletes)) / baseline);
        undoRatios.append(double(median(undos)) / baseline);
        out.flush();
    }
    out << QStringLiteral("  ratios at 5,000 over those at 1,000: delete %1, undo %2 (linear: about 1)\n")
               .arg(deleteRatios.at(1) / deleteRatios.at(0), 0, 'f', 2)
               .arg(undoRatios.at(1) / undoRatios.at(0), 0, 'f', 2);

    // The same group shape at a quarter and at all of the links: the redo should follow the links.
    QList<double> redoRatios;
    for (const int side : {50, 100}) {
        const QList<DeviceInfo> infos = denseInfos(side, side);
        const QString text = savedText(infos);
        QStringList names;
        for (const DeviceInfo& info : infos)
            names.append(info.name);
        QList<qint64> baselines;
        QList<PasteTimes> pastes;
        for (int run = 0; run < runs; ++run) {
            baselines.append(loadAndBuild(text, names));
            pastes.append(pasteUndoRedo(infos, side * side));
        }
        auto medianOf = [&pastes](qint64 PasteTimes::*field) {
            QList<qint64> values;
            for (const PasteTimes& times : qAsConst(pastes))
                values.append(times.*field);
            return median(values);
        };
        const qint64 baseline = median(baselines);
        reportRatio(out, QStringLiteral("load %1 devices, %2 links and build the map").arg(2 * side).arg(side * side),
                    baseline, baseline, QString());
        reportRatio(out, QStringLiteral("  paste them"), medianOf(&PasteTimes::pasteNs), baseline, QString());
        reportRatio(out, QStringLiteral("  undo the paste"), medianOf(&PasteTimes::undoNs), baseline, QString());
        reportRatio(out, QStringLiteral("  redo the paste"), medianOf(&PasteTimes::redoNs), baseline,
                    side == 100 ? QStringLiteral("(goal: at most 3x)") : QString());
        redoRatios.append(double(medianOf(&PasteTimes::redoNs)) / baseline);
        out.flush();
    }
    out << QStringLiteral("  redo ratio at 10,000 links over that at 2,500: %1 (linear: about 1)\n")
               .arg(redoRatios.at(1) / redoRatios.at(0), 0, 'f', 2);
    out.flush();
    return 0;
}
