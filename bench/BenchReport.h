#pragma once

#include <QCoreApplication>
#include <QLoggingCategory>
#include <QString>
#include <QTextStream>

/// Prints one benchmark row: what was measured, the total time and, for several operations, the time of one.
inline void report(QTextStream& out, const QString& what, qint64 nanoseconds, int operations)
{
    out << what.leftJustified(46) << QString::number(nanoseconds / 1e6, 'f', 2).rightJustified(12) << " ms";
    if (operations > 1)
        out << QString::number(double(nanoseconds) / operations / 1e3, 'f', 3).rightJustified(12) << " us/op";
    out << Qt::endl;
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
