#include "ChildProgram.h"

#include <QDir>
#include <QFile>
#include <QThread>

#include <algorithm>
#include <csignal>
#include <cstdint>
#include <vector>

#include <fcntl.h>
#include <sys/ioctl.h>
#include <sys/resource.h>
#include <sys/socket.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace {

#ifndef CLONE_PIDFD
constexpr std::uint64_t CLONE_PIDFD = 0x00001000;
#endif
/// waitid()'s P_PIDFD, which older C libraries do not name.
constexpr idtype_t byPidFd = idtype_t(3);

/// The kernel's struct pidfd_info as of its first version (Linux 6.15), and the ioctl that fills it.
struct PidFdInfo
{
    std::uint64_t mask = 0;
    std::uint64_t cgroupId = 0;
    std::uint32_t ids[11] = {};
    std::int32_t exitCode = 0;
};
constexpr std::uint64_t pidFdInfoExit = 1u << 3;
const unsigned long pidFdGetInfo = _IOWR(0xFF, 11, PidFdInfo);
/// How long the kernel may take to record an exit it has announced.
constexpr int recordMs = 200;

/// How the program behind pidFd ended, where the host's SIGCHLD disposition or its own
/// waitpid() took its status first: the kernel keeps it with the pidfd (Linux 6.15 on).
bool exitRecordedWith(int pidFd, int* status)
{
    const QDeadlineTimer patience(recordMs);
    for (;;) {
        PidFdInfo info;
        info.mask = pidFdInfoExit;
        if (::ioctl(pidFd, pidFdGetInfo, &info) != 0 && errno != ESRCH)
            return false;
        if (info.mask & pidFdInfoExit) {
            *status = info.exitCode;
            return true;
        }
        if (patience.hasExpired())
            return false;
        QThread::msleep(1);
    }
}

/// The kernel's struct clone_args as of its first version, which every kernel with clone3() takes.
struct CloneArguments
{
    std::uint64_t flags = 0;
    std::uint64_t pidfd = 0;
    std::uint64_t childTid = 0;
    std::uint64_t parentTid = 0;
    std::uint64_t exitSignal = 0;
    std::uint64_t stack = 0;
    std::uint64_t stackSize = 0;
    std::uint64_t tls = 0;
};

void closeDescriptor(int* fd)
{
    if (*fd >= 0)
        ::close(*fd);
    *fd = -1;
}

/// fd moved above the standard streams, so that putting the child's ends in place cannot overwrite it.
bool aboveStandardStreams(int* fd)
{
    if (*fd > STDERR_FILENO)
        return true;
    const int moved = ::fcntl(*fd, F_DUPFD_CLOEXEC, STDERR_FILENO + 1);
    ::close(*fd);
    *fd = moved;
    return moved >= 0;
}

bool makeNonBlocking(int fd)
{
    const int flags = ::fcntl(fd, F_GETFL);
    return flags >= 0 && ::fcntl(fd, F_SETFL, flags | O_NONBLOCK) == 0;
}

/// Closes every descriptor from first on but keep; with system calls only, as a child before exec must.
void closeDescriptorsFrom(int first, int keep)
{
    if (::syscall(SYS_close_range, unsigned(first), unsigned(keep - 1), 0u) == 0
        && ::syscall(SYS_close_range, unsigned(keep + 1), ~0u, 0u) == 0)
        return;
    rlimit files{};
    const rlim_t last = ::getrlimit(RLIMIT_NOFILE, &files) == 0 && files.rlim_cur < 65536 ? files.rlim_cur : 65536;
    for (int fd = first; rlim_t(fd) < last; ++fd) {
        if (fd != keep)
            ::close(fd);
    }
}

/**
 * The child's side, between clone3() and exec: only system calls, as after a fork of a
 * threaded process. Tells the parent why it failed through report, closed on exec.
 */
[[noreturn]] void becomeProgram(const char* path, char* const* argv, char* const* envp, const int (&streams)[3],
                                int report)
{
    ::setpgid(0, 0);
    struct sigaction standard{};
    standard.sa_handler = SIG_DFL;
    for (int signalNumber = 1; signalNumber < NSIG; ++signalNumber)
        ::sigaction(signalNumber, &standard, nullptr);
    sigset_t none;
    ::sigemptyset(&none);
    ::sigprocmask(SIG_SETMASK, &none, nullptr);
    for (int stream = 0; stream < 3; ++stream) {
        if (::dup2(streams[stream], stream) < 0) {
            const int error = errno;
            (void)!::write(report, &error, sizeof(error));
            ::_exit(127);
        }
    }
    closeDescriptorsFrom(STDERR_FILENO + 1, report);
    ::execve(path, argv, envp);
    const int error = errno;
    (void)!::write(report, &error, sizeof(error));
    ::_exit(127);
}

/// The third field after the name in /proc/<pid>/stat: state, parent, group.
bool runsInGroup(const QString& pid, pid_t group)
{
    QFile stat(QStringLiteral("/proc/%1/stat").arg(pid));
    if (!stat.open(QIODevice::ReadOnly))
        return false;
    const QByteArray text = stat.read(512);
    const QList<QByteArray> fields = text.mid(text.lastIndexOf(')') + 2).split(' ');
    if (fields.size() < 3 || fields.at(2).toLongLong() != group)
        return false;
    return fields.at(0) != "Z" && fields.at(0) != "X" && fields.at(0) != "x";
}

bool groupRuns(pid_t group)
{
    if (::kill(-group, 0) != 0 && errno == ESRCH)
        return false;
    const QStringList entries = QDir(QStringLiteral("/proc")).entryList(QDir::Dirs | QDir::NoDotAndDotDot);
    for (const QString& entry : entries) {
        if (entry.at(0).isDigit() && runsInGroup(entry, group))
            return true;
    }
    return false;
}

} // namespace

ChildProgram::~ChildProgram()
{
    if (!m_reaped) {
        killGroup();
        reap();
    }
    closeAll();
}

bool ChildProgram::start(const QString& program, const QStringList& arguments, const QByteArrayList& settings,
                         int* error)
{
    const QByteArray path = QFile::encodeName(program);
    std::vector<QByteArray> words{path};
    for (const QString& argument : arguments)
        words.push_back(argument.toLocal8Bit());
    std::vector<char*> argv;
    for (QByteArray& word : words)
        argv.push_back(word.data());
    argv.push_back(nullptr);
    // Made before the child exists: between clone3() and exec it may not allocate.
    QByteArrayList environment = settings;
    for (char** variable = environ; *variable; ++variable) {
        const QByteArray entry(*variable);
        const QByteArray name = entry.left(entry.indexOf('=') + 1);
        const bool replaced = std::any_of(settings.cbegin(), settings.cend(),
                                          [&name](const QByteArray& setting) { return setting.startsWith(name); });
        if (!replaced)
            environment.append(entry);
    }
    std::vector<char*> envp;
    for (QByteArray& entry : environment)
        envp.push_back(entry.data());
    envp.push_back(nullptr);

    // The standard input is a socket so that a write after the program closed it fails with
    // EPIPE (MSG_NOSIGNAL) rather than raising SIGPIPE in a host that does not ignore it.
    int input[2] = {-1, -1};
    int output[2] = {-1, -1};
    int messages[2] = {-1, -1};
    int report[2] = {-1, -1};
    auto fail = [&](int code) {
        *error = code;
        for (int* fd : {&input[0], &input[1], &output[0], &output[1], &messages[0], &messages[1], &report[0], &report[1]})
            closeDescriptor(fd);
        return false;
    };
    if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, input) != 0 || ::pipe2(output, O_CLOEXEC) != 0
        || ::pipe2(messages, O_CLOEXEC) != 0 || ::pipe2(report, O_CLOEXEC) != 0)
        return fail(errno);
    if (!aboveStandardStreams(&input[1]) || !aboveStandardStreams(&output[1]) || !aboveStandardStreams(&messages[1])
        || !aboveStandardStreams(&report[1]) || !makeNonBlocking(input[0]) || !makeNonBlocking(output[0])
        || !makeNonBlocking(messages[0]))
        return fail(errno);
    const int streams[3] = {input[1], output[1], messages[1]};

    // No handler of the host may run in the child before its signals are back at their defaults.
    sigset_t all;
    sigset_t previous;
    ::sigfillset(&all);
    ::pthread_sigmask(SIG_SETMASK, &all, &previous);
    int pidFd = -1;
    // Exec gives the child SIGCHLD as its exit signal whatever clone3() was told: a host that
    // ignores SIGCHLD has it reaped by the kernel, and reap() learns its end from the pidfd.
    CloneArguments clone;
    clone.flags = CLONE_PIDFD;
    clone.exitSignal = SIGCHLD;
    clone.pidfd = std::uint64_t(reinterpret_cast<std::uintptr_t>(&pidFd));
    const long pid = ::syscall(SYS_clone3, &clone, sizeof(clone));
    if (pid == 0)
        becomeProgram(path.constData(), argv.data(), envp.data(), streams, report[1]);
    const int cloneError = errno;
    ::pthread_sigmask(SIG_SETMASK, &previous, nullptr);
    if (pid < 0)
        return fail(cloneError);

    m_pid = pid_t(pid);
    m_pidFd = pidFd;
    m_reaped = false;
    for (int* fd : {&input[1], &output[1], &messages[1], &report[1]})
        closeDescriptor(fd);
    m_input = input[0];
    m_output = output[0];
    m_messages = messages[0];

    int execError = 0;
    ssize_t length = -1;
    do
        length = ::read(report[0], &execError, sizeof(execError));
    while (length < 0 && errno == EINTR);
    closeDescriptor(&report[0]);
    if (length <= 0)
        return true;
    reap();
    closeAll();
    m_pid = -1;
    *error = execError;
    return false;
}

void ChildProgram::closeInput()
{
    closeDescriptor(&m_input);
}

void ChildProgram::closeOutput()
{
    closeDescriptor(&m_output);
}

void ChildProgram::closeMessages()
{
    closeDescriptor(&m_messages);
}

void ChildProgram::killGroup()
{
    // Until it is reaped the program holds its group's id, and so does any process left in the
    // group after it: the signal cannot reach a stranger's group. (Where the host reaps it
    // first, an empty group's id could in principle be taken again within the moment.)
    if (!m_reaped)
        ::kill(-m_pid, SIGKILL);
}

ChildProgram::Exit ChildProgram::reap()
{
    Exit exit;
    if (m_reaped)
        return exit;
    siginfo_t info{};
    int result = -1;
    do
        result = ::waitid(byPidFd, id_t(m_pidFd), &info, WEXITED | __WALL);
    while (result != 0 && errno == EINTR);
    m_reaped = true;
    if (result == 0) {
        exit.signalled = info.si_code != CLD_EXITED;
        exit.code = info.si_status;
        return exit;
    }
    int status = 0;
    if (!exitRecordedWith(m_pidFd, &status)) {
        exit.known = false;
        return exit;
    }
    exit.signalled = WIFSIGNALED(status);
    exit.code = exit.signalled ? WTERMSIG(status) : WEXITSTATUS(status);
    return exit;
}

void ChildProgram::waitForGroup(const QDeadlineTimer& deadline) const
{
    while (m_pid > 0 && groupRuns(m_pid) && !deadline.hasExpired())
        QThread::msleep(5);
}

void ChildProgram::closeAll()
{
    closeInput();
    closeOutput();
    closeMessages();
    closeDescriptor(&m_pidFd);
}
