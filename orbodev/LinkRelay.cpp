#include "LinkRelay.h"

#include <QDebug>
#include <QMetaType>
#include <QSet>
#include <QThread>
#include <QVector>

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

LinkRelay::LinkRelay(QObject* receiver, const QMetaMethod& slot)
    : QObject(receiver)
    , m_receiver(receiver)
    , m_slot(slot)
    , m_typeNames(slot.parameterTypes())
    , m_gate(std::make_shared<Gate>())
{
    for (const QByteArray& name : qAsConst(m_typeNames))
        m_typeIds.append(QMetaType::type(name.constData()));
}

LinkRelay::~LinkRelay() = default;

bool LinkRelay::mayBeDeletedHere() const
{
    return thread() == QThread::currentThread() && !devicesHandlingValues().contains(m_receiver);
}

QMetaObject::Connection LinkRelay::connectFrom(QObject* sender, const QMetaMethod& signal)
{
    // Qt decides at each emission: a direct call in the relay's thread, else a queued one,
    // which Qt drops when the relay is deleted before it is delivered.
    return QMetaObject::connect(sender, signal.methodIndex(), this, relaySlotIndex(), Qt::AutoConnection);
}

void LinkRelay::Gate::close()
{
    std::lock_guard<std::recursive_mutex> lock(delivering);
    open = false;
}

int LinkRelay::qt_metacall(QMetaObject::Call call, int id, void** arguments)
{
    id = QObject::qt_metacall(call, id, arguments);
    if (id < 0 || call != QMetaObject::InvokeMetaMethod)
        return id;
    if (id == 0)
        deliver(arguments);
    return -1;
}

void LinkRelay::deliver(void** arguments)
{
    if (!m_gate->open)
        return;
    QSet<const QObject*>& handling = devicesHandlingValues();
    if (handling.contains(m_receiver)) {
        deliverLater(arguments);
        return;
    }
    // Kept here, for a slot that removes its own device, and the relay with it, on the spot.
    const std::shared_ptr<Gate> gate = m_gate;
    QObject* const receiver = m_receiver;
    std::lock_guard<std::recursive_mutex> delivering(gate->delivering);
    if (!gate->open)
        return;
    QGenericArgument values[10];
    for (int i = 0; i < m_typeNames.size() && i < 10; ++i)
        values[i] = QGenericArgument(m_typeNames.at(i).constData(), arguments[i + 1]);
    handling.insert(receiver);
    m_slot.invoke(receiver, Qt::DirectConnection, values[0], values[1], values[2], values[3], values[4], values[5],
                  values[6], values[7], values[8], values[9]);
    devicesHandlingValues().remove(receiver);
}

void LinkRelay::deliverLater(void** arguments)
{
    if (m_typeIds.contains(QMetaType::UnknownType)) {
        qWarning().noquote() << "LinkRelay: value for" << m_receiver->objectName() << "dropped: its type cannot wait";
        return;
    }
    if (m_waiting >= maxWaitingValues) {
        if (!m_warned) {
            m_warned = true;
            qWarning().noquote() << "LinkRelay: values for" << m_receiver->objectName() << "dropped:"
                                 << maxWaitingValues << "are waiting already";
        }
        return;
    }
    // Copied as a queued connection would copy them; the copies live until delivered, or until
    // the relay goes and Qt drops the call.
    const QVector<int> ids = m_typeIds;
    auto copies = std::shared_ptr<QVector<void*>>(new QVector<void*>(ids.size() + 1, nullptr),
                                                  [ids](QVector<void*>* values) {
                                                      for (int i = 0; i < ids.size(); ++i)
                                                          QMetaType::destroy(ids.at(i), values->at(i + 1));
                                                      delete values;
                                                  });
    for (int i = 0; i < ids.size(); ++i)
        (*copies)[i + 1] = QMetaType::create(ids.at(i), arguments[i + 1]);
    ++m_waiting;
    QMetaObject::invokeMethod(
        this,
        [this, copies] {
            if (--m_waiting == 0)
                m_warned = false;
            deliver(copies->data());
        },
        Qt::QueuedConnection);
}
