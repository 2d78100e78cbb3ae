#include "BoundedYaml.h"
#include "OutsideTextReaders.h"
#include "ReaderMemoryProbe.h"

#include <QtTest>

#include <yaml-cpp/yaml.h>

class TestBoundedYaml : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void countsDocumentsAndLoadsTheFirstAsLoadAllDoes_data()
    {
        QTest::addColumn<QByteArray>("text");
        QTest::newRow("empty") << QByteArray();
        QTest::newRow("a comment") << QByteArray("# nothing here\n");
        QTest::newRow("two documents") << QByteArray("a: 1\n---\nb: 2\n");
        QTest::newRow("markers only") << QByteArray("---\n...\n---\n");
        QTest::newRow("a directive") << QByteArray("%YAML 1.2\n--- !tag\n- [a, {b: c}]\n");
    }

    void countsDocumentsAndLoadsTheFirstAsLoadAllDoes()
    {
        QFETCH(QByteArray, text);
        const std::string yaml = text.toStdString();
        const std::vector<YAML::Node> all = YAML::LoadAll(yaml);
        int documents = -1;
        const YAML::Node first = BoundedYaml::load(yaml, &documents);
        QCOMPARE(BoundedYaml::check(yaml), int(all.size()));
        QCOMPARE(documents, int(all.size()));
        QCOMPARE(YAML::Dump(first), YAML::Dump(all.empty() ? YAML::Node() : all.front()));
    }

    // Each text is checked in a child under a memory limit: yaml-cpp's LoadAll gave empty
    // documents of a stray ',' until memory ran out, and a check that loops must fail its row.
    void refusesWhatWouldRunAwayAndTakesTheRest_data()
    {
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<QString>("refusal");
        const QString nesting = QStringLiteral("nesting deeper than 64 levels");
        const QString flow = QStringLiteral("flow collection indicators");
        const QByteArray commas(100000, ',');
        QTest::newRow("comma first") << QByteArray(",a: 1") << "line 1, column 1: unexpected ','";
        QTest::newRow("comma after a list") << QByteArray("- a\n,\n") << "line 2, column 1: unexpected ','";
        QTest::newRow("comma in a later document") << QByteArray("a: 1\n---\n,\n") << "line 3, column 1: unexpected ','";
        QTest::newRow("comma after a tag") << QByteArray("--- !t,g\n- a\n") << "unexpected ','";
        QTest::newRow("flow, 64 deep") << QByteArray(64, '[') + QByteArray(64, ']') << QString();
        QTest::newRow("flow, 65 deep") << QByteArray(65, '[') + QByteArray(65, ']') << nesting;
        QTest::newRow("unclosed flow") << QByteArray(100000, '[') << nesting;
        QTest::newRow("block, 63 deep") << OutsideTextReaders::nestedMaps(63) << QString();
        QTest::newRow("block, 64 deep") << OutsideTextReaders::nestedMaps(64) << nesting;
        // Empty entries of a list, one node per two bytes: what yaml-cpp spends most on.
        QTest::newRow("30000 empty entries") << QByteArray("-\n").repeated(30000) << QString();
        QTest::newRow("40000 empty entries") << QByteArray("-\n").repeated(40000)
                                             << "more than 36384 nodes for a text of 80000 bytes";
        // Device text quotes its parameters: commas in them are text, whatever their number.
        QTest::newRow("quoted value") << "pump:\n  params:\n    list: \"" + commas + "\"\n" << QString();
        QTest::newRow("single-quoted value") << "list: '" + commas + "'\n" << QString();
        QTest::newRow("comment") << "a: 1 # " + commas + "\n" << QString();
        QTest::newRow("flow list") << "list: [" + commas + "]\n" << flow;
        // yaml-cpp reads tokens where a naive skip would see a quoted scalar or a comment.
        QTest::newRow("quote inside a flow scalar") << "list: [a - \"" + commas + "\"]\n" << flow;
        QTest::newRow("comment inside flow quotes") << "list: [\"a #b\", " + commas + "]\n" << flow;
        QTest::newRow("quote on a flow scalar's next line") << "list: [a\n\"x" + commas + "\"]\n" << flow;
        QTest::newRow("quote in a block scalar") << "a: |\n  - \"\nb: [" + commas + "]\nc: \"\n" << flow;
    }

    void refusesWhatWouldRunAwayAndTakesTheRest()
    {
        QFETCH(QByteArray, text);
        QFETCH(QString, refusal);
        const ReaderMemoryProbe::Result result =
            ReaderMemoryProbe::run([&text] { BoundedYaml::check(text.toStdString()); }, qint64(256) << 20, 10);
        if (refusal.isEmpty()) {
            QVERIFY2(result.isClean(), qPrintable(result.outcomeText()));
        } else {
            QCOMPARE(result.outcome, ReaderMemoryProbe::Result::Threw);
            QVERIFY2(result.detail.contains(refusal), qPrintable(result.detail));
        }
    }
};

QTEST_GUILESS_MAIN(TestBoundedYaml)
#include "tst_BoundedYaml.moc"
