#pragma once

#include "dozerozozu_export.h"

#include <QObject>
#include <QPoint>

class QMouseEvent;
class QRect;
class QSize;
class QWidget;

/**
 * Event filter that lets the user drag a dialog by its background: a left press on
 * anything that is not a control (button, field, list, slider, scroll bar, tab bar,
 * scroll-area viewport) starts a drag that keeps the dialog 20 pixels inside the
 * available screen area. ConfigWidget creates one for itself and owns it; GUI thread only.
 */
class DOZEROZOZU_EXPORT ConfigWidgetDragHelper : public QObject
{
public:
    explicit ConfigWidgetDragHelper(QWidget* target);

    bool eventFilter(QObject* watched, QEvent* event) override;
    bool canDragFromWidget(QWidget* widget);
    void handleMouseMove(QMouseEvent* event);
    bool isDragging() const;

    /// `position` moved so that a window of `size` keeps 20 pixels inside `avail`; the
    /// left and top margins win when the window is too large. Shared with the dialog's
    /// own placement on showing.
    static QPoint keepInside(const QPoint& position, const QSize& size, const QRect& avail);

private:
    QWidget* target;
    QPoint dragOffset;
    bool dragging;
};
