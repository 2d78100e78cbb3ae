#pragma once

#include "dozerozozu_export.h"

#include <QPointF>
#include <QString>

class ClusterRectItem;
class DeviceConnectionItem;
class DeviceMapWidget;
class DeviceNodeItem;
class QMouseEvent;

/**
 * What a click on the device map does, by the item under the pointer and the button.
 *
 * - Empty space or a grid line: the hover ends; a right click opens the scene menu, whose
 *   "Paste" pastes and whose device types create a device where the press was.
 * - A device: a plain left click opens its settings dialog (DeviceConfigWidget, not
 *   blocking); a right click selects it (alone, unless it was selected already) and opens
 *   the device menu, or the selection menu for two or more selected devices.
 * - A link: a plain left click opens the connection dialog, or first asks which of two
 *   overlapping links was meant; Control+left adds a bending point; a right click opens the
 *   bending point's menu on a bend, else the link's menu.
 * - A cluster: a right click (not on its stretch corner) opens its menu.
 *
 * The map's mouseClickEvent() forwards here; MapInteraction calls it for a click and for a
 * long press (as a right click). Every menu runs through MapMenus::run() and every question
 * through ZenticMessageBox, both nested event loops: afterwards the map and the item the
 * menu was opened for are checked again, and an item deleted meanwhile is left alone.
 * Owned by the DeviceMapWidget; GUI thread only.
 */
class DOZEROZOZU_EXPORT MapClicks
{
public:
    explicit MapClicks(DeviceMapWidget& map);

    /// Dispatches one click; the event's button, modifiers and viewport position are read.
    void click(QMouseEvent* event);
    /// The menu of empty space; a paste or a new device lands at the last press.
    void sceneMenu();
    /// Shows the settings dialog of the named device without blocking; it deletes itself when finished.
    void openSettings(const QString& name);

private:
    void clickEmptySpace(QMouseEvent* event);
    void clickDevice(DeviceNodeItem* node, QMouseEvent* event);
    void deviceMenu(DeviceNodeItem* node);
    /// The device and selection menus' Delete: asks, then removes the selected devices.
    void deleteSelectedDevices();
    void createClusterAround(DeviceNodeItem* node);
    void exportSelection(bool asTemplate);

    void clickLink(DeviceConnectionItem* link, QMouseEvent* event);
    /// The connection dialog of the link, or of the one the user picks where two overlap.
    void openLink(DeviceConnectionItem* link, const QPointF& scenePos);
    void linkMenu(DeviceConnectionItem* link, const QPointF& scenePos);
    void bendingPointMenu(DeviceConnectionItem* link, const QPointF& bend);
    void addBendingPoint(DeviceConnectionItem* link, const QPointF& scenePos);
    /// Asks, then removes the link with every signal and slot pair it carries.
    void disconnect(DeviceConnectionItem* link);
    bool isMapLink(const DeviceConnectionItem* link) const;

    void clusterMenu(ClusterRectItem* cluster);
    void removeCluster(ClusterRectItem* cluster);

    DeviceMapWidget& map;
};
