// What it costs to run the layout program once, beside the baseline of the same run through
// QProcess (start, write the job, wait, read the answer): wall time per run and the processor
// time of both processes. The program is a script that runs cat, so that only the start, the
// transfer and the end are measured; then a whole 10-device layout with the real program.
//
// Then what a host's size does to a layout's cost: the processor time of both processes
// (getrusage of this one and of its waited-for children) for one 10-device layout in this small
// process, against the program's layout with Graphviz in this process (as a rearrangement's
// layout ran before the program existed), and again once the process holds 400 MB more, every
// page of it written; beside that, what the host's next write of all that memory costs after a
// layout and with no layout before it. Starting the program must not copy the host.

#include "BenchInProcessLayout.h"
#include "BenchReport.h"
#include "GraphLayoutAdapter.h"
#include "LayoutProcess.h"

#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include <cstring>
#include <vector>

#include <unistd.h>

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

/// Writes a byte in every page of memory, as a host at work would.
void writeEveryPage(std::vector<char>& memory)
{
    static const size_t pageSize = size_t(::sysconf(_SC_PAGESIZE));
    for (size_t i = 0; i < memory.size(); i += pageSize)
        ++memory[i];
}

QString milliseconds(qint64 nanoseconds)
{
    return QString::number(nanoseconds / 1e6, 'f', 2) + QStringLiteral(" ms");
}

QString goal(bool met)
{
    return met ? QStringLiteral("met") : QStringLiteral("MISSED");
}

/// A 10-device layout's processor time in a small host and in one holding 400 MB more.
void benchHostSize(QTextStream& out, const LayoutGraph& graph)
{
    constexpr int layouts = 31;
    out << Qt::endl << "10-device layout, CPU of both processes, median of " << layouts << Qt::endl;
    GraphLayoutAdapter::Options options;
    options.engine = GraphLayoutAdapter::Engine::Graphviz;
    auto layOut = [&]() {
        if (GraphLayoutAdapter::layOut(graph, options).fellBack)
            qFatal("bench_LayoutProcess: a layout fell back");
    };
    layOutInProcess(graph); // Graphviz's set-up, once for the process
    qint64 program = 0;
    qint64 inProcess = 0;
    medianPair(layouts, layOut, [&]() { layOutInProcess(graph); }, &program, &inProcess);
    out << "  small host: through the program " << milliseconds(program) << ", Graphviz in this process "
        << milliseconds(inProcess) << ", " << milliseconds(program - inProcess)
        << " more (goal <= 3 ms more: " << goal(program - inProcess <= 3000000) << ")" << Qt::endl;

    std::vector<char> held(size_t(400) << 20);
    std::memset(held.data(), 1, held.size());
    const qint64 large = medianCpu(layouts, layOut);
    out << "  host holding 400 MB more: " << milliseconds(large) << ", "
        << QString::number(double(large) / program, 'f', 2) << "x the small host's (goal <= 1.5: "
        << goal(large * 2 <= program * 3) << ")" << Qt::endl;
    QList<qint64> afterLayout;
    QList<qint64> alone;
    for (int run = 0; run < layouts; ++run) {
        layOut();
        for (QList<qint64>* times : {&afterLayout, &alone}) {
            const qint64 before = cpuNanoseconds();
            writeEveryPage(held);
            times->append(cpuNanoseconds() - before);
        }
    }
    out << "  the host's next write of its 400 MB: after a layout " << milliseconds(median(afterLayout))
        << ", with no layout before it " << milliseconds(median(alone)) << Qt::endl;
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
    benchHostSize(out, graph);
    return 0;
}
