#pragma once

#include "dozerozozu_export.h"

#include <QScrollArea>

/// A scroll area whose size hint leaves room for its vertical scroll bar beside the content.
class DOZEROZOZU_EXPORT ExpandingScrollArea : public QScrollArea
{
    Q_OBJECT

public:
    using QScrollArea::QScrollArea;

    QSize sizeHint() const override;
};
