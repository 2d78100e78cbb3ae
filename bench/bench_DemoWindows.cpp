// The demo's windows that follow the device manager (the device list, the log and device settings,
// the dashboard and the map) against the map window alone, in the same run, over one big graph:
// deleting every device from the map, undoing that, and redoing the paste of a densely linked
// group. The other windows should add little to what the map itself costs: each of them should do
// work in proportion to what a command changed, not to the graph times the reports it heard.
//
// Usage: bench_DemoWindows [devices [side]]: the graph's devices (5,000 by default) and the side of
// the pasted group, side generators each feeding side scalers (100 by default).
#include "BenchMapGraph.h"
#include "BenchReport.h"
#include "DashboardWindow.h"
#include "DeviceListWindow.h"
#include "DeviceMapParts.h"
#include "DeviceMapWidget.h"
#include "DeviceMapWindow.h"
#include "DevicePanelsWindow.h"
#include "Logger.h"
#include "MapCommands.h"
#include "MapItemIndex.h"
#include "PasteDevicesOperation.h"
#include "ZenticMessageBox.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <QTextStream>

#include <algorithm>
#include <memory>
#include <vector>

namespace {

constexpr int runs = 5;

struct CommandTimes
{
    qint64 deleteNs = 0;
    qint64 undoNs = 0;
    qint64 redoPasteNs = 0;
};

enum class Windows { MapAlone, DemoWindows };

// The windows over manager: the map window, and with the demo's windows the others the demo opens
// that follow the manager, all shown as the demo shows them.
std::vector<std::unique_ptr<QWidget>> openWindows(DeviceManager& manager, const QString& layoutPath,
                                                  const QString& dashboardPath, Windows windows)
{
    std::vector<std::unique_ptr<QWidget>> opened;
    if (windows == Windows::DemoWindows) {
        opened.emplace_back(new DeviceListWindow(&manager));
        opened.emplace_back(new DashboardWindow(&manager, dashboardPath));
    }
    auto* mapWindow = new DeviceMapWindow(&manager, layoutPath, nullptr);
    mapWindow->setAttribute(Qt::WA_DeleteOnClose, false);
    opened.emplace_back(mapWindow);
    if (windows == Windows::DemoWindows)
        opened.emplace_back(new DevicePanelsWindow(&manager));
    for (const auto& window : opened)
        window->show();
    QCoreApplication::processEvents();
    return opened;
}

DeviceMapWidget* mapIn(const std::vector<std::unique_ptr<QWidget>>& windows)
{
    for (const auto& window : windows) {
        if (auto* mapWindow = qobject_cast<DeviceMapWindow*>(window.get()))
            return mapWindow->getDeviceMapWidget();
    }
    qFatal("No map window");
    return nullptr;
}

// Over the graph of text: every device selected and deleted by the map's delete command (the
// question answered), the deletion undone; then the group pasted, the paste undone (untimed) and
// redone. Events are processed inside each timed span: work left to the event loop counts.
CommandTimes runCommands(const QString& text, const QStringList& names, int groupSide, Windows windows)
{
    QTemporaryDir dir;
    const QString layoutPath = dir.filePath(QStringLiteral("map.ini"));
    writeGridPlaces(layoutPath, names);
    DeviceManager manager;
    if (!manager.loadYamlFromString(text))
        qFatal("The benchmark graph did not load");
    CommandTimes times;
    {
        const std::vector<std::unique_ptr<QWidget>> opened =
            openWindows(manager, layoutPath, dir.filePath(QStringLiteral("dashboard.ini")), windows);
        DeviceMapWidget* map = mapIn(opened);
        for (DeviceNodeItem* item : map->getDeviceItems())
            item->setSelected(true);
        QElapsedTimer timer;
        {
            ZenticMessageBox::AnswerGuard confirm(ZenticMessageBox::AnswerGuard::AcceptRole);
            timer.start();
            DeviceMapParts(map).commands().deleteSelectionOrItemUnderCursor();
            QCoreApplication::processEvents();
            times.deleteNs = timer.nsecsElapsed();
        }
        if (!map->getDeviceItems().isEmpty() || !manager.getDeviceNames().isEmpty())
            qFatal("The delete left devices");
        timer.restart();
        map->getUndoStack()->undo();
        QCoreApplication::processEvents();
        times.undoNs = timer.nsecsElapsed();
        if (map->getDeviceItems().size() != names.size())
            qFatal("The undo did not bring every device back");

        const int linksBefore = DeviceMapParts(map).itemIndex().linkCount();
        const QList<DeviceInfo> group = denseInfos(groupSide, groupSide);
        map->scene()->clearSelection();
        map->pushOperation(new PasteDevicesOperation(map, group, gridArrangement(group), QPointF(600, 400)));
        QCoreApplication::processEvents();
        map->getUndoStack()->undo();
        QCoreApplication::processEvents();
        timer.restart();
        map->getUndoStack()->redo();
        QCoreApplication::processEvents();
        times.redoPasteNs = timer.nsecsElapsed();
        if (map->getDeviceItems().size() != names.size() + group.size()
            || DeviceMapParts(map).itemIndex().linkCount() != linksBefore + groupSide * groupSide)
            qFatal("The redo did not bring the group back whole");
    }
    forgetUnplacedDevices();
    return times;
}

qint64 medianOf(const QList<CommandTimes>& times, qint64 CommandTimes::*field)
{
    QList<qint64> values;
    for (const CommandTimes& run : times)
        values.append(run.*field);
    return median(values);
}

void reportCommand(QTextStream& out, const QString& command, qint64 demoNs, qint64 mapNs)
{
    report(out, QStringLiteral("  %1, map alone").arg(command), mapNs, 1);
    report(out, QStringLiteral("  %1, demo windows").arg(command), demoNs, 1);
    out << QStringLiteral("demo windows / map alone: %1 %2").arg(command).arg(double(demoNs) / double(mapNs), 0, 'f', 2)
        << Qt::endl;
}

} // namespace

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    QLoggingCategory::setFilterRules(QStringLiteral("default.debug=false"));
    // As in the demo: the log window's console shows what was logged.
    Logger::getDefaultBuffer();
    QTextStream out(stdout);
    const int count = argc > 1 ? QString::fromLocal8Bit(argv[1]).toInt() : 5000;
    const int groupSide = argc > 2 ? QString::fromLocal8Bit(argv[2]).toInt() : 100;
    if (count <= gridColumns || groupSide < 1)
        qFatal("Usage: bench_DemoWindows [devices (more than 50) [side (at least 1)]]");

    const QString text = savedText(scalerInfos(count, {1, gridColumns}));
    const QStringList names = scalerNames(count);
    out << QStringLiteral("%1 devices, %2 links; medians of %3 runs. Goal: every ratio at most 1.2.\n")
               .arg(count)
               .arg(2 * count)
               .arg(runs);
    out.flush();
    QList<CommandTimes> mapAlone;
    QList<CommandTimes> demoWindows;
    for (int run = 0; run < runs; ++run) {
        // Each first in turn, so that neither always meets the memory the other left.
        if (run % 2 == 0)
            mapAlone.append(runCommands(text, names, groupSide, Windows::MapAlone));
        demoWindows.append(runCommands(text, names, groupSide, Windows::DemoWindows));
        if (run % 2 == 1)
            mapAlone.append(runCommands(text, names, groupSide, Windows::MapAlone));
    }
    reportCommand(out, QStringLiteral("delete every device"), medianOf(demoWindows, &CommandTimes::deleteNs),
                  medianOf(mapAlone, &CommandTimes::deleteNs));
    reportCommand(out, QStringLiteral("undo that delete"), medianOf(demoWindows, &CommandTimes::undoNs),
                  medianOf(mapAlone, &CommandTimes::undoNs));
    reportCommand(out, QStringLiteral("redo a paste of %1 devices with %2 links").arg(2 * groupSide).arg(groupSide * groupSide),
                  medianOf(demoWindows, &CommandTimes::redoPasteNs), medianOf(mapAlone, &CommandTimes::redoPasteNs));
    return 0;
}
