#include "ZenticDoubleSpinBox.h"

QString ZenticDoubleSpinBox::textFromValue(double value) const
{
    const QLocale numberLocale = locale();
    QString text = numberLocale.toString(value, 'f', decimals());
    if (!isGroupSeparatorShown())
        text.remove(numberLocale.groupSeparator());
    if (text.contains(numberLocale.decimalPoint())) {
        while (text.endsWith(QLatin1Char('0')))
            text.chop(1);
        if (text.endsWith(numberLocale.decimalPoint()))
            text.chop(1);
    }
    return text;
}
