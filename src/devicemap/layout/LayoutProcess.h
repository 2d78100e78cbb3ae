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
 * - its address space is limited (the kernel refuses it more), and a run that dies near
 *   its limit counts as out of memory;
 * - it is killed at the deadline, or as soon as the caller abandons it, and the run
 *   returns only once it is gone, so nothing of it is left running;
 * - it ends itself when the thread that started it goes away.
 *
 * A plain class without an event loop: run() blocks the calling thread, any thread.
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
        /// A signal other than SIGKILL ended it.
        Crashed,
        /// SIGKILL ended it, not sent by this run: the system's memory killer, or someone else.
        Killed,
        /// It died on reaching its memory limit.
        OutOfMemory,
        /// The deadline passed; it was killed.
        TimedOut,
        /// The caller abandoned it; it was killed.
        Abandoned,
        /// It could not be started, or not limited, and did not run.
        NotStarted,
    };

    struct Limits
    {
        /// When the run is killed, TimedOut.
        QDeadlineTimer deadline{QDeadlineTimer::Forever};
        /// The program's address space, in bytes.
        qint64 memoryBytes = defaultMemoryBytes;
        /// Asked while the program runs: true kills it, Abandoned.
        std::function<bool()> isAbandoned;
    };

    struct Outcome
    {
        End end = End::NotStarted;
        /// The exit status for Answered and Exited, the signal for Crashed, Killed and OutOfMemory.
        int code = 0;
        QByteArray output;
        QByteArray messages;
        /// Why it did not start, for NotStarted.
        QString error;
    };

    /// Address space a layout may take: Graphviz needs about 3 KB per node of its drawing.
    static constexpr qint64 defaultMemoryBytes = qint64(2048) << 20;

    /// Where the layout program lies: in the folder "DozeRozOZU" beside the library's own file.
    static QString installedProgram();

    /// Runs program with input on its standard input, within limits.
    static Outcome run(const QString& program, const QByteArray& input, const Limits& limits);
};
