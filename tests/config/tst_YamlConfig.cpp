#include "TestSupport.h"
#include "YamlConfig.h"

#include <QDir>
#include <QFile>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>

#include <csignal>
#include <fcntl.h>
#include <linux/fs.h>
#include <memory>
#include <stdexcept>
#include <sys/ioctl.h>
#include <sys/resource.h>
#include <unistd.h>

using TestSupport::LogCapture;

namespace {

const QByteArray sampleFile = "motor:\n  Speed: 3\n  limits:\n    max: 10\nname: demo\n";

bool writeFile(const QString& path, const QByteArray& content)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(content) == content.size();
}

QByteArray readFile(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// Sets or clears the immutable attribute, which stops even root from renaming a file.
bool setImmutable(const QString& path, bool immutable)
{
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY);
    int flags = 0;
    bool ok = fd >= 0 && ::ioctl(fd, FS_IOC_GETFLAGS, &flags) == 0;
    flags = immutable ? (flags | FS_IMMUTABLE_FL) : (flags & ~FS_IMMUTABLE_FL);
    ok = ok && ::ioctl(fd, FS_IOC_SETFLAGS, &flags) == 0;
    if (fd >= 0)
        ::close(fd);
    return ok;
}

// Lowers the file-size limit while it lives: writing more than a few bytes then fails
// whatever the process's privileges.
struct FileSizeLimit
{
    explicit FileSizeLimit(rlim_t bytes)
    {
        std::signal(SIGXFSZ, SIG_IGN);
        ::getrlimit(RLIMIT_FSIZE, &previous);
        rlimit limited = previous;
        limited.rlim_cur = bytes;
        active = ::setrlimit(RLIMIT_FSIZE, &limited) == 0;
    }
    ~FileSizeLimit() { ::setrlimit(RLIMIT_FSIZE, &previous); }

    rlimit previous {};
    bool active = false;
};

enum class Breakage { DirectoryBecameFile, WriteFails, TextUnreadable, FileUnwritable };

} // namespace

Q_DECLARE_METATYPE(Breakage)

class TestYamlConfig : public QObject
{
    Q_OBJECT

private:
    QString configPath() const { return m_dir->filePath("config.yaml"); }

    void loadSample(YamlConfig& config)
    {
        QVERIFY(writeFile(configPath(), sampleFile));
        QCOMPARE(config.parseConfig(configPath(), true), 3);
    }

    std::unique_ptr<QTemporaryDir> m_dir;

private Q_SLOTS:
    void init()
    {
        m_dir = std::make_unique<QTemporaryDir>();
        QVERIFY(m_dir->isValid());
    }

    void pathsMatchInAnyCaseAndKeepEmptyParts()
    {
        YamlConfig config;
        loadSample(config);

        QCOMPARE(config.getParam("MAX", "Motor/LIMITS"), QString("10"));
        QVERIFY(config.setParam("SPEED", "4", "MoToR", false));
        QVERIFY(config.setParam("k", "top", "", false));
        QVERIFY(config.setParam("k", "inner", "a//b", false));

        QCOMPARE(config.getNodes("a"), QStringList{""});
        QCOMPARE(config.getParam("k", "A//B"), QString("inner"));
        QCOMPARE(config.getParam("k", "a/b", "default"), QString("default"));
        QVERIFY(config.saveConfig());
        const QByteArray saved = readFile(configPath());
        QVERIFY(saved.startsWith("\"\":\n  k: top\na:\n  \"\":\n    b:\n      k: inner\nmotor:\n  Speed: 4\n"));
    }

    void leafMetMidPathRefusesWithoutChange()
    {
        YamlConfig config;
        loadSample(config);
        LogCapture log;

        QVERIFY(!config.setParam("x", "1", "motor/Speed/deeper", false));
        QCOMPARE(config.getParam("x", "motor/speed", "d", true), QString("d"));
        QCOMPARE(config.getParam("limits", "motor", "d"), QString("d"));
        QVERIFY(!config.removeNode("motor/Speed"));
        QVERIFY(!config.removeParam("limits", "motor"));
        QVERIFY(!config.renameNode("motor/Speed", "Rate"));
        QVERIFY(config.getNodes("name").isEmpty());
        QVERIFY(config.getNodes("name/x").isEmpty());

        QCOMPARE(log.messages(), (QStringList{
            "YamlConfig::setParam() | WARNING invalid path | \"motor/Speed/deeper\"",
            "YamlConfig::getParam() | WARNING invalid path | \"motor/speed\"",
            "YamlConfig::getParam() | WARNING invalid path | \"motor\"",
            "YamlConfig::removeNode(QString path) | WARNING invalid path | \"motor/Speed\"",
            "YamlConfig::removeParam(QString key, QString path) | WARNING invalid path | \"motor|limits\"",
            "YamlConfig::renameNode(QString oldNodePath, QString newNodeName) | WARNING invalid path | \"motor/Speed\"",
            "YamlConfig::getNodes(QString path) | WARNING invalid path | \"name/x\""}));
        QVERIFY(!config.isConfigChanged());
        QCOMPARE(config.getParams("motor"), QStringList{"Speed"});
    }

    void valuesRoundTrip_data()
    {
        QTest::addColumn<QString>("key");
        QTest::addColumn<QString>("value");
        QTest::newRow("empty") << "empty" << "";
        QTest::newRow("null word") << "word" << "null";
        QTest::newRow("tilde") << "tilde" << "~";
        QTest::newRow("number") << "number" << "0012";
        QTest::newRow("utf-8") << QString::fromUtf8("schlüssel✓") << QString::fromUtf8("Grüße, мир, 東京 ✓");
        QTest::newRow("blanks") << "blank" << " padded ";
        QTest::newRow("mapping lookalike") << "colon" << "a: b";
        QTest::newRow("multi-line") << "lines" << "first\nsecond";
        QTest::newRow("tilde key") << "~" << "value";
    }

    void valuesRoundTrip()
    {
        QFETCH(QString, key);
        QFETCH(QString, value);
        YamlConfig config;
        loadSample(config);

        QVERIFY(config.setParam(key, "placeholder", "node", false));
        QVERIFY(config.setParam(key, value, "node", false));
        QVERIFY(config.saveConfig());

        YamlConfig reread;
        QCOMPARE(reread.parseConfig(configPath(), true), 4);
        QCOMPARE(reread.getParams("node"), QStringList{key});
        QCOMPARE(reread.getParam(key, "node", "default"), value);
    }

    void malformedFileThrowsAndKeepsTree_data()
    {
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<QString>("message");
        QTest::newRow("empty value") << QByteArray("a: 1\nb:\n") << "bad conversion";
        QTest::newRow("nested null") << QByteArray("a: 1\nmotor:\n  b: null\n") << "bad conversion";
        QTest::newRow("null key") << QByteArray("a: 1\n~: value\n") << "bad conversion";
        QTest::newRow("sequence value") << QByteArray("a: 1\nb: [1, 2]\n") << "bad conversion";
        QTest::newRow("syntax error") << QByteArray("a: 1\nb: [1, 2\n") << "";
        QTest::newRow("top-level sequence") << QByteArray("- a\n- b\n") << "";
    }

    void malformedFileThrowsAndKeepsTree()
    {
        QFETCH(QByteArray, content);
        QFETCH(QString, message);
        YamlConfig config;
        loadSample(config);
        config.setParam("Speed", "4", "motor", false);
        QVERIFY(writeFile(configPath(), content));

        QString thrown;
        try {
            config.parseConfig(configPath(), true);
        } catch (const std::exception& error) {
            thrown = QString::fromUtf8(error.what());
        }

        QVERIFY(!thrown.isEmpty());
        QVERIFY2(thrown.contains(message), qPrintable(thrown));
        QCOMPARE(config.getNodes().size(), 2);
        QCOMPARE(config.getParam("Speed", "motor"), QString("4"));
        QCOMPARE(config.getParam("max", "motor/limits"), QString("10"));
        QVERIFY(config.isConfigChanged());
    }

    void loadingKeepsEntriesTheFileDoesNotName()
    {
        YamlConfig config;
        loadSample(config);
        const QString second = m_dir->filePath("second.yaml");
        QVERIFY(writeFile(second, "MOTOR:\n  torque: 1\nextra: x\n"));

        QCOMPARE(config.parseConfig(second, true), 2);
        QCOMPARE(config.getParams("motor"), QStringList{"torque"});
        QCOMPARE(config.getNodes().size(), 3);

        QVERIFY(writeFile(second, "just a scalar\n"));
        QCOMPARE(config.parseConfig(second, true), 0);
        QCOMPARE(config.getNodes().size(), 3);
    }

    void missingFileIsCreatedFromStoredDefaults()
    {
        YamlConfig config;
        LogCapture log;
        QCOMPARE(config.parseConfig(configPath(), true), 0);
        QVERIFY(log.contains("Config file " + configPath() + " not found! Falling back to default values"));

        QCOMPARE(config.getParam("", "a/b", "d", true), QString("d"));
        QVERIFY(log.contains("YamlConfig::getParam() | WARNING key is empty | \"a/b|\""));
        QVERIFY(!config.isConfigChanged());
        QCOMPARE(config.getParam("k", "a/b", "d", true), QString("d"));
        QCOMPARE(config.getParam("k", "a/b", "other", true), QString("d"));
        QVERIFY(config.isConfigChanged());

        QVERIFY(config.saveConfig());
        QCOMPARE(readFile(configPath()), QByteArray("a:\n  b:\n    k: d"));
    }

    void saveWritesOnlyRealChangesAndAnnouncesThem()
    {
        // Given a loaded store whose file is then replaced behind its back
        YamlConfig config;
        loadSample(config);
        QSignalSpy changedSpy(&config, &Config::configChanged);
        QVERIFY(writeFile(configPath(), "marker: untouched\n"));

        // When nothing changed, a value is set to itself, or a change is reverted
        QVERIFY(config.saveConfig());
        config.setParam("Speed", "3", "motor", false);
        QVERIFY(!config.isConfigChanged());
        config.setParam("Speed", "5", "motor", false);
        config.setParam("Speed", "3", "motor", false);
        QVERIFY(config.saveConfig());

        // Then the file is never rewritten, nothing is announced, and the flag stays set
        QCOMPARE(readFile(configPath()), QByteArray("marker: untouched\n"));
        QCOMPARE(changedSpy.count(), 0);
        QVERIFY(config.isConfigChanged());

        // A real change is written once, announced once, and clears the flag
        config.setParam("b", "2", "z", false);
        QVERIFY(config.saveConfig());
        QVERIFY(config.saveConfig());
        QCOMPARE(changedSpy.count(), 1);
        QVERIFY(!config.isConfigChanged());
        QVERIFY(readFile(configPath()).endsWith("name: demo\nz:\n  b: 2"));

        // A change made while a save is announced stays pending for the next save
        connect(&config, &Config::configChanged, &config, [&config] { config.setParam("late", "1", "z", false); });
        config.setParam("b", "3", "z", false);
        QVERIFY(config.saveConfig());
        QVERIFY(config.isConfigChanged());
        QVERIFY(config.saveConfig());
        QVERIFY(readFile(configPath()).endsWith("z:\n  b: 3\n  late: 1"));
    }

    void changeLogListsAddedModifiedRemoved()
    {
        YamlConfig config;
        loadSample(config);
        config.setParam("Speed", "4", "motor", false);
        config.setParam("fresh", "yes", "", false);
        QVERIFY(!config.renameNode("motor/limits", "SPEED"));
        QVERIFY(config.renameNode("motor/limits", "bounds"));
        LogCapture log;

        QVERIFY(config.saveConfig());

        QCOMPARE(log.messages(QtDebugMsg),
                 (QStringList{"saving yaml because there are changes:", " parameters added:", "  /|fresh:yes",
                              "  /motor/bounds|max:10", " parameters modified:", "  /motor|Speed:3 -> 4",
                              " parameters removed:", "  /motor/limits|max:10"}));
    }

    void lastBackupReplacesFileWhenAtLeastAsLarge_data()
    {
        QTest::addColumn<QByteArray>("lastBackup");
        QTest::addColumn<bool>("skipBackupCheck");
        QTest::addColumn<QStringList>("expectedNodes");
        QTest::newRow("as large") << QByteArray("c: 3\nd: 4\n") << false << QStringList{"c", "d"};
        QTest::newRow("smaller") << QByteArray("c: 3\n") << false << QStringList{"a", "b"};
        QTest::newRow("check skipped") << QByteArray("c: 3\nd: 4\n") << true << QStringList{"a", "b"};
    }

    void lastBackupReplacesFileWhenAtLeastAsLarge()
    {
        QFETCH(QByteArray, lastBackup);
        QFETCH(bool, skipBackupCheck);
        QFETCH(QStringList, expectedNodes);
        // Given a file and two backups, the larger one first by name
        const QByteArray fileContent = "a: 1\nb: 2\n";
        QVERIFY(writeFile(configPath(), fileContent));
        QVERIFY(writeFile(configPath() + "_240101_120000.backup", "x: 1\ny: 2\nz: 3\n"));
        QVERIFY(writeFile(configPath() + "_240102_120000.BACKUP", lastBackup));
        YamlConfig config;
        LogCapture log;

        // When the store loads
        config.parseConfig(configPath(), skipBackupCheck);

        // Then only the last backup may have taken the file's place, the file kept aside
        QStringList nodes = config.getNodes();
        nodes.sort();
        QCOMPARE(nodes, expectedNodes);
        QCOMPARE(log.contains("Found backup file while loading  \"config.yaml\""), !skipBackupCheck);
        const bool replaced = expectedNodes.first() == "c";
        QCOMPARE(readFile(configPath() + "_corrupted"), replaced ? fileContent : QByteArray());
        QVERIFY(QFile::exists(configPath() + "_240101_120000.backup"));
    }

    void failedRecoveryKeepsTheFile()
    {
        // Given a backup that cannot be renamed, and one whose file cannot be moved aside
        const QString backup = configPath() + "_240101_120000.backup";
        QVERIFY(writeFile(configPath(), "a: 1\n"));
        QVERIFY(writeFile(backup, "c: 3\nd: 4\n"));
        QVERIFY(writeFile(configPath() + "_corrupted", "older: 0\n"));

        // When the store loads, the file stays and the earlier one kept aside is not overwritten
        QCOMPARE(YamlConfig().parseConfig(configPath()), 1);
        QCOMPARE(readFile(configPath() + "_corrupted"), QByteArray("older: 0\n"));

        QVERIFY(QFile::remove(configPath() + "_corrupted"));
        if (!setImmutable(backup, true))
            QSKIP("The file system or the process's privileges do not allow immutable files");
        const int leafCount = YamlConfig().parseConfig(configPath());
        setImmutable(backup, false);

        // Then the file moved aside for the backup is put back and loaded
        QCOMPARE(leafCount, 1);
        QCOMPARE(readFile(configPath()), QByteArray("a: 1\n"));
        QVERIFY(!QFile::exists(configPath() + "_corrupted"));
    }

    void failedSaveLosesNothing_data()
    {
        QTest::addColumn<Breakage>("breakage");
        QTest::addColumn<QString>("logged");
        QTest::newRow("directory became a file") << Breakage::DirectoryBecameFile << "ERROR cannot open file";
        QTest::newRow("write fails") << Breakage::WriteFails << "ERROR cannot write file";
        QTest::newRow("text does not read back") << Breakage::TextUnreadable
                                                 << "YAML configuration file corrupted! Saving aborted.";
        QTest::newRow("file not writable") << Breakage::FileUnwritable << "WARNING file is not writable";
    }

    void failedSaveLosesNothing()
    {
        QFETCH(Breakage, breakage);
        QFETCH(QString, logged);

        // Given a loaded store with a change pending, and something in the way of saving it
        YamlConfig config;
        loadSample(config);
        config.setParam("Speed", "4", "motor", false);
        QString savedPath = configPath();
        std::function<void()> repair = [] {};
        std::unique_ptr<FileSizeLimit> limit;
        const QString directory = m_dir->path();
        switch (breakage) {
        case Breakage::DirectoryBecameFile:
            // Root writes into read-only directories; a directory that is not there stops it.
            QVERIFY(QFile::rename(directory, directory + ".moved"));
            QVERIFY(writeFile(directory, "not a directory"));
            repair = [&] { QFile::remove(directory) && QFile::rename(directory + ".moved", directory); };
            break;
        case Breakage::WriteFails:
            limit = std::make_unique<FileSizeLimit>(16);
            if (!limit->active)
                QSKIP("The file-size limit cannot be lowered here");
            break;
        case Breakage::TextUnreadable:
            // The file's text ends at a NUL character, so this value cannot be read back.
            config.setParam("broken", QString::fromUtf8("before\0after", 12), "motor", false);
            repair = [&] { config.setParam("broken", "fixed", "motor", false); };
            break;
        case Breakage::FileUnwritable: {
            // Even root cannot write a sysctl text that is read-only by its own rules.
            const QString readOnlyFile = "/proc/sys/kernel/osrelease";
            if (!QFileInfo::exists(readOnlyFile) || QFileInfo(readOnlyFile).isWritable())
                QSKIP("No file here that the process cannot write");
            config.parseConfig(readOnlyFile, true);
            config.setParam("extra", "1", "motor", false);
            savedPath = m_dir->filePath("elsewhere.yaml");
            repair = [&] { config.parseConfig(savedPath, true); };
            break;
        }
        }
        QSignalSpy changedSpy(&config, &Config::configChanged);
        LogCapture log;

        // When it saves
        const bool saved = config.saveConfig();
        limit.reset();

        // Then it says so, and keeps the old file and the pending change
        QVERIFY(!saved);
        QVERIFY2(log.containsFragment(logged), qPrintable(log.messages().join('\n')));
        QVERIFY(config.isConfigChanged());
        QCOMPARE(changedSpy.count(), 0);
        repair();
        QCOMPARE(readFile(configPath()), sampleFile);
        QCOMPARE(QDir(directory).entryList(QDir::Files), QStringList{"config.yaml"});
        QVERIFY(config.saveConfig());
        QVERIFY(readFile(savedPath).contains("Speed: 4"));
    }
};

QTEST_GUILESS_MAIN(TestYamlConfig)
#include "tst_YamlConfig.moc"
