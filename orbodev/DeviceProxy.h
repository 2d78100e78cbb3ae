#pragma once

#include "orbodev_export.h"

#include <QObject>
#include <QString>

/**
 * Connects and disconnects signals and slots named by signature text.
 *
 * Signatures are given as "name(types)", with or without the "2" (signal) / "1" (slot)
 * prefix of Qt's SIGNAL()/SLOT() macros; they are normalised first, so blanks do not matter.
 * The receiving method may be a slot, a signal or an invokable. Automatic connections are
 * queued when receiver and sender live in different threads; argument types must then be
 * registered meta types.
 */
class ORBODEV_EXPORT DeviceProxy
{
public:
    static bool connect(const QObject* sender, const QString& signal, const QObject* receiver, const QString& slot,
                        Qt::ConnectionType type = Qt::AutoConnection);
    static bool disconnect(const QObject* sender, const QString& signal, const QObject* receiver,
                           const QString& slot);

    /// signature without a macro prefix, normalised ("value( double )" gives "value(double)").
    static QString normalisedSignature(const QString& signature);
    /// The text between the parentheses of a signature: "set(int,bool)" gives "int,bool".
    static QString parameterTypes(const QString& signature);
    /// Index of signal in sender's meta-object, or -1.
    static int signalIndex(const QObject* sender, const QString& signal);
    /// Index of a method (slot, signal or invokable) in receiver's meta-object, or -1.
    static int methodIndex(const QObject* receiver, const QString& method);
};
