// The device manager's links: which pairs fit, joining and cutting them, and their activity.
#include "DeviceManager.h"

#include "DeviceLink.h"
#include "DeviceProxy.h"
#include "DeviceRegistry.h"
#include "DeviceThreads.h"
#include "LinkActivityMonitor.h"
#include "MethodMatcher.h"

#include <QMetaMethod>
#include <QPair>

QList<TypePair> DeviceManager::getTypeConversions() const
{
    return {TypePair("int", "double"),   TypePair("int", "bool"),     TypePair("double", "bool"),
            TypePair("int", "QString"),  TypePair("double", "QString"), TypePair("bool", "QString"),
            TypePair("QString", "QByteArray")};
}

int DeviceManager::findMatchingMethods(const QString& source, const QString& target, const QString& signal,
                                       const QString& slot, QStringList* identicalPairs, QStringList* convertedPairs)
{
    MethodMatcher::Pairs pairs = MethodMatcher::candidatePairs(deviceObject(source), deviceObject(target), signal,
                                                               slot, getTypeConversions());
    adjustMatchingPairs(pairs.identical, pairs.converted);
    if (identicalPairs)
        *identicalPairs = pairs.identical;
    if (convertedPairs)
        *convertedPairs = pairs.converted;
    return adjustMatchCode(MethodMatcher::matchCode(pairs));
}

bool DeviceManager::addConnection(const QString& source, const QString& target, const QString& signal,
                                  const QString& slot)
{
    recordCall(QString("addConnection(%1,%2,%3,%4)").arg(source, target, signal, slot));
    return connectPair(source, target, signal, slot);
}

bool DeviceManager::removeConnection(const QString& source, const QString& target, const QString& signal,
                                     const QString& slot)
{
    recordCall(QString("removeConnection(%1,%2,%3,%4)").arg(source, target, signal, slot));
    const QString wantedSignal = DeviceProxy::normalisedSignature(signal);
    const QString wantedSlot = DeviceProxy::normalisedSignature(slot);
    const DeviceRecord* sourceRecord = m_devices->find(source);
    const DeviceRecord* targetRecord = m_devices->find(target);
    if (!sourceRecord || !targetRecord)
        return false;
    for (DeviceLink* link : sourceRecord->links) {
        if (link->joins(sourceRecord, targetRecord, wantedSignal, wantedSlot)) {
            const QString from = link->source->name;
            const QString to = link->target->name;
            dropLink(link);
            notifyChanged(from);
            notifyChanged(to);
            return true;
        }
    }
    return false;
}

bool DeviceManager::removeDeviceConnection(const QString& source, const QString& target)
{
    recordCall(QString("removeDeviceConnection(%1,%2)").arg(source, target));
    bool removed = false;
    QString from;
    QString to;
    DeviceRecord* sourceRecord = m_devices->find(source);
    const DeviceRecord* targetRecord = m_devices->find(target);
    for (int i = sourceRecord && targetRecord ? sourceRecord->links.size() - 1 : -1; i >= 0; --i) {
        DeviceLink* link = sourceRecord->links.at(i);
        if (link->source == sourceRecord && link->target == targetRecord) {
            from = link->source->name;
            to = link->target->name;
            dropLink(link);
            removed = true;
        }
    }
    if (removed) {
        notifyChanged(from);
        if (to != from)
            notifyChanged(to);
    }
    return removed;
}

bool DeviceManager::addDeviceConnection(const QString& source, const QString& target, const QString& signal,
                                        const QString& slot)
{
    recordCall(QString("addDeviceConnection(%1,%2,%3,%4)").arg(source, target, signal, slot));
    if (!signal.isEmpty() && !slot.isEmpty())
        return connectPair(source, target, signal, slot);

    const MethodMatcher::Pairs pairs = MethodMatcher::candidatePairs(deviceObject(source), deviceObject(target),
                                                                     signal, slot, getTypeConversions());
    bool joined = false;
    for (const QString& pair : MethodMatcher::plainJoin(pairs))
        joined = connectPair(source, target, MethodMatcher::signalOf(pair), MethodMatcher::slotOf(pair)) || joined;
    return joined;
}

bool DeviceManager::connectPair(const QString& source, const QString& target, const QString& signal,
                                const QString& slot)
{
    DeviceRecord* sourceRecord = m_devices->find(source);
    DeviceRecord* targetRecord = m_devices->find(target);
    const BaseDevice* sender = sourceRecord ? sourceRecord->device : nullptr;
    const BaseDevice* receiver = targetRecord ? targetRecord->device : nullptr;
    if (!sender || !receiver)
        return false;
    // The texts are taken from the classes' method lists, so that every link and every
    // description of links between the same methods shares them.
    const QStringList senderSignals = MethodMatcher::signatures(sender, true);
    const QStringList receiverSlots = MethodMatcher::signatures(receiver, false);
    const int signalIndex = senderSignals.indexOf(DeviceProxy::normalisedSignature(signal));
    const int slotIndex = receiverSlots.indexOf(DeviceProxy::normalisedSignature(slot));
    if (signalIndex < 0 || slotIndex < 0)
        return false;
    const QString signalText = senderSignals.at(signalIndex);
    const QString slotText = receiverSlots.at(slotIndex);
    const QString sourceName = sourceRecord->name;
    const QString targetName = targetRecord->name;
    for (const DeviceLink* link : qAsConst(sourceRecord->links)) {
        if (link->joins(sourceRecord, targetRecord, signalText, slotText))
            return true;
    }
    if (!DeviceLink::join(sourceRecord, targetRecord, signalText, slotText, this, *m_threads, m_monitor))
        return false;
    notifyChanged(sourceName);
    if (targetName != sourceName)
        notifyChanged(targetName);
    return true;
}

void DeviceManager::dropLink(DeviceLink* link)
{
    link->detach();
    link->cut(m_monitor);
    delete link;
}

void DeviceManager::reportEmission(const QObject* sender, int signalIndex)
{
    if (!m_signalsTracking || !sender || signalIndex < 0)
        return;
    const DeviceRecord* record = m_devices->recordOf(sender);
    if (!record)
        return;
    const QString signal = QString::fromLatin1(sender->metaObject()->method(signalIndex).methodSignature());
    // Collected first: a receiver of onEmit() may change the links.
    QList<QPair<QString, QString>> carried;
    for (const DeviceLink* link : record->links) {
        if (link->sourceDevice == sender && link->signal == signal)
            carried.append(qMakePair(link->source->name, link->target->name));
    }
    for (const auto& pair : qAsConst(carried)) {
        const QString provider = pair.first;
        const QString receiver = pair.second;
        notify([this, provider, receiver] { Q_EMIT onEmit(provider, receiver); });
    }
}
