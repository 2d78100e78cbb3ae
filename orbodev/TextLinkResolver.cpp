#include "TextLinkResolver.h"

namespace {

// Folding is what QString::compare() applies with Qt::CaseInsensitive: names match so.
QString nameKey(const QString& name)
{
    return name.toCaseFolded();
}

} // namespace

uint qHash(const TextLinkResolver::ListingKey& key, uint seed)
{
    uint hash = qHash(key.owner, seed);
    hash = hash * 31 + qHash(key.peer, seed);
    hash = hash * 31 + qHash(key.signal, seed);
    hash = hash * 31 + qHash(key.slot, seed);
    return hash * 2 + uint(key.side);
}

TextLinkResolver::TextLinkResolver(const QList<DeviceInfo>& infos, const QVector<bool>& indexed)
    : m_infos(infos)
    , m_indexed(indexed)
{
    m_byName.reserve(infos.size());
    for (int entry = 0; entry < infos.size(); ++entry)
        m_byName[nameKey(infos.at(entry).name)].append(entry);
    for (int entry = 0; entry < infos.size(); ++entry) {
        if (!isIndexed(entry))
            continue;
        for (LinkSide side : {LinkSide::Incoming, LinkSide::Outgoing}) {
            for (const Connection& link : linksOn(infos.at(entry), side))
                noteListed(entry, side, link);
        }
    }
}

TextLinkResolver::Peer TextLinkResolver::resolve(int entry, LinkSide side, const Connection& link) const
{
    const QString& ownName = m_infos.at(entry).name;
    if (link.device == ownName)
        return Peer{entry, true};
    const auto named = m_byName.constFind(nameKey(link.device));
    if (named == m_byName.cend())
        return Peer();
    const int first = named->first();
    if (named->size() == 1 && !m_indexed.value(first))
        return Peer{first, false};
    // The peer's listing names this entry as this entry's text names itself.
    const Connection seenFromPeer{ownName, link.signal, link.slot};
    const auto listing = m_listings.constFind(keyOf(first, opposite(side), seenFromPeer));
    if (listing != m_listings.cend())
        return Peer{listing.value(), true};
    return Peer{first, false};
}

void TextLinkResolver::noteListed(int entry, LinkSide side, const Connection& link)
{
    // The first entry listing it keeps it: a later namesake listing it too joins the same link.
    const ListingKey key = keyOf(entry, side, link);
    if (!m_listings.contains(key))
        m_listings.insert(key, entry);
}

bool TextLinkResolver::isIndexed(int entry) const
{
    return m_indexed.value(entry) || m_byName.value(nameKey(m_infos.at(entry).name)).size() > 1;
}

TextLinkResolver::ListingKey TextLinkResolver::keyOf(int entry, LinkSide side, const Connection& link) const
{
    return ListingKey{nameKey(m_infos.at(entry).name), nameKey(link.device), link.signal, link.slot, side};
}
