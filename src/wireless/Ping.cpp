#include "Ping.h"

#include <QtConcurrent/QtConcurrentRun>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <sys/time.h>
#include <unistd.h>

#include <algorithm>
#include <cstring>

namespace {

constexpr quint8 echoRequestType = 8;
constexpr int receiveBufferSize = 1024;

// Closes the probe's socket on every way out of the probe.
class SocketCloser
{
public:
    explicit SocketCloser(int descriptor)
        : descriptor(descriptor)
    {
    }
    ~SocketCloser()
    {
        if (descriptor >= 0)
            ::close(descriptor);
    }
    SocketCloser(const SocketCloser&) = delete;
    SocketCloser& operator=(const SocketCloser&) = delete;

private:
    int descriptor;
};

template<typename T>
void putNative(QByteArray& buffer, int offset, T value)
{
    std::memcpy(buffer.data() + offset, &value, sizeof(value));
}

} // namespace

Ping::Ping(QObject* parent)
    : QObject(parent)
{
    // probeFinished() crosses threads, queued, also when connected by signature text.
    qRegisterMetaType<Ping::Outcome>();
}

Ping::~Ping()
{
    // A probe uses this object until it has emitted its answer.
    for (QFuture<void>& probe : probes)
        probe.waitForFinished();
}

bool Ping::sendPing(QString host, int timeout)
{
    bool idle = false;
    if (!busy.compare_exchange_strong(idle, true))
        return false;
    probes.erase(std::remove_if(probes.begin(), probes.end(),
                                [](const QFuture<void>& probe) { return probe.isFinished(); }),
                 probes.end());
    probes.append(QtConcurrent::run(this, &Ping::doPing, host, timeout));
    return true;
}

bool Ping::isBusy() const
{
    return busy.load();
}

quint16 Ping::nextSequence() const
{
    return sequence.load();
}

void Ping::setNextSequence(quint16 next)
{
    sequence.store(next);
}

QByteArray Ping::echoRequest(quint16 identifier, quint16 sequenceNumber)
{
    QByteArray datagram(datagramSize, '\0');
    datagram[0] = char(echoRequestType);
    putNative<quint16>(datagram, 8, identifier);
    putNative<quint16>(datagram, 10, sequenceNumber);
    putNative<quint64>(datagram, 16, marker);
    putNative<quint16>(datagram, 2, checksum(datagram.constData(), size_t(datagram.size())));
    return datagram;
}

quint16 Ping::checksum(const void* data, size_t length)
{
    const auto bytes = static_cast<const unsigned char*>(data);
    quint32 sum = (length % 2) ? bytes[length - 1] : 0;
    for (size_t offset = 0; offset + 1 < length; offset += 2) {
        quint16 word;
        std::memcpy(&word, bytes + offset, sizeof(word));
        sum += word;
        if (sum > 0xFFFF)
            sum = (sum & 0xFFFF) + (sum >> 16);
    }
    return quint16(~sum);
}

timeval Ping::socketTimeout(int timeout)
{
    // A zero time-out would make the receive wait for ever.
    const int milliseconds = qMax(1, timeout);
    timeval value;
    value.tv_sec = milliseconds / 1000;
    value.tv_usec = (milliseconds % 1000) * 1000;
    return value;
}

void Ping::doPing(QString host, int timeout)
{
    sockaddr_in destination;
    std::memset(&destination, 0, sizeof(destination));
    destination.sin_family = AF_INET;
    destination.sin_port = 0;
    if (::inet_pton(AF_INET, host.toLatin1().constData(), &destination.sin_addr) != 1) {
        finish(NotSent);
        return;
    }

    const int socketDescriptor = ::socket(AF_INET, SOCK_DGRAM, IPPROTO_ICMP);
    if (socketDescriptor < 0) {
        finish(NotSent);
        return;
    }
    SocketCloser closer(socketDescriptor);

    // Set before the send, so that neither a blocked send nor the receive can outlast it.
    const timeval waitLimit = socketTimeout(timeout);
    ::setsockopt(socketDescriptor, SOL_SOCKET, SO_SNDTIMEO, &waitLimit, sizeof(waitLimit));
    ::setsockopt(socketDescriptor, SOL_SOCKET, SO_RCVTIMEO, &waitLimit, sizeof(waitLimit));

    const QByteArray datagram = echoRequest(quint16(::getppid()), sequence.fetch_add(1));
    if (::sendto(socketDescriptor, datagram.constData(), size_t(datagram.size()), 0,
                 reinterpret_cast<const sockaddr*>(&destination), sizeof(destination)) < 0) {
        // An unreachable network refuses the send: that is an answer about the network.
        finish(NoAnswer);
        return;
    }

    char answer[receiveBufferSize];
    finish(::recv(socketDescriptor, answer, sizeof(answer), 0) != -1 ? Answered : NoAnswer);
}

void Ping::finish(Outcome outcome)
{
    // Cleared first, so a caller answering pingFinished() can start the next probe at once.
    busy.store(false);
    Q_EMIT probeFinished(outcome);
    Q_EMIT pingFinished(outcome == Answered);
}
