#include "ReaderMemoryProbe.h"
#include "SafeFileWriter.h"
#include "TestSupport.h"

#include <QCoreApplication>
#include <QDir>
#include <QProcess>
#include <QRectF>
#include <QSettings>
#include <QStorageInfo>
#include <QTemporaryDir>
#include <QtTest>

#include <stdexcept>

namespace {

// Set inside the mount namespace that the full-disk test starts: the small disk's mount point.
const char smallDiskVariable[] = "DOZEROZOZU_TEST_SMALL_DISK";
const QByteArray oldText = "[old]\nwhole=1\n";

bool plainWrite(const QString& path, const QByteArray& content)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(content) == content.size() && file.flush();
}

QByteArray readFile(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

/// Fills the disk holding directory until at most `leave` bytes are free.
bool fillDisk(const QString& directory, qint64 leave)
{
    QFile filler(QDir(directory).filePath(QStringLiteral("filler")));
    if (!filler.open(QIODevice::WriteOnly | QIODevice::Unbuffered))
        return false;
    const QByteArray block(1024, 'f');
    while (QStorageInfo(directory).bytesAvailable() > leave) {
        if (filler.write(block) != block.size())
            break;
    }
    return true;
}

/// Starts this test binary again in a private mount namespace with a 64 KiB disk mounted on
/// directory; returns the exit code, or -1 when such a namespace cannot be made here.
int runOnSmallDisk(const QString& directory, const QString& testFunction, QString* output)
{
    const QString script = QStringLiteral("mount -t tmpfs -o size=64k tmpfs \"$1\" || exit 77; shift; exec \"$@\"");
    QProcess process;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QString::fromLatin1(smallDiskVariable), directory);
    process.setProcessEnvironment(environment);
    process.setProcessChannelMode(QProcess::MergedChannels);
    process.start(QStringLiteral("unshare"),
                  {QStringLiteral("-m"), QStringLiteral("sh"), QStringLiteral("-c"), script, QStringLiteral("sh"),
                   directory, QCoreApplication::applicationFilePath(), testFunction});
    if (!process.waitForFinished(60000) || process.exitStatus() != QProcess::NormalExit)
        return -1;
    *output = QString::fromLocal8Bit(process.readAll());
    // unshare exits with 1 when it may not make the namespace at all.
    return process.exitCode() == 77 || (process.exitCode() == 1 && output->startsWith(QLatin1String("unshare:")))
        ? -1
        : process.exitCode();
}

} // namespace

class TestSafeFileWriter : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void replacesTheFileOrSaysWhyNot()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("file.txt"));
        QVERIFY(SafeFileWriter::writeFile(path, "first, longer"));
        QVERIFY(SafeFileWriter::writeFile(path, "second"));
        QCOMPARE(readFile(path), QByteArray("second"));

        QString error;
        QVERIFY(!SafeFileWriter::writeFile(dir.path(), "x", &error));
        QCOMPARE(error, QStringLiteral("a directory is in the way"));
    }

    void settingsThatAnIniFileHoldsDifferentlyAreNoFailure()
    {
        // Numbers, booleans, lists of one text and empty lists come back in another form
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("file.ini"));
        QString error;
        const bool written = SafeFileWriter::writeSettings(
            path,
            [](QSettings& settings) {
                settings.setValue("group/flag", true);
                settings.setValue("one", QStringList{"x"});
                settings.setValue("rect", QRectF(0.1234567891, 1e-9, 123456.789012, 2.0 / 3));
            },
            &error);
        QVERIFY2(written, qPrintable(error));
        QSettings reread(path, QSettings::IniFormat);
        QCOMPARE(reread.value("rect").toRectF(), QRectF(0.1234567891, 1e-9, 123456.789012, 2.0 / 3));
    }

    // Editing an INI file makes QSettings read all of it: a value it would read through
    // QDataStream (a list of 2^31 items) keeps the file as it is, and the error says why.
    void settingsRefuseAFileQSettingsWouldReadAStreamFrom()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("widgets.ini"));
        const QByteArray original = "[pump]\nrow=1\n[bomb]\nlist=\"@\"Variant(\\0\\0\\0\\t\\x7f\\xff\\xff\\xff)\n";
        QVERIFY(SafeFileWriter::writeFile(path, original));
        const ReaderMemoryProbe::Result result = ReaderMemoryProbe::run(
            [&path] {
                QString error;
                SafeFileWriter::writeSettings(path, [](QSettings& settings) { settings.setValue("pump/row", 2); }, &error);
                throw std::runtime_error(error.toStdString());
            },
            qint64(256) << 20, 10);
        QVERIFY2(result.detail.contains(QLatin1String("@Variant(")), qPrintable(result.outcomeText()));
        QCOMPARE(readFile(path), original);
    }

    void failedWriteKeepsTheOldFile_data()
    {
        QTest::addColumn<qint64>("limit");
        QTest::addColumn<int>("size");
        QTest::addColumn<bool>("throughSettings");
        QTest::newRow("file-size limit, file") << qint64(0) << 64 * 1024 << false;
        QTest::newRow("short write, settings") << qint64(4096) << 64 * 1024 << true;
        // QSettings holds a small text in its buffer and writes it only when it closes the file.
        QTest::newRow("short write in the last flush, settings") << qint64(256) << 1000 << true;
    }

    void failedWriteKeepsTheOldFile()
    {
        QFETCH(qint64, limit);
        QFETCH(int, size);
        QFETCH(bool, throughSettings);
        // Given an old file and a new text larger than the file-size limit
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("file.ini"));
        QVERIFY(plainWrite(path, oldText));
        const QByteArray big(size, 'n');

        // When it is written
        TestSupport::FileSizeLimit fileSizeLimit(limit);
        if (!fileSizeLimit.isActive())
            QSKIP("The file-size limit cannot be lowered here");
        QString error;
        const bool written = throughSettings
            ? SafeFileWriter::writeSettings(path, [&big](QSettings& settings) { settings.setValue("big", big); }, &error)
            : SafeFileWriter::writeFile(path, big, &error);
        fileSizeLimit.lift();

        // Then the failure is reported, the old file is whole and no temporary file is left
        QVERIFY(!written);
        QVERIFY(!error.isEmpty());
        QCOMPARE(readFile(path), oldText);
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList{"file.ini"});
    }

    void fullDiskKeepsTheOldFile()
    {
        const QString smallDisk = qEnvironmentVariable(smallDiskVariable);
        if (smallDisk.isEmpty()) {
            // Outside: run this function again inside a namespace with a small disk of its own.
            QTemporaryDir mountPoint;
            QString output;
            const int exitCode = runOnSmallDisk(mountPoint.path(), QString::fromLatin1(QTest::currentTestFunction()), &output);
            if (exitCode < 0)
                QSKIP("No private mount namespace with a small disk can be made here (needs root and unshare)");
            QVERIFY2(exitCode == 0, qPrintable(output));
            return;
        }

        // Given an old file on a disk that is full, or that fills up half-way through the new text
        const QString path = QDir(smallDisk).filePath(QStringLiteral("file.ini"));
        for (const qint64 free : {qint64(0), qint64(16 * 1024)}) {
            QFile::remove(QDir(smallDisk).filePath(QStringLiteral("filler")));
            QVERIFY(SafeFileWriter::writeFile(path, oldText));
            QVERIFY(fillDisk(smallDisk, free));

            // When a file and then settings are written
            QString fileError;
            const bool fileWritten = SafeFileWriter::writeFile(path, QByteArray(32 * 1024, 'n'), &fileError);
            QString settingsError;
            const bool settingsWritten = SafeFileWriter::writeSettings(
                path, [](QSettings& settings) { settings.setValue("big", QByteArray(32 * 1024, 'n')); }, &settingsError);

            // Then both failures are reported, the old file is whole and no temporary file is left
            QVERIFY(!fileWritten);
            QVERIFY2(fileError.contains(QLatin1String("cannot")), qPrintable(fileError));
            QVERIFY(!settingsWritten);
            QCOMPARE(readFile(path), oldText);
            QCOMPARE(QDir(smallDisk).entryList(QDir::Files | QDir::Hidden), (QStringList{"file.ini", "filler"}));
        }
    }
};

QTEST_GUILESS_MAIN(TestSafeFileWriter)
#include "tst_SafeFileWriter.moc"
