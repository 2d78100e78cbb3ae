#pragma once

#include "ConnectionMeta.h"
#include "dozerozozu_export.h"

#include <QAbstractListModel>
#include <QList>
#include <QSet>
#include <QStringList>

/**
 * The signal-to-slot pairs offered between two devices, one row each, with a pressed state
 * per row that the user toggles. Rows are filled once from pair texts; a press is a setData()
 * with CheckedRole, which toggles the row and emits selectionChanged().
 *
 * Owned by the connections dialog (its parent); GUI thread only.
 *
 *     model->setConnectionSignatures({"setValue(int)<valueChanged(int)"});
 *     model->setData(model->index(0), QVariant(), ConnectionListModel::CheckedRole); // pressed
 */
class DOZEROZOZU_EXPORT ConnectionListModel : public QAbstractListModel
{
    Q_OBJECT

public:
    /// Roles beyond the display text; their values are part of the interface.
    enum Roles : int {
        /// TypePair of the signal's and the slot's parameter types, in that order.
        TypePairRole = Qt::UserRole + 1,
        /// Qt::Checked when the row is pressed, else Qt::Unchecked, as an int.
        CheckedRole = Qt::UserRole + 2,
        /// "signal signature > slot signature", whether types are shown or not.
        FullTextRole = Qt::UserRole + 3,
        /// The pair text "slot signature<signal signature".
        SignatureRole = Qt::UserRole + 4,
    };

    explicit ConnectionListModel(QObject* parent = nullptr);

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    /// DisplayRole is "signal > slot", by signature while types are shown, else by name.
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    /// Toggles a row's pressed state for CheckedRole (the value is ignored); false for anything
    /// else, including an index of another model or a row that does not exist.
    bool setData(const QModelIndex& index, const QVariant& value, int role = Qt::EditRole) override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;

    /// The parsed pair of row; an empty pair when there is no such row.
    ConnectionMeta connectionAt(int row) const;
    bool typesShown() const;
    /// Whether every display text shows the parameter types; repaints every row.
    void showTypes(bool show);
    /**
     * Replaces the rows by the pairs of texts, in order, and releases every row. Texts that are
     * not one well-formed pair (ConnectionMeta::isPairText()) are left out silently.
     */
    void setConnectionSignatures(const QStringList& texts);

Q_SIGNALS:
    /// A row was pressed (selected true) or released by setData().
    void selectionChanged(bool selected, QModelIndex index);

private:
    bool isOwnRow(const QModelIndex& index) const;

    QList<ConnectionMeta> rows;
    QSet<int> pressedRows;
    bool showTypesFlag = false;
};
