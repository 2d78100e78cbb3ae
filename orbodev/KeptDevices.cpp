#include "KeptDevices.h"

#include <algorithm>

namespace {

bool sameName(const QString& first, const QString& second)
{
    return first.compare(second, Qt::CaseInsensitive) == 0;
}

void renamePeer(QList<Connection>& links, const QString& oldName, const QString& newName)
{
    for (Connection& link : links) {
        if (sameName(link.device, oldName))
            link.device = newName;
    }
}

void dropPeer(QList<Connection>& links, const QString& name)
{
    links.erase(std::remove_if(links.begin(), links.end(), [&name](const Connection& link) { return sameName(link.device, name); }),
                links.end());
}

} // namespace

bool KeptDevices::holds(const QString& name) const
{
    return std::any_of(m_devices.cbegin(), m_devices.cend(), [&name](const Entry& entry) { return sameName(entry.info.name, name); });
}

QStringList KeptDevices::names() const
{
    QStringList names;
    for (const Entry& entry : m_devices)
        names.append(entry.info.name);
    return names;
}

void KeptDevices::keep(DeviceInfo info, const QString& after)
{
    info.connectionStrings.clear();
    m_devices.append(Entry{std::move(info), after});
}

void KeptDevices::addIncoming(const QString& name, const Connection& link)
{
    Entry* entry = find(name);
    if (entry && !entry->info.incomingConnections.contains(link))
        entry->info.incomingConnections.append(link);
}

void KeptDevices::addOutgoing(const QString& name, const Connection& link)
{
    Entry* entry = find(name);
    if (entry && !entry->info.outgoingConnections.contains(link))
        entry->info.outgoingConnections.append(link);
}

void KeptDevices::clear()
{
    m_devices.clear();
}

void KeptDevices::renamePeers(const QHash<QString, QString>& newNames)
{
    for (Entry& entry : m_devices) {
        for (QList<Connection>* links : {&entry.info.incomingConnections, &entry.info.outgoingConnections}) {
            for (Connection& link : *links) {
                if (link.device != entry.info.name)
                    link.device = newNames.value(link.device, link.device);
            }
        }
    }
}

void KeptDevices::deviceRenamed(const QString& oldName, const QString& newName)
{
    for (Entry& entry : m_devices) {
        renamePeer(entry.info.incomingConnections, oldName, newName);
        renamePeer(entry.info.outgoingConnections, oldName, newName);
        if (sameName(entry.after, oldName))
            entry.after = newName;
    }
}

bool KeptDevices::follows(const QString& name) const
{
    return std::any_of(m_devices.cbegin(), m_devices.cend(), [&name](const Entry& entry) {
        return !entry.after.isEmpty() && sameName(entry.after, name);
    });
}

void KeptDevices::deviceRemoved(const QString& name, const QString& preceding)
{
    for (Entry& entry : m_devices) {
        dropPeer(entry.info.incomingConnections, name);
        dropPeer(entry.info.outgoingConnections, name);
        if (!entry.after.isEmpty() && sameName(entry.after, name))
            entry.after = preceding;
    }
}

QVector<QList<DeviceInfo>> KeptDevices::arrangeAmong(const QStringList& devices) const
{
    QVector<QList<DeviceInfo>> groups(devices.size() + 2);
    QHash<QString, int> positions;
    positions.reserve(devices.size());
    for (int i = 0; i < devices.size(); ++i)
        positions.insert(devices.at(i).toCaseFolded(), i);
    for (const Entry& entry : m_devices) {
        int group = 0;
        if (!entry.after.isEmpty())
            group = positions.value(entry.after.toCaseFolded(), devices.size()) + 1;
        groups[group].append(entry.info);
    }
    return groups;
}

QHash<QString, KeptDevices::PeerLinks> KeptDevices::linksOfPeers() const
{
    QHash<QString, PeerLinks> peers;
    for (const Entry& entry : m_devices) {
        const QString& name = entry.info.name;
        // A kept device's incoming link leaves its peer, and its outgoing one reaches it.
        for (const Connection& link : entry.info.incomingConnections) {
            if (!holds(link.device))
                peers[link.device.toCaseFolded()].outgoing.append(Connection{name, link.signal, link.slot});
        }
        for (const Connection& link : entry.info.outgoingConnections) {
            if (!holds(link.device))
                peers[link.device.toCaseFolded()].incoming.append(Connection{name, link.signal, link.slot});
        }
    }
    return peers;
}

KeptDevices::Entry* KeptDevices::find(const QString& name)
{
    for (Entry& entry : m_devices) {
        if (sameName(entry.info.name, name))
            return &entry;
    }
    return nullptr;
}
