#include "LogBuffer.h"
#include "Logger.h"

#include <QRegularExpression>
#include <QtConcurrent>
#include <QtTest>

class TestLogBuffer : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void defaultBufferReceivesQtMessages_data();
    void defaultBufferReceivesQtMessages();
    void getBufferStartsAtIndex();
    void dropsOldestBeyondCapacity();
    void takeAllLosesNoLineUnderConcurrentWriters();
};

void TestLogBuffer::defaultBufferReceivesQtMessages_data()
{
    QTest::addColumn<int>("type");
    QTest::addColumn<QString>("tag");
    QTest::newRow("debug") << int(QtDebugMsg) << "[D]";
    QTest::newRow("warning") << int(QtWarningMsg) << "[W]";
    QTest::newRow("critical") << int(QtCriticalMsg) << "[C]";
}

void TestLogBuffer::defaultBufferReceivesQtMessages()
{
    QFETCH(int, type);
    QFETCH(QString, tag);
    LogBuffer* buffer = Logger::getDefaultBuffer();
    QCOMPARE(Logger::getDefaultBuffer(), buffer);
    buffer->clear();

    QTest::ignoreMessage(QtMsgType(type), "pump stalled");
    if (type == QtDebugMsg)
        qDebug("pump stalled");
    else if (type == QtWarningMsg)
        qWarning("pump stalled");
    else
        qCritical("pump stalled");

    const QStringList lines = buffer->getBuffer(0);
    QCOMPARE(lines.size(), 1);
    QVERIFY(QRegularExpression("^\\d\\d:\\d\\d:\\d\\d \\[[DWCF]\\] pump stalled$").match(lines.first()).hasMatch());
    QVERIFY(lines.first().contains(tag));
}

void TestLogBuffer::getBufferStartsAtIndex()
{
    LogBuffer buffer;
    buffer.append(QtDebugMsg, "one");
    buffer.append(QtWarningMsg, "two");

    QCOMPARE(buffer.getBuffer(1).size(), 1);
    QVERIFY(buffer.getBuffer(1).first().endsWith("[W] two"));
    QVERIFY(buffer.getBuffer(5).isEmpty());
    buffer.clear();
    QCOMPARE(buffer.size(), 0);
}

void TestLogBuffer::dropsOldestBeyondCapacity()
{
    LogBuffer buffer(3);
    for (int i = 0; i < 5; ++i)
        buffer.append(QtDebugMsg, QString::number(i));
    const QStringList lines = buffer.getBuffer(0);
    QCOMPARE(lines.size(), 3);
    QVERIFY(lines.first().endsWith(" 2"));
}

void TestLogBuffer::takeAllLosesNoLineUnderConcurrentWriters()
{
    LogBuffer buffer(1000000);
    const int writers = 4;
    const int linesEach = 2000;
    QList<QFuture<void>> futures;
    for (int w = 0; w < writers; ++w) {
        futures.append(QtConcurrent::run([&buffer, linesEach] {
            for (int i = 0; i < linesEach; ++i)
                buffer.append(QtDebugMsg, "x");
        }));
    }
    int taken = 0;
    while (std::any_of(futures.begin(), futures.end(), [](const QFuture<void>& f) { return !f.isFinished(); }))
        taken += buffer.takeAll().size();
    taken += buffer.takeAll().size();
    QCOMPARE(taken, writers * linesEach);
}

QTEST_GUILESS_MAIN(TestLogBuffer)
#include "tst_LogBuffer.moc"
