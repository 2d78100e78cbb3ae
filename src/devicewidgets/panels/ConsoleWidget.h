#pragma once

#include "dozerozozu_export.h"

#include <QStringList>
#include <QTextEdit>
#include <QTimer>

/**
 * A read-only rich-text console, by default of the framework's log.
 *
 * Every 500 ms it takes the new lines of the framework's default log buffer (reading and
 * emptying it in one step, so no line is lost in between), colours each by its level and
 * appends it; a critical or fatal line raises alert() once per poll and keeps the view at the
 * bottom until a poll without one. Other code writes its own HTML lines with write(), with or
 * without a time stamp; those are kept in full for copyInfo(), while the view holds the last
 * 1000 lines. Owned by its parent; GUI thread only.
 *
 *     auto log = new ConsoleWidget(window);          // the framework's log
 *     auto console = new ConsoleWidget(panel);
 *     console->setUpdateRetrieveLog(false);          // only its own lines
 *     console->write(text.toHtmlEscaped());
 */
class DOZEROZOZU_EXPORT ConsoleWidget : public QTextEdit
{
    Q_OBJECT

public:
    /// Lines the view keeps; older ones fall off the top.
    static const int maximumLines = 1000;

    explicit ConsoleWidget(QWidget* parent = nullptr);
    ~ConsoleWidget() override;

    void setShowTimestamp(bool value);
    bool getShowTimestamp() const { return showTimestamp; }
    /// Every line added by write() or insertFormattedLogs(), oldest first.
    QStringList getLines() const { return lines; }
    /// The polling interval (500 ms by default); takes effect at once when polling.
    void setRetrieveInterval(int milliseconds);
    bool isRetrievingLog() const { return retrieveTimer.isActive(); }
    /// Appends HTML lines, keeping them for copyInfo(), and scrolls to the bottom.
    void insertFormattedLogs(const QStringList& formattedLines);
    /**
     * One poll's work on lines of the framework's log: appends them coloured and raises
     * alert() once when any is critical or fatal. retrieveLog() feeds it the buffer's lines.
     */
    void appendLogLines(const QStringList& logLines);

Q_SIGNALS:
    void alert();

public Q_SLOTS:
    /// Appends an HTML line in the text colour, after the time when time stamps are on.
    void write(const QString& text);
    /// Appends the lines console wrote or was given; nothing when console is null or this one.
    void copyInfo(ConsoleWidget* console);
    /// Starts (true) or stops polling the framework's log.
    void setUpdateRetrieveLog(bool value);
    /// Takes the framework's new log lines and shows them.
    void retrieveLog();
    /// Keeps the view at the bottom while the latest poll brought a critical or fatal line.
    void scrollToBottom();
    void clear();

private:
    /// Appends lines to the view in one edit; lines that would at once fall off the top are skipped.
    void appendToView(const QStringList& htmlLines);
    void moveToBottom();

    QTimer retrieveTimer;
    bool showTimestamp = true;
    bool alertScroll = false;
    QStringList lines;
    bool followBottom = true;
};
