#pragma once

#include "dozerozozu_export.h"

#include <QPoint>
#include <QString>
#include <QStringList>

class DeviceMapWidget;
class QKeyEvent;
class QWheelEvent;

/**
 * The device map's keys, wheel and zoom.
 *
 * Keys, the first that matches acts: "r" inserts a runtime variable into the link under the
 * cursor (RuntimeVariables); Copy; Paste (at the cursor); Delete with any modifiers; Ctrl+Q
 * closes the map's window; Ctrl+K clusters the selection; Ctrl+A selects every device;
 * Ctrl+T shows or hides the unplaced-devices zone; Escape cancels a connection being drawn;
 * H switches the legend; Ctrl+N opens the "New device" menu at the cursor; the menu key opens
 * the menu a right click at the cursor would. Any other key is the plain view's.
 *
 * The wheel over the unplaced zone's cards rotates the unplaced devices (a linked group moves
 * as one); over a device pulled out of the zone it steps through that device's linked group;
 * elsewhere Control zooms about the cursor and the plain wheel scrolls.
 *
 * The view's scale stays between minimumScale and maximumScale, however often it is zoomed
 * (wheel, zoom slots, pinch), so that the view never degenerates.
 *
 * Owned by the DeviceMapWidget, whose key, wheel and zoom handlers forward here. Menus and
 * prompts run nested event loops: the map may be gone when they return. GUI thread only.
 */
class DOZEROZOZU_EXPORT MapKeys
{
public:
    static constexpr double minimumScale = 1.0 / 50.0;
    static constexpr double maximumScale = 50.0;
    static constexpr double zoomInFactor = 1.25;
    static constexpr double zoomOutFactor = 0.8;

    explicit MapKeys(DeviceMapWidget& map);

    /// The key table; false for a key the plain view handles.
    bool keyPress(QKeyEvent* event);
    /// The wheel; false when the plain view scrolls.
    bool wheel(QWheelEvent* event);

    /// Scales by factor (within the limits) keeping the scene point under viewportPoint in place.
    void applyScale(double factor, const QPoint& viewportPoint);
    /// Scales by factor about the view's anchor, within the limits, and grows the scene to the view.
    void scaleAboutAnchor(double factor);
    /// Back to scale 1 from any uniform zoom.
    void resetScale();
    /// The view's present scale (the transform's horizontal factor).
    double currentScale() const;
    /// The factor to apply to currentScale so that the result stays within the limits.
    static double boundedFactor(double currentScale, double factor);

    /// Puts the device pulled out of the unplaced zone back; a scroll must not carry it along.
    void releaseTemporaryDevice();

    /**
     * The shared unplaced list after one wheel step over the zone: the head (first of this
     * map's names going forward, last going back) moves to the end, or to the front, with
     * the linked group it heads when there is one (group in ascending order, head included).
     */
    static QStringList rotatedUnplaced(QStringList names, const QStringList& group, bool forward);

private:
    bool controlOnly(const QKeyEvent* event) const;
    void toggleUnplacedZone();
    void selectAllDevices();
    void newDeviceAtCursor();
    void contextMenuAtCursor();
    void rotateUnplaced(int delta);
    void stepThroughGroup(int delta, const QPoint& viewportPoint);
    /// The device name and the unplaced devices linked with it, in ascending order; at least the name.
    QStringList groupOf(const QString& name) const;

    DeviceMapWidget& map;
};
