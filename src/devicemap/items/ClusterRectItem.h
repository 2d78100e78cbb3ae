#pragma once

#include "ClusterSettings.h"
#include "HoverableItem.h"
#include "dozerozozu_export.h"

#include <QColor>
#include <QPolygon>
#include <QRectF>
#include <QString>

/**
 * A named rectangle that groups devices on the map.
 *
 * Draws its outline, its name on a filled label at the top-left corner and a filled
 * triangle, the stretch corner, at the bottom-right one. Only the label and the stretch
 * corner answer hit tests, so clicks inside reach the devices below. Moving it keeps it
 * inside the scene rectangle. The rectangle sits at the item origin, (0, 0, w, h); the
 * position is the top-left corner in the scene. Owned by the map's scene; GUI thread only.
 */
class DOZEROZOZU_EXPORT ClusterRectItem : public HoverableItem
{
public:
    ClusterRectItem(QString name, QRectF rect, QGraphicsItem* parent = nullptr);

    QRectF boundingRect() const override;
    /// Only the label and the stretch corner as last painted; empty before the first paint.
    QPainterPath shape() const override;
    void paint(QPainter* painter, const QStyleOptionGraphicsItem* option, QWidget* widget) override;

    QRectF rect() const;
    void setRect(const QRectF& rect);
    QString getName() const;
    void setName(const QString& name);
    QColor getColor() const;
    /// Takes effect at the next repaint.
    void setColor(const QColor& color);
    bool getMovesContainedDevices() const;
    void setMovesContainedDevices(bool value);
    /// The colour and the moves-contained-devices flag together.
    ClusterSettings settings() const;
    /// Takes every setting of settings, but an invalid colour; the colour at the next repaint.
    void setSettings(const ClusterSettings& settings);
    int getStretchSideLength() const;
    /// Whether a scene point lies on the stretch corner, grown by 2 on every side.
    bool isInStretchArea(QPointF point) const;
    /// Width times height; the automatic layout orders clusters by it.
    double visibleArea() const;

    void setHovered(bool value) override;

protected:
    /// Keeps a moved cluster inside the scene rectangle.
    QVariant itemChange(GraphicsItemChange change, const QVariant& value) override;

private:
    QString name;
    QColor color;
    QRectF clusterRect;
    QRectF labelRect;
    QPolygon stretchTriangle;
    bool movesContainedDevices = true;
};
