#include "DeviceThreads.h"

#include <QThread>

#include <chrono>
#include <condition_variable>
#include <deque>
#include <mutex>

namespace {

// Whether a call has run, for the thread that waits for it.
struct Completion
{
    std::mutex mutex;
    std::condition_variable ended;
    bool done = false;
};

struct PendingCall
{
    std::function<void()> call;
    std::shared_ptr<Completion> completion;
};

} // namespace

struct DeviceThreads::Mailbox
{
    std::mutex mutex;
    std::deque<PendingCall> calls;
};

namespace {

// Lives in a worker thread and runs the calls of its mailbox there, one per runNext().
class CallAgent : public QObject
{
    Q_OBJECT

public:
    explicit CallAgent(std::shared_ptr<DeviceThreads::Mailbox> mailbox)
        : m_mailbox(std::move(mailbox))
    {
    }
    ~CallAgent() override
    {
        // Calls are posted under the lock: taking it once more orders them all before the end,
        // also for the thread sanitizer, which does not see Qt's own ordering.
        std::lock_guard<std::mutex> lock(m_mailbox->mutex);
    }

public Q_SLOTS:
    void runNext()
    {
        PendingCall next;
        {
            std::lock_guard<std::mutex> lock(m_mailbox->mutex);
            if (m_mailbox->calls.empty())
                return;
            next = std::move(m_mailbox->calls.front());
            m_mailbox->calls.pop_front();
        }
        next.call();
        {
            std::lock_guard<std::mutex> lock(next.completion->mutex);
            next.completion->done = true;
        }
        next.completion->ended.notify_all();
    }

private:
    const std::shared_ptr<DeviceThreads::Mailbox> m_mailbox;
};

} // namespace

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
        const auto mailbox = std::make_shared<Mailbox>();
        auto* agent = new CallAgent(mailbox);
        agent->moveToThread(thread);
        m_agents.insert(thread, agent);
        m_mailboxes.insert(thread, mailbox);
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
    const auto completion = std::make_shared<Completion>();
    {
        const std::shared_ptr<Mailbox> mailbox = m_mailboxes.value(thread);
        std::lock_guard<std::mutex> lock(mailbox->mutex);
        mailbox->calls.push_back(PendingCall{call, completion});
        QMetaObject::invokeMethod(agent, "runNext", Qt::QueuedConnection);
    }
    std::unique_lock<std::mutex> lock(completion->mutex);
    return completion->ended.wait_for(lock, std::chrono::milliseconds(qMax(0, timeoutMs)),
                                      [&completion] { return completion->done; });
}

#include "DeviceThreads.moc"
