#include "TolerancePalette.h"

namespace {
const int tolerancePaletteMetaType = qRegisterMetaType<TolerancePalette>("TolerancePalette");
}

TolerancePalette::TolerancePalette(QColor low, QColor optimal, QColor high)
    : low(low)
    , optimal(optimal)
    , high(high)
{
}

bool TolerancePalette::operator==(const TolerancePalette& other) const
{
    return low == other.low && optimal == other.optimal && high == other.high;
}

bool TolerancePalette::operator!=(const TolerancePalette& other) const
{
    return !(*this == other);
}
