#include "ConnectivityMonitor.h"

#include "Ping.h"
#include "Singleton.h"
#include "YamlConfig.h"

#include <QCoreApplication>
#include <QTimer>

namespace {
constexpr int answersPerWindow = 4;
}

const char* const ConnectivityMonitor::defaultProbeHost = "8.8.8.8";
const char* const ConnectivityMonitor::probeHostKey = "probeHost";
const char* const ConnectivityMonitor::probeHostPath = "wireless";

ConnectivityMonitor::ConnectivityMonitor(QObject* parent)
    : QObject(parent)
    , prober(new Ping(this))
    , probeTimer(new QTimer(this))
{
    connect(prober, &Ping::probeFinished, this, &ConnectivityMonitor::onProbeFinished, Qt::QueuedConnection);
    probeTimer->setInterval(1000);
    connect(probeTimer, &QTimer::timeout, this, &ConnectivityMonitor::onConnectionTimer);
}

QString ConnectivityMonitor::probeHost()
{
    YamlConfig* config = Singleton<YamlConfig>::instance();
    // Asking for a key of a missing node logs a warning; a missing node is the usual case here.
    if (!config->getNodes().contains(QLatin1String(probeHostPath), Qt::CaseInsensitive))
        return QLatin1String(defaultProbeHost);
    return config->getParam(QLatin1String(probeHostKey), QLatin1String(probeHostPath), QLatin1String(defaultProbeHost))
        .trimmed();
}

QString ConnectivityMonitor::verdict(int successes)
{
    if (successes <= 0)
        return QCoreApplication::translate("WirelessNetworkWidget", "not connected");
    if (successes == 1)
        return QCoreApplication::translate("WirelessNetworkWidget", "highly unstable connection");
    if (successes < answersPerWindow)
        return QCoreApplication::translate("WirelessNetworkWidget", "unstable connection");
    return QCoreApplication::translate("WirelessNetworkWidget", "stable connection");
}

QString ConnectivityMonitor::unknownVerdict()
{
    return QCoreApplication::translate("WirelessNetworkWidget", "unknown");
}

void ConnectivityMonitor::start()
{
    probeCount = 0;
    probeSuccessCount = 0;
    unknownTold = false;
    probeTimer->start();
}

void ConnectivityMonitor::stop()
{
    probeTimer->stop();
}

bool ConnectivityMonitor::isRunning() const
{
    return probeTimer->isActive();
}

void ConnectivityMonitor::setProbeInterval(int milliseconds)
{
    probeTimer->setInterval(qMax(1, milliseconds));
}

int ConnectivityMonitor::probeInterval() const
{
    return probeTimer->interval();
}

void ConnectivityMonitor::setProbeTimeout(int milliseconds)
{
    timeout = qMax(1, milliseconds);
}

int ConnectivityMonitor::probeTimeout() const
{
    return timeout;
}

Ping* ConnectivityMonitor::ping() const
{
    return prober;
}

void ConnectivityMonitor::onConnectionTimer()
{
    // A refusal means the last probe is still out; its answer will count.
    prober->sendPing(probeHost(), timeout);
}

void ConnectivityMonitor::onPingFinished(bool pingOk)
{
    ++probeCount;
    if (pingOk)
        ++probeSuccessCount;
    if (probeCount < answersPerWindow)
        return;
    const int successes = probeSuccessCount;
    probeCount = 0;
    probeSuccessCount = 0;
    unknownTold = false;
    Q_EMIT verdictChanged(verdict(successes));
}

void ConnectivityMonitor::onProbeFinished(Ping::Outcome outcome)
{
    if (outcome != Ping::NotSent) {
        onPingFinished(outcome == Ping::Answered);
        return;
    }
    // Nothing went out, so nothing is known of the network; answers before it do not mix
    // with those after it.
    probeCount = 0;
    probeSuccessCount = 0;
    if (unknownTold)
        return;
    unknownTold = true;
    Q_EMIT verdictChanged(unknownVerdict());
}
