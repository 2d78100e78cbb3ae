#include "DeviceInfo.h"

#include <utility>

DeviceInfo::DeviceInfo(DeviceInfo&& other) noexcept
{
    *this = std::move(other);
}

DeviceInfo& DeviceInfo::operator=(DeviceInfo&& other) noexcept
{
    if (this == &other)
        return *this;
    initialised = std::exchange(other.initialised, false);
    remote = std::exchange(other.remote, false);
    name = std::exchange(other.name, QString());
    type = std::exchange(other.type, QString());
    description = std::exchange(other.description, QString());
    error = std::exchange(other.error, QString());
    params = std::exchange(other.params, QList<Param>());
    signals = std::exchange(other.signals, QStringList());
    slots = std::exchange(other.slots, QStringList());
    incomingConnections = std::exchange(other.incomingConnections, QList<Connection>());
    outgoingConnections = std::exchange(other.outgoingConnections, QList<Connection>());
    paramValues = std::exchange(other.paramValues, QMap<QString, QString>());
    connectionStrings = std::exchange(other.connectionStrings, QStringList());
    thread = std::exchange(other.thread, QString());
    return *this;
}
