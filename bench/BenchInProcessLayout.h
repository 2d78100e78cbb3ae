#pragma once

// Graphviz in the benchmark's own process, as the library ran it before it had a layout program:
// the layout program's own drawer compiled in (the target links dozerozozu-layout-drawer).

#include "GraphLayoutAdapter.h"
#include "GraphPlacement.h"
#include "GraphvizDrawer.h"
#include "GraphvizJob.h"
#include "GraphvizLayout.h"
#include "JobText.h"
#include "LayoutPlan.h"

#include <algorithm>
#include <string>
#include <vector>

/// job as the layout program reads it from its text.
inline ProgramJob programJobOf(const GraphvizJob& job)
{
    ProgramJob result;
    result.engine = job.engine.toStdString();
    result.links = job.links == GraphvizJob::Links::Routed          ? ProgramJob::Links::Routed
                   : job.links == GraphvizJob::Links::ThroughPlaces ? ProgramJob::Links::ThroughPlaces
                                                                    : ProgramJob::Links::None;
    for (const auto& attribute : job.attributes)
        result.attributes.emplace_back(attribute.first.toStdString(), attribute.second.toStdString());
    for (const GraphvizJob::Cluster& cluster : job.clusters)
        result.clusters.push_back({cluster.label.toStdString(), cluster.parent});
    for (const GraphvizJob::Node& node : job.nodes)
        result.nodes.push_back({node.size.width(), node.size.height(), node.cluster});
    for (const auto& edge : job.edges)
        result.edges.emplace_back(edge.first, edge.second);
    return result;
}

inline QPointF pointOf(const ProgramDrawing::Point& point)
{
    return QPointF(point.x, point.y);
}

/**
 * The same layout with Graphviz in this process, as the library made it before it had a layout
 * program: the same plan, the same job drawn by the program's own drawer, the same links
 * completed, with no process, no text passed and Graphviz set up once for the process.
 */
inline GraphLayoutAdapter::Result layOutInProcess(const LayoutGraph& graph)
{
    GraphLayoutAdapter::Result result;
    const LayoutPlan plan = LayoutPlan::of(graph, "dot");
    result.method = plan.method;
    const LayoutGraph drawn = plan.groupsAsStrips ? graph.withoutGroups() : graph;
    ProgramDrawing drawing;
    std::string error;
    result.fellBack = !plan.fitsGraphviz || plan.outrunsDeadline(GraphLayoutAdapter::Options().deadlineMs)
                      || !GraphvizDrawer::draw(programJobOf(GraphvizLayout::jobOf(drawn, plan.settings)), &drawing,
                                               &error, GraphvizDrawer::Teardown::Free);
    if (result.fellBack)
        return result;
    GraphPlacement placement;
    for (const ProgramDrawing::Point& center : drawing.centers)
        placement.centers.append(pointOf(center));
    for (const std::vector<ProgramDrawing::Point>& bends : drawing.bends) {
        placement.bends.append(QList<QPointF>());
        for (const ProgramDrawing::Point& bend : bends)
            placement.bends.last().append(pointOf(bend));
    }
    for (const ProgramDrawing::Box& box : drawing.clusterRects)
        placement.groupRects.append(QRectF(box.x, box.y, box.width, box.height));
    placement.unroutedLinks = QVector<int>(drawing.unroutedEdges.cbegin(), drawing.unroutedEdges.cend());
    for (int i = 0; i < placement.bends.size() && i < plan.settings.turnedLinks.size(); ++i) {
        if (plan.settings.turnedLinks.at(i))
            std::reverse(placement.bends[i].begin(), placement.bends[i].end());
    }
    plan.completeLinks(graph, &placement);
    result.arrangement = placement.toArrangement(graph, 20);
    return result;
}
