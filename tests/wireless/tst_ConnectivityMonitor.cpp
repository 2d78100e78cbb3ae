#include "ConnectivityMonitor.h"
#include "Singleton.h"
#include "YamlConfig.h"

#include <QSignalSpy>
#include <QtTest>

namespace {

void answer(ConnectivityMonitor& monitor, bool pingOk)
{
    QVERIFY(QMetaObject::invokeMethod(&monitor, "onPingFinished", Q_ARG(bool, pingOk)));
}

} // namespace

class TestConnectivityMonitor : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void probeHostIsASetting();
    void verdictAfterEveryFourthAnswer_data();
    void verdictAfterEveryFourthAnswer();
};

void TestConnectivityMonitor::probeHostIsASetting()
{
    YamlConfig* config = Singleton<YamlConfig>::instance();
    QCOMPARE(ConnectivityMonitor::probeHost(), QString::fromLatin1(ConnectivityMonitor::defaultProbeHost));

    config->setParam(QStringLiteral("probeHost"), QStringLiteral(" 127.0.0.1 "), QStringLiteral("wireless"), false);

    QCOMPARE(ConnectivityMonitor::probeHost(), QStringLiteral("127.0.0.1"));
}

void TestConnectivityMonitor::verdictAfterEveryFourthAnswer_data()
{
    QTest::addColumn<QList<bool>>("answers");
    QTest::addColumn<QStringList>("verdicts");
    QTest::newRow("true false true true") << QList<bool>{true, false, true, true} << QStringList{"unstable connection"};
    QTest::newRow("four true") << QList<bool>{true, true, true, true} << QStringList{"stable connection"};
    QTest::newRow("four false") << QList<bool>{false, false, false, false} << QStringList{"not connected"};
    QTest::newRow("one true") << QList<bool>{false, true, false, false} << QStringList{"highly unstable connection"};
    QTest::newRow("two true") << QList<bool>{true, false, false, true} << QStringList{"unstable connection"};
    QTest::newRow("three answers say nothing") << QList<bool>{true, true, true} << QStringList{};
    // Windows do not slide: the fifth answer opens a new one.
    QTest::newRow("two windows") << QList<bool>{true, true, true, true, false, false, false, false}
                                 << QStringList{"stable connection", "not connected"};
}

void TestConnectivityMonitor::verdictAfterEveryFourthAnswer()
{
    QFETCH(QList<bool>, answers);
    QFETCH(QStringList, verdicts);
    ConnectivityMonitor monitor;
    QSignalSpy verdict(&monitor, &ConnectivityMonitor::verdictChanged);

    for (bool pingOk : answers)
        answer(monitor, pingOk);

    QStringList given;
    for (const QList<QVariant>& arguments : verdict)
        given << arguments.at(0).toString();
    QCOMPARE(given, verdicts);
}

QTEST_MAIN(TestConnectivityMonitor)
#include "tst_ConnectivityMonitor.moc"
