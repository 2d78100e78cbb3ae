#pragma once

#include "dozerozozu_export.h"

#include <QObject>
#include <QPoint>
#include <QPointer>

class QAbstractScrollArea;
class QWidget;

/**
 * Lets a finger drag scroll a vertical scroll area while a short tap still reaches the widget
 * under the finger as a click. A press is held back until its release: a release within 2 px
 * (sum of x and y movement) replays press and release to the pressed widget, a larger one was
 * a drag that moved the content. The wheel never changes combo boxes, spin boxes or sliders
 * inside the area. Content that fits (vertical scroll bar hidden) is left alone, and so is a
 * nested scroll area with everything inside it.
 *
 * Owned by the scroll area it serves; GUI thread only. Activate right after constructing the
 * area and before setting its content:
 *
 *     auto* area = new QScrollArea(this);
 *     TouchScrollMaker::activateTouchScroll(area);
 *     area->setWidget(content);
 */
class DOZEROZOZU_EXPORT TouchScrollMaker : public QObject
{
public:
    explicit TouchScrollMaker(QAbstractScrollArea* parent);

    /// Equips area (not null) with a TouchScrollMaker that it owns.
    static void activateTouchScroll(QAbstractScrollArea* area);

    /// Installs this filter on object and its current children, depth first; skips null
    /// objects and scroll areas (and what is inside them).
    void applyFilterToChildren(QObject* object);

    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    bool isOwnArea(QObject* object) const;
    QAbstractScrollArea* area() const;
    QPoint toArea(QWidget* widget, const QPoint& pos) const;
    bool handlePress(QObject* watched, QEvent* event);
    bool handleMove(QObject* watched, QEvent* event);
    bool handleRelease(QObject* watched, QEvent* event);
    void resetPress();

    QPoint pressPosition;
    QPoint lastPosition;
    QPointer<QWidget> pressedWidget;
    // Held as a widget: while it is being destroyed it is no scroll area any more, and area() says so.
    QPointer<QWidget> scrollArea;
    // Kept apart from the positions: a press at the area's (0, 0) is a press all the same.
    bool m_pressPending = false;
};
