#include "ConnectivityMonitor.h"

#include <QSignalSpy>
#include <QtTest>

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
};

QTEST_MAIN(TestConnectivityMonitor)
#include "tst_ConnectivityMonitor.moc"
