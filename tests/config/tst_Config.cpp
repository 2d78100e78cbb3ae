#include "CaseInsensetiveDictionary.h"
#include "Config.h"
#include "Configurable.h"

#include <QSignalSpy>
#include <QtTest>

#include <functional>
#include <new>

namespace {

// Reads motor/speed, counts its notifications and runs an optional action from inside the store's pass.
class Reader : public Configurable
{
public:
    explicit Reader(Config* config)
        : Configurable(config)
    {
        getParam("speed", "motor");
    }

    void applyConfig() override
    {
        ++calls;
        if (onApply)
            onApply();
    }

    int calls = 0;
    std::function<void()> onApply;
};

} // namespace

class TestConfig : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void dictionaryFindsKeysInAnyCaseUnderTheLatestSpelling()
    {
        CaseInsensetiveDictionary<int> dictionary;
        dictionary["MixedCase"] = 1;
        dictionary.insert("", 0);
        QCOMPARE(dictionary["mIxEdCaSe"], 1);
        dictionary.insert("MIXEDcase", 2);
        QCOMPARE(dictionary.keys(), (QStringList{"", "MIXEDcase"}));
        QCOMPARE(dictionary.value("mixedcase"), 2);
        QCOMPARE(dictionary.remove("absent"), 0);
        QCOMPARE(dictionary.remove("mixedCASE"), 1);
        QCOMPARE(dictionary.keys(), QStringList{""});
    }

    void getBoolAcceptsExactWordsOnly()
    {
        Config config;
        const auto read = [&config](const QString& stored, bool defaultValue) {
            config.setParam("flag", stored, "node", false);
            return config.getBool("flag", "node", defaultValue, false);
        };
        QVERIFY(read("yea", false));
        QVERIFY(!read("nah", true));
        QVERIFY(!read("True", false));
        QVERIFY(read("NO", true));
        QVERIFY(read("", true));
    }

    void storingGettersWriteDefaultSilently()
    {
        Config config;
        Reader reader(&config);
        reader.getInt("count", "node");
        QSignalSpy changedSpy(&config, &Config::configChanged);

        QCOMPARE(config.getInt("count", "node", 42, true), 42);
        QCOMPARE(config.getDouble("ratio", "node", 1.0 / 3.0, true), 1.0 / 3.0);
        config.applyConfig();

        QCOMPARE(config.getParam("ratio", "node"), QString("0.333333333333"));
        QVERIFY(config.isConfigChanged());
        QCOMPARE(reader.calls, 0);
        QCOMPARE(changedSpy.count(), 1);
    }

    void readerIsToldOncePerPassOfChangesItRead()
    {
        Config config;
        Reader reader(&config);
        reader.getParam("Torque", "Motor");

        // Values set to what they are, other nodes, and a node removed tell nobody
        config.setParam("speed", "", "motor", true);
        config.setParam("speed", "3", "pump", true);
        config.removeNode("motor");
        QCOMPARE(reader.calls, 0);

        // Both its keys changed, spelled differently, and applied once tell it once
        config.setParam("SPEED", "3", "Motor", false);
        config.setParam("torque", "5", "Motor", false);
        config.applyConfig();
        QCOMPARE(reader.calls, 1);

        // A removal is a change even when the key was absent
        config.removeParam("Absent", "MOTOR");
        config.removeParam("Speed", "Motor");
        QCOMPARE(reader.calls, 2);
    }

    void nestedApplyFromReaderEndsBeforeOuterPass()
    {
        // Given two readers, the first one told writing another watched key with apply
        Config config;
        Reader first(&config);
        Reader second(&config);
        Reader* writer = nullptr;
        for (Reader* reader : {&first, &second}) {
            reader->getParam("limit", "motor");
            reader->onApply = [&, reader] {
                if (!writer) {
                    writer = reader;
                    reader->setParam("limit", "9", "motor");
                }
            };
        }
        QSignalSpy changedSpy(&config, &Config::configChanged);

        // When the outer pass runs
        config.setParam("speed", "3", "motor", true);

        // Then the nested pass told both of everything pending, the rest of the outer one nobody
        QCOMPARE(writer->calls, 2);
        QCOMPARE((writer == &first ? second : first).calls, 1);
        QCOMPARE(changedSpy.count(), 2);
    }

    void readersLeavingOrJoiningDuringPassAreNotCalled()
    {
        // Given two readers, whichever is told first destroying the other and building a
        // newcomer in its very storage, so that the newcomer has the same address
        Config config;
        alignas(Reader) unsigned char storage[2][sizeof(Reader)];
        Reader* readers[2] = {new (storage[0]) Reader(&config), new (storage[1]) Reader(&config)};
        for (int i = 0; i < 2; ++i) {
            readers[i]->onApply = [&, i] {
                readers[1 - i]->~Reader();
                readers[1 - i] = new (storage[1 - i]) Reader(&config);
            };
        }

        // When the key they read changes
        config.setParam("speed", "3", "motor", true);

        // Then only the first was told; the newcomer waits for the next pass
        QCOMPARE(readers[0]->calls + readers[1]->calls, 1);
        for (Reader* reader : readers)
            reader->~Reader();
    }

    void renameNodeNeverWipesTarget()
    {
        Config config;
        Reader reader(&config);
        config.setParam("speed", "3", "motor", false);
        config.setParam("kept", "1", "engine", false);

        QVERIFY(!config.renameNode("missing", "engine"));
        QCOMPARE(reader.calls, 0);
        QVERIFY(config.renameNode("motor", "Engine"));
        QCOMPARE(reader.calls, 1);
        QCOMPARE(config.getParam("kept", "engine"), QString("1"));
        QCOMPARE(config.getParam("speed", "Engine"), QString("3"));
    }
};

QTEST_GUILESS_MAIN(TestConfig)
#include "tst_Config.moc"
