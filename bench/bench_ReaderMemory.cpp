// Prints how much memory each reader of outside text (device text from the clipboard or a drop,
// templates and their descriptions, meta-device files, layout files, the configuration) takes
// on malformed texts, and on valid texts beside raw yaml-cpp's YAML::Load of the same text in
// the same run, and the longest each reader took. Each reader runs in a child process limited
// to 1 GiB more address space and 30 s, so a reader that runs away shows as "OOM" or "TIME"
// instead of taking the machine.
// Figures only; nothing is asserted (the memory and valid-text tests do).

#include "OutsideTextReaders.h"
#include "ReaderMemoryProbe.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QHash>
#include <QPair>
#include <QTemporaryDir>
#include <QTextStream>

#include <yaml-cpp/yaml.h>

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

// Runs one reader (or raw yaml-cpp when reader is null) on text in a child; its peak growth.
ReaderMemoryProbe::Result probe(const OutsideTextReaders::Reader* reader, const QByteArray& text, const QString& path)
{
    if (!OutsideTextReaders::writeText(path, text))
        return ReaderMemoryProbe::Result();
    if (!reader) {
        const std::string yaml = text.toStdString();
        return ReaderMemoryProbe::run([&yaml] { YAML::Load(yaml); }, limitBytes, timeoutSeconds);
    }
    return ReaderMemoryProbe::run(
        [reader, &text, &path] {
            if (!reader->read(text, path))
                throw std::runtime_error("refused");
        },
        limitBytes, timeoutSeconds);
}

/*
 * Peak growth per byte of each YAML reader, and of raw yaml-cpp, on the valid texts. What each
 * takes on a small device text whatever it reads (its code, a message box's fonts) is taken
 * off first, so that short texts show their cost per byte as well.
 */
void printValidTexts(QTextStream& out, const OutsideTextReaders::Readers& readers, const QString& path)
{
    using OutsideTextReaders::Takes;
    QList<const OutsideTextReaders::Reader*> columns;
    for (const OutsideTextReaders::Reader& reader : readers.all) {
        if (reader.takes != Takes::Ini)
            columns.append(&reader);
    }
    columns.append(nullptr);
    QVector<qint64> baseline;
    for (const OutsideTextReaders::Reader* reader : qAsConst(columns))
        baseline.append(probe(reader, wellFormed, path).peakBytes);

    out << Qt::endl
        << "Peak memory growth per byte of text (bytes) of each YAML reader on valid texts, beside \"raw\":"
        << Qt::endl << "yaml-cpp's YAML::Load of the text; what each takes on a small device text is taken off first."
        << Qt::endl << "\"most/raw\": the most a reader that does not rewrite the file takes, over what raw takes" << Qt::endl;
    out << QStringLiteral("text").leftJustified(38) << QStringLiteral("bytes").rightJustified(8);
    for (int column = 0; column < readers.all.size(); ++column) {
        if (readers.all.at(column).takes != Takes::Ini)
            out << QStringLiteral("[%1]").arg(column + 1).rightJustified(7);
    }
    out << QStringLiteral("raw").rightJustified(7) << QStringLiteral("most/raw").rightJustified(10) << Qt::endl;
    QVector<double> slowest(columns.size(), 0);
    for (const OutsideTextReaders::Text& text : OutsideTextReaders::validTexts()) {
        out << text.name.leftJustified(38) << QString::number(text.bytes.size()).rightJustified(8);
        out.flush();
        double most = 0;
        double raw = 0;
        for (int column = 0; column < columns.size(); ++column) {
            const OutsideTextReaders::Reader* reader = columns.at(column);
            if (reader && reader->takes == Takes::Configuration && text.hasSequences) {
                out << QStringLiteral("n/a").rightJustified(7);
                continue;
            }
            QElapsedTimer timer;
            timer.start();
            const ReaderMemoryProbe::Result result = probe(reader, text.bytes, path);
            slowest[column] = std::max(slowest[column], timer.nsecsElapsed() / 1e9);
            const double perByte = double(std::max<qint64>(result.peakBytes - baseline.at(column), 0)) / text.bytes.size();
            out << (result.isClean() ? QString::number(perByte, 'f', 1) : cell(result)).rightJustified(7);
            out.flush();
            if (!reader)
                raw = perByte;
            else if (!reader->rewrites)
                most = std::max(most, result.isClean() ? perByte : 1e9);
        }
        out << QString::number(most / std::max(raw, 0.1), 'f', 2).rightJustified(10) << Qt::endl;
    }
    out << QStringLiteral("slowest run (s)").leftJustified(46);
    for (double seconds : qAsConst(slowest))
        out << QString::number(seconds, 'f', 2).rightJustified(7);
    out << Qt::endl
        << "THROW: the reader refused a valid text; n/a: sequences are not part of the configuration's format"
        << Qt::endl;
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
    QVector<double> slowestSeconds(readers.all.size(), 0);
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
            QElapsedTimer timer;
            timer.start();
            const ReaderMemoryProbe::Result result = ReaderMemoryProbe::run(
                [&reader, &text, &path] { reader.read(text.bytes, path); }, limitBytes, timeoutSeconds);
            slowestSeconds[column] = std::max(slowestSeconds[column], timer.nsecsElapsed() / 1e9);
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
    out << Qt::endl << QStringLiteral("slowest run, malformed texts (s)").leftJustified(46);
    for (double seconds : qAsConst(slowestSeconds))
        out << QString::number(seconds, 'f', 2).rightJustified(7);
    out << Qt::endl
        << "growth per byte: how much more a reader takes on the longer text of a kind than on the shorter,"
        << Qt::endl
        << "per byte more of text (a reader that hits the limit counts the whole limit)" << Qt::endl
        << "OOM: an allocation failed at the limit; TIME: stopped after " << timeoutSeconds
        << " s; CRASH: died of a signal; THROW: an exception left the reader" << Qt::endl;

    printValidTexts(out, readers, dir.filePath(QStringLiteral("valid.yml")));
    return 0;
}
