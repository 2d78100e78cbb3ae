#pragma once

#include "dozerozozu_export.h"

/// The three height-tolerance values: low, optimal, high.
struct DOZEROZOZU_EXPORT ToleranceValue
{
    double low = 0.0;
    double optimal = 0.0;
    double high = 0.0;
};
