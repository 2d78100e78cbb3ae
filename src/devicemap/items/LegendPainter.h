#pragma once

#include "dozerozozu_export.h"

#include <QColor>
#include <QFontMetricsF>
#include <QMap>
#include <QPixmap>
#include <QPoint>
#include <QSize>
#include <QString>

class QPainter;

/**
 * Lays out and draws a legend: one row per entry of a text-to-picture map, in key
 * order, the text and the picture side by side.
 *
 * Made afresh for each paint with a painter it does not own, and drawn with the pen
 * and font the painter already has.
 *
 *     LegendPainter legend(&painter, QFontMetricsF(font()), LegendPainter::TextThenIcon,
 *                          LegendPainter::LeftAligned, palette().text().color());
 *     const QSize size = legend.getLegendSize(entries);
 *     legend.drawLegend(QPoint(width() - size.width(), 0), entries);
 */
class DOZEROZOZU_EXPORT LegendPainter
{
public:
    enum ArrangementOrder {
        TextThenIcon = 0, ///< texts on the left, pictures on the right
        IconThenText = 1  ///< pictures on the left, texts on the right
    };
    /// Alignment of the first column's content; any other value lays out as LeftAligned.
    enum LegendAlignment {
        LeftAligned = 0, ///< starts at the legend's left edge
        RightAligned = 1 ///< ends flush against the gap between the columns
    };

    LegendPainter(QPainter* painter, QFontMetricsF fontMetrics, ArrangementOrder arrangementOrder,
                  LegendAlignment legendAlignment, QColor textColor);

    void setPainter(QPainter* painter);
    void setFontMetrics(QFontMetricsF fontMetrics);
    void setArrangementOrder(ArrangementOrder order);
    void setTextColor(QColor color);

    double getWidestText(const QMap<QString, QPixmap>& legend) const;
    double getWidestPixmap(const QMap<QString, QPixmap>& legend) const;
    /// Widest text + 40 + widest picture by the pictures' heights with 15 between rows.
    QSize getLegendSize(const QMap<QString, QPixmap>& legend) const;
    /// Draws the legend with its top-left corner at topLeft; each text stays on one line.
    void drawLegend(QPoint topLeft, const QMap<QString, QPixmap>& legend);

private:
    QPainter* painter;
    QFontMetricsF fontMetrics;
    ArrangementOrder arrangementOrder;
    LegendAlignment legendAlignment;
    QColor textColor;
    double rowSpacing = 15.0;
    double iconTextGap = 40.0;
};
