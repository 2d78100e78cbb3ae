#include "Ping.h"

#include <QFile>
#include <QProcess>
#include <QSignalSpy>
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
const QStringList namespaceCases = {"loopbackAnswersWithSequenceNumbersOnTheWire",
                                    "silentHostTimesOutAndOneProbeRunsAtATime", "probeTellsUnsentFromUnanswered"};

bool insideNamespace() { return qEnvironmentVariableIsSet(namespaceVariable); }

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

} // namespace

class TestPing : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void echoRequestLayout()
    {
        const QByteArray datagram = Ping::echoRequest(0xBEEF, 0x1234);
        QCOMPARE(datagram.size(), 24);
        QCOMPARE(datagram.left(2), QByteArray("\x08\x00", 2));
        QCOMPARE(readNative<quint32>(datagram, 4), quint32(0));
        QCOMPARE(readNative<quint16>(datagram, 8), quint16(0xBEEF));
        QCOMPARE(readNative<quint16>(datagram, 10), quint16(0x1234));
        QCOMPARE(readNative<quint32>(datagram, 12), quint32(0));
        QCOMPARE(readNative<quint64>(datagram, 16), quint64(185765));
        // The finished datagram sums to all ones: its checksum is 0.
        QCOMPARE(Ping::checksum(datagram.constData(), size_t(datagram.size())), quint16(0));
    }

    void checksumMatchesRfc1071_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<quint16>("expected");
        // Words are read in the machine's order; the values are a little-endian machine's.
        // RFC 1071's example sums to 0xDDF2 in network order: its checksum 0x220D reads back as 0x0D22.
        QTest::newRow("RFC 1071 example") << QByteArray::fromHex("0001f203f4f5f6f7") << quint16(0x0D22);
        QTest::newRow("odd length adds the last byte alone") << QByteArray::fromHex("0102ff") << quint16(0xFCFF);
        QTest::newRow("carry folds") << QByteArray::fromHex("ffffffff") << quint16(0x0000);
    }

    void checksumMatchesRfc1071()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(quint16, expected);
        QCOMPARE(Ping::checksum(bytes.constData(), size_t(bytes.size())), expected);
    }

    void socketTimeoutConversion_data()
    {
        QTest::addColumn<int>("timeout");
        QTest::addColumn<long>("seconds");
        QTest::addColumn<long>("microseconds");
        QTest::newRow("1500") << 1500 << 1L << 500000L;
        // 0 would mean "wait for ever" to the socket.
        QTest::newRow("0 is clamped") << 0 << 0L << 1000L;
        QTest::newRow("negative is clamped") << -250 << 0L << 1000L;
    }

    void socketTimeoutConversion()
    {
        QFETCH(int, timeout);
        QFETCH(long, seconds);
        QFETCH(long, microseconds);
        const timeval value = Ping::socketTimeout(timeout);
        QCOMPARE(long(value.tv_sec), seconds);
        QCOMPARE(long(value.tv_usec), microseconds);
    }

    void hostThatIsNoIPv4AddressFailsAtOnce_data()
    {
        QTest::addColumn<QString>("host");
        QTest::newRow("name") << "localhost";
        QTest::newRow("IPv6") << "::1";
    }

    void hostThatIsNoIPv4AddressFailsAtOnce()
    {
        QFETCH(QString, host);
        Ping ping;
        QSignalSpy finished(&ping, &Ping::pingFinished);
        QVERIFY(ping.sendPing(host, 60000));
        QTRY_COMPARE_WITH_TIMEOUT(finished.count(), 1, 3000);
        QCOMPARE(finished.at(0).at(0).toBool(), false);
        QCOMPARE(ping.nextSequence(), quint16(0)); // nothing was built, nothing sent
    }

    void probeTellsUnsentFromUnanswered_data()
    {
        // Where the row runs: anywhere; where this system refuses ICMP sockets; or in the
        // private network namespace, where they work (run by probesInPrivateNetworkNamespace()).
        QTest::addColumn<QString>("where");
        QTest::addColumn<QString>("host");
        QTest::addColumn<int>("outcome");
        QTest::newRow("host that is no address") << "anywhere" << "localhost" << int(Ping::NotSent);
        QTest::newRow("ICMP sockets refused") << "refused" << "127.0.0.1" << int(Ping::NotSent);
        QTest::newRow("loopback answers") << "namespace" << "127.0.0.1" << int(Ping::Answered);
        QTest::newRow("silent host") << "namespace, silent" << "127.0.0.1" << int(Ping::NoAnswer);
    }

    void probeTellsUnsentFromUnanswered()
    {
        QFETCH(QString, where);
        QFETCH(QString, host);
        QFETCH(int, outcome);
        if (where.startsWith("namespace") && !insideNamespace())
            QSKIP("Runs inside the private network namespace only.");
        if (where == "refused") {
            const int icmp = ::socket(AF_INET, SOCK_DGRAM, IPPROTO_ICMP);
            if (icmp >= 0) {
                ::close(icmp);
                QSKIP("This system lets the process open ICMP sockets.");
            }
        }
        const bool silent = where.endsWith("silent");
        if (silent)
            QVERIFY(writeProc("/proc/sys/net/ipv4/icmp_echo_ignore_all", "1"));
        Ping ping;
        QSignalSpy ended(&ping, &Ping::probeFinished);
        QSignalSpy finished(&ping, &Ping::pingFinished);

        QVERIFY(ping.sendPing(host, 300));

        QTRY_COMPARE(finished.count(), 1);
        if (silent)
            QVERIFY(writeProc("/proc/sys/net/ipv4/icmp_echo_ignore_all", "0"));
        QCOMPARE(ended.count(), 1);
        QCOMPARE(int(ended.at(0).at(0).value<Ping::Outcome>()), outcome);
        QCOMPARE(finished.at(0).at(0).toBool(), outcome == Ping::Answered);
    }

    void probesInPrivateNetworkNamespace()
    {
        if (insideNamespace())
            QSKIP("Already inside the namespace.");
        if (::geteuid() != 0 || QProcess::execute(QStringLiteral("unshare"), {"-n", "true"}) != 0)
            QSKIP("No private network namespace here (needs root and unshare).");

        // The widened group range lives and dies with the namespace.
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
            QVERIFY2(output.contains(QStringLiteral("PASS   : TestPing::%1(").arg(name)), qPrintable(output));
    }

    // Run only inside the namespace, by probesInPrivateNetworkNamespace().
    void loopbackAnswersWithSequenceNumbersOnTheWire()
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

    void silentHostTimesOutAndOneProbeRunsAtATime()
    {
        if (!insideNamespace())
            QSKIP("Runs inside the private network namespace only.");
        // Given a probe of a host that never answers, and a listener that reads the flag as it is told
        QVERIFY(writeProc("/proc/sys/net/ipv4/icmp_echo_ignore_all", "1"));
        Ping silent;
        QStringList told;
        connect(&silent, &Ping::pingFinished, this,
                [&](bool ok) { told << QString(ok ? "answered" : "failed") + (silent.isBusy() ? ", busy" : ""); },
                Qt::DirectConnection);
        QVERIFY(silent.sendPing(QStringLiteral("127.0.0.1"), 300));

        // Then a second probe is refused while it waits, and it fails, no longer busy when told
        QVERIFY(!silent.sendPing(QStringLiteral("127.0.0.1"), 300));
        QTRY_COMPARE(told, QStringList{"failed"});

        // And a probe waiting in recv() keeps its object until it has answered
        auto ping = new Ping;
        QVERIFY(ping->sendPing(QStringLiteral("127.0.0.1"), 300));
        QTest::qWait(50);
        delete ping;
        QVERIFY(writeProc("/proc/sys/net/ipv4/icmp_echo_ignore_all", "0"));
    }
};

QTEST_GUILESS_MAIN(TestPing)
#include "tst_Ping.moc"
