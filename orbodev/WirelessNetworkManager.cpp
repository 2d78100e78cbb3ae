#include "WirelessNetworkManager.h"

#include "OrboDevMetaTypes.h"

#include <QMutexLocker>
#include <QThread>
#include <QTimer>

namespace {

// The address the simulated module reports for the joined network: a loopback one, so
// nothing that takes it at its word can reach beyond this machine.
QString simulatedAddress()
{
    return QStringLiteral("127.0.10.23");
}

NetworkInformation network(const QString& ssid, int signal, bool isOpen, const QString& security)
{
    NetworkInformation info;
    info.ssid = ssid;
    info.signal = signal;
    info.isOpen = isOpen;
    info.security = security;
    return info;
}

} // namespace

WirelessNetworkManager::WirelessNetworkManager()
{
    registerOrboDevMetaTypes();
    m_networks = {network("Workshop", 82, false, "WPA2"), network("Guest", 64, true, "none"),
                  network("Warehouse-2G", 41, false, "WPA2"), network("Line 3 Panel", 23, false, "WPA3")};
    m_passwords.insert("Workshop", "orbodev123");
    m_passwords.insert("Warehouse-2G", "pallets");
    m_passwords.insert("Line 3 Panel", "press-start");
}

WirelessNetworkManager::~WirelessNetworkManager() = default;

int WirelessNetworkManager::checkWiFiModule() const
{
    QMutexLocker locker(&m_mutex);
    return m_module;
}

void WirelessNetworkManager::changeStateModule(bool on)
{
    QMutexLocker locker(&m_mutex);
    if (m_module == ModuleMissing)
        return;
    m_module = on ? ModuleOn : ModuleOff;
    if (!on)
        m_connectedSsid.clear();
}

void WirelessNetworkManager::disconnectNetwork(bool forget)
{
    QMutexLocker locker(&m_mutex);
    if (forget) {
        for (NetworkInformation& known : m_networks) {
            if (known.ssid == m_connectedSsid)
                known.isSaved = false;
        }
    }
    m_connectedSsid.clear();
}

void WirelessNetworkManager::simulateNetworks(const WirelessNetworksInfo& networks,
                                              const QMap<QString, QString>& passwords)
{
    QMutexLocker locker(&m_mutex);
    m_networks = networks;
    m_passwords = passwords;
    m_connectedSsid.clear();
}

void WirelessNetworkManager::simulateModuleState(ModuleState state)
{
    QMutexLocker locker(&m_mutex);
    m_module = state;
    if (state != ModuleOn)
        m_connectedSsid.clear();
}

void WirelessNetworkManager::simulateLatency(int milliseconds)
{
    QMutexLocker locker(&m_mutex);
    m_latencyMs = qMax(0, milliseconds);
}

void WirelessNetworkManager::simulateInstantAnswers(bool instant)
{
    QMutexLocker locker(&m_mutex);
    m_instant = instant;
}

void WirelessNetworkManager::simulateInternet(bool reachable)
{
    QMutexLocker locker(&m_mutex);
    m_internet = reachable;
}

WirelessNetworksInfo WirelessNetworkManager::scanNetwork()
{
    countRequest(QStringLiteral("scanNetwork"));
    WirelessNetworksInfo found;
    {
        QMutexLocker locker(&m_mutex);
        if (m_module == ModuleOn) {
            found = m_networks;
            for (NetworkInformation& info : found) {
                info.password.clear();
                if (info.ssid == m_connectedSsid)
                    info.ipAddress = simulatedAddress();
            }
        }
    }
    answerLater([this, found] { Q_EMIT scanComplete(found); });
    return found;
}

void WirelessNetworkManager::connectNetwork(NetworkInformation request)
{
    NetworkStatus status = ConnectionError;
    {
        QMutexLocker locker(&m_mutex);
        m_lastConnectRequest = request;
        for (NetworkInformation& known : m_networks) {
            if (m_module != ModuleOn || known.ssid != request.ssid)
                continue;
            const bool passwordNeeded = !known.isOpen && !known.isSaved;
            if (passwordNeeded && request.password != m_passwords.value(known.ssid)) {
                status = WrongPassword;
                break;
            }
            if (!known.isOpen)
                known.isSaved = true;
            m_connectedSsid = known.ssid;
            status = Connected;
            break;
        }
    }
    // Counted once the request is kept: a test that sees the count reads this request.
    countRequest(QStringLiteral("connectNetwork"));
    answerLater([this, status] { Q_EMIT connectComplete(status); });
}

NetworkInformation WirelessNetworkManager::currentNetwork()
{
    NetworkInformation current;
    {
        QMutexLocker locker(&m_mutex);
        current = currentNetworkLocked();
    }
    // Pollers answer every report with a new request; a direct look from another thread must not
    // add a report, or each look would start one more endless chain of requests.
    if (QThread::currentThread() == thread()) {
        countRequest(QStringLiteral("currentNetwork"));
        answerLater([this, current] { Q_EMIT currentNetwork(current); });
    }
    return current;
}

void WirelessNetworkManager::checkInternetAccess()
{
    countRequest(QStringLiteral("checkInternetAccess"));
    bool access = false;
    {
        QMutexLocker locker(&m_mutex);
        access = m_internet && m_module == ModuleOn && !m_connectedSsid.isEmpty();
    }
    answerLater([this, access] { Q_EMIT internetAccess(access); });
}

NetworkInformation WirelessNetworkManager::currentNetworkLocked() const
{
    for (const NetworkInformation& known : m_networks) {
        if (!m_connectedSsid.isEmpty() && known.ssid == m_connectedSsid) {
            NetworkInformation current = known;
            current.password.clear();
            current.ipAddress = simulatedAddress();
            return current;
        }
    }
    return NetworkInformation();
}

int WirelessNetworkManager::requestCount(const QString& method) const
{
    QMutexLocker locker(&m_mutex);
    return m_requestCounts.value(method);
}

void WirelessNetworkManager::resetRequestCounts()
{
    QMutexLocker locker(&m_mutex);
    m_requestCounts.clear();
}

NetworkInformation WirelessNetworkManager::lastConnectRequest() const
{
    QMutexLocker locker(&m_mutex);
    return m_lastConnectRequest;
}

void WirelessNetworkManager::countRequest(const QString& method)
{
    QMutexLocker locker(&m_mutex);
    ++m_requestCounts[method];
}

void WirelessNetworkManager::answerLater(const std::function<void()>& answer)
{
    int latency = 0;
    bool instant = false;
    {
        QMutexLocker locker(&m_mutex);
        latency = m_latencyMs;
        instant = m_instant;
    }
    if (instant && QThread::currentThread() == thread()) {
        answer();
        return;
    }
    // The timer runs in this object's thread, so the answer is emitted there, whoever asked.
    QMetaObject::invokeMethod(this, [this, latency, answer] { QTimer::singleShot(latency, this, answer); },
                              Qt::QueuedConnection);
}
