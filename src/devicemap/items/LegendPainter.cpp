#include "LegendPainter.h"

#include <QPainter>
#include <QTextOption>

#include <algorithm>

LegendPainter::LegendPainter(QPainter* painter, QFontMetricsF fontMetrics, ArrangementOrder arrangementOrder,
                             LegendAlignment legendAlignment, QColor textColor)
    : painter(painter)
    , fontMetrics(std::move(fontMetrics))
    , arrangementOrder(arrangementOrder)
    , legendAlignment(legendAlignment)
    , textColor(std::move(textColor))
{
}

void LegendPainter::setPainter(QPainter* newPainter)
{
    painter = newPainter;
}

void LegendPainter::setFontMetrics(QFontMetricsF newFontMetrics)
{
    fontMetrics = std::move(newFontMetrics);
}

void LegendPainter::setArrangementOrder(ArrangementOrder order)
{
    arrangementOrder = order;
}

void LegendPainter::setTextColor(QColor color)
{
    textColor = std::move(color);
}

double LegendPainter::getWidestText(const QMap<QString, QPixmap>& legend) const
{
    double widest = 0.0;
    for (auto it = legend.cbegin(); it != legend.cend(); ++it)
        widest = std::max(widest, fontMetrics.horizontalAdvance(it.key()));
    return widest;
}

double LegendPainter::getWidestPixmap(const QMap<QString, QPixmap>& legend) const
{
    double widest = 0.0;
    for (const QPixmap& pixmap : legend)
        widest = std::max(widest, double(pixmap.width()));
    return widest;
}

QSize LegendPainter::getLegendSize(const QMap<QString, QPixmap>& legend) const
{
    double picturesHeight = 0.0;
    for (const QPixmap& pixmap : legend)
        picturesHeight += pixmap.height();
    const double width = getWidestText(legend) + iconTextGap + getWidestPixmap(legend);
    const double height = picturesHeight + rowSpacing * (legend.size() - 1);
    return QSize(int(width), int(height));
}

void LegendPainter::drawLegend(QPoint topLeft, const QMap<QString, QPixmap>& legend)
{
    if (!painter)
        return;
    const double widestText = getWidestText(legend);
    const double widestPixmap = getWidestPixmap(legend);
    const double x = topLeft.x();
    const bool rightAligned = legendAlignment == RightAligned;
    double rowTop = topLeft.y();
    // The text rectangle is the measured width truncated: a wrapping layout would push
    // the last word of a multi-word text onto a line of its own.
    QTextOption textOption;
    textOption.setWrapMode(QTextOption::NoWrap);

    for (auto it = legend.cbegin(); it != legend.cend(); ++it) {
        const QString& text = it.key();
        const QPixmap& pixmap = it.value();
        const double textWidth = fontMetrics.horizontalAdvance(text);
        const double textTop = rowTop + pixmap.height() / 2 - 0.5 * fontMetrics.height();

        double textLeft;
        double pixmapLeft;
        if (arrangementOrder == IconThenText) {
            textLeft = x + widestPixmap + iconTextGap;
            pixmapLeft = rightAligned ? x + widestPixmap - pixmap.width() : x;
        } else {
            textLeft = rightAligned ? x + widestText - textWidth : x;
            pixmapLeft = x + widestText + iconTextGap;
        }

        painter->drawText(QRectF(int(textLeft), int(textTop), int(textWidth), int(fontMetrics.height())), text,
                          textOption);
        painter->drawPixmap(QRect(int(pixmapLeft), int(rowTop), pixmap.width(), pixmap.height()), pixmap);
        rowTop += pixmap.height() + rowSpacing;
    }
}
