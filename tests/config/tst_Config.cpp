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
    void readerIsToldOncePerPassOfChangesItRead()
    {
        Config config;
        Reader reader(&config);
        reader.getParam("Torque", "Motor");

        // Values set to what they are and other nodes tell nobody
        config.setParam("speed", "", "motor", true);
        config.setParam("speed", "3", "pump", true);
        QCOMPARE(reader.calls, 0);

        // Both its keys changed, spelled differently, and applied once tell it once
        config.setParam("SPEED", "3", "Motor", false);
        config.setParam("torque", "5", "Motor", false);
        config.applyConfig();
        QCOMPARE(reader.calls, 1);
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
