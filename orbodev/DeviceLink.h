#pragma once

#include "LinkRelay.h"

#include <QMetaObject>
#include <QPointer>
#include <QString>

#include <memory>

class BaseDevice;
class DeviceManager;
class DeviceThreads;
class TypeConverter;
struct DeviceRecord;

/**
 * One link of a DeviceManager's graph: a signal of one device joined to a slot of another
 * (or of the same one) through a LinkRelay, and through a TypeConverter where the parameter
 * types differ; listed in the links of both ends' records. The relay and the converter are
 * children of the receiving device, made in its thread, so that only that thread calls into
 * them and deletes them.
 *
 * Owned by the DeviceManager, which deletes it once cut(); its thread. Internal to the framework.
 */
class DeviceLink
{
public:
    /**
     * Joins the signal of source's device to the slot of target's device, both given as the
     * texts of their classes' signature lists, lists the link at both ends and lets monitor
     * hear the signal. The relay is made in the target's thread through threads, which the
     * call waits for. Null, nothing joined, when they do not fit and the manager allows no
     * conversion between their types, or when the target's thread does not answer in time.
     */
    static DeviceLink* join(DeviceRecord* source, DeviceRecord* target, const QString& signal, const QString& slot,
                            DeviceManager* manager, DeviceThreads& threads, QObject* monitor);

    bool joins(const DeviceRecord* from, const DeviceRecord* to, const QString& signalText,
               const QString& slotText) const
    {
        return source == from && target == to && signal == signalText && slot == slotText;
    }
    /// Takes the link out of both ends' lists.
    void detach();
    /**
     * Undoes the wiring; monitor stops hearing the signal when no other link of the source
     * carries it. Once it returns, no value of the link reaches the receiver, whatever the
     * threads; the relay and converter go in the receiver's thread: at once when that is the
     * calling thread and it is handing the receiver no value, otherwise later.
     */
    void cut(QObject* monitor);

    DeviceRecord* source = nullptr;
    DeviceRecord* target = nullptr;
    QString signal;
    QString slot;
    QPointer<BaseDevice> sourceDevice;
    QPointer<BaseDevice> targetDevice;

private:
    QPointer<TypeConverter> converter;
    QPointer<LinkRelay> relay;
    std::shared_ptr<LinkRelay::Gate> gate;
    QMetaObject::Connection connection;
};
