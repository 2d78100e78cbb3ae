#pragma once

#include "ClusterSettings.h"
#include "DeviceInfo.h"
#include "ItemsConnection.h"
#include "dozerozozu_export.h"

#include <QList>
#include <QMap>
#include <QPointF>
#include <QRectF>
#include <QString>

/**
 * Where a set of devices sits: their rectangles, the clusters, the connections among
 * them and their descriptions. Captured from the map, produced by the automatic layout,
 * consumed by paste, templates, the drag preview and the rearrangement.
 *
 * A plain value: copied, never shared. The default value (all rectangles null, no
 * devices) is also the "no arrangement" value.
 */
struct DOZEROZOZU_EXPORT DevicesArrangement
{
    /// Union of devicesRect and clustersRect.
    QRectF boundingRect;
    /// Union of every rectangle of deviceRects.
    QRectF devicesRect;
    /// Union of every rectangle of clusterRects.
    QRectF clustersRect;
    /// Device name to the device's rectangle (top-left corner and size).
    QMap<QString, QRectF> deviceRects;
    /// Cluster name to the cluster's rectangle.
    QMap<QString, QRectF> clusterRects;
    /**
     * Cluster name to what the user set on it, for clusters captured from the map; a layout
     * gives none, and a cluster without an entry keeps the settings it has or a new one's.
     */
    QMap<QString, ClusterSettings> clusterSettings;
    /// Mean of the device centres: the point by which the arrangement is pasted or dragged.
    QPointF center;
    /// Connections between devices of the arrangement, one per source and target pair.
    QList<ItemsConnection> connections;
    /// Descriptions of the arranged devices.
    QList<DeviceInfo> devices;

    DevicesArrangement() = default;
    DevicesArrangement(const DevicesArrangement&) = default;
    DevicesArrangement(DevicesArrangement&&) = default;
    DevicesArrangement& operator=(const DevicesArrangement&) = default;
    DevicesArrangement& operator=(DevicesArrangement&&) = default;
    ~DevicesArrangement() = default;

    /// True without connections and device rectangles; clusters alone do not count.
    bool isEmpty() const;

    /**
     * Recomputes devicesRect, clustersRect, boundingRect and center from deviceRects and
     * clusterRects. Rectangles unite as QRectF::operator| does, so a null rectangle adds
     * nothing; center stays (0, 0) without any device.
     */
    void recalculateBounds();
};
