#include "UnplacedZone.h"

#include "DeviceMapParts.h"
#include "DeviceMapWidget.h"
#include "DeviceNodeItem.h"
#include "MapAutoLayout.h"
#include "MapInteraction.h"
#include "MapItemIndex.h"

#include <QApplication>
#include <QCursor>
#include <QLineF>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QSet>

#include <algorithm>
#include <cmath>

namespace {

// Every live map's zone, so that closing one map keeps the unplaced names another map still shows.
QList<const UnplacedZone*>& liveZones()
{
    static QList<const UnplacedZone*> zones;
    return zones;
}

// The zone is centred this far from the viewport's right and bottom edges.
constexpr double zoneInset = 100.0;
constexpr double cardWidth = 70.0;
constexpr double cardHeight = 15.0;
constexpr double cardStep = 7.0;
constexpr double cardRadius = 5.0;
/// Within this many scene units of the zone's centre a pulled device goes back when released.
constexpr double pullDistance = 100.0;

QPointF zoneCentre(const QWidget* viewport)
{
    return QPointF(viewport->width() - zoneInset, viewport->height() - zoneInset);
}

/// Draws text centred in rect, cut to whole units as the rest of the map's texts are.
void drawCentred(QPainter& painter, const QFontMetricsF& metrics, const QRectF& rect, const QString& text)
{
    const double width = metrics.horizontalAdvance(text);
    const double height = metrics.height();
    painter.drawText(QRectF(int(rect.x() + (rect.width() - width) * 0.5), int(rect.y() + (rect.height() - height) * 0.5),
                            int(width), int(height)),
                     text);
}

QString countLabel(int count)
{
    return count < 2 ? DeviceMapWidget::tr("%0 device ").arg(count) : DeviceMapWidget::tr("%0 devices ").arg(count);
}

int groupSizeOf(const DeviceMapWidget& map, const QString& name)
{
    QMap<QString, bool> group;
    map.getConnectedDevices(name, group);
    return group.size();
}

} // namespace

UnplacedZone::UnplacedZone(DeviceMapWidget& map)
    : QObject(nullptr)
    , map(map)
{
    connect(&groupLayout, &QFutureWatcherBase::finished, this, &UnplacedZone::groupLayoutFinished);
    liveZones().append(this);
}

UnplacedZone::~UnplacedZone()
{
    liveZones().removeAll(this);
    // Nobody waits for the group's zone any more: a run that has not begun never will.
    groupLayout.cancel();
}

QStringList UnplacedZone::unplacedDevices() const
{
    QStringList names = DeviceNodeItem::getUnplacedDevices();
    const MapItemIndex& items = DeviceMapParts(map).itemIndex();
    names.erase(std::remove_if(names.begin(), names.end(), [&items](const QString& name) { return !items.hasDevice(name); }),
                names.end());
    return names;
}

void UnplacedZone::releaseDevices()
{
    QSet<QString> dropped;
    const QMap<QString, DeviceNodeItem*>& devices = DeviceMapParts(map).itemIndex().devices();
    for (auto it = devices.cbegin(); it != devices.cend(); ++it) {
        bool shownElsewhere = false;
        for (const UnplacedZone* other : qAsConst(liveZones()))
            shownElsewhere = shownElsewhere || (other != this && DeviceMapParts(other->map).itemIndex().hasDevice(it.key()));
        if (!shownElsewhere)
            dropped.insert(it.key());
    }
    QStringList unplaced = DeviceNodeItem::getUnplacedDevices();
    unplaced.erase(std::remove_if(unplaced.begin(), unplaced.end(),
                                  [&dropped](const QString& name) { return dropped.contains(name); }),
                   unplaced.end());
    DeviceNodeItem::setUnplacedDevices(unplaced);
}

UnplacedZone::Contents UnplacedZone::contents() const
{
    Contents contents;
    const QStringList unplaced = unplacedDevices();
    const DeviceNodeItem* pulled = DeviceMapParts(map).interaction().temporaryDevice();
    contents.shadow = pulled || !unplaced.isEmpty();
    contents.caption = contents.shadow;

    if (pulled) {
        const int groupSize = groupSizeOf(map, pulled->devName());
        contents.hint = hintFor(pulled, groupSize);
        contents.count = unplaced.size() - groupSize + 1;
    } else if (!unplaced.isEmpty()) {
        const DeviceNodeItem* first = DeviceMapParts(map).itemIndex().device(unplaced.first());
        int groupSize = 0;
        // A device that never ran has nothing to show yet; it still counts.
        if (first && (first->devInfo().initialised || !first->devInfo().error.isEmpty())) {
            contents.firstDevice = first->devName();
            groupSize = groupSizeOf(map, first->devName());
            contents.firstGroupSize = groupSize;
        }
        contents.count = unplaced.size() - groupSize;
    }
    contents.cards = std::max(0, std::min(contents.count, maxCards));
    contents.label = countLabel(contents.count);
    return contents;
}

QString UnplacedZone::hintFor(const DeviceNodeItem* pulled, int groupSize) const
{
    const QPointF centre = zoneCentre(map.viewport());
    const QPointF zone = map.mapToScene(QPoint(int(centre.x()), int(centre.y())));
    // A lone device is judged by where it is, a group (drawn as a zone) by the cursor.
    const QPointF reference =
        groupSize < 2 ? pulled->pos() : map.mapToScene(map.viewport()->mapFromGlobal(QCursor::pos()));
    return QLineF(zone, reference).length() <= pullDistance ? DeviceMapWidget::tr("Pull the device to position it ")
                                                            : DeviceMapWidget::tr("Release the device to locate ");
}

void UnplacedZone::paint(QPainter& painter)
{
    if (!visible)
        return;
    if (DeviceMapParts(map).interaction().temporaryDevice() || !unplacedDevices().isEmpty())
        paintShadow(painter);
    drawZone(painter);
    paintPulled(painter);
}

void UnplacedZone::paintShadow(QPainter& painter) const
{
    const QPointF centre = zoneCentre(map.viewport());
    // Larger than the corner: the viewport's edges cut it, so only its soft side shows.
    const QRect square(int(centre.x() - 90.0), int(centre.y() - 70.0), 400, 400);
    const QPoint start(int(centre.x() - 60.0), int(centre.y() - 40.0));
    QLinearGradient gradient(start, start + QPoint(169, 149));
    gradient.setColorAt(0, QColor(0, 0, 0, 0));
    gradient.setColorAt(1, QColor(0, 0, 0, 127));
    painter.fillRect(square, gradient);
}

void UnplacedZone::drawZone(QPainter& painter)
{
    const Contents shown = contents();
    const QPointF centre = zoneCentre(map.viewport());
    const QFontMetricsF metrics(map.font());
    const QColor text = map.palette().color(QPalette::Text);

    if (shown.caption) {
        const QString caption = DeviceMapWidget::tr("Unplaced devices ");
        const double width = metrics.horizontalAdvance(caption);
        painter.setPen(text);
        painter.drawText(QRectF(int(centre.x() - width * 0.5), int(centre.y() - 45.0), int(width), int(metrics.height())),
                         caption);
    }

    if (DeviceNodeItem* first = DeviceMapParts(map).itemIndex().device(shown.firstDevice)) {
        const QSizeF size = first->boundingRect().size();
        const QRectF rect(centre.x() - size.width() * 0.5, centre.y() - size.height() * 0.5, size.width(), size.height());
        first->devicePaintInAdjustedRect(&painter, rect, &map);
        if (shown.firstGroupSize > 1) {
            QPainterPath card;
            card.addRoundedRect(rect.adjusted(2.0, 2.0, -2.0, -2.0), cardRadius, cardRadius);
            painter.fillPath(card, QApplication::palette().color(QPalette::AlternateBase));
            painter.setPen(text);
            drawCentred(painter, metrics, rect, DeviceMapWidget::tr("%0 devices ").arg(shown.firstGroupSize));
        }
    }

    if (!shown.hint.isEmpty()) {
        const double width = metrics.horizontalAdvance(shown.hint);
        const double height = metrics.height();
        painter.setPen(text);
        painter.drawText(QRectF(int((map.viewport()->width() - width) * 0.5), int(map.viewport()->height() - height - 2.0),
                                int(width), int(height)),
                         shown.hint);
    }

    drawCards(painter, shown);
}

void UnplacedZone::drawCards(QPainter& painter, const Contents& shown)
{
    zoneRect = QRectF();
    const QPen pen(QBrush(Qt::darkGreen), 2.0, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
    const QColor fill = map.palette().color(QPalette::AlternateBase);
    const double left = map.viewport()->width() - zoneInset - 35.0;
    for (int i = 0; i < shown.cards; ++i) {
        const double top = map.viewport()->height() - 35.0 - i * cardStep;
        const QRectF card(left, top, cardWidth, cardHeight);
        // Each card leans: its top edge 5 to the right, its bottom edge 5 to the left.
        const QPolygonF upright({card.topLeft(), card.topRight(), card.bottomRight(), card.bottomLeft()});
        const QPolygonF leaning({QPointF(left + 5, top), QPointF(left + 75, top), QPointF(left + 65, top + cardHeight),
                                 QPointF(left - 5, top + cardHeight)});
        QTransform lean;
        QTransform::quadToQuad(upright, leaning, lean);
        painter.save();
        painter.setTransform(lean);
        painter.setPen(pen);
        painter.setRenderHint(QPainter::Antialiasing, true);
        zoneRect |= card;
        painter.drawRoundedRect(QRectF(int(left), int(top), cardWidth, cardHeight), cardRadius, cardRadius);
        QPainterPath path;
        path.addRoundedRect(card, cardRadius, cardRadius);
        painter.fillPath(path, fill);
        painter.restore();
        painter.resetTransform();

        if (i == shown.cards - 1) {
            QFont italic = map.font();
            italic.setItalic(true);
            painter.setFont(italic);
            painter.setPen(map.palette().color(QPalette::Text));
            drawCentred(painter, QFontMetricsF(italic), card, shown.label);
            painter.setFont(map.font());
        }
    }
}

void UnplacedZone::paintPulled(QPainter& painter)
{
    DeviceNodeItem* pulled = DeviceMapParts(map).interaction().temporaryDevice();
    if (!pulled) {
        forgetGroupZone();
        return;
    }
    const QString name = pulled->devName();
    const QMap<QString, QPointF>& atPress = DeviceMapParts(map).interaction().devicePositionsAtPress();
    if (atPress.contains(name)) {
        QMap<QString, bool> group;
        map.getConnectedDevices(name, group);
        const DeviceNodeItem* lead = DeviceMapParts(map).itemIndex().device(atPress.firstKey());
        const QPointF recorded = atPress.first();
        const bool moved = lead
                           && (std::abs(lead->pos().x() - recorded.x()) > 1e-12
                               || std::abs(lead->pos().y() - recorded.y()) > 1e-12);
        if (moved && group.size() >= 2) {
            pulled->setOpacity(0);
            const DevicesArrangement& zone = groupZone(group.keys());
            if (!zone.isEmpty()) {
                drawAssumedDevicesZone(painter, zone);
                return;
            }
            // The group's layout is on its way: the device stands in for it meanwhile.
            const QPoint at = map.mapFromScene(pulled->pos());
            pulled->devicePaintInAdjustedRect(&painter, QRectF(at, pulled->boundingRect().size()), &map);
            return;
        }
    }
    const QPoint at = map.mapFromScene(pulled->pos());
    pulled->devicePaintInAdjustedRect(&painter, QRectF(at, pulled->boundingRect().size()), &map);
    forgetGroupZone();
}

void UnplacedZone::drawAssumedDevicesZone(QPainter& painter, const DevicesArrangement& arrangement) const
{
    const QPoint cursor = map.mapFromGlobal(QCursor::pos());
    QColor colour = map.palette().color(QPalette::Highlight);
    colour.setAlpha(128);
    // Scene units as they are: the zone is a hint of the size, not a preview at the view's scale.
    const QRectF& devices = arrangement.devicesRect;
    const QRectF zone(cursor.x() - (arrangement.center.x() - devices.x()),
                      cursor.y() - (arrangement.center.y() - devices.y()), devices.width(), devices.height());
    painter.fillRect(zone, QBrush(colour));
}

const DevicesArrangement& UnplacedZone::groupZone(const QStringList& names)
{
    if (!assumed.isEmpty())
        return assumed;
    const DeviceMapWidget::LayoutType type = map.getCurrentLayoutType();
    const QString key = QString::number(type) + QLatin1Char('\n') + names.join(QLatin1Char('\n'));
    if (key == groupKey) {
        // Laid out before, or still on its way: never a second run for the same group.
        assumed = groupResult;
        return assumed;
    }
    groupLayout.cancel();
    groupKey = key;
    groupResult = DevicesArrangement();
    ++layoutRuns;
    MapAutoLayout& layout = DeviceMapParts(map).automaticLayout();
    groupLayout.setFuture(layout.start(layout.infosOf(names), type));
    return assumed;
}

void UnplacedZone::groupLayoutFinished()
{
    const QFuture<GraphLayoutAdapter::Result> future = groupLayout.future();
    if (future.isCanceled() || future.resultCount() == 0)
        return;
    groupResult = future.result().arrangement;
    map.viewport()->update();
}

void UnplacedZone::forgetGroupZone()
{
    assumed = DevicesArrangement();
}
