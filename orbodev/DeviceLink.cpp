#include "DeviceLink.h"

#include "DeviceManager.h"
#include "DeviceProxy.h"
#include "DeviceRegistry.h"
#include "DeviceThreads.h"
#include "LinkRelay.h"
#include "TypeConverter.h"

#include <QMetaMethod>

#include <memory>
#include <mutex>

namespace {

// The monitor's slot that hears every signal a link carries.
QString monitorSlot()
{
    return QStringLiteral("signalEmitted()");
}

// What the receiving device's thread made of a link.
struct Carriers
{
    LinkRelay* relay = nullptr;
    TypeConverter* converter = nullptr;
    std::shared_ptr<LinkRelay::Gate> gate;
    QMetaObject::Connection connection;
};

// How a link is wired: its ends, and the converter's methods when the types differ.
struct Wiring
{
    BaseDevice* sender = nullptr;
    QMetaMethod signal;
    BaseDevice* receiver = nullptr;
    QMetaMethod slot;
    QString convertedType;
    QString converterInput;
    QString converterOutput;
};

// Runs in the receiving device's thread: the relay and converter become its children there,
// and only that thread touches them.
Carriers wire(const Wiring& wiring)
{
    Carriers made;
    auto* relay = new LinkRelay(wiring.receiver, wiring.slot);
    bool wired = false;
    if (wiring.convertedType.isEmpty()) {
        made.connection = relay->connectFrom(wiring.sender, wiring.signal);
        wired = bool(made.connection);
    } else {
        TypeConverter* converter = new TypeConverter(wiring.convertedType, wiring.receiver);
        const QMetaObject* converterClass = converter->metaObject();
        made.converter = converter;
        made.connection = QObject::connect(wiring.sender, wiring.signal, converter,
                                           converterClass->method(DeviceProxy::methodIndex(converter, wiring.converterInput)));
        wired = made.connection
            && relay->connectFrom(converter,
                                  converterClass->method(DeviceProxy::signalIndex(converter, wiring.converterOutput)));
    }
    if (!wired) {
        QObject::disconnect(made.connection);
        delete made.converter;
        delete relay;
        return Carriers();
    }
    made.relay = relay;
    made.gate = relay->gate();
    return made;
}

// The carriers of wiring, made in the receiver's thread; nothing when it does not answer in time.
Carriers wireInReceiverThread(const Wiring& wiring, DeviceThreads& threads)
{
    // Shared with the call, which may still run once the wait has given up: then it makes nothing.
    struct Request
    {
        std::mutex mutex;
        bool abandoned = false;
        Carriers made;
    };
    const auto request = std::make_shared<Request>();
    threads.run(
        wiring.receiver,
        [request, wiring] {
            std::lock_guard<std::mutex> lock(request->mutex);
            if (!request->abandoned)
                request->made = wire(wiring);
        },
        DeviceThreads::callTimeoutMs);
    std::lock_guard<std::mutex> lock(request->mutex);
    request->abandoned = true;
    return request->made;
}

} // namespace

DeviceLink* DeviceLink::join(DeviceRecord* source, DeviceRecord* target, const QString& signal, const QString& slot,
                             DeviceManager* manager, DeviceThreads& threads, QObject* monitor)
{
    Wiring wiring;
    wiring.sender = source->device;
    wiring.receiver = target->device;
    wiring.signal = wiring.sender->metaObject()->method(DeviceProxy::signalIndex(wiring.sender, signal));
    wiring.slot = wiring.receiver->metaObject()->method(DeviceProxy::methodIndex(wiring.receiver, slot));
    if (!QMetaObject::checkConnectArgs(wiring.signal, wiring.slot)) {
        const QString signalTypes = DeviceProxy::parameterTypes(signal);
        wiring.convertedType = DeviceProxy::parameterTypes(slot);
        wiring.converterInput = TypeConverter::inputFor(signalTypes);
        wiring.converterOutput = TypeConverter::outputFor(wiring.convertedType);
        if (!manager->getTypeConversions().contains(TypePair(signalTypes, wiring.convertedType))
            || wiring.converterInput.isEmpty() || wiring.converterOutput.isEmpty())
            return nullptr;
    }
    // Values reach the receiver through a relay, which keeps a ring of direct links from recursing.
    const Carriers carriers = wireInReceiverThread(wiring, threads);
    if (!carriers.relay)
        return nullptr;
    auto* link = new DeviceLink;
    link->source = source;
    link->target = target;
    link->signal = signal;
    link->slot = slot;
    link->sourceDevice = wiring.sender;
    link->targetDevice = wiring.receiver;
    link->relay = carriers.relay;
    link->gate = carriers.gate;
    link->converter = carriers.converter;
    link->connection = carriers.connection;
    source->links.append(link);
    if (target != source)
        target->links.append(link);
    const QMetaMethod heard = monitor->metaObject()->method(DeviceProxy::methodIndex(monitor, monitorSlot()));
    QObject::connect(wiring.sender, wiring.signal, monitor, heard, Qt::UniqueConnection);
    return link;
}

void DeviceLink::detach()
{
    source->links.removeOne(this);
    if (target != source)
        target->links.removeOne(this);
}

void DeviceLink::cut(QObject* monitor)
{
    // Closed first: a value already on its way is then dropped wherever it waits.
    if (gate)
        gate->close();
    QObject::disconnect(connection);
    // Their thread may be delivering a value through them right now; it deletes them when done.
    // The converter's own connection to the relay goes with it. Idle in this thread, they go at
    // once: each waiting deletion is one more event that every later deleted object with events
    // of its own (a relay going with its device) has Qt search through.
    if (relay && relay->mayBeDeletedHere()) {
        delete converter.data();
        delete relay.data();
    } else {
        if (converter)
            converter->deleteLater();
        if (relay)
            relay->deleteLater();
    }
    if (!sourceDevice)
        return;
    for (const DeviceLink* other : qAsConst(source->links)) {
        if (other != this && other->sourceDevice == sourceDevice && other->signal == signal)
            return;
    }
    DeviceProxy::disconnect(sourceDevice, signal, monitor, monitorSlot());
}
