#include "ConnectivityMonitor.h"
#include "Singleton.h"
#include "YamlConfig.h"

#include <QSignalSpy>
#include <QtTest>

#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

namespace {

bool icmpSocketsRefused()
{
    const int probe = ::socket(AF_INET, SOCK_DGRAM, IPPROTO_ICMP);
    if (probe < 0)
        return true;
    ::close(probe);
    return false;
}

QStringList told(const QSignalSpy& verdicts)
{
    QStringList texts;
    for (const QList<QVariant>& arguments : verdicts)
        texts << arguments.at(0).toString();
    return texts;
}

} // namespace

class TestConnectivityMonitor : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void verdictAfterEveryFourthAnswer_data()
    {
        // Answers: 1 for an echo that came back. Windows do not slide, and three answers say nothing.
        QTest::addColumn<QString>("answers");
        QTest::addColumn<QStringList>("verdicts");
        QTest::newRow("4 of 4") << "1111" << QStringList{"stable connection"};
        QTest::newRow("3 of 4") << "1011" << QStringList{"unstable connection"};
        QTest::newRow("2 of 4") << "1001" << QStringList{"unstable connection"};
        QTest::newRow("1 of 4") << "0100" << QStringList{"highly unstable connection"};
        QTest::newRow("two windows and three answers") << "11110000111"
                                                        << QStringList{"stable connection", "not connected"};
    }

    void verdictAfterEveryFourthAnswer()
    {
        QFETCH(QString, answers);
        QFETCH(QStringList, verdicts);
        ConnectivityMonitor monitor;
        QSignalSpy verdict(&monitor, &ConnectivityMonitor::verdictChanged);

        for (QChar answer : answers)
            QVERIFY(QMetaObject::invokeMethod(&monitor, "onPingFinished", Q_ARG(bool, answer == '1')));

        QStringList given;
        for (const QList<QVariant>& arguments : verdict)
            given << arguments.at(0).toString();
        QCOMPARE(given, verdicts);
    }

    void probesThatCannotBeSentGiveNoVerdict_data()
    {
        // Either real probes of a host, or the ends of probes: 1 answered, 0 unanswered, x not sent.
        QTest::addColumn<QString>("host");
        QTest::addColumn<QString>("ends");
        QTest::addColumn<QStringList>("verdicts");
        QTest::newRow("ICMP sockets refused") << "127.0.0.1" << "" << QStringList{"unknown"};
        QTest::newRow("host that is no address") << "localhost" << "" << QStringList{"unknown"};
        QTest::newRow("not sent, again and again") << "" << "xxxxx" << QStringList{"unknown"};
        QTest::newRow("a window cut short starts afresh")
            << "" << "11x1111" << QStringList{"unknown", "stable connection"};
        QTest::newRow("unanswered probes are an answer") << "" << "0000" << QStringList{"not connected"};
        QTest::newRow("unknown again after a verdict")
            << "" << "0000x" << QStringList{"not connected", "unknown"};
    }

    void probesThatCannotBeSentGiveNoVerdict()
    {
        QFETCH(QString, host);
        QFETCH(QString, ends);
        QFETCH(QStringList, verdicts);
        ConnectivityMonitor monitor;
        QSignalSpy verdict(&monitor, &ConnectivityMonitor::verdictChanged);

        if (host.isEmpty()) {
            for (QChar end : ends) {
                const Ping::Outcome outcome = end == '1' ? Ping::Answered : end == '0' ? Ping::NoAnswer : Ping::NotSent;
                QVERIFY(QMetaObject::invokeMethod(&monitor, "onProbeFinished", Q_ARG(Ping::Outcome, outcome)));
            }
            QCOMPARE(told(verdict), verdicts);
            return;
        }

        // Given a host probed for real, where no echo request can go out
        if (host == "127.0.0.1" && !icmpSocketsRefused())
            QSKIP("This system lets the process open ICMP sockets.");
        YamlConfig* config = Singleton<YamlConfig>::instance();
        config->setParam(ConnectivityMonitor::probeHostKey, host, ConnectivityMonitor::probeHostPath, false);
        monitor.setProbeInterval(5);
        monitor.setProbeTimeout(50);

        // When the monitor has probed for well over a window of four
        monitor.start();
        QTRY_VERIFY(verdict.count() > 0);
        QTest::qWait(100);
        monitor.stop();
        // Back to loopback, not the public default: nothing in a test may probe another host.
        config->setParam(ConnectivityMonitor::probeHostKey, QStringLiteral("127.0.0.1"),
                         ConnectivityMonitor::probeHostPath, false);

        // Then it never judged the connection, and said once that it cannot
        QCOMPARE(told(verdict), verdicts);
    }
};

QTEST_MAIN(TestConnectivityMonitor)
#include "tst_ConnectivityMonitor.moc"
