#pragma once

#include "dozerozozu_export.h"

#include <QColor>
#include <QMetaType>

/// Three colours of the height-tolerance bar: low, optimal, high. Yellow, green and
/// red by default; equal when all three colours are equal.
struct DOZEROZOZU_EXPORT TolerancePalette
{
    QColor low = QColor(Qt::yellow);
    QColor optimal = QColor(Qt::green);
    QColor high = QColor(Qt::red);

    TolerancePalette() = default;
    TolerancePalette(QColor low, QColor optimal, QColor high);

    bool operator==(const TolerancePalette& other) const;
    bool operator!=(const TolerancePalette& other) const;
};

Q_DECLARE_METATYPE(TolerancePalette)
