#pragma once

#include <QMetaMethod>
#include <QObject>

#include <atomic>
#include <memory>
#include <mutex>

/**
 * Carries the values of one link into its receiving device, so that a device wired to
 * itself, or a ring of devices wired directly, cannot recurse without end.
 *
 * The relay is a child of the receiving device: it lives in the device's thread, moves with
 * it and goes with it. A value emitted in that thread is delivered at once, unless the device
 * is still handling a value further up the same thread's stack: then it waits in the thread's
 * event loop and is delivered when the handling is done. A value emitted in another thread
 * reaches the relay through Qt's own queued connection, which copies it and drops it should
 * the relay go first. When more than maxWaitingValues of one link wait for a device to finish
 * handling, further ones are dropped with a warning.
 *
 * So no thread but the device's own ever calls into the relay, and the relay is deleted in
 * that thread only (at once when mayBeDeletedHere(), else deleteLater(), or with the device). Its Gate closes it from any thread.
 *
 * Created and connected in the receiving device's thread; the device manager closes it
 * through its gate and deletes it. Internal to the framework.
 */
class LinkRelay : public QObject
{
public:
    static constexpr int maxWaitingValues = 1000;

    /// Whether the relay still delivers; shared with whoever closes it, and outlives the relay.
    class Gate
    {
    public:
        /// Lets nothing more through, once a delivery under way has ended. Any thread.
        void close();

    private:
        friend class LinkRelay;
        std::atomic<bool> open{true};
        /// Held while a value is delivered, so that close() waits for it. Recursive, for a
        /// receiver that removes its own link while handling a value.
        std::recursive_mutex delivering;
    };

    /// Becomes a child of receiver, so must be created in receiver's thread.
    LinkRelay(QObject* receiver, const QMetaMethod& slot);
    ~LinkRelay() override;

    std::shared_ptr<Gate> gate() const { return m_gate; }
    /**
     * Whether the relay may be deleted on the spot: it lives in the calling thread and that
     * thread is handing no value to its receiver (so neither the relay nor a converter before
     * it is on the stack). Otherwise it is to go through deleteLater().
     */
    bool mayBeDeletedHere() const;
    /// Connects signal of sender to the relay: at once in the relay's thread, queued from others.
    QMetaObject::Connection connectFrom(QObject* sender, const QMetaMethod& signal);

    int qt_metacall(QMetaObject::Call call, int id, void** arguments) override;

private:
    void deliver(void** arguments);
    void deliverLater(void** arguments);

    QObject* const m_receiver;
    const QMetaMethod m_slot;
    QList<QByteArray> m_typeNames;
    QVector<int> m_typeIds;
    /// Values waiting for the receiver to finish handling; used in the relay's thread only.
    int m_waiting = 0;
    bool m_warned = false;
    const std::shared_ptr<Gate> m_gate;
};
