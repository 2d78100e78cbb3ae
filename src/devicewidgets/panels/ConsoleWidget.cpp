#include "ConsoleWidget.h"

#include "ConsoleLineFormatter.h"
#include "LogBuffer.h"
#include "Logger.h"

#include <QAbstractTextDocumentLayout>
#include <QScrollBar>
#include <QTextCursor>
#include <QTextDocument>
#include <QTime>

ConsoleWidget::ConsoleWidget(QWidget* parent)
    : QTextEdit(parent)
{
    setReadOnly(true);
    document()->setMaximumBlockCount(maximumLines);
    connect(&retrieveTimer, SIGNAL(timeout()), this, SLOT(retrieveLog()));
    retrieveTimer.start(500);
    connect(verticalScrollBar(), SIGNAL(rangeChanged(int,int)), this, SLOT(scrollToBottom()));
    // A view left at the bottom stays there while lines come and while it is resized or
    // shown; scrolling up lets go, scrolling down to the end holds on again.
    connect(verticalScrollBar(), &QScrollBar::valueChanged, this,
            [this](int value) { followBottom = value >= verticalScrollBar()->maximum(); });
    connect(verticalScrollBar(), &QScrollBar::rangeChanged, this, [this](int, int maximum) {
        if (followBottom)
            verticalScrollBar()->setValue(maximum);
    });
}

ConsoleWidget::~ConsoleWidget() = default;

void ConsoleWidget::setShowTimestamp(bool value)
{
    showTimestamp = value;
}

void ConsoleWidget::setRetrieveInterval(int milliseconds)
{
    retrieveTimer.setInterval(qMax(1, milliseconds));
}

void ConsoleWidget::write(const QString& text)
{
    const QString line = ConsoleLineFormatter(palette()).writtenLine(text, showTimestamp, QTime::currentTime());
    lines.append(line);
    appendToView(QStringList(line));
}

void ConsoleWidget::insertFormattedLogs(const QStringList& formattedLines)
{
    lines.append(formattedLines);
    appendToView(formattedLines);
    moveToBottom();
}

void ConsoleWidget::copyInfo(ConsoleWidget* console)
{
    // A console already holds its own lines: copying it into itself would double them.
    if (console && console != this)
        insertFormattedLogs(console->lines);
}

void ConsoleWidget::setUpdateRetrieveLog(bool value)
{
    if (value)
        retrieveTimer.start();
    else
        retrieveTimer.stop();
}

void ConsoleWidget::retrieveLog()
{
    appendLogLines(Logger::getDefaultBuffer()->takeAll());
}

void ConsoleWidget::appendLogLines(const QStringList& logLines)
{
    bool alertLine = false;
    for (const QString& line : logLines) {
        if (ConsoleLineFormatter::isAlertLine(line)) {
            alertLine = true;
            break;
        }
    }
    // Of a burst only the lines the view keeps are worth the HTML.
    const int shown = qMin(logLines.size(), int(maximumLines));
    const ConsoleLineFormatter formatter(palette());
    QStringList htmlLines;
    htmlLines.reserve(shown);
    for (int i = logLines.size() - shown; i < logLines.size(); ++i)
        htmlLines.append(formatter.logLine(logLines.at(i), nullptr));
    appendToView(htmlLines);

    alertScroll = alertLine;
    if (alertScroll) {
        Q_EMIT alert();
        moveToBottom();
    }
}

void ConsoleWidget::scrollToBottom()
{
    if (alertScroll && verticalScrollBar()->value() != verticalScrollBar()->maximum())
        verticalScrollBar()->setValue(verticalScrollBar()->maximum());
}

void ConsoleWidget::clear()
{
    lines.clear();
    QTextEdit::clear();
}

void ConsoleWidget::appendToView(const QStringList& htmlLines)
{
    if (htmlLines.isEmpty())
        return;
    const bool atBottom = followBottom;
    const int skipped = qMax(0, htmlLines.size() - int(maximumLines));
    QTextCursor cursor(document());
    cursor.beginEditBlock();
    cursor.movePosition(QTextCursor::End);
    for (int i = skipped; i < htmlLines.size(); ++i) {
        if (!document()->isEmpty())
            cursor.insertBlock(QTextBlockFormat(), QTextCharFormat());
        cursor.insertHtml(htmlLines.at(i));
    }
    cursor.endEditBlock();
    // As QTextEdit::append does: a view at the bottom follows the new lines.
    if (atBottom)
        moveToBottom();
}

void ConsoleWidget::moveToBottom()
{
    // Many lines at once are laid out lazily, and the scroll range grows with the layout:
    // the bottom is only known once it is done.
    document()->documentLayout()->documentSize();
    verticalScrollBar()->setValue(verticalScrollBar()->maximum());
}
