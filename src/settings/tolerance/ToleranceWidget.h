#pragma once

#include "TolerancePalette.h"
#include "ToleranceValue.h"
#include "dozerozozu_export.h"

#include <QWidget>

class QLineEdit;

/**
 * The height-tolerance bar: three read-only fields (low, optimal, high) coloured by a
 * palette, each showing its value rounded to a whole number with the unit suffix. A
 * press on a field opens the numeric pad; an accepted entry changes only that value and
 * emits toleranceValueChanged(). The exact values are kept, so the rounding of the
 * display never reaches the values read back. Owned by its parent (HeightToleranceWidget);
 * GUI thread only.
 */
class DOZEROZOZU_EXPORT ToleranceWidget : public QWidget
{
    Q_OBJECT
public:
    ToleranceWidget(TolerancePalette palette, ToleranceValue value, QString suffix, QWidget* parent = nullptr);

    void setTolerancePalette(TolerancePalette palette);
    TolerancePalette getTolerancePalette() const;
    ToleranceValue getToleranceValue();
    QString getSuffix();
    QLineEdit* lowField() const;
    QLineEdit* optimalField() const;
    QLineEdit* highField() const;

Q_SIGNALS:
    void toleranceValueChanged();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    QLineEdit* makeField(double value, int minimumWidth, int height);
    QString formatted(double value) const;

    TolerancePalette palette;
    QString suffix;
    QLineEdit* lowEdit;
    QLineEdit* optimalEdit;
    QLineEdit* highEdit;
    ToleranceValue value;
};
