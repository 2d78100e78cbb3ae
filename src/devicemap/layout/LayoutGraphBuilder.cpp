#include "LayoutGraphBuilder.h"

#include "DescribedLink.h"
#include "DeviceHandle.h"
#include "DeviceManager.h"
#include "DeviceMapWidget.h"
#include "DeviceNodeItem.h"
#include "SharedConstants.h"

#include <QHash>
#include <QSet>

#include <algorithm>
#include <cstdlib>

static_assert(int(LayoutGraph::Orthogonal) == int(DeviceMapWidget::Orthogonal)
                  && int(LayoutGraph::Hierarchical) == int(DeviceMapWidget::Hierarchical)
                  && int(LayoutGraph::ClusterByGuiArea) == int(DeviceMapWidget::ClusterByGuiArea)
                  && int(LayoutGraph::ClusterByIO) == int(DeviceMapWidget::ClusterByIO)
                  && int(LayoutGraph::FixedClusters) == int(DeviceMapWidget::FixedClusters),
              "LayoutGraph::Type mirrors DeviceMapWidget::LayoutType");

namespace {

const QString InputGroup = QStringLiteral("Input");
const QString OutputGroup = QStringLiteral("Output");
const QString CategoryModel = QStringLiteral("Model");

double area(const QRectF& rect)
{
    return rect.width() * rect.height();
}

} // namespace

LayoutGraphBuilder::LayoutGraphBuilder(qint32 layoutType)
    : layoutType(layoutType)
    , sizeOf([](const DeviceInfo& info) { return QSizeF(DeviceNodeItem::getDeviceSize(info)); })
{
}

LayoutGraphBuilder::LayoutGraphBuilder(DeviceManager* manager, qint32 layoutType)
    : LayoutGraphBuilder(layoutType)
{
    if (!manager)
        return;
    categoriesOf = [manager](const QString& type) { return manager->getDeviceTypeInfo(type).categories; };
    guiAreaOf = [manager](const QString& name) -> std::optional<QString> {
        const QSharedPointer<DeviceHandle> handle = manager->getDeviceHandle(name);
        if (!handle)
            return std::nullopt;
        return handle->getParamValue(WidgetAreaParam);
    };
}

void LayoutGraphBuilder::setSizeFunction(SizeFunction function)
{
    sizeOf = std::move(function);
}

void LayoutGraphBuilder::setCategoriesFunction(CategoriesFunction function)
{
    categoriesOf = std::move(function);
}

void LayoutGraphBuilder::setGuiAreaFunction(GuiAreaFunction function)
{
    guiAreaOf = std::move(function);
}

void LayoutGraphBuilder::setMapClusters(const QMap<QString, QRectF>& clusterRects,
                                        const QMap<QString, QRectF>& deviceRects)
{
    mapClusterRects = clusterRects;
    placedDeviceRects = deviceRects;
}

LayoutGraph LayoutGraphBuilder::build(const QList<DeviceInfo>& infos) const
{
    LayoutGraph graph;
    graph.type = layoutType;
    graph.descriptions = infos;
    addDevices(graph, infos);
    addLinks(graph, infos);
    if (layoutType == LayoutGraph::ClusterByIO || layoutType == LayoutGraph::ClusterByGuiArea)
        addCategoryGroups(graph, infos);
    else if (layoutType == LayoutGraph::FixedClusters)
        addMapClusterGroups(graph);
    return graph;
}

void LayoutGraphBuilder::addDevices(LayoutGraph& graph, const QList<DeviceInfo>& infos) const
{
    QHash<QString, int> indexByName;
    for (const DeviceInfo& info : infos) {
        const QSizeF size = sizeOf ? sizeOf(info) : QSizeF();
        const auto found = indexByName.constFind(info.name);
        if (found != indexByName.constEnd()) {
            graph.devices[*found].size = size;
            continue;
        }
        indexByName.insert(info.name, graph.devices.size());
        graph.devices.append({info.name, size, -1});
    }
}

void LayoutGraphBuilder::addLinks(LayoutGraph& graph, const QList<DeviceInfo>& infos) const
{
    QHash<QString, int> indexByName;
    for (int i = 0; i < graph.devices.size(); ++i)
        indexByName.insert(graph.devices.at(i).name, i);

    QSet<QPair<int, int>> linked;
    auto addLink = [&](int from, int to) {
        if (from < 0 || to < 0 || linked.contains({from, to}))
            return;
        linked.insert({from, to});
        graph.links.append({from, to});
    };
    for (const DescribedLink& link : DescribedLink::list(infos))
        addLink(indexByName.value(link.text.source, -1), indexByName.value(link.target(), -1));
}

QString LayoutGraphBuilder::categoryGroupOf(const DeviceInfo& info, bool* grouped) const
{
    *grouped = false;
    const QStringList categories = categoriesOf ? categoriesOf(info.type) : QStringList();
    if (layoutType == LayoutGraph::ClusterByIO) {
        if (categories.contains(CategoryIO) || categories.contains(CategoryNetwork)) {
            *grouped = true;
            return InputGroup;
        }
        if (categories.contains(CategoryGui) || categories.contains(CategoryModel)) {
            *grouped = true;
            return OutputGroup;
        }
        return QString();
    }
    if (!categories.contains(CategoryGui) || !guiAreaOf)
        return QString();
    const std::optional<QString> areaName = guiAreaOf(info.name);
    *grouped = areaName.has_value();
    return areaName.value_or(QString());
}

void LayoutGraphBuilder::addCategoryGroups(LayoutGraph& graph, const QList<DeviceInfo>& infos) const
{
    // The last description of a name decides, as it decides the size.
    QHash<QString, const DeviceInfo*> lastInfo;
    for (const DeviceInfo& info : infos)
        lastInfo.insert(info.name, &info);

    QMap<QString, QList<int>> membersByGroup;
    for (int i = 0; i < graph.devices.size(); ++i) {
        bool grouped = false;
        const QString group = categoryGroupOf(*lastInfo.value(graph.devices.at(i).name), &grouped);
        if (grouped)
            membersByGroup[group].append(i);
    }
    for (auto it = membersByGroup.cbegin(); it != membersByGroup.cend(); ++it) {
        for (int device : it.value())
            graph.devices[device].group = graph.groups.size();
        graph.groups.append({it.key(), -1});
    }
}

void LayoutGraphBuilder::addMapClusterGroups(LayoutGraph& graph) const
{
    const QStringList names = mapClusterRects.keys();

    // Smallest first; a stable sort keeps name order among equal areas.
    QList<int> bySize;
    for (int i = 0; i < names.size(); ++i)
        bySize.append(i);
    std::stable_sort(bySize.begin(), bySize.end(), [&](int a, int b) {
        return area(mapClusterRects.value(names.at(a))) < area(mapClusterRects.value(names.at(b)));
    });

    QMap<int, QList<int>> childrenOf; // -1 is the top level
    for (int i = 0; i < bySize.size(); ++i) {
        const QRectF rect = mapClusterRects.value(names.at(bySize.at(i)));
        int parent = -1;
        double nearest = 0;
        for (int j = i + 1; j < bySize.size(); ++j) {
            const QRectF candidate = mapClusterRects.value(names.at(bySize.at(j)));
            if (!candidate.contains(rect))
                continue;
            const double distance = std::abs(candidate.left() - rect.left()) + std::abs(candidate.top() - rect.top());
            if (parent < 0 || distance < nearest) {
                parent = bySize.at(j);
                nearest = distance;
            }
        }
        childrenOf[parent].append(bySize.at(i));
    }

    // Breadth first, so every parent precedes its children in the group list.
    QHash<int, int> groupOfCluster;
    QList<int> queue{-1};
    while (!queue.isEmpty()) {
        const int cluster = queue.takeFirst();
        for (int child : childrenOf.value(cluster)) {
            groupOfCluster.insert(child, graph.groups.size());
            graph.groups.append({names.at(child), cluster < 0 ? -1 : groupOfCluster.value(cluster)});
            queue.append(child);
        }
    }

    for (LayoutGraph::Device& device : graph.devices) {
        const auto placed = placedDeviceRects.constFind(device.name);
        if (placed == placedDeviceRects.constEnd())
            continue;
        int smallest = -1;
        for (int i = 0; i < names.size(); ++i) {
            const QRectF rect = mapClusterRects.value(names.at(i));
            if (rect.contains(*placed) && (smallest < 0 || area(rect) < area(mapClusterRects.value(names.at(smallest)))))
                smallest = i;
        }
        if (smallest >= 0)
            device.group = groupOfCluster.value(smallest);
    }
}
