#include "GraphvizLayout.h"

#include "GraphvizJob.h"

#include <QByteArrayList>
#include <QCoreApplication>
#include <QDebug>
#include <QDir>
#include <QFile>

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <csignal>

#include <unistd.h>

namespace {

bool isTurned(const GraphvizLayout::Settings& settings, int link)
{
    return link < settings.turnedLinks.size() && settings.turnedLinks.at(link);
}

QString translated(const char* text)
{
    return QCoreApplication::translate("GraphvizLayout", text);
}

void logMessages(const LayoutProcess::Outcome& process)
{
    for (const QByteArray& line : process.messages.split('\n')) {
        if (!line.isEmpty())
            qWarning().noquote() << "GraphLayoutAdapter: Graphviz:" << QString::fromUtf8(line);
    }
    if (process.moreMessageLines > 0)
        qWarning().noquote() << "GraphLayoutAdapter: Graphviz: …" << process.moreMessageLines << "more lines";
}

QString lastMessage(const QByteArray& messages)
{
    const QByteArrayList lines = messages.trimmed().split('\n');
    return QString::fromUtf8(lines.last().trimmed());
}

/// What a signal means, in the user's words.
QString signalText(int signalNumber)
{
    switch (signalNumber) {
    case SIGSEGV: return translated(QT_TRANSLATE_NOOP("GraphvizLayout", "invalid memory access"));
    case SIGBUS: return translated(QT_TRANSLATE_NOOP("GraphvizLayout", "bus error"));
    case SIGABRT: return translated(QT_TRANSLATE_NOOP("GraphvizLayout", "aborted"));
    case SIGFPE: return translated(QT_TRANSLATE_NOOP("GraphvizLayout", "arithmetic error"));
    case SIGILL: return translated(QT_TRANSLATE_NOOP("GraphvizLayout", "illegal instruction"));
    case SIGTRAP: return translated(QT_TRANSLATE_NOOP("GraphvizLayout", "trap"));
    case SIGSYS: return translated(QT_TRANSLATE_NOOP("GraphvizLayout", "bad system call"));
    case SIGPIPE: return translated(QT_TRANSLATE_NOOP("GraphvizLayout", "broken pipe"));
    case SIGXCPU: return translated(QT_TRANSLATE_NOOP("GraphvizLayout", "processor time limit reached"));
    case SIGXFSZ: return translated(QT_TRANSLATE_NOOP("GraphvizLayout", "file size limit reached"));
    case SIGTERM: return translated(QT_TRANSLATE_NOOP("GraphvizLayout", "terminated"));
    case SIGINT: return translated(QT_TRANSLATE_NOOP("GraphvizLayout", "interrupted"));
    case SIGHUP: return translated(QT_TRANSLATE_NOOP("GraphvizLayout", "hung up"));
    case SIGQUIT: return translated(QT_TRANSLATE_NOOP("GraphvizLayout", "quit"));
    case SIGKILL: return translated(QT_TRANSLATE_NOOP("GraphvizLayout", "killed"));
    default: return translated(QT_TRANSLATE_NOOP("GraphvizLayout", "signal %1")).arg(signalNumber);
    }
}

/// What an errno means, in the user's words: ours for those a start commonly meets, else the system's.
QString errorText(int error)
{
    switch (error) {
    case ENOSYS: return translated(QT_TRANSLATE_NOOP("GraphvizLayout", "a system call it needs is not available"));
    case ENOMEM: return translated(QT_TRANSLATE_NOOP("GraphvizLayout", "not enough memory"));
    case EAGAIN: return translated(QT_TRANSLATE_NOOP("GraphvizLayout", "too many processes"));
    case EMFILE: return translated(QT_TRANSLATE_NOOP("GraphvizLayout", "too many open files"));
    case ENFILE: return translated(QT_TRANSLATE_NOOP("GraphvizLayout", "too many open files in the system"));
    case EINVAL: return translated(QT_TRANSLATE_NOOP("GraphvizLayout", "an invalid argument"));
    default: return qt_error_string(error);
    }
}

/// Why the program could not start: what of it failed, naming the program.
QString startText(const LayoutProcess::Outcome& process, const QString& program)
{
    const QString path = QDir::toNativeSeparators(program);
    const int error = process.startError;
    if (process.startStep == LayoutProcess::StartStep::Pipes) {
        return translated(QT_TRANSLATE_NOOP("GraphvizLayout", "the pipes to its program %1 could not be made: %2"))
            .arg(path, errorText(error));
    }
    // What exec says of the program's file.
    switch (error) {
    case ENOENT:
    case ENOTDIR: return translated(QT_TRANSLATE_NOOP("GraphvizLayout", "its program %1 is missing")).arg(path);
    case EACCES:
    case EPERM: return translated(QT_TRANSLATE_NOOP("GraphvizLayout", "its program %1 may not be run")).arg(path);
    case ENOEXEC:
    case EISDIR:
    case ELIBBAD:
        return translated(QT_TRANSLATE_NOOP("GraphvizLayout", "%1 is not a program this system can run")).arg(path);
    default:
        return translated(QT_TRANSLATE_NOOP("GraphvizLayout", "the process for its program %1 could not be made: %2"))
            .arg(path, errorText(error));
    }
}

/**
 * Whether the system, not the program's file, kept the program's process from being made.
 * EAGAIN is the system's limit on processes and threads. posix_spawn() gives one errno for
 * making the process and running the program in it alike: EPERM is the process's (a sandbox
 * that refuses clone()) only where this process may run the file.
 */
bool processRefused(const LayoutProcess::Outcome& process, const QString& program)
{
    if (process.end != LayoutProcess::End::NotStarted || process.startStep != LayoutProcess::StartStep::Process)
        return false;
    return process.startError == EAGAIN
           || (process.startError == EPERM && ::access(QFile::encodeName(program).constData(), X_OK) == 0);
}

/// What the system refused, for a process refused.
QString refusalText(int error)
{
    if (error == EAGAIN)
        return translated(QT_TRANSLATE_NOOP("GraphvizLayout", "too many processes or threads"));
    return translated(QT_TRANSLATE_NOOP("GraphvizLayout", "a new process was refused"));
}

/// Why a program that did not answer gave no drawing.
QString whyUnanswered(const LayoutProcess::Outcome& process, const QString& program)
{
    switch (process.end) {
    case LayoutProcess::End::Crashed: return QStringLiteral("%1, %2").arg(process.code).arg(signalText(process.code));
    case LayoutProcess::End::Stopped: return signalText(process.code);
    case LayoutProcess::End::Exited:
        // The statuses the layout program documents for itself.
        if (process.code == 2)
            return translated(QT_TRANSLATE_NOOP("GraphvizLayout", "its program could not read the job"));
        if (process.code == 4)
            return translated(QT_TRANSLATE_NOOP("GraphvizLayout", "its memory could not be bounded"));
        if (process.messages.trimmed().isEmpty())
            return translated(QT_TRANSLATE_NOOP("GraphvizLayout", "it ended with status %1")).arg(process.code);
        return translated(QT_TRANSLATE_NOOP("GraphvizLayout", "it ended with status %1: %2"))
            .arg(process.code)
            .arg(lastMessage(process.messages));
    case LayoutProcess::End::NotStarted: return startText(process, program);
    case LayoutProcess::End::OutputBound:
        if (process.code == 1)
            return translated(QT_TRANSLATE_NOOP("GraphvizLayout", "an answer longer than its graph can have"));
        return translated(QT_TRANSLATE_NOOP("GraphvizLayout", "more than %1 MB of messages"))
            .arg(LayoutProcess::messageBytes >> 20);
    default: return QString();
    }
}

/// Why an answer that is no drawing is none, where the program gave no reason of its own.
QString whyUnreadable(const QString& error)
{
    // The reader's own words for its usual findings; any other is a garbled answer.
    static const char* const known[] = {QT_TRANSLATE_NOOP("GraphvizLayout", "no answer"),
                                        QT_TRANSLATE_NOOP("GraphvizLayout", "not a layout drawing"),
                                        QT_TRANSLATE_NOOP("GraphvizLayout", "the answer ends before its end")};
    for (const char* text : known) {
        if (error == QLatin1String(text))
            return translated(text);
    }
    return translated(QT_TRANSLATE_NOOP("GraphvizLayout", "an answer that cannot be read"));
}

/// Why there is no drawing where Graphviz itself failed or reported an error.
QString graphvizFailed()
{
    return translated(QT_TRANSLATE_NOOP("GraphvizLayout", "Graphviz could not lay out this graph"));
}

/// Checks a drawing against the graph it was asked for.
bool fits(const GraphvizDrawing& drawing, const LayoutGraph& graph)
{
    return drawing.centers.size() == graph.devices.size() && drawing.bends.size() == graph.links.size()
           && drawing.clusterRects.size() == graph.groups.size();
}

bool within(const QPointF& point, double reach)
{
    return std::abs(point.x()) <= reach && std::abs(point.y()) <= reach;
}

/// Whether every coordinate of drawing lies within reach of the origin (the reader took only finite ones).
bool withinReach(const GraphvizDrawing& drawing, double reach)
{
    for (const QPointF& center : drawing.centers) {
        if (!within(center, reach))
            return false;
    }
    for (const QList<QPointF>& bends : drawing.bends) {
        for (const QPointF& bend : bends) {
            if (!within(bend, reach))
                return false;
        }
    }
    for (const QRectF& rect : drawing.clusterRects) {
        if (!within(rect.topLeft(), reach) || !within(rect.bottomRight(), reach) || rect.width() < 0 || rect.height() < 0)
            return false;
    }
    return true;
}

/// The widest gap the job's attributes ask for between nodes or ranks, in points.
double widestGap(const GraphvizJob& job)
{
    double inches = 1;
    for (const auto& attribute : job.attributes) {
        if (attribute.first == "nodesep" || attribute.first == "ranksep")
            inches = std::max(inches, attribute.second.split(' ').constFirst().toDouble());
    }
    return std::min(inches, 100.0) * 72;
}

} // namespace

GraphvizJob GraphvizLayout::jobOf(const LayoutGraph& graph, const Settings& settings)
{
    GraphvizJob job;
    job.engine = settings.engine;
    job.links = settings.links;
    job.attributes = settings.attributes;
    job.clusters.reserve(graph.groups.size());
    for (const LayoutGraph::Group& group : graph.groups)
        job.clusters.append({group.name.toUtf8(), group.parent});
    job.nodes.reserve(graph.devices.size());
    for (const LayoutGraph::Device& device : graph.devices)
        job.nodes.append({device.size, device.group});
    job.edges.reserve(graph.links.size());
    for (int i = 0; i < graph.links.size(); ++i) {
        const LayoutGraph::Link& link = graph.links.at(i);
        job.edges.append(isTurned(settings, i) ? qMakePair(link.to, link.from) : qMakePair(link.from, link.to));
    }
    return job;
}

qint64 GraphvizLayout::answerBytesOf(const GraphvizJob& job)
{
    // A node's or cluster's line is short; an edge's holds a few points for each rank it can cross.
    const qint64 places = qint64(job.nodes.size()) + job.clusters.size();
    const qint64 bytes = 65536 + 128 * places + qint64(job.edges.size()) * (128 + 256 * (places + 1));
    return std::min(bytes, LayoutProcess::defaultOutputBytes);
}

double GraphvizLayout::reachOf(const GraphvizJob& job)
{
    const double gap = widestGap(job);
    double length = 0;
    for (const GraphvizJob::Node& node : job.nodes)
        length += node.size.width() + node.size.height() + gap;
    for (const GraphvizJob::Cluster& cluster : job.clusters)
        length += 4 * gap + 20.0 * cluster.label.size();
    length += 2 * gap * job.edges.size();
    return 4 * length + 10000;
}

GraphvizLayout::Outcome GraphvizLayout::run(const LayoutGraph& graph, const Settings& settings, GraphPlacement* placement,
                                            const Control& control)
{
    const QString program = control.program.isEmpty() ? LayoutProcess::installedProgram() : control.program;
    const GraphvizJob job = jobOf(graph, settings);
    LayoutProcess::Limits limits = control.limits;
    limits.outputBytes = std::min(limits.outputBytes, answerBytesOf(job));
    const LayoutProcess::Outcome process = LayoutProcess::run(program, job.toText(), limits);
    // Graphviz's own words; nobody waits for those of an abandoned run.
    if (process.end != LayoutProcess::End::Abandoned)
        logMessages(process);
    Outcome outcome;
    outcome.end = process.end;
    outcome.memoryBytes = process.memoryBytes;
    if (process.end != LayoutProcess::End::Answered) {
        outcome.refused = processRefused(process, program);
        outcome.detail = outcome.refused ? refusalText(process.startError) : whyUnanswered(process, program);
        return outcome;
    }

    GraphvizDrawing drawing;
    QString failure;
    QString error;
    // Graphviz's own words are for the log: the user is told in their language what happened.
    if (!GraphvizDrawing::fromText(process.output, &drawing, &failure, &error)) {
        if (!failure.isEmpty())
            qWarning().noquote() << "GraphLayoutAdapter: Graphviz failed:" << failure;
        // An answer "failed" without a reason is a failure all the same.
        outcome.detail = !failure.isEmpty() ? graphvizFailed()
                         : error.isEmpty()   ? translated(QT_TRANSLATE_NOOP("GraphvizLayout", "no reason given"))
                                             : whyUnreadable(error);
        return outcome;
    }
    if (!process.errorMessage.isEmpty()) {
        outcome.detail = graphvizFailed();
        return outcome;
    }
    if (!fits(drawing, graph)) {
        outcome.detail = translated(QT_TRANSLATE_NOOP("GraphvizLayout", "a drawing of another graph"));
        return outcome;
    }
    if (!withinReach(drawing, reachOf(job))) {
        outcome.detail = translated(QT_TRANSLATE_NOOP("GraphvizLayout", "a drawing far larger than its graph"));
        return outcome;
    }

    placement->centers = drawing.centers;
    placement->bends = drawing.bends;
    placement->groupRects = drawing.clusterRects;
    placement->unroutedLinks = drawing.unroutedEdges;
    placement->columns.clear();
    for (int i = 0; i < placement->bends.size(); ++i) {
        if (isTurned(settings, i))
            std::reverse(placement->bends[i].begin(), placement->bends[i].end());
    }
    outcome.drawn = true;
    return outcome;
}
