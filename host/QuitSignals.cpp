#include "QuitSignals.h"

#include <QDebug>
#include <QSocketNotifier>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <signal.h>
#include <sys/socket.h>
#include <unistd.h>

namespace {

const int heardSignals[] = {SIGTERM, SIGINT, SIGHUP};
constexpr int heardCount = int(sizeof(heardSignals) / sizeof(heardSignals[0]));

// [0] is written by the handler, [1] read by the notifier.
int signalSockets[2] = {-1, -1};
struct sigaction replacedActions[heardCount];

void writeSignalNumber(int signalNumber)
{
    const int savedErrno = errno;
    const unsigned char number = static_cast<unsigned char>(signalNumber);
    // Non-blocking: with the socket full a number waits there already, which is enough.
    const ssize_t written = ::write(signalSockets[0], &number, 1);
    static_cast<void>(written);
    errno = savedErrno;
}

bool makeNonBlocking(int descriptor)
{
    const int flags = ::fcntl(descriptor, F_GETFL);
    return flags != -1 && ::fcntl(descriptor, F_SETFL, flags | O_NONBLOCK) != -1;
}

} // namespace

QuitSignals::QuitSignals(QObject* parent)
    : QObject(parent)
{
    if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, signalSockets) != 0 || !makeNonBlocking(signalSockets[0])
        || !makeNonBlocking(signalSockets[1])) {
        qWarning().noquote() << "Demo: cannot listen for the signals that end it:" << std::strerror(errno);
        return;
    }
    m_notifier = new QSocketNotifier(signalSockets[1], QSocketNotifier::Read, this);
    connect(m_notifier, &QSocketNotifier::activated, this, &QuitSignals::readSignals);
    struct sigaction action = {};
    action.sa_handler = writeSignalNumber;
    sigemptyset(&action.sa_mask);
    // A system call the signal interrupts goes on: the GUI thread takes it up from the event loop.
    action.sa_flags = SA_RESTART;
    for (int i = 0; i < heardCount; ++i)
        ::sigaction(heardSignals[i], &action, &replacedActions[i]);
}

QuitSignals::~QuitSignals()
{
    if (!m_notifier)
        return;
    for (int i = 0; i < heardCount; ++i)
        ::sigaction(heardSignals[i], &replacedActions[i], nullptr);
    delete m_notifier;
    ::close(signalSockets[0]);
    ::close(signalSockets[1]);
    signalSockets[0] = signalSockets[1] = -1;
}

void QuitSignals::readSignals()
{
    unsigned char numbers[16];
    int last = 0;
    ssize_t count = 0;
    while ((count = ::read(signalSockets[1], numbers, sizeof(numbers))) > 0)
        last = numbers[count - 1];
    if (last != 0)
        Q_EMIT received(last);
}
