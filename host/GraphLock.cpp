#include "GraphLock.h"

#include <QDebug>
#include <QFileInfo>
#include <QLockFile>

#include <memory>

namespace {

std::unique_ptr<QLockFile>& heldLock()
{
    static std::unique_ptr<QLockFile> lock;
    return lock;
}

} // namespace

namespace GraphLock {

QString lockFileOf(const QString& graph)
{
    // One lock however the graph is named: through a link, or relative to another folder.
    const QFileInfo file(graph);
    const QString canonical = file.canonicalFilePath();
    return (canonical.isEmpty() ? file.absoluteFilePath() : canonical) + QStringLiteral(".lock");
}

bool take(const QString& graph, qint64* holder)
{
    release();
    auto lock = std::make_unique<QLockFile>(lockFileOf(graph));
    // Only a lock whose process is gone is stale, however long a demo has been running.
    lock->setStaleLockTime(0);
    if (lock->tryLock(0)) {
        heldLock() = std::move(lock);
        return true;
    }
    if (lock->error() != QLockFile::LockFailedError) {
        qWarning().noquote() << "Demo: cannot lock the device graph" << graph << "with" << lockFileOf(graph)
                             << "(error" << int(lock->error()) << "), it is taken as free";
        return true;
    }
    qint64 pid = 0;
    QString hostName;
    QString application;
    lock->getLockInfo(&pid, &hostName, &application);
    qWarning().noquote() << "Demo: the device graph" << graph << "is in use by process" << pid << "on" << hostName;
    if (holder)
        *holder = pid;
    return false;
}

void release()
{
    heldLock().reset();
}

} // namespace GraphLock
