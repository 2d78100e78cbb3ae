#pragma once

#include "dozerozozu_export.h"

#include <QString>

class DeviceConnectionItem;
class DeviceMapWidget;
class DeviceNodeItem;
class HoverableItem;

/**
 * A connection being drawn on the device map: the rubber line from the source device to a
 * hidden end node that follows the pointer, and the source's name, which colouring by
 * connectivity reads.
 *
 * Owned by the DeviceMapWidget, which is the owner of the scene holding the rubber line.
 * When the source device goes, the drawing is cancelled. GUI thread only.
 */
class DOZEROZOZU_EXPORT ConnectionDrawing
{
public:
    explicit ConnectionDrawing(DeviceMapWidget& map);
    ~ConnectionDrawing();
    ConnectionDrawing(const ConnectionDrawing&) = delete;
    ConnectionDrawing& operator=(const ConnectionDrawing&) = delete;

    bool isDrawing() const { return drawingConnection; }
    /// Name of the device the connection is drawn from; empty when none.
    QString source() const { return connectionSource; }
    void setSource(const QString& name) { connectionSource = name; }
    void clearSource() { connectionSource.clear(); }
    DeviceConnectionItem* rubberLine() const { return tempConnection; }
    DeviceNodeItem* endNode() const { return tempEndNode; }
    /// Takes over a rubber line and its hidden end node, both already in the map's scene.
    void setRubberLine(DeviceConnectionItem* line, DeviceNodeItem* endNode);

    /// Drops the rubber line and the source, and leaves colouring by connectivity.
    void cancel();
    /// Cancels a drawing whose source item goes; connected to MapItemIndex::itemAboutToBeRemoved().
    void forget(HoverableItem* item);

private:
    DeviceMapWidget& map;
    bool drawingConnection = false;
    DeviceConnectionItem* tempConnection = nullptr;
    DeviceNodeItem* tempEndNode = nullptr;
    QString connectionSource;
};
