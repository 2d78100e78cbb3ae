#include "LayoutProcess.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>

#include <dlfcn.h>
#include <sys/resource.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <cstring>

namespace {

/// How often a running program's memory, the deadline and the caller are looked at.
constexpr int pollMs = 20;
/// How long the program may take to start.
constexpr int startMs = 10000;

/// Whether the program's messages say it ran out of memory: its own note, or Graphviz's.
bool tellsOutOfMemory(const QByteArray& messages)
{
    return messages.contains("out of memory") || messages.contains("memory allocation failure");
}

/// The largest address space the process has had so far, from the kernel's accounting; 0 when unknown.
qint64 peakAddressSpace(qint64 pid)
{
    QFile status(QStringLiteral("/proc/%1/status").arg(pid));
    if (!status.open(QIODevice::ReadOnly))
        return 0;
    const QByteArray text = status.readAll();
    const int start = text.indexOf("VmPeak:");
    if (start < 0)
        return 0;
    const int end = text.indexOf('\n', start);
    const QByteArray kilobytes = text.mid(start + 7, end - start - 7).trimmed().split(' ').value(0);
    return kilobytes.toLongLong() * 1024;
}

bool limitAddressSpace(qint64 pid, qint64 bytes, QString* error)
{
    const rlimit limit{rlim_t(bytes), rlim_t(bytes)};
    if (::prlimit(pid_t(pid), RLIMIT_AS, &limit, nullptr) == 0)
        return true;
    *error = QStringLiteral("its memory cannot be limited: %1").arg(QString::fromLocal8Bit(std::strerror(errno)));
    return false;
}

void stop(QProcess& process)
{
    process.kill();
    process.waitForFinished(-1);
}

/// How a program that ended by itself ended.
LayoutProcess::Outcome ending(QProcess& process, qint64 peak, const LayoutProcess::Limits& limits)
{
    LayoutProcess::Outcome outcome;
    outcome.output = process.readAllStandardOutput();
    outcome.messages = process.readAllStandardError();
    outcome.code = process.exitCode();
    // Graphviz mostly dies of a null pointer past the limit: a death near it counts as the limit's.
    const bool nearLimit = peak >= limits.memoryBytes / 4 * 3;
    if (tellsOutOfMemory(outcome.messages))
        outcome.end = LayoutProcess::End::OutOfMemory;
    else if (process.exitStatus() == QProcess::NormalExit)
        outcome.end = outcome.code == 0 || outcome.code == 1 ? LayoutProcess::End::Answered : LayoutProcess::End::Exited;
    else if (nearLimit)
        outcome.end = LayoutProcess::End::OutOfMemory;
    else
        outcome.end = outcome.code == SIGKILL ? LayoutProcess::End::Killed : LayoutProcess::End::Crashed;
    return outcome;
}

} // namespace

QString LayoutProcess::installedProgram()
{
    Dl_info library{};
    if (::dladdr(reinterpret_cast<void*>(&LayoutProcess::installedProgram), &library) == 0 || !library.dli_fname)
        return QStringLiteral("dozerozozu-layout");
    const QFileInfo file(QFile::decodeName(library.dli_fname));
    return QDir(file.absolutePath()).filePath(QStringLiteral("DozeRozOZU/dozerozozu-layout"));
}

LayoutProcess::Outcome LayoutProcess::run(const QString& program, const QByteArray& input, const Limits& limits)
{
    Outcome outcome;
    QProcess process;
    process.setProgram(program);
    process.setArguments({QStringLiteral("--parent"), QString::number(::getpid())});
    process.start();
    if (!process.waitForStarted(startMs)) {
        outcome.error = process.errorString();
        stop(process);
        return outcome;
    }
    // The program reads its whole job before it allocates for the graph: the limit is in
    // place before it matters.
    const qint64 pid = process.processId();
    if (!limitAddressSpace(pid, limits.memoryBytes, &outcome.error)) {
        stop(process);
        return outcome;
    }
    process.write(input);
    process.closeWriteChannel();

    qint64 peak = 0;
    while (process.state() != QProcess::NotRunning) {
        const qint64 wait = limits.deadline.isForever() ? pollMs : std::clamp<qint64>(limits.deadline.remainingTime(), 0, pollMs);
        if (process.waitForFinished(int(wait)))
            break;
        if (process.state() == QProcess::NotRunning)
            break;
        peak = std::max(peak, peakAddressSpace(pid));
        const bool abandoned = limits.isAbandoned && limits.isAbandoned();
        if (abandoned || limits.deadline.hasExpired()) {
            stop(process);
            outcome.end = abandoned ? End::Abandoned : End::TimedOut;
            outcome.messages = process.readAllStandardError();
            return outcome;
        }
    }
    return ending(process, peak, limits);
}
