// Every reader of outside text, fed texts that made readers run away, under a memory limit:
// each run happens in a child process limited in address space and time, so a reader that
// runs away fails its row instead of taking the machine.

#include "OutsideTextReaders.h"
#include "ReaderMemoryProbe.h"

#include <QTemporaryDir>
#include <QtTest>

#include <memory>

namespace {

// The child may grow its address space by this much; a reader that runs away stops here.
const qint64 addressSpaceLimit = qint64(384) << 20;
const int timeoutSeconds = 20;
// What any reader may take whatever the text (a message box with the text in its details,
// code paged in), and per byte of text beyond that. No malformed text comes near either:
// they are refused before yaml-cpp builds a node of them.
const qint64 fixedAllowance = qint64(48) << 20;
const qint64 allowancePerByte = 64;

} // namespace

class TestOutsideTextMemory : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase()
    {
        QVERIFY(dir.isValid());
        readers = std::make_unique<OutsideTextReaders::Readers>();
    }

    void everyReaderStaysWithinItsBound_data()
    {
        QTest::addColumn<int>("reader");
        QTest::addColumn<QByteArray>("text");
        const QList<OutsideTextReaders::Text> texts = OutsideTextReaders::malformedTexts();
        for (int reader = 0; reader < readers->all.size(); ++reader) {
            for (const OutsideTextReaders::Text& text : texts) {
                // The longer of two lengths of a kind serves the benchmark's growth per byte;
                // the shorter shows a runaway as well, in a fraction of the time.
                if (text.name.endsWith(QLatin1String(", 1 MiB")))
                    continue;
                const QString row = readers->all.at(reader).name + QStringLiteral(": ") + text.name;
                QTest::newRow(qPrintable(row)) << reader << text.bytes;
            }
        }
    }

    void everyReaderStaysWithinItsBound()
    {
        QFETCH(int, reader);
        QFETCH(QByteArray, text);
        const QString path = dir.filePath(QStringLiteral("outside.yml"));
        QVERIFY(OutsideTextReaders::writeText(path, text));
        const OutsideTextReaders::Reader& read = readers->all.at(reader);

        const ReaderMemoryProbe::Result result = ReaderMemoryProbe::run(
            [&read, &text, &path] { read.read(text, path); }, addressSpaceLimit, timeoutSeconds);

        QVERIFY2(result.isClean(), qPrintable(result.outcomeText()));
        const qint64 bound = fixedAllowance + allowancePerByte * text.size();
        QVERIFY2(result.peakBytes <= bound,
                 qPrintable(QStringLiteral("%1 bytes, bound %2").arg(result.peakBytes).arg(bound)));
    }

private:
    QTemporaryDir dir;
    std::unique_ptr<OutsideTextReaders::Readers> readers;
};

QTEST_MAIN(TestOutsideTextMemory)
#include "tst_OutsideTextMemory.moc"
