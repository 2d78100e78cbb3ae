#pragma once

#include "Connection.h"
#include "Param.h"
#include "orbodev_export.h"

#include <QList>
#include <QMap>
#include <QMetaType>
#include <QString>
#include <QStringList>

/**
 * Snapshot of one device as the device manager or the YAML serialiser describes it.
 *
 * Copied by value; every member is implicitly shared. The member order is fixed:
 * the widget library compiles the copy and move operations inline.
 */
struct ORBODEV_EXPORT DeviceInfo
{
    bool initialised = false;
    /// The device belongs to another (networked) device manager.
    bool remote = false;
    /// Own name, or "name@manager" for a device of a networked manager.
    QString name;
    QString type;
    /// Shown on the map instead of the name when not empty.
    QString description;
    /// Last error, empty when none.
    QString error;
    QList<Param> params;
    /// Signal signatures, e.g. "valueChanged(double)".
    QStringList signals;
    /// Slot signatures, e.g. "setValue(double)".
    QStringList slots;
    /// Links whose peer is the source.
    QList<Connection> incomingConnections;
    /// Links whose peer is the target.
    QList<Connection> outgoingConnections;
    QMap<QString, QString> paramValues;
    /// One text per incoming link: "this.slot<sourceDevice.signal", "this" naming the device itself.
    QStringList connectionStrings;
    /// Name of the thread the device runs in.
    QString thread;

    DeviceInfo() = default;
    DeviceInfo(const DeviceInfo&) = default;
    DeviceInfo& operator=(const DeviceInfo&) = default;
    DeviceInfo(DeviceInfo&& other) noexcept;
    /// Takes every member of other, leaving its texts, lists and map empty.
    DeviceInfo& operator=(DeviceInfo&& other) noexcept;
    ~DeviceInfo() = default;
};

Q_DECLARE_METATYPE(DeviceInfo)
