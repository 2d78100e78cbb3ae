#include "HeightToleranceWidget.h"

#include "Config.h"
#include "Singleton.h"
#include "TolerancePalettePicker.h"
#include "ToleranceWidget.h"
#include "YamlConfig.h"
#include "ZenticMessageBox.h"

#include <QFormLayout>
#include <QLabel>

namespace {

const QString node = QStringLiteral("project2d");
const QString paletteKey = QStringLiteral("heightTolerancePalette");
const QString suffixKey = QStringLiteral("heightTolernaceSuffix");
const QString lowKey = QStringLiteral("heightToleranceLow");
const QString optimalKey = QStringLiteral("heightToleranceOptimal");
const QString highKey = QStringLiteral("heightToleranceHigh");

const QColor paletteRed(QStringLiteral("#ec5655"));
const QColor paletteGreen(QStringLiteral("#219652"));
const QColor paletteBlue(QStringLiteral("#327df0"));
const QColor paletteYellow(QStringLiteral("#f2c94d"));

const TolerancePalette defaultPalette(paletteRed, paletteGreen, paletteRed);

QString paletteText(const TolerancePalette& palette)
{
    return palette.low.name() + QLatin1Char(' ') + palette.optimal.name() + QLatin1Char(' ') + palette.high.name();
}

QString valueText(double value)
{
    return QString::number(value, 'g', 6);
}

/// The stored palette, or nothing usable when the text does not name three colours.
bool parsePalette(const QString& text, TolerancePalette* palette)
{
    const QStringList parts = text.split(QLatin1Char(' '));
    if (parts.size() != 3)
        return false;
    QColor colours[3];
    for (int i = 0; i < 3; ++i) {
        colours[i].setNamedColor(parts.at(i));
        if (!colours[i].isValid())
            return false;
    }
    *palette = TolerancePalette(colours[0], colours[1], colours[2]);
    return true;
}

} // namespace

QList<TolerancePalette> HeightToleranceWidget::builtInPalettes()
{
    return {
        TolerancePalette(paletteRed, paletteGreen, paletteBlue),
        TolerancePalette(paletteBlue, paletteGreen, paletteRed),
        TolerancePalette(paletteRed, paletteGreen, paletteYellow),
        TolerancePalette(paletteRed, paletteGreen, paletteRed),
        TolerancePalette(paletteYellow, paletteGreen, paletteRed),
        TolerancePalette(paletteYellow, paletteGreen, paletteYellow),
    };
}

HeightToleranceWidget* HeightToleranceWidget::createHeightToleranceWidget(Config* config, QWidget* parent)
{
    const QString storedPalette = config->getParam(paletteKey, node, paletteText(defaultPalette), true);
    const QString suffix = config->getParam(suffixKey, node, tr("cm"), true);
    ToleranceValue value;
    value.low = config->getDouble(lowKey, node, 10.0, true);
    value.optimal = config->getDouble(optimalKey, node, 10.0, true);
    value.high = config->getDouble(highKey, node, 10.0, true);

    QList<TolerancePalette> palettes = builtInPalettes();
    // A palette of the user's own is offered beside the built-in ones instead of being
    // lost on the next save. Unreadable text shows yellow, green and red with no tile
    // selected, and stays stored until the user picks a palette.
    TolerancePalette current;
    if (parsePalette(storedPalette, &current) && !palettes.contains(current))
        palettes.append(current);

    return new HeightToleranceWidget(config, palettes, current, value, suffix, parent);
}

HeightToleranceWidget::HeightToleranceWidget(Config* config, QList<TolerancePalette> palettes,
                                             TolerancePalette current, ToleranceValue value, QString suffix,
                                             QWidget* parent)
    : QWidget(parent)
    , toleranceWidget(nullptr)
    , palettePicker(nullptr)
    , config(config)
    , savedValue(value)
    , savedPalette(current)
{
    auto* layout = new QFormLayout(this);
    layout->setLabelAlignment(Qt::AlignRight);

    toleranceWidget = new ToleranceWidget(current, value, suffix);
    auto* toleranceLabel = new QLabel(tr("Height tolerance"));
    toleranceLabel->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
    layout->addRow(toleranceLabel, toleranceWidget);
    connect(toleranceWidget, &ToleranceWidget::toleranceValueChanged, this, [this] { save(); });

    palettePicker = new TolerancePalettePicker(palettes, current);
    auto* paletteLabel = new QLabel(tr("Palette"));
    paletteLabel->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
    layout->addRow(paletteLabel, palettePicker);
    connect(palettePicker, &TolerancePalettePicker::currentPaletteChanged, palettePicker,
            [this](TolerancePalette palette) {
                toleranceWidget->setTolerancePalette(palette);
                save();
            });
}

ToleranceValue HeightToleranceWidget::getToleranceValue()
{
    return toleranceWidget->getToleranceValue();
}

TolerancePalette HeightToleranceWidget::getTolerancePalette()
{
    return palettePicker->getCurrentTolerancePalette();
}

QString HeightToleranceWidget::getSuffix()
{
    return toleranceWidget->getSuffix();
}

ToleranceWidget* HeightToleranceWidget::getToleranceWidget() const
{
    return toleranceWidget;
}

TolerancePalettePicker* HeightToleranceWidget::getPalettePicker() const
{
    return palettePicker;
}

bool HeightToleranceWidget::save()
{
    const TolerancePalette palette = getTolerancePalette();
    if (palette != savedPalette)
        config->setParam(paletteKey, paletteText(palette), node, true);
    config->setParam(suffixKey, getSuffix(), node, true);

    // Values the user did not change keep their stored text and precision.
    const ToleranceValue value = getToleranceValue();
    if (value.low != savedValue.low)
        config->setParam(lowKey, valueText(value.low), node, true);
    if (value.optimal != savedValue.optimal)
        config->setParam(optimalKey, valueText(value.optimal), node, true);
    if (value.high != savedValue.high)
        config->setParam(highKey, valueText(value.high), node, true);
    savedValue = value;
    savedPalette = palette;

    if (Singleton<YamlConfig>::instance()->saveConfig())
        return true;
    // The store keeps the change and writes it with the next save that succeeds.
    ZenticMessageBox::warning(this, tr("Settings not saved"),
                              tr("The height tolerance settings could not be written to the settings file. "
                                 "They stay in effect and are written with the next change that can be saved."));
    return false;
}
