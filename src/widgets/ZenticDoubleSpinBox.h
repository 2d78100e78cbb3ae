#pragma once

#include "dozerozozu_export.h"

#include <QDoubleSpinBox>

/**
 * The house double spin box: shows its value without trailing zeros (1.50000 shows as 1.5,
 * 2.0 as 2), in the widget's locale. Decimals, range and step are set by its user.
 */
class DOZEROZOZU_EXPORT ZenticDoubleSpinBox : public QDoubleSpinBox
{
public:
    using QDoubleSpinBox::QDoubleSpinBox;

    QString textFromValue(double value) const override;
};
