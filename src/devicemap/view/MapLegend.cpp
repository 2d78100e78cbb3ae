#include "MapLegend.h"

#include "DeviceMapParts.h"
#include "DeviceMapWidget.h"
#include "LegendPainter.h"
#include "MapColoriser.h"

#include <QPainter>

namespace {

QPixmap hotKeyPicture(const char* name)
{
    return QPixmap(QStringLiteral(":/hotkeys/dozerozozu_") + QLatin1String(name));
}

// The long click's duration is a word of the user's language, so it is written beside the
// picture's mouse and clock here, in the pictures' own lettering, rather than drawn into it.
QPixmap longClickPicture()
{
    const QPixmap symbols = hotKeyPicture("longClickHotkey");
    //: The duration of a long click, written beside the clock of the "Long click " hot key.
    const QString duration = DeviceMapWidget::tr("1s");
    QFont font(QStringLiteral("sans-serif"));
    font.setBold(true);
    // The pictures letter their keys 11 units high on 24.
    font.setPixelSize(qMax(1, qRound(symbols.height() * 11 / 24.0)));
    const QFontMetrics metrics(font);
    const int gap = symbols.height() / 6;
    QPixmap picture(symbols.width() + gap + metrics.horizontalAdvance(duration) + 1, symbols.height());
    picture.fill(Qt::transparent);
    QPainter painter(&picture);
    painter.drawPixmap(0, 0, symbols);
    painter.setFont(font);
    painter.setPen(QColor(0x37, 0x47, 0x4f));
    painter.drawText(QRect(symbols.width() + gap, 0, picture.width() - symbols.width() - gap, picture.height()),
                     Qt::AlignLeft | Qt::AlignVCenter, duration);
    return picture;
}

} // namespace

MapLegend::MapLegend(DeviceMapWidget& map)
    : map(map)
{
}

void MapLegend::toggle(bool on)
{
    legendState = on ? HotKeys : Hidden;
    map.viewport()->repaint();
}

void MapLegend::switchToNext()
{
    legendState = State((legendState + 1) % 3);
    map.viewport()->repaint();
    Q_EMIT map.legendToggled(legendState != Hidden);
}

QMap<QString, QPixmap> MapLegend::colorPictures() const
{
    QMap<QString, QPixmap> legend;
    const QMap<QString, QColor>& colors = DeviceMapParts(map).coloriser().colors();
    for (auto it = colors.cbegin(); it != colors.cend(); ++it) {
        QPixmap picture(30, 20);
        QColor fill = it.value();
        fill.setAlpha(150);
        picture.fill(fill);
        QPainter painter(&picture);
        painter.setPen(QPen(QBrush(map.palette().color(QPalette::Text)), 2.0, Qt::SolidLine, Qt::SquareCap,
                            Qt::BevelJoin));
        painter.drawRect(QRect(0, 0, 30, 20));
        painter.end();
        legend.insert(it.key(), picture);
    }
    return legend;
}

QMap<QString, QPixmap> MapLegend::hotKeyPictures() const
{
    QMap<QString, QPixmap> hotKeys;
    hotKeys.insert(DeviceMapWidget::tr("Zoom"), hotKeyPicture("zoomHotkey"));
    hotKeys.insert(DeviceMapWidget::tr("Horizontal scroll "), hotKeyPicture("horizontalScrollHotkey"));
    hotKeys.insert(DeviceMapWidget::tr("Long click "), longClickPicture());
    hotKeys.insert(DeviceMapWidget::tr("Device/connection settings "), hotKeyPicture("settingsHotkey"));
    hotKeys.insert(DeviceMapWidget::tr("Connect devices "), hotKeyPicture("connectHotkey"));
    hotKeys.insert(DeviceMapWidget::tr("Switch legend "), hotKeyPicture("switchLegendHotkey"));
    return hotKeys;
}

QMap<QString, QPixmap> MapLegend::searchKeyPictures() const
{
    QMap<QString, QPixmap> searchKeys;
    searchKeys.insert(DeviceMapWidget::tr("Next device "), hotKeyPicture("nextDeviceHotkey"));
    searchKeys.insert(DeviceMapWidget::tr("Previous device "), hotKeyPicture("previousDeviceHotkey"));
    searchKeys.insert(DeviceMapWidget::tr("Switch legend "), hotKeyPicture("switchLegendHotkey"));
    return searchKeys;
}

void MapLegend::showLegendFromMap(QPainter& painter, QFontMetricsF metrics, const QMap<QString, QPixmap>& legend)
{
    const int viewportHeight = map.viewport()->height();
    const int count = legend.size();
    double widest = 0;
    double totalHeight = 0;
    for (const QPixmap& picture : legend) {
        widest = qMax(widest, double(picture.width()));
        totalHeight += picture.height();
    }
    const bool searchKeys = DeviceMapParts(map).coloriser().mode() == DeviceMapWidget::BySearch && legendState != HotKeys;
    const double margin = searchKeys ? 90.0 : 20.0;
    const double top = viewportHeight - count * 15.0 - margin - totalHeight;
    const QColor textColor = map.palette().color(QPalette::Text);

    auto drawText = [&](const QString& text, double x, double pictureTop, int pictureHeight) {
        painter.setPen(textColor);
        painter.drawText(QRectF(int(x), int(pictureTop + pictureHeight / 2 - metrics.height() * 0.5),
                                int(metrics.horizontalAdvance(text)), int(metrics.height())),
                         text, QTextOption());
    };

    double heightBefore = 0;
    int row = 0;
    for (auto it = legend.cbegin(); it != legend.cend(); ++it, ++row) {
        const QPixmap& picture = it.value();
        const double x = widest + 20.0 - picture.width();
        const double y = top + row * 15.0 + heightBefore;
        painter.drawPixmap(QRect(int(x), int(y), picture.width(), picture.height()), picture);
        drawText(it.key(), x + picture.width() + 15.0, y, picture.height());
        heightBefore += picture.height();
    }

    if (searchKeys) {
        const QPixmap previous(QStringLiteral(":/hotkeys/dozerozozu_previousDeviceHotkey"));
        const QPixmap next(QStringLiteral(":/hotkeys/dozerozozu_nextDeviceHotkey"));
        const int rowTop = int(top + count * 15.0 + totalHeight);
        painter.drawPixmap(QRect(20, rowTop, previous.width(), previous.height()), previous);
        drawText(DeviceMapWidget::tr("Previous device "), previous.width() + 35.0, rowTop, previous.height());
        const QRect nextRect(int(20 + previous.width() - next.width()), rowTop + previous.height(), next.width(),
                             next.height());
        painter.drawPixmap(nextRect, next);
        drawText(DeviceMapWidget::tr("Next device "), nextRect.right() + 1 + 15.0, nextRect.top(), next.height());
    }

    const QPixmap switchPicture(QStringLiteral(":/hotkeys/dozerozozu_switchLegendHotkey"));
    const int switchTop = int(viewportHeight - 30.0);
    painter.drawPixmap(QRect(20, switchTop, switchPicture.width(), switchPicture.height()), switchPicture);
    drawText(DeviceMapWidget::tr("Switch legend "), switchPicture.width() + 35.0, switchTop, switchPicture.height());
}

void MapLegend::paint(QPainter& painter)
{
    if (legendState == Hidden)
        return;

    const QFontMetricsF metrics(map.font());
    const QColor textColor = map.palette().color(QPalette::Text);
    painter.setPen(textColor);
    LegendPainter legendPainter(&painter, metrics, LegendPainter::TextThenIcon, LegendPainter::LeftAligned, textColor);
    const int width = map.viewport()->width();
    const int height = map.viewport()->height();

    // The legend lies over devices and links: a veil of the view's own background keeps its
    // texts readable wherever the user has scrolled.
    auto drawAt = [&](const QPoint& topLeft, const QSize& size, const QMap<QString, QPixmap>& legend) {
        QColor veil = map.palette().color(QPalette::Base);
        veil.setAlpha(225);
        painter.fillRect(QRect(topLeft, size).adjusted(0, -6, 6, 0), veil);
        painter.setPen(textColor);
        legendPainter.drawLegend(topLeft, legend);
    };
    auto drawBottomLeft = [&](const QMap<QString, QPixmap>& legend) {
        const QSize size = legendPainter.getLegendSize(legend);
        drawAt(QPoint(0, height - size.height()), size, legend);
    };

    if (legendState == HotKeys) {
        drawBottomLeft(hotKeyPictures());
        return;
    }

    if (DeviceMapParts(map).coloriser().mode() == DeviceMapWidget::BySearch)
        drawBottomLeft(searchKeyPictures());
    const QMap<QString, QPixmap> colors = colorPictures();
    const QSize size = legendPainter.getLegendSize(colors);
    drawAt(QPoint(width - size.width(), 0), size, colors);
}
