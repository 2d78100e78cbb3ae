#pragma once

#include <QCoreApplication>
#include <QList>
#include <QLoggingCategory>
#include <QString>
#include <QTextStream>

#include <algorithm>

#include <sys/resource.h>

/// Prints one benchmark row: what was measured, the total time and, for several operations, the time of one.
inline void report(QTextStream& out, const QString& what, qint64 nanoseconds, int operations)
{
    out << what.leftJustified(46) << QString::number(nanoseconds / 1e6, 'f', 2).rightJustified(12) << " ms";
    if (operations > 1)
        out << QString::number(double(nanoseconds) / operations / 1e3, 'f', 3).rightJustified(12) << " us/op";
    out << Qt::endl;
}

/// The middle value of a benchmark's runs: one disturbed run on a shared machine moves it little.
inline qint64 median(QList<qint64> values)
{
    std::sort(values.begin(), values.end());
    return values.at(values.size() / 2);
}

/// Processor time, user and system, of this process and of the children it waited for, in nanoseconds.
inline qint64 cpuNanoseconds()
{
    qint64 total = 0;
    for (int who : {RUSAGE_SELF, RUSAGE_CHILDREN}) {
        rusage usage{};
        ::getrusage(who, &usage);
        total += (qint64(usage.ru_utime.tv_sec) + usage.ru_stime.tv_sec) * 1000000000
                 + (qint64(usage.ru_utime.tv_usec) + usage.ru_stime.tv_usec) * 1000;
    }
    return total;
}

/// The median CPU time (both processes) of work over runs.
template<typename Work>
inline qint64 medianCpu(int runs, Work work)
{
    QList<qint64> times;
    for (int run = 0; run < runs; ++run) {
        const qint64 before = cpuNanoseconds();
        work();
        times.append(cpuNanoseconds() - before);
    }
    return median(times);
}

/// The median CPU times of two kinds of work run in turns, so that both see the same load.
template<typename First, typename Second>
inline void medianPair(int runs, First first, Second second, qint64* firstTime, qint64* secondTime)
{
    QList<qint64> firstTimes;
    QList<qint64> secondTimes;
    for (int run = 0; run < runs; ++run) {
        qint64 before = cpuNanoseconds();
        first();
        firstTimes.append(cpuNanoseconds() - before);
        before = cpuNanoseconds();
        second();
        secondTimes.append(cpuNanoseconds() - before);
    }
    *firstTime = median(firstTimes);
    *secondTime = median(secondTimes);
}

/**
 * What a benchmark without widgets starts with: the application, with debug messages off (code
 * that logs each step would have the terminal measured with it), and standard output.
 */
struct ConsoleBenchmark
{
    ConsoleBenchmark(int& argc, char** argv)
        : app(argc, argv)
        , out(stdout)
    {
        QLoggingCategory::setFilterRules(QStringLiteral("default.debug=false"));
    }

    QCoreApplication app;
    QTextStream out;
};
