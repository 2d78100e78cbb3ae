// The signal graph fed 10,000 values per second: CPU time per second of input and the time
// of one frame, with the 30-second window full (300,000 values) as in steady use.

#include "BaseDevice.h"
#include "BenchReport.h"
#include "DeviceManager.h"
#include "DeviceSignalsGraph.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QTimer>
#include <QtMath>

#include <algorithm>
#include <ctime>
#include <vector>

namespace {

const int valuesPerSecond = 10000;
const int runSeconds = 10;
const double windowSeconds = 30.0;

qint64 processCpuNanoseconds()
{
    timespec time{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &time);
    return qint64(time.tv_sec) * 1000000000LL + time.tv_nsec;
}

} // namespace

/// A device that emits what the benchmark gives it.
class BenchSource : public BaseDevice
{
    Q_OBJECT
public:
    void send(double value) { Q_EMIT valueChanged(value); }
Q_SIGNALS:
    void valueChanged(double value);
};

/// Times each replot of the plot between its beforeReplot() and afterReplot() signals.
class FrameTimer : public QObject
{
    Q_OBJECT
public:
    std::vector<qint64> frames;
public Q_SLOTS:
    void started() { watch.start(); }
    void finished() { frames.push_back(watch.nsecsElapsed()); }
private:
    QElapsedTimer watch;
};

namespace {

double sample(qint64 index)
{
    // A 7 Hz sine with some faster ripple, so that the line is never flat.
    const double t = double(index) / valuesPerSecond;
    return 100.0 * qSin(2 * M_PI * 7 * t) + 5.0 * qSin(2 * M_PI * 431 * t);
}

void printFrames(QTextStream& out, const QString& what, std::vector<qint64> frames)
{
    if (frames.empty()) {
        out << what << ": no frames" << Qt::endl;
        return;
    }
    std::sort(frames.begin(), frames.end());
    qint64 total = 0;
    for (qint64 frame : frames)
        total += frame;
    out << what.leftJustified(46) << QString::number(frames.size()).rightJustified(6) << " frames, mean "
        << QString::number(total / double(frames.size()) / 1e6, 'f', 2) << " ms, median "
        << QString::number(frames[frames.size() / 2] / 1e6, 'f', 2) << " ms, max "
        << QString::number(frames.back() / 1e6, 'f', 2) << " ms" << Qt::endl;
}

/// Feeds source at valuesPerSecond for runSeconds in real time; returns the CPU time used.
qint64 feedInRealTime(BenchSource* source, qint64& nextIndex)
{
    QElapsedTimer wall;
    QTimer pump;
    pump.setTimerType(Qt::PreciseTimer);
    pump.setInterval(1);
    const qint64 firstIndex = nextIndex;
    QObject::connect(&pump, &QTimer::timeout, [&] {
        const qint64 due = firstIndex + wall.nsecsElapsed() * valuesPerSecond / 1000000000LL;
        while (nextIndex < due) {
            source->send(sample(nextIndex));
            ++nextIndex;
        }
    });
    QEventLoop loop;
    QTimer::singleShot(runSeconds * 1000, &loop, &QEventLoop::quit);
    const qint64 cpuBefore = processCpuNanoseconds();
    wall.start();
    pump.start();
    loop.exec();
    pump.stop();
    return processCpuNanoseconds() - cpuBefore;
}

} // namespace

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    QTextStream out(stdout);
    out << "Signal graph, " << valuesPerSecond << " values/s for " << runSeconds << " s, window full" << Qt::endl;

    DeviceManager manager;
    manager.registerDeviceType("benchSource", DeviceTypeInfo(), [] { return new BenchSource; });
    const QString name = manager.createDevice("benchSource", true);
    auto* source = static_cast<BenchSource*>(manager.getDevice(name));

    // The driver alone: what sending the values costs without any graph listening.
    qint64 index = 0;
    const qint64 idleCpu = feedInRealTime(source, index);
    const qint64 idleValues = index;

    DeviceSignalsGraph graph(manager, name);
    graph.resize(800, 400);
    graph.show();
    // Fill the window as 30 s of input would, on a clock that runs as fast as the values come.
    double fakeTime = 1.7e9;
    graph.setClock([&fakeTime] { return fakeTime; });
    QMetaObject::invokeMethod(&graph, "signalSelected", Q_ARG(QString, QStringLiteral("valueChanged(double)")));
    index = 0;
    QElapsedTimer fill;
    fill.start();
    for (; index < qint64(windowSeconds * valuesPerSecond); ++index) {
        fakeTime = 1.7e9 + double(index) / valuesPerSecond;
        source->send(sample(index));
    }
    report(out, "filling the 30 s window (300,000 values)", fill.nsecsElapsed(), int(index));

    // From here on the clock runs in real time, continuing the filled window.
    QElapsedTimer realTime;
    realTime.start();
    const double start = fakeTime;
    graph.setClock([&realTime, start] { return start + realTime.nsecsElapsed() / 1e9; });

    FrameTimer frames;
    QObject::connect(graph.plotWidget(), SIGNAL(beforeReplot()), &frames, SLOT(started()));
    QObject::connect(graph.plotWidget(), SIGNAL(afterReplot()), &frames, SLOT(finished()));

    const qint64 firstLiveIndex = index;
    const qint64 liveCpu = feedInRealTime(source, index);
    const qint64 liveValues = index - firstLiveIndex;

    out << QStringLiteral("values sent without a graph").leftJustified(46) << QString::number(idleValues).rightJustified(12)
        << "   CPU " << QString::number(100.0 * idleCpu / (runSeconds * 1e9), 'f', 1) << " % of one core" << Qt::endl;
    out << QStringLiteral("values sent to the graph").leftJustified(46) << QString::number(liveValues).rightJustified(12)
        << "   CPU " << QString::number(100.0 * liveCpu / (runSeconds * 1e9), 'f', 1) << " % of one core" << Qt::endl;
    out << QStringLiteral("graph's share (CPU per second of input)").leftJustified(46)
        << QString::number((liveCpu - idleCpu) / 1e6 / runSeconds, 'f', 1).rightJustified(12) << " ms   = "
        << QString::number(100.0 * (liveCpu - idleCpu) / (runSeconds * 1e9), 'f', 1) << " % of one core (goal < 20 %)"
        << Qt::endl;
    out << QStringLiteral("points in the history graph").leftJustified(46)
        << QString::number(graph.historyPoints().size()).rightJustified(12) << Qt::endl;
    printFrames(out, "frames while fed", frames.frames);

    frames.frames.clear();
    for (int i = 0; i < 50; ++i)
        QMetaObject::invokeMethod(graph.plotWidget(), "replot");
    printFrames(out, "replot of the full window, on demand", frames.frames);
    return 0;
}

#include "bench_DeviceSignalsGraph.moc"
