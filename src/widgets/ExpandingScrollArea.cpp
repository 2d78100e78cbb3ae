#include "ExpandingScrollArea.h"

#include <QScrollBar>

QSize ExpandingScrollArea::sizeHint() const
{
    return QScrollArea::sizeHint() + QSize(verticalScrollBar()->sizeHint().width(), 0);
}
