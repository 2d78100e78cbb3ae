// What it costs to run the layout program once, beside the baseline of the same run through
// QProcess (start, write the job, wait, read the answer): wall time per run and the processor
// time of both processes. The program is a script that runs cat, so that only the start, the
// transfer and the end are measured; then a whole 10-device layout with the real program.

#include "BenchReport.h"
#include "GraphLayoutAdapter.h"
#include "LayoutProcess.h"

#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

namespace {

constexpr int runs = 200;

struct Figures
{
    qint64 wallMedian = 0;
    qint64 processorPerRun = 0;
};

template <typename Run>
Figures measure(Run run)
{
    QList<qint64> walls;
    const qint64 processorBefore = cpuNanoseconds();
    for (int i = 0; i < runs; ++i) {
        QElapsedTimer timer;
        timer.start();
        if (!run())
            qFatal("bench_LayoutProcess: a run failed");
        walls.append(timer.nsecsElapsed());
    }
    return {median(walls), (cpuNanoseconds() - processorBefore) / runs};
}

bool throughQProcess(const QString& program, const QByteArray& job)
{
    QProcess process;
    process.start(program, {QStringLiteral("--parent"), QString::number(QCoreApplication::applicationPid()),
                            QStringLiteral("--memory-limit"), QString::number(LayoutProcess::defaultMemoryBytes)});
    if (!process.waitForStarted())
        return false;
    process.write(job);
    process.closeWriteChannel();
    process.waitForFinished(-1);
    return process.readAllStandardOutput() == job;
}

bool throughLayoutProcess(const QString& program, const QByteArray& job)
{
    const LayoutProcess::Outcome outcome = LayoutProcess::run(program, job, LayoutProcess::Limits());
    return outcome.end == LayoutProcess::End::Answered && outcome.output == job;
}

LayoutGraph tenDevices()
{
    LayoutGraph graph;
    graph.type = LayoutGraph::Hierarchical;
    for (int i = 0; i < 10; ++i)
        graph.devices.append({QStringLiteral("device %1").arg(i), QSizeF(80, 40), -1});
    for (int i = 1; i < 10; ++i)
        graph.links.append({(i - 1) / 2, i});
    return graph;
}

void print(QTextStream& out, const QString& what, const Figures& figures, const Figures& baseline)
{
    report(out, what + QStringLiteral(", wall"), figures.wallMedian, 1);
    report(out, what + QStringLiteral(", CPU of both"), figures.processorPerRun, 1);
    out << QStringLiteral("  ratio to QProcess: wall %1, CPU %2")
               .arg(double(figures.wallMedian) / baseline.wallMedian, 0, 'f', 2)
               .arg(double(figures.processorPerRun) / baseline.processorPerRun, 0, 'f', 2)
        << Qt::endl;
}

} // namespace

int main(int argc, char* argv[])
{
    ConsoleBenchmark bench(argc, argv);
    QTextStream& out = bench.out;
    const QByteArray job(4096, 'x');
    QTemporaryDir directory;
    const QString program = directory.filePath(QStringLiteral("cat-program"));
    QFile script(program);
    if (!script.open(QIODevice::WriteOnly) || script.write("#!/bin/sh\nexec cat\n") < 0)
        qFatal("bench_LayoutProcess: no program");
    script.close();
    script.setPermissions(script.permissions() | QFileDevice::ExeOwner);
    out << "One run of a program, median of " << runs << " (job of " << job.size() << " bytes)" << Qt::endl;
    const Figures baseline = measure([&]() { return throughQProcess(program, job); });
    report(out, QStringLiteral("QProcess, wall"), baseline.wallMedian, 1);
    report(out, QStringLiteral("QProcess, CPU of both"), baseline.processorPerRun, 1);
    print(out, QStringLiteral("LayoutProcess"), measure([&]() { return throughLayoutProcess(program, job); }), baseline);

    GraphLayoutAdapter::Options options;
    options.engine = GraphLayoutAdapter::Engine::Graphviz;
    const LayoutGraph graph = tenDevices();
    print(out, QStringLiteral("10-device layout"),
          measure([&]() { return !GraphLayoutAdapter::layOut(graph, options).fellBack; }), baseline);
    return 0;
}
