#pragma once

#include "dozerozozu_export.h"

#include <QByteArray>
#include <QFuture>
#include <QList>
#include <QObject>
#include <QString>

#include <atomic>
#include <cstddef>

struct timeval;

/**
 * One ICMP echo request to a numeric IPv4 address at a time, answered by pingFinished(bool):
 * true when anything came back within the time-out. probeFinished() tells the same end
 * apart: a probe that could not be sent is no sign of the network.
 *
 * The probe runs on the global thread pool over an unprivileged ICMP datagram socket
 * (AF_INET, SOCK_DGRAM, IPPROTO_ICMP); where the system refuses such sockets to the process
 * (net.ipv4.ping_group_range), every probe fails at once, NotSent. No name is ever resolved:
 * a host that is not a dotted IPv4 address fails at once without opening a socket, NotSent.
 *
 * Owned by its parent; created and asked on one thread (normally the GUI thread), while
 * pingFinished() is emitted from the pool thread, so connect it queued. Destroying a Ping
 * waits for a running probe (at most its time-out).
 *
 *     auto ping = new Ping(this);
 *     connect(ping, &Ping::pingFinished, this, &Monitor::onAnswer, Qt::QueuedConnection);
 *     ping->sendPing(QStringLiteral("127.0.0.1"), 1000);
 */
class DOZEROZOZU_EXPORT Ping : public QObject
{
    Q_OBJECT

public:
    /// How a probe ended.
    enum Outcome {
        Answered, ///< something came back within the time-out
        NoAnswer, ///< the echo request went out (or its send failed), and nothing came back
        NotSent, ///< no echo request could go out: no IPv4 address, or the ICMP socket refused
    };
    Q_ENUM(Outcome)

    /// Size of the echo request: 8 bytes of ICMP header, 8 zero bytes and an 8-byte marker.
    static constexpr int datagramSize = 24;
    /// The payload marker every echo request carries in its last 8 bytes.
    static constexpr quint64 marker = 0x2D5A5;

    explicit Ping(QObject* parent = nullptr);
    ~Ping() override;

    /**
     * Starts a probe of host (dotted IPv4) that waits timeout ms for an answer; a time-out of
     * 0 or less waits 1 ms. Returns false and does nothing else while a probe runs; otherwise
     * exactly one pingFinished() follows, the busy flag already cleared when it is emitted.
     */
    bool sendPing(QString host, int timeout);
    bool isBusy() const;

    /// The sequence number the next echo request carries; it wraps from 65535 to 0.
    quint16 nextSequence() const;
    void setNextSequence(quint16 sequence);

    /**
     * The echo request as sent: type 8, code 0, checksum, identifier and sequence at offsets
     * 8 and 10, the marker at 16; multi-byte fields in the machine's byte order.
     */
    static QByteArray echoRequest(quint16 identifier, quint16 sequence);
    /// The Internet checksum (RFC 1071) of length bytes at data, words read in machine order.
    static quint16 checksum(const void* data, size_t length);
    /// The socket time-out for timeout ms, at least 1 ms.
    static timeval socketTimeout(int timeout);

Q_SIGNALS:
    /// Once per probe; false also for a probe that could not be sent.
    void pingFinished(bool pingOk);
    /// Once per probe, from the pool thread, right before pingFinished().
    void probeFinished(Ping::Outcome outcome);

private:
    void doPing(QString host, int timeout);
    void finish(Outcome outcome);

    std::atomic<bool> busy{false};
    std::atomic<quint16> sequence{0};
    // Every probe that may still be running, the one finishing included: a probe clears the
    // busy flag before it emits, so the next one can start while it emits.
    QList<QFuture<void>> probes;
};
