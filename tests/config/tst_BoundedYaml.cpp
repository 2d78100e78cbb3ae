#include "BoundedYaml.h"
#include "OutsideTextReaders.h"
#include "ReaderMemoryProbe.h"

#include <QtTest>

#include <yaml-cpp/yaml.h>

namespace {

QByteArray directives(int count)
{
    QByteArray text;
    for (int directive = 0; directive < count; ++directive)
        text += "%TAG !t" + QByteArray::number(directive) + "! tag:example.com,2024:\n";
    return text + "--- !t0!x\na: !t1!y b\n";
}

} // namespace

class TestBoundedYaml : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    // What readers did with yaml-cpp's own load they do with this one: the same nodes, the
    // same documents, aliases shared, duplicate keys kept, flow style and tags as they were.
    void loadsWhatYamlCppLoads_data()
    {
        QTest::addColumn<QByteArray>("text");
        QTest::newRow("empty") << QByteArray();
        QTest::newRow("a comment") << QByteArray("# nothing here\n");
        QTest::newRow("two documents") << QByteArray("a: 1\n---\nb: 2\n");
        QTest::newRow("markers only") << QByteArray("---\n...\n---\n");
        QTest::newRow("a directive") << QByteArray("%YAML 1.2\n--- !tag\n- [a, {b: c}]\n");
        QTest::newRow("nulls") << QByteArray("a: ~\nb:\nc: null\nd: 'null'\ne: \"\"\n? f\n");
        QTest::newRow("flow and block") << QByteArray("a: [1, {b: c}]\nd:\n  - e\n  - {f: [g]}\n");
        QTest::newRow("aliases") << QByteArray("a: &x {k: [1, 2]}\nb: *x\nc: &y v\nd: *y\n");
        QTest::newRow("duplicate keys") << QByteArray("{a: 1, a: 2, b: 3}");
        QTest::newRow("tags") << QByteArray("a: !!str 1\nb: !local x\nc: !!map {d: e}\n");
        QTest::newRow("complex key") << QByteArray("? [a, b]\n: c\n");
        QTest::newRow("scalars") << QByteArray("a: |\n  one\n  two\nb: >\n  folded\n  line\nc: \"esc\\t\\u00e9\"\nd: 'it''s'\n");
        QTest::newRow("JSON") << QByteArray("{\"a\":1,\"b\":[true,null,\"x\"],\"c\":{\"d\":\"e\"}}");
        QTest::newRow("byte-order mark") << QByteArray("\xEF\xBB\xBFpump: {type: generator}\n");
    }

    void loadsWhatYamlCppLoads()
    {
        QFETCH(QByteArray, text);
        const std::string yaml = text.toStdString();
        const std::vector<YAML::Node> all = YAML::LoadAll(yaml);
        int documents = -1;
        const YAML::Node first = BoundedYaml::load(yaml, &documents);
        QCOMPARE(documents, int(all.size()));
        QCOMPARE(BoundedYaml::check(yaml), int(all.size()));
        QCOMPARE(QByteArray::fromStdString(YAML::Dump(first)),
                 QByteArray::fromStdString(YAML::Dump(all.empty() ? YAML::Node() : all.front())));
    }

    // Each text is read in a child under a memory limit: a check that runs away must fail its
    // row, not take the machine.
    void refusesWhatIsNotYamlOrBeyondItsBounds_data()
    {
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<QString>("refusal");
        const QString nesting = QStringLiteral("nesting deeper than 64 levels");
        QTest::newRow("comma first") << QByteArray(",a: 1") << "line 1, column 1: did not find expected node content";
        QTest::newRow("comma after a list") << QByteArray("- a\n,\n") << "line 2, column 1";
        QTest::newRow("comma in a later document") << QByteArray("a: 1\n---\n,\n") << "line 3, column 1";
        QTest::newRow("comma after a tag") << QByteArray("--- !t,g\n- a\n") << "line 1, column 7";
        QTest::newRow("control character") << QByteArray("a: b\x01\n") << "line 1, column 5: control characters";
        QTest::newRow("flow, 64 deep") << QByteArray(64, '[') + QByteArray(64, ']') << QString();
        QTest::newRow("flow, 65 deep") << QByteArray(65, '[') + QByteArray(65, ']') << nesting;
        QTest::newRow("unclosed flow, 1 MiB") << QByteArray(1 << 20, '[') << nesting;
        QTest::newRow("block, 63 deep") << OutsideTextReaders::nestedMaps(63) << QString();
        QTest::newRow("block, 64 deep") << OutsideTextReaders::nestedMaps(64) << nesting;
        // One node per two bytes is what the densest valid text has; denser is refused.
        QTest::newRow("one node per two bytes") << "[1" + QByteArray(",1").repeated(100000) + "]" << QString();
        QTest::newRow("two nodes per three bytes") << "{" + QByteArray("? ,").repeated(40000) + "}"
                                                   << "more than 76385 nodes for a text of 120002 bytes";
        QTest::newRow("alias to its own mapping") << QByteArray("a: &x\n  b: *x\n") << "repeats a node that holds it";
        QTest::newRow("alias to no anchor") << QByteArray("a: *x\n") << "refers to no anchor";
        QTest::newRow("aliases to aliases") << OutsideTextReaders::aliasLevels("{a: 1, b: 1}", 10, 8) << "more than";
        // Aliases are bounded by the bytes they repeat as well: few nodes may stand for a lot.
        const QString expansion = QStringLiteral("aliases and tags that stand for more than");
        QTest::newRow("a description repeated by aliases")
            << OutsideTextReaders::repeatedDescription(32 * 1024, 800) << expansion;
        QTest::newRow("a description repeated within the bound")
            << OutsideTextReaders::repeatedDescription(1024, 2000) << QString();
        QTest::newRow("a long %TAG prefix on every device, 64 KiB") << OutsideTextReaders::repeatedTagPrefix(64 * 1024)
                                                                    << expansion;
        QTest::newRow("a long %TAG prefix on every device, 1 MiB") << OutsideTextReaders::repeatedTagPrefix(1 << 20)
                                                                   << expansion;
        QTest::newRow("a %TAG prefix within the bound")
            << "%TAG !e! tag:example.com,2024:\n---\n" + QByteArray("- !e!pump {a: !e!x 1}\n").repeated(20000)
            << QString();
        QTest::newRow("64 %TAG directives") << directives(64) << QString();
        QTest::newRow("65 %TAG directives") << directives(65)
                                            << "line 65, column 1: more than 64 %TAG directives for one document";
        QTest::newRow("%TAG directives, 1 MiB") << OutsideTextReaders::tagDirectives(1 << 20) << "%TAG directives";
        QTest::newRow("64 %TAG directives in each of two documents") << directives(64) + "...\n" + directives(64)
                                                                     << QString();
        QTest::newRow("alias nesting past the limit")
            << "a: &deep " + QByteArray(40, '[') + QByteArray(40, ']') + "\nb: " + QByteArray(30, '[') + "*deep"
                   + QByteArray(30, ']') + "\n"
            << nesting;
        // Quoted text or a comment once hid what followed from a check that skipped quotes.
        QTest::newRow("quoted line break, then nesting") << "\"x\n\" " + QByteArray(1 << 20, '[') << "line 2";
        QTest::newRow("quote in a comment, then nesting") << "a: 1 # it's\nb: " + QByteArray(1 << 20, '[') << nesting;
    }

    void refusesWhatIsNotYamlOrBeyondItsBounds()
    {
        QFETCH(QByteArray, text);
        QFETCH(QString, refusal);
        const ReaderMemoryProbe::Result result =
            ReaderMemoryProbe::run([&text] { BoundedYaml::load(text.toStdString()); }, qint64(256) << 20, 10);
        if (refusal.isEmpty()) {
            QVERIFY2(result.isClean(), qPrintable(result.outcomeText()));
        } else {
            QCOMPARE(result.outcome, ReaderMemoryProbe::Result::Threw);
            QVERIFY2(result.detail.contains(refusal), qPrintable(result.detail));
            QVERIFY2(result.peakBytes < (qint64(48) << 20) + 64 * text.size(), qPrintable(result.outcomeText()));
        }
    }
};

QTEST_GUILESS_MAIN(TestBoundedYaml)
#include "tst_BoundedYaml.moc"
