#include "LinkRelay.h"

#include <QDebug>
#include <QMetaType>
#include <QPointer>
#include <QSet>
#include <QThread>
#include <QVector>

#include <atomic>

namespace {

// The devices that the current thread is delivering a value to, innermost last.
QSet<const QObject*>& devicesHandlingValues()
{
    thread_local QSet<const QObject*> handling;
    return handling;
}

// The one slot the relay adds to QObject's methods.
int relaySlotIndex()
{
    return QObject::staticMetaObject.methodCount();
}

} // namespace

// Shared with the values waiting in an event loop, which may outlive the relay.
struct LinkRelay::Target : std::enable_shared_from_this<LinkRelay::Target>
{
    QPointer<QObject> receiver;
    QMetaMethod slot;
    QList<QByteArray> typeNames;
    QVector<int> typeIds;
    std::atomic<int> waiting{0};
    std::atomic<bool> warned{false};

    enum class Wait { ForHandling, ForThread };

    void deliverNow(void** arguments);
    void deliverLater(void** arguments, Wait reason);
};

void LinkRelay::Target::deliverNow(void** arguments)
{
    QObject* device = receiver.data();
    if (!device)
        return;
    QSet<const QObject*>& handling = devicesHandlingValues();
    if (handling.contains(device)) {
        deliverLater(arguments, Wait::ForHandling);
        return;
    }
    QGenericArgument values[10];
    for (int i = 0; i < typeNames.size() && i < 10; ++i)
        values[i] = QGenericArgument(typeNames.at(i).constData(), arguments[i + 1]);
    handling.insert(device);
    slot.invoke(device, Qt::DirectConnection, values[0], values[1], values[2], values[3], values[4], values[5],
                values[6], values[7], values[8], values[9]);
    devicesHandlingValues().remove(device);
}

void LinkRelay::Target::deliverLater(void** arguments, Wait reason)
{
    QObject* device = receiver.data();
    if (!device)
        return;
    if (typeIds.contains(QMetaType::UnknownType)) {
        qWarning().noquote() << "LinkRelay: value for" << device->objectName() << "dropped: its type cannot wait";
        return;
    }
    // Only a loop is held to the limit; a device in another thread is waited for as Qt's own
    // queued connections wait for it.
    const bool counted = reason == Wait::ForHandling;
    if (counted && waiting >= maxWaitingValues) {
        if (!warned.exchange(true))
            qWarning().noquote() << "LinkRelay: values for" << device->objectName() << "dropped:" << maxWaitingValues
                                 << "are waiting already";
        return;
    }
    // Copied as a queued connection would copy them; the copies live until delivered.
    auto copies = std::shared_ptr<QVector<void*>>(new QVector<void*>(typeIds.size() + 1, nullptr),
                                                  [ids = typeIds](QVector<void*>* values) {
                                                      for (int i = 0; i < ids.size(); ++i)
                                                          QMetaType::destroy(ids.at(i), values->at(i + 1));
                                                      delete values;
                                                  });
    for (int i = 0; i < typeIds.size(); ++i)
        (*copies)[i + 1] = QMetaType::create(typeIds.at(i), arguments[i + 1]);
    if (counted)
        ++waiting;
    std::shared_ptr<Target> self = shared_from_this();
    QMetaObject::invokeMethod(
        device,
        [self, copies, counted] {
            if (counted && --self->waiting == 0)
                self->warned = false;
            self->deliverNow(copies->data());
        },
        Qt::QueuedConnection);
}

LinkRelay::LinkRelay(QObject* receiver, const QMetaMethod& slot, QObject* parent)
    : QObject(parent)
    , m_target(std::make_shared<Target>())
{
    m_target->receiver = receiver;
    m_target->slot = slot;
    m_target->typeNames = slot.parameterTypes();
    for (const QByteArray& name : qAsConst(m_target->typeNames))
        m_target->typeIds.append(QMetaType::type(name.constData()));
}

LinkRelay::~LinkRelay() = default;

QMetaObject::Connection LinkRelay::connectFrom(QObject* sender, const QMetaMethod& signal)
{
    return QMetaObject::connect(sender, signal.methodIndex(), this, relaySlotIndex(), Qt::DirectConnection);
}

int LinkRelay::qt_metacall(QMetaObject::Call call, int id, void** arguments)
{
    id = QObject::qt_metacall(call, id, arguments);
    if (id < 0 || call != QMetaObject::InvokeMetaMethod)
        return id;
    if (id == 0) {
        QObject* device = m_target->receiver.data();
        if (device && device->thread() != QThread::currentThread())
            m_target->deliverLater(arguments, Target::Wait::ForThread);
        else
            m_target->deliverNow(arguments);
    }
    return -1;
}
