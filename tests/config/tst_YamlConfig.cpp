#include "Configurable.h"
#include "TestSupport.h"
#include "YamlConfig.h"

#include <QDir>
#include <QFile>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>

#include <stdexcept>

#include <csignal>
#include <fcntl.h>
#include <linux/fs.h>
#include <sys/ioctl.h>
#include <sys/resource.h>
#include <unistd.h>

using TestSupport::LogCapture;

namespace {

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

class Reader : public Configurable
{
public:
    using Configurable::Configurable;
    void applyConfig() override { ++calls; }
    int calls = 0;
};

// Sets or clears the immutable attribute, which stops even root from renaming a file.
bool setImmutable(const QString& path, bool immutable)
{
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY);
    if (fd < 0)
        return false;
    int flags = 0;
    bool ok = ::ioctl(fd, FS_IOC_GETFLAGS, &flags) == 0;
    if (ok) {
        flags = immutable ? (flags | FS_IMMUTABLE_FL) : (flags & ~FS_IMMUTABLE_FL);
        ok = ::ioctl(fd, FS_IOC_SETFLAGS, &flags) == 0;
    }
    ::close(fd);
    return ok;
}

// Lowers the file-size limit for its lifetime, so that writing more than a few bytes fails
// whatever the process's privileges.
class FileSizeLimit
{
public:
    explicit FileSizeLimit(rlim_t bytes)
    {
        m_previousHandler = std::signal(SIGXFSZ, SIG_IGN);
        ::getrlimit(RLIMIT_FSIZE, &m_previous);
        rlimit limited = m_previous;
        limited.rlim_cur = bytes;
        m_active = ::setrlimit(RLIMIT_FSIZE, &limited) == 0;
    }
    ~FileSizeLimit()
    {
        ::setrlimit(RLIMIT_FSIZE, &m_previous);
        std::signal(SIGXFSZ, m_previousHandler);
    }
    bool isActive() const { return m_active; }

private:
    rlimit m_previous {};
    void (*m_previousHandler)(int) = nullptr;
    bool m_active = false;
};

const QByteArray sampleFile = "motor:\n  Speed: 3\n  limits:\n    max: 10\nname: demo\n";

} // namespace

class TestYamlConfig : public QObject
{
    Q_OBJECT

private:
    QString configPath() const { return m_dir->filePath("config.yaml"); }

    // A store loaded from sampleFile at configPath().
    void loadSample(YamlConfig& config)
    {
        QVERIFY(writeFile(configPath(), sampleFile));
        QCOMPARE(config.parseConfig(configPath(), true), 3);
    }

    // After a failed save: nothing on disk changed, and the change is still there to be saved.
    void verifyNothingLost(YamlConfig& config, const QByteArray& fileBefore, QSignalSpy& changedSpy)
    {
        QCOMPARE(readFile(configPath()), fileBefore);
        QVERIFY(config.isConfigChanged());
        QCOMPARE(changedSpy.count(), 0);
        QCOMPARE(config.getParam("Speed", "motor"), QString("4"));
    }

    std::unique_ptr<QTemporaryDir> m_dir;

private Q_SLOTS:
    void init()
    {
        m_dir = std::make_unique<QTemporaryDir>();
        QVERIFY(m_dir->isValid());
    }

    void namesMatchInAnyCaseAndKeepTheirSpelling()
    {
        YamlConfig config;
        loadSample(config);

        QCOMPARE(config.getParam("speed", "MOTOR"), QString("3"));
        QCOMPARE(config.getParam("MAX", "Motor/Limits"), QString("10"));
        QVERIFY(config.setParam("SPEED", "4", "MoToR", false));
        QVERIFY(config.saveConfig());

        const QByteArray saved = readFile(configPath());
        QVERIFY(saved.contains("motor:"));
        QVERIFY(saved.contains("Speed: 4"));
        QVERIFY(!saved.contains("SPEED"));
    }

    void emptyPathPartsAreOrdinaryNames()
    {
        YamlConfig config;
        QVERIFY(config.setParam("k", "top", "", false));
        QVERIFY(config.setParam("k", "inner", "a//b", false));

        QCOMPARE(config.getNodes().size(), 2);
        QVERIFY(config.getNodes().contains(""));
        QCOMPARE(config.getNodes("a"), QStringList{""});
        QCOMPARE(config.getNodes("a/"), QStringList{"b"});
        QCOMPARE(config.getParam("k", ""), QString("top"));
        QCOMPARE(config.getParam("k", "A//B"), QString("inner"));
        QCOMPARE(config.getParam("k", "a/b", "default"), QString("default"));

        const QString path = configPath();
        config.parseConfig(path, true);
        QVERIFY(config.saveConfig());
        QVERIFY(readFile(path).contains("\"\":"));
    }

    void leafMetMidPathRefusesWithoutChange()
    {
        YamlConfig config;
        loadSample(config);
        LogCapture log;

        QVERIFY(!config.setParam("x", "1", "motor/Speed", false));
        QVERIFY(!config.setParam("x", "1", "motor/Speed/deeper", false));
        QCOMPARE(config.getParam("x", "motor/speed", "d", true), QString("d"));
        QVERIFY(!config.removeNode("motor/Speed"));
        QVERIFY(!config.removeParam("limits", "motor"));
        QVERIFY(!config.renameNode("motor/Speed", "Rate"));

        QVERIFY(log.contains("YamlConfig::setParam() | WARNING invalid path | \"motor/Speed\""));
        QVERIFY(log.contains("YamlConfig::getParam() | WARNING invalid path | \"motor/speed\""));
        QVERIFY(log.contains("YamlConfig::removeNode(QString path) | WARNING invalid path | \"motor/Speed\""));
        QVERIFY(log.contains(
            "YamlConfig::removeParam(QString key, QString path) | WARNING invalid path | \"motor|limits\""));
        QVERIFY(log.contains(
            "YamlConfig::renameNode(QString oldNodePath, QString newNodeName) | WARNING invalid path | \"motor/Speed\""));
        QVERIFY(!config.isConfigChanged());
        QCOMPARE(config.getParams("motor"), QStringList{"Speed"});
        QCOMPARE(config.getNodes("motor"), QStringList{"limits"});
    }

    void emptyKeyIsRefusedBeforeAnythingIsStored()
    {
        YamlConfig config;
        LogCapture log;

        QCOMPARE(config.getParam("", "a/b", "d", true), QString("d"));
        QVERIFY(!config.setParam("", "v", "a", false));

        QVERIFY(log.contains("YamlConfig::getParam() | WARNING key is empty | \"a/b|\""));
        QVERIFY(log.contains("YamlConfig::setParam() | WARNING key is empty |  \"a|\""));
        QVERIFY(config.getNodes().isEmpty());
        QVERIFY(!config.isConfigChanged());
    }

    void storingGetParamCreatesPathOnce()
    {
        YamlConfig config;
        QSignalSpy changedSpy(&config, &Config::configChanged);

        QCOMPARE(config.getParam("k", "a/b", "d", true), QString("d"));
        QCOMPARE(config.getParam("k", "a/b", "other", true), QString("d"));

        QVERIFY(config.isConfigChanged());
        QCOMPARE(config.getNodes("a"), QStringList{"b"});
        QCOMPARE(config.getParams("a/b"), QStringList{"k"});
        QCOMPARE(changedSpy.count(), 0);
    }

    void readingANodeAsKeyGivesDefault()
    {
        YamlConfig config;
        loadSample(config);
        LogCapture log;

        QCOMPARE(config.getParam("limits", "motor", "d"), QString("d"));
        QVERIFY(!config.setParam("limits", "v", "motor", false));

        QVERIFY(log.contains("YamlConfig::getParam() | WARNING invalid path | \"motor\""));
        QVERIFY(log.contains("YamlConfig::setParam() | WARNING invalid path | \"motor\""));
        QCOMPARE(config.getNodes("motor"), QStringList{"limits"});
    }

    void listingBelowALeaf()
    {
        YamlConfig config;
        loadSample(config);
        LogCapture log;

        QVERIFY(config.getNodes("name").isEmpty());
        QVERIFY(config.getParams("motor/Speed").isEmpty());
        QVERIFY(log.messages().isEmpty());

        QVERIFY(config.getNodes("name/x").isEmpty());
        QVERIFY(config.getParams("absent").isEmpty());
        QVERIFY(log.contains("YamlConfig::getNodes(QString path) | WARNING invalid path | \"name/x\""));
        QVERIFY(log.contains("YamlConfig::getParams(QString path) | WARNING invalid path | \"absent\""));
        QVERIFY(!config.getNodes().contains("absent"));
    }

    void renameNodeMovesSubtree()
    {
        YamlConfig config;
        loadSample(config);
        Reader reader(&config);
        reader.getParam("max", "motor/limits");
        config.setParam("max", "11", "motor/limits", false);

        QVERIFY(config.renameNode("motor/limits", "Bounds"));

        QCOMPARE(reader.calls, 1);
        QCOMPARE(config.getParam("max", "motor/bounds"), QString("11"));
        QCOMPARE(config.getNodes("motor"), QStringList{"Bounds"});
        QVERIFY(config.saveConfig());
        QVERIFY(readFile(configPath()).contains("Bounds:"));
    }

    void renameNodeRefusesTakenOrMissingNames()
    {
        YamlConfig config;
        loadSample(config);
        config.setParam("k", "v", "motor/Other", false);
        LogCapture log;

        QVERIFY(!config.renameNode("motor/limits", "OTHER"));
        QVERIFY(!config.renameNode("motor/missing", "fresh"));
        QVERIFY(!config.renameNode("motor/missing", "other"));

        QVERIFY(log.contains("YamlConfig::renameNode(QString oldNodePath, QString newNodeName) | WARNING "
                             "newNodeName already exists | \"motor/limits\""));
        QVERIFY(log.contains("YamlConfig::renameNode(QString oldNodePath, QString newNodeName) | WARNING invalid "
                             "path | \"motor/missing\""));
        QCOMPARE(config.getParam("k", "motor/other"), QString("v"));
        QCOMPARE(config.getParam("max", "motor/limits"), QString("10"));
        QCOMPARE(config.getNodes("motor"), (QStringList{"Other", "limits"}));
    }

    void removeParamAndNode()
    {
        YamlConfig config;
        loadSample(config);
        Reader reader(&config);
        reader.getParam("speed", "motor");
        LogCapture log;

        QVERIFY(!config.removeParam("absent", "motor"));
        QCOMPARE(reader.calls, 0);
        QVERIFY(log.contains("YamlConfig::removeParam(QString key, QString path) | WARNING no such key | \"motor|absent\""));

        QVERIFY(config.removeParam("SPEED", "motor"));
        QCOMPARE(reader.calls, 1);
        QVERIFY(config.removeNode("Motor/Limits"));
        QCOMPARE(reader.calls, 1);
        QVERIFY(config.getNodes("motor").isEmpty());
        QVERIFY(config.getParams("motor").isEmpty());
    }

    void valuesRoundTrip_data()
    {
        QTest::addColumn<QString>("key");
        QTest::addColumn<QString>("value");
        QTest::newRow("empty") << "empty" << "";
        QTest::newRow("null word") << "word" << "null";
        QTest::newRow("tilde") << "tilde" << "~";
        QTest::newRow("capital Null") << "word" << "Null";
        QTest::newRow("boolean") << "flag" << "true";
        QTest::newRow("number") << "number" << "0012";
        QTest::newRow("utf-8") << QString::fromUtf8("schlüssel✓") << QString::fromUtf8("Grüße, мир, 東京 ✓");
        QTest::newRow("leading blank") << "blank" << " padded ";
        QTest::newRow("mapping lookalike") << "colon" << "a: b";
        QTest::newRow("comment lookalike") << "hash" << "# not a comment";
        QTest::newRow("sequence lookalike") << "dash" << "- item";
        QTest::newRow("multi-line") << "lines" << "first\nsecond";
        QTest::newRow("quotes") << "quotes" << "'single' \"double\"";
        QTest::newRow("tilde key") << "~" << "value";
    }

    void valuesRoundTrip()
    {
        QFETCH(QString, key);
        QFETCH(QString, value);

        // Given a loaded file
        YamlConfig config;
        loadSample(config);

        // When a value is set and saved
        QVERIFY(config.setParam(key, "placeholder", "node", false));
        QVERIFY(config.setParam(key, value, "node", false));
        QVERIFY(config.saveConfig());

        // Then a fresh store reads it back exactly, with everything else
        YamlConfig reread;
        QCOMPARE(reread.parseConfig(configPath(), true), 4);
        QCOMPARE(reread.getParams("node"), QStringList{key});
        QCOMPARE(reread.getParam(key, "node", "default"), value);
        QCOMPARE(reread.getParam("max", "motor/limits"), QString("10"));
    }

    void malformedFileThrowsAndKeepsTree_data()
    {
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<QString>("messageFragment");
        QTest::newRow("empty value") << QByteArray("a: 1\nb:\n") << "bad conversion";
        QTest::newRow("tilde value") << QByteArray("a: 1\nb: ~\n") << "bad conversion";
        QTest::newRow("null value") << QByteArray("a: 1\nnested:\n  b: null\n") << "bad conversion";
        QTest::newRow("null key") << QByteArray("a: 1\n~: value\n") << "bad conversion";
        QTest::newRow("sequence value") << QByteArray("a: 1\nb: [1, 2]\n") << "bad conversion";
        QTest::newRow("syntax error") << QByteArray("a: 1\nb: [1, 2\n") << "";
        QTest::newRow("top-level sequence") << QByteArray("- a\n- b\n") << "";
    }

    void malformedFileThrowsAndKeepsTree()
    {
        QFETCH(QByteArray, content);
        QFETCH(QString, messageFragment);
        YamlConfig config;
        loadSample(config);
        config.setParam("name", "changed", "", false);
        const QString badPath = m_dir->filePath("bad.yaml");
        QVERIFY(writeFile(badPath, content));

        bool thrown = false;
        try {
            config.parseConfig(badPath, true);
        } catch (const std::exception& error) {
            thrown = true;
            QVERIFY2(QString(error.what()).contains(messageFragment), error.what());
        }

        QVERIFY(thrown);
        QVERIFY(!config.getNodes().contains("a"));
        QCOMPARE(config.getParam("max", "motor/limits"), QString("10"));
        QCOMPARE(config.getParam("name", ""), QString("changed"));
        QVERIFY(config.isConfigChanged());
    }

    void fileWithoutEntriesLoadsNothing_data()
    {
        QTest::addColumn<QByteArray>("content");
        QTest::newRow("empty") << QByteArray();
        QTest::newRow("scalar") << QByteArray("just text\n");
        QTest::newRow("empty mapping") << QByteArray("{}\n");
    }

    void fileWithoutEntriesLoadsNothing()
    {
        QFETCH(QByteArray, content);
        YamlConfig config;
        QVERIFY(writeFile(configPath(), content));
        QCOMPARE(config.parseConfig(configPath(), true), 0);
        QVERIFY(config.getNodes().isEmpty());
    }

    void secondLoadReplacesNamedEntriesOnly()
    {
        YamlConfig config;
        loadSample(config);
        const QString second = m_dir->filePath("second.yaml");
        QVERIFY(writeFile(second, "MOTOR:\n  torque: 1\nextra: x\n"));

        QCOMPARE(config.parseConfig(second, true), 2);

        QVERIFY(config.getParams("motor").contains("torque"));
        QCOMPARE(config.getParam("speed", "motor", "gone"), QString("gone"));
        QVERIFY(config.getNodes().contains("name"));
        QVERIFY(config.getNodes().contains("MOTOR"));
    }

    void missingFileIsCreatedOnFirstSave()
    {
        YamlConfig config;
        LogCapture log;

        QCOMPARE(config.parseConfig(configPath(), true), 0);
        QVERIFY(log.contains("Config file " + configPath() + " not found! Falling back to default values"));
        config.setParam("k", "v", "a", false);
        QVERIFY(config.saveConfig());

        QCOMPARE(readFile(configPath()), QByteArray("a:\n  k: v"));
    }

    void saveWritesOnlyRealChanges()
    {
        // Given a loaded file
        YamlConfig config;
        loadSample(config);
        QSignalSpy changedSpy(&config, &Config::configChanged);
        QVERIFY(writeFile(configPath(), "marker: untouched\n"));

        // When nothing changed, a value is set to itself, or a change is reverted
        QVERIFY(config.saveConfig());
        config.setParam("Speed", "3", "motor", false);
        QVERIFY(!config.isConfigChanged());
        QVERIFY(config.saveConfig());
        config.setParam("Speed", "5", "motor", false);
        config.setParam("Speed", "3", "motor", false);
        QVERIFY(config.saveConfig());

        // Then the file is never rewritten, nothing is announced, and the flag stays as it was
        QCOMPARE(readFile(configPath()), QByteArray("marker: untouched\n"));
        QCOMPARE(changedSpy.count(), 0);
        QVERIFY(config.isConfigChanged());
    }

    void completedSaveAnnouncesAndTakesSnapshot()
    {
        YamlConfig config;
        loadSample(config);
        QSignalSpy changedSpy(&config, &Config::configChanged);
        config.setParam("b", "2", "z", false);
        config.setParam("A", "1", "z", false);

        QVERIFY(config.saveConfig());

        QCOMPARE(changedSpy.count(), 1);
        QVERIFY(!config.isConfigChanged());
        QCOMPARE(readFile(configPath()),
                 QByteArray("motor:\n  Speed: 3\n  limits:\n    max: 10\nname: demo\nz:\n  A: 1\n  b: 2"));
        QVERIFY(config.saveConfig());
        QCOMPARE(changedSpy.count(), 1);
    }

    void changeLogListsAddedModifiedRemoved()
    {
        YamlConfig config;
        loadSample(config);
        config.setParam("Speed", "4", "motor", false);
        config.setParam("fresh", "yes", "", false);
        config.renameNode("motor/limits", "bounds");
        LogCapture log;

        QVERIFY(config.saveConfig());

        const QStringList expected{"saving yaml because there are changes:",
                                   " parameters added:",
                                   "  /|fresh:yes",
                                   "  /motor/bounds|max:10",
                                   " parameters modified:",
                                   "  /motor|Speed:3 -> 4",
                                   " parameters removed:",
                                   "  /motor/limits|max:10"};
        QCOMPARE(log.messages(QtDebugMsg), expected);
    }

    void dumpPrintsTreeByDepth()
    {
        YamlConfig config;
        config.setParam("k", "v", "a", false);
        LogCapture log;

        config.printDump();

        QCOMPARE(log.messages(QtDebugMsg), (QStringList{"=== === CONFIG === ===", "\"\" :", "\"a\" :",
                                                        "\"-k\" : \"v\"", "=== === === === === ==="}));
        int count = 0;
        config.countKeys(YamlConfig::ConfigNode(), count);
        QCOMPARE(count, 0);
    }

    void backupAtLeastAsLargeReplacesFile()
    {
        // Given a file and two backups, the later one by name as large as the file
        QVERIFY(writeFile(configPath(), "a: 1\n"));
        QVERIFY(writeFile(configPath() + "_240101_120000.backup", "b: 2\nc: 3\n"));
        QVERIFY(writeFile(configPath() + "_240102_120000.BACKUP", "d: 4\n"));
        YamlConfig config;
        LogCapture log;

        // When the store loads
        QCOMPARE(config.parseConfig(configPath()), 1);

        // Then the later backup took the file's place and the file was kept aside
        QVERIFY(log.contains("Found backup file while loading  \"config.yaml\""));
        QCOMPARE(config.getNodes(), QStringList{"d"});
        QCOMPARE(readFile(configPath() + "_corrupted"), QByteArray("a: 1\n"));
        QVERIFY(!QFile::exists(configPath() + "_240102_120000.BACKUP"));
        QVERIFY(QFile::exists(configPath() + "_240101_120000.backup"));
    }

    void smallerBackupOrSkippedCheckLeavesFile()
    {
        QVERIFY(writeFile(configPath(), "a: 1\nb: 2\n"));
        QVERIFY(writeFile(configPath() + "_240101_120000.backup", "c: 3\n"));
        LogCapture log;

        YamlConfig skipped;
        QCOMPARE(skipped.parseConfig(configPath(), true), 2);
        QVERIFY(log.messages().isEmpty());

        YamlConfig checked;
        QCOMPARE(checked.parseConfig(configPath()), 2);
        QVERIFY(log.containsFragment("Found backup file while loading"));
        QVERIFY(QFile::exists(configPath() + "_240101_120000.backup"));
        QVERIFY(!QFile::exists(configPath() + "_corrupted"));
    }

    void backupReplacesMissingFile()
    {
        QVERIFY(writeFile(configPath() + "_240101_120000.backup", "c: 3\n"));
        YamlConfig config;
        QCOMPARE(config.parseConfig(configPath()), 1);
        QVERIFY(!QFile::exists(configPath() + "_corrupted"));
    }

    void recoveryThatCannotMoveFileAsideKeepsIt()
    {
        QVERIFY(writeFile(configPath(), "a: 1\n"));
        QVERIFY(writeFile(configPath() + "_corrupted", "older: 0\n"));
        QVERIFY(writeFile(configPath() + "_240101_120000.backup", "c: 3\nd: 4\n"));
        YamlConfig config;

        QCOMPARE(config.parseConfig(configPath()), 1);

        QCOMPARE(readFile(configPath()), QByteArray("a: 1\n"));
        QCOMPARE(readFile(configPath() + "_corrupted"), QByteArray("older: 0\n"));
        QVERIFY(QFile::exists(configPath() + "_240101_120000.backup"));
    }

    void recoveryThatCannotPlaceBackupPutsFileBack()
    {
        // Given a backup that cannot be renamed
        const QString backup = configPath() + "_240101_120000.backup";
        QVERIFY(writeFile(configPath(), "a: 1\n"));
        QVERIFY(writeFile(backup, "c: 3\nd: 4\n"));
        if (!setImmutable(backup, true))
            QSKIP("The file system or the process's privileges do not allow immutable files");

        // When the store loads
        YamlConfig config;
        LogCapture log;
        const int leafCount = config.parseConfig(configPath());
        setImmutable(backup, false);

        // Then the file it moved aside is back in place and loaded
        QCOMPARE(leafCount, 1);
        QCOMPARE(readFile(configPath()), QByteArray("a: 1\n"));
        QVERIFY(!QFile::exists(configPath() + "_corrupted"));
        QVERIFY(log.containsFragment("WARNING cannot restore the backup"));
    }

    void saveIntoMissingDirectoryFails()
    {
        YamlConfig config;
        const QString path = m_dir->filePath("missing/config.yaml");
        config.parseConfig(path, true);
        config.setParam("Speed", "4", "motor", false);
        QSignalSpy changedSpy(&config, &Config::configChanged);
        LogCapture log;

        QVERIFY(!config.saveConfig());

        QVERIFY(log.containsFragment("YamlConfig::saveConfig() | ERROR cannot open file |"));
        QCOMPARE(log.messages(QtCriticalMsg).size(), 1);
        QVERIFY(!QFile::exists(path));
        verifyNothingLost(config, readFile(configPath()), changedSpy);

        QVERIFY(QDir(m_dir->path()).mkdir("missing"));
        QVERIFY(config.saveConfig());
        QVERIFY(readFile(path).contains("Speed: 4"));
    }

    void saveWhenDirectoryBecameAFileFails()
    {
        // Given a store loaded from a directory that is then replaced by a plain file
        const QString directory = m_dir->filePath("settings");
        QVERIFY(QDir(m_dir->path()).mkdir("settings"));
        const QString path = directory + "/config.yaml";
        QVERIFY(writeFile(path, sampleFile));
        YamlConfig config;
        config.parseConfig(path, true);
        config.setParam("Speed", "4", "motor", false);
        QVERIFY(QFile::rename(directory, directory + ".moved"));
        QVERIFY(writeFile(directory, "not a directory"));
        QSignalSpy changedSpy(&config, &Config::configChanged);
        LogCapture log;

        // When it saves
        const bool saved = config.saveConfig();

        // Then it reports failure and loses nothing
        QVERIFY(!saved);
        QVERIFY(log.containsFragment("YamlConfig::saveConfig() | ERROR cannot open file |"));
        QCOMPARE(readFile(directory), QByteArray("not a directory"));
        QCOMPARE(readFile(directory + ".moved/config.yaml"), sampleFile);
        QVERIFY(config.isConfigChanged());
        QCOMPARE(changedSpy.count(), 0);

        QVERIFY(QFile::remove(directory));
        QVERIFY(QFile::rename(directory + ".moved", directory));
        QVERIFY(config.saveConfig());
        QVERIFY(readFile(path).contains("Speed: 4"));
    }

    void saveThatCannotWriteKeepsOldFile()
    {
        YamlConfig config;
        loadSample(config);
        config.setParam("Speed", "4", "motor", false);
        config.setParam("padding", QString(200, 'x'), "motor", false);
        QSignalSpy changedSpy(&config, &Config::configChanged);
        LogCapture log;

        bool saved = true;
        {
            FileSizeLimit limit(16);
            if (!limit.isActive())
                QSKIP("The file-size limit cannot be lowered here");
            saved = config.saveConfig();
        }

        QVERIFY(!saved);
        QVERIFY(log.containsFragment("YamlConfig::saveConfig() | ERROR cannot"));
        verifyNothingLost(config, sampleFile, changedSpy);
        QCOMPARE(QDir(m_dir->path()).entryList(QDir::Files), QStringList{"config.yaml"});
        QVERIFY(config.saveConfig());
        QVERIFY(readFile(configPath()).contains("Speed: 4"));
    }

    void saveOverDirectoryFails()
    {
        YamlConfig config;
        loadSample(config);
        config.setParam("Speed", "4", "motor", false);
        QVERIFY(QFile::rename(configPath(), configPath() + ".kept"));
        QVERIFY(QDir(m_dir->path()).mkdir("config.yaml"));
        QSignalSpy changedSpy(&config, &Config::configChanged);
        LogCapture log;

        QVERIFY(!config.saveConfig());

        QVERIFY(QFileInfo(configPath()).isDir());
        QCOMPARE(log.messages(QtCriticalMsg).size() + log.messages(QtWarningMsg).size(), 1);
        QVERIFY(config.isConfigChanged());
        QCOMPARE(changedSpy.count(), 0);
    }

    void unwritableFileIsRefusedWithWarning()
    {
        // A file even root cannot write: sysctl texts are read-only by their own rules.
        const QString readOnlyFile = "/proc/sys/kernel/osrelease";
        if (!QFileInfo::exists(readOnlyFile) || QFileInfo(readOnlyFile).isWritable())
            QSKIP("No file here that the process cannot write");
        const QByteArray before = readFile(readOnlyFile);
        YamlConfig config;
        QCOMPARE(config.parseConfig(readOnlyFile, true), 0);
        config.setParam("Speed", "4", "motor", false);
        QSignalSpy changedSpy(&config, &Config::configChanged);
        LogCapture log;

        QVERIFY(!config.saveConfig());

        QVERIFY(log.contains("YamlConfig::saveConfig() | WARNING file is not writable | \"" + readOnlyFile + "\""));
        QCOMPARE(readFile(readOnlyFile), before);
        QVERIFY(config.isConfigChanged());
        QCOMPARE(changedSpy.count(), 0);

        config.parseConfig(configPath(), true);
        QVERIFY(config.saveConfig());
        QVERIFY(readFile(configPath()).contains("Speed: 4"));
    }

    void textThatDoesNotReadBackIsNeverCommitted()
    {
        // Given a value the file cannot hold: reading stops at a NUL character
        YamlConfig config;
        loadSample(config);
        config.setParam("Speed", "4", "motor", false);
        config.setParam("broken", QString::fromUtf8("before\0after", 12), "motor", false);
        QSignalSpy changedSpy(&config, &Config::configChanged);
        LogCapture log;

        // When it saves
        QVERIFY(!config.saveConfig());

        // Then the old file stays and the change is kept for a later save
        QVERIFY(log.contains("YAML configuration file corrupted! Saving aborted."));
        verifyNothingLost(config, sampleFile, changedSpy);
        config.setParam("broken", "fixed", "motor", false);
        QVERIFY(config.saveConfig());
        QVERIFY(readFile(configPath()).contains("broken: fixed"));
    }

    void processWideInstanceIsTheLibrarys()
    {
        YamlConfig* instance = Singleton<YamlConfig>::instance();
        QVERIFY(instance);
        QCOMPARE(Singleton<YamlConfig>::instance(), instance);
        QVERIFY(!instance->parent());
        QVERIFY(Singleton<YamlConfig>::mutex);
    }
};

QTEST_GUILESS_MAIN(TestYamlConfig)
#include "tst_YamlConfig.moc"
