#pragma once

#include <QMetaMethod>
#include <QObject>

#include <memory>

/**
 * Carries the values of one link into its receiving device, so that a device wired to
 * itself, or a ring of devices wired directly, cannot recurse without end.
 *
 * A value for a device in the emitting thread is delivered at once, unless that device is
 * still handling a value further up the same thread's stack: then it waits in the device's
 * event loop and is delivered when the handling is done. A value for a device in another
 * thread waits in that thread's event loop, as with Qt's own connections. When more than
 * maxWaitingValues of one link wait for a device to finish handling, further ones are
 * dropped with a warning.
 *
 * Owned by the device manager, one per link; called in the emitting thread. Internal to
 * the framework.
 */
class LinkRelay : public QObject
{
public:
    static constexpr int maxWaitingValues = 1000;

    LinkRelay(QObject* receiver, const QMetaMethod& slot, QObject* parent);
    ~LinkRelay() override;

    /// Connects signal of sender to the relay, directly: the relay decides how to deliver.
    QMetaObject::Connection connectFrom(QObject* sender, const QMetaMethod& signal);

    int qt_metacall(QMetaObject::Call call, int id, void** arguments) override;

private:
    struct Target;

    std::shared_ptr<Target> m_target;
};
