#pragma once

#include "dozerozozu_export.h"

#include <QByteArray>
#include <QDeadlineTimer>
#include <QString>

#include <functional>

/**
 * One run of the layout program (dozerozozu-layout, installed with the library) in a
 * process of its own: the caller's text goes to its standard input, its standard output
 * and error come back. Graphviz can crash, run without end or take all the memory on some
 * graphs, and it cannot be interrupted; in a process of its own it costs only its run:
 * - its address space is limited: the program takes the lower of the caller's limit and the
 *   one this process runs under before it reads its job (a process may always lower its own
 *   limits, whatever the host's hard limit); its resident memory is watched too, for a build
 *   the address space cannot bound (sanitizers). A run that dies near its limit counts as out
 *   of memory;
 * - its standard output is bounded by what its job can answer (Limits::outputBytes), checked
 *   before the answer grows, its standard error keeps its first lines and counts the rest;
 *   passing a bound kills it;
 * - it runs in a process group of its own, killed as a whole at the deadline, as soon as the
 *   caller abandons it, at a bound, and once it has ended by itself, so that no process it
 *   started outlives it; the run returns only once they are gone;
 * - it starts without a copy of the host (as posix_spawn() starts a program), wherever the
 *   host may start one, inherits none of the host's descriptors but its three streams, and
 *   its end is known whatever the host does with SIGCHLD (ChildProgram);
 * - it ends itself when the thread that started it goes away.
 *
 * A plain class without an event loop: run() blocks the calling thread, any thread. Where
 * this process's own memory runs out while it gathers the answer, run() throws std::bad_alloc,
 * the program and its group gone by then.
 * Internal to the automatic layout (exported for its tests).
 */
class DOZEROZOZU_EXPORT LayoutProcess
{
public:
    enum class End {
        /// The program ended by itself with exit status 0 or 1: the output holds its answer.
        Answered,
        /// It ended by itself with another status (the job was not understood, say).
        Exited,
        /// A signal of its own making ended it (SIGSEGV, SIGABRT, …).
        Crashed,
        /// SIGKILL ended it, not sent by this run: the system's memory killer, or someone else.
        Killed,
        /// SIGTERM, SIGINT or SIGHUP ended it: someone else stopped it.
        Stopped,
        /// It died on reaching its memory limit.
        OutOfMemory,
        /// The deadline passed; it was killed.
        TimedOut,
        /// The caller abandoned it; it was killed.
        Abandoned,
        /// It wrote more than its bound on standard output or error; it was killed.
        OutputBound,
        /// It could not be started, or not limited, and did not run.
        NotStarted,
    };

    /// The step of a start that failed.
    enum class StartStep {
        /// Making the pipes to the program's standard streams.
        Pipes,
        /// Making its process and running the program in it.
        Process,
    };

    struct Limits
    {
        /// When the run is killed, TimedOut.
        QDeadlineTimer deadline{QDeadlineTimer::Forever};
        /// The program's address space, in bytes.
        qint64 memoryBytes = defaultMemoryBytes;
        /// Asked while the program runs: true kills it, Abandoned.
        std::function<bool()> isAbandoned;
        /// The most the program may write on standard output.
        qint64 outputBytes = defaultOutputBytes;
    };

    struct Outcome
    {
        End end = End::NotStarted;
        /// The exit status for Answered and Exited, the signal for Crashed, Killed, Stopped and
        /// OutOfMemory, the stream whose bound was passed for OutputBound (1 output, 2 error).
        int code = 0;
        QByteArray output;
        /// The first lines of its standard error (messageLines at most), each ending in a newline.
        QByteArray messages;
        /// How many more lines it wrote on standard error.
        qint64 moreMessageLines = 0;
        /// The first line of standard error that starts with "Error:", Graphviz's mark of an
        /// error, wherever it came; empty for none.
        QByteArray errorMessage;
        /// The step that failed and its errno, for NotStarted.
        StartStep startStep = StartStep::Process;
        int startError = 0;
        /// The address space the program ran under, in bytes (the lower of the caller's and
        /// this process's limit); 0 for none.
        qint64 memoryBytes = 0;
    };

    /// Address space a layout may take: Graphviz needs about 3 KB per node of its drawing.
    static constexpr qint64 defaultMemoryBytes = qint64(2048) << 20;

    /// The most a program may write on standard error.
    static constexpr qint64 messageBytes = qint64(16) << 20;
    /// How many of those lines an Outcome keeps.
    static constexpr int messageLines = 20;
    /// The most a program may answer unless its caller says less.
    static constexpr qint64 defaultOutputBytes = qint64(256) << 20;

    /**
     * Where the layout program lies: in the folder "DozeRozOZU" beside the library's own file,
     * its links resolved, or else beside the path the library was loaded by. The first of the
     * two where no program is found.
     */
    static QString installedProgram();

    /// The address space a program given bytes runs under: bytes, or this process's own limit where lower.
    static qint64 memoryBound(qint64 bytes);

    /// Runs program with input on its standard input, within limits.
    static Outcome run(const QString& program, const QByteArray& input, const Limits& limits);
};
