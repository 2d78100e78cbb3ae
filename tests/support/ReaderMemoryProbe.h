#pragma once

// Runs one reader of outside text in a child process under a memory limit and a time limit,
// and tells how much memory it took. Shared by the readers' memory test and their benchmark:
// a reader that runs away must never reach the machine's memory, so nothing here runs a
// reader in the calling process.

#include <QString>
#include <QtGlobal>

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <exception>
#include <functional>
#include <new>

#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

namespace ReaderMemoryProbe {

struct Result
{
    enum Outcome {
        Finished,    ///< the reader returned (it may have refused the text: that is its business)
        Threw,       ///< an exception left the reader; detail holds its what()
        OutOfMemory, ///< an allocation failed at the limit, whether or not the reader caught it
        Crashed,     ///< the child died of a signal or sent no report
        TimedOut,
        NotRun,      ///< the child could not be started or limited
    };
    Outcome outcome = NotRun;
    /// Growth of the child's resident memory at its peak while the reader ran.
    qint64 peakBytes = 0;
    QString detail;

    bool isClean() const { return outcome == Finished; }
    QString outcomeText() const
    {
        static const char* const names[] = {"finished", "threw", "out of memory", "crashed", "timed out", "not run"};
        return QString::fromLatin1(names[outcome]) + (detail.isEmpty() ? QString() : QStringLiteral(" ") + detail);
    }
};

namespace Detail {

inline qint64 statusKilobytes(const char* field)
{
    FILE* status = std::fopen("/proc/self/status", "r");
    if (!status)
        return -1;
    char line[256];
    qint64 value = -1;
    const size_t length = std::strlen(field);
    while (value < 0 && std::fgets(line, sizeof line, status)) {
        if (std::strncmp(line, field, length) == 0)
            value = std::atoll(line + length);
    }
    std::fclose(status);
    return value;
}

// What the child reports through its pipe.
struct Report
{
    int outcome = Result::NotRun;
    qint64 peakBytes = 0;
    char detail[160] = {};
};

inline volatile sig_atomic_t allocationFailed = 0;

inline void onAllocationFailure()
{
    allocationFailed = 1;
    throw std::bad_alloc();
}

inline void quietMessages(QtMsgType, const QMessageLogContext&, const QString&) {}

[[noreturn]] inline void runChild(int pipeOut, const std::function<void()>& work, qint64 limitBytes,
                                  int timeoutSeconds)
{
    qInstallMessageHandler(quietMessages);
    Report report;
    const qint64 virtualKb = statusKilobytes("VmSize:");
    const rlim_t limit = rlim_t(virtualKb * 1024 + limitBytes);
    const struct rlimit addressSpace = {limit, limit};
    if (virtualKb < 0 || setrlimit(RLIMIT_AS, &addressSpace) != 0) {
        std::snprintf(report.detail, sizeof report.detail, "no memory limit");
        (void)!write(pipeOut, &report, sizeof report);
        _exit(1);
    }
    // SIGALRM's default action ends the child, wherever it is.
    alarm(unsigned(timeoutSeconds));
    // The peak starts again from what the child holds now.
    if (FILE* clear = std::fopen("/proc/self/clear_refs", "w")) {
        std::fputs("5", clear);
        std::fclose(clear);
    }
    const qint64 before = statusKilobytes("VmRSS:");
    std::set_new_handler(onAllocationFailure);
    report.outcome = Result::Finished;
    try {
        work();
    } catch (const std::exception& error) {
        report.outcome = Result::Threw;
        std::snprintf(report.detail, sizeof report.detail, "%s", error.what());
    } catch (...) {
        report.outcome = Result::Threw;
        std::snprintf(report.detail, sizeof report.detail, "unknown exception");
    }
    std::set_new_handler(nullptr);
    if (allocationFailed)
        report.outcome = Result::OutOfMemory;
    report.peakBytes = (statusKilobytes("VmHWM:") - before) * 1024;
    (void)!write(pipeOut, &report, sizeof report);
    // No destructor or exit handler of the parent's objects runs in the child.
    _exit(0);
}

} // namespace Detail

/**
 * Runs work in a forked child whose address space may grow by at most limitBytes, for at most
 * timeoutSeconds. The calling process should have no other threads busy: only the calling
 * thread lives on in the child.
 */
inline Result run(const std::function<void()>& work, qint64 limitBytes, int timeoutSeconds)
{
    Result result;
    int channel[2];
    if (pipe(channel) != 0) {
        result.detail = QStringLiteral("no pipe");
        return result;
    }
    std::fflush(nullptr);
    const pid_t child = fork();
    if (child == 0) {
        ::close(channel[0]);
        Detail::runChild(channel[1], work, limitBytes, timeoutSeconds);
    }
    ::close(channel[1]);
    if (child < 0) {
        ::close(channel[0]);
        result.detail = QStringLiteral("no fork");
        return result;
    }
    // The report is far smaller than a pipe's buffer: the child never waits for this read.
    int status = 0;
    while (waitpid(child, &status, 0) < 0 && errno == EINTR) {
    }
    Detail::Report report;
    const ssize_t got = read(channel[0], &report, sizeof report);
    ::close(channel[0]);

    if (WIFSIGNALED(status)) {
        result.outcome = WTERMSIG(status) == SIGALRM ? Result::TimedOut : Result::Crashed;
        result.detail = QString::fromLatin1(strsignal(WTERMSIG(status)));
    } else if (got != ssize_t(sizeof report)) {
        result.outcome = Result::Crashed;
        result.detail = QStringLiteral("no report, exit code %1").arg(WEXITSTATUS(status));
    } else {
        result.outcome = Result::Outcome(report.outcome);
        result.peakBytes = report.peakBytes;
        result.detail = QString::fromUtf8(report.detail);
    }
    return result;
}

} // namespace ReaderMemoryProbe
