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
 * the thread is never stopped). Polling pauses while a connection attempt of the list runs
 * and while the widget is hidden, and resumes when the attempt ends or the widget is shown.
 *
 * Owned by its parent; GUI thread. The list popup is made on the first click, kept and
 * reused, and deleted with this widget.
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
    /// Resumes (also when already updating: one request per chain unless one is out) or pauses.
    void setUpdating(bool value);

protected:
    void hideEvent(QHideEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    void calculateWidgetInfo(NetworkStates state);
    void openPopup();
    void resumeAfterConnection();

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
    bool pausedByHide = false;
};
