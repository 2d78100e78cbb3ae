#include "GraphPlacement.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace {

QRectF rectAround(const QPointF& center, const QSizeF& size)
{
    return QRectF(center.x() - size.width() / 2, center.y() - size.height() / 2, size.width(), size.height());
}

bool isFinitePoint(const QPointF& point)
{
    return std::isfinite(point.x()) && std::isfinite(point.y());
}

} // namespace

void GraphPlacement::findColumns()
{
    QVector<int> byX(centers.size());
    for (int i = 0; i < byX.size(); ++i)
        byX[i] = i;
    std::stable_sort(byX.begin(), byX.end(), [&](int a, int b) { return centers.at(a).x() < centers.at(b).x(); });

    columns.clear();
    double columnX = 0;
    for (int device : qAsConst(byX)) {
        if (columns.isEmpty() || centers.at(device).x() - columnX > 1.0) {
            columns.append(QVector<int>());
            columnX = centers.at(device).x();
        }
        columns.last().append(device);
    }
    for (QVector<int>& column : columns)
        std::stable_sort(column.begin(), column.end(), [&](int a, int b) { return centers.at(a).y() < centers.at(b).y(); });
}

bool GraphPlacement::isFinite() const
{
    for (const QPointF& center : centers) {
        if (!isFinitePoint(center))
            return false;
    }
    for (const QList<QPointF>& points : bends) {
        for (const QPointF& point : points) {
            if (!isFinitePoint(point))
                return false;
        }
    }
    for (const QRectF& rect : groupRects) {
        if (!isFinitePoint(rect.topLeft()) || !isFinitePoint(rect.bottomRight()))
            return false;
    }
    return true;
}

DevicesArrangement GraphPlacement::toArrangement(const LayoutGraph& graph, double margin) const
{
    double left = std::numeric_limits<double>::max();
    double top = std::numeric_limits<double>::max();
    auto include = [&](const QPointF& point) {
        left = std::min(left, point.x());
        top = std::min(top, point.y());
    };
    for (int i = 0; i < graph.devices.size() && i < centers.size(); ++i)
        include(rectAround(centers.at(i), graph.devices.at(i).size).topLeft());
    for (const QRectF& rect : groupRects)
        include(rect.topLeft());
    for (const QList<QPointF>& points : bends) {
        for (const QPointF& point : points)
            include(point);
    }
    const QPointF shift = left == std::numeric_limits<double>::max() ? QPointF()
                                                                      : QPointF(margin - left, margin - top);

    DevicesArrangement arrangement;
    for (int i = 0; i < graph.devices.size() && i < centers.size(); ++i) {
        const LayoutGraph::Device& device = graph.devices.at(i);
        arrangement.deviceRects.insert(device.name, rectAround(centers.at(i) + shift, device.size));
    }
    for (int i = 0; i < graph.groups.size() && i < groupRects.size(); ++i)
        arrangement.clusterRects.insert(graph.groups.at(i).name, groupRects.at(i).translated(shift));
    for (int i = 0; i < graph.links.size(); ++i) {
        const LayoutGraph::Link& link = graph.links.at(i);
        ItemsConnection connection{graph.devices.at(link.from).name, graph.devices.at(link.to).name, {}};
        if (i < bends.size()) {
            for (const QPointF& point : bends.at(i))
                connection.bendingPoints.append(point + shift);
        }
        arrangement.connections.append(connection);
    }
    arrangement.devices = graph.descriptions;
    arrangement.recalculateBounds();
    return arrangement;
}
