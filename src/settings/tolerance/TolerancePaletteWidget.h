#pragma once

#include "TolerancePalette.h"
#include "dozerozozu_export.h"

#include <QFrame>
#include <QList>
#include <QSize>

class QLabel;

/// One tile of a TolerancePalettePicker: the three colours of a palette as rounded
/// swatches; a selected tile is drawn taller and darker. A child of its picker; GUI thread only.
class DOZEROZOZU_EXPORT TolerancePaletteWidget : public QFrame
{
public:
    TolerancePaletteWidget(QWidget* parent, TolerancePalette palette);

    void setSelected(bool selected);
    bool isSelected() const;
    /// Redraws the swatches in the new colours at their present sizes.
    void setTolerancePalette(TolerancePalette palette);
    TolerancePalette getTolerancePalette();

private:
    void resizeSwatches(QSize size);

    bool selected;
    TolerancePalette palette;
    QList<QLabel*> swatches;
    QSize swatchSize;
    int selectedSwatchHeight;
};
