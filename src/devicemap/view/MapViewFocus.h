#pragma once

#include "dozerozozu_export.h"

#include <QPoint>
#include <QPointF>
#include <QPointer>
#include <QSize>
#include <QString>
#include <QTransform>

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
 * command's undo instead returns to what the view showed when its own command started, so that
 * the user sees again what they saw, to the pixel. Either only scrolls: the scale stays as the
 * user left it.
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
    /// What the view showed: the scene point at its centre, and its scroll bars at its size and scale.
    struct View
    {
        QPointF centre;
        QPoint scrolled;
        QSize size;
        QTransform transform;
    };

    explicit MapViewFocus(DeviceMapWidget& map);

    /// What the view showed when this was made.
    View viewed() const { return view; }

    /// Brings the view to the devices, as the class comment says.
    void follow();
    /**
     * Shows again what another focus's viewed() showed, once the scene rectangle it showed is
     * set back: the same scroll bar values where the view has kept its size and scale, else the
     * same centre, as far as the scene rectangle lets it.
     */
    void returnTo(const View& shown);

private:
    /// Whether item, shown, lies at least partly in the view.
    bool isInView(const DeviceNodeItem* item) const;
    /// The device nearest the top-left corner of all shown devices; null without one.
    DeviceNodeItem* drawingStart() const;
    void showAtTopLeft(const DeviceNodeItem* item);

    QPointer<DeviceMapWidget> map;
    QString focused;
    View view;
};
