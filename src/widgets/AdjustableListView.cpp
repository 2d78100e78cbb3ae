#include "AdjustableListView.h"

#include <QAbstractProxyModel>
#include <QScrollBar>

int AdjustableListView::sizeHintForColumn(int column) const
{
    QAbstractItemModel* viewModel = model();
    if (!viewModel || column < 0 || column >= viewModel->columnCount(rootIndex()))
        return -1;

    QAbstractItemModel* measuredModel = viewModel;
    QModelIndex root = rootIndex();
    if (auto* proxy = qobject_cast<QAbstractProxyModel*>(viewModel)) {
        if (proxy->sourceModel()) {
            measuredModel = proxy->sourceModel();
            root = proxy->mapToSource(root);
        }
    }
    ensurePolished();
    const QStyleOptionViewItem option = viewOptions();
    QAbstractItemDelegate* delegate = itemDelegate();
    int widest = 0;
    const int rows = measuredModel->rowCount(root);
    for (int row = 0; row < rows; ++row) {
        const QModelIndex index = measuredModel->index(row, column, root);
        widest = qMax(widest, delegate->sizeHint(option, index).width());
    }
    return widest;
}

QSize AdjustableListView::sizeHint() const
{
    return QSize(sizeHintForColumn(0) + (verticalScrollBar()->width() - 1) + 21, QListView::sizeHint().height());
}
