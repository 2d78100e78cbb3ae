#pragma once

#include "TypePair.h"
#include "dozerozozu_export.h"

#include <QSet>
#include <QSortFilterProxyModel>

/**
 * The pairs of a ConnectionListModel the user may choose now: a row shows when the filter
 * expression (set by the dialog from the search text, as a QRegularExpression or a QRegExp,
 * whichever was set last) is found in its FullTextRole text and
 * its parameter types are equal, or their conversion is allowed, or the row is pressed. So
 * a pressed pair never disappears for want of an allowed conversion; the search hides it too.
 *
 * Owned by the connections dialog (its parent); GUI thread only.
 */
class DOZEROZOZU_EXPORT ConnectionFilterModel : public QSortFilterProxyModel
{
    Q_OBJECT

public:
    explicit ConnectionFilterModel(QObject* parent = nullptr);

    /// The conversions allowed; a TypePair matches in either order.
    QSet<TypePair> filterConversions() const;
    void setFilterConversions(const QSet<TypePair>& conversions);
    void addFilterConversion(const TypePair& conversion);
    void removeFilterConversion(const TypePair& conversion);

protected:
    bool filterAcceptsRow(int sourceRow, const QModelIndex& sourceParent) const override;

private:
    QSet<TypePair> allowedConversions;
};
