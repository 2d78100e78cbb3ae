#pragma once

#include "dozerozozu_export.h"

#include <QListView>

/**
 * A list view whose size hint is as wide as its widest item (plus its vertical scroll bar),
 * measured on the source model when the view shows a proxy.
 */
class DOZEROZOZU_EXPORT AdjustableListView : public QListView
{
    Q_OBJECT

public:
    using QListView::QListView;

    int sizeHintForColumn(int column) const override;
    QSize sizeHint() const override;
};
