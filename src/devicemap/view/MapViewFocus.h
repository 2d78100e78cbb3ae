#pragma once

#include "dozerozozu_export.h"

#include <QPointF>
#include <QPointer>
#include <QString>

class DeviceMapWidget;
class DeviceNodeItem;

/**
 * Keeps the map's view on its devices through a command that moves all of them, such as a
 * rearrangement and its undo: a view left where it was could show an empty part of the new
 * drawing, with nothing to tell the user where the devices went.
 *
 * Made before the move, it remembers the device in view nearest the view's centre, the one
 * the user was looking at, and the scene point at the view's centre. follow() after the move
 * leaves the view alone while that device is still in view, else centres the view on it;
 * when no device was in view before (or the device is gone), it shows the drawing's start:
 * the device nearest the drawing's top-left corner, near the view's top-left corner. A
 * command's undo instead returns to the centre its own command started from, so that the user
 * sees again what they saw. Either only scrolls: the scale stays as the user left it.
 *
 * Made on the stack for one command. GUI thread only.
 *
 *     MapViewFocus focus(*map);
 *     ... move the devices ...
 *     focus.follow();
 */
class DOZEROZOZU_EXPORT MapViewFocus
{
public:
    explicit MapViewFocus(DeviceMapWidget& map);

    /// The scene point at the view's centre when this was made.
    QPointF viewedCentre() const { return centre; }

    /// Brings the view to the devices, as the class comment says.
    void follow();
    /// Centres the view on point (another focus's viewedCentre()), as far as the scene rectangle lets it.
    void returnTo(const QPointF& point);

private:
    /// Whether item, shown, lies at least partly in the view.
    bool isInView(const DeviceNodeItem* item) const;
    /// The device nearest the top-left corner of all shown devices; null without one.
    DeviceNodeItem* drawingStart() const;
    void showAtTopLeft(const DeviceNodeItem* item);

    QPointer<DeviceMapWidget> map;
    QString focused;
    QPointF centre;
};
