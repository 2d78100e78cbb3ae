#include "MethodMatcher.h"

#include "BaseDevice.h"
#include "DeviceManager.h"
#include "DeviceProxy.h"

#include <QHash>
#include <QMetaMethod>

QStringList MethodMatcher::signatures(const QObject* device, bool wantSignals)
{
    // A class's methods are the same for each of its devices: they are listed once per class,
    // and every description shares the lists. A meta-object is taken for the same class only
    // while its name and method count agree.
    struct Listed
    {
        QByteArray className;
        int methodCount = 0;
        QStringList signalList;
        QStringList slotList;
    };
    static QHash<const QMetaObject*, Listed> listedClasses;
    const QMetaObject* metaObject = device->metaObject();
    auto listed = listedClasses.find(metaObject);
    if (listed == listedClasses.end() || listed->methodCount != metaObject->methodCount()
        || listed->className != metaObject->className()) {
        Listed methods;
        methods.className = metaObject->className();
        methods.methodCount = metaObject->methodCount();
        methods.signalList = listSignatures(metaObject, true);
        methods.slotList = listSignatures(metaObject, false);
        listed = listedClasses.insert(metaObject, methods);
    }
    return wantSignals ? listed->signalList : listed->slotList;
}

QStringList MethodMatcher::listSignatures(const QMetaObject* metaObject, bool wantSignals)
{
    QStringList signatures;
    for (int i = BaseDevice::staticMetaObject.methodCount(); i < metaObject->methodCount(); ++i) {
        const QMetaMethod method = metaObject->method(i);
        if (method.access() != QMetaMethod::Public)
            continue;
        const bool isSignal = method.methodType() == QMetaMethod::Signal;
        const bool isSlot = method.methodType() == QMetaMethod::Slot;
        if ((wantSignals && isSignal) || (!wantSignals && isSlot))
            signatures.append(QString::fromLatin1(method.methodSignature()));
    }
    return signatures;
}

MethodMatcher::Pairs MethodMatcher::candidatePairs(const QObject* source, const QObject* target,
                                                   const QString& signal, const QString& slot,
                                                   const QList<TypePair>& conversions)
{
    Pairs pairs;
    if (!source || !target)
        return pairs;
    const QString wantedSignal = signal.isEmpty() ? QString() : DeviceProxy::normalisedSignature(signal);
    const QString wantedSlot = slot.isEmpty() ? QString() : DeviceProxy::normalisedSignature(slot);
    for (const QString& signalText : signatures(source, true)) {
        if (!wantedSignal.isEmpty() && signalText != wantedSignal)
            continue;
        const QString signalTypes = DeviceProxy::parameterTypes(signalText);
        for (const QString& slotText : signatures(target, false)) {
            if (!wantedSlot.isEmpty() && slotText != wantedSlot)
                continue;
            const QString slotTypes = DeviceProxy::parameterTypes(slotText);
            if (signalTypes == slotTypes)
                pairs.identical.append(slotText + "<" + signalText);
            else if (conversions.contains(TypePair(signalTypes, slotTypes)))
                pairs.converted.append(slotText + "<" + signalText);
        }
    }
    return pairs;
}

int MethodMatcher::matchCode(const Pairs& pairs)
{
    if (pairs.identical.isEmpty()) {
        if (pairs.converted.isEmpty())
            return DeviceManager::NoMatch;
        return pairs.converted.size() == 1 ? DeviceManager::SingleConversion : DeviceManager::ChooseMatch;
    }
    if (pairs.identical.size() == 1)
        return DeviceManager::SingleMatch;
    QStringList slotSides;
    QStringList signalSides;
    for (const QString& pair : pairs.identical) {
        slotSides.append(slotOf(pair));
        signalSides.append(signalOf(pair));
    }
    if (slotSides.removeDuplicates() == 0 && signalSides.removeDuplicates() == 0)
        return DeviceManager::DistinctMatches;
    return DeviceManager::ChooseMatch;
}

QStringList MethodMatcher::plainJoin(const Pairs& pairs)
{
    QStringList chosen;
    QStringList usedSignals;
    QStringList usedSlots;
    for (const QString& pair : pairs.identical) {
        const QString slotSide = slotOf(pair);
        const QString signalSide = signalOf(pair);
        if (usedSignals.contains(signalSide) || usedSlots.contains(slotSide))
            continue;
        usedSignals.append(signalSide);
        usedSlots.append(slotSide);
        chosen.append(pair);
    }
    if (chosen.isEmpty() && !pairs.converted.isEmpty())
        chosen.append(pairs.converted.first());
    return chosen;
}
