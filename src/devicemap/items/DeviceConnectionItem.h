#pragma once

#include "HoverableItem.h"
#include "dozerozozu_export.h"

#include <QList>
#include <QPainterPath>
#include <QPen>
#include <QPointF>
#include <QPointer>
#include <QPolygonF>
#include <QRectF>

class DeviceNodeItem;
class QTimer;

/**
 * The scene item of one link on the device map: an arrow from the source node to the
 * target node, straight or through bending points (scene coordinates), its head on the
 * target's rounded outline.
 *
 * The bending points follow moving nodes, keeping right angles they formed with their
 * neighbours. Signal activity shows in one of the class-wide ActivityType ways. A link
 * whose source or target is hidden is neither drawn nor hit, except a link to a
 * "runtime_variable" node or to an anchor node (DeviceNodeItem::isAnchor()), the hidden
 * free end of a link being drawn.
 *
 * Level of detail: below the scale at which text can no longer be read (the same as the
 * nodes', MapLevelOfDetail::simplifiedBelow(), 0.41 for a 9 pt font at 96 dpi) a link is
 * a plain line from the source's centre through its bending points to the target's centre,
 * without arrow head, hover dots or activity dashes (the filled nodes drawn above it cover its
 * ends); a link shorter than a pixel is not drawn. Hit tests use the full arrow at any scale.
 *
 * The nodes are not owned: the map deletes a link before its nodes, and a link whose
 * node went first draws nothing. Owned by the map's scene; GUI thread only; the
 * activity mode is unguarded class-wide data.
 */
class DOZEROZOZU_EXPORT DeviceConnectionItem : public HoverableItem
{
    Q_OBJECT

public:
    enum ActivityType {
        DashedLinePerEmit = 0, ///< the dashes step once per emission
        DashedLinePerTime = 1, ///< the dashes march for a while after each emission
        ColorLinePerTime = 2,  ///< the line turns dark green for a while after each emission
        NotActive = 3          ///< emissions show nothing
    };

    DeviceConnectionItem(DeviceNodeItem* nodeFrom, DeviceNodeItem* nodeTo, QList<QPointF> bendingPoints);
    ~DeviceConnectionItem() override;

    DeviceNodeItem* getNodeFrom() const;
    DeviceNodeItem* getNodeTo() const;
    QList<QPointF> getBendingPoints() const;
    /// Stores the points and takes the nodes' places again; callers repaint with update().
    void setBendingPoints(QList<QPointF> points);
    /// Inserts a point on the segment nearest to it; callers repaint with update().
    void insertBendingPoint(QPointF point);
    /// The first bending point within 4 units of point, or (0, 0).
    QPointF isInBendingPointsArea(QPointF point) const;
    /// Bends a straight link 20 units to its left side, so that the two opposite links of a pair part.
    void split();
    bool isBent() const;
    /// Takes the nodes' current places (without moving bending points) and schedules a repaint.
    void update(const QRectF& rect = QRectF());

    static void setActivityType(ActivityType type);
    static ActivityType getActivityType();
    /// One emission on this link, shown according to the class-wide mode.
    void onEmit();
    /// Whether a timed activity display is running.
    bool isActive() const;
    /// The dash offset of the activity overlay; it advances with activity.
    double getDashOffset() const;
    /// How long a timed display lasts and how often the dashes march (500 and 100 ms).
    void setActivityIntervals(int activeTimeMs, int moveIntervalMs);

    QRectF boundingRect() const override;
    /// The stroked line and head as last painted; empty before the first paint.
    QPainterPath shape() const override;
    /// In full or simplified by the painter's scale (see the class comment).
    void paint(QPainter* painter, const QStyleOptionGraphicsItem* option, QWidget* widget) override;

    /// Moves the bending points from the nodes' old places to their new ones.
    void recalculateBendPoints();

public Q_SLOTS:
    void activeTimerTimeout();
    void moveLine();

private:
    void takeNodePlaces();
    bool isDrawable() const;
    /// Takes the nodes' new places when they moved since the last paint, bends following.
    void followNodes();
    QColor lineColor(QWidget* widget) const;
    void paintSimplified(QPainter* painter, double scale, const QColor& color, int unit);
    /// Whether the arrow as laid out still fits the nodes, the bends and the line width.
    bool isArrowCurrent(int unit) const;
    /// Lays the line and the head out again when the nodes, bends or line width changed.
    void layOutArrow(int unit);
    void refreshBounds();
    /// The timers of a timed activity display, made at its first emission.
    void makeActivityTimers();
    QPen activityPen() const;

    QPointer<DeviceNodeItem> nodeFrom;
    QPointer<DeviceNodeItem> nodeTo;
    QList<QPointF> bendingPoints;
    QPointF fromPos;
    QPointF toPos;
    QRectF toRect;
    QRectF fromRect;
    QRectF oldToRect;
    QRectF oldFromRect;
    mutable QPainterPath shapePath;
    bool bent = false;
    bool active = false;
    // Null until a timed activity display first needs them: most links never carry one.
    QTimer* activeTimer = nullptr;
    QTimer* moveTimer = nullptr;
    // The activity pen's dash offset; the pen itself is made when drawn.
    double dashOffset = 0.0;
    int dashStep = 15;
    int activeTime = 500;
    int moveInterval = 100;

    // The arrow as last laid out and what it was laid out from. Stroking the hit-test
    // shape costs more than drawing the arrow, so shape() builds it only when asked. The
    // line and head are kept as points: a kept QPainterPath keeps Qt's drawing cache of it
    // as well, kilobytes a link, so paths are made for the paint and dropped after it.
    QRectF laidFromRect;
    QRectF laidToRect;
    QList<QPointF> laidBendingPoints;
    int laidUnit = 0;
    bool laidOut = false;
    bool arrowDrawn = false;
    QPointF arrowPoint;
    QPolygonF linePoints;
    QPointF firstWingEnd;
    QPointF secondWingEnd;
    bool shapeFollowsArrow = false;
    mutable bool shapePending = false;
    QRectF bounds;

    static ActivityType activityType;
};
