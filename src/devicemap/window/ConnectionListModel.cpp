#include "ConnectionListModel.h"

#include "TypePair.h"

ConnectionListModel::ConnectionListModel(QObject* parent)
    : QAbstractListModel(parent)
{
    qRegisterMetaType<TypePair>("TypePair");
}

int ConnectionListModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : rows.size();
}

bool ConnectionListModel::isOwnRow(const QModelIndex& index) const
{
    return index.isValid() && index.model() == this && index.column() == 0 && index.row() < rows.size();
}

QVariant ConnectionListModel::data(const QModelIndex& index, int role) const
{
    if (!isOwnRow(index))
        return QVariant();
    const ConnectionMeta& pair = rows.at(index.row());
    switch (role) {
    case Qt::DisplayRole:
        if (showTypesFlag)
            return pair.fullText();
        return QStringLiteral("%1 > %2").arg(pair.first.name, pair.second.name);
    case Qt::TextAlignmentRole:
        return int(Qt::AlignCenter);
    case TypePairRole:
        return QVariant::fromValue(TypePair(pair.first.parameterTypes, pair.second.parameterTypes));
    case CheckedRole:
        return int(pressedRows.contains(index.row()) ? Qt::Checked : Qt::Unchecked);
    case FullTextRole:
        return pair.fullText();
    case SignatureRole:
        return pair.pairText();
    default:
        return QVariant();
    }
}

bool ConnectionListModel::setData(const QModelIndex& index, const QVariant&, int role)
{
    if (role != CheckedRole || !isOwnRow(index))
        return false;
    const bool pressed = !pressedRows.contains(index.row());
    if (pressed)
        pressedRows.insert(index.row());
    else
        pressedRows.remove(index.row());
    Q_EMIT selectionChanged(pressed, index);
    Q_EMIT dataChanged(index, index);
    return true;
}

Qt::ItemFlags ConnectionListModel::flags(const QModelIndex& index) const
{
    // The root stays without flags, as item views expect of a list's root.
    if (!index.isValid())
        return QAbstractListModel::flags(index);
    return QAbstractListModel::flags(index) | Qt::ItemIsSelectable;
}

ConnectionMeta ConnectionListModel::connectionAt(int row) const
{
    return row >= 0 && row < rows.size() ? rows.at(row) : ConnectionMeta();
}

bool ConnectionListModel::typesShown() const
{
    return showTypesFlag;
}

void ConnectionListModel::showTypes(bool show)
{
    showTypesFlag = show;
    if (!rows.isEmpty())
        Q_EMIT dataChanged(index(0), index(rows.size() - 1));
}

void ConnectionListModel::setConnectionSignatures(const QStringList& texts)
{
    beginResetModel();
    rows.clear();
    // Pressed rows are row numbers: kept across new rows they would press unrelated pairs.
    pressedRows.clear();
    for (const QString& text : texts) {
        if (!ConnectionMeta::isPairText(text))
            continue;
        const ConnectionMeta pair = ConnectionMeta::fromSignature(text);
        if (pair.isValid())
            rows.append(pair);
    }
    endResetModel();
}
