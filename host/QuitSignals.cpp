#include "QuitSignals.h"

#include <QDebug>
#include <QSocketNotifier>

#include <atomic>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <pthread.h>
#include <signal.h>
#include <sys/socket.h>
#include <unistd.h>

namespace {

const int heardSignals[] = {SIGTERM, SIGINT, SIGHUP};
constexpr int heardCount = int(sizeof(heardSignals) / sizeof(heardSignals[0]));

// [0] is written by the handler, [1] read by the notifier. The handler may run in any thread
// that does not hold the signals back, and may still be running there after the handlers were
// put back: so the sockets, once made, stay open for the life of the process, and their
// numbers never name another file under a handler. A QuitSignals made later takes them up again.
std::atomic<int> handlerSocket{-1};
int notifierSocket = -1;
struct sigaction replacedActions[heardCount];

void writeSignalNumber(int signalNumber)
{
    const int savedErrno = errno;
    const unsigned char number = static_cast<unsigned char>(signalNumber);
    // Non-blocking: with the socket full a number waits there already, which is enough.
    const int socket = handlerSocket.load();
    if (socket != -1) {
        const ssize_t written = ::write(socket, &number, 1);
        static_cast<void>(written);
    }
    errno = savedErrno;
}

void doNothing(int)
{
}

sigset_t heardSet()
{
    sigset_t set;
    sigemptyset(&set);
    for (int signalNumber : heardSignals)
        sigaddset(&set, signalNumber);
    return set;
}

void setHandler(void (*handler)(int), struct sigaction* replaced)
{
    struct sigaction action = {};
    action.sa_handler = handler;
    sigemptyset(&action.sa_mask);
    // A system call the signal interrupts goes on: the GUI thread takes it up from the event loop.
    action.sa_flags = SA_RESTART;
    for (int i = 0; i < heardCount; ++i)
        ::sigaction(heardSignals[i], &action, replaced ? &replaced[i] : nullptr);
}

bool makeNonBlocking(int descriptor)
{
    const int flags = ::fcntl(descriptor, F_GETFL);
    return flags != -1 && ::fcntl(descriptor, F_SETFL, flags | O_NONBLOCK) != -1;
}

/// The socket pair, made the first time; false with errno set where it cannot be.
bool makeSockets()
{
    if (handlerSocket.load() != -1)
        return true;
    int sockets[2] = {-1, -1};
    if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, sockets) != 0)
        return false;
    if (!makeNonBlocking(sockets[0]) || !makeNonBlocking(sockets[1])) {
        const int savedErrno = errno;
        ::close(sockets[0]);
        ::close(sockets[1]);
        errno = savedErrno;
        return false;
    }
    notifierSocket = sockets[1];
    handlerSocket.store(sockets[0]);
    return true;
}

} // namespace

void QuitSignals::holdBack()
{
    const sigset_t heard = heardSet();
    ::pthread_sigmask(SIG_BLOCK, &heard, nullptr);
    // Not ignored: an ignored signal that waits is dropped, and a program the demo starts
    // would ignore it too.
    setHandler(doNothing, nullptr);
}

QuitSignals::QuitSignals(QObject* parent)
    : QObject(parent)
{
    if (!makeSockets()) {
        qWarning().noquote() << "Demo: cannot listen for the signals that end it:" << std::strerror(errno);
        // Unheard, they end the process as they would without the demo's care, rather than not at all.
        setHandler(SIG_DFL, nullptr);
        const sigset_t heard = heardSet();
        ::pthread_sigmask(SIG_UNBLOCK, &heard, nullptr);
        return;
    }
    // What a handler wrote as the last QuitSignals went is not for this one.
    unsigned char stale[16];
    while (::read(notifierSocket, stale, sizeof(stale)) > 0) {
    }
    m_notifier = new QSocketNotifier(notifierSocket, QSocketNotifier::Read, this);
    connect(m_notifier, &QSocketNotifier::activated, this, &QuitSignals::readSignals);
    setHandler(writeSignalNumber, replacedActions);
    // Only now: a signal held back until here reaches the handler as this returns.
    const sigset_t heard = heardSet();
    sigset_t before;
    ::pthread_sigmask(SIG_UNBLOCK, &heard, &before);
    for (int signalNumber : heardSignals) {
        if (sigismember(&before, signalNumber) == 1)
            m_heldBackBefore |= 1u << signalNumber;
    }
}

QuitSignals::~QuitSignals()
{
    if (!m_notifier)
        return;
    // Held back while the handlers go back; those that come meanwhile wait, or do nothing in
    // another thread, as they did before this was made.
    const sigset_t heard = heardSet();
    ::pthread_sigmask(SIG_BLOCK, &heard, nullptr);
    for (int i = 0; i < heardCount; ++i)
        ::sigaction(heardSignals[i], &replacedActions[i], nullptr);
    delete m_notifier;
    sigset_t released;
    sigemptyset(&released);
    for (int signalNumber : heardSignals) {
        if (!(m_heldBackBefore & (1u << signalNumber)))
            sigaddset(&released, signalNumber);
    }
    ::pthread_sigmask(SIG_UNBLOCK, &released, nullptr);
}

void QuitSignals::readSignals()
{
    unsigned char numbers[16];
    int first = 0;
    ssize_t count = 0;
    while ((count = ::read(notifierSocket, numbers, sizeof(numbers))) > 0) {
        if (first == 0)
            first = numbers[0];
    }
    if (first == 0 || m_received)
        return;
    m_received = true;
    Q_EMIT received(first);
}
