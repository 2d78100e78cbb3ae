#include "GraphvizLayout.h"

#include "GraphvizJob.h"

#include <QByteArrayList>
#include <QDebug>

#include <algorithm>
#include <cstring>

namespace {

bool isTurned(const GraphvizLayout::Settings& settings, int link)
{
    return link < settings.turnedLinks.size() && settings.turnedLinks.at(link);
}

void logMessages(const QByteArray& messages)
{
    for (const QByteArray& line : messages.split('\n')) {
        if (!line.trimmed().isEmpty())
            qWarning().noquote() << "GraphLayoutAdapter: Graphviz:" << QString::fromUtf8(line.trimmed());
    }
}

QString lastMessage(const QByteArray& messages)
{
    QByteArrayList lines = messages.trimmed().split('\n');
    return QString::fromUtf8(lines.last().trimmed());
}

/// Why a program that did not answer gave no drawing.
QString whyUnanswered(const LayoutProcess::Outcome& process)
{
    switch (process.end) {
    case LayoutProcess::End::Crashed: {
        const char* name = strsignal(process.code);
        return QStringLiteral("%1, %2").arg(process.code).arg(QString::fromLocal8Bit(name ? name : ""));
    }
    case LayoutProcess::End::Exited:
        return QStringLiteral("it ended with status %1: %2").arg(process.code).arg(lastMessage(process.messages));
    case LayoutProcess::End::NotStarted: return process.error;
    default: return QString();
    }
}

/// Checks a drawing against the graph it was asked for.
bool fits(const GraphvizDrawing& drawing, const LayoutGraph& graph)
{
    return drawing.centers.size() == graph.devices.size() && drawing.bends.size() == graph.links.size()
           && drawing.clusterRects.size() == graph.groups.size();
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

GraphvizLayout::Outcome GraphvizLayout::run(const LayoutGraph& graph, const Settings& settings, GraphPlacement* placement,
                                            const Control& control)
{
    const QString program = control.program.isEmpty() ? LayoutProcess::installedProgram() : control.program;
    const LayoutProcess::Outcome process = LayoutProcess::run(program, jobOf(graph, settings).toText(), control.limits);
    // Graphviz's own words; nobody waits for those of an abandoned run.
    if (process.end != LayoutProcess::End::Abandoned)
        logMessages(process.messages);
    if (process.end != LayoutProcess::End::Answered)
        return {process.end, whyUnanswered(process)};

    GraphvizDrawing drawing;
    QString failure;
    QString error;
    if (!GraphvizDrawing::fromText(process.output, &drawing, &failure, &error))
        return {process.end, failure.isEmpty() ? error : failure};
    if (!fits(drawing, graph))
        return {process.end, QStringLiteral("a drawing of another graph")};

    placement->centers = drawing.centers;
    placement->bends = drawing.bends;
    placement->groupRects = drawing.clusterRects;
    placement->unroutedLinks = drawing.unroutedEdges;
    placement->columns.clear();
    for (int i = 0; i < placement->bends.size(); ++i) {
        if (isTurned(settings, i))
            std::reverse(placement->bends[i].begin(), placement->bends[i].end());
    }
    return {};
}
