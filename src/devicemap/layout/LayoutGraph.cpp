#include "LayoutGraph.h"

bool LayoutGraph::isClustered() const
{
    return type == ClusterByGuiArea || type == ClusterByIO || type == FixedClusters;
}

bool LayoutGraph::hasKnownType() const
{
    return type >= Orthogonal && type <= FixedClusters;
}

int LayoutGraph::indexOf(const QString& name) const
{
    for (int i = 0; i < devices.size(); ++i) {
        if (devices.at(i).name == name)
            return i;
    }
    return -1;
}

LayoutGraph LayoutGraph::withoutGroups() const
{
    LayoutGraph flat = *this;
    flat.groups.clear();
    for (Device& device : flat.devices)
        device.group = -1;
    return flat;
}
