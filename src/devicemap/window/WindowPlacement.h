#pragma once

#include "dozerozozu_export.h"

#include <QPoint>
#include <QRect>
#include <QSize>

#include <functional>

/**
 * Where the device-map window opens: centred over the widget it was opened from and kept
 * on the screen.
 *
 * Stateless; GUI thread (it asks the application's screens).
 */
namespace WindowPlacement {

/// The size of the screen holding a point.
using ScreenSizeAt = std::function<QSize(const QPoint& point)>;

/**
 * The top-left corner for a window of size window centred on parentGeometry: a window that
 * does not fit to the right of that place ends 20 pixels past the screen's right edge, one
 * that does not fit below it ends flush with the bottom edge, and neither coordinate is
 * below 30. The screen's width and height serve as limits; its position is not added.
 */
DOZEROZOZU_EXPORT QPoint startPosition(const QRect& parentGeometry, const QSize& window,
                                       const ScreenSizeAt& screenSizeAt);

/// The size of the screen containing point, or of the primary screen when none does.
DOZEROZOZU_EXPORT QSize screenSizeAt(const QPoint& point);

} // namespace WindowPlacement
