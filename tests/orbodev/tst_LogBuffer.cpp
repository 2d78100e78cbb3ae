#include "LogBuffer.h"
#include "Logger.h"

#include <QRegularExpression>
#include <QtConcurrent>
#include <QtTest>

class TestLogBuffer : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void defaultBufferReceivesQtMessages()
    {
        LogBuffer* buffer = Logger::getDefaultBuffer();
        buffer->clear();

        QTest::ignoreMessage(QtWarningMsg, "pump stalled");
        qWarning("pump stalled");

        const QStringList lines = buffer->getBuffer(0);
        QCOMPARE(lines.size(), 1);
        QVERIFY(QRegularExpression("^\\d\\d:\\d\\d:\\d\\d \\[W\\] pump stalled$").match(lines.first()).hasMatch());
    }

    void keepsTheNewestLinesFromAnIndex()
    {
        LogBuffer buffer(3);
        for (int i = 0; i < 5; ++i)
            buffer.append(QtDebugMsg, QString::number(i));

        const QStringList lines = buffer.getBuffer(1);
        QCOMPARE(lines.size(), 2);
        QVERIFY(lines.first().endsWith("[D] 3"));
        QVERIFY(buffer.getBuffer(5).isEmpty());
    }

    void takeAllLosesNoLineUnderConcurrentWriters()
    {
        LogBuffer buffer(1000000);
        const int writers = 4;
        constexpr int linesEach = 2000;
        QList<QFuture<void>> futures;
        for (int w = 0; w < writers; ++w) {
            futures.append(QtConcurrent::run([&buffer] {
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
};

QTEST_GUILESS_MAIN(TestLogBuffer)
#include "tst_LogBuffer.moc"
