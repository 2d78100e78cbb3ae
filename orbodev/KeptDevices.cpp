#include "KeptDevices.h"

#include <algorithm>

namespace {

bool sameName(const QString& first, const QString& second)
{
    return first.compare(second, Qt::CaseInsensitive) == 0;
}

// Folding is what QString::compare() applies with Qt::CaseInsensitive, so two names share a key
// exactly when they compare equal that way.
QString nameKey(const QString& name)
{
    return name.toCaseFolded();
}

} // namespace

bool KeptDevices::holds(const QString& name) const
{
    return !m_entries.isEmpty() && m_byName.contains(nameKey(name));
}

QStringList KeptDevices::names() const
{
    QStringList names;
    names.reserve(m_entries.size());
    for (const Entry& entry : m_entries)
        names.append(entry.info.name);
    return names;
}

DeviceInfo KeptDevices::describe(int entry) const
{
    const Entry& kept = m_entries.at(entry);
    DeviceInfo info = kept.info;
    info.incomingConnections.reserve(kept.incoming.size());
    for (const KeptLink& link : kept.incoming)
        info.incomingConnections.append(link.link);
    info.outgoingConnections.reserve(kept.outgoing.size());
    for (const KeptLink& link : kept.outgoing)
        info.outgoingConnections.append(link.link);
    return info;
}

KeptDevices::PeerLinks KeptDevices::linksOf(const QString& device) const
{
    PeerLinks peer;
    if (m_byLivePeer.isEmpty())
        return peer;
    // A kept device's incoming link leaves its peer, and its outgoing one reaches it. Kept
    // devices sharing a name may list the same link: the peer lists it once.
    auto add = [](QList<Connection>& links, const Connection& link) {
        if (!links.contains(link))
            links.append(link);
    };
    for (int entry : entriesLinkedTo(device)) {
        const Entry& kept = m_entries.at(entry);
        for (const KeptLink& link : kept.incoming) {
            if (link.livePeer && sameName(link.link.device, device))
                add(peer.outgoing, Connection{kept.info.name, link.link.signal, link.link.slot});
        }
        for (const KeptLink& link : kept.outgoing) {
            if (link.livePeer && sameName(link.link.device, device))
                add(peer.incoming, Connection{kept.info.name, link.link.signal, link.link.slot});
        }
    }
    return peer;
}

int KeptDevices::keep(DeviceInfo info, quint64 anchor)
{
    info.incomingConnections.clear();
    info.outgoingConnections.clear();
    info.connectionStrings.clear();
    const int entry = m_entries.size();
    m_byName[nameKey(info.name)].append(entry);
    m_entries.append(Entry{std::move(info), {}, {}, anchor});
    return entry;
}

void KeptDevices::addLink(int entry, LinkSide side, const Connection& link, bool livePeer)
{
    Entry& kept = m_entries[entry];
    (side == LinkSide::Incoming ? kept.incoming : kept.outgoing).append(KeptLink{link, livePeer});
    if (livePeer)
        notePeer(entry, link.device);
}

bool KeptDevices::join(const QString& name, LinkSide side, const Connection& link)
{
    const QVector<int> entries = m_byName.value(nameKey(name));
    if (entries.isEmpty())
        return false;
    for (int entry : entries) {
        QList<KeptLink>& links = side == LinkSide::Incoming ? m_entries[entry].incoming : m_entries[entry].outgoing;
        for (KeptLink& listed : links) {
            if (listed.link != link)
                continue;
            // Listed with no device at the other end: the device now there lists it too.
            if (!listed.livePeer) {
                listed.livePeer = true;
                notePeer(entry, link.device);
            }
            return true;
        }
    }
    addLink(entries.first(), side, link, true);
    return true;
}

void KeptDevices::clear()
{
    m_entries.clear();
    m_byName.clear();
    m_byLivePeer.clear();
}

void KeptDevices::deviceRenamed(const QString& oldName, const QString& newName)
{
    if (m_byLivePeer.isEmpty())
        return;
    const QString oldKey = nameKey(oldName);
    const QString newKey = nameKey(newName);
    const auto found = m_byLivePeer.find(oldKey);
    if (found == m_byLivePeer.end())
        return;
    const QVector<int> entries = entriesLinkedTo(oldName);
    if (oldKey != newKey) {
        m_byLivePeer.erase(found);
        m_byLivePeer[newKey] += entries;
    }
    for (int entry : entries) {
        for (QList<KeptLink>* links : {&m_entries[entry].incoming, &m_entries[entry].outgoing}) {
            for (KeptLink& link : *links) {
                if (link.livePeer && sameName(link.link.device, oldName))
                    link.link.device = newName;
            }
        }
    }
}

void KeptDevices::deviceRemoved(const QString& name)
{
    if (m_byLivePeer.isEmpty())
        return;
    const QVector<int> entries = entriesLinkedTo(name);
    m_byLivePeer.remove(nameKey(name));
    auto isGone = [&name](const KeptLink& link) { return link.livePeer && sameName(link.link.device, name); };
    for (int entry : entries) {
        for (QList<KeptLink>* links : {&m_entries[entry].incoming, &m_entries[entry].outgoing})
            links->erase(std::remove_if(links->begin(), links->end(), isGone), links->end());
    }
}

void KeptDevices::notePeer(int entry, const QString& device)
{
    QVector<int>& entries = m_byLivePeer[nameKey(device)];
    // Links are mostly added entry by entry: this keeps the list about as short as the entries.
    if (entries.isEmpty() || entries.last() != entry)
        entries.append(entry);
}

QVector<int> KeptDevices::entriesLinkedTo(const QString& device) const
{
    QVector<int> entries = m_byLivePeer.value(nameKey(device));
    std::sort(entries.begin(), entries.end());
    entries.erase(std::unique(entries.begin(), entries.end()), entries.end());
    return entries;
}
