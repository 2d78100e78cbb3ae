#include "DeviceNodeItem.h"

#include "MapLevelOfDetail.h"
#include "UnplacedDeviceList.h"

#include <QApplication>
#include <QFontMetricsF>
#include <QGraphicsScene>
#include <QHash>
#include <QMetaObject>
#include <QPainter>
#include <QPen>
#include <QTextLayout>
#include <QWidget>

#include <algorithm>
#include <cmath>

bool DeviceNodeItem::gridOn = false;
int DeviceNodeItem::gridCellSize = 10;
UnplacedDeviceList DeviceNodeItem::unplacedDevices;

namespace {

const QString runtimeVariable = QStringLiteral("runtime_variable");
constexpr double cornerRadius = 5.0;
constexpr double smallFontScale = 0.7;
// Texts closer than this to the node's size do not resize it, so that rounding of
// font metrics cannot make a node twitch from paint to paint.
constexpr double resizeThreshold = 1.0;
constexpr int textFlags = Qt::AlignCenter | Qt::TextDontClip;

QFont smallerFont(const QFont& font)
{
    QFont small = font;
    if (font.pointSizeF() > 0)
        small.setPointSizeF(font.pointSizeF() * smallFontScale);
    else
        small.setPixelSize(std::max(1, int(font.pixelSize() * smallFontScale)));
    return small;
}

double pointSizeOf(const QFont& font)
{
    return font.pointSizeF() > 0 ? font.pointSizeF() : font.pixelSize();
}

// The map widget is the parent object of its scene. It is reached by method name so
// that items need not know its class; a scene without a map has nothing to grow. The
// scene rectangle is read only for a map: a scene without one computes it from all
// its items, which made every move cost as much as the whole scene.
bool growsItsScene(const QObject* parent)
{
    // Looking the method up by its text costs more than placing a node; a map places thousands.
    static const QMetaObject* lastAsked = nullptr;
    static bool lastAnswer = false;
    const QMetaObject* type = parent->metaObject();
    if (type != lastAsked) {
        lastAsked = type;
        lastAnswer = type->indexOfMethod("unitedSceneWithRect(QRectF)") >= 0;
    }
    return lastAnswer;
}

void growMapScene(QGraphicsScene* scene, const QRectF& placed)
{
    QObject* map = scene->parent();
    if (!map || !growsItsScene(map))
        return;
    if (scene->sceneRect().contains(placed))
        return;
    QMetaObject::invokeMethod(map, "unitedSceneWithRect", Qt::DirectConnection, Q_ARG(QRectF, placed));
}

// The nearest multiple of cellSize; a tie goes down. The remainder keeps the sign of
// value, so negative coordinates move towards zero.
int snapToGrid(int value, int cellSize)
{
    const int remainder = value - (value / cellSize) * cellSize;
    return remainder > cellSize - remainder ? value + (cellSize - remainder) : value - remainder;
}

} // namespace

// A font, its smaller sibling and their metrics. Nodes that took the same application font
// share one; a map of thousands of nodes would otherwise keep thousands of copies.
struct DeviceNodeItem::Fonts
{
    explicit Fonts(const QFont& font)
        : main(font)
        , small(smallerFont(font))
        , mainMetrics(main)
        , smallMetrics(small)
    {
    }

    // The type of most devices is one of a few; its width is measured once.
    double smallWidthOfType(const QString& type) const
    {
        auto known = typeWidths.constFind(type);
        if (known != typeWidths.cend())
            return known.value();
        if (typeWidths.size() > 4096)
            typeWidths.clear();
        const double width = smallMetrics.horizontalAdvance(type);
        typeWidths.insert(type, width);
        return width;
    }

    static std::shared_ptr<const Fonts> of(const QFont& font)
    {
        static std::shared_ptr<const Fonts> last;
        if (!last || last->main != font)
            last = std::make_shared<const Fonts>(font);
        return last;
    }

    QFont main;
    QFont small;
    QFontMetricsF mainMetrics;
    QFontMetricsF smallMetrics;
    mutable QHash<QString, double> typeWidths;
};

DeviceNodeItem::DeviceNodeItem(DeviceInfo deviceInfo, QRectF nodeRect)
    : HoverableItem(nullptr)
    , rect(nodeRect)
    , name(deviceInfo.name)
    , type(deviceInfo.type)
    , label(deviceInfo.description)
    , info(std::move(deviceInfo))
    , highlightColor(Qt::gray)
{
    setToolTip(name);
    setFlags(ItemSendsScenePositionChanges | ItemIsMovable | ItemIsSelectable);
    setZValue(1.0);
    calcDeviceSize();
}

DeviceNodeItem::~DeviceNodeItem() = default;

void DeviceNodeItem::setDeviceInfo(DeviceInfo deviceInfo)
{
    info = std::move(deviceInfo);
}

const QString& DeviceNodeItem::devName() const
{
    return name;
}

const QString& DeviceNodeItem::devType() const
{
    return type;
}

const DeviceInfo& DeviceNodeItem::devInfo() const
{
    return info;
}

void DeviceNodeItem::setLabel(const QString& text)
{
    label = text;
    update(rect);
}

void DeviceNodeItem::setDeviceName(const QString& text)
{
    name = text;
    setToolTip(text);
    update(rect);
}

void DeviceNodeItem::setHighlightColor(const QColor& color)
{
    highlightColor = color;
    update(rect);
}

bool DeviceNodeItem::isAnchor() const
{
    return name.isEmpty() && type.isEmpty() && label.isEmpty();
}

QRectF DeviceNodeItem::boundingRect() const
{
    return rect;
}

QPointF DeviceNodeItem::getCenter() const
{
    return pos() + QPointF(rect.width() / 2, rect.height() / 2);
}

void DeviceNodeItem::setCenter(QPointF center)
{
    placeDevice(center - QPointF(rect.width() / 2, rect.height() / 2));
}

void DeviceNodeItem::placeDevice(const QPointF& position)
{
    unplacedDevices.removeOne(name);
    setVisible(true);
    setPos(position);
}

void DeviceNodeItem::placeDevice(double x, double y)
{
    placeDevice(QPointF(x, y));
}

void DeviceNodeItem::unplaceDevice()
{
    if (!unplacedDevices.contains(name))
        unplacedDevices.prepend(name);
    setVisible(false);
}

bool DeviceNodeItem::isUnplaced() const
{
    return unplacedDevices.contains(name);
}

QSize DeviceNodeItem::getDeviceSize(DeviceInfo deviceInfo)
{
    return sizeOfTexts(deviceInfo, *Fonts::of(QApplication::font()));
}

QSize DeviceNodeItem::sizeOfTexts(const DeviceInfo& deviceInfo, const Fonts& fonts)
{
    const QFontMetricsF& mainMetrics = fonts.mainMetrics;
    const QFontMetricsF& smallMetrics = fonts.smallMetrics;
    const double pad = std::max(0.3 * pointSizeOf(fonts.main), 4.0);
    const double typeWidth = fonts.smallWidthOfType(deviceInfo.type);

    double width = std::max(typeWidth, mainMetrics.horizontalAdvance(deviceInfo.name)) + pad;
    if (!deviceInfo.description.isEmpty()) {
        const double textWidth = std::max({mainMetrics.horizontalAdvance(deviceInfo.description), typeWidth,
                                           smallMetrics.horizontalAdvance(deviceInfo.name)});
        width = std::max(width, textWidth + pad);
    }
    const double height = deviceInfo.type == runtimeVariable
                              ? 1.5 * mainMetrics.height()
                              : 2 * smallMetrics.height() + mainMetrics.height();
    return QSize(int(width), int(height));
}

void DeviceNodeItem::calcDeviceSize()
{
    if (label == runtimeVariable && name == runtimeVariable && type == runtimeVariable)
        return;
    // An anchor keeps the size it was made with: the link being drawn ends on it.
    if (isAnchor())
        return;

    const QFont font = QApplication::font();
    if (!fonts)
        fonts = Fonts::of(font);

    const QSize size = textSize(font);
    if (std::abs(rect.width() - size.width()) > resizeThreshold)
        resizeAboutCenter(QSizeF(size.width(), rect.height()));
    if (std::abs(rect.height() - size.height()) > resizeThreshold)
        resizeAboutCenter(QSizeF(rect.width(), size.height()));
}

// Measuring shapes every text and dominates painting; the result only changes with the
// texts or the application font, so it is kept until one of them does.
QSize DeviceNodeItem::textSize(const QFont& font)
{
    if (!measuredFonts || measuredFonts->main != font || info.name != measuredName || info.type != measuredType
        || info.description != measuredDescription) {
        measuredFonts = Fonts::of(font);
        measuredSize = sizeOfTexts(info, *measuredFonts);
        measuredName = info.name;
        measuredType = info.type;
        measuredDescription = info.description;
    }
    return measuredSize;
}

void DeviceNodeItem::elide(NodeText& text, const QString& source, const QFontMetricsF& metrics, double width)
{
    if (width == text.width && source == text.source)
        return;
    text.elided = metrics.elidedText(source, Qt::ElideRight, width);
    text.source = source;
    text.width = width;
    text.laidOut.reset();
}

// Draws what QPainter::drawText(strip, Qt::AlignCenter | Qt::TextDontClip, text) draws,
// the same glyphs at the same places, from a layout kept between paints: shaping the
// text is most of drawText()'s cost. Texts that drawText() would rewrite (line breaks,
// tabs, length variants), decorate or lay out on several lines, and texts with trailing
// blanks, are left to drawText() itself.
void DeviceNodeItem::drawCentredText(QPainter* painter, const QRectF& strip, NodeText& text)
{
    const QFont& font = painter->font();
    const int dpi = painter->device() ? painter->device()->logicalDpiY() : 0;
    if (!text.laidOut || font != text.laidOut->font || dpi != text.laidOut->dpi
        || painter->layoutDirection() != text.laidOut->direction) {
        text.laidOut.reset(new LaidOutText);
        text.laidOut->font = font;
        text.laidOut->dpi = dpi;
        text.laidOut->direction = painter->layoutDirection();
        std::unique_ptr<QTextLayout>& layout = text.laidOut->layout;
        const QString& elided = text.elided;
        const bool plain = !elided.isEmpty() && !elided.back().isSpace() && !font.underline() && !font.overline()
                           && !font.strikeOut()
                           && std::none_of(elided.cbegin(), elided.cend(), [](QChar c) {
                                  return c == QLatin1Char('\r') || c == QLatin1Char('\n') || c == QLatin1Char('\t')
                                         || c == QChar(0x9c) || c == QChar::LineSeparator
                                         || c == QChar::ParagraphSeparator;
                              });
        if (plain) {
            layout.reset(new QTextLayout(elided, font));
            QTextOption option;
            option.setTextDirection(text.laidOut->direction);
            option.setAlignment(Qt::AlignLeft);
            layout->setTextOption(option);
            layout->setCacheEnabled(true);
            layout->beginLayout();
            for (QTextLine line = layout->createLine(); line.isValid(); line = layout->createLine()) {
                line.setLineWidth(0x01000000);
                line.setPosition(QPointF(0, 0));
            }
            layout->endLayout();
            if (layout->lineCount() != 1)
                layout.reset();
        }
    }
    const QTextLayout* layout = text.laidOut->layout.get();
    if (!layout) {
        painter->drawText(strip, textFlags, text.elided);
        return;
    }
    const QTextLine line = layout->lineAt(0);
    const double height = line.ascent() + line.descent();
    line.draw(painter, QPointF(strip.x() + (strip.width() - line.horizontalAdvance()) / 2,
                               strip.y() + (strip.height() - height) / 2));
}

void DeviceNodeItem::resizeAboutCenter(const QSizeF& size)
{
    prepareGeometryChange();
    const QPointF center = getCenter();
    rect.setSize(size);
    setCenter(center);
    update(rect);
}

void DeviceNodeItem::paint(QPainter* painter, const QStyleOptionGraphicsItem* option, QWidget* widget)
{
    Q_UNUSED(option)
    const double scale = MapLevelOfDetail::scaleOf(painter);
    if (MapLevelOfDetail::drawsInFull(scale))
        devicePaintInAdjustedRect(painter, rect, widget);
    else
        paintSimplified(painter, scale, widget);
}

QColor DeviceNodeItem::outlineColor(QWidget* widget) const
{
    if (!hovered && !isSelected())
        return highlightColor;
    // Rendering to an image or a printer passes no widget.
    return (widget ? widget->palette() : QApplication::palette()).color(QPalette::Highlight);
}

// Seen from afar the outline's colour (the device's state, the search, the selection) is what
// tells nodes apart; the rectangle covers what the outline's pen would.
void DeviceNodeItem::paintSimplified(QPainter* painter, double scale, QWidget* widget)
{
    calcDeviceSize();
    if (rect.width() * scale < 1.0 && rect.height() * scale < 1.0)
        return;
    painter->fillRect(rect, outlineColor(widget));
}

void DeviceNodeItem::devicePaintInAdjustedRect(QPainter* painter, QRectF targetRect, QWidget* widget)
{
    calcDeviceSize();
    // Nodes that never size themselves (anchors, runtime variables) still draw their texts.
    takeApplicationFonts();
    const QPalette palette = widget ? widget->palette() : QApplication::palette();
    const QPen outlinePen(QBrush(outlineColor(widget)), 2.0, Qt::SolidLine, Qt::SquareCap, Qt::BevelJoin);

    // Drawn directly rather than from a path kept with the node: Qt keeps a drawing cache of
    // a kept path, several kilobytes a node. The pixels are the same.
    const QRectF inner(targetRect.x() + 1, targetRect.y() + 1, targetRect.width() - 2, targetRect.height() - 2);
    painter->setBrush(QBrush(palette.color(QPalette::AlternateBase)));
    painter->setPen(outlinePen);
    painter->drawRoundedRect(inner, cornerRadius, cornerRadius, Qt::AbsoluteSize);
    // The map also draws nodes with its own painter, which must not keep the fill's brush.
    painter->setBrush(Qt::NoBrush);

    const QFontMetricsF& mainMetrics = fonts->mainMetrics;
    const QFontMetricsF& smallMetrics = fonts->smallMetrics;
    painter->setFont(fonts->main);
    painter->setPen(palette.color(QPalette::Text));
    elide(mainText, label.isEmpty() ? name : label, mainMetrics, inner.width());
    const double mainHeight = mainMetrics.height();
    const QRectF mainStrip(inner.x(), inner.y() + inner.height() / 2 - mainHeight / 2, inner.width(), mainHeight);
    drawCentredText(painter, mainStrip, mainText);

    if (!hovered || info.type == runtimeVariable)
        return;
    painter->setFont(fonts->small);
    const double smallHeight = smallMetrics.height();
    if (!label.isEmpty()) {
        elide(nameText, name, smallMetrics, inner.width());
        drawCentredText(painter, QRectF(inner.x(), inner.y(), inner.width(), smallHeight), nameText);
    }
    elide(typeText, type, smallMetrics, inner.width());
    drawCentredText(painter, QRectF(inner.x(), inner.y() + inner.height() - smallHeight, inner.width(), smallHeight),
                    typeText);
}

// Later changes of the application font do not reach a node that has measured its texts.
void DeviceNodeItem::takeApplicationFonts()
{
    if (!fonts)
        fonts = Fonts::of(QApplication::font());
}

QVariant DeviceNodeItem::itemChange(GraphicsItemChange change, const QVariant& value)
{
    if (change != ItemPositionChange || !scene())
        return QGraphicsItem::itemChange(change, value);

    QGraphicsScene* itemScene = scene();

    if (!gridOn) {
        const QPointF proposed = value.toPointF();
        growMapScene(itemScene, QRectF(proposed.x(), proposed.y(), rect.width(), rect.height()));
        return QVariant(proposed);
    }

    const QPoint proposed = value.toPoint();
    const int centerX = snapToGrid(int(proposed.x() + rect.width() * 0.5), gridCellSize);
    const int centerY = snapToGrid(int(proposed.y() + rect.height() * 0.5), gridCellSize);
    const QPoint snapped(int(centerX - rect.width() * 0.5), int(centerY - rect.height() * 0.5));
    growMapScene(itemScene, QRectF(snapped.x(), snapped.y(), rect.width(), rect.height()));
    return QVariant(snapped);
}

void DeviceNodeItem::setGridOn(bool on)
{
    gridOn = on;
}

bool DeviceNodeItem::getGridOn()
{
    return gridOn;
}

void DeviceNodeItem::setGridCellSize(int size)
{
    // Snapping and the grid divide by the cell size.
    gridCellSize = std::max(1, size);
}

int DeviceNodeItem::getGridCellSize()
{
    return gridCellSize;
}

void DeviceNodeItem::setUnplacedDevices(QStringList names)
{
    unplacedDevices.assign(names);
}

QStringList DeviceNodeItem::getUnplacedDevices()
{
    return unplacedDevices.toStringList();
}

void DeviceNodeItem::forgetUnplacedDevice(const QString& name)
{
    unplacedDevices.removeOne(name);
}

void DeviceNodeItem::renameUnplacedDevice(const QString& oldName, const QString& newName)
{
    if (unplacedDevices.removeOne(oldName))
        unplacedDevices.prepend(newName);
}
