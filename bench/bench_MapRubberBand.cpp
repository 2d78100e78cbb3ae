// A rubber-band selection sweeping over every device of a large map, one mouse move event at a
// time, as a user's drag delivers them: the band grows from an empty corner over all devices
// and shrinks back.
#include "BenchReport.h"
#include "DeviceManager.h"
#include "DeviceMapWidget.h"
#include "DeviceNodeItem.h"
#include "YamlSerialiser.h"

#include <QApplication>
#include <QBuffer>
#include <QElapsedTimer>
#include <QGraphicsScene>
#include <QMouseEvent>
#include <QSettings>
#include <QTemporaryDir>
#include <QTextStream>

namespace {

constexpr int columns = 50;

// n scalers, each feeding the next and the one 50 further on, set out in rows of 50.
void buildGraph(DeviceManager& manager, const QString& layoutPath, int deviceCount)
{
    QBuffer header;
    YamlSerialiser::writeConfigVersion(&header);
    QString text = QString::fromUtf8(header.data());
    QSettings layout(layoutPath, QSettings::IniFormat);
    for (int i = 0; i < deviceCount; ++i) {
        DeviceInfo info;
        info.name = QStringLiteral("scaler%1").arg(i + 1);
        info.type = QStringLiteral("scaler");
        for (int step : {1, columns}) {
            Connection link;
            link.device = QStringLiteral("scaler%1").arg((i + step) % deviceCount + 1);
            link.signal = QStringLiteral("output(double)");
            link.slot = QStringLiteral("input(double)");
            info.outgoingConnections.append(link);
        }
        text += YamlSerialiser::serialise(info);
        layout.setValue(info.name + QStringLiteral("/rect"), QRect((i % columns) * 120, (i / columns) * 60, 80, 30));
    }
    layout.sync();
    if (!manager.loadYamlFromString(text))
        qFatal("The benchmark graph did not load");
}

void send(QWidget* viewport, QEvent::Type type, const QPoint& pos, Qt::MouseButtons buttons)
{
    QMouseEvent event(type, QPointF(pos), QPointF(pos), QPointF(viewport->mapToGlobal(pos)),
                      type == QEvent::MouseMove ? Qt::NoButton : Qt::LeftButton, buttons, Qt::NoModifier);
    QApplication::sendEvent(viewport, &event);
}

void benchSweep(QTextStream& out, int deviceCount, bool repaint)
{
    QTemporaryDir dir;
    const QString layoutPath = dir.filePath(QStringLiteral("map.ini"));
    DeviceManager manager;
    buildGraph(manager, layoutPath, deviceCount);
    DeviceMapWidget map(&manager, layoutPath);
    map.resize(1280, 720);
    map.show();
    // Every device in view: the band can reach them all.
    const QRectF all = map.scene()->itemsBoundingRect();
    map.scale(600.0 / all.width(), 600.0 / all.height());
    QApplication::processEvents();
    QWidget* viewport = map.viewport();

    const QPoint start = map.mapFromScene(all.topLeft()) - QPoint(5, 5);
    const QPoint end = map.mapFromScene(all.bottomRight()) + QPoint(5, 5);
    // Repainting the whole map at each step takes long: fewer steps then.
    const int steps = repaint ? 10 : 100;
    send(viewport, QEvent::MouseButtonPress, start, Qt::LeftButton);
    QElapsedTimer timer;
    qint64 total = 0;
    qint64 worst = 0;
    int moves = 0;
    int mostSelected = 0;
    for (int step = 1; step <= 2 * steps; ++step) {
        const int reach = step <= steps ? step : 2 * steps - step;
        const QPoint at = start + (end - start) * reach / steps;
        timer.start();
        send(viewport, QEvent::MouseMove, at, Qt::LeftButton);
        if (repaint)
            viewport->repaint();
        const qint64 elapsed = timer.nsecsElapsed();
        total += elapsed;
        worst = std::max(worst, elapsed);
        ++moves;
        mostSelected = std::max(mostSelected, map.scene()->selectedItems().size());
    }
    send(viewport, QEvent::MouseButtonRelease, start, Qt::NoButton);
    if (mostSelected != deviceCount)
        qFatal("The band did not reach every device");

    const QString what = repaint ? QStringLiteral("band over %1 devices, move + repaint") : QStringLiteral("band over %1 devices, move event");
    report(out, what.arg(deviceCount), total, moves);
    out << QStringLiteral("  worst move: %1 ms\n").arg(worst / 1e6, 0, 'f', 2);
    out.flush();
    DeviceNodeItem::setUnplacedDevices(QStringList());
}

} // namespace

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    QTextStream out(stdout);
    benchSweep(out, 1000, false);
    benchSweep(out, 5000, false);
    out << QStringLiteral("  goal: under 16 ms per move event for 5,000 devices\n");
    // For comparison: the same with the viewport painted after each move, every device in view.
    benchSweep(out, 5000, true);
    return 0;
}
