#include "LayoutProcess.h"

#include "ChildProgram.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QStringList>

#include <dlfcn.h>
#include <poll.h>
#include <sys/resource.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <cstring>
#include <limits>
#include <new>

namespace {

/// How often the deadline and the caller are looked at while the program is silent.
constexpr int pollMs = 20;
/// How often the end of a program known by its process id alone is looked for once its streams are closed.
constexpr int endLookMs = 1;
/// How often the program's memory is looked at.
constexpr int memoryWatchMs = 50;
/// How long a group may take to go once killed, and a pipe to close once the program ended.
constexpr int endingMs = 2000;
/// The most a line of standard error keeps.
constexpr int lineBytes = 512;
constexpr int chunkBytes = 65536;

/// Standard error as it comes: the first lines kept, the rest counted, its marks noted.
class MessageLog
{
public:
    void add(const char* data, qint64 size)
    {
        bytes += size;
        const char* end = data + size;
        while (data < end) {
            const char* newline = static_cast<const char*>(std::memchr(data, '\n', size_t(end - data)));
            const char* lineEnd = newline ? newline : end;
            if (line.size() < lineBytes)
                line.append(data, int(std::min<qint64>(lineEnd - data, lineBytes - line.size())));
            if (!newline)
                break;
            completeLine();
            data = newline + 1;
        }
    }

    void finish()
    {
        completeLine();
    }

    qint64 bytes = 0;
    QByteArray firstLines;
    qint64 moreLines = 0;
    int keptLines = 0;
    QByteArray errorMessage;
    bool outOfMemory = false;

private:
    void completeLine()
    {
        const QByteArray text = line.trimmed();
        line.clear();
        if (text.isEmpty())
            return;
        // The program's own note, or Graphviz's.
        outOfMemory = outOfMemory || text.contains("out of memory") || text.contains("memory allocation failure");
        if (errorMessage.isEmpty() && text.startsWith("Error:"))
            errorMessage = text;
        if (keptLines < LayoutProcess::messageLines) {
            firstLines += text + '\n';
            ++keptLines;
        } else {
            ++moreLines;
        }
    }

    QByteArray line;
};

/// The largest address space the process has had so far and its largest resident size, from
/// the kernel's accounting; 0 when unknown.
struct MemoryUse
{
    qint64 peak = 0;
    qint64 resident = 0;
};

qint64 kilobytesOf(const QByteArray& text, const char* key)
{
    const int start = text.indexOf(key);
    if (start < 0)
        return 0;
    const int valueStart = start + int(qstrlen(key));
    const int end = text.indexOf('\n', valueStart);
    return text.mid(valueStart, end - valueStart).trimmed().split(' ').value(0).toLongLong() * 1024;
}

MemoryUse memoryUseOf(pid_t pid)
{
    QFile status(QStringLiteral("/proc/%1/status").arg(pid));
    if (!status.open(QIODevice::ReadOnly))
        return {};
    const QByteArray text = status.readAll();
    return {kilobytesOf(text, "VmPeak:"), kilobytesOf(text, "VmHWM:")};
}

/// Reads what fd has into chunk: its length, 0 at the end of the stream (or a failure), -1 for nothing yet.
qint64 readSome(int fd, char (&chunk)[chunkBytes])
{
    for (;;) {
        const ssize_t length = ::read(fd, chunk, sizeof(chunk));
        if (length >= 0)
            return length;
        if (errno == EAGAIN)
            return -1;
        if (errno != EINTR)
            return 0;
    }
}

/// The watch over one run: feeds its job, gathers its streams, ends it at a bound.
class Run
{
public:
    Run(ChildProgram& child, const QByteArray& input, const LayoutProcess::Limits& limits, qint64 memoryBytes)
        : child(child)
        , input(input)
        , limits(limits)
        , memoryBytes(memoryBytes)
    {
        sinceWatch.start();
    }

    /// Watches the program until it has ended by itself and its streams are closed, or a bound ends it.
    void watch()
    {
        while (!ended) {
            pollfd fds[4];
            int count = 0;
            auto add = [&](int fd, short events) {
                if (fd >= 0)
                    fds[count++] = {fd, events, 0};
            };
            add(child.inputFd(), POLLOUT);
            add(child.outputFd(), POLLIN);
            add(child.messagesFd(), POLLIN);
            if (!exited)
                add(child.pidFd(), POLLIN);
            if (count == 0 && exited)
                return;
            const int ready = ::poll(fds, nfds_t(count), waitMs(count));
            if (ready < 0 && errno != EINTR)
                return;
            for (int i = 0; i < count && ready > 0 && !ended; ++i) {
                if (fds[i].revents != 0)
                    serve(fds[i].fd);
            }
            if (!ended)
                lookAround();
        }
    }

    LayoutProcess::End end = LayoutProcess::End::Answered;
    bool ended = false;
    bool exited = false;
    int boundCode = 0;
    QByteArray output;
    MessageLog messages;
    qint64 peak = 0;

private:
    /// How long to wait for the program's next word, with count streams or its pidfd open.
    int waitMs(int count) const
    {
        // Without a pidfd the program's end is looked for: it comes a moment after its streams close.
        const int most = count == 0 ? endLookMs : pollMs;
        const QDeadlineTimer& until = exited ? draining : limits.deadline;
        if (until.isForever())
            return most;
        return int(std::clamp<qint64>(until.remainingTime(), 0, most));
    }

    void serve(int fd)
    {
        if (fd == child.inputFd()) {
            feed();
        } else if (fd == child.outputFd()) {
            takeAnswer();
        } else if (fd == child.messagesFd()) {
            char chunk[chunkBytes];
            const qint64 length = readSome(fd, chunk);
            if (length == 0)
                child.closeMessages();
            if (length > 0)
                messages.add(chunk, length);
            if (messages.bytes > LayoutProcess::messageBytes)
                stop(LayoutProcess::End::OutputBound, 2);
        } else if (fd == child.pidFd()) {
            noteEnd();
        }
    }

    /**
     * Takes what the program answers, its bound checked before the answer grows: an answer that
     * would pass it ends the run. The answer's room grows by doubling, as a QByteArray's does,
     * but never past the bound, so that an answer within it takes no more memory than that.
     */
    void takeAnswer()
    {
        char chunk[chunkBytes];
        const qint64 length = readSome(child.outputFd(), chunk);
        if (length == 0)
            child.closeOutput();
        if (length <= 0)
            return;
        const qint64 bound = std::min<qint64>(limits.outputBytes, std::numeric_limits<int>::max() - chunkBytes);
        if (length > bound - output.size()) {
            stop(LayoutProcess::End::OutputBound, 1);
            return;
        }
        const qint64 needed = output.size() + length;
        if (needed > output.capacity())
            output.reserve(int(std::min(std::max<qint64>(2 * qint64(output.capacity()), needed), bound)));
        output.append(chunk, int(length));
    }

    void noteEnd()
    {
        // Whatever it started goes with it, and so do the pipes such a process may hold.
        exited = true;
        child.killGroup();
        draining = QDeadlineTimer(endingMs);
    }

    void feed()
    {
        const qint64 left = input.size() - written;
        const ssize_t sent = left > 0 ? ::send(child.inputFd(), input.constData() + written,
                                               size_t(std::min<qint64>(left, chunkBytes)), MSG_NOSIGNAL)
                                      : 0;
        if (sent > 0)
            written += sent;
        // A program that closed its input has read all it wanted.
        if (written >= input.size() || (sent < 0 && errno != EAGAIN && errno != EINTR))
            child.closeInput();
    }

    /// The deadline, the caller and the memory, between the program's words.
    void lookAround()
    {
        if (!exited && child.pidFd() < 0 && child.hasEnded())
            noteEnd();
        if (limits.isAbandoned && limits.isAbandoned()) {
            stop(LayoutProcess::End::Abandoned, 0);
        } else if (exited) {
            // A process that left the group may hold a pipe: its end is not waited for.
            if (draining.hasExpired())
                ended = true;
        } else if (limits.deadline.hasExpired()) {
            stop(LayoutProcess::End::TimedOut, 0);
        } else if (sinceWatch.elapsed() >= memoryWatchMs) {
            sinceWatch.restart();
            watchMemory();
        }
    }

    void watchMemory()
    {
        const MemoryUse use = memoryUseOf(child.pid());
        // An address space past the limit says the program is not bounded by it (sanitizers
        // reserve terabytes): its resident size stands for it then, and is held to the limit.
        const bool bounded = memoryBytes <= 0 || use.peak <= memoryBytes;
        peak = std::max(peak, bounded ? use.peak : use.resident);
        if (memoryBytes > 0 && use.resident > memoryBytes)
            stop(LayoutProcess::End::OutOfMemory, SIGKILL);
    }

    void stop(LayoutProcess::End why, int code)
    {
        if (!exited)
            child.killGroup();
        end = why;
        boundCode = code;
        ended = true;
    }

    ChildProgram& child;
    const QByteArray& input;
    const LayoutProcess::Limits& limits;
    const qint64 memoryBytes;
    qint64 written = 0;
    QElapsedTimer sinceWatch;
    QDeadlineTimer draining;
};

/// How a program that ended by itself ended.
LayoutProcess::End endingOf(const ChildProgram::Exit& exit, const Run& run, qint64 memoryBytes)
{
    // Graphviz mostly dies of a null pointer past the limit: a death near it counts as the limit's.
    const bool nearLimit = memoryBytes > 0 && run.peak >= memoryBytes / 4 * 3;
    if (run.messages.outOfMemory)
        return LayoutProcess::End::OutOfMemory;
    // A status the host took first: the answer is judged by itself.
    if (!exit.known)
        return LayoutProcess::End::Answered;
    if (!exit.signalled)
        return exit.code == 0 || exit.code == 1 ? LayoutProcess::End::Answered : LayoutProcess::End::Exited;
    if (nearLimit)
        return LayoutProcess::End::OutOfMemory;
    switch (exit.code) {
    case SIGKILL: return LayoutProcess::End::Killed;
    case SIGTERM:
    case SIGINT:
    case SIGHUP: return LayoutProcess::End::Stopped;
    default: return LayoutProcess::End::Crashed;
    }
}

QStringList candidatePrograms()
{
    Dl_info library{};
    if (::dladdr(reinterpret_cast<void*>(&LayoutProcess::installedProgram), &library) == 0 || !library.dli_fname)
        return {QStringLiteral("dozerozozu-layout")};
    const QFileInfo file(QFile::decodeName(library.dli_fname));
    const QString beside = QStringLiteral("DozeRozOZU/dozerozozu-layout");
    QStringList candidates;
    const QString real = file.canonicalFilePath();
    if (!real.isEmpty())
        candidates.append(QDir(QFileInfo(real).absolutePath()).filePath(beside));
    const QString loaded = QDir(file.absolutePath()).filePath(beside);
    if (!candidates.contains(loaded))
        candidates.append(loaded);
    return candidates;
}

} // namespace

QString LayoutProcess::installedProgram()
{
    static const QStringList candidates = candidatePrograms();
    for (const QString& candidate : candidates) {
        if (QFileInfo(candidate).isExecutable())
            return candidate;
    }
    return candidates.constFirst();
}

namespace {

/*
 * The program builds Graphviz's graph afresh in an empty heap: most of its system time goes to
 * faulting in that heap's pages, a fault per 4 KiB. glibc's malloc asks for transparent huge
 * pages where this is set (and the kernel offers them): a 1,000-device layout then takes about
 * half the system time, and a small one no more. The host's own tunables stay.
 */
QByteArray hugePageMalloc()
{
    const QByteArray hostTunables = qgetenv("GLIBC_TUNABLES");
    if (hostTunables.contains("glibc.malloc.hugetlb="))
        return "GLIBC_TUNABLES=" + hostTunables;
    return "GLIBC_TUNABLES=" + (hostTunables.isEmpty() ? QByteArray() : hostTunables + ':') + "glibc.malloc.hugetlb=1";
}

/// Closes the program's streams, takes its status and waits for its group to go.
ChildProgram::Exit endRun(ChildProgram& child)
{
    child.closeInput();
    child.closeOutput();
    child.closeMessages();
    const ChildProgram::Exit exit = child.reap();
    child.waitForGroup(QDeadlineTimer(endingMs));
    return exit;
}

} // namespace

qint64 LayoutProcess::memoryBound(qint64 bytes)
{
    rlimit own{};
    const qint64 inherited = ::getrlimit(RLIMIT_AS, &own) == 0 && own.rlim_cur != RLIM_INFINITY
                                 ? qint64(std::min<rlim_t>(own.rlim_cur, rlim_t(std::numeric_limits<qint64>::max())))
                                 : 0;
    if (bytes <= 0)
        return inherited;
    return inherited > 0 ? std::min(bytes, inherited) : bytes;
}

LayoutProcess::Outcome LayoutProcess::run(const QString& program, const QByteArray& input, const Limits& limits)
{
    Outcome outcome;
    outcome.memoryBytes = memoryBound(limits.memoryBytes);
    ChildProgram child;
    const QStringList arguments{QStringLiteral("--parent"), QString::number(::getpid()),
                                QStringLiteral("--memory-limit"), QString::number(std::max<qint64>(0, limits.memoryBytes))};
    ChildProgram::Step failed = ChildProgram::Step::Process;
    if (!child.start(program, arguments, {hugePageMalloc()}, &failed, &outcome.startError)) {
        outcome.end = End::NotStarted;
        outcome.startStep = failed == ChildProgram::Step::Pipes ? StartStep::Pipes : StartStep::Process;
        return outcome;
    }

    Run run(child, input, limits, outcome.memoryBytes);
    try {
        run.watch();
    } catch (const std::bad_alloc&) {
        // This process's memory ran out, not the program's: it goes all the same before the caller hears of it.
        child.killGroup();
        endRun(child);
        throw;
    }
    if (!run.ended && !run.exited)
        child.killGroup();
    const ChildProgram::Exit exit = endRun(child);

    run.messages.finish();
    outcome.messages = run.messages.firstLines;
    outcome.moreMessageLines = run.messages.moreLines;
    outcome.errorMessage = run.messages.errorMessage;
    if (run.ended && run.end != End::Answered) {
        outcome.end = run.end;
        outcome.code = run.boundCode;
        return outcome;
    }
    outcome.end = endingOf(exit, run, outcome.memoryBytes);
    outcome.code = exit.code;
    outcome.output = std::move(run.output);
    return outcome;
}
