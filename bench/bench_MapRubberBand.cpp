// A rubber-band selection sweeping over every device of a large map, one mouse move event at a
// time, as a user's drag delivers them: the band grows from an empty corner over all devices
// and shrinks back.
#include "BenchMapGraph.h"
#include "BenchReport.h"
#include "DeviceMapWidget.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QGraphicsScene>
#include <QMouseEvent>
#include <QTemporaryDir>
#include <QTextStream>

namespace {

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
    // n scalers, each feeding the next and the one 50 further on, set out in rows of 50.
    writeGridPlaces(layoutPath, loadScalerGraph(manager, deviceCount));
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
    forgetUnplacedDevices();
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
