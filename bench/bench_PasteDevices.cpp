// Pasting devices with their links onto a map, and undoing the removal of many devices: what a
// user waits for after Ctrl+V, after dropping a template and after undoing a large delete.
#include "BenchReport.h"
#include "DeviceMapWidget.h"
#include "DeviceNodeItem.h"
#include "DeviceText.h"
#include "PasteDevicesOperation.h"
#include "RemoveDevicesOperation.h"
#include "TestDeviceManager.h"
#include "YamlSerialiser.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QGraphicsScene>
#include <QSettings>
#include <QTemporaryDir>
#include <QTextStream>

namespace {

// n scalers, each feeding the next and the one 50 further on: twice as many links as devices.
QString graphText(int deviceCount)
{
    QList<DeviceInfo> infos;
    for (int i = 0; i < deviceCount; ++i) {
        DeviceInfo info;
        info.name = QStringLiteral("scaler%1").arg(i + 1);
        info.type = QStringLiteral("scaler");
        info.paramValues.insert(QStringLiteral("factor"), QString::number(i));
        for (int step : {1, 50}) {
            if (step >= deviceCount)
                continue;
            info.outgoingConnections.append(Connection{QStringLiteral("scaler%1").arg((i + step) % deviceCount + 1),
                                                       QStringLiteral("output(double)"), QStringLiteral("input(double)")});
        }
        infos.append(info);
    }
    return DeviceText::compose(infos);
}

struct PasteTimes
{
    qint64 layoutNs = 0;
    qint64 operationNs = 0;
    qint64 undoNs = 0;
};

// The road of Ctrl+V: the text parsed, laid out afresh, then the one operation pushed and undone.
PasteTimes paste(int deviceCount, int managerDelayMs)
{
    QTemporaryDir dir;
    TestDeviceManager manager;
    manager.markInitialised();
    if (managerDelayMs > 0)
        manager.setNotificationMode(TestDeviceManager::Deferred, managerDelayMs);
    DeviceMapWidget map(&manager, dir.filePath(QStringLiteral("map.ini")));
    const QString text = graphText(deviceCount);
    PasteTimes times;
    QElapsedTimer timer;
    timer.start();
    const QList<DeviceInfo> infos = YamlSerialiser::parseYamlFromString(text, nullptr);
    const DevicesArrangement arrangement = map.rearrangeDevicesFromInfos(infos, map.getCurrentLayoutType());
    times.layoutNs = timer.nsecsElapsed();
    timer.restart();
    map.pushOperation(new PasteDevicesOperation(&map, infos, arrangement, QPointF(600, 400)));
    times.operationNs = timer.nsecsElapsed();
    if (map.getDeviceItems().size() != deviceCount || map.scene()->selectedItems().size() != deviceCount)
        qFatal("The paste did not show every device");
    timer.restart();
    map.getUndoStack()->undo();
    times.undoNs = timer.nsecsElapsed();
    QCoreApplication::processEvents();
    DeviceNodeItem::setUnplacedDevices(QStringList());
    return times;
}

// Every device of a placed graph removed in one operation, then brought back by its undo.
qint64 undoRemoval(int deviceCount, qint64* removalNs)
{
    QTemporaryDir dir;
    const QString layoutPath = dir.filePath(QStringLiteral("map.ini"));
    TestDeviceManager manager;
    if (!manager.loadYamlFromString(graphText(deviceCount)))
        qFatal("The benchmark graph did not load");
    {
        QSettings layout(layoutPath, QSettings::IniFormat);
        const QStringList names = manager.getDeviceNames();
        for (int i = 0; i < names.size(); ++i)
            layout.setValue(names.at(i) + QStringLiteral("/rect"), QRect((i % 50) * 120, (i / 50) * 60, 80, 30));
    }
    DeviceMapWidget map(&manager, layoutPath);
    QCoreApplication::processEvents();
    const QMap<QString, DeviceNodeItem*> items = map.getDeviceItems();
    QList<QGraphicsItem*> all;
    for (DeviceNodeItem* item : items)
        all.append(item);
    QElapsedTimer timer;
    timer.start();
    map.pushOperation(new RemoveDevicesOperation(&map, all));
    *removalNs = timer.nsecsElapsed();
    timer.restart();
    map.getUndoStack()->undo();
    const qint64 elapsed = timer.nsecsElapsed();
    if (map.getDeviceItems().size() != deviceCount)
        qFatal("The undo did not bring every device back");
    DeviceNodeItem::setUnplacedDevices(QStringList());
    return elapsed;
}

} // namespace

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    QTextStream out(stdout);
    qint64 responsive500 = 0;
    for (const int delay : {0, 10}) {
        for (const int count : {100, 500}) {
            const PasteTimes times = paste(count, delay);
            const QString manager = delay == 0 ? QStringLiteral("responsive") : QStringLiteral("%1 ms late").arg(delay);
            report(out, QStringLiteral("paste %1 devices, %2 links (%3)").arg(count).arg(2 * count).arg(manager),
                   times.layoutNs + times.operationNs, count);
            report(out, QStringLiteral("  of which the layout"), times.layoutNs, count);
            report(out, QStringLiteral("  undo of that paste"), times.undoNs, count);
            if (delay == 0 && count == 500)
                responsive500 = times.layoutNs + times.operationNs;
            out.flush();
        }
    }
    out << QStringLiteral("  500 devices pasted in %1 s (goal: under 2 s with the responsive stand-in)\n")
               .arg(responsive500 / 1e9, 0, 'f', 2);
    qint64 removal = 0;
    const qint64 undo = undoRemoval(500, &removal);
    report(out, QStringLiteral("remove 500 placed devices, 1000 links"), removal, 500);
    report(out, QStringLiteral("undo that removal"), undo, 500);
    return 0;
}
