#pragma once

#include "DeviceMapWidget.h"
#include "dozerozozu_export.h"

#include <QList>

class QGraphicsItem;

/**
 * The map commands the device-map window starts and the map view carries out, called in one
 * place each: the rearrangement of the whole graph and the meta-device export.
 *
 * Stateless; GUI thread.
 */
namespace MapWindowForwards {

/**
 * The map's rearrangeGraph(type, confirm): asks the user when confirm is true, lays out the
 * whole graph and pushes the rearrangement. False when there is no map.
 */
DOZEROZOZU_EXPORT bool rearrangeGraph(DeviceMapWidget* map, DeviceMapWidget::LayoutType type, bool confirm);

/**
 * The map's exportMetaDevice(items): nothing for an empty list; otherwise the export wizard
 * over the items and their devices' descriptions, modal on the map, titled "Export meta
 * device", shown without waiting; it deletes itself when closed. Returns the wizard or null.
 */
DOZEROZOZU_EXPORT QWidget* exportMetaDevice(DeviceMapWidget* map, const QList<QGraphicsItem*>& items);

} // namespace MapWindowForwards
