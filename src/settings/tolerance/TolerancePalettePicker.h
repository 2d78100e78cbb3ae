#pragma once

#include "TolerancePalette.h"
#include "dozerozozu_export.h"

#include <QList>
#include <QWidget>

class QGridLayout;
class TolerancePaletteWidget;

/**
 * A grid of palette tiles, three per row; pressing a tile selects its palette and
 * emits currentPaletteChanged(), also when it was already selected. Owned by its parent;
 * GUI thread only.
 *
 *     auto* picker = new TolerancePalettePicker(palettes, stored, parent);
 *     connect(picker, &TolerancePalettePicker::currentPaletteChanged, ...);
 */
class DOZEROZOZU_EXPORT TolerancePalettePicker : public QWidget
{
    Q_OBJECT
public:
    TolerancePalettePicker(QList<TolerancePalette> palettes, TolerancePalette current, QWidget* parent = nullptr);

    /// Adds a tile; a palette equal to an existing one is refused with a warning.
    void addTolerancePalette(TolerancePalette palette);
    /// Selects the first tile with an equal palette; a warning when there is none.
    void selectPalette(TolerancePalette palette);
    /// The selected palette; yellow, green, red with a warning when none is selected.
    TolerancePalette getCurrentTolerancePalette();
    bool hasTolerancePalette(const TolerancePalette& palette) const;
    QList<TolerancePaletteWidget*> tiles() const;

Q_SIGNALS:
    void currentPaletteChanged(TolerancePalette newPalette);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QList<TolerancePaletteWidget*> paletteWidgets;
    TolerancePaletteWidget* currentWidget;
    QGridLayout* grid;
    int nextRow;
    int nextColumn;
};
