#include "OutsideTextReaders.h"
#include "TestSupport.h"
#include "YamlConfig.h"

#include <QDir>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>

#include <fcntl.h>
#include <linux/fs.h>
#include <memory>
#include <sys/ioctl.h>
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

// The immutable attribute stops even root from renaming a file.
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

QByteArray nested(int depth)
{
    QByteArray text;
    for (int level = 0; level < depth - 1; ++level)
        text += QByteArray(2 * level, ' ') + "n" + QByteArray::number(level) + ":\n";
    return text + QByteArray(2 * (depth - 1), ' ') + "leaf: 1\n";
}

// An anchored value of valueBytes bytes, and count aliases that repeat it.
QByteArray repeatedValue(int valueBytes, int count)
{
    QByteArray text = "value: &v " + QByteArray(valueBytes, 'x') + "\n";
    for (int alias = 0; alias < count; ++alias)
        text += "copy" + QByteArray::number(alias) + ": *v\n";
    return text;
}

// A %TAG prefix of prefixBytes bytes that every entry's tag repeats, about bytes long in all.
QByteArray repeatedTagPrefix(int prefixBytes, int bytes)
{
    QByteArray text = "%TAG !e! tag:" + QByteArray(prefixBytes, 'p') + "\n---\n";
    for (int entry = 0; text.size() < bytes; ++entry)
        text += "k" + QByteArray::number(entry) + ": !e!x v\n";
    return text;
}

enum class Breakage { DirectoryBecameFile, WriteFails, FileUnwritable };

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

    void pathsMatchInAnyCaseKeepEmptyPartsAndStopAtLeaves()
    {
        YamlConfig config;
        loadSample(config);
        LogCapture log;
        QVERIFY(!config.setParam("x", "1", "motor/Speed/deeper", false));
        QVERIFY(log.contains("YamlConfig::setParam() | WARNING invalid path | \"motor/Speed/deeper\""));
        QVERIFY(!config.isConfigChanged());

        // Names match in any case, and empty parts of a path are nodes of their own
        QCOMPARE(config.getParam("MAX", "Motor/LIMITS"), QString("10"));
        QVERIFY(config.setParam("SPEED", "4", "MoToR", false));
        QVERIFY(config.setParam("k", "top", "", false));
        QVERIFY(config.setParam("k", "inner", "a//b", false));
        QCOMPARE(config.getParam("k", "a/b", "default"), QString("default"));
        QVERIFY(config.saveConfig());
        QVERIFY(readFile(configPath()).startsWith("\"\":\n  k: top\na:\n  \"\":\n    b:\n      k: inner\nmotor:\n  Speed: 4\n"));
    }

    void textsRoundTripAsFarAsTheFileHoldsThem_data()
    {
        QTest::addColumn<QString>("key");
        QTest::addColumn<QString>("value");
        QTest::addColumn<QString>("storedKey");
        QTest::addColumn<QString>("storedValue");
        const QString bom(QChar(0xFEFF));
        const QString loneSurrogate(QChar(0xD800));
        // Texts that YAML would read otherwise unless quoted come back as they were
        const std::pair<const char*, const char*> kept[] = {{"empty", ""}, {"null word", "null"}, {"colon", "a: b"},
                                                           {"two lines", "first\nsecond"}, {"blanks around", " padded "}};
        for (const auto& [name, text] : kept)
            QTest::newRow(name) << "k" << text << "k" << text;
        QTest::newRow("NUL ends the text") << "k" << QString::fromUtf8("before\0after", 12) << "k" << "before";
        QTest::newRow("lone surrogate") << "k" << "a" + loneSurrogate + "b" << "k" << "ab";
        QTest::newRow("noncharacter value") << "k" << "a" + QString(QChar(0xFDD0)) + "b" << "k" << "a\uFFFDb";
        QTest::newRow("noncharacter key") << "k" + QString(QChar(0xFFFF)) << "v" << "k\uFFFD" << "v";
        // Escaped, these read back as they were.
        QTest::newRow("leading byte-order mark") << "k" << bom + bom + "text" << "k" << bom + bom + "text";
        QTest::newRow("line separator, DEL") << "k" << "a\u2028b\x7f" << "k" << "a\u2028b\x7f";
        // A file holding d: "\r" loaded and could then never be saved.
        QTest::newRow("carriage return") << "k" << "\r" << "k" << "\r";
        QTest::newRow("trailing carriage return") << "k" << "line\r" << "k" << "line\r";
    }

    void textsRoundTripAsFarAsTheFileHoldsThem()
    {
        QFETCH(QString, key);
        QFETCH(QString, value);
        QFETCH(QString, storedKey);
        QFETCH(QString, storedValue);
        // Given a change to an ordinary value and a text the file may or may not hold as it is
        YamlConfig config;
        loadSample(config);
        config.setParam("Speed", "4", "motor", false);
        config.setParam(key, value, "motor", false);
        LogCapture log;

        // When the store is saved
        QVERIFY(config.saveConfig());

        // Then everything is saved, the odd text as far as the file holds it, with a warning when it had to change
        const bool altered = storedKey != key || storedValue != value;
        const QString warning = "YamlConfig::saveConfig() | WARNING value cannot be stored exactly, stored as far as "
                                "it can be | \"/motor|";
        QCOMPARE(log.containsFragment(warning), altered);
        YamlConfig reread;
        QCOMPARE(reread.parseConfig(configPath(), true), 4);
        QCOMPARE(reread.getParam("Speed", "motor"), QString("4"));
        QCOMPARE(reread.getParam(storedKey, "motor", "missing"), storedValue);
    }

    void malformedFileThrowsAndKeepsTree_data()
    {
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<QString>("message");
        const QString format = QStringLiteral("; the configuration holds mappings of texts");
        QTest::newRow("empty value") << QByteArray("a: 1\nb:\n") << "line 2, column 3: found an empty value";
        QTest::newRow("syntax error") << QByteArray("a: 1\nb: [1, 2\n") << "";
        QTest::newRow("sequence value") << QByteArray("a: 1\nb: [1]\n") << "line 2, column 4: found a list" + format;
        QTest::newRow("key that is not text") << QByteArray("a: 1\n? {b: 2}\n: c\n")
                                              << "line 2, column 3: found a key that is not text" + format;
        QTest::newRow("empty key") << QByteArray("a: 1\n? \n: c\n") << "found an empty key" + format;
        // Each of these once loaded as an empty store, and the next save wrote over the file.
        const QString text = QStringLiteral("line 1, column 1: found a text where the top-level mapping belongs") + format;
        QTest::newRow("a colon forgotten") << QByteArray("speed 3\n") << text;
        QTest::newRow("a quoted text") << QByteArray("\"text\"\n") << text;
        QTest::newRow("a literal block") << QByteArray("--- |\n  motor: 3\n") << "line 1, column 5: found a text";
        QTest::newRow("an empty list") << QByteArray("[]\n") << "line 1, column 1: found a list" + format;
        QTest::newRow("a list") << QByteArray("- motor: 3\n") << "line 1, column 1: found a list" + format;
        QTest::newRow("a second document") << QByteArray("motor: 1\n---\nlamp: 2\n")
                                           << "line 3, column 1: found a second document; the configuration holds "
                                              "one document, a mapping of texts";
        QTest::newRow("a text after an empty document") << QByteArray("motor: 1\n---\n---\nlamp\n")
                                                        << "line 4, column 1: found a second document";
        QTest::newRow("alias to its own mapping") << QByteArray("a: &x\n  b: *x\n") << "repeats a node that holds it";
        QTest::newRow("65 levels") << nested(65) << "nesting deeper than 64 levels";
        // A few lines may not stand for more values and mappings than a text of some size holds.
        QTest::newRow("aliases to aliases") << OutsideTextReaders::aliasLevels("{a: 1, b: 1, c: 1, d: 1, e: 1}", 10, 8)
                                            << "more than 16799 nodes for a text of 831 bytes";
        QTest::newRow("empty mappings by alias") << OutsideTextReaders::aliasLevels("{}", 2, 40) << "more than";
        QTest::newRow("larger than 16 MiB") << QByteArray((16 << 20) + 1, '#') << "larger than 16777216 bytes";
        // 30 KB that stood for 21 MB, saved, and was then refused at every start.
        QTest::newRow("30 KB of aliases") << repeatedValue(8192, 2200) << "stand for more than";
        // Within what aliases may stand for, but larger than a file may be once written.
        QTest::newRow("2 MiB of aliases") << repeatedValue(2 << 20, 8)
                                          << "line 8, column 8: found entries that take more than 16777216 bytes once "
                                             "written; a configuration file holds no more";
        // Each entry's tag once took its own copy of the prefix: 1 MiB took 8 GB.
        QTest::newRow("a long %TAG prefix on every entry") << repeatedTagPrefix(512 << 10, 1 << 20)
                                                           << "stand for more than";
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

        QVERIFY2(!thrown.isEmpty() && thrown.contains(message), qPrintable(thrown));
        QCOMPARE(config.getNodes(), (QStringList{"motor", "name"}));
        QCOMPARE(config.getParam("Speed", "motor"), QString("4"));
        QVERIFY(config.isConfigChanged());
    }

    // A file that holds no entry is an empty configuration: nothing in it is lost by a save.
    void filesThatLoadLoseNothingAtTheNextSave_data()
    {
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<int>("leaves");
        QTest::newRow("empty file") << QByteArray() << 0;
        QTest::newRow("comments only") << QByteArray("# motor: 3\n") << 0;
        QTest::newRow("--- alone") << QByteArray("---\n") << 0;
        QTest::newRow("~") << QByteArray("~\n") << 0;
        QTest::newRow("empty documents after the mapping") << QByteArray("motor: 1\n---\n--- ~\n...\n# end\n") << 1;
        QTest::newRow("a directive") << QByteArray("%YAML 1.1\n---\nmotor: {speed: 1}\n") << 1;
        QTest::newRow("aliases") << QByteArray("defaults: &d {speed: 1, torque: 2}\nmotor: *d\n") << 4;
    }

    void filesThatLoadLoseNothingAtTheNextSave()
    {
        QFETCH(QByteArray, content);
        QFETCH(int, leaves);
        // Given a file the store reads
        QVERIFY(writeFile(configPath(), content));
        YamlConfig config;
        QCOMPARE(config.parseConfig(configPath(), true), leaves);

        // When a setting is added and saved
        QVERIFY(config.setParam("added", "1", "new", false));
        QVERIFY(config.saveConfig());

        // Then the file holds what it held and the new setting
        YamlConfig reread;
        QCOMPARE(reread.parseConfig(configPath(), true), leaves + 1);
        QCOMPARE(reread.getParam("added", "new"), QString("1"));
    }

    // An empty value set to a key that did not exist was once dropped by the save: the
    // caller's default came back after a restart.
    void aNewLeafIsSavedWhateverItsValue()
    {
        YamlConfig config;
        loadSample(config);

        QVERIFY(config.setParam("note", "", "motor", false));

        QVERIFY(config.isConfigChanged());
        QVERIFY(config.saveConfig());
        YamlConfig reread;
        QCOMPARE(reread.parseConfig(configPath(), true), 4);
        QCOMPARE(reread.getParam("note", "motor", "default"), QString());
    }

    // Saves that the next start refused lost every setting.
    void theLargestTreeAFileHoldsSavesAndOneByteMoreFails()
    {
        // Given a tree of 16 values of about 1 MiB, saved, and its last value grown to fill the file exactly
        const int maxFileSize = 16 << 20;
        YamlConfig config;
        loadSample(config);
        const QString value((1 << 20) - 64, QLatin1Char('x'));
        for (int key = 0; key < 16; ++key)
            QVERIFY(config.setParam(QStringLiteral("v%1").arg(key, 2, 10, QLatin1Char('0')), value, "blob", false));
        QVERIFY(config.saveConfig());
        const qint64 room = maxFileSize - QFileInfo(configPath()).size();
        QVERIFY(room > 0);
        QVERIFY(config.setParam("v15", value + QString(int(room), QLatin1Char('y')), "blob", false));

        // When it is saved, then the file is as large as a file may be, and it loads
        QVERIFY(config.saveConfig());
        QCOMPARE(QFileInfo(configPath()).size(), qint64(maxFileSize));
        YamlConfig reread;
        QCOMPARE(reread.parseConfig(configPath(), true), 3 + 16);
        QCOMPARE(reread.getParam("v15", "blob").size(), value.size() + int(room));

        // When one byte more is saved
        const QByteArray saved = readFile(configPath());
        QVERIFY(config.setParam("v15", value + QString(int(room) + 1, QLatin1Char('y')), "blob", false));
        QSignalSpy changedSpy(&config, &Config::configChanged);
        LogCapture log;

        // Then the save fails, names the largest entry, and leaves the file and the pending change as they were
        QVERIFY(!config.saveConfig());
        QVERIFY(log.contains("YamlConfig::saveConfig() | ERROR entry too large | \"/blob|v15\""));
        QVERIFY(!log.containsFragment("v14"));
        QVERIFY(readFile(configPath()) == saved);
        QVERIFY(config.isConfigChanged());
        QCOMPARE(changedSpy.count(), 0);
    }

    void sixtyFourLevelsLoad()
    {
        QVERIFY(writeFile(configPath(), nested(64)));
        QCOMPARE(YamlConfig().parseConfig(configPath(), true), 1);
    }

    void saveWritesOnlyRealChangesAndAnnouncesThem()
    {
        // Given a loaded store whose file is replaced behind its back, and a change reverted
        YamlConfig config;
        loadSample(config);
        QSignalSpy changedSpy(&config, &Config::configChanged);
        QVERIFY(writeFile(configPath(), "marker: untouched\n"));
        config.setParam("Speed", "5", "motor", false);
        config.setParam("Speed", "3", "motor", false);

        // When it saves, then the file is not rewritten and nothing is announced
        QVERIFY(config.saveConfig());
        QCOMPARE(readFile(configPath()), QByteArray("marker: untouched\n"));
        QCOMPARE(changedSpy.count(), 0);

        // A real change is written and announced; one made while it is announced waits for the next save
        connect(&config, &Config::configChanged, &config, [&config] { config.setParam("late", "1", "z", false); });
        config.setParam("b", "2", "z", false);
        QVERIFY(config.saveConfig());
        QCOMPARE(changedSpy.count(), 1);
        QVERIFY(readFile(configPath()).endsWith("name: demo\nz:\n  b: 2"));
        QVERIFY(config.isConfigChanged());
    }

    // Each of these entries once made every later save fail, and the user's changes were lost at quit.
    void anEntryTheFileCannotHoldNeverBlocksLaterSaves_data()
    {
        QTest::addColumn<QStringList>("keys");
        QTest::addColumn<QString>("path");
        QTest::addColumn<QString>("value");
        QTest::addColumn<QString>("storedKey");
        QTest::addColumn<QString>("warning");
        const QString exact;
        QTest::newRow("key of 300 control characters") << QStringList{QString(300, QChar(1))} << "motor" << "v"
                                                       << QString(300, QChar(1)) << exact;
        QTest::newRow("key of 520 carriage returns") << QStringList{QString(520, QLatin1Char('\r'))} << "motor" << "v"
                                                     << QString(520, QLatin1Char('\r')) << exact;
        QTest::newRow("key of 1,100 letters") << QStringList{QString(1100, QLatin1Char('k'))} << "motor" << "v"
                                              << QString(1100, QLatin1Char('k')) << exact;
        QTest::newRow("key holding a noncharacter") << QStringList{"key\uFFFE"} << "motor" << "v" << "key\uFFFD"
                                                    << "WARNING value cannot be stored exactly";
        QTest::newRow("value of 65 brackets") << QStringList{"k"} << "motor" << "e" + QString(65, QLatin1Char('['))
                                              << "k" << exact;
        QStringList keys;
        for (int key = 0; key < 65; ++key)
            keys.append(QStringLiteral("k%1").arg(key));
        QTest::newRow("brackets that balance only before sorting") << keys << "motor" << "x [" << "k64" << exact;
        QTest::newRow("keys that become one") << QStringList{QString::fromUtf8("key\0one", 7), QString::fromUtf8("key\0two", 7)}
                                              << "motor" << "v" << "key" << "WARNING entry cannot be stored, left out";
        QTest::newRow("deeper than a reader takes") << QStringList{"k"} << QString("n/").repeated(70) + "n" << "v"
                                                    << QString() << "WARNING entry cannot be stored, left out";
    }

    void anEntryTheFileCannotHoldNeverBlocksLaterSaves()
    {
        QFETCH(QStringList, keys);
        QFETCH(QString, path);
        QFETCH(QString, value);
        QFETCH(QString, storedKey);
        QFETCH(QString, warning);
        // Given a loaded store holding the entry, saved once
        YamlConfig config;
        loadSample(config);
        for (const QString& key : keys)
            QVERIFY(config.setParam(key, value, path, false));
        LogCapture log;
        QVERIFY(config.saveConfig());

        // When an ordinary change follows and is saved
        QVERIFY(config.setParam("Speed", "5", "motor", false));
        QVERIFY(config.saveConfig());

        // Then the change is in the file, and the entry as far as the file holds it, with a warning when not exactly
        QCOMPARE(log.containsFragment(warning.isEmpty() ? QStringLiteral("WARNING") : warning), !warning.isEmpty());
        YamlConfig reread;
        reread.parseConfig(configPath(), true);
        QCOMPARE(reread.getParam("Speed", "motor"), QString("5"));
        QVERIFY(reread.getNodes().contains("name"));
        if (!storedKey.isEmpty())
            QCOMPARE(reread.getParam(storedKey, path, "missing"), value);
    }

    void byteOrderMarkStaysAndOddBytesRead()
    {
        // Given a file with a byte-order mark, a Latin-1 letter and a raw DEL, as older writers left them
        QVERIFY(writeFile(configPath(), "\xEF\xBB\xBF" "a: 1\n# caf\xE9\nn:\n  b: x\x7Fy\n"));
        YamlConfig config;
        LogCapture log;

        // When it is loaded, changed and saved
        QCOMPARE(config.parseConfig(configPath(), true), 2);
        config.setParam("c", "3", "", false);
        QVERIFY(config.saveConfig());

        // Then the odd bytes read as U+FFFD with a warning, and the rewrite keeps the mark
        QVERIFY(log.containsFragment("WARNING bytes that are not UTF-8 text read as U+FFFD"));
        QCOMPARE(config.getParam("b", "n"), QString("x\uFFFDy"));
        QVERIFY(readFile(configPath()).startsWith("\xEF\xBB\xBF\"\":\n  c: 3\na: 1\n"));
    }

    void failedRecoveryKeepsTheFile()
    {
        // Given a file kept aside earlier, recovery neither overwrites it nor loses the file
        const QString backup = configPath() + "_240101_120000.backup";
        QVERIFY(writeFile(configPath(), "a: 1\n"));
        QVERIFY(writeFile(backup, "c: 3\nd: 4\n"));
        QVERIFY(writeFile(configPath() + "_corrupted", "older: 0\n"));
        QCOMPARE(YamlConfig().parseConfig(configPath()), 2);
        QCOMPARE(readFile(configPath() + "_corrupted"), QByteArray("older: 0\n"));
        QCOMPARE(readFile(configPath() + "_corrupted_2"), QByteArray("a: 1\n"));

        // Given a backup that cannot be renamed, the file moved aside for it is put back and loaded
        QVERIFY(writeFile(configPath(), "a: 1\n"));
        QVERIFY(writeFile(backup, "c: 3\nd: 4\n"));
        QVERIFY(QFile::remove(configPath() + "_corrupted_2"));
        QVERIFY(QFile::remove(configPath() + "_corrupted"));
        if (!setImmutable(backup, true))
            QSKIP("The file system or the process's privileges do not allow immutable files");
        const int leafCount = YamlConfig().parseConfig(configPath());
        setImmutable(backup, false);
        QCOMPARE(leafCount, 1);
        QCOMPARE(readFile(configPath()), QByteArray("a: 1\n"));
        QVERIFY(!QFile::exists(configPath() + "_corrupted"));
    }

    // A refused file was written over by the next save: the user's text was gone.
    void aRefusedFileIsKeptAsideByTheNextSave_data()
    {
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<bool>("loadedBefore");
        const std::pair<const char*, QByteArray> refused[] = {
            {"a colon forgotten", "motor:\n  Speed 3\n  limits:\n    max: 10\nname: demo\n"},
            {"a list", "- motor: 3\n- lamp: 1\n"},
            {"two documents", "motor: 1\n---\nlamp: 2\n"},
        };
        for (const auto& [name, content] : refused) {
            QTest::addRow("%s, after a good load", name) << content << true;
            QTest::addRow("%s, as the first load", name) << content << false;
        }
    }

    void aRefusedFileIsKeptAsideByTheNextSave()
    {
        QFETCH(QByteArray, content);
        QFETCH(bool, loadedBefore);
        // Given a store that refused a file, and a setting changed after it
        YamlConfig config;
        if (loadedBefore)
            loadSample(config);
        const QString refused = m_dir->filePath("typo.yaml");
        QVERIFY(writeFile(refused, content));
        QVERIFY_EXCEPTION_THROWN(config.parseConfig(refused, true), std::exception);
        QVERIFY(config.setParam("Speed", "4", "motor", false));
        LogCapture log;

        // When it saves, twice
        QVERIFY(config.saveConfig());
        QVERIFY(config.setParam("Speed", "5", "motor", false));
        QVERIFY(config.saveConfig());

        // Then the refused text is kept aside once, with a warning naming both, and the saved file reads back
        QCOMPARE(readFile(refused + "_refused"), content);
        QVERIFY(log.contains("YamlConfig::saveConfig() | WARNING the file was refused when loaded, kept aside | \""
                             + refused + "\" \"" + refused + "_refused\""));
        QCOMPARE(log.messages(QtWarningMsg).size(), 1);
        YamlConfig reread;
        QCOMPARE(reread.parseConfig(refused, true), loadedBefore ? 3 : 1);
        QCOMPARE(reread.getParam("Speed", "motor"), QString("5"));

        // A file refused again is kept aside under a name not taken
        QVERIFY(writeFile(refused, content));
        QVERIFY_EXCEPTION_THROWN(config.parseConfig(refused, true), std::exception);
        QVERIFY(config.setParam("Speed", "6", "motor", false));
        QVERIFY(config.saveConfig());
        QCOMPARE(readFile(refused + "_refused_2"), content);
        QCOMPARE(readFile(refused + "_refused"), content);
    }

    // An 8 KiB backup of junk replaced a good file, and the host ran on defaults.
    void aBackupReplacesTheFileOnlyWhenItReads_data()
    {
        QTest::addColumn<QByteArray>("backup");
        QTest::addColumn<bool>("recovers");
        QTest::newRow("junk") << QByteArray(8192, '\x01') + "{[" << false;
        QTest::newRow("a list") << QByteArray("- motor: 3\n").repeated(800) << false;
        QTest::newRow("a larger configuration") << QByteArray(sampleFile + "lamp: 1\n") << true;
    }

    void aBackupReplacesTheFileOnlyWhenItReads()
    {
        QFETCH(QByteArray, backup);
        QFETCH(bool, recovers);
        const QString backupPath = configPath() + "_240101_120000.backup";
        QVERIFY(writeFile(configPath(), sampleFile));
        QVERIFY(writeFile(backupPath, backup));
        LogCapture log;

        int leaves = -1;
        try {
            leaves = YamlConfig().parseConfig(configPath());
        } catch (const std::exception& error) {
            QFAIL(error.what());
        }

        QCOMPARE(leaves, recovers ? 4 : 3);
        QCOMPARE(readFile(configPath()), recovers ? backup : sampleFile);
        QCOMPARE(readFile(configPath() + "_corrupted"), recovers ? sampleFile : QByteArray());
        QCOMPARE(QFile::exists(backupPath), !recovers);
        const QString warning = "YamlConfig::parseConfig() | WARNING backup does not read as a configuration, left "
                                "alone | \"" + backupPath + "\"";
        QCOMPARE(log.containsFragment(warning), !recovers);
    }

    // With "_corrupted" left by a recovery months ago, a corrupted file was not recovered and the load threw.
    void aBackupRecoversWhateverWasKeptAsideBefore_data()
    {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<QByteArray>("backup");
        QTest::addColumn<int>("keptBefore");
        QTest::addColumn<QString>("keptAs");
        QTest::addColumn<QString>("logged");
        const QByteArray corrupted = "motor: {Speed: 3\n";
        QTest::newRow("a first recovery") << corrupted << sampleFile << 0 << "_corrupted"
                                          << "| backup used, the file kept as |";
        QTest::newRow("a second recovery") << corrupted << sampleFile << 1 << "_corrupted_2"
                                           << "| backup used, the file kept as |";
        QTest::newRow("a third recovery") << corrupted << sampleFile << 2 << "_corrupted_3"
                                          << "| backup used, the file kept as |";
        QTest::newRow("no file") << QByteArray() << sampleFile << 1 << ""
                                 << "| backup used, it took the file's place |";
        QTest::newRow("a smaller backup") << sampleFile << QByteArray("a: 1\n") << 1 << ""
                                          << "| backup not used, smaller than the file |";
    }

    void aBackupRecoversWhateverWasKeptAsideBefore()
    {
        QFETCH(QByteArray, file);
        QFETCH(QByteArray, backup);
        QFETCH(int, keptBefore);
        QFETCH(QString, keptAs);
        QFETCH(QString, logged);
        // Given a file, a backup beside it, and files kept aside by earlier recoveries
        const QString backupPath = configPath() + "_240101_120000.backup";
        if (!file.isNull())
            QVERIFY(writeFile(configPath(), file));
        QVERIFY(writeFile(backupPath, backup));
        const QStringList earlier = {"_corrupted", "_corrupted_2"};
        for (const QString& suffix : earlier.mid(0, keptBefore))
            QVERIFY(writeFile(configPath() + suffix, "earlier: " + suffix.toUtf8() + "\n"));
        LogCapture log;

        // When the store loads the file
        int leaves = -1;
        try {
            leaves = YamlConfig().parseConfig(configPath());
        } catch (const std::exception& error) {
            QFAIL(error.what());
        }

        // Then the larger text is loaded from the file's place, the file is kept under the first free name,
        // what was kept before stays, and the log says whether the backup was used
        const bool used = file.isNull() || !keptAs.isEmpty();
        QCOMPARE(leaves, 3);
        QCOMPARE(readFile(configPath()), sampleFile);
        QCOMPARE(QFile::exists(backupPath), !used);
        if (!keptAs.isEmpty())
            QCOMPARE(readFile(configPath() + keptAs), file);
        for (const QString& suffix : earlier.mid(0, keptBefore))
            QCOMPARE(readFile(configPath() + suffix), "earlier: " + suffix.toUtf8() + "\n");
        const QString named = keptAs.isEmpty() ? backupPath : configPath() + keptAs;
        QVERIFY2(log.contains("Found backup file while loading  \"config.yaml\" " + logged + " \"" + named + "\""),
                 qPrintable(log.messages().join('\n')));
    }

    // A backup linking to the file made the store come up empty and its path a link to itself;
    // one linking elsewhere became the store, and the next save wrote into the file it named.
    void aBackupThatIsALinkIsReadForWhatItHolds_data()
    {
        QTest::addColumn<bool>("toTheFile");
        QTest::addColumn<bool>("relative");
        QTest::newRow("a link to the file") << true << false;
        QTest::newRow("a relative link to the file") << true << true;
        QTest::newRow("a link to a file elsewhere") << false << false;
        QTest::newRow("a relative link to a file elsewhere") << false << true;
    }

    void aBackupThatIsALinkIsReadForWhatItHolds()
    {
        QFETCH(bool, toTheFile);
        QFETCH(bool, relative);
        // Given a file and a backup linking to it, or to a larger configuration in another folder
        const QByteArray file = toTheFile ? sampleFile : QByteArray("motor:\n  Speed: 1\n");
        const QByteArray userFile = sampleFile + "lamp: 1\n";
        QTemporaryDir elsewhere;
        const QString userPath = elsewhere.filePath("user.yaml");
        QVERIFY(writeFile(configPath(), file));
        QVERIFY(writeFile(userPath, userFile));
        const QString linked = toTheFile ? configPath() : userPath;
        const QString backupPath = configPath() + "_240101_120000.backup";
        QVERIFY(QFile::link(relative ? QDir(m_dir->path()).relativeFilePath(linked) : linked, backupPath));

        // When the store loads the file, and saves a change
        YamlConfig config;
        const int leaves = config.parseConfig(configPath());
        QVERIFY(config.setParam("Speed", "7", "motor", false));
        QVERIFY(config.saveConfig());

        // Then it loaded the user's values into a file of its own, nothing outside its folder
        // changed, and the file it replaced is kept
        QCOMPARE(leaves, toTheFile ? 3 : 4);
        QVERIFY(!QFileInfo(configPath()).isSymLink());
        QCOMPARE(YamlConfig().parseConfig(configPath(), true), leaves);
        QCOMPARE(readFile(userPath), userFile);
        QCOMPARE(QDir(elsewhere.path()).entryList(QDir::AllEntries | QDir::System | QDir::NoDotAndDotDot),
                 QStringList{"user.yaml"});
        if (!toTheFile)
            QCOMPARE(readFile(configPath() + "_corrupted"), file);
        YamlConfig reread;
        QCOMPARE(reread.parseConfig(configPath()), leaves);
        QCOMPARE(reread.getParam("Speed", "motor"), QString("7"));
    }

    // A 17 MiB value went into the change log whole, at every save that changed it.
    void theChangeLogShowsLongValuesCut_data()
    {
        QTest::addColumn<QString>("key");
        QTest::addColumn<QString>("value");
        QTest::addColumn<QString>("logged");
        const QString head = QString(80, 'v');
        QTest::newRow("a value added") << "extra" << head + "tail" << "  /motor|extra:" + head + "... (84 characters)";
        QTest::newRow("a value changed") << "Speed" << head + "tail"
                                         << "  /motor|Speed:3 -> " + head + "... (84 characters)";
        QTest::newRow("a value of 80 characters") << "Speed" << head << "  /motor|Speed:3 -> " + head;
    }

    void theChangeLogShowsLongValuesCut()
    {
        QFETCH(QString, key);
        QFETCH(QString, value);
        QFETCH(QString, logged);
        YamlConfig config;
        loadSample(config);
        QVERIFY(config.setParam(key, value, "motor", false));
        LogCapture log;

        QVERIFY(config.saveConfig());

        QVERIFY2(log.contains(logged), qPrintable(log.messages().join('\n')));
        QCOMPARE(config.getParam(key, "motor"), value);
    }

    // The earlier value was taken silently, counted, and dropped by the next save.
    void aKeyGivenTwiceIsTakenOnceWithAWarning_data()
    {
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<QString>("key");
        QTest::addColumn<QString>("line");
        QTest::addColumn<QString>("kept");
        QTest::newRow("same case") << QByteArray("motor:\n  speed: 1\n  speed: 2\n") << "/motor|speed" << "line 3"
                                   << "speed=2";
        QTest::newRow("other case") << QByteArray("motor:\n  Torque: 1\n  torque: 2\n") << "/motor|torque" << "line 3"
                                    << "torque=2";
        QTest::newRow("a node") << QByteArray("motor:\n  y: 1\n  w: 1\nMOTOR:\n  z: 2\n") << "|MOTOR" << "line 4"
                                << "z=2";
    }

    void aKeyGivenTwiceIsTakenOnceWithAWarning()
    {
        QFETCH(QByteArray, content);
        QFETCH(QString, key);
        QFETCH(QString, line);
        QFETCH(QString, kept);
        QVERIFY(writeFile(configPath(), content));
        YamlConfig config;
        LogCapture log;

        const int leaves = config.parseConfig(configPath(), true);

        // Then one leaf is read, the later one, with a warning naming it and its line
        QCOMPARE(leaves, 1);
        QVERIFY2(log.contains("YamlConfig::parseConfig() | WARNING key given twice, the later one taken | \"" + key
                              + "\" \"" + line + "\" \"" + configPath() + "\""),
                 qPrintable(log.messages().join('\n')));
        const QStringList params = config.getParams("motor");
        QCOMPARE(params.size(), 1);
        QCOMPARE(params.first() + "=" + config.getParam(params.first(), "motor"), kept);
    }

    void failedSaveLosesNothing_data()
    {
        QTest::addColumn<Breakage>("breakage");
        QTest::addColumn<QString>("logged");
        QTest::newRow("directory became a file") << Breakage::DirectoryBecameFile << "ERROR cannot write file";
        QTest::newRow("write fails") << Breakage::WriteFails << "ERROR cannot write file";
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
        const QString directory = m_dir->path();
        std::unique_ptr<TestSupport::FileSizeLimit> fileSizeLimit;
        switch (breakage) {
        case Breakage::DirectoryBecameFile:
            // Root writes into read-only directories; a directory that is not there stops it.
            QVERIFY(QFile::rename(directory, directory + ".moved"));
            QVERIFY(writeFile(directory, "not a directory"));
            repair = [&] { QFile::remove(directory) && QFile::rename(directory + ".moved", directory); };
            break;
        case Breakage::WriteFails:
            // A file-size limit stops writes whatever the process's privileges.
            fileSizeLimit = std::make_unique<TestSupport::FileSizeLimit>(16);
            if (!fileSizeLimit->isActive())
                QSKIP("The file-size limit cannot be lowered here");
            break;
        case Breakage::FileUnwritable:
            // Even root cannot write a sysctl text that is read-only by its own rules.
            if (!QFileInfo::exists("/proc/sys/kernel/osrelease") || QFileInfo("/proc/sys/kernel/osrelease").isWritable())
                QSKIP("No file here that the process cannot write");
            // Its text is no configuration: refused, its path is kept all the same.
            QVERIFY_EXCEPTION_THROWN(config.parseConfig("/proc/sys/kernel/osrelease", true), std::exception);
            config.setParam("extra", "1", "motor", false);
            savedPath = m_dir->filePath("elsewhere.yaml");
            repair = [&] { config.parseConfig(savedPath, true); };
            break;
        }
        QSignalSpy changedSpy(&config, &Config::configChanged);
        LogCapture log;

        // When it saves
        const bool saved = config.saveConfig();
        fileSizeLimit.reset();

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
