#include "DeviceConnectionItem.h"

#include "DeviceMapGeometry.h"
#include "DeviceNodeItem.h"
#include "MapLevelOfDetail.h"

#include <QApplication>
#include <QLineF>
#include <QPaintEngine>
#include <QPainter>
#include <QPainterPathStroker>
#include <QTimer>
#include <QWidget>
#include <QtDebug>

#include <algorithm>
#include <cmath>

DeviceConnectionItem::ActivityType DeviceConnectionItem::activityType = DeviceConnectionItem::NotActive;

namespace {

const QString runtimeVariable = QStringLiteral("runtime_variable");
constexpr double positionTolerance = 1e-12;
constexpr double bendingPointRadius = 4.0;
constexpr double splitDistance = 20.0;
constexpr double wingAngle = 24.0;
constexpr double hitStrokeWidth = 10.0;

QRectF placedRect(const DeviceNodeItem* node)
{
    return QRectF(node->pos(), node->boundingRect().size());
}

// Exactly equal, unlike QRectF's fuzzy comparison: any change of the stored rectangles
// changes the bounding rectangle the scene's index holds.
bool isSameRect(const QRectF& a, const QRectF& b)
{
    return a.x() == b.x() && a.y() == b.y() && a.width() == b.width() && a.height() == b.height();
}

bool isSamePolyline(const QList<QPointF>& a, const QList<QPointF>& b)
{
    return std::equal(a.cbegin(), a.cend(), b.cbegin(), b.cend(), [](const QPointF& p, const QPointF& q) {
        return p.x() == q.x() && p.y() == q.y();
    });
}

bool differs(const QPointF& a, const QPointF& b)
{
    return std::abs(a.x() - b.x()) > positionTolerance || std::abs(a.y() - b.y()) > positionTolerance;
}

bool coincides(const QPointF& a, const QPointF& b)
{
    return !differs(a, b);
}

bool isNear(const QPointF& point, const QPointF& center)
{
    return QLineF(point, center).length() <= bendingPointRadius;
}

// The corners of the axis-parallel box spanned by two neighbours of a bend: the bend
// forms a right angle with them when it sits on one of these.
QPointF upperCorner(const QPointF& p, const QPointF& q)
{
    const QPointF corner(std::min(p.x(), q.x()), std::min(p.y(), q.y()));
    if (coincides(corner, p) || coincides(corner, q))
        return QPointF(std::max(p.x(), q.x()), std::min(p.y(), q.y()));
    return corner;
}

QPointF lowerCorner(const QPointF& p, const QPointF& q)
{
    const QPointF corner(std::max(p.x(), q.x()), std::max(p.y(), q.y()));
    if (coincides(corner, p) || coincides(corner, q))
        return QPointF(std::min(p.x(), q.x()), std::max(p.y(), q.y()));
    return corner;
}

// Line widths follow the font so that links stay legible on large touch fonts.
int sizeUnit()
{
    const QFont font = QApplication::font();
    const double pointSize = font.pointSizeF() > 0 ? font.pointSizeF() : font.pixelSize() * 0.75;
    return std::max(1, int(pointSize * 0.125));
}

// The part of segment p-q inside area, as parameters 0 <= t0 <= t1 <= 1 along it
// (Liang-Barsky); false when none of it is inside.
bool clipSegment(const QPointF& p, const QPointF& q, const QRectF& area, double& t0, double& t1)
{
    t0 = 0.0;
    t1 = 1.0;
    const double dx = q.x() - p.x();
    const double dy = q.y() - p.y();
    const double bounds[4][2] = {{-dx, p.x() - area.left()},
                                 {dx, area.right() - p.x()},
                                 {-dy, p.y() - area.top()},
                                 {dy, area.bottom() - p.y()}};
    for (const auto& bound : bounds) {
        const double direction = bound[0];
        const double distance = bound[1];
        if (direction == 0.0) {
            if (distance < 0.0)
                return false;
            continue;
        }
        const double t = distance / direction;
        if (direction < 0.0) {
            if (t > t1)
                return false;
            t0 = std::max(t0, t);
        } else {
            if (t < t0)
                return false;
            t1 = std::min(t1, t);
        }
    }
    return true;
}

// The pixel raster the painter draws on, in the item's coordinates, grown by margin
// device pixels; null when that cannot be told exactly enough (other paint engines, a
// recording that may be replayed elsewhere, high-dpi devices, rotated views).
QRectF paintedArea(const QPainter* painter, double margin)
{
    const QPaintDevice* device = painter->device();
    if (!device || !painter->paintEngine() || painter->paintEngine()->type() != QPaintEngine::Raster
        || device->devicePixelRatioF() != 1.0)
        return QRectF();
    const QTransform transform = painter->combinedTransform();
    if (transform.type() > QTransform::TxScale || !transform.isInvertible())
        return QRectF();
    const QRectF deviceRect(-margin, -margin, device->width() + 2 * margin, device->height() + 2 * margin);
    return transform.inverted().mapRect(deviceRect);
}

// The polyline cut down to what lies in area. The rasteriser walks a stroke's whole
// length even where it is clipped away, and links to far nodes can be thousands of
// pixels long; the cut ends lie outside the painted raster, so what shows is unchanged.
QPainterPath visiblePart(const QPainterPath& polyline, const QRectF& area)
{
    if (area.isNull() || area.contains(polyline.controlPointRect()))
        return polyline;
    QPainterPath visible;
    bool joined = false;
    for (int i = 1; i < polyline.elementCount(); ++i) {
        const QPointF from = polyline.elementAt(i - 1);
        const QPointF to = polyline.elementAt(i);
        double t0 = 0.0;
        double t1 = 1.0;
        if (!clipSegment(from, to, area, t0, t1)) {
            joined = false;
            continue;
        }
        if (!joined || t0 > 0.0)
            visible.moveTo(t0 > 0.0 ? from + (to - from) * t0 : from);
        visible.lineTo(t1 < 1.0 ? from + (to - from) * t1 : to);
        joined = t1 == 1.0;
    }
    return visible;
}

QPainterPath pathThrough(const QPolygonF& points)
{
    if (points.isEmpty())
        return QPainterPath();
    QPainterPath path(points.first());
    for (int i = 1; i < points.size(); ++i)
        path.lineTo(points.at(i));
    return path;
}

} // namespace

DeviceConnectionItem::DeviceConnectionItem(DeviceNodeItem* nodeFrom, DeviceNodeItem* nodeTo,
                                           QList<QPointF> bendingPoints)
    : HoverableItem(nullptr)
    , nodeFrom(nodeFrom)
    , nodeTo(nodeTo)
    , bendingPoints(std::move(bendingPoints))
{
    takeNodePlaces();
    oldFromRect = fromRect;
    oldToRect = toRect;
    bent = !this->bendingPoints.isEmpty();
    refreshBounds();
}

DeviceConnectionItem::~DeviceConnectionItem() = default;

DeviceNodeItem* DeviceConnectionItem::getNodeFrom() const
{
    return nodeFrom.data();
}

DeviceNodeItem* DeviceConnectionItem::getNodeTo() const
{
    return nodeTo.data();
}

QList<QPointF> DeviceConnectionItem::getBendingPoints() const
{
    return bendingPoints;
}

void DeviceConnectionItem::setBendingPoints(QList<QPointF> points)
{
    prepareGeometryChange();
    if (points.isEmpty()) {
        bendingPoints.clear();
        bent = false;
        refreshBounds();
        return;
    }
    bent = true;
    takeNodePlaces();
    bendingPoints = std::move(points);
    refreshBounds();
}

void DeviceConnectionItem::insertBendingPoint(QPointF point)
{
    if (bendingPoints.isEmpty()) {
        setBendingPoints({point});
        return;
    }
    using DeviceMapGeometry::pointToSegmentDistance;
    const int count = bendingPoints.size();
    const auto distanceTo = [&point](const QPointF& a, const QPointF& b) {
        return pointToSegmentDistance(a.x(), a.y(), b.x(), b.y(), point.x(), point.y());
    };
    double best = distanceTo(fromPos, bendingPoints.first());
    int index = 0;
    for (int i = 0; i + 1 < count; ++i) {
        const double distance = distanceTo(bendingPoints.at(i), bendingPoints.at(i + 1));
        if (distance <= best) {
            best = distance;
            index = i + 1;
        }
    }
    if (distanceTo(toPos, bendingPoints.last()) <= best)
        index = count;
    prepareGeometryChange();
    bendingPoints.insert(index, point);
    refreshBounds();
}

QPointF DeviceConnectionItem::isInBendingPointsArea(QPointF point) const
{
    for (const QPointF& bendingPoint : bendingPoints) {
        if (isNear(point, bendingPoint))
            return bendingPoint;
    }
    return QPointF();
}

void DeviceConnectionItem::split()
{
    if (bent) {
        qWarning().noquote() << QStringLiteral("\u0421an not split a line with bending points!");
        return;
    }
    const QPointF a = fromRect.center();
    const QPointF b = toRect.center();
    const QPointF middle = (a + b) / 2;
    const QPointF normal(a.y() - b.y(), b.x() - a.x());
    const double length = std::hypot(normal.x(), normal.y());
    // Nodes sharing one centre give no direction to turn: bend straight up instead.
    const QPointF offset = length > 0 ? normal * (splitDistance / length) : QPointF(0, -splitDistance);
    setBendingPoints({middle + offset});
}

bool DeviceConnectionItem::isBent() const
{
    return bent;
}

void DeviceConnectionItem::update(const QRectF& rect)
{
    // Activity repaints a link several times a second; telling the scene's index about a
    // geometry change that did not happen would make it rebuild for nothing.
    if (nodeFrom && nodeTo && (!isSameRect(placedRect(nodeFrom), fromRect) || !isSameRect(placedRect(nodeTo), toRect)))
        prepareGeometryChange();
    takeNodePlaces();
    QGraphicsItem::update(rect);
}

void DeviceConnectionItem::setActivityType(ActivityType type)
{
    activityType = type;
}

DeviceConnectionItem::ActivityType DeviceConnectionItem::getActivityType()
{
    return activityType;
}

void DeviceConnectionItem::onEmit()
{
    switch (activityType) {
    case DashedLinePerEmit:
        dashOffset += dashStep;
        break;
    case DashedLinePerTime:
        makeActivityTimers();
        activeTimer->stop();
        moveTimer->stop();
        activeTimer->start(activeTime);
        moveTimer->start(moveInterval);
        active = true;
        break;
    case ColorLinePerTime:
        makeActivityTimers();
        activeTimer->start(activeTime);
        active = true;
        break;
    case NotActive:
        break;
    }
}

bool DeviceConnectionItem::isActive() const
{
    return active;
}

double DeviceConnectionItem::getDashOffset() const
{
    return dashOffset;
}

void DeviceConnectionItem::makeActivityTimers()
{
    if (activeTimer)
        return;
    activeTimer = new QTimer(this);
    moveTimer = new QTimer(this);
    activeTimer->setSingleShot(true);
    moveTimer->setSingleShot(true);
    connect(activeTimer, &QTimer::timeout, this, &DeviceConnectionItem::activeTimerTimeout);
    connect(moveTimer, &QTimer::timeout, this, &DeviceConnectionItem::moveLine);
}

QPen DeviceConnectionItem::activityPen() const
{
    QPen pen(QBrush(Qt::green), 2, Qt::DashLine, Qt::SquareCap, Qt::BevelJoin);
    pen.setDashPattern({10, 10});
    pen.setDashOffset(dashOffset);
    return pen;
}

void DeviceConnectionItem::setActivityIntervals(int activeTimeMs, int moveIntervalMs)
{
    activeTime = std::max(0, activeTimeMs);
    moveInterval = std::max(1, moveIntervalMs);
}

QRectF DeviceConnectionItem::boundingRect() const
{
    return bounds;
}

// The scene asks for the bounding rectangle many times per paint; it is worked out
// whenever the nodes' rectangles or the bends change instead.
void DeviceConnectionItem::refreshBounds()
{
    QRectF united = fromRect | toRect;
    if (bent) {
        for (const QPointF& point : qAsConst(bendingPoints))
            united |= QRectF(point, QSizeF(1, 1));
    }
    bounds = united.adjusted(-5, -5, 5, 5);
}

QPainterPath DeviceConnectionItem::shape() const
{
    if (shapePending) {
        // A simplified paint leaves the arrow to be laid out here, when a hit test needs it.
        auto* self = const_cast<DeviceConnectionItem*>(this);
        self->layOutArrow(sizeUnit());
        shapePath = QPainterPath();
        if (arrowDrawn) {
            QPainterPathStroker stroker;
            stroker.setWidth(hitStrokeWidth);
            const QPainterPath head = pathThrough(QPolygonF({arrowPoint, firstWingEnd, secondWingEnd, arrowPoint}));
            shapePath = stroker.createStroke(pathThrough(linePoints)).united(head);
        }
        shapePending = false;
        self->shapeFollowsArrow = true;
    }
    return shapePath;
}

void DeviceConnectionItem::paint(QPainter* painter, const QStyleOptionGraphicsItem* option, QWidget* widget)
{
    Q_UNUSED(option)
    if (!isDrawable()) {
        // A link that is not drawn must not catch clicks either.
        shapePath = QPainterPath();
        shapePending = false;
        shapeFollowsArrow = false;
        return;
    }
    followNodes();

    const int unit = sizeUnit();
    const double scale = MapLevelOfDetail::scaleOf(painter);
    if (!MapLevelOfDetail::drawsInFull(scale)) {
        paintSimplified(painter, scale, lineColor(widget), unit);
        return;
    }
    layOutArrow(unit);

    QColor color = Qt::darkGray;
    if (hovered) {
        const QPalette palette = widget ? widget->palette() : QApplication::palette();
        color = palette.color(QPalette::Highlight);
        painter->setPen(QPen(QBrush(color), 8.0, Qt::SolidLine, Qt::RoundCap));
        for (const QPointF& point : qAsConst(bendingPoints))
            painter->drawPoint(point);
    }
    if (active && activityType == ColorLinePerTime)
        color = Qt::darkGreen;

    if (!arrowDrawn) {
        shapePath = QPainterPath();
        shapePending = false;
        shapeFollowsArrow = false;
        return;
    }

    painter->setBrush(Qt::NoBrush);
    const QPen linePen(QBrush(color), 2 * unit);
    painter->setPen(linePen);
    const QPainterPath line = pathThrough(linePoints);
    // Square caps and joins reach half the pen width past a point, antialiasing one pixel.
    const QTransform transform = painter->combinedTransform();
    const double deviceScale = std::max(std::abs(transform.m11()), std::abs(transform.m22()));
    painter->drawPath(visiblePart(line, paintedArea(painter, linePen.widthF() * deviceScale + 4.0)));
    // The dash pattern starts where the path starts, so the activity overlay keeps all of it.
    if (activityType == DashedLinePerEmit || (activityType == DashedLinePerTime && active)) {
        painter->setPen(activityPen());
        painter->drawPath(line);
    }

    const QPainterPath head = pathThrough(QPolygonF({arrowPoint, firstWingEnd, secondWingEnd, arrowPoint}));
    painter->fillPath(head, QBrush(Qt::black));
    painter->setPen(QPen(QBrush(color), 1.0));
    painter->drawPath(head);

    if (!shapeFollowsArrow) {
        shapePending = true;
        shapeFollowsArrow = true;
    }
}

QColor DeviceConnectionItem::lineColor(QWidget* widget) const
{
    if (active && activityType == ColorLinePerTime)
        return Qt::darkGreen;
    if (hovered)
        return (widget ? widget->palette() : QApplication::palette()).color(QPalette::Highlight);
    return Qt::darkGray;
}

// Centre to centre: the filled nodes drawn above the link hide its ends, so no arrow point
// needs to be found on the outline.
void DeviceConnectionItem::paintSimplified(QPainter* painter, double scale, const QColor& color, int unit)
{
    if (!isArrowCurrent(unit) || !shapeFollowsArrow) {
        shapePending = true;
        shapeFollowsArrow = true;
    }
    const QPointF from = fromRect.center();
    const QPointF to = toRect.center();
    painter->setPen(QPen(QBrush(color), 2 * unit));
    if (!bent) {
        if (std::abs(to.x() - from.x()) * scale < 1.0 && std::abs(to.y() - from.y()) * scale < 1.0)
            return;
        painter->drawLine(QLineF(from, to));
        return;
    }
    QPolygonF points;
    points.reserve(bendingPoints.size() + 2);
    points << from;
    for (const QPointF& point : qAsConst(bendingPoints))
        points << point;
    points << to;
    const QRectF extent = points.boundingRect();
    if (extent.width() * scale < 1.0 && extent.height() * scale < 1.0)
        return;
    painter->drawPolyline(points);
}

void DeviceConnectionItem::followNodes()
{
    if (!differs(nodeFrom->pos(), fromPos) && !differs(nodeTo->pos(), toPos))
        return;
    const QRectF boundsBefore = boundingRect();
    fromPos = nodeFrom->pos();
    toPos = nodeTo->pos();
    prepareGeometryChange();
    oldFromRect = fromRect;
    fromRect = placedRect(nodeFrom);
    oldToRect = toRect;
    toRect = placedRect(nodeTo);
    if (bent)
        recalculateBendPoints();
    refreshBounds();
    QGraphicsItem::update(boundsBefore | boundingRect());
}

bool DeviceConnectionItem::isArrowCurrent(int unit) const
{
    return laidOut && unit == laidUnit && isSameRect(fromRect, laidFromRect) && isSameRect(toRect, laidToRect)
           && isSamePolyline(bent ? bendingPoints : QList<QPointF>(), laidBendingPoints);
}

void DeviceConnectionItem::layOutArrow(int unit)
{
    if (isArrowCurrent(unit))
        return;
    const QList<QPointF> usedBendingPoints = bent ? bendingPoints : QList<QPointF>();
    laidOut = true;
    laidUnit = unit;
    laidFromRect = fromRect;
    laidToRect = toRect;
    laidBendingPoints = usedBendingPoints;
    shapeFollowsArrow = false;

    // The points go through QPainterPath::lineTo() when drawn, as they were laid out.
    QPointF lastDrawn = fromRect.center();
    linePoints = QPolygonF();
    linePoints << lastDrawn;
    QPointF target = toRect.center();
    for (const QPointF& point : usedBendingPoints) {
        if (toRect.contains(point)) {
            target = usedBendingPoints.last();
            break;
        }
        linePoints << point;
        lastDrawn = point;
    }

    const int radius = toRect.width() <= 1 || toRect.height() <= 1 ? 1 : 5;
    arrowPoint = DeviceMapGeometry::roundedRectIntersection(QLineF(lastDrawn, target), toRect, radius);
    arrowDrawn = !fromRect.contains(arrowPoint);
    if (!arrowDrawn) {
        linePoints = QPolygonF();
        return;
    }

    QLineF firstWing(arrowPoint, lastDrawn);
    const double angle = firstWing.angle();
    firstWing.setLength(8 * unit);
    QLineF secondWing = firstWing;
    firstWing.setAngle(angle - wingAngle);
    secondWing.setAngle(angle + wingAngle);

    QLineF lastSegment(lastDrawn, arrowPoint);
    // Nodes closer than the gap would turn the last segment backwards.
    lastSegment.setLength(std::max(0.0, lastSegment.length() - 5 * unit));
    linePoints << lastSegment.p2();
    firstWingEnd = firstWing.p2();
    secondWingEnd = secondWing.p2();
}

void DeviceConnectionItem::recalculateBendPoints()
{
    const QPointF oldFrom = oldFromRect.center();
    const QPointF oldTo = oldToRect.center();
    const QPointF newFrom = fromRect.center();
    const QPointF newTo = toRect.center();
    const QLineF oldLink(oldFrom, oldTo);
    const QLineF newLink(newFrom, newTo);
    if (oldLink.length() == 0)
        return;
    const QList<QPointF> before = bendingPoints;

    // Each bend keeps its place relative to the link, scaled and turned with it.
    const double scale = newLink.length() / oldLink.length();
    const double turn = oldLink.angleTo(newLink);
    for (QPointF& point : bendingPoints) {
        QLineF offset(QPointF(), point - oldFrom);
        if (!offset.isNull()) {
            const double angle = offset.angle();
            offset.setLength(offset.length() * scale);
            offset.setAngle(angle + turn);
        }
        point = newFrom + offset.p2();
    }

    // A bend that made a right angle with its neighbours keeps making one.
    const int count = bendingPoints.size();
    for (int i = 0; i < count; ++i) {
        const QPointF oldPrevious = i == 0 ? oldFrom : before.at(i - 1);
        const QPointF oldNext = i == count - 1 ? oldTo : before.at(i + 1);
        const QPointF newPrevious = i == 0 ? newFrom : bendingPoints.at(i - 1);
        const QPointF newNext = i == count - 1 ? newTo : bendingPoints.at(i + 1);
        if (isNear(before.at(i), upperCorner(oldPrevious, oldNext)))
            bendingPoints[i] = upperCorner(newPrevious, newNext);
        if (isNear(before.at(i), lowerCorner(oldPrevious, oldNext)))
            bendingPoints[i] = lowerCorner(newPrevious, newNext);
    }
    refreshBounds();
}

void DeviceConnectionItem::activeTimerTimeout()
{
    active = false;
    if (moveTimer)
        moveTimer->stop();
    update(QRectF());
}

void DeviceConnectionItem::moveLine()
{
    dashOffset += dashStep;
    if (activeTimer && activeTimer->isActive())
        moveTimer->start(moveInterval);
    update(QRectF());
}

void DeviceConnectionItem::takeNodePlaces()
{
    if (!nodeFrom || !nodeTo)
        return;
    fromPos = nodeFrom->pos();
    toPos = nodeTo->pos();
    fromRect = placedRect(nodeFrom);
    toRect = placedRect(nodeTo);
    refreshBounds();
}

bool DeviceConnectionItem::isDrawable() const
{
    if (!nodeFrom || !nodeTo)
        return false;
    // The end of a link being drawn is hidden on purpose, as is a runtime variable's.
    if (nodeTo->devName() == runtimeVariable || nodeTo->isAnchor())
        return true;
    return nodeFrom->isVisible() && nodeTo->isVisible();
}
