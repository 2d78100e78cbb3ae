// Prints how much memory each reader of outside text (device text from the clipboard or a drop,
// templates and their descriptions, meta-device files, layout files, the configuration) takes
// on malformed texts. Each reader runs in a child process limited to 1 GiB more address space
// and 30 s, so a reader that runs away shows as "OOM" or "TIME" instead of taking the machine.
// Figures only; nothing is asserted (the memory test does).

#include "OutsideTextReaders.h"
#include "ReaderMemoryProbe.h"

#include <QApplication>
#include <QHash>
#include <QPair>
#include <QTemporaryDir>
#include <QTextStream>

#include <algorithm>

namespace {

const qint64 limitBytes = qint64(1) << 30;
const int timeoutSeconds = 30;
const QByteArray& wellFormed = OutsideTextReaders::twoLinkedDevices;

QString cell(const ReaderMemoryProbe::Result& result)
{
    using Result = ReaderMemoryProbe::Result;
    switch (result.outcome) {
    case Result::Finished:
        return QString::number(result.peakBytes / 1048576.0, 'f', 1);
    case Result::Threw:
        return QStringLiteral("THROW");
    case Result::OutOfMemory:
        return QStringLiteral("OOM");
    case Result::Crashed:
        return QStringLiteral("CRASH");
    case Result::TimedOut:
        return QStringLiteral("TIME");
    case Result::NotRun:
        return QStringLiteral("-");
    }
    return QString();
}

} // namespace

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QTextStream out(stdout);
    QTemporaryDir dir;
    OutsideTextReaders::Readers readers;
    const QList<OutsideTextReaders::Text> texts = OutsideTextReaders::malformedTexts();

    out << "Peak memory growth (MiB) of each reader on malformed texts; each run limited to "
        << limitBytes / 1048576 << " MiB more address space and " << timeoutSeconds << " s" << Qt::endl;
    for (int column = 0; column < readers.all.size(); ++column)
        out << "  [" << column + 1 << "] " << readers.all.at(column).name << Qt::endl;
    out << QStringLiteral("text").leftJustified(38) << QStringLiteral("bytes").rightJustified(8);
    for (int column = 0; column < readers.all.size(); ++column)
        out << QStringLiteral("[%1]").arg(column + 1).rightJustified(7);
    out << Qt::endl;

    // A well-formed device text first: what each reader takes whatever it reads.
    QList<OutsideTextReaders::Text> rows = {{QStringLiteral("(a well-formed device text)"), wellFormed}};
    rows += texts;
    QVector<qint64> worstPeak(readers.all.size(), 0);
    QVector<double> worstGrowthPerByte(readers.all.size(), 0);
    // The peak of each reader on the shorter text of each kind that comes in two lengths.
    QHash<QString, QPair<int, QVector<qint64>>> shorter;
    for (const OutsideTextReaders::Text& text : qAsConst(rows)) {
        const QString path = dir.filePath(QStringLiteral("probe.yml"));
        if (!OutsideTextReaders::writeText(path, text.bytes))
            return 1;
        out << text.name.leftJustified(38) << QString::number(text.bytes.size()).rightJustified(8);
        out.flush();
        QVector<qint64> peaks(readers.all.size(), 0);
        for (int column = 0; column < readers.all.size(); ++column) {
            const OutsideTextReaders::Reader& reader = readers.all.at(column);
            const ReaderMemoryProbe::Result result = ReaderMemoryProbe::run(
                [&reader, &text, &path] { reader.read(text.bytes, path); }, limitBytes, timeoutSeconds);
            out << cell(result).rightJustified(7);
            out.flush();
            const qint64 peak = result.isClean() ? result.peakBytes : limitBytes;
            if (text.bytes == wellFormed)
                continue;
            worstPeak[column] = std::max(worstPeak[column], peak);
            peaks[column] = peak;
        }
        // "kind, 256 KiB" then "kind, 1 MiB": the growth between them per byte is the reader's
        // multiple of the text's size, without what it takes whatever the text.
        const QString kind = text.name.section(QStringLiteral(", "), 0, -2);
        if (text.name.endsWith(QLatin1String("iB")) && !kind.isEmpty()) {
            const auto before = shorter.constFind(kind);
            if (before == shorter.constEnd()) {
                shorter.insert(kind, qMakePair(text.bytes.size(), peaks));
            } else {
                const double extraBytes = text.bytes.size() - before->first;
                for (int column = 0; column < peaks.size(); ++column) {
                    worstGrowthPerByte[column] =
                        std::max(worstGrowthPerByte[column], (peaks[column] - before->second[column]) / extraBytes);
                }
            }
        }
        out << Qt::endl;
    }
    out << QStringLiteral("worst peak, malformed texts (MiB)").leftJustified(46);
    for (qint64 peak : qAsConst(worstPeak))
        out << QString::number(peak / 1048576.0, 'f', 1).rightJustified(7);
    out << Qt::endl << QStringLiteral("worst growth per byte of text").leftJustified(46);
    for (double growth : qAsConst(worstGrowthPerByte))
        out << QString::number(std::max(growth, 0.0), 'f', 1).rightJustified(7);
    out << Qt::endl
        << "growth per byte: how much more a reader takes on the longer text of a kind than on the shorter,"
        << Qt::endl
        << "per byte more of text (a reader that hits the limit counts the whole limit)" << Qt::endl
        << "OOM: an allocation failed at the limit; TIME: stopped after " << timeoutSeconds
        << " s; CRASH: died of a signal; THROW: an exception left the reader" << Qt::endl;
    return 0;
}
