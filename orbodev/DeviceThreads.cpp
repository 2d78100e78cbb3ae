#include "DeviceThreads.h"

#include <QSemaphore>
#include <QSharedPointer>
#include <QThread>

DeviceThreads::~DeviceThreads()
{
    for (QThread* thread : qAsConst(m_threads)) {
        // A deferred deletion in a thread that finishes runs as the thread ends.
        m_agents.value(thread)->deleteLater();
        thread->quit();
        thread->wait();
        delete thread;
    }
}

QThread* DeviceThreads::thread(const QString& threadName)
{
    QThread* thread = m_threads.value(threadName);
    if (!thread) {
        thread = new QThread;
        thread->setObjectName(threadName);
        m_threads.insert(threadName, thread);
        auto* agent = new QObject;
        agent->moveToThread(thread);
        m_agents.insert(thread, agent);
        thread->start();
    }
    return thread;
}

bool DeviceThreads::run(QObject* object, const std::function<void()>& call, int timeoutMs)
{
    if (!object)
        return false;
    QThread* thread = object->thread();
    QObject* agent = m_agents.value(thread);
    if (thread == QThread::currentThread() || !agent || !thread->isRunning()) {
        call();
        return true;
    }
    // The agent, not the object, receives the call, so that the call may delete the object.
    const QSharedPointer<QSemaphore> done(new QSemaphore);
    QMetaObject::invokeMethod(
        agent,
        [call, done] {
            call();
            done->release();
        },
        Qt::QueuedConnection);
    return done->tryAcquire(1, timeoutMs);
}
