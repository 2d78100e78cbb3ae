#include "TestSupport.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QTemporaryDir>

#include <csignal>
#include <sys/resource.h>
#include <unistd.h>

namespace TestSupport {

namespace {
QMutex g_captureMutex;
LogCapture* g_current = nullptr;
}

LogCapture::LogCapture()
{
    QMutexLocker lock(&g_captureMutex);
    m_outer = g_current;
    g_current = this;
    m_previous = qInstallMessageHandler(&LogCapture::handler);
}

LogCapture::~LogCapture()
{
    QMutexLocker lock(&g_captureMutex);
    qInstallMessageHandler(m_previous);
    g_current = m_outer;
}

void LogCapture::handler(QtMsgType type, const QMessageLogContext& context, const QString& message)
{
    QtMessageHandler previous = nullptr;
    {
        QMutexLocker lock(&g_captureMutex);
        for (LogCapture* capture = g_current; capture; capture = capture->m_outer) {
            QMutexLocker entriesLock(&capture->m_mutex);
            capture->m_entries.append({type, message});
        }
        LogCapture* outermost = g_current;
        while (outermost && outermost->m_outer)
            outermost = outermost->m_outer;
        previous = outermost ? outermost->m_previous : nullptr;
    }
    if (previous)
        previous(type, context, message);
}

QStringList LogCapture::messages() const
{
    QMutexLocker lock(&m_mutex);
    QStringList result;
    for (const Entry& entry : m_entries)
        result << entry.text;
    return result;
}

QStringList LogCapture::messages(QtMsgType type) const
{
    QMutexLocker lock(&m_mutex);
    QStringList result;
    for (const Entry& entry : m_entries) {
        if (entry.type == type)
            result << entry.text;
    }
    return result;
}

bool LogCapture::contains(const QString& text) const
{
    return messages().contains(text);
}

bool LogCapture::containsFragment(const QString& fragment) const
{
    for (const QString& message : messages()) {
        if (message.contains(fragment))
            return true;
    }
    return false;
}

void LogCapture::clear()
{
    QMutexLocker lock(&m_mutex);
    m_entries.clear();
}

bool setReadOnly(const QString& path, bool readOnly)
{
    const QFileDevice::Permissions readable = QFileDevice::ReadOwner | QFileDevice::ReadUser;
    const QFileDevice::Permissions executable = QFileDevice::ExeOwner | QFileDevice::ExeUser;
    const QFileDevice::Permissions writable = QFileDevice::WriteOwner | QFileDevice::WriteUser;
    auto apply = [&](const QString& entry) {
        const bool isDir = QFileInfo(entry).isDir();
        QFileDevice::Permissions permissions = readable | (isDir ? executable : QFileDevice::Permissions());
        if (!readOnly)
            permissions |= writable;
        return QFile::setPermissions(entry, permissions);
    };
    bool ok = apply(path);
    if (QFileInfo(path).isDir()) {
        QDirIterator it(path, QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden, QDirIterator::Subdirectories);
        while (it.hasNext())
            ok = apply(it.next()) && ok;
    }
    return ok;
}

FileSizeLimit::FileSizeLimit(qint64 bytes)
{
    rlimit current {};
    if (::getrlimit(RLIMIT_FSIZE, &current) != 0)
        return;
    m_previousSoft = current.rlim_cur;
    m_previousHard = current.rlim_max;
    m_previousHandler = std::signal(SIGXFSZ, SIG_IGN);
    rlimit limited = current;
    limited.rlim_cur = rlim_t(qMax<qint64>(bytes, 0));
    m_active = ::setrlimit(RLIMIT_FSIZE, &limited) == 0;
    if (!m_active)
        std::signal(SIGXFSZ, m_previousHandler);
}

FileSizeLimit::~FileSizeLimit()
{
    lift();
}

void FileSizeLimit::lift()
{
    if (!m_active)
        return;
    rlimit previous {};
    previous.rlim_cur = rlim_t(m_previousSoft);
    previous.rlim_max = rlim_t(m_previousHard);
    ::setrlimit(RLIMIT_FSIZE, &previous);
    std::signal(SIGXFSZ, m_previousHandler);
    m_active = false;
}

bool ignoresFilePermissions()
{
    return ::geteuid() == 0;
}

qint64 ownStatusBytes(const QByteArray& field)
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return 0;
    const QByteArray text = status.readAll();
    const QByteArray key = "\n" + field + ":";
    const int found = text.indexOf(key);
    if (found < 0)
        return 0;
    const int start = found + key.size();
    return text.mid(start, text.indexOf('\n', start) - start).trimmed().split(' ').value(0).toLongLong() * 1024;
}

QList<qint64> childProcesses()
{
    QList<qint64> children;
    const QByteArray self = QByteArray::number(qint64(::getpid()));
    for (const QString& entry : QDir(QStringLiteral("/proc")).entryList(QDir::Dirs)) {
        QFile stat(QStringLiteral("/proc/%1/stat").arg(entry));
        if (entry.toLongLong() <= 0 || !stat.open(QIODevice::ReadOnly))
            continue;
        // pid (name) state ppid …: the name may hold spaces, so count from its closing bracket.
        const QByteArray text = stat.readAll();
        const QList<QByteArray> fields = text.mid(text.lastIndexOf(')') + 2).split(' ');
        if (fields.size() > 1 && fields.at(1) == self)
            children.append(entry.toLongLong());
    }
    return children;
}

QMap<QString, QByteArray> contentsBelow(const QString& folder)
{
    QMap<QString, QByteArray> contents;
    QDirIterator entries(folder, QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden | QDir::System,
                         QDirIterator::Subdirectories);
    while (entries.hasNext()) {
        QFile file(entries.next());
        contents.insert(file.fileName(), file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("(no file)"));
    }
    return contents;
}

} // namespace TestSupport
