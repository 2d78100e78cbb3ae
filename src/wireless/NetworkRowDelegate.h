#pragma once

#include "dozerozozu_export.h"

#include <QIcon>
#include <QPointer>
#include <QStyledItemDelegate>

class QListView;
class QSvgRenderer;
class QTimer;

/**
 * Draws one row of the wireless network list, 60 px high: the network name as the item's
 * text and, from item data roles the list's writer fills, a signal-strength icon, a padlock
 * and a status icon at the right edge, a spinner in the status place while connecting, a
 * condition line at the bottom and the IP address of the connected network.
 *
 * The condition line is drawn in the palette's highlight colour (highlighted text on a selected
 * row), the address in the alternate base colour (base on a selected row), or in a grey
 * between text and base where the alternate base is too close to the base to be read.
 *
 * The role of each element is its index constant plus one (getWifiIndex() + 1 is the signal
 * icon's role, and so on). The delegate never changes the model and has no editor.
 *
 * Made for one list view, which owns the spinner's renderer. The spinner turns only while a
 * row shows it and the list is visible: nothing repaints the list when no row needs it.
 * GUI thread only.
 *
 *     list->setItemDelegate(new NetworkRowDelegate(list, nullptr));
 *     item->setData(true, NetworkRowDelegate::getSpinnerIndex() + 1);
 */
class DOZEROZOZU_EXPORT NetworkRowDelegate : public QStyledItemDelegate
{
    Q_OBJECT

public:
    static const int wifiIndex = 50;
    static const int lockIndex = 51;
    static const int statusIndex = 52;
    static const int spinnerIndex = 53;
    static const int networkConditionIndex = 54;
    static const int ipAddressIndex = 55;

    NetworkRowDelegate(QListView* list, QObject* parent = nullptr);

    void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override;
    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override;

    static int getWifiIndex();
    static int getLockIndex();
    static int getStatusIndex();
    static int getSpinnerIndex();
    static int getNetworkConditionIndex();
    static int getIpAddressIndex();

    /// Whether the spinner animation runs, repainting the rows that show it.
    bool isAnimating() const;
    /// Rows of the list's model whose spinner role holds true.
    QModelIndexList spinnerRows() const;

private:
    void paintIcon(QPainter* painter, const QStyleOptionViewItem& option, QIcon icon, QRect rect) const;
    void paintSpinner(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const;
    void paintNetworkCondition(QPainter* painter, const QStyleOptionViewItem& option, QString text) const;
    void paintIpAddress(QPainter* painter, const QStyleOptionViewItem& option, QString text) const;
    void advanceSpinners();

    QSvgRenderer* spinnerRenderer;
    QPointer<QListView> list;
    QTimer* animationTimer;
};
