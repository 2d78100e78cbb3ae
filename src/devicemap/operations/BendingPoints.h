#pragma once

#include <QList>
#include <QPointF>
#include <QString>

class DeviceConnectionItem;
class DeviceMapWidget;

// What the three bending-point operations share: the directed look-up of their link, which
// may have gone since the operation was pushed, and setting a list followed by a full update.
namespace BendingPoints {

/// The link from source to target on map, or null when the map or the link has gone.
DeviceConnectionItem* linkOf(const DeviceMapWidget* map, const QString& source, const QString& target);
/// Replaces the link's bending points and lets it re-read both ends and repaint.
void apply(DeviceConnectionItem* link, const QList<QPointF>& points);

} // namespace BendingPoints
