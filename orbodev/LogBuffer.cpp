#include "LogBuffer.h"

#include <QMutexLocker>
#include <QTime>

LogBuffer::LogBuffer(int maximumLines)
    : m_maximumLines(qMax(1, maximumLines))
{
}

QStringList LogBuffer::getBuffer(int from) const
{
    QMutexLocker locker(&m_mutex);
    return m_lines.mid(qMax(0, from));
}

int LogBuffer::size() const
{
    QMutexLocker locker(&m_mutex);
    return m_lines.size();
}

QStringList LogBuffer::takeAll()
{
    QMutexLocker locker(&m_mutex);
    QStringList lines;
    lines.swap(m_lines);
    return lines;
}

void LogBuffer::append(QtMsgType type, const QString& text)
{
    const QString line = formatLine(type, text);
    QMutexLocker locker(&m_mutex);
    m_lines.append(line);
    if (m_lines.size() > m_maximumLines)
        m_lines.erase(m_lines.begin(), m_lines.begin() + (m_lines.size() - m_maximumLines));
}

void LogBuffer::clear()
{
    QMutexLocker locker(&m_mutex);
    m_lines.clear();
}

QString LogBuffer::formatLine(QtMsgType type, const QString& text)
{
    const char* tag = "D";
    switch (type) {
    case QtDebugMsg:
    case QtInfoMsg:
        tag = "D";
        break;
    case QtWarningMsg:
        tag = "W";
        break;
    case QtCriticalMsg:
        tag = "C";
        break;
    case QtFatalMsg:
        tag = "F";
        break;
    }
    return QTime::currentTime().toString(QStringLiteral("hh:mm:ss")) + " [" + QLatin1String(tag) + "] " + text;
}
