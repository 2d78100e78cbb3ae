#include "Ping.h"

#include <QFile>
#include <QProcess>
#include <QSemaphore>
#include <QSignalSpy>
#include <QThreadPool>
#include <QtConcurrent/QtConcurrentRun>
#include <QtTest>

#include <netinet/in.h>
#include <sys/socket.h>
#include <sys/time.h>
#include <unistd.h>

#include <cstring>

// Only loopback is ever probed. The probes that need ICMP datagram sockets run in a private
// network namespace (only "lo" in it), where this test re-executes itself as root with
// net.ipv4.ping_group_range widened for the namespace alone.
namespace {

const char* const namespaceVariable = "DOZEROZOZU_PING_IN_NAMESPACE";
const QStringList namespaceCases = {"loopbackAnswersWithSequenceNumbersOnTheWire", "refusedSocketFailsInNamespace",
                                    "silentHostTimesOutAndDestructionWaits"};

bool insideNamespace()
{
    return qEnvironmentVariableIsSet(namespaceVariable);
}

bool writeProc(const char* path, const QByteArray& value)
{
    QFile file(QString::fromLatin1(path));
    return file.open(QIODevice::WriteOnly) && file.write(value) == value.size();
}

template<typename T>
T readNative(const QByteArray& bytes, int offset)
{
    T value;
    std::memcpy(&value, bytes.constData() + offset, sizeof(value));
    return value;
}

// Sums 16-bit words in one's complement, as a receiver checks a datagram.
quint32 onesComplementSum(const QByteArray& bytes)
{
    quint32 sum = 0;
    for (int offset = 0; offset + 1 < bytes.size(); offset += 2)
        sum += readNative<quint16>(bytes, offset);
    while (sum > 0xFFFF)
        sum = (sum & 0xFFFF) + (sum >> 16);
    return sum;
}

// Holds every thread of the global pool, so that a probe stays queued until release().
class PoolBlocker
{
public:
    PoolBlocker()
    {
        QThreadPool::globalInstance()->setMaxThreadCount(1);
        QtConcurrent::run([this] { gate.acquire(); });
        QTest::qWait(20);
    }
    ~PoolBlocker()
    {
        release();
        QThreadPool::globalInstance()->setMaxThreadCount(QThread::idealThreadCount());
    }
    void release()
    {
        if (!released) {
            gate.release();
            released = true;
            QThreadPool::globalInstance()->waitForDone();
        }
    }

private:
    QSemaphore gate;
    bool released = false;
};

} // namespace

class TestPing : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void echoRequestLayout();
    void checksumMatchesRfc1071_data();
    void checksumMatchesRfc1071();
    void socketTimeoutConversion_data();
    void socketTimeoutConversion();
    void hostThatIsNoIPv4AddressFailsAtOnce_data();
    void hostThatIsNoIPv4AddressFailsAtOnce();
    void secondProbeIsRefusedWhileOneRuns();
    void probesInPrivateNetworkNamespace();

    // Run only inside the namespace, by probesInPrivateNetworkNamespace().
    void loopbackAnswersWithSequenceNumbersOnTheWire();
    void refusedSocketFailsInNamespace();
    void silentHostTimesOutAndDestructionWaits();
};

void TestPing::echoRequestLayout()
{
    const QByteArray datagram = Ping::echoRequest(0xBEEF, 0x1234);

    QCOMPARE(datagram.size(), 24);
    QCOMPARE(quint8(datagram.at(0)), quint8(8));
    QCOMPARE(quint8(datagram.at(1)), quint8(0));
    QCOMPARE(readNative<quint32>(datagram, 4), quint32(0));
    QCOMPARE(readNative<quint16>(datagram, 8), quint16(0xBEEF));
    QCOMPARE(readNative<quint16>(datagram, 10), quint16(0x1234));
    QCOMPARE(readNative<quint32>(datagram, 12), quint32(0));
    QCOMPARE(readNative<quint64>(datagram, 16), quint64(185765));
    // The finished datagram sums to all ones, and recomputing over a zeroed field gives it again.
    QCOMPARE(onesComplementSum(datagram), quint32(0xFFFF));
    QByteArray zeroed = datagram;
    zeroed[2] = zeroed[3] = 0;
    QCOMPARE(Ping::checksum(zeroed.constData(), size_t(zeroed.size())), readNative<quint16>(datagram, 2));
}

void TestPing::checksumMatchesRfc1071_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<quint16>("expected");
    // Words are read in the machine's order; the values below are those of a little-endian
    // machine (x86-64, 64-bit ARM). RFC 1071's own example sums to 0xDDF2 in network order,
    // so its checksum 0x220D is stored as the bytes 22 0D, read back here as 0x0D22.
    QTest::newRow("RFC 1071 example") << QByteArray::fromHex("0001f203f4f5f6f7") << quint16(0x0D22);
    QTest::newRow("empty") << QByteArray() << quint16(0xFFFF);
    QTest::newRow("odd length adds the last byte alone") << QByteArray::fromHex("0102ff") << quint16(0xFCFF);
    QTest::newRow("carry folds") << QByteArray::fromHex("ffffffff") << quint16(0x0000);
}

void TestPing::checksumMatchesRfc1071()
{
    QFETCH(QByteArray, bytes);
    QFETCH(quint16, expected);
    QCOMPARE(Ping::checksum(bytes.constData(), size_t(bytes.size())), expected);
}

void TestPing::socketTimeoutConversion_data()
{
    QTest::addColumn<int>("timeout");
    QTest::addColumn<long>("seconds");
    QTest::addColumn<long>("microseconds");
    QTest::newRow("1000") << 1000 << 1L << 0L;
    QTest::newRow("1500") << 1500 << 1L << 500000L;
    QTest::newRow("999") << 999 << 0L << 999000L;
    // 0 would mean "wait for ever" to the socket.
    QTest::newRow("0 is clamped") << 0 << 0L << 1000L;
    QTest::newRow("negative is clamped") << -250 << 0L << 1000L;
}

void TestPing::socketTimeoutConversion()
{
    QFETCH(int, timeout);
    QFETCH(long, seconds);
    QFETCH(long, microseconds);
    const timeval value = Ping::socketTimeout(timeout);
    QCOMPARE(long(value.tv_sec), seconds);
    QCOMPARE(long(value.tv_usec), microseconds);
}

void TestPing::hostThatIsNoIPv4AddressFailsAtOnce_data()
{
    QTest::addColumn<QString>("host");
    QTest::newRow("empty") << "";
    QTest::newRow("name") << "localhost";
    QTest::newRow("IPv6") << "::1";
    QTest::newRow("short form") << "127.1";
}

void TestPing::hostThatIsNoIPv4AddressFailsAtOnce()
{
    QFETCH(QString, host);
    Ping ping;
    QSignalSpy finished(&ping, &Ping::pingFinished);

    QVERIFY(ping.sendPing(host, 60000));

    QTRY_COMPARE_WITH_TIMEOUT(finished.count(), 1, 3000);
    QCOMPARE(finished.at(0).at(0).toBool(), false);
    QVERIFY(!ping.isBusy());
    QCOMPARE(ping.nextSequence(), quint16(0)); // nothing was built, nothing sent
}

void TestPing::secondProbeIsRefusedWhileOneRuns()
{
    // Given a probe that cannot run yet, and a listener that looks at the flag as it is told
    PoolBlocker pool;
    Ping ping;
    QList<bool> busyWhenTold;
    connect(&ping, &Ping::pingFinished, this, [&] { busyWhenTold << ping.isBusy(); }, Qt::DirectConnection);
    QVERIFY(ping.sendPing(QStringLiteral("no address"), 1000));

    // Then a second one is refused, only the first answers, and it is no longer busy then
    QVERIFY(!ping.sendPing(QStringLiteral("no address"), 1000));
    pool.release();
    QTRY_COMPARE(busyWhenTold, QList<bool>{false});
    QVERIFY(ping.sendPing(QStringLiteral("no address"), 1000));
    QTRY_COMPARE(busyWhenTold.size(), 2);
}

void TestPing::probesInPrivateNetworkNamespace()
{
    if (insideNamespace())
        QSKIP("Already inside the namespace.");
    if (::geteuid() != 0 || QProcess::execute(QStringLiteral("unshare"), {"-n", "true"}) != 0)
        QSKIP("No private network namespace here (needs root and unshare).");

    // The namespace holds only "lo"; the widened group range lives and dies with it.
    const QString setup = QStringLiteral("ip link set lo up && sysctl -q -w net.ipv4.ping_group_range='0 2147483647'"
                                         " || exit 77; exec \"$0\" \"$@\"");
    QProcess child;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QString::fromLatin1(namespaceVariable), QStringLiteral("1"));
    child.setProcessEnvironment(environment);
    child.setProcessChannelMode(QProcess::MergedChannels);
    child.start(QStringLiteral("unshare"),
                QStringList{"-n", "--", "sh", "-c", setup, QCoreApplication::applicationFilePath()} + namespaceCases);
    QVERIFY(child.waitForFinished(60000));
    const QString output = QString::fromLocal8Bit(child.readAll());
    if (child.exitCode() == 77)
        QSKIP("The namespace could not be set up (ip or sysctl failed).");
    QVERIFY2(child.exitStatus() == QProcess::NormalExit && child.exitCode() == 0, qPrintable(output));
    for (const QString& name : namespaceCases)
        QVERIFY2(output.contains(QStringLiteral("PASS   : TestPing::%1()").arg(name)), qPrintable(output));
}

void TestPing::loopbackAnswersWithSequenceNumbersOnTheWire()
{
    if (!insideNamespace())
        QSKIP("Runs inside the private network namespace only.");
    // Given a raw socket that sees every ICMP message on "lo"
    const int raw = ::socket(AF_INET, SOCK_RAW, IPPROTO_ICMP);
    QVERIFY(raw >= 0);
    const timeval wait = Ping::socketTimeout(500);
    ::setsockopt(raw, SOL_SOCKET, SO_RCVTIMEO, &wait, sizeof(wait));
    Ping ping;
    QSignalSpy finished(&ping, &Ping::pingFinished);
    ping.setNextSequence(65534);

    // When three probes of 127.0.0.1 go out one after another, each is answered
    for (int probe = 1; probe <= 3; ++probe) {
        QVERIFY(ping.sendPing(QStringLiteral("127.0.0.1"), 1000));
        QTRY_COMPARE(finished.count(), probe);
        QCOMPARE(finished.last().at(0).toBool(), true);
    }

    // And their echo requests carried 65534, 65535 and 0, with the marker
    QList<quint16> sequences;
    char packet[1500];
    ssize_t received;
    while ((received = ::recv(raw, packet, sizeof(packet), 0)) > 0) {
        const int headerLength = (packet[0] & 0x0F) * 4;
        const QByteArray icmp(packet + headerLength, int(received) - headerLength);
        if (icmp.size() == Ping::datagramSize && quint8(icmp.at(0)) == 8) {
            QCOMPARE(readNative<quint64>(icmp, 16), quint64(Ping::marker));
            sequences << readNative<quint16>(icmp, 10);
        }
    }
    ::close(raw);
    QCOMPARE(sequences, (QList<quint16>{65534, 65535, 0}));
}

void TestPing::refusedSocketFailsInNamespace()
{
    if (!insideNamespace())
        QSKIP("Runs inside the private network namespace only.");
    QVERIFY(writeProc("/proc/sys/net/ipv4/ping_group_range", "1 0"));
    Ping ping;
    QSignalSpy finished(&ping, &Ping::pingFinished);

    QVERIFY(ping.sendPing(QStringLiteral("127.0.0.1"), 60000));

    QTRY_COMPARE_WITH_TIMEOUT(finished.count(), 1, 3000);
    QCOMPARE(finished.at(0).at(0).toBool(), false);
    QVERIFY(writeProc("/proc/sys/net/ipv4/ping_group_range", "0 2147483647"));
}

void TestPing::silentHostTimesOutAndDestructionWaits()
{
    if (!insideNamespace())
        QSKIP("Runs inside the private network namespace only.");
    QVERIFY(writeProc("/proc/sys/net/ipv4/icmp_echo_ignore_all", "1"));
    Ping silent;
    QSignalSpy finished(&silent, &Ping::pingFinished);
    QVERIFY(silent.sendPing(QStringLiteral("127.0.0.1"), 300));
    QTRY_COMPARE(finished.count(), 1);
    QCOMPARE(finished.at(0).at(0).toBool(), false);

    // A probe waiting in recv() keeps its object until it has answered.
    auto ping = new Ping;
    QVERIFY(ping->sendPing(QStringLiteral("127.0.0.1"), 300));
    QTest::qWait(50);
    delete ping;
    QVERIFY(writeProc("/proc/sys/net/ipv4/icmp_echo_ignore_all", "0"));
}

QTEST_GUILESS_MAIN(TestPing)
#include "tst_Ping.moc"
