#include "ConfigWidgetDragHelper.h"

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QAbstractSpinBox>
#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QListWidget>
#include <QMouseEvent>
#include <QScreen>
#include <QScrollBar>
#include <QSlider>
#include <QTabBar>
#include <QTextEdit>

ConfigWidgetDragHelper::ConfigWidgetDragHelper(QWidget* target)
    : QObject(target)
    , target(target)
    , dragOffset(0, 0)
    , dragging(false)
{
}

bool ConfigWidgetDragHelper::isDragging() const
{
    return dragging;
}

bool ConfigWidgetDragHelper::eventFilter(QObject* watched, QEvent* event)
{
    const QEvent::Type type = event->type();
    if (type != QEvent::MouseButtonPress && type != QEvent::MouseButtonRelease && type != QEvent::MouseMove)
        return false;
    auto* widget = qobject_cast<QWidget*>(watched);
    if (!widget || !target || (widget != target && !target->isAncestorOf(widget)))
        return false;
    auto* mouse = static_cast<QMouseEvent*>(event);

    if (type == QEvent::MouseButtonPress) {
        if (mouse->button() != Qt::LeftButton || !canDragFromWidget(widget))
            return false;
        dragging = true;
        dragOffset = mouse->globalPos() - target->frameGeometry().topLeft();
        target->setCursor(Qt::ClosedHandCursor);
        return true;
    }
    if (type == QEvent::MouseButtonRelease) {
        if (!dragging)
            return false;
        if (mouse->button() == Qt::LeftButton) {
            dragging = false;
            target->setCursor(Qt::ArrowCursor);
        }
        return true;
    }
    if (!dragging)
        return false;
    handleMouseMove(mouse);
    return true;
}

bool ConfigWidgetDragHelper::canDragFromWidget(QWidget* widget)
{
    if (!widget)
        return false;
    if (qobject_cast<QAbstractButton*>(widget) || qobject_cast<QAbstractSpinBox*>(widget)
        || qobject_cast<QComboBox*>(widget) || qobject_cast<QLineEdit*>(widget) || qobject_cast<QTextEdit*>(widget)
        || qobject_cast<QListWidget*>(widget) || qobject_cast<QAbstractItemView*>(widget))
        return false;
    if (qobject_cast<QAbstractItemView*>(widget->parent()))
        return false;
    if (qobject_cast<QSlider*>(widget) || qobject_cast<QScrollBar*>(widget) || qobject_cast<QTabBar*>(widget))
        return false;
    return widget->objectName() != QLatin1String("qt_scrollarea_viewport");
}

void ConfigWidgetDragHelper::handleMouseMove(QMouseEvent* event)
{
    if (!dragging || !(event->buttons() & Qt::LeftButton) || !target)
        return;
    const QPoint global = event->globalPos();
    const QPoint p = global - dragOffset;
    QScreen* screen = QGuiApplication::screenAt(global);
    if (!screen)
        screen = QGuiApplication::primaryScreen();
    if (!screen)
        return;
    target->move(keepInside(p, target->size(), screen->availableGeometry()));
}

QPoint ConfigWidgetDragHelper::keepInside(const QPoint& position, const QSize& size, const QRect& avail)
{
    const int margin = 20;
    return QPoint(qMax(qMin(position.x(), avail.right() - size.width() - margin), avail.left() + margin),
                  qMax(qMin(position.y(), avail.bottom() - size.height() - margin), avail.top() + margin));
}
