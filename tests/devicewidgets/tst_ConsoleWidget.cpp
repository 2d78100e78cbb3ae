#include "ConsoleWidget.h"
#include "LogBuffer.h"
#include "Logger.h"

#include <QSignalSpy>
#include <QTest>
#include <QTextBlock>
#include <QThread>

#include <atomic>

namespace {

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

        console.write(QStringLiteral("<b>bold</b>"));
        QVERIFY(lastBlockText(console).endsWith(QStringLiteral("] bold")));
        QCOMPARE(console.getLines().size(), 1);
    }

    void burstWithFatalLinesAlertsOnce()
    {
        // Given a poll that brings two fatal lines and a critical one
        ConsoleWidget console;
        console.setUpdateRetrieveLog(false);
        LogBuffer* buffer = Logger::getDefaultBuffer();
        buffer->append(QtFatalMsg, QStringLiteral("first fatal"));
        buffer->append(QtCriticalMsg, QStringLiteral("critical"));
        buffer->append(QtFatalMsg, QStringLiteral("second fatal"));
        QSignalSpy alerts(&console, &ConsoleWidget::alert);
        // When the console polls, twice
        console.retrieveLog();
        console.retrieveLog();
        // Then one alert, the last line red
        QCOMPARE(alerts.count(), 1);
        QVERIFY(lastBlockText(console).endsWith(QStringLiteral("second fatal")));
        QCOMPARE(colourAt(console, lastBlockText(console).indexOf(QLatin1String("second"))), QColor(0xff, 0, 0));
    }

    void noLineLoggedDuringPollsIsLost()
    {
        // Given a thread that logs while the console polls over and over
        ConsoleWidget console;
        console.setUpdateRetrieveLog(false);
        constexpr int count = 900;
        std::atomic<bool> done{false};
        QThread* logger = QThread::create([&done] {
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

    void copyingTakesWrittenLinesOnceAndNeverFromItself()
    {
        // Given a console that wrote two lines and polled one log line
        ConsoleWidget source;
        source.setUpdateRetrieveLog(false);
        source.setShowTimestamp(false);
        source.write(QStringLiteral("first"));
        source.write(QStringLiteral("second"));
        source.appendLogLines({QStringLiteral("12:00:01 [D] polled")});
        const QStringList written = source.getLines();
        const QString shown = source.toPlainText();
        QCOMPARE(written.size(), 2);

        // When it is copied into itself, it keeps and shows what it had
        source.copyInfo(&source);
        QCOMPARE(source.getLines(), written);
        QCOMPARE(source.toPlainText(), shown);

        // And another console copying it gets the written lines, not the polled one
        ConsoleWidget copy;
        copy.setUpdateRetrieveLog(false);
        copy.copyInfo(&source);
        QCOMPARE(copy.getLines(), written);
        QCOMPARE(copy.toPlainText(), QStringLiteral("first\nsecond"));
    }

};

QTEST_MAIN(tst_ConsoleWidget)
#include "tst_ConsoleWidget.moc"
