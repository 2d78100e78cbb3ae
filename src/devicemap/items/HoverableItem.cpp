#include "HoverableItem.h"

#include <QGraphicsSceneMouseEvent>

HoverableItem::HoverableItem(QGraphicsItem* parent)
    : QGraphicsItem(parent)
    , QObject(nullptr)
{
    setAcceptHoverEvents(true);
}

void HoverableItem::setHovered(bool value)
{
    hovered = value;
    QGraphicsItem::update(QRectF());
}

void HoverableItem::mousePressEvent(QGraphicsSceneMouseEvent* event)
{
    wasSelected = isSelected();
    QGraphicsItem::mousePressEvent(event);
    if (event->modifiers() == Qt::ControlModifier) {
        wasSelected = !wasSelected;
        setSelected(wasSelected);
    }
}

void HoverableItem::mouseReleaseEvent(QGraphicsSceneMouseEvent* event)
{
    QGraphicsItem::mouseReleaseEvent(event);
    setSelected(wasSelected);
}
