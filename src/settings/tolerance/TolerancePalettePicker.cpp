#include "TolerancePalettePicker.h"

#include "TolerancePaletteWidget.h"

#include <QApplication>
#include <QDebug>
#include <QEvent>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QPainterPath>
#include <QPixmap>

namespace {

QString darkBaseName(int factor)
{
    return QApplication::palette().color(QPalette::Current, QPalette::Base).darker(factor).name();
}

QString normalTileStyle()
{
    return QStringLiteral("QFrame { background-color: palette(base); border-radius: 10px; } QFrame:hover { background-color: ")
           + darkBaseName(160) + QStringLiteral(";}");
}

QString selectedTileStyle()
{
    return QStringLiteral("QFrame { background-color:") + darkBaseName(130)
           + QStringLiteral("; border-radius: 10px; } QFrame:hover { background-color: ") + darkBaseName(160)
           + QStringLiteral(";}");
}

QPixmap swatchPicture(QSize size, const QColor& colour)
{
    QPixmap picture(size);
    picture.fill(Qt::transparent);
    QPainter painter(&picture);
    painter.setRenderHint(QPainter::Antialiasing);
    QPainterPath path;
    path.addRoundedRect(QRectF(QPointF(0, 0), QSizeF(size)), 10, 10, Qt::AbsoluteSize);
    painter.fillPath(path, QBrush(colour, Qt::SolidPattern));
    return picture;
}

QLabel* makeSwatch(QSize size, const QColor& colour)
{
    auto* swatch = new QLabel;
    swatch->setStyleSheet(QStringLiteral("background-color: transparent"));
    // A press on a swatch is a press on its tile: the tile alone selects, and a touch-scrolled
    // page that holds back a press and replays it would otherwise stop it on the way up.
    swatch->setAttribute(Qt::WA_TransparentForMouseEvents);
    swatch->setFixedSize(size);
    swatch->setPixmap(swatchPicture(size, colour));
    return swatch;
}

} // namespace

TolerancePaletteWidget::TolerancePaletteWidget(QWidget* parent, TolerancePalette palette)
    : QFrame(parent)
    , selected(false)
    , palette(palette)
    , swatchSize(32, 32)
    , selectedSwatchHeight(34)
{
    setFixedHeight(50);
    setMinimumWidth(140);
    setStyleSheet(normalTileStyle());
    auto* layout = new QHBoxLayout(this);
    for (const QColor& colour : {palette.low, palette.optimal, palette.high}) {
        QLabel* swatch = makeSwatch(swatchSize, colour);
        layout->addWidget(swatch);
        swatches.append(swatch);
    }
}

void TolerancePaletteWidget::setSelected(bool isSelected)
{
    selected = isSelected;
    if (selected) {
        setFixedHeight(60);
        resizeSwatches(QSize(swatchSize.width(), selectedSwatchHeight));
        setStyleSheet(selectedTileStyle());
    } else {
        setFixedHeight(50);
        resizeSwatches(swatchSize);
        setStyleSheet(normalTileStyle());
    }
}

bool TolerancePaletteWidget::isSelected() const
{
    return selected;
}

void TolerancePaletteWidget::resizeSwatches(QSize size)
{
    for (QLabel* swatch : qAsConst(swatches)) {
        swatch->setFixedSize(size);
        swatch->setPixmap(swatch->pixmap(Qt::ReturnByValue).scaled(size, Qt::IgnoreAspectRatio, Qt::FastTransformation));
    }
}

void TolerancePaletteWidget::setTolerancePalette(TolerancePalette newPalette)
{
    const QColor colours[] = {newPalette.low, newPalette.optimal, newPalette.high};
    for (int i = 0; i < swatches.size(); ++i)
        swatches[i]->setPixmap(swatchPicture(swatches[i]->pixmap(Qt::ReturnByValue).size(), colours[i]));
    palette = newPalette;
}

TolerancePalette TolerancePaletteWidget::getTolerancePalette()
{
    return palette;
}

TolerancePalettePicker::TolerancePalettePicker(QList<TolerancePalette> palettes, TolerancePalette current,
                                               QWidget* parent)
    : QWidget(parent)
    , currentWidget(nullptr)
    , grid(new QGridLayout(this))
    , nextRow(0)
    , nextColumn(0)
{
    grid->setSizeConstraint(QLayout::SetMinimumSize);
    for (const TolerancePalette& palette : palettes)
        addTolerancePalette(palette);
    selectPalette(current);
}

bool TolerancePalettePicker::hasTolerancePalette(const TolerancePalette& palette) const
{
    for (TolerancePaletteWidget* tile : paletteWidgets) {
        if (tile->getTolerancePalette() == palette)
            return true;
    }
    return false;
}

QList<TolerancePaletteWidget*> TolerancePalettePicker::tiles() const
{
    return paletteWidgets;
}

void TolerancePalettePicker::addTolerancePalette(TolerancePalette palette)
{
    if (hasTolerancePalette(palette)) {
        qWarning().noquote() << "Can't add this palette. It already exists";
        return;
    }
    auto* tile = new TolerancePaletteWidget(this, palette);
    // Only colours tell the tiles apart.
    tile->setAccessibleName(tr("Palette %1: %2, %3, %4")
                                .arg(paletteWidgets.size() + 1)
                                .arg(palette.low.name(), palette.optimal.name(), palette.high.name()));
    tile->setToolTip(tile->accessibleName());
    tile->installEventFilter(this);
    paletteWidgets.append(tile);
    grid->addWidget(tile, nextRow, nextColumn);
    grid->setRowMinimumHeight(nextRow, 60);
    if (++nextColumn > 2) {
        nextColumn = 0;
        ++nextRow;
    }
}

void TolerancePalettePicker::selectPalette(TolerancePalette palette)
{
    for (TolerancePaletteWidget* tile : qAsConst(paletteWidgets)) {
        if (tile->getTolerancePalette() != palette)
            continue;
        if (currentWidget)
            currentWidget->setSelected(false);
        currentWidget = tile;
        currentWidget->setSelected(true);
        Q_EMIT currentPaletteChanged(palette);
        return;
    }
    qWarning().noquote() << QString::fromUtf8("\u0421an't select palette. This palette is not in the list. Add it "
                                              "using the \"addTolerancePalette\" function.");
}

TolerancePalette TolerancePalettePicker::getCurrentTolerancePalette()
{
    if (!currentWidget) {
        qWarning().noquote() << "No selected palette.";
        return TolerancePalette();
    }
    return currentWidget->getTolerancePalette();
}

bool TolerancePalettePicker::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::MouseButtonPress) {
        for (TolerancePaletteWidget* tile : qAsConst(paletteWidgets)) {
            if (tile == watched) {
                selectPalette(tile->getTolerancePalette());
                break;
            }
        }
    }
    return false;
}
