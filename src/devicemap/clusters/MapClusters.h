#pragma once

#include "dozerozozu_export.h"

#include <QList>
#include <QRectF>
#include <QString>

class DeviceMapWidget;
class QGraphicsItem;

/**
 * The user's cluster commands on the device map: a named cluster around chosen devices
 * (with the name prompt), a cluster around devices pasted from a template, and the name
 * check that every place where a cluster name is typed goes through. Each new cluster is a
 * CreateClusterOperation on the map's undo stack, which makes its item here.
 *
 * Owned by the DeviceMapWidget; GUI thread only. The prompt runs a nested event loop
 * (ModalRunner::getText): the map, and with it this object, may be gone when it returns.
 */
class DOZEROZOZU_EXPORT MapClusters
{
public:
    explicit MapClusters(DeviceMapWidget& map);

    /// Whether name may be given to a new or renamed cluster of this map.
    bool isAcceptableName(const QString& name) const;
    /// Asks for a name and pushes a cluster around the device items; a cancelled prompt, an
    /// unacceptable name or a cluster that would leave the scene makes none. The selection is
    /// cleared in every case but an empty snapshot.
    void createClusterByItems(const QList<QGraphicsItem*>& items);
    /// Asks for a name and pushes a cluster on a scene rectangle (a right-button rubber band);
    /// a cancelled prompt, an unacceptable name or a rectangle outside the scene makes none.
    void createClusterOnRect(const QRectF& rect);
    /// createClusterByItems() of the scene's selection; nothing without one.
    void createClusterFromSelection();
    /// Pushes a cluster named "<templateName>-N" around the device items, without asking,
    /// when it fits in the scene.
    void createClusterForTemplate(const QString& templateName, const QList<QGraphicsItem*>& items);
    /// Makes (or replaces) the cluster item of that name on the given scene rectangle.
    void createItem(const QString& name, const QRectF& rect);

private:
    DeviceMapWidget& map;
};
