#pragma once

#include <QMetaObject>
#include <QPointer>
#include <QString>

class BaseDevice;
class DeviceManager;
class LinkRelay;
class TypeConverter;
struct DeviceRecord;

/**
 * One link of a DeviceManager's graph: a signal of one device joined to a slot of another
 * (or of the same one) through a LinkRelay, and through a TypeConverter where the parameter
 * types differ; listed in the links of both ends' records.
 *
 * Owned by the DeviceManager, which deletes it once cut(); its thread. Internal to the framework.
 */
class DeviceLink
{
public:
    /**
     * Joins the signal of source's device to the slot of target's device, both given as the
     * texts of their classes' signature lists, lists the link at both ends and lets monitor
     * hear the signal. Null, nothing joined, when they do not fit and the manager allows no
     * conversion between their types.
     */
    static DeviceLink* join(DeviceRecord* source, DeviceRecord* target, const QString& signal, const QString& slot,
                            DeviceManager* manager, QObject* monitor);

    bool joins(const DeviceRecord* from, const DeviceRecord* to, const QString& signalText,
               const QString& slotText) const
    {
        return source == from && target == to && signal == signalText && slot == slotText;
    }
    /// Takes the link out of both ends' lists.
    void detach();
    /// Undoes the wiring; monitor stops hearing the signal when no other link of the source carries it.
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
    QMetaObject::Connection connection;
    QMetaObject::Connection converterConnection;
};
