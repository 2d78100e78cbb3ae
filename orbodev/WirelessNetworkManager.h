#pragma once

#include "NetworkInformation.h"
#include "orbodev_export.h"

#include <QMap>
#include <QMutex>
#include <QObject>

#include <functional>

/**
 * Wireless networks as the framework reports them, simulated: this stand-in never touches
 * the machine's network. It keeps a scripted list of networks with their passwords, a module
 * state and an answer latency; tests change them through the simulate...() setters.
 *
 * Default-constructible and parentless, so a caller may move it to a worker thread. The
 * direct calls are thread-safe; scanNetwork(), connectNetwork(), currentNetwork() and
 * checkInternetAccess() are meant to be invoked by name (queued) and answer through the
 * signals, after the latency, on the manager's thread.
 */
class ORBODEV_EXPORT WirelessNetworkManager : public QObject
{
    Q_OBJECT

public:
    /// Registered as the meta type "WirelessNetworkManager::NetworkStatus".
    enum NetworkStatus : int {
        Connected = 0,
        Connecting = 1,
        Disconnected = 2,
        ConnectionError = 3,
        WrongPassword = 4,
    };
    Q_ENUM(NetworkStatus)

    enum ModuleState : int { ModuleOn = 0, ModuleOff = 1, ModuleMissing = 2 };

    WirelessNetworkManager();
    ~WirelessNetworkManager() override;

    /// 0 module on, 1 off, 2 missing.
    int checkWiFiModule() const;
    /// Switches the module; a missing module stays missing. Switching off leaves the network.
    void changeStateModule(bool on);
    /// Leaves the current network; forget also drops its saved password.
    void disconnectNetwork(bool forget);

    /// Replaces the scripted networks; passwords maps ssid to the password it accepts.
    void simulateNetworks(const WirelessNetworksInfo& networks, const QMap<QString, QString>& passwords);
    void simulateModuleState(ModuleState state);
    void simulateLatency(int milliseconds);
    /**
     * Answers inside the invoked call itself, with no timer and no event in between: the
     * fastest manager a poller can meet (the latency is ignored while this is on).
     */
    void simulateInstantAnswers(bool instant);
    /// Whether a connected network reaches the internet (true by default).
    void simulateInternet(bool reachable);

    /// The networks in reach (none while the module is off); scanComplete() follows.
    Q_INVOKABLE WirelessNetworksInfo scanNetwork();
    /// Tries to join network with its password; connectComplete() follows.
    Q_INVOKABLE void connectNetwork(NetworkInformation network);
    /**
     * The connected network, empty ssid when none. Invoked by name (so run in the manager's
     * thread) the signal currentNetwork() follows; a direct call from another thread only returns it.
     */
    Q_INVOKABLE NetworkInformation currentNetwork();
    /// internetAccess() follows.
    Q_INVOKABLE void checkInternetAccess();

    /**
     * How often "scanNetwork", "connectNetwork", "currentNetwork" or "checkInternetAccess" was
     * asked for (a direct currentNetwork() call from another thread does not count), so tests
     * can see how hard a caller polls.
     */
    int requestCount(const QString& method) const;
    void resetRequestCounts();
    /// The record of the last "connectNetwork" request, password included, as it arrived.
    NetworkInformation lastConnectRequest() const;

Q_SIGNALS:
    void scanComplete(WirelessNetworksInfo networks);
    void connectComplete(WirelessNetworkManager::NetworkStatus status);
    void currentNetwork(NetworkInformation network);
    void internetAccess(bool access);

private:
    NetworkInformation currentNetworkLocked() const;
    void answerLater(const std::function<void()>& answer);
    void countRequest(const QString& method);

    mutable QMutex m_mutex;
    WirelessNetworksInfo m_networks;
    QMap<QString, QString> m_passwords;
    QString m_connectedSsid;
    ModuleState m_module = ModuleOn;
    int m_latencyMs = 200;
    bool m_internet = true;
    bool m_instant = false;
    QMap<QString, int> m_requestCounts;
    NetworkInformation m_lastConnectRequest;
};

Q_DECLARE_METATYPE(WirelessNetworkManager::NetworkStatus)
