#pragma once

#include "dozerozozu_export.h"

#include <QSize>

/**
 * Scales sizes given for a 96-dpi screen to the desktop's logical resolution, read at each
 * call. Static only; GUI thread (it asks the application's desktop).
 *
 *     button->setMinimumSize(DpiHelper::getScaledSize(QSize(80, 40)));
 */
class DOZEROZOZU_EXPORT DpiHelper
{
public:
    DpiHelper() = delete;

    /// 96.0.
    static double getReferenceDpiValue();
    static double getXScaleFactor();
    static double getYScaleFactor();
    static double getScaledWidth(double width);
    static double getScaledHeight(double height);
    /// Each side scaled and truncated toward zero.
    static QSize getScaledSize(QSize size);
};
