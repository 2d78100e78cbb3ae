#include "ElidedLabel.h"

#include <QFontMetrics>

#include <limits>

namespace {

const QChar ellipsis(0x2026);

} // namespace

ElidedLabel::ElidedLabel(QString text, QWidget* parent)
    : QLabel(text, parent)
    , m_fullText(std::move(text))
{
}

void ElidedLabel::setText(QString text)
{
    m_fullText = std::move(text);
    m_collapsedHeight = -1;
    update();
}

QString ElidedLabel::fullText() const
{
    return m_fullText;
}

bool ElidedLabel::isElided() const
{
    return m_elided;
}

QStringList ElidedLabel::wrappedLines(const QString& text, int width, int maxHeight, bool* overflow) const
{
    const QFontMetrics metrics(font());
    QStringList lines;
    int usedHeight = 0;
    *overflow = false;
    QString rest = text;
    while (!rest.isEmpty()) {
        QString line;
        if (metrics.horizontalAdvance(rest) < width) {
            line = rest;
        } else {
            line = metrics.elidedText(rest, Qt::ElideRight, width);
            line.chop(1);
        }
        if (line.isEmpty())
            line = rest.left(1);
        if (usedHeight + metrics.lineSpacing() > maxHeight) {
            *overflow = true;
            break;
        }
        usedHeight += metrics.lineSpacing();
        lines << line;
        rest.remove(0, line.size());
    }
    return lines;
}

void ElidedLabel::paintEvent(QPaintEvent* event)
{
    if (m_collapsedHeight == -1)
        m_collapsedHeight = height();

    QString text = m_fullText;
    text.replace(QLatin1Char('\n'), QLatin1Char(' '));
    bool overflow = false;
    QStringList lines = wrappedLines(text, width(), height(), &overflow);
    if (overflow) {
        // Not even one line may fit: the ellipsis alone still says there is more.
        if (lines.isEmpty())
            lines << QString();
        lines.last().append(ellipsis);
        if (!m_elided) {
            // A style change repolishes and repaints; doing it in every paint would loop.
            m_elided = true;
            setStyleSheet(QStringLiteral("QLabel:hover {color: orange;}"));
        }
    }
    const QString shown = lines.join(QLatin1Char('\n'));
    if (QLabel::text() != shown)
        QLabel::setText(shown);
    QLabel::paintEvent(event);
}

void ElidedLabel::mousePressEvent(QMouseEvent* event)
{
    QLabel::mousePressEvent(event);
    if (!m_elided)
        return;
    bool overflow = false;
    const QStringList lines = wrappedLines(m_fullText, width(), std::numeric_limits<int>::max(), &overflow);
    const int fullHeight = lines.size() * QFontMetrics(font()).lineSpacing();
    setFixedHeight(height() == m_collapsedHeight ? fullHeight : m_collapsedHeight);
}
