#include "ConsoleWidget.h"
#include "LogBuffer.h"
#include "Logger.h"

#include <QScrollBar>
#include <QSignalSpy>
#include <QTest>
#include <QTextBlock>
#include <QThread>
#include <QTime>

#include <atomic>

namespace {

const QString face = QStringLiteral("face=\"Gill Sans MT\"");

QString lastBlockText(const ConsoleWidget& console)
{
    return console.document()->lastBlock().text();
}

/// The colour of the character at position of the last block.
QColor colourAt(const ConsoleWidget& console, int position)
{
    QTextCursor cursor(console.document()->lastBlock());
    cursor.setPosition(cursor.block().position() + position + 1);
    return cursor.charFormat().foreground().color();
}

} // namespace

class tst_ConsoleWidget : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init()
    {
        Logger::getDefaultBuffer()->takeAll();
    }

    void logLinesAreTextColouredByLevelAndWrittenLinesAreHtml()
    {
        ConsoleWidget console;
        console.setUpdateRetrieveLog(false);
        console.appendLogLines({QStringLiteral("12:00:01 [W] disk <b>low</b> & <i>y &amp;")});
        QCOMPARE(lastBlockText(console), QStringLiteral("[12:00:01 ] disk <b>low</b> & <i>y &amp;"));
        QCOMPARE(colourAt(console, 1), QColor(QStringLiteral("grey")));
        QCOMPARE(colourAt(console, lastBlockText(console).indexOf(QLatin1String("disk"))),
                 console.palette().color(QPalette::Current, QPalette::Text));
        QVERIFY(console.getLines().isEmpty());

        const QTime before = QTime::currentTime();
        console.write(QStringLiteral("<b>bold</b>"));
        QVERIFY(lastBlockText(console).endsWith(QStringLiteral("] bold")));
        const QString time = console.getLines().last().section(QLatin1Char('['), 1).left(8);
        QVERIFY(qAbs(QTime::fromString(time, Qt::TextDate).secsTo(before)) <= 1);
        console.setShowTimestamp(false);
        console.write(QStringLiteral("x"));
        QCOMPARE(console.getLines().last(), QStringLiteral("<font color=") + console.palette().color(QPalette::Text).name()
                                                + QLatin1Char(' ') + face + QStringLiteral("  size=3>x</font>"));
    }

    void burstWithFatalLinesAlertsOnce()
    {
        // Given a poll that brings two fatal lines and a critical one among many others
        ConsoleWidget console;
        console.setUpdateRetrieveLog(false);
        console.resize(300, 200);
        LogBuffer* buffer = Logger::getDefaultBuffer();
        for (int i = 0; i < 50; ++i)
            buffer->append(QtDebugMsg, QStringLiteral("line %1").arg(i));
        buffer->append(QtFatalMsg, QStringLiteral("first fatal"));
        buffer->append(QtCriticalMsg, QStringLiteral("critical"));
        buffer->append(QtFatalMsg, QStringLiteral("second fatal"));
        QSignalSpy alerts(&console, &ConsoleWidget::alert);
        // When the console polls, twice
        console.retrieveLog();
        console.retrieveLog();
        // Then one alert, the view at the bottom, the last line red
        QCOMPARE(alerts.count(), 1);
        QCOMPARE(console.verticalScrollBar()->value(), console.verticalScrollBar()->maximum());
        QVERIFY(lastBlockText(console).endsWith(QStringLiteral("second fatal")));
        QCOMPARE(colourAt(console, lastBlockText(console).indexOf(QLatin1String("second"))), QColor(0xff, 0, 0));
    }

    void noLineLoggedDuringPollsIsLost()
    {
        // Given a thread that logs while the console polls over and over
        ConsoleWidget console;
        console.setUpdateRetrieveLog(false);
        const int count = 900;
        std::atomic<bool> done{false};
        QThread* logger = QThread::create([&done, count] {
            for (int i = 0; i < count; ++i)
                Logger::getDefaultBuffer()->append(QtDebugMsg, QStringLiteral("n%1;").arg(i));
            done = true;
        });
        logger->start();
        while (!done)
            console.retrieveLog();
        logger->wait();
        delete logger;
        console.retrieveLog();
        // Then every line reached the view
        const QString text = console.toPlainText();
        for (int i = 0; i < count; ++i)
            QVERIFY2(text.contains(QStringLiteral(" n%1;").arg(i)), qPrintable(QString::number(i)));
    }

    void viewKeepsTheLastThousandLinesAndCopiesKeepAll()
    {
        // Given 1001 written lines, then a burst of 2500 logged ones
        ConsoleWidget console;
        console.setUpdateRetrieveLog(false);
        console.setShowTimestamp(false);
        for (int i = 0; i < 1001; ++i)
            console.write(QStringLiteral("w%1").arg(i));
        QCOMPARE(console.document()->firstBlock().text(), QStringLiteral("w1"));
        QStringList burst;
        for (int i = 0; i < 2500; ++i)
            burst << QStringLiteral("12:00:00 [D] b%1").arg(i);
        console.appendLogLines(burst);

        // Then the view holds the last 1000, a copy all written lines, and clear() empties both
        QCOMPARE(console.document()->blockCount(), 1000);
        QCOMPARE(console.document()->firstBlock().text(), QStringLiteral("[12:00:00 ] b1500"));
        ConsoleWidget copy;
        copy.setUpdateRetrieveLog(false);
        copy.copyInfo(nullptr);
        copy.copyInfo(&console);
        QCOMPARE(copy.getLines().size(), 1001);
        QCOMPARE(lastBlockText(copy), QStringLiteral("w1000"));
        console.clear();
        QVERIFY(console.getLines().isEmpty() && console.document()->isEmpty());
    }
};

QTEST_MAIN(tst_ConsoleWidget)
#include "tst_ConsoleWidget.moc"
