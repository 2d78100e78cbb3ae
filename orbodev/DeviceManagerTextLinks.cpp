// The device manager's links of a loaded or pasted text: each listed link joined to the one
// entry it names, kept with a device kept as text, or made in an order that gives every
// device its lists in the order of the text.
#include "DeviceManager.h"

#include "DeviceRegistry.h"
#include "KeptDevices.h"
#include "LinkCreationOrder.h"
#include "TextLinkResolver.h"

#include <QDebug>
#include <QHash>

namespace {

// Named as the text lists it, from the device created as name.
void warnUnrestoredLink(const QString& name, LinkSide side, const Connection& link)
{
    if (side == LinkSide::Incoming)
        qWarning().noquote() << "DeviceManager: cannot restore link" << link.device + "." + link.signal << "to"
                             << name + "." + link.slot;
    else
        qWarning().noquote() << "DeviceManager: cannot restore link" << name + "." + link.signal << "to"
                             << link.device + "." + link.slot;
}

// The links between devices of the manager that a text lists, each once however many of its
// ends list it, and the order of each entry's lists. An end is an entry of the text, or past
// them a device outside it.
class PlannedLinks
{
public:
    struct Link
    {
        int source = -1;
        int target = -1;
        QString signal;
        QString slot;
        // Where the text lists it first, to name it as written when it cannot be made.
        int entry = -1;
        LinkSide side = LinkSide::Incoming;
        int position = -1;
        bool inSourceList = false;
        bool inTargetList = false;
    };

    explicit PlannedLinks(int entryCount)
        : m_entryCount(entryCount)
    {
    }

    int outsideEnd(const QString& name)
    {
        const auto found = m_outsideEnds.constFind(name);
        if (found != m_outsideEnds.cend())
            return found.value();
        m_outsideNames.append(name);
        return m_outsideEnds.insert(name, m_entryCount + m_outsideNames.size() - 1).value();
    }

    QString outsideName(int end) const { return m_outsideNames.at(end - m_entryCount); }

    /// The position-th link of entry's side list, joining it to peerEnd.
    void add(int entry, LinkSide side, int position, int peerEnd, const Connection& listed)
    {
        const bool incoming = side == LinkSide::Incoming;
        const Key key{incoming ? peerEnd : entry, incoming ? entry : peerEnd, listed.signal, listed.slot};
        auto found = m_indices.find(key);
        if (found == m_indices.end()) {
            found = m_indices.insert(key, m_links.size());
            m_links.append(Link{key.source, key.target, listed.signal, listed.slot, entry, side, position, false, false});
        }
        Link& link = m_links[found.value()];
        bool& inList = incoming ? link.inTargetList : link.inSourceList;
        if (!inList) {
            inList = true;
            m_lists.append(qMakePair(2 * entry + (incoming ? 0 : 1), found.value()));
        }
    }

    const QVector<Link>& links() const { return m_links; }

    /// The links in an order that makes each entry's lists as the text gives them.
    QVector<int> creationOrder() const
    {
        LinkCreationOrder order(m_links.size(), 2 * m_entryCount);
        for (const auto& listed : m_lists)
            order.append(listed.first, listed.second);
        return order.order();
    }

private:
    struct Key
    {
        int source;
        int target;
        QString signal;
        QString slot;

        bool operator==(const Key& other) const
        {
            return source == other.source && target == other.target && signal == other.signal && slot == other.slot;
        }
    };
    friend uint qHash(const Key& key, uint seed)
    {
        return ((uint(key.source) * 31 + uint(key.target)) * 31 + qHash(key.signal, seed)) * 31 + qHash(key.slot, seed);
    }

    int m_entryCount = 0;
    QVector<Link> m_links;
    QHash<Key, int> m_indices;
    /// (list, link) in text order; entry e's incoming list is 2e, its outgoing one 2e + 1.
    QVector<QPair<int, int>> m_lists;
    QHash<QString, int> m_outsideEnds;
    QStringList m_outsideNames;
};

} // namespace

void DeviceManager::restoreTextLinks(const QList<DeviceInfo>& infos, const QVector<QString>& createdNames,
                                     const QVector<int>& keptEntries)
{
    QVector<bool> kept(infos.size(), false);
    bool keptAny = false;
    for (int entry = 0; entry < infos.size(); ++entry) {
        kept[entry] = keptEntries.at(entry) >= 0;
        keptAny = keptAny || kept.at(entry);
    }
    TextLinkResolver resolver(infos, kept);
    if (keptAny)
        keepListedLinks(infos, resolver, createdNames, keptEntries);

    PlannedLinks planned(infos.size());
    for (int entry = 0; entry < infos.size(); ++entry) {
        if (!kept.at(entry) && createdNames.at(entry).isEmpty())
            continue;
        for (LinkSide side : {LinkSide::Incoming, LinkSide::Outgoing}) {
            const QList<Connection>& links = linksOn(infos.at(entry), side);
            for (int position = 0; position < links.size(); ++position) {
                const Connection& link = links.at(position);
                const TextLinkResolver::Peer peer = resolver.resolve(entry, side, link);
                const bool peerKept = peer.entry >= 0 && kept.at(peer.entry);
                // A link the text lists at one end only is kept at both.
                if (peerKept && !peer.listsIt && peer.entry != entry) {
                    const bool livePeer = !kept.at(entry);
                    const Connection back{livePeer ? createdNames.at(entry) : m_kept->name(keptEntries.at(entry)),
                                          link.signal, link.slot};
                    m_kept->addLink(keptEntries.at(peer.entry), opposite(side), back, livePeer);
                    resolver.noteListed(peer.entry, opposite(side), Connection{infos.at(entry).name, link.signal, link.slot});
                }
                if (kept.at(entry) || peerKept)
                    continue;
                if (peer.entry >= 0 && !createdNames.at(peer.entry).isEmpty()) {
                    planned.add(entry, side, position, peer.entry, link);
                } else if (const DeviceRecord* outside = m_devices->find(link.device)) {
                    planned.add(entry, side, position, planned.outsideEnd(outside->name), link);
                } else if (!m_kept->join(link.device, opposite(side),
                                         Connection{createdNames.at(entry), link.signal, link.slot})) {
                    warnUnrestoredLink(createdNames.at(entry), side, link);
                }
            }
        }
    }

    const QVector<PlannedLinks::Link>& links = planned.links();
    auto endName = [&planned, &createdNames](int end) {
        return end < createdNames.size() ? createdNames.at(end) : planned.outsideName(end);
    };
    for (int index : planned.creationOrder()) {
        const PlannedLinks::Link& link = links.at(index);
        if (!connectPair(endName(link.source), endName(link.target), link.signal, link.slot)) {
            const Connection& listed = linksOn(infos.at(link.entry), link.side).at(link.position);
            warnUnrestoredLink(createdNames.at(link.entry), link.side, listed);
        }
    }
}

void DeviceManager::keepListedLinks(const QList<DeviceInfo>& infos, const TextLinkResolver& resolver,
                                    const QVector<QString>& createdNames, const QVector<int>& keptEntries)
{
    // A kept device's own links come first in its lists, as its text has them; a link with a
    // created device names it as created, and follows it from then on; one with a kept device
    // kept under a fresh name names it so.
    for (int entry = 0; entry < infos.size(); ++entry) {
        if (keptEntries.at(entry) < 0)
            continue;
        for (LinkSide side : {LinkSide::Incoming, LinkSide::Outgoing}) {
            for (const Connection& link : linksOn(infos.at(entry), side)) {
                const TextLinkResolver::Peer peer = resolver.resolve(entry, side, link);
                const bool livePeer = peer.entry >= 0 && !createdNames.at(peer.entry).isEmpty();
                Connection kept = link;
                if (livePeer)
                    kept.device = createdNames.at(peer.entry);
                else if (peer.entry >= 0 && keptEntries.at(peer.entry) >= 0
                         && m_kept->name(keptEntries.at(peer.entry)) != infos.at(peer.entry).name)
                    kept.device = m_kept->name(keptEntries.at(peer.entry));
                m_kept->addLink(keptEntries.at(entry), side, kept, livePeer);
            }
        }
    }
}
