#pragma once

#include "DeviceMapWidget.h"
#include "dozerozozu_export.h"

#include <QList>
#include <QPointF>
#include <QString>

class DeviceConnectionItem;
class DeviceNodeItem;
class HoverableItem;
class QGraphicsItem;

/**
 * A connection being drawn on the device map, from its start on a source device to its end
 * on a target device, and the connection dialog of an existing link.
 *
 * A drawing starts with a name only (a right press or a Shift press on a device, or the
 * device menu's "Add connection"). The first pointer move makes the rubber line: a link item
 * from the source to a hidden end node that follows the pointer, and the map shows which
 * devices the source can join (colouring by connectivity) until the drawing ends, when the
 * colour mode in force before comes back. Dropped on a device, the manager's
 * findMatchingMethods() decides: a plain CreateConnectionOperation, nothing, or the
 * connection dialog (DeviceConnectionsDialog::manageConnections()).
 *
 * Owned by the DeviceMapWidget, whose scene holds the rubber line. The drawing is cancelled
 * when its source device goes. The dialog and an operation's wait run nested event loops:
 * the map, and this object with it, may be gone when they return. GUI thread only.
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

    /// Starts drawing from the named device; the line appears at the next pointer move.
    void start(const QString& sourceName);
    /// Moves the line's free end to a scene point, making the line first when there is none.
    void follow(const QPointF& scenePos);
    /**
     * Finishes on the items found at the drop point, topmost first: links the source to the
     * topmost device as findMatchingMethods() decides, then ends the drawing. Nothing is
     * linked on empty space, on a non-device, on the source itself or on a device the source
     * already feeds.
     */
    void drawConnection(const QList<QGraphicsItem*>& items);
    /// Ends a drawing that has its rubber line, without a link; does nothing without one.
    void interrupt();
    /// Ends the drawing in whatever state it is, without a link (Escape, a press before the line).
    void cancel();
    /// Opens the connection dialog for an existing link.
    void connectionClicked(DeviceConnectionItem* connection);

    /// Cancels a drawing whose source item goes; connected to MapItemIndex::itemAboutToBeRemoved().
    void forget(HoverableItem* item);

private:
    void linkTo(const QString& targetName);
    void removeRubberLine();

    DeviceMapWidget& map;
    bool drawingConnection = false;
    DeviceConnectionItem* tempConnection = nullptr;
    DeviceNodeItem* tempEndNode = nullptr;
    QString connectionSource;
    // Colouring by connectivity is switched on with the line and off when it goes; the mode
    // before comes back even when the user had chosen connectivity before an earlier change.
    bool switchedColours = false;
    DeviceMapWidget::ColorisationMode modeBeforeDrawing = DeviceMapWidget::ByState;
    DeviceMapWidget::ColorisationMode previousModeBeforeDrawing = DeviceMapWidget::ByState;
};
