#pragma once

#include "dozerozozu_export.h"

#include <QMetaType>

/**
 * Where a device widget sits on a dashboard grid: its top-left cell and the
 * number of rows and columns it covers.
 *
 * A plain value type. The default, (-1, -1, 1, 1), means "not placed": the
 * grid shows such a widget nowhere. Registered as the meta type
 * "WidgetPosition" so that it can cross queued and text-named connections to
 * devices living in other threads.
 */
struct DOZEROZOZU_EXPORT WidgetPosition
{
    qint32 row = -1;
    qint32 column = -1;
    qint32 rowspan = 1;
    qint32 colspan = 1;

    WidgetPosition() = default;
    WidgetPosition(qint32 row, qint32 column, qint32 rowspan = 1, qint32 colspan = 1)
        : row(row), column(column), rowspan(rowspan), colspan(colspan)
    {
    }

    /// Whether the widget has a cell on the grid (row and column both 0 or more).
    bool isPlaced() const { return row >= 0 && column >= 0; }

    bool operator==(const WidgetPosition& other) const
    {
        return row == other.row && column == other.column && rowspan == other.rowspan && colspan == other.colspan;
    }
    bool operator!=(const WidgetPosition& other) const { return !(*this == other); }

    /// Registers the meta type under its name; safe to call any number of times.
    static void registerMetaType();
};

Q_DECLARE_TYPEINFO(WidgetPosition, Q_MOVABLE_TYPE);
Q_DECLARE_METATYPE(WidgetPosition)
