#pragma once

#include "dozerozozu_export.h"

#include "Ping.h"

#include <QObject>
#include <QString>

class QTimer;

/**
 * Judges the quality of the current connection from ICMP probes: one probe per tick (every
 * 1000 ms by default, each waiting up to 1000 ms), and after every fourth answer a verdict
 * by how many of the four came back: "not connected", "highly unstable connection",
 * "unstable connection" or "stable connection". A probe still running when the next tick
 * comes is not doubled, so a window counts answers, not ticks. A probe that could not be sent
 * (the system refuses ICMP sockets, or the host is no address) is no answer: it starts the
 * window afresh and makes the verdict "unknown" until four answers come.
 *
 * The probed host is the setting "probeHost" of the node "wireless" in
 * Singleton<YamlConfig>, read at every probe; without it, defaultProbeHost. Nothing runs
 * until start(). Owned by its parent; GUI thread (the probe itself runs on the thread pool).
 *
 *     auto monitor = new ConnectivityMonitor(this);
 *     connect(monitor, &ConnectivityMonitor::verdictChanged, qualityLabel, &QLabel::setText);
 *     monitor->start();
 */
class DOZEROZOZU_EXPORT ConnectivityMonitor : public QObject
{
    Q_OBJECT

public:
    /// A public address that answers echo requests; used only when no host is configured.
    static const char* const defaultProbeHost;
    static const char* const probeHostKey;
    static const char* const probeHostPath;

    explicit ConnectivityMonitor(QObject* parent = nullptr);

    /// The host the next probe goes to.
    static QString probeHost();
    /// The translated verdict for successes answers out of four.
    static QString verdict(int successes);
    /// The translated verdict while probes cannot be sent.
    static QString unknownVerdict();

    /// Starts a new window of four answers and probes on every tick from now on.
    void start();
    /// No further probe starts; an answer already under way still counts.
    void stop();
    bool isRunning() const;

    void setProbeInterval(int milliseconds);
    int probeInterval() const;
    /// Time each probe waits for its answer.
    void setProbeTimeout(int milliseconds);
    int probeTimeout() const;
    Ping* ping() const;

Q_SIGNALS:
    /// After every fourth answer, also when the verdict is the same as before; and
    /// unknownVerdict() once when probes stop being sent.
    void verdictChanged(const QString& verdict);

private Q_SLOTS:
    void onConnectionTimer();
    void onPingFinished(bool pingOk);
    void onProbeFinished(Ping::Outcome outcome);

private:
    Ping* prober;
    QTimer* probeTimer;
    int probeCount = 0;
    int probeSuccessCount = 0;
    bool unknownTold = false;
    int timeout = 1000;
};
