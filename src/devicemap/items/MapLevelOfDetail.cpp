#include "MapLevelOfDetail.h"

#include <QApplication>
#include <QFontMetricsF>
#include <QPainter>
#include <QStyleOptionGraphicsItem>

namespace MapLevelOfDetail {

double simplifiedBelow(const QFont& font)
{
    return readableLineHeight / QFontMetricsF(font).height();
}

// Every item asks at every paint; the metrics are made again only when the font changes.
double simplifiedBelow()
{
    static QFont measuredFont;
    static double scale = 0.0;
    const QFont font = QApplication::font();
    if (scale == 0.0 || font != measuredFont) {
        measuredFont = font;
        scale = simplifiedBelow(font);
    }
    return scale;
}

double scaleOf(const QPainter* painter)
{
    return QStyleOptionGraphicsItem::levelOfDetailFromTransform(painter->worldTransform());
}

bool drawsInFull(double scale)
{
    return scale >= simplifiedBelow();
}

} // namespace MapLevelOfDetail
