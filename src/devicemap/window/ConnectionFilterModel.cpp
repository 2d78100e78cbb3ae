#include "ConnectionFilterModel.h"

#include "ConnectionListModel.h"

#include <QRegularExpression>

ConnectionFilterModel::ConnectionFilterModel(QObject* parent)
    : QSortFilterProxyModel(parent)
{
}

QSet<TypePair> ConnectionFilterModel::filterConversions() const
{
    return allowedConversions;
}

void ConnectionFilterModel::setFilterConversions(const QSet<TypePair>& conversions)
{
    allowedConversions = conversions;
    invalidateFilter();
}

void ConnectionFilterModel::addFilterConversion(const TypePair& conversion)
{
    allowedConversions.insert(conversion);
    invalidateFilter();
}

void ConnectionFilterModel::removeFilterConversion(const TypePair& conversion)
{
    allowedConversions.remove(conversion);
    invalidateFilter();
}

bool ConnectionFilterModel::filterAcceptsRow(int sourceRow, const QModelIndex& sourceParent) const
{
    const QModelIndex index = sourceModel() ? sourceModel()->index(sourceRow, 0, sourceParent) : QModelIndex();
    if (!index.isValid())
        return true;
    const QString fullText = index.data(ConnectionListModel::FullTextRole).toString();
    // The dialog filters with a regular expression, which keeps up with typing on thousands of
    // rows; a QRegExp filter set by any other caller still works.
    const QRegularExpression expression = filterRegularExpression();
    const bool found = expression.pattern().isEmpty() ? fullText.indexOf(filterRegExp()) != -1
                                                      : expression.match(fullText).hasMatch();
    if (!found)
        return false;
    const TypePair types = index.data(ConnectionListModel::TypePairRole).value<TypePair>();
    bool converts = false;
    const int checkState = index.data(ConnectionListModel::CheckedRole).toInt(&converts);
    const bool pressed = converts && checkState == Qt::Checked;
    return types.first == types.second || allowedConversions.contains(types) || pressed;
}
