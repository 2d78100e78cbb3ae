#pragma once

#include <QByteArray>
#include <QList>
#include <QMap>
#include <QMutex>
#include <QString>
#include <QStringList>
#include <QtGlobal>

namespace TestSupport {

/**
 * Captures every line Qt's message handler receives while it lives, and passes
 * them on to the handler that was installed before. Thread-safe.
 *
 *     LogCapture log;
 *     config.getParam("");
 *     QVERIFY(log.contains("YamlConfig::getParam() | WARNING key is empty |"));
 */
class LogCapture
{
public:
    LogCapture();
    ~LogCapture();
    LogCapture(const LogCapture&) = delete;
    LogCapture& operator=(const LogCapture&) = delete;

    /// Every captured message text, in order.
    QStringList messages() const;
    /// Captured messages of one type only.
    QStringList messages(QtMsgType type) const;
    /// Whether some captured message equals text exactly.
    bool contains(const QString& text) const;
    /// Whether some captured message contains fragment.
    bool containsFragment(const QString& fragment) const;
    void clear();

private:
    static void handler(QtMsgType type, const QMessageLogContext& context, const QString& message);

    struct Entry
    {
        QtMsgType type;
        QString text;
    };
    mutable QMutex m_mutex;
    QList<Entry> m_entries;
    QtMessageHandler m_previous = nullptr;
    LogCapture* m_outer = nullptr;
};

/**
 * Lowers the process's file-size limit (RLIMIT_FSIZE) while it lives: a write that would
 * pass the limit comes back short, the next one fails with EFBIG, whatever the process's
 * privileges. SIGXFSZ is ignored meanwhile so the process survives. isActive() is false
 * when the limit cannot be lowered here; tests skip then.
 *
 *     TestSupport::FileSizeLimit limit(16);
 *     QVERIFY(limit.isActive());
 */
class FileSizeLimit
{
public:
    explicit FileSizeLimit(qint64 bytes);
    ~FileSizeLimit();
    FileSizeLimit(const FileSizeLimit&) = delete;
    FileSizeLimit& operator=(const FileSizeLimit&) = delete;

    bool isActive() const { return m_active; }
    /// Puts the old limit back before the destructor would.
    void lift();

private:
    bool m_active = false;
    quint64 m_previousSoft = 0;
    quint64 m_previousHard = 0;
    void (*m_previousHandler)(int) = nullptr;
};

/// Makes path and everything below it read-only (true) or writable again (false).
bool setReadOnly(const QString& path, bool readOnly);

/// Whether the process can write to read-only files anyway (root): tests of write failures skip then.
bool ignoresFilePermissions();

/// A size this process's /proc/self/status gives in kB ("VmSize", "VmHWM"...), in bytes; 0 when unknown.
qint64 ownStatusBytes(const QByteArray& field);

/// The ids of the processes whose parent is this one, alive or not yet waited for.
QList<qint64> childProcesses();

/// Every file and folder below folder, by path, with what each file holds ("(no file)" for a folder).
QMap<QString, QByteArray> contentsBelow(const QString& folder);

} // namespace TestSupport
