// The log console receiving a burst of 100,000 log lines in one poll: time until they are
// shown, the longest stall of the GUI thread, and memory. The baseline formats and appends
// every line on its own with QTextEdit::append, as the console did before it skipped the
// lines that fall off its 1000-line view at once.

#include "BenchReport.h"
#include "ConsoleLineFormatter.h"
#include "ConsoleWidget.h"
#include "LogBuffer.h"
#include "Logger.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QScrollBar>
#include <QTextEdit>
#include <QTimer>

#include <algorithm>

namespace {

const int burstLines = 100000;

QStringList burst()
{
    QStringList lines;
    lines.reserve(burstLines);
    const char* levels[] = {"D", "W", "D", "D", "C"};
    for (int i = 0; i < burstLines; ++i) {
        lines.append(QStringLiteral("12:00:%1 [%2] device%3: value <%4> & more text to make a line")
                         .arg(i % 60, 2, 10, QLatin1Char('0'))
                         .arg(QLatin1String(levels[i % 5]))
                         .arg(i % 97)
                         .arg(i));
    }
    return lines;
}

/// Resident memory of the process in KiB.
qint64 residentKiB()
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray& line : status.readAll().split('\n')) {
        if (line.startsWith("VmRSS:"))
            return line.mid(6).trimmed().split(' ').value(0).toLongLong();
    }
    return -1;
}

/**
 * The longest time the event loop did not turn while work ran, sampled by a 1 ms timer: what
 * a user would feel as a frozen window.
 */
class StallProbe : public QObject
{
public:
    StallProbe()
    {
        timer.setTimerType(Qt::PreciseTimer);
        QObject::connect(&timer, &QTimer::timeout, this, [this] {
            longest = qMax(longest, sinceLastTick.nsecsElapsed());
            sinceLastTick.start();
        });
    }
    void start()
    {
        longest = 0;
        sinceLastTick.start();
        timer.start(1);
    }
    qint64 stop()
    {
        timer.stop();
        return longest;
    }

private:
    QTimer timer;
    QElapsedTimer sinceLastTick;
    qint64 longest = 0;
};

void settle(int milliseconds)
{
    QEventLoop loop;
    QTimer::singleShot(milliseconds, &loop, &QEventLoop::quit);
    loop.exec();
}

} // namespace

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    QTextStream out(stdout);
    out << "Log console, a burst of " << burstLines << " lines in one poll" << Qt::endl;
    const QStringList lines = burst();

    ConsoleWidget console;
    console.setUpdateRetrieveLog(false);
    console.resize(800, 600);
    console.show();
    settle(50);

    StallProbe probe;
    const qint64 memoryBefore = residentKiB();
    probe.start();
    // The poll runs from the event loop, as the console's timer would run it.
    qint64 shownAfter = 0;
    QTimer::singleShot(0, &console, [&] {
        QElapsedTimer shown;
        shown.start();
        console.appendLogLines(lines);
        console.viewport()->repaint();
        shownAfter = shown.nsecsElapsed();
    });
    settle(300);
    const qint64 stall = probe.stop();
    report(out, "burst polled and painted", shownAfter, 1);
    out << QStringLiteral("longest GUI stall").leftJustified(46) << QString::number(stall / 1e6, 'f', 2).rightJustified(12)
        << " ms (goal <= 100 ms)" << Qt::endl;
    out << QStringLiteral("blocks in the view").leftJustified(46) << QString::number(console.document()->blockCount()).rightJustified(12)
        << Qt::endl;
    out << QStringLiteral("resident memory added").leftJustified(46)
        << QString::number((residentKiB() - memoryBefore) / 1024.0, 'f', 1).rightJustified(12) << " MiB" << Qt::endl;

    // Through the framework's buffer, which keeps at most its own limit of lines.
    LogBuffer* buffer = Logger::getDefaultBuffer();
    buffer->takeAll();
    for (const QString& line : lines)
        buffer->append(QtDebugMsg, line);
    probe.start();
    QElapsedTimer polled;
    polled.start();
    console.retrieveLog();
    const qint64 pollNs = polled.nsecsElapsed();
    settle(100);
    out << QStringLiteral("retrieveLog() of the framework's buffer").leftJustified(46)
        << QString::number(pollNs / 1e6, 'f', 2).rightJustified(12) << " ms for " << buffer->maximumLines()
        << " lines kept of " << burstLines << Qt::endl;

    // Baseline: every line formatted and appended on its own, 1000-block limit as well.
    QTextEdit plain;
    plain.setReadOnly(true);
    plain.document()->setMaximumBlockCount(ConsoleWidget::maximumLines);
    plain.resize(800, 600);
    plain.show();
    settle(50);
    const int baselineLines = 10000;
    QElapsedTimer baseline;
    baseline.start();
    const ConsoleLineFormatter formatter(plain.palette());
    for (int i = 0; i < baselineLines; ++i)
        plain.append(formatter.logLine(lines.at(i), nullptr));
    plain.viewport()->repaint();
    const qint64 baselineNs = baseline.nsecsElapsed();
    report(out, "baseline: 10,000 lines appended one by one", baselineNs, baselineLines);
    out << QStringLiteral("baseline extrapolated to the burst").leftJustified(46)
        << QString::number(baselineNs * (double(burstLines) / baselineLines) / 1e6, 'f', 0).rightJustified(12)
        << " ms   ratio " << QString::number(baselineNs * (double(burstLines) / baselineLines) / double(shownAfter), 'f', 1)
        << "x" << Qt::endl;
    return 0;
}
