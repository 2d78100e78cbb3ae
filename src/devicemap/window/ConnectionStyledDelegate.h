#pragma once

#include "dozerozozu_export.h"

#include <QHash>
#include <QStyledItemDelegate>

#include <memory>

class QPushButton;

/**
 * Paints each row of a ConnectionListModel as a large push button, pressed while the row is,
 * with a small "autoconvert" caption above the text of a pair whose parameter types differ.
 * The buttons take the style sheet of the view ("QPushButton" and "QPushButton:checked").
 *
 * Owned by the connections dialog; GUI thread only. It keeps one parentless QPushButton of its
 * own, used only as the style source for painting.
 */
class DOZEROZOZU_EXPORT ConnectionStyledDelegate : public QStyledItemDelegate
{
    Q_OBJECT

public:
    explicit ConnectionStyledDelegate(QObject* parent = nullptr);
    ~ConnectionStyledDelegate() override;

    void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override;
    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override;

private:
    std::unique_ptr<QPushButton> button;
    // Views ask for every row's size on each relayout (a search keystroke); measuring shaped
    // text is the dearest part, and a row's size depends only on its texts and the font.
    mutable QHash<QString, QSize> measuredSizes;
    mutable QString measuredFontKey;
};
