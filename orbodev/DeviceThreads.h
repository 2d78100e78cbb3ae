#pragma once

#include <QMap>
#include <QString>

#include <functional>
#include <memory>

class QObject;
class QThread;

/**
 * The named worker threads a DeviceManager puts devices into, each with a plain agent
 * object that receives the calls run in that thread.
 *
 * A call and its answer pass between the threads under a mutex of the standard library, not
 * through Qt's event queue alone, so that the thread sanitizer (which cannot see into an
 * uninstrumented Qt) sees what the caller wrote before the call and the call wrote before
 * it ended as ordered.
 *
 * Owned by the DeviceManager and used on its thread; stops and deletes its threads when it
 * goes, so the manager removes its devices first. Internal to the framework.
 */
class DeviceThreads
{
public:
    /// How long the manager waits for a call it runs in a device's thread.
    static constexpr int callTimeoutMs = 5000;

    DeviceThreads() = default;
    DeviceThreads(const DeviceThreads&) = delete;
    DeviceThreads& operator=(const DeviceThreads&) = delete;
    ~DeviceThreads();

    /// The running thread of that name, started on first use.
    QThread* thread(const QString& threadName);
    /**
     * Runs call in object's thread and waits for it, at most timeoutMs; true when it ran in
     * time. A call for the current thread, or for a thread not started here, runs at once.
     */
    bool run(QObject* object, const std::function<void()>& call, int timeoutMs);

    struct Mailbox;

private:
    QMap<QString, QThread*> m_threads;
    /// One agent per worker thread, the receiver of calls run in that thread.
    QMap<QThread*, QObject*> m_agents;
    /// The calls waiting for each worker thread's agent.
    QMap<QThread*, std::shared_ptr<Mailbox>> m_mailboxes;
};
