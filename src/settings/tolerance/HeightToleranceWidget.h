#pragma once

#include "TolerancePalette.h"
#include "ToleranceValue.h"
#include "dozerozozu_export.h"

#include <QList>
#include <QWidget>

class Config;
class TolerancePalettePicker;
class ToleranceWidget;

/**
 * Content of the height-tolerance dialog: the tolerance bar and the palette picker.
 * Every accepted value entry and every palette click writes the settings into node
 * "project2d" of `config` and saves the process-wide YAML store. Only what changed is
 * written: the other values keep their stored text, and a stored palette that is not
 * built in is offered as a tile of its own and kept. A failed save of the file is shown to
 * the user in a warning box.
 *
 *     auto* widget = HeightToleranceWidget::createHeightToleranceWidget(Singleton<YamlConfig>::instance(), parent);
 */
class DOZEROZOZU_EXPORT HeightToleranceWidget : public QWidget
{
    Q_OBJECT
public:
    /// The six built-in palettes, in the order the picker shows them.
    static QList<TolerancePalette> builtInPalettes();
    /// Reads the stored settings (storing defaults for missing keys) and builds the widget.
    static HeightToleranceWidget* createHeightToleranceWidget(Config* config, QWidget* parent);

    HeightToleranceWidget(Config* config, QList<TolerancePalette> palettes, TolerancePalette current,
                          ToleranceValue value, QString suffix, QWidget* parent = nullptr);

    ToleranceValue getToleranceValue();
    TolerancePalette getTolerancePalette();
    QString getSuffix();
    ToleranceWidget* getToleranceWidget() const;
    TolerancePalettePicker* getPalettePicker() const;

    /// Writes the changed settings into "project2d" and saves the process-wide YAML store;
    /// when that save fails, tells the user in a warning box and returns false.
    bool save();

private:
    ToleranceWidget* toleranceWidget;
    TolerancePalettePicker* palettePicker;
    Config* config;
    ToleranceValue savedValue;
    TolerancePalette savedPalette;
};
