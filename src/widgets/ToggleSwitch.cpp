#include "ToggleSwitch.h"

#include <QApplication>
#include <QMouseEvent>
#include <QPainter>
#include <QPropertyAnimation>

namespace {
constexpr int defaultNominalHeight = 16;
}

ToggleSwitch::ToggleSwitch(QWidget* parent)
    : QAbstractButton(parent)
    , thumbX(defaultNominalHeight / 2)
    , thumbY(defaultNominalHeight / 2)
    , nominalHeight(defaultNominalHeight)
    , thumbBrush(QApplication::palette().brush(QPalette::Base))
    , onBrush(QApplication::palette().brush(QPalette::Highlight))
    , animation(new QPropertyAnimation(this, "offset", this))
{
}

QSize ToggleSwitch::sizeHint() const
{
    return QSize(2 * (nominalHeight + margin), nominalHeight + 2 * margin);
}

int ToggleSwitch::offset() const
{
    return thumbX;
}

void ToggleSwitch::setOffset(int offset)
{
    thumbX = offset;
    update();
}

QBrush ToggleSwitch::brush() const
{
    return onBrush;
}

void ToggleSwitch::setBrush(const QBrush& brush)
{
    onBrush = brush;
}

void ToggleSwitch::setToggled(bool on)
{
    switched = on;
    thumbBrush = switched ? onBrush : QApplication::palette().brush(QPalette::Base);
    animation->stop();
    if (switched) {
        animation->setStartValue(nominalHeight / 2);
        animation->setEndValue(width() - nominalHeight);
    } else {
        animation->setStartValue(thumbX);
        animation->setEndValue(nominalHeight / 2);
    }
    animation->setDuration(120);
    animation->start();
    Q_EMIT toggled(switched);
}

void ToggleSwitch::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.setPen(Qt::NoPen);
    const QRectF track = rect().adjusted(margin, margin, -margin, -margin);
    const QRectF thumb(thumbX - nominalHeight / 2, thumbY - nominalHeight / 2, height(), height());
    if (isEnabled()) {
        painter.setBrush(switched ? onBrush : QBrush(Qt::black));
        painter.setOpacity(switched ? 0.5 : 0.38);
        painter.setRenderHint(QPainter::Antialiasing, true);
        painter.drawRoundedRect(track, 8.0, 8.0);
        painter.setBrush(thumbBrush);
        painter.setOpacity(1.0);
        painter.drawEllipse(thumb);
    } else {
        painter.setBrush(Qt::black);
        painter.setOpacity(0.12);
        painter.drawRoundedRect(track, 8.0, 8.0);
        painter.setOpacity(1.0);
        painter.setBrush(QColor("#BDBDBD"));
        painter.drawEllipse(thumb);
    }
}

void ToggleSwitch::mouseReleaseEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton)
        setToggled(!switched);
    QAbstractButton::mouseReleaseEvent(event);
}

void ToggleSwitch::enterEvent(QEvent* event)
{
    setCursor(Qt::PointingHandCursor);
    QAbstractButton::enterEvent(event);
}
