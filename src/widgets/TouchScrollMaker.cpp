#include "TouchScrollMaker.h"

#include <QAbstractItemView>
#include <QAbstractScrollArea>
#include <QAbstractSlider>
#include <QAbstractSpinBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QMouseEvent>
#include <QScrollBar>

namespace {

constexpr int tapTolerance = 2;

QPoint roundedLocalPos(QEvent* event)
{
    return static_cast<QMouseEvent*>(event)->localPos().toPoint();
}

} // namespace

TouchScrollMaker::TouchScrollMaker(QAbstractScrollArea* parent)
    : QObject(parent)
{
}

void TouchScrollMaker::activateTouchScroll(QAbstractScrollArea* area)
{
    if (!area)
        return;
    auto* maker = new TouchScrollMaker(area);
    area->viewport()->installEventFilter(maker);
    if (auto* itemView = qobject_cast<QAbstractItemView*>(area))
        itemView->setVerticalScrollMode(QAbstractItemView::ScrollPerPixel);
    maker->scrollArea = area;
}

void TouchScrollMaker::applyFilterToChildren(QObject* object)
{
    if (!object || qobject_cast<QAbstractScrollArea*>(object))
        return;
    object->installEventFilter(this);
    const QObjectList children = object->children();
    for (QObject* child : children)
        applyFilterToChildren(child);
}

QAbstractScrollArea* TouchScrollMaker::area() const
{
    return qobject_cast<QAbstractScrollArea*>(scrollArea.data());
}

bool TouchScrollMaker::isOwnArea(QObject* object) const
{
    return object == scrollArea.data();
}

QPoint TouchScrollMaker::toArea(QWidget* widget, const QPoint& pos) const
{
    if (!widget || !scrollArea || (widget != scrollArea && !scrollArea->isAncestorOf(widget)))
        return pos;
    return widget->mapTo(scrollArea, pos);
}

void TouchScrollMaker::resetPress()
{
    pressPosition = QPoint();
    lastPosition = QPoint();
    m_pressPending = false;
}

bool TouchScrollMaker::eventFilter(QObject* watched, QEvent* event)
{
    // A child added while still being constructed can escape the scroll-area check in
    // applyFilterToChildren(); a nested area drops the filter the first time it shows up here.
    if (!isOwnArea(watched) && qobject_cast<QAbstractScrollArea*>(watched)) {
        watched->removeEventFilter(this);
        return false;
    }

    if (event->type() == QEvent::Wheel
        && (qobject_cast<QComboBox*>(watched) || qobject_cast<QAbstractSpinBox*>(watched)
            || qobject_cast<QAbstractSlider*>(watched)))
        return true;
    if (event->type() == QEvent::ChildAdded) {
        applyFilterToChildren(static_cast<QChildEvent*>(event)->child());
        return QObject::eventFilter(watched, event);
    }
    if (qobject_cast<QAbstractSlider*>(watched))
        return QObject::eventFilter(watched, event);

    switch (event->type()) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseMove:
    case QEvent::MouseButtonRelease:
        break;
    default:
        // Only mouse events may look at the area: others also come while it is being destroyed.
        return QObject::eventFilter(watched, event);
    }
    if (area() && !area()->verticalScrollBar()->isVisible())
        return QObject::eventFilter(watched, event);
    if (event->type() == QEvent::MouseButtonPress)
        return handlePress(watched, event);
    if (event->type() == QEvent::MouseMove)
        return handleMove(watched, event);
    return handleRelease(watched, event);
}

bool TouchScrollMaker::handlePress(QObject* watched, QEvent* event)
{
    if (m_pressPending) {
        // The press replayed after a tap: let it through.
        resetPress();
        return QObject::eventFilter(watched, event);
    }
    pressedWidget = qobject_cast<QWidget*>(watched);
    pressPosition = toArea(pressedWidget, roundedLocalPos(event));
    lastPosition = pressPosition;
    m_pressPending = true;
    return true;
}

bool TouchScrollMaker::handleMove(QObject* watched, QEvent* event)
{
    if (!area() || watched != area()->viewport() || !m_pressPending)
        return QObject::eventFilter(watched, event);
    QPoint position = roundedLocalPos(event);
    if (pressedWidget == watched)
        position = toArea(pressedWidget, position);
    QScrollBar* bar = area()->verticalScrollBar();
    bar->setValue(bar->value() - (position.y() - lastPosition.y()));
    lastPosition = position;
    return true;
}

bool TouchScrollMaker::handleRelease(QObject* watched, QEvent* event)
{
    if (!pressedWidget)
        return QObject::eventFilter(watched, event);
    QWidget* target = pressedWidget;
    pressedWidget.clear();
    const QPoint local = roundedLocalPos(event);
    const QPoint releasePosition = target == watched ? toArea(target, local) : local;
    const int distance =
        qAbs(releasePosition.x() - pressPosition.x()) + qAbs(releasePosition.y() - pressPosition.y());
    if (distance > tapTolerance) {
        resetPress();
        return QObject::eventFilter(watched, event);
    }
    const QPoint tapPosition =
        target == watched || !scrollArea ? local : target->mapFrom(scrollArea, local);
    const QPoint global = target->mapToGlobal(tapPosition);
    QCoreApplication::postEvent(target,
                                new QMouseEvent(QEvent::MouseButtonPress, tapPosition, global, Qt::LeftButton,
                                                Qt::NoButton, Qt::NoModifier),
                                Qt::HighEventPriority);
    QCoreApplication::postEvent(target,
                                new QMouseEvent(QEvent::MouseButtonRelease, tapPosition, global, Qt::LeftButton,
                                                Qt::NoButton, Qt::NoModifier),
                                Qt::HighEventPriority);
    return true;
}
