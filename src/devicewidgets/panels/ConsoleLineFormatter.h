#pragma once

#include "dozerozozu_export.h"

#include <QColor>
#include <QString>

class QPalette;
class QTime;

/**
 * Makes the HTML lines of the console (ConsoleWidget): lines written by the console's users,
 * with or without a time stamp, and lines of the framework's log, whose level tag ("[D]",
 * "[W]", "[C]", "[F]") colours the rest of the line.
 *
 * A log line is shown as text: "&", "<", ">" and quotes are escaped before the level markup
 * goes in. Written lines are HTML and go in unchanged; callers that show foreign text escape
 * it first. Colours come from the palette given at construction. A plain value object
 * without widgets, usable on any thread.
 *
 *     ConsoleLineFormatter formatter(widget->palette());
 *     bool alert = false;
 *     const QString html = formatter.logLine("12:00:01 [C] disk failed", &alert);
 */
class DOZEROZOZU_EXPORT ConsoleLineFormatter
{
public:
    explicit ConsoleLineFormatter(const QPalette& palette);

    /// A written line: the text in the text colour, after the grey time when withTime.
    QString writtenLine(const QString& html, bool withTime, const QTime& time) const;
    /**
     * A line of the framework's log: grey up to its level tag, in the level's colour after it.
     * alert (may be null) is set when the line is critical or fatal and left alone otherwise.
     */
    QString logLine(const QString& line, bool* alert) const;
    /// Whether the log line carries a critical or fatal tag.
    static bool isAlertLine(const QString& line);

private:
    QString textColour;
    QString highlightColour;
};
