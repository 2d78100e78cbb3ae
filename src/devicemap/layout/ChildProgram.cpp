#include "ChildProgram.h"

#include <QDir>
#include <QFile>
#include <QThread>

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <cstdint>
#include <vector>

#include <fcntl.h>
#include <poll.h>
#include <spawn.h>
#include <sys/ioctl.h>
#include <sys/socket.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace {

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

/*
 * The child is made by the C library's posix_spawn(), as vfork() makes it: it shares this
 * process's memory until it runs the program, so that a start costs the same whatever the host
 * holds (a fork would copy the host's page tables and leave it a copy-on-write fault on each
 * page it writes next), and glibc falls back from clone3() to clone() where clone3() is refused
 * (container seccomp profiles, valgrind, kernels before 5.3). Between the start and exec only
 * the C library's own code runs, with the calling thread waiting and every signal blocked: no
 * code of ours that a sanitizer instruments or wraps runs there on memory shared with the host.
 * Its pidfd comes afterwards (ChildProgram::takePidFd()), where clone() with CLONE_PIDFD would
 * give it at once but would run our own code in the host's memory before exec.
 */
int spawn(pid_t* pid, const char* path, char* const* argv, char* const* envp, const int (&streams)[3])
{
    posix_spawnattr_t attributes;
    posix_spawn_file_actions_t actions;
    int error = ::posix_spawnattr_init(&attributes);
    if (error != 0)
        return error;
    error = ::posix_spawn_file_actions_init(&actions);
    if (error != 0) {
        ::posix_spawnattr_destroy(&attributes);
        return error;
    }
    // A group of its own, every signal at its default (none of the host's handlers or ignored
    // signals) and none blocked, the three streams and no other descriptor, whatever close-on-exec says.
    sigset_t all;
    sigset_t none;
    ::sigfillset(&all);
    ::sigemptyset(&none);
    const short flags = POSIX_SPAWN_SETPGROUP | POSIX_SPAWN_SETSIGDEF | POSIX_SPAWN_SETSIGMASK;
    error = ::posix_spawnattr_setflags(&attributes, flags);
    if (error == 0)
        error = ::posix_spawnattr_setpgroup(&attributes, 0);
    if (error == 0)
        error = ::posix_spawnattr_setsigdefault(&attributes, &all);
    if (error == 0)
        error = ::posix_spawnattr_setsigmask(&attributes, &none);
    for (int stream = 0; stream < 3 && error == 0; ++stream)
        error = ::posix_spawn_file_actions_adddup2(&actions, streams[stream], stream);
    if (error == 0)
        error = ::posix_spawn_file_actions_addclosefrom_np(&actions, STDERR_FILENO + 1);
    // The C library reports a failed exec as the failure, having taken the child's status.
    if (error == 0)
        error = ::posix_spawn(pid, path, &actions, &attributes, argv, envp);
    ::posix_spawn_file_actions_destroy(&actions);
    ::posix_spawnattr_destroy(&attributes);
    return error;
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
                         Step* failed, int* error)
{
    const QByteArray path = QFile::encodeName(program);
    std::vector<QByteArray> words{path};
    for (const QString& argument : arguments)
        words.push_back(argument.toLocal8Bit());
    std::vector<char*> argv;
    for (QByteArray& word : words)
        argv.push_back(word.data());
    argv.push_back(nullptr);
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
    auto fail = [&](Step step, int code) {
        *failed = step;
        *error = code;
        for (int* fd : {&input[0], &input[1], &output[0], &output[1], &messages[0], &messages[1]})
            closeDescriptor(fd);
        return false;
    };
    if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, input) != 0 || ::pipe2(output, O_CLOEXEC) != 0
        || ::pipe2(messages, O_CLOEXEC) != 0)
        return fail(Step::Pipes, errno);
    if (!aboveStandardStreams(&input[1]) || !aboveStandardStreams(&output[1]) || !aboveStandardStreams(&messages[1])
        || !makeNonBlocking(input[0]) || !makeNonBlocking(output[0]) || !makeNonBlocking(messages[0]))
        return fail(Step::Pipes, errno);
    const int streams[3] = {input[1], output[1], messages[1]};

    pid_t pid = -1;
    const int spawnError = spawn(&pid, path.constData(), argv.data(), envp.data(), streams);
    if (spawnError != 0)
        return fail(Step::Process, spawnError);

    m_pid = pid;
    m_reaped = false;
    for (int* fd : {&input[1], &output[1], &messages[1]})
        closeDescriptor(fd);
    m_input = input[0];
    m_output = output[0];
    m_messages = messages[0];
    takePidFd();
    return true;
}

void ChildProgram::takePidFd()
{
    const long pidFd = ::syscall(SYS_pidfd_open, m_pid, 0u);
    if (pidFd < 0)
        return;
    // The program waits for its job before it ends, so its id is still its own. Should it have
    // died at once and been reaped by the kernel (a host ignoring SIGCHLD) or the host, the id
    // may name another process by now: the pidfd is kept only while the program is still this
    // process's child, running or not yet reaped.
    siginfo_t info{};
    if (::waitid(P_PID, id_t(m_pid), &info, WEXITED | WNOHANG | WNOWAIT | __WALL) != 0 && errno == ECHILD) {
        ::close(int(pidFd));
        return;
    }
    m_pidFd = int(pidFd);
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

bool ChildProgram::hasEnded() const
{
    if (m_reaped)
        return true;
    if (m_pidFd >= 0) {
        pollfd end{m_pidFd, POLLIN, 0};
        return ::poll(&end, 1, 0) == 1;
    }
    siginfo_t info{};
    if (::waitid(P_PID, id_t(m_pid), &info, WEXITED | WNOHANG | WNOWAIT | __WALL) != 0)
        return errno == ECHILD;
    return info.si_pid == m_pid;
}

ChildProgram::Exit ChildProgram::reap()
{
    Exit exit;
    if (m_reaped)
        return exit;
    siginfo_t info{};
    int result = -1;
    do {
        result = m_pidFd >= 0 ? ::waitid(byPidFd, id_t(m_pidFd), &info, WEXITED | __WALL)
                              : ::waitid(P_PID, id_t(m_pid), &info, WEXITED | __WALL);
    } while (result != 0 && errno == EINTR);
    m_reaped = true;
    if (result == 0) {
        exit.signalled = info.si_code != CLD_EXITED;
        exit.code = info.si_status;
        return exit;
    }
    int status = 0;
    if (m_pidFd < 0 || !exitRecordedWith(m_pidFd, &status)) {
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
