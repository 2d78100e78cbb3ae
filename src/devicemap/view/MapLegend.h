#pragma once

#include "dozerozozu_export.h"

#include <QFontMetricsF>
#include <QMap>
#include <QPixmap>
#include <QString>

class DeviceMapWidget;
class QPainter;

/**
 * The legends drawn over the device map's viewport: the hot-key legend, or the colour
 * legend of the colour mode in force (with the search keys while searching), or none.
 *
 * Owned by the DeviceMapWidget, which emits legendToggled() for it and calls paint() after
 * the scene is painted. GUI thread only.
 */
class DOZEROZOZU_EXPORT MapLegend
{
public:
    enum State : qint32 { HotKeys = 0, Colours = 1, Hidden = 2 };

    explicit MapLegend(DeviceMapWidget& map);

    State state() const { return legendState; }
    bool isActive() const { return legendState != Hidden; }
    /// true shows the hot-key legend, false hides any legend; repaints at once.
    void toggle(bool on);
    /// Hot keys, colours, none, in turn.
    void switchToNext();

    /// The hot-key legend: each text with the picture of its keys or gesture.
    QMap<QString, QPixmap> hotKeyPictures() const;
    /// The keys of a search, shown beside the colour legend while searching.
    QMap<QString, QPixmap> searchKeyPictures() const;
    /// The colour legend's pictures, one per entry of the colour table.
    QMap<QString, QPixmap> colorPictures() const;
    /// Draws a legend of pictures and texts up from the bottom-left corner of the viewport.
    void showLegendFromMap(QPainter& painter, QFontMetricsF metrics, const QMap<QString, QPixmap>& legend);
    /// Draws the legend in force with a painter on the viewport.
    void paint(QPainter& painter);

private:
    DeviceMapWidget& map;
    State legendState = Hidden;
};
