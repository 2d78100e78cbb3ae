#include "ClusterRectItem.h"

#include <QApplication>
#include <QFontMetricsF>
#include <QGraphicsScene>
#include <QPainter>
#include <QPainterPath>
#include <QWidget>

#include <algorithm>

namespace {

constexpr int stretchSideLength = 8;
constexpr int stretchAreaMargin = 2;

} // namespace

ClusterRectItem::ClusterRectItem(QString name, QRectF rect, QGraphicsItem* parent)
    : HoverableItem(parent)
    , name(std::move(name))
    , color(Qt::white)
    , clusterRect(rect)
{
}

QRectF ClusterRectItem::boundingRect() const
{
    return clusterRect;
}

QPainterPath ClusterRectItem::shape() const
{
    QPainterPath path;
    path.addPolygon(QPolygonF(stretchTriangle));
    path.addRect(labelRect);
    return path;
}

void ClusterRectItem::paint(QPainter* painter, const QStyleOptionGraphicsItem* option, QWidget* widget)
{
    Q_UNUSED(option)
    // Rendering to an image or a printer passes no widget: the application's font and
    // palette stand in for the view's.
    const QFont font = widget ? widget->font() : QApplication::font();
    const QPalette palette = widget ? widget->palette() : QApplication::palette();
    const QFontMetricsF metrics(font);
    const QRectF& r = clusterRect;

    labelRect = QRectF(r.x(), r.y(), metrics.horizontalAdvance(name) + 4.0, metrics.height());
    const double right = r.x() + r.width();
    const double bottom = r.y() + r.height();
    stretchTriangle = QPolygon({QPoint(int(right - stretchSideLength), int(bottom)),
                                QPoint(int(right), int(bottom - stretchSideLength)),
                                QPoint(int(right), int(bottom))});
    QPainterPath trianglePath;
    trianglePath.addPolygon(QPolygonF(stretchTriangle));

    const QColor drawingColor = hovered ? palette.color(QPalette::Highlight) : color;

    painter->setPen(drawingColor);
    painter->drawRect(r);
    painter->fillRect(labelRect, drawingColor);
    painter->fillPath(trianglePath, QBrush(drawingColor));
    painter->drawRect(labelRect);
    painter->drawPolygon(stretchTriangle, Qt::OddEvenFill);

    painter->setPen(palette.color(QPalette::Text));
    painter->setFont(font);
    painter->drawText(labelRect, Qt::AlignCenter, name);
}

QRectF ClusterRectItem::rect() const
{
    return clusterRect;
}

void ClusterRectItem::setRect(const QRectF& rect)
{
    prepareGeometryChange();
    clusterRect = rect;
}

QString ClusterRectItem::getName() const
{
    return name;
}

void ClusterRectItem::setName(const QString& newName)
{
    name = newName;
    update();
}

QColor ClusterRectItem::getColor() const
{
    return color;
}

void ClusterRectItem::setColor(const QColor& newColor)
{
    color = newColor;
}

bool ClusterRectItem::getMovesContainedDevices() const
{
    return movesContainedDevices;
}

void ClusterRectItem::setMovesContainedDevices(bool value)
{
    movesContainedDevices = value;
}

ClusterSettings ClusterRectItem::settings() const
{
    ClusterSettings settings;
    settings.color = color;
    settings.movesContainedDevices = movesContainedDevices;
    return settings;
}

void ClusterRectItem::setSettings(const ClusterSettings& settings)
{
    if (settings.color.isValid())
        setColor(settings.color);
    setMovesContainedDevices(settings.movesContainedDevices);
}

int ClusterRectItem::getStretchSideLength() const
{
    return stretchSideLength;
}

bool ClusterRectItem::isInStretchArea(QPointF point) const
{
    const QPointF p = pos();
    const QRectF& r = clusterRect;
    const QRectF area(p.x() + r.right() - stretchSideLength - stretchAreaMargin,
                      p.y() + r.bottom() - stretchSideLength - stretchAreaMargin,
                      stretchSideLength + 2 * stretchAreaMargin, stretchSideLength + 2 * stretchAreaMargin);
    return area.contains(point);
}

double ClusterRectItem::visibleArea() const
{
    return clusterRect.width() * clusterRect.height();
}

void ClusterRectItem::setHovered(bool value)
{
    HoverableItem::setHovered(value);
    update();
}

QVariant ClusterRectItem::itemChange(GraphicsItemChange change, const QVariant& value)
{
    if (change != ItemPositionChange || !scene())
        return QGraphicsItem::itemChange(change, value);

    const QPointF proposed = value.toPointF();
    const QRectF r = boundingRect();
    const QRectF sceneRect = scene()->sceneRect();
    if (sceneRect.contains(QRectF(proposed.x(), proposed.y(), r.width(), r.height())))
        return QGraphicsItem::itemChange(change, value);

    // The maximum first: a cluster larger than the scene ends on its right or bottom edge.
    const double x = std::min(std::max(proposed.x(), sceneRect.left()), sceneRect.right() - r.width());
    const double y = std::min(std::max(proposed.y(), sceneRect.top()), sceneRect.bottom() - r.height());
    return QVariant(QPointF(x, y));
}
