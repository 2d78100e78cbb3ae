#pragma once

#include "LayoutGraph.h"
#include "dozerozozu_export.h"

#include <QList>
#include <QMap>
#include <QRectF>
#include <QSizeF>
#include <QString>
#include <QStringList>

#include <functional>
#include <optional>

class DeviceManager;

/**
 * Makes the LayoutGraph of a list of device descriptions for one layout type.
 *
 * Links: each link the descriptions list (DescribedLink::list(): outgoing connections
 * first, then connection strings, each in the order of the descriptions) gives a link from
 * its source to its target; a pair already linked in that direction gets no second link,
 * A to B and B to A are two links, and a peer that is not among the descriptions gives none.
 *
 * Groups, by type (category tests are case-sensitive):
 * - ClusterByIO: "IO" or "network" among the type's categories puts a device in "Input",
 *   otherwise "GUI" or "Model" in "Output", otherwise in no group; a group without
 *   devices is left out.
 * - ClusterByGuiArea: a "GUI" device joins the group named by its "widget/area" value
 *   (an empty value names a group too); a device the manager has no handle for, and any
 *   other device, joins none.
 * - FixedClusters: every cluster of the map becomes a group, empty or not, nested as the
 *   rectangles nest (a cluster's parent is, among the larger clusters containing it, the
 *   one whose top-left corner is nearest); a placed device joins the smallest cluster
 *   containing its rectangle (the first in name order on equal areas).
 * - Orthogonal, Hierarchical and unknown types: no groups.
 *
 * A plain object; the functions it is given are called only from build(), on the
 * caller's thread (the manager's must be the GUI thread).
 *
 *     LayoutGraphBuilder builder(manager, LayoutGraph::FixedClusters);
 *     builder.setMapClusters(clusterRects, placedDeviceRects);
 *     const LayoutGraph graph = builder.build(infos);
 */
class DOZEROZOZU_EXPORT LayoutGraphBuilder
{
public:
    /// The size of a device's node on the map.
    using SizeFunction = std::function<QSizeF(const DeviceInfo&)>;
    /// The categories of a device type.
    using CategoriesFunction = std::function<QStringList(const QString& deviceType)>;
    /// The "widget/area" value of a device, nothing when there is no handle for it.
    using GuiAreaFunction = std::function<std::optional<QString>(const QString& deviceName)>;

    /// Sizes from DeviceNodeItem::getDeviceSize (needs a GUI application), no categories, no areas.
    explicit LayoutGraphBuilder(qint32 layoutType);
    /// As above, with categories and areas asked of manager, which must outlive build().
    LayoutGraphBuilder(DeviceManager* manager, qint32 layoutType);

    void setSizeFunction(SizeFunction sizeOf);
    void setCategoriesFunction(CategoriesFunction categoriesOf);
    void setGuiAreaFunction(GuiAreaFunction guiAreaOf);
    /**
     * The map's clusters (name to scene rectangle) and the scene rectangles of its placed
     * devices, for FixedClusters; a device missing from deviceRects joins no cluster.
     */
    void setMapClusters(const QMap<QString, QRectF>& clusterRects, const QMap<QString, QRectF>& deviceRects);

    /// The graph of infos; a later description of a name takes the earlier one's place over.
    LayoutGraph build(const QList<DeviceInfo>& infos) const;

private:
    void addDevices(LayoutGraph& graph, const QList<DeviceInfo>& infos) const;
    void addLinks(LayoutGraph& graph, const QList<DeviceInfo>& infos) const;
    void addCategoryGroups(LayoutGraph& graph, const QList<DeviceInfo>& infos) const;
    void addMapClusterGroups(LayoutGraph& graph) const;
    QString categoryGroupOf(const DeviceInfo& info, bool* grouped) const;

    qint32 layoutType;
    SizeFunction sizeOf;
    CategoriesFunction categoriesOf;
    GuiAreaFunction guiAreaOf;
    QMap<QString, QRectF> mapClusterRects;
    QMap<QString, QRectF> placedDeviceRects;
};
