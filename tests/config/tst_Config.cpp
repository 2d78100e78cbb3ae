#include "Config.h"
#include "Configurable.h"

#include <QSignalSpy>
#include <QtTest>

#include <functional>
#include <memory>

namespace {

// Counts its notifications and runs an optional action from inside the store's pass.
class Reader : public Configurable
{
public:
    explicit Reader(Config* config)
        : Configurable(config)
    {
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
    void getBoolAcceptsExactWordsOnly_data()
    {
        QTest::addColumn<QString>("stored");
        QTest::addColumn<bool>("defaultValue");
        QTest::addColumn<bool>("expected");
        QTest::newRow("yes") << "yes" << false << true;
        QTest::newRow("yea") << "yea" << false << true;
        QTest::newRow("true") << "true" << false << true;
        QTest::newRow("no") << "no" << true << false;
        QTest::newRow("nah") << "nah" << true << false;
        QTest::newRow("false") << "false" << true << false;
        QTest::newRow("capitalised") << "True" << false << false;
        QTest::newRow("upper case") << "YES" << false << false;
        QTest::newRow("upper case no") << "NO" << true << true;
        QTest::newRow("digit") << "1" << false << false;
        QTest::newRow("empty") << "" << true << true;
    }

    void getBoolAcceptsExactWordsOnly()
    {
        QFETCH(QString, stored);
        QFETCH(bool, defaultValue);
        QFETCH(bool, expected);
        Config config;
        config.setParam("flag", "placeholder", "node", false);
        config.setParam("flag", stored, "node", false);

        QCOMPARE(config.getBool("flag", "node", defaultValue, false), expected);
    }

    void storingGettersWriteDefaultWithoutNotifying()
    {
        Config config;
        Reader reader(&config);
        reader.getInt("count", "node");
        QSignalSpy changedSpy(&config, &Config::configChanged);

        QCOMPARE(config.getInt("count", "node", 42, true), 42);
        QCOMPARE(config.getDouble("ratio", "node", 1.0 / 3.0, true), 1.0 / 3.0);

        QCOMPARE(config.getParam("count", "node"), QString("42"));
        QCOMPARE(config.getParam("ratio", "node"), QString("0.333333333333"));
        QVERIFY(config.isConfigChanged());
        config.applyConfig();
        QCOMPARE(reader.calls, 0);
        QCOMPARE(changedSpy.count(), 1);
    }

    void getIntFallsBackOnText()
    {
        Config config;
        config.setParam("count", "twelve", "node", false);
        QCOMPARE(config.getInt("count", "node", 7), 7);
        config.setParam("count", "0x10", "node", false);
        QCOMPARE(config.getInt("count", "node", 7), 7);
    }

    void setParamOfSameValueChangesNothing()
    {
        Config config;
        Reader reader(&config);
        reader.getParam("empty", "node");

        QVERIFY(config.setParam("empty", "", "node", true));

        QVERIFY(!config.isConfigChanged());
        QCOMPARE(reader.calls, 0);
        QCOMPARE(config.getParams("node"), QStringList{"empty"});
    }

    void readerIsToldOncePerPassInAnyLetterCase()
    {
        // Given a reader of Speed and Torque of node Motor
        Config config;
        Reader reader(&config);
        reader.getParam("Speed", "Motor");
        reader.getParam("Torque", "Motor");
        QSignalSpy changedSpy(&config, &Config::configChanged);

        // When both change, spelled differently, and are applied once
        config.setParam("SPEED", "3", "Motor", false);
        config.setParam("torque", "5", "Motor", false);
        config.applyConfig();

        // Then the reader hears of it once, and the store announces it once
        QCOMPARE(reader.calls, 1);
        QCOMPARE(changedSpy.count(), 1);
    }

    void unrelatedChangesLeaveReaderAlone()
    {
        Config config;
        Reader reader(&config);
        reader.getParam("speed", "motor");

        config.setParam("speed", "3", "pump", true);
        config.removeNode("motor");
        QCOMPARE(reader.calls, 0);

        config.renameNode("pump", "pump2");
        QCOMPARE(reader.calls, 0);
    }

    void renameNodeAppliesPendingChanges()
    {
        Config config;
        Reader reader(&config);
        reader.getParam("speed", "motor");
        config.setParam("speed", "3", "motor", false);

        QVERIFY(config.renameNode("motor", "engine"));

        QCOMPARE(reader.calls, 1);
        QCOMPARE(config.getParam("speed", "engine"), QString("3"));
        QVERIFY(!config.getNodes().contains("motor"));
    }

    void renameNodeOfMissingNodeKeepsTarget()
    {
        Config config;
        config.setParam("speed", "3", "engine", false);
        QSignalSpy changedSpy(&config, &Config::configChanged);

        QVERIFY(!config.renameNode("missing", "engine"));

        QCOMPARE(config.getParam("speed", "engine"), QString("3"));
        QVERIFY(!config.getNodes().contains("missing"));
        QCOMPARE(changedSpy.count(), 0);
    }

    void renameNodeToItsOwnNameKeepsContents()
    {
        Config config;
        config.setParam("speed", "3", "motor", false);

        QVERIFY(config.renameNode("motor", "motor"));

        QCOMPARE(config.getParam("speed", "motor"), QString("3"));
    }

    void removeParamOfAbsentKeyStillNotifies()
    {
        Config config;
        Reader reader(&config);
        reader.getParam("speed", "motor");
        QSignalSpy changedSpy(&config, &Config::configChanged);

        QVERIFY(config.removeParam("SPEED", "Motor"));

        QCOMPARE(reader.calls, 1);
        QCOMPARE(changedSpy.count(), 1);
        QVERIFY(config.getNodes().contains("Motor"));
    }

    void nodePathsAreCaseSensitive()
    {
        Config config;
        config.setParam("key", "upper", "Global", false);
        config.setParam("key", "lower", "global", false);
        config.getParams("absent");

        QCOMPARE(config.getNodes(), (QStringList{"Global", "absent", "global"}));
        QCOMPARE(config.getParam("KEY", "Global"), QString("upper"));
    }

    void applyWithoutChangesOnlyEmits()
    {
        Config config;
        Reader reader(&config);
        reader.getParam("speed", "motor");
        QSignalSpy changedSpy(&config, &Config::configChanged);

        config.applyConfig();

        QCOMPARE(reader.calls, 0);
        QCOMPARE(changedSpy.count(), 1);
    }

    void nestedApplyFromReaderEndsBeforeOuterPass()
    {
        // Given two readers of one key, the first one told writing another key with apply
        Config config;
        Reader first(&config);
        Reader second(&config);
        for (Reader* reader : {&first, &second}) {
            reader->getParam("speed", "motor");
            reader->getParam("limit", "motor");
        }
        Reader* writer = nullptr;
        for (Reader* reader : {&first, &second}) {
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

        // Then the nested pass told both readers of everything pending and emptied the set, so
        // the rest of the outer pass told nobody; each pass announced itself
        Reader* other = writer == &first ? &second : &first;
        QCOMPARE(writer->calls, 2);
        QCOMPARE(other->calls, 1);
        QCOMPARE(changedSpy.count(), 2);
        QCOMPARE(config.getParam("limit", "motor"), QString("9"));
    }

    void readerUnregisteredDuringPassIsSkipped()
    {
        // Given three readers of one key, each removing the other two when told
        Config config;
        std::unique_ptr<Reader> readers[3];
        for (auto& reader : readers) {
            reader = std::make_unique<Reader>(&config);
            reader->getParam("speed", "motor");
        }
        int told = 0;
        for (int i = 0; i < 3; ++i) {
            readers[i]->onApply = [&, i] {
                ++told;
                for (int other = 0; other < 3; ++other) {
                    if (other != i)
                        readers[other].reset();
                }
            };
        }

        // When the key changes
        config.setParam("speed", "3", "motor", true);

        // Then whoever came first was told, and the removed ones were never called
        QCOMPARE(told, 1);
    }

    void readerRegisteredDuringPassWaitsForNextPass()
    {
        Config config;
        Reader first(&config);
        first.getParam("speed", "motor");
        std::unique_ptr<Reader> late;
        first.onApply = [&] {
            if (!late) {
                late = std::make_unique<Reader>(&config);
                late->getParam("speed", "motor");
            }
        };

        config.setParam("speed", "3", "motor", true);
        QCOMPARE(late->calls, 0);

        config.setParam("speed", "4", "motor", true);
        QCOMPARE(late->calls, 1);
    }

    void configurableWithoutNodeUsesGlobal()
    {
        class NodeReader : public Configurable
        {
        public:
            using Configurable::Configurable;
            void applyConfig() override {}
            QString nodeName() const { return node; }
        };
        Config config;
        NodeReader reader(&config);
        QCOMPARE(reader.nodeName(), QString("global"));
        NodeReader detached(nullptr, "motor");
        QCOMPARE(detached.nodeName(), QString("motor"));
    }
};

QTEST_GUILESS_MAIN(TestConfig)
#include "tst_Config.moc"
