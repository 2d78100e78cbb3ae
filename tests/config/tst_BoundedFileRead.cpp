#include "BoundedFileRead.h"
#include "BoundedIni.h"
#include "DeviceFile.h"
#include "ReaderMemoryProbe.h"
#include "TemplateFiles.h"
#include "TestSupport.h"
#include "YamlConfig.h"

#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

#include <fcntl.h>
#include <functional>
#include <future>
#include <limits>
#include <malloc.h>
#include <stdexcept>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

namespace {

// Room for an 8 KB file many times over, and far less than any reader's cap.
const qint64 addressSpaceHeadroom = qint64(8) << 20;
const int timeoutSeconds = 20;

// glibc gives threads other than the first arenas of their own, each reserving 64 MiB of
// address space up front; a block taken from that reserve passes under any limit on address
// space. With one arena (set before any thread starts), every block of the reader asks for
// new address space, and the limit sees it.
const bool oneMallocArena = mallopt(M_ARENA_MAX, 1) == 1;

// AddressSanitizer's allocator takes no malloc options and reserves terabytes of address space
// of its own: no limit on address space measures a reader there.
#if defined(__SANITIZE_ADDRESS__)
const bool underAddressSanitizer = true;
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
const bool underAddressSanitizer = true;
#else
const bool underAddressSanitizer = false;
#endif
#else
const bool underAddressSanitizer = false;
#endif

// Named, so that the meta types' names are ones Qt takes as normalised: registered as
// "std::function<bool(const QString&)>" they stop a debug build on an assertion.
using PathCheck = std::function<bool(const QString&)>;
using PathReader = std::function<QString(const QString&)>;

bool writeFile(const QString& path, const QByteArray& content)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(content) == content.size();
}

// A device that claims nothing and gives at most a few bytes at a time, as a pipe or a file
// under /proc does; it fails instead of ending when asked to.
class TrickleDevice : public QIODevice
{
public:
    TrickleDevice(const QByteArray& data, bool failAtEnd)
        : data(data)
        , failAtEnd(failAtEnd)
    {
        open(QIODevice::ReadOnly | QIODevice::Unbuffered);
    }
    bool isSequential() const override { return true; }

protected:
    qint64 readData(char* out, qint64 maxSize) override
    {
        if (at == data.size())
            return failAtEnd ? -1 : 0;
        const int count = int(qMin(qMin(maxSize, qint64(1000)), qint64(data.size() - at)));
        memcpy(out, data.constData() + at, size_t(count));
        at += count;
        return count;
    }
    qint64 writeData(const char*, qint64) override { return -1; }

private:
    QByteArray data;
    bool failAtEnd;
    int at = 0;
};

// Runs read on a thread of its own and tells whether it returned within a second. A reader
// still blocked on opening the pipe then is let go, by a writer that comes and goes, so that
// a failing run ends instead of hanging the suite.
bool returnsWithinASecond(const std::function<void()>& read, const QString& pipe)
{
    std::promise<void> done;
    std::future<void> returned = done.get_future();
    std::thread reader([&read, &done] {
        try {
            read();
        } catch (const std::exception&) {
        }
        done.set_value();
    });
    const bool inTime = returned.wait_for(std::chrono::seconds(1)) == std::future_status::ready;
    while (returned.wait_for(std::chrono::milliseconds(20)) != std::future_status::ready) {
        const int writer = ::open(QFile::encodeName(pipe).constData(), O_WRONLY | O_NONBLOCK);
        if (writer >= 0)
            ::close(writer);
    }
    reader.join();
    return inTime;
}

} // namespace

Q_DECLARE_METATYPE(PathCheck)
Q_DECLARE_METATYPE(PathReader)

class TestBoundedFileRead : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase()
    {
        QVERIFY(dir.isValid());
    }

    // Each reader once reserved its whole cap, 16 or 64 MiB, before reading a file of any size.
    void smallFilesReadWithoutReservingTheCap_data()
    {
        QTest::addColumn<QString>("fileName");
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<PathCheck>("read");
        QByteArray entries;
        for (int entry = 0; entries.size() < 8000; ++entry)
            entries += "  key" + QByteArray::number(entry) + ": value of entry " + QByteArray::number(entry) + "\n";
        QTest::newRow("the helper") << "plain.txt" << entries << PathCheck([](const QString& path) {
            QFile file(path);
            QByteArray content;
            return file.open(QIODevice::ReadOnly) && BoundedFileRead::read(file, BoundedIni::maxSize, &content)
                   && content.size() == QFileInfo(path).size();
        });
        QTest::newRow("an INI layout file") << "layout.ini" << "[General]\n" + QByteArray(entries).replace(": ", "=")
                                            << PathCheck([](const QString& path) {
                                                   QByteArray text;
                                                   return BoundedIni::readFile(path, &text) && !text.isEmpty();
                                               });
        QTest::newRow("a configuration") << "config.yaml" << "motor:\n" + entries
                                         << PathCheck([](const QString& path) {
                                                return YamlConfig().parseConfig(path, true) > 100;
                                            });
        QTest::newRow("a device file") << "device.yml" << "pump:\n" + entries
                                       << PathCheck([](const QString& path) {
                                              QString error;
                                              return !DeviceFile::readText(path, &error).isEmpty() && error.isEmpty();
                                          });
        QTest::newRow("a template copy") << "template.yml" << "pump:\n" + entries
                                         << PathCheck([](const QString& path) {
                                                return TemplateFiles::copyFile(path, path + ".copy");
                                            });
    }

    void smallFilesReadWithoutReservingTheCap()
    {
        QFETCH(QString, fileName);
        QFETCH(QByteArray, content);
        QFETCH(PathCheck, read);
        if (underAddressSanitizer)
            QSKIP("The reader's memory cannot be measured under AddressSanitizer");
        QVERIFY(oneMallocArena);
        const QString path = dir.filePath(fileName);
        QVERIFY(writeFile(path, content));

        const ReaderMemoryProbe::Result result = ReaderMemoryProbe::run(
            [&read, &path] {
                if (!read(path))
                    throw std::runtime_error("not read");
            },
            addressSpaceHeadroom, timeoutSeconds);

        QVERIFY2(result.isClean(), qPrintable(result.outcomeText()));
    }

    void readsToTheEndAndOneBytePastTheCap_data()
    {
        QTest::addColumn<bool>("fromFile");
        QTest::addColumn<int>("size");
        const int cap = 100000;
        for (const bool fromFile : {true, false}) {
            const QString device = fromFile ? QStringLiteral("file") : QStringLiteral("device claiming nothing");
            for (const int size : {0, cap - 1, cap, cap + 1, 3 * cap})
                QTest::addRow("%s, %d bytes", qPrintable(device), size) << fromFile << size;
        }
    }

    void readsToTheEndAndOneBytePastTheCap()
    {
        QFETCH(bool, fromFile);
        QFETCH(int, size);
        const qint64 cap = 100000;
        QByteArray data(size, Qt::Uninitialized);
        for (int at = 0; at < size; ++at)
            data[at] = char('a' + at % 26);
        QFile file(dir.filePath(QStringLiteral("sized")));
        TrickleDevice trickle(data, false);
        if (fromFile)
            QVERIFY(writeFile(file.fileName(), data) && file.open(QIODevice::ReadOnly));

        QByteArray content;
        QVERIFY(BoundedFileRead::read(fromFile ? static_cast<QIODevice&>(file) : trickle, cap, &content));

        QCOMPARE(content, data.left(int(cap) + 1));
    }

    void aFailedReadIsTold()
    {
        TrickleDevice failing(QByteArray(2500, 'x'), true);
        QByteArray content;
        QVERIFY(!BoundedFileRead::read(failing, 100000, &content));
        QCOMPARE(content, QByteArray(2500, 'x'));
    }

    // A configuration path that was a pipe nobody writes to blocked the host at its start.
    void pipesAreRefusedWithoutWaitingForAWriter_data()
    {
        QTest::addColumn<QString>("fileName");
        QTest::addColumn<QString>("pipeName");
        // A pipe is no file to QDir::Files, but a link to one is.
        QTest::addColumn<QString>("linkName");
        QTest::addColumn<PathReader>("read");
        QTest::newRow("the helper") << "plain" << "plain" << "" << PathReader([](const QString& path) {
            QFile file(path);
            QString error;
            BoundedFileRead::openRegularFile(file, &error);
            return error;
        });
        QTest::newRow("an INI layout file") << "layout.ini" << "layout.ini" << "" << PathReader([](const QString& path) {
            QByteArray text;
            QString error;
            BoundedIni::readFile(path, &text, &error);
            return error;
        });
        const PathReader loadConfiguration = [](const QString& path) {
            TestSupport::LogCapture log;
            YamlConfig().parseConfig(path);
            return log.messages().join(QLatin1Char('\n'));
        };
        QTest::newRow("a configuration") << "config.yaml" << "config.yaml" << "" << loadConfiguration;
        QTest::newRow("a configuration's backup")
            << "config.yaml" << "pipe" << "config.yaml_240101_120000.backup" << loadConfiguration;
        QTest::newRow("a device file") << "device.yml" << "device.yml" << "" << PathReader([](const QString& path) {
            QString error;
            DeviceFile::readText(path, &error);
            return error;
        });
        QTest::newRow("a template copy") << "template.yml" << "template.yml" << "" << PathReader([](const QString& path) {
            QString error;
            TemplateFiles::copyFile(path, path + ".copy", &error);
            return error;
        });
    }

    void pipesAreRefusedWithoutWaitingForAWriter()
    {
        QFETCH(QString, fileName);
        QFETCH(QString, pipeName);
        QFETCH(QString, linkName);
        QFETCH(PathReader, read);
        QTemporaryDir pipeDir;
        const QString pipe = pipeDir.filePath(pipeName);
        QVERIFY(::mkfifo(QFile::encodeName(pipe).constData(), 0600) == 0);
        if (!linkName.isEmpty())
            QVERIFY(QFile::link(pipe, pipeDir.filePath(linkName)));

        QString error;
        const bool inTime = returnsWithinASecond([&] { error = read(pipeDir.filePath(fileName)); }, pipe);

        QVERIFY(inTime);
        QVERIFY2(error.contains(QLatin1String("not a regular file")), qPrintable(error));
    }

    // A cap of INT64_MAX overflowed to a negative limit, and a negative cap read nothing as success.
    // A file a few bytes short of what a QByteArray holds was refused as larger; those rows lower
    // what a content holds to a size a test can afford.
    void capsAtTheEdgesReadSoundly_data()
    {
        QTest::addColumn<qint64>("cap");
        QTest::addColumn<qint64>("held");
        QTest::addColumn<int>("size");
        QTest::addColumn<bool>("read");
        QTest::addColumn<int>("readSize");
        const qint64 most = std::numeric_limits<qint64>::max();
        const qint64 least = std::numeric_limits<qint64>::min();
        const qint64 held = BoundedFileRead::mostHeld;
        QTest::newRow("the largest cap") << most << held << 3000 << true << 3000;
        QTest::newRow("the largest cap, an empty file") << most << held << 0 << true << 0;
        QTest::newRow("a cap of 0") << qint64(0) << held << 3000 << true << 1;
        QTest::newRow("a cap of 0, an empty file") << qint64(0) << held << 0 << true << 0;
        QTest::newRow("a cap of -1") << qint64(-1) << held << 3000 << false << 0;
        QTest::newRow("a cap of -1, an empty file") << qint64(-1) << held << 0 << false << 0;
        QTest::newRow("the least cap") << least << held << 3000 << false << 0;
        QTest::newRow("the largest cap, a file as large as a content holds") << most << qint64(3000) << 3000 << true
                                                                             << 3000;
        QTest::newRow("the largest cap, a file a byte larger") << most << qint64(3000) << 3001 << false << 3000;
        QTest::newRow("a cap of what a content holds, a file that large") << qint64(3000) << qint64(3000) << 3000
                                                                          << true << 3000;
        QTest::newRow("a cap of what a content holds, a file a byte smaller") << qint64(3000) << qint64(3000) << 2999
                                                                              << true << 2999;
    }

    void capsAtTheEdgesReadSoundly()
    {
        QFETCH(qint64, cap);
        QFETCH(qint64, held);
        QFETCH(int, size);
        QFETCH(bool, read);
        QFETCH(int, readSize);
        QFile file(dir.filePath(QStringLiteral("capped")));
        QVERIFY(writeFile(file.fileName(), QByteArray(size, 'c')) && file.open(QIODevice::ReadOnly));

        QByteArray content("left over");
        QCOMPARE(BoundedFileRead::read(file, cap, &content, held), read);

        QCOMPARE(content, QByteArray(readSize, 'c'));
    }

private:
    QTemporaryDir dir;
};

QTEST_GUILESS_MAIN(TestBoundedFileRead)
#include "tst_BoundedFileRead.moc"
