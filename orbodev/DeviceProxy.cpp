#include "DeviceProxy.h"

#include <QMetaMethod>
#include <QMetaObject>

QString DeviceProxy::normalisedSignature(const QString& signature)
{
    QString text = signature.trimmed();
    if (!text.isEmpty() && (text.at(0) == QLatin1Char('1') || text.at(0) == QLatin1Char('2')))
        text.remove(0, 1);
    return QString::fromLatin1(QMetaObject::normalizedSignature(text.toLatin1().constData()));
}

QString DeviceProxy::parameterTypes(const QString& signature)
{
    const int open = signature.indexOf(QLatin1Char('('));
    const int close = signature.lastIndexOf(QLatin1Char(')'));
    if (open < 0 || close < open)
        return QString();
    return signature.mid(open + 1, close - open - 1);
}

int DeviceProxy::signalIndex(const QObject* sender, const QString& signal)
{
    if (!sender)
        return -1;
    const QByteArray text = normalisedSignature(signal).toLatin1();
    return sender->metaObject()->indexOfSignal(text.constData());
}

int DeviceProxy::methodIndex(const QObject* receiver, const QString& method)
{
    if (!receiver)
        return -1;
    const QByteArray text = normalisedSignature(method).toLatin1();
    return receiver->metaObject()->indexOfMethod(text.constData());
}

bool DeviceProxy::connect(const QObject* sender, const QString& signal, const QObject* receiver, const QString& slot,
                          Qt::ConnectionType type)
{
    const int signalAt = signalIndex(sender, signal);
    const int slotAt = methodIndex(receiver, slot);
    if (signalAt < 0 || slotAt < 0)
        return false;
    const QMetaMethod signalMethod = sender->metaObject()->method(signalAt);
    const QMetaMethod slotMethod = receiver->metaObject()->method(slotAt);
    if (!QMetaObject::checkConnectArgs(signalMethod, slotMethod))
        return false;
    return bool(QObject::connect(sender, signalMethod, receiver, slotMethod, type));
}

bool DeviceProxy::disconnect(const QObject* sender, const QString& signal, const QObject* receiver,
                             const QString& slot)
{
    const int signalAt = signalIndex(sender, signal);
    const int slotAt = methodIndex(receiver, slot);
    if (signalAt < 0 || slotAt < 0)
        return false;
    return QObject::disconnect(sender, sender->metaObject()->method(signalAt), receiver,
                               receiver->metaObject()->method(slotAt));
}
