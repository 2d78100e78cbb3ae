#pragma once

#include "dozerozozu_export.h"

#include <QGraphicsItem>
#include <QObject>

class QGraphicsSceneMouseEvent;

/**
 * Base of every pointer-sensitive item of the device map: device nodes, links and
 * cluster rectangles.
 *
 * It carries the hover flag that the map widget sets as the pointer moves, and keeps
 * the selection an item had at the last press so that a click leaves the selection as
 * it was (or inverted with Control alone). The QObject base carries no meta-object of
 * its own; derived items may declare one. Owned by its scene; GUI thread only.
 */
class DOZEROZOZU_EXPORT HoverableItem : public QGraphicsItem, public QObject
{
public:
    explicit HoverableItem(QGraphicsItem* parent = nullptr);

    bool isHovered() const { return hovered; }
    /// Stores the flag and repaints the whole item.
    virtual void setHovered(bool value);

    void setWasSelected(bool value) { wasSelected = value; }
    bool getWasSelected() const { return wasSelected; }

protected:
    void mousePressEvent(QGraphicsSceneMouseEvent* event) override;
    void mouseReleaseEvent(QGraphicsSceneMouseEvent* event) override;

    bool hovered = false;
    bool wasSelected = false;
};
