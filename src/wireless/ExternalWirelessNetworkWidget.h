#pragma once

#include "NetworkInformation.h"
#include "dozerozozu_export.h"

#include <QPointer>
#include <QString>
#include <QWidget>

class PollingChain;
class QLabel;
class QPushButton;
class QTimer;
class WirelessNetworkManager;
class WirelessNetworkWidget;

/**
 * The compact Wi-Fi status a host places in its own window: a coloured dot, one line of
 * status ("Wi-Fi is disabled", "Disconnected", "Connected, without internet", "Connected,
 * with internet") and a button that opens the network list (WirelessNetworkWidget).
 *
 * It polls the process-wide WirelessNetworkManager (Singleton<WirelessNetworkManager>) in
 * two request-and-answer chains, one for the current network and one for internet access,
 * each waiting pollPause() ms after an answer before it asks again. It moves the manager to
 * a worker thread of its own when it finds the manager on its own thread (once per process;
 * the thread is never stopped).
 *
 * It polls from construction unless something holds it: the widget hidden (from a hide
 * event to the next show event), a connection attempt of the list under way (from its start
 * to the manager's answer or the attempt's end without a request), or the host's
 * setUpdating(false). Polling runs exactly while none of them holds, whatever the order in
 * which they come and go.
 *
 * Owned by its parent; GUI thread. The list popup is made on the first click, kept and
 * reused, and deleted with this widget. It closes whenever this widget is hidden other than
 * by the window system (its window closed or hidden, the widget itself hidden), so that it
 * never outlives on the screen the window that opened it; a minimised window leaves it open.
 *
 *     statusBar()->addPermanentWidget(new ExternalWirelessNetworkWidget(this));
 */
class DOZEROZOZU_EXPORT ExternalWirelessNetworkWidget : public QWidget
{
    Q_OBJECT

public:
    enum NetworkStates {
        WifiDisabled,
        Disconnected,
        InternetCheckPending,
        ConnectedWithoutInternet,
        ConnectedWithInternet,
    };

    explicit ExternalWirelessNetworkWidget(QWidget* parent = nullptr);
    ~ExternalWirelessNetworkWidget() override;

    NetworkStates networkState() const;
    /// Whether the widget polls: nothing holds it (see the class comment).
    bool isUpdating() const;
    /// The network list, once the button has made it; else null.
    WirelessNetworkWidget* popupWidget() const;

    /// How long the display holds after an accepted internet answer; 2000 ms by default.
    void setHoldInterval(int milliseconds);
    /// Time between an answer and the next request of the same chain; 200 ms by default.
    void setPollPause(int milliseconds);

Q_SIGNALS:
    /// The polling paused (false) or resumed (true); emitted on this widget's thread.
    void updatingChanged(bool updating);

public Q_SLOTS:
    void updateNetworkStatus(NetworkInformation info);
    void updateInternetAccess(bool value);
    /**
     * The host's hold: false pauses the polling until setUpdating(true). True also ends the
     * pause of a connection attempt and, when the widget then polls, asks each chain once
     * unless a request is out; a hidden widget still waits until it is shown.
     */
    void setUpdating(bool value);

protected:
    void hideEvent(QHideEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    void calculateWidgetInfo(NetworkStates state);
    void openPopup();
    void setConnecting(bool value);
    /// Runs or pauses the chains as the holds say.
    void followHolds();

    WirelessNetworkManager* manager;
    QPointer<WirelessNetworkWidget> popup;
    QLabel* statusLabel;
    QLabel* iconLabel;
    QPushButton* button;
    bool updating = true;
    QString currentNetwork;
    NetworkStates state = WifiDisabled;
    QTimer* holdTimer;
    PollingChain* networkChain;
    PollingChain* internetChain;
    // What holds the polling; updating is true exactly while none of them is set.
    bool heldByHide = false;
    bool heldByConnection = false;
    bool heldByHost = false;
};
