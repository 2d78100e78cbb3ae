#include "PopupWidget.h"

#include <QApplication>
#include <QMouseEvent>
#include <QWindow>

PopupWidget::PopupWidget(QWidget* parent)
    : QWidget(parent)
{
    setWindowFlags(windowFlags() | Qt::Dialog | Qt::FramelessWindowHint);
    qApp->installEventFilter(this);
}

bool PopupWidget::eventFilter(QObject* watched, QEvent* event)
{
    switch (event->type()) {
    case QEvent::MouseButtonPress:
    case QEvent::TouchBegin:
        if (isVisible() && !underMouse() && !childrenUnderCursor(this) && !holdsPressTarget(watched))
            hide();
        break;
    case QEvent::ApplicationDeactivate:
        hide();
        break;
    default:
        break;
    }
    return QWidget::eventFilter(watched, event);
}

// A touch does not always move the mouse, so the hover state alone cannot tell a press
// inside the popup from one outside; the press's own receiver can.
bool PopupWidget::holdsPressTarget(QObject* target) const
{
    if (target == windowHandle())
        return true;
    auto targetWidget = qobject_cast<QWidget*>(target);
    return targetWidget && (targetWidget == this || isAncestorOf(targetWidget));
}

void PopupWidget::mousePressEvent(QMouseEvent* event)
{
    setMouseTracking(true);
    dragPosition = event->globalPos();
    QWidget::mousePressEvent(event);
}

void PopupWidget::mouseMoveEvent(QMouseEvent* event)
{
    if (event->buttons() != Qt::LeftButton)
        return;
    const QPoint globalPosition = event->globalPos();
    move(pos() + globalPosition - dragPosition);
    dragPosition = globalPosition;
}

void PopupWidget::mouseReleaseEvent(QMouseEvent*)
{
    setMouseTracking(false);
}

bool childrenUnderCursor(QWidget* widget)
{
    if (!widget)
        return false;
    const auto children = widget->findChildren<QWidget*>(QString(), Qt::FindDirectChildrenOnly);
    for (QWidget* child : children) {
        if (child->isVisible() && child->testAttribute(Qt::WA_UnderMouse))
            return true;
        if (childrenUnderCursor(child))
            return true;
    }
    return false;
}
