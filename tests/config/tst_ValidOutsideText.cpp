// Every reader of outside YAML reads every valid text of the shapes people and programs write:
// JSON, long flow collections, brackets and commas in scalars, a byte-order mark.

#include "OutsideTextReaders.h"

#include <QTemporaryDir>
#include <QtTest>

#include <memory>

using OutsideTextReaders::Takes;

class TestValidOutsideText : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase()
    {
        QVERIFY(dir.isValid());
        readers = std::make_unique<OutsideTextReaders::Readers>();
    }

    void everyYamlReaderReadsIt_data()
    {
        QTest::addColumn<int>("reader");
        QTest::addColumn<QByteArray>("text");
        const QList<OutsideTextReaders::Text> texts = OutsideTextReaders::validTexts();
        for (int reader = 0; reader < readers->all.size(); ++reader) {
            const Takes takes = readers->all.at(reader).takes;
            for (const OutsideTextReaders::Text& text : texts) {
                // The configuration store's format has no sequences; the longer dense text serves the benchmark.
                if (takes == Takes::Ini || (takes == Takes::Configuration && text.hasSequences)
                    || text.name.endsWith(QLatin1String(", 1 MiB")))
                    continue;
                const QString row = readers->all.at(reader).name + QStringLiteral(": ") + text.name;
                QTest::newRow(qPrintable(row)) << reader << text.bytes;
            }
        }
    }

    void everyYamlReaderReadsIt()
    {
        QFETCH(int, reader);
        QFETCH(QByteArray, text);
        const QString path = dir.filePath(QStringLiteral("valid.yml"));
        QVERIFY(OutsideTextReaders::writeText(path, text));
        QVERIFY(readers->all.at(reader).read(text, path));
    }

private:
    QTemporaryDir dir;
    std::unique_ptr<OutsideTextReaders::Readers> readers;
};

QTEST_MAIN(TestValidOutsideText)
#include "tst_ValidOutsideText.moc"
