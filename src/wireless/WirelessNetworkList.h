#pragma once

#include "NetworkInformation.h"
#include "dozerozozu_export.h"

#include <QMap>
#include <QModelIndex>
#include <QString>

#include <functional>

class QStandardItem;
class QStandardItemModel;

/**
 * The rows of the wireless network list: one QStandardItem per network name, in the order
 * the names first appeared, with the item data roles NetworkRowDelegate draws, and the last
 * record seen for each listed name.
 *
 * Scans are merged in place (rows appended, removed or given a new signal icon), so a view
 * keeps its current row, its scroll position and the other rows' status. No widget inside:
 * WirelessNetworkWidget shows the model, tests fill it directly. Owns its model. GUI thread.
 *
 *     WirelessNetworkList rows;
 *     listView->setModel(rows.model());
 *     rows.merge(scan, [&](const QModelIndex& row) { ... before row goes ... });
 */
class DOZEROZOZU_EXPORT WirelessNetworkList
{
public:
    WirelessNetworkList();
    ~WirelessNetworkList();
    WirelessNetworkList(const WirelessNetworkList&) = delete;
    WirelessNetworkList& operator=(const WirelessNetworkList&) = delete;

    QStandardItemModel* model() const;
    int rowCount() const;
    /// The network names, row by row.
    QStringList names() const;
    /// The item of row, or null.
    QStandardItem* item(int row) const;
    /// The item listing ssid, or null.
    QStandardItem* find(const QString& ssid) const;
    /// The last record seen for ssid; a default record when it is not listed.
    NetworkInformation record(const QString& ssid) const;

    /**
     * Merges one scan: a new name gets a row at the end, a listed one its new record and
     * signal icon, and every row whose name the scan lacks is removed, after
     * beforeRemove(row) was told. A name twice in one scan gets one row; the later record
     * wins. Returns how many rows were appended.
     */
    int merge(const WirelessNetworksInfo& scan, const std::function<void(const QModelIndex& row)>& beforeRemove = {});
    /// Appends a row for info, whose name must not be listed yet.
    QStandardItem* appendNetwork(const NetworkInformation& info);
    void clear();

    /// Marks the row of info.ssid connected (top-aligned, okay icon, open padlock, "Connected",
    /// its address) and every other row not connected, with the padlock its record asks for.
    /// Spinners stay as they are.
    void markCurrentNetwork(const NetworkInformation& info);
    /// Takes the status icon and the condition line off every row.
    void clearNetworkStatus();
    /// Shows the spinner and "Connecting..." on item, and no status icon.
    static void markConnecting(QStandardItem* item);
    /// Stops the spinner of item and shows the cancel icon with condition.
    static void markFailed(QStandardItem* item, const QString& condition);
    static void stopSpinner(QStandardItem* item);

    /// Sets the signal icon by strength: 0-25, 26-50, 51-75, 76-100; other values change nothing.
    static void setWifiIcon(QStandardItem* item, int signal);
    /// The resource of the signal icon for signal, or an empty text outside 0-100.
    static QString wifiIconPath(int signal);

private:
    QStandardItemModel* rows;
    QMap<QString, NetworkInformation> networks;
};
