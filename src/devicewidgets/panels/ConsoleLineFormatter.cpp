#include "ConsoleLineFormatter.h"

#include <QPalette>
#include <QTime>

namespace {

const QString face = QStringLiteral("face=\"Gill Sans MT\"");

// The tag of a level and the markup that replaces it; the grey of the opening part ends there.
QString levelMarkup(const QString& colour)
{
    return QStringLiteral("]</font> <font color=") + colour + QLatin1Char(' ') + face + QStringLiteral("  size=3>");
}

} // namespace

ConsoleLineFormatter::ConsoleLineFormatter(const QPalette& palette)
    : textColour(palette.color(QPalette::Current, QPalette::Text).name())
    , highlightColour(palette.color(QPalette::Current, QPalette::Highlight).name())
{
}

QString ConsoleLineFormatter::writtenLine(const QString& html, bool withTime, const QTime& time) const
{
    QString line;
    if (withTime) {
        line = QStringLiteral("<font color=grey ") + face + QStringLiteral(" size=3>[") + time.toString(Qt::TextDate)
               + QStringLiteral("]</font> ");
    }
    line += QStringLiteral("<font color=") + textColour + QLatin1Char(' ') + face + QStringLiteral("  size=3>") + html
            + QStringLiteral("</font>");
    return line;
}

QString ConsoleLineFormatter::logLine(const QString& line, bool* alert) const
{
    QString text = line.toHtmlEscaped();
    text.replace(QLatin1String("[D]"), levelMarkup(QStringLiteral("grey")));
    text.replace(QLatin1String("[W]"), levelMarkup(textColour));
    if (text.contains(QLatin1String("[C]"))) {
        text.replace(QLatin1String("[C]"), levelMarkup(highlightColour));
        if (alert)
            *alert = true;
    }
    if (text.contains(QLatin1String("[F]"))) {
        text.replace(QLatin1String("[F]"), levelMarkup(QStringLiteral("#ff0000")));
        if (alert)
            *alert = true;
    }
    return QStringLiteral("<font color=grey ") + face + QStringLiteral(" size=3>[") + text + QStringLiteral("</font>");
}

bool ConsoleLineFormatter::isAlertLine(const QString& line)
{
    return line.contains(QLatin1String("[C]")) || line.contains(QLatin1String("[F]"));
}
