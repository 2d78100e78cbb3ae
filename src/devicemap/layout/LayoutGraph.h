#pragma once

#include "DeviceInfo.h"
#include "dozerozozu_export.h"

#include <QList>
#include <QSizeF>
#include <QString>

/**
 * The graph the automatic layout places: devices with their sizes, the links between
 * them in creation order and the groups (clusters) they are drawn in.
 *
 * A plain value, copied into a layout run, so a run never sees later changes of the
 * caller's data. Made by LayoutGraphBuilder from the map's devices; tests and
 * benchmarks may fill one by hand. Any thread.
 *
 *     const LayoutGraph graph = LayoutGraphBuilder(manager, type).build(infos);
 *     const DevicesArrangement arrangement = GraphLayoutAdapter::layOut(graph).arrangement;
 */
struct DOZEROZOZU_EXPORT LayoutGraph
{
    /// The same values as DeviceMapWidget::LayoutType, which the map stores in its layout file.
    enum Type : qint32 {
        Orthogonal = 0,
        Hierarchical = 1,
        ClusterByGuiArea = 2,
        ClusterByIO = 3,
        FixedClusters = 4,
    };

    struct Device
    {
        QString name;
        /// The size the device's node really has; its rectangle in the result keeps it.
        QSizeF size;
        /// Index in groups of the innermost group holding the device, -1 for none.
        int group = -1;
    };

    /// A directed link; both ends are indexes in devices, equal for a device feeding itself.
    struct Link
    {
        int from = -1;
        int to = -1;
    };

    struct Group
    {
        QString name;
        /// Index in groups of the enclosing group, -1 at the top level; always a smaller index.
        int parent = -1;
    };

    /// The LayoutType value the graph was made for.
    qint32 type = Orthogonal;
    /// Distinct names, in the order the descriptions came.
    QList<Device> devices;
    /// At most one link per (from, to) pair, in creation order.
    QList<Link> links;
    /// Parents before their children; a group may hold no device.
    QList<Group> groups;
    /// Handed back unchanged as the arrangement's devices.
    QList<DeviceInfo> descriptions;

    /// Whether type is one of the three clustered layouts.
    bool isClustered() const;
    /// Whether type is one of the five layouts the map knows.
    bool hasKnownType() const;
    /// Index of the device of that name, -1 when absent; a linear search.
    int indexOf(const QString& name) const;
    /// The same graph without groups: every device at the top level.
    LayoutGraph withoutGroups() const;
};
