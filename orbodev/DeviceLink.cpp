#include "DeviceLink.h"

#include "DeviceManager.h"
#include "DeviceProxy.h"
#include "DeviceRegistry.h"
#include "LinkRelay.h"
#include "TypeConverter.h"

#include <QMetaMethod>

namespace {

// The monitor's slot that hears every signal a link carries.
QString monitorSlot()
{
    return QStringLiteral("signalEmitted()");
}

} // namespace

DeviceLink* DeviceLink::join(DeviceRecord* source, DeviceRecord* target, const QString& signal, const QString& slot,
                             DeviceManager* manager, QObject* monitor)
{
    BaseDevice* sender = source->device;
    BaseDevice* receiver = target->device;
    auto* link = new DeviceLink;
    link->source = source;
    link->target = target;
    link->signal = signal;
    link->slot = slot;
    link->sourceDevice = sender;
    link->targetDevice = receiver;
    const QMetaMethod signalMethod = sender->metaObject()->method(DeviceProxy::signalIndex(sender, signal));
    const QMetaMethod slotMethod = receiver->metaObject()->method(DeviceProxy::methodIndex(receiver, slot));
    // Values reach the receiver through a relay, which keeps a ring of direct links from recursing.
    auto* relay = new LinkRelay(receiver, slotMethod, manager);
    link->relay = relay;
    if (QMetaObject::checkConnectArgs(signalMethod, slotMethod)) {
        link->connection = relay->connectFrom(sender, signalMethod);
    } else {
        const QString signalTypes = DeviceProxy::parameterTypes(signal);
        const QString slotTypes = DeviceProxy::parameterTypes(slot);
        const QString input = TypeConverter::inputFor(signalTypes);
        const QString output = TypeConverter::outputFor(slotTypes);
        if (manager->getTypeConversions().contains(TypePair(signalTypes, slotTypes)) && !input.isEmpty()
            && !output.isEmpty()) {
            auto* converter = new TypeConverter(slotTypes, manager);
            link->converter = converter;
            link->connection = QObject::connect(sender, signalMethod, converter,
                                                converter->metaObject()->method(DeviceProxy::methodIndex(converter, input)));
            link->converterConnection = relay->connectFrom(
                converter, converter->metaObject()->method(DeviceProxy::signalIndex(converter, output)));
        }
    }
    if (!link->connection) {
        delete link->converter.data();
        delete relay;
        delete link;
        return nullptr;
    }
    source->links.append(link);
    if (target != source)
        target->links.append(link);
    const QMetaMethod heard = monitor->metaObject()->method(DeviceProxy::methodIndex(monitor, monitorSlot()));
    QObject::connect(sender, signalMethod, monitor, heard, Qt::UniqueConnection);
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
    QObject::disconnect(connection);
    QObject::disconnect(converterConnection);
    delete converter.data();
    // A value on its way through the relay in another thread may still use it.
    if (relay)
        relay->deleteLater();
    if (!sourceDevice)
        return;
    for (const DeviceLink* other : qAsConst(source->links)) {
        if (other != this && other->sourceDevice == sourceDevice && other->signal == signal)
            return;
    }
    DeviceProxy::disconnect(sourceDevice, signal, monitor, monitorSlot());
}
