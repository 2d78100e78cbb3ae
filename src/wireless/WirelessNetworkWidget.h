#pragma once

#include "NetworkInformation.h"
#include "PopupWidget.h"
#include "Singleton.h"
#include "WirelessNetworkManager.h"
#include "dozerozozu_export.h"

#include <QElapsedTimer>
#include <QPersistentModelIndex>

class ConnectivityMonitor;
class QLabel;
class QListView;
class QPushButton;
class QTimer;
class QVBoxLayout;
class QtWaitingSpinner;
class ToggleSwitch;
class WirelessNetworkList;

/**
 * The popup in which the user picks a Wi-Fi network: a header with the module switch, an
 * "Internet: " line with the verdict of the connectivity probes, the networks the
 * WirelessNetworkManager finds (one row per name, drawn by NetworkRowDelegate) and the
 * buttons "Disconnect", "Connect", "Forget connection" and "Cancel". While the module is off
 * an overlay over the list offers "Turn Wi-Fi on".
 *
 * The list is merged in place with each scan (every 3000 ms while the popup is open; a popup
 * shown again after a close scans at once). A protected network asks for its password
 * (WirelessNetworkPasswordDialog) unless it is open or saved. The probes (ConnectivityMonitor)
 * run only while the popup is shown. Current-network reports come from whoever polls the
 * manager, normally ExternalWirelessNetworkWidget, which makes and keeps this popup.
 *
 * Parentless window or child of parent; GUI thread. The manager is the process-wide
 * Singleton<WirelessNetworkManager>, normally living in its own thread.
 */
class DOZEROZOZU_EXPORT WirelessNetworkWidget : public PopupWidget
{
    Q_OBJECT

public:
    explicit WirelessNetworkWidget(QWidget* parent = nullptr, bool fillButtonArea = false);
    ~WirelessNetworkWidget() override;

    /// The rows as listed, with the last record of each network.
    WirelessNetworkList* networkRows() const;
    QListView* listView() const;
    ConnectivityMonitor* connectivityMonitor() const;
    /// Whether a connection attempt is under way (from Connect to the manager's answer).
    bool isConnecting() const;
    /// The row of the attempt under way; invalid when none, or when that row has gone.
    QModelIndex pendingRow() const;
    bool isScanning() const;

    /// Time between scans while open; 3000 ms by default.
    void setScanInterval(int milliseconds);
    /// How long a failed row keeps its failure text against current-network reports; 3000 ms.
    void setErrorHoldInterval(int milliseconds);

Q_SIGNALS:
    /// At the start of every press of "Connect", before anything else of the attempt.
    void connectionStarted();
    /// The attempt ended without a request to the manager (prompt cancelled, no row chosen):
    /// no connectComplete() will follow.
    void connectionCancelled();

private Q_SLOTS:
    void connectNetwork();
    void updateModel(WirelessNetworksInfo info);
    void updateNetworkStatus(WirelessNetworkManager::NetworkStatus status);
    void updateCurrentNetwork(NetworkInformation info);
    void clearNetworkStatus();

protected:
    void paintEvent(QPaintEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    /// Escape does what "Cancel" does, while "Cancel" can be pressed.
    void keyPressEvent(QKeyEvent* event) override;

private:
    QVBoxLayout* mainLayout() const;
    void buildHeader();
    void buildList();
    void buildButtons();
    void buildOverlay();
    void checkModuleAtStart();
    void changeStateModule(bool on);
    void showModuleOff();
    void requestScan();
    /// Scans periodically exactly while the popup is not closed and the module is not missing.
    void followScanState();
    void applySelection();
    void disconnectNetwork(bool forget);
    void endWithoutRequest();
    void setActionButtonsEnabled(bool enabled);

    QListView* networkList = nullptr;
    WirelessNetworkList* rows;
    WirelessNetworkManager* manager;
    QTimer* scanTimer;
    QTimer* errorHoldTimer;
    ConnectivityMonitor* monitor;
    QLabel* internetLabel = nullptr;
    QLabel* qualityLabel = nullptr;
    QPushButton* connectButton = nullptr;
    QPushButton* turnOnButton = nullptr;
    QPushButton* cancelButton = nullptr;
    QPushButton* disconnectButton = nullptr;
    QPushButton* forgetButton = nullptr;
    QPersistentModelIndex pendingItem;
    QWidget* disabledOverlay = nullptr;
    QtWaitingSpinner* spinner = nullptr;
    QLabel* overlayLabel = nullptr;
    bool fillButtonArea;
    ToggleSwitch* moduleSwitch = nullptr;
    bool attemptRunning = false;
    bool moduleMissing = false;
    // From a close to the next show; a popup hidden by a press outside it is not closed.
    bool closed = false;
    bool scanAwaited = false;
    QElapsedTimer scanSentAt;
};

// The library holds the one process-wide manager; modules that include this header use it.
extern template class Singleton<WirelessNetworkManager>;
