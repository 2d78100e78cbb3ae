#include "BoundedYaml.h"
#include "ReaderMemoryProbe.h"

#include <QtTest>

#include <yaml-cpp/yaml.h>

#include <stdexcept>

namespace {

// The message check() throws for text; empty when it takes the text.
QString refusal(const std::string& text)
{
    try {
        BoundedYaml::check(text);
    } catch (const YAML::ParserException& error) {
        return QString::fromUtf8(error.what());
    }
    return QString();
}

std::string repeated(const std::string& part, int count)
{
    std::string text;
    text.reserve(part.size() * size_t(count));
    for (int i = 0; i < count; ++i)
        text += part;
    return text;
}

std::string flowNesting(int depth)
{
    return std::string(size_t(depth), '[') + std::string(size_t(depth), ']');
}

std::string blockNesting(int depth)
{
    std::string text;
    for (int level = 0; level < depth; ++level)
        text += std::string(size_t(2 * level), ' ') + "n:\n";
    return text + std::string(size_t(2 * depth), ' ') + "leaf: 1\n";
}

} // namespace

class TestBoundedYaml : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void countsDocumentsAsLoadAllDoes_data()
    {
        QTest::addColumn<QByteArray>("text");
        QTest::newRow("empty") << QByteArray();
        QTest::newRow("a comment") << QByteArray("# nothing here\n");
        QTest::newRow("one map") << QByteArray("a: 1\nb: [x, y]\n");
        QTest::newRow("two documents") << QByteArray("a: 1\n---\nb: 2\n");
        QTest::newRow("markers only") << QByteArray("---\n...\n---\n");
        QTest::newRow("a directive") << QByteArray("%YAML 1.2\n--- !tag\n- [a, {b: c}]\n");
        QTest::newRow("a scalar") << QByteArray("just text\n");
    }

    void countsDocumentsAsLoadAllDoes()
    {
        QFETCH(QByteArray, text);
        const std::string yaml = text.toStdString();
        QCOMPARE(BoundedYaml::check(yaml), int(YAML::LoadAll(yaml).size()));
    }

    void loadGivesTheFirstDocumentAndTheCount()
    {
        int documents = 0;
        const YAML::Node root = BoundedYaml::load("a: 1\n---\nb: 2\n", &documents);
        QCOMPARE(documents, 2);
        QCOMPARE(QString::fromStdString(root["a"].as<std::string>()), QStringLiteral("1"));
        QVERIFY(!root["b"]);
        QVERIFY(BoundedYaml::load("").IsNull());
    }

    // yaml-cpp's LoadAll gave empty documents of these until memory ran out: run in a child
    // under a limit, so a check that loops fails instead of hanging the suite.
    void refusesATokenNoNodeStartsWith_data()
    {
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<QString>("message");
        QTest::newRow("first") << QByteArray(",a: 1") << "line 1, column 1: unexpected ','";
        QTest::newRow("after a list") << QByteArray("- a\n,\n") << "line 2, column 1: unexpected ','";
        QTest::newRow("in a later document") << QByteArray("a: 1\n---\n,\n") << "line 3, column 1: unexpected ','";
        QTest::newRow("after a tag") << QByteArray("--- !t,g\n- a\n") << "unexpected ','";
    }

    void refusesATokenNoNodeStartsWith()
    {
        QFETCH(QByteArray, text);
        QFETCH(QString, message);
        const ReaderMemoryProbe::Result result = ReaderMemoryProbe::run(
            [&text, &message] {
                const QString thrown = refusal(text.toStdString());
                if (!thrown.contains(message))
                    throw std::runtime_error(("refused with " + thrown).toStdString());
            },
            qint64(256) << 20, 10);
        QVERIFY2(result.isClean(), qPrintable(result.outcomeText()));
    }

    void nestingStopsAtSixtyFourLevels_data()
    {
        QTest::addColumn<QByteArray>("accepted");
        QTest::addColumn<QByteArray>("refused");
        QTest::newRow("flow") << QByteArray::fromStdString(flowNesting(64))
                              << QByteArray::fromStdString(flowNesting(65));
        QTest::newRow("block") << QByteArray::fromStdString(blockNesting(63))
                               << QByteArray::fromStdString(blockNesting(64));
        QTest::newRow("unclosed flow") << QByteArray(64, '[') + QByteArray(64, ']') << QByteArray(100000, '[');
    }

    void nestingStopsAtSixtyFourLevels()
    {
        QFETCH(QByteArray, accepted);
        QFETCH(QByteArray, refused);
        QCOMPARE(refusal(accepted.toStdString()), QString());
        QVERIFY2(refusal(refused.toStdString()).contains(QLatin1String("nesting deeper than 64 levels")),
                 qPrintable(refusal(refused.toStdString())));
    }

    // Empty entries of a list, one node per two bytes: what yaml-cpp spends most on.
    void nodesAreBoundedByTheTextsSize()
    {
        const std::string withinBound = repeated("-\n", 30000);
        const std::string beyondBound = repeated("-\n", 40000);
        QCOMPARE(BoundedYaml::maxNodes(beyondBound.size()), 16384LL + 20000);
        QCOMPARE(refusal(withinBound), QString());
        QVERIFY(refusal(beyondBound).contains(QLatin1String("more than 36384 nodes for a text of 80000 bytes")));
    }

    void flowCollectionsAreBoundedOnTheText_data()
    {
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<bool>("accepted");
        const QByteArray commas(100000, ',');
        // Device text quotes its parameters: commas in them are text, whatever their number.
        QTest::newRow("quoted value") << "pump:\n  params:\n    list: \"" + commas + "\"\n" << true;
        QTest::newRow("single-quoted value") << "list: '" + commas + "'\n" << true;
        QTest::newRow("comment") << "a: 1 # " + commas + "\n" << true;
        QTest::newRow("flow list") << "list: [" + commas + "]\n" << false;
        // yaml-cpp reads tokens where a naive skip would see a quoted scalar or a comment.
        QTest::newRow("quote inside a flow scalar") << "list: [a - \"" + commas + "\"]\n" << false;
        QTest::newRow("comment inside flow quotes") << "list: [\"a #b\", " + commas + "]\n" << false;
        QTest::newRow("quote on a flow scalar's next line") << "list: [a\n\"x" + commas + "\"]\n" << false;
        QTest::newRow("quote in a block scalar") << "a: |\n  - \"\nb: [" + commas + "]\nc: \"\n" << false;
    }

    void flowCollectionsAreBoundedOnTheText()
    {
        QFETCH(QByteArray, text);
        QFETCH(bool, accepted);
        const QString thrown = refusal(text.toStdString());
        if (accepted)
            QCOMPARE(thrown, QString());
        else
            QVERIFY2(thrown.contains(QLatin1String("flow collection indicators")), qPrintable(thrown));
    }

    void walkBudgetBoundsWhatAliasesMake()
    {
        const std::string text = "a: &a {k: 1, l: 2}\nb: [*a, *a, *a, *a]\n";
        const YAML::Node root = BoundedYaml::load(text);
        BoundedYaml::WalkBudget budget(text.size());
        for (long long i = 0; i < BoundedYaml::maxNodes(text.size()); ++i)
            budget.countValue(root["a"]["k"]);
        QCOMPARE(budget.values(), BoundedYaml::maxNodes(text.size()));
        QVERIFY_EXCEPTION_THROWN(budget.countMapping(root["a"]), YAML::ParserException);

        budget.enter(root, BoundedYaml::maxDepth);
        QVERIFY_EXCEPTION_THROWN(budget.enter(root, BoundedYaml::maxDepth + 1), YAML::ParserException);
    }
};

QTEST_GUILESS_MAIN(TestBoundedYaml)
#include "tst_BoundedYaml.moc"
