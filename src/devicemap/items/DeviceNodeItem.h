#pragma once

#include "DeviceInfo.h"
#include "HoverableItem.h"
#include "dozerozozu_export.h"

#include <QColor>
#include <QFont>
#include <QRectF>
#include <QSize>
#include <QString>
#include <QStringList>

#include <memory>

class QFontMetricsF;
class QTextLayout;
class UnplacedDeviceList;

/**
 * The scene item of one device on the device map: a rounded rectangle sized by its
 * texts, showing the description (or the name) and, while hovered, the name above and
 * the type below.
 *
 * The rectangle sits at the item origin, (0, 0, w, h); the position is the top-left
 * corner in the scene, the centre is the position plus half the size. All device items
 * of the process share three settings: snapping to the grid, the grid cell size and the
 * list of unplaced devices (hidden until the user drops them on the map).
 *
 * A node dragged outside the scene rectangle asks the map to grow it: the parent object
 * of the item's scene gets `unitedSceneWithRect(QRectF)` invoked by name (the map widget
 * declares it Q_INVOKABLE); a scene whose parent has no such method is left alone.
 *
 * A node built from a default DeviceInfo (no name, no type, no description) is the
 * invisible anchor of a link being drawn: it keeps the size it was given (see isAnchor()).
 *
 * Level of detail: paint() draws the node in full (outline, texts) while a line of the
 * application font is at least MapLevelOfDetail::readableLineHeight (7) device pixels high,
 * that is down to the scale MapLevelOfDetail::simplifiedBelow(): 0.41 for a 9 pt font at
 * 96 dpi, whose line is 17 pixels high. Below it no text can be read, and the node is a
 * rectangle filled with its outline colour, no text; one smaller than a pixel each way is not
 * drawn. Links switch at the same scale. devicePaintInAdjustedRect() always draws in full.
 *
 * Owned by the map's scene; GUI thread only; the class-wide settings are unguarded.
 */
class DOZEROZOZU_EXPORT DeviceNodeItem : public HoverableItem
{
public:
    DeviceNodeItem(DeviceInfo info, QRectF rect);
    ~DeviceNodeItem() override;

    /// Replaces the kept description only; name, label, type and size stay.
    void setDeviceInfo(DeviceInfo info);
    const QString& devName() const;
    const QString& devType() const;
    const DeviceInfo& devInfo() const;
    /// The main text; the size follows at the next paint.
    void setLabel(const QString& text);
    const QString& getLabel() const { return label; }
    /// The shown name and tool tip; the size follows at the next paint.
    void setDeviceName(const QString& text);
    /// Outline colour while neither hovered nor selected.
    void setHighlightColor(const QColor& color);
    QColor getHighlightColor() const { return highlightColor; }
    /// A node without any text: the hidden end of a link being drawn.
    bool isAnchor() const;

    QRectF boundingRect() const override;
    QPointF getCenter() const;
    /// Places the node (see placeDevice) with its centre at center.
    void setCenter(QPointF center);
    /// Takes the device off the unplaced list, shows the item and moves it to pos.
    void placeDevice(const QPointF& pos);
    void placeDevice(double x, double y);
    /// Lists the device as unplaced (once, at the front) and hides the item where it is.
    void unplaceDevice();
    bool isUnplaced() const;
    /// Resizes the node, about its centre, when its texts need more than 1 unit more or less.
    void calcDeviceSize();
    /// The size a device's texts need in the current application font.
    static QSize getDeviceSize(DeviceInfo info);

    /// In full or simplified by the painter's scale (see the class comment).
    void paint(QPainter* painter, const QStyleOptionGraphicsItem* option, QWidget* widget) override;
    /// Draws the node in full into any rectangle; without a widget the application palette is used.
    void devicePaintInAdjustedRect(QPainter* painter, QRectF rect, QWidget* widget);

    static void setGridOn(bool on);
    static bool getGridOn();
    /// Sizes below 1 are taken as 1.
    static void setGridCellSize(int size);
    static int getGridCellSize();
    static void setUnplacedDevices(QStringList names);
    static QStringList getUnplacedDevices();
    /// Takes the first occurrence of name off the unplaced list.
    static void forgetUnplacedDevice(const QString& name);
    /// A renamed unplaced device: the old name leaves the list and the new one comes first.
    static void renameUnplacedDevice(const QString& oldName, const QString& newName);

protected:
    /// Snaps a moved node to the grid when snapping is on, and grows the map's scene.
    QVariant itemChange(GraphicsItemChange change, const QVariant& value) override;

private:
    // A text as last elided and laid out, so that an unchanged text is neither measured
    // nor shaped again at every paint. Nothing is laid out before the text is drawn in full;
    // a laid-out text without a layout is drawn by drawText().
    struct LaidOutText
    {
        std::unique_ptr<QTextLayout> layout;
        QFont font;
        int dpi = 0;
        Qt::LayoutDirection direction = Qt::LeftToRight;
    };
    struct NodeText
    {
        QString source;
        double width = -1.0;
        QString elided;
        std::unique_ptr<LaidOutText> laidOut;
    };

    struct Fonts;

    void takeApplicationFonts();
    void paintSimplified(QPainter* painter, double scale, QWidget* widget);
    QColor outlineColor(QWidget* widget) const;
    void resizeAboutCenter(const QSizeF& size);
    QSize textSize(const QFont& font);
    static QSize sizeOfTexts(const DeviceInfo& info, const Fonts& fonts);
    static void elide(NodeText& text, const QString& source, const QFontMetricsF& metrics, double width);
    static void drawCentredText(QPainter* painter, const QRectF& strip, NodeText& text);

    QRectF rect;
    QString name;
    QString type;
    QString label;
    DeviceInfo info;
    // The application's fonts and their metrics as taken at the first size calculation,
    // shared by every node that took the same font; null before.
    std::shared_ptr<const Fonts> fonts;
    QColor highlightColor;

    // What getDeviceSize() gave for these texts in these fonts (null before the first time).
    std::shared_ptr<const Fonts> measuredFonts;
    QString measuredName;
    QString measuredType;
    QString measuredDescription;
    QSize measuredSize;
    NodeText mainText;
    NodeText nameText;
    NodeText typeText;

    static bool gridOn;
    static int gridCellSize;
    static UnplacedDeviceList unplacedDevices;
};
