#pragma once

#include "Connection.h"
#include "DeviceInfo.h"
#include "LinkSide.h"

#include <QHash>
#include <QList>
#include <QString>
#include <QVector>

/**
 * Which entry of a device text each listed link joins at its other end. A text lists a link
 * at one end or at both. Where the text gives a name to several entries (hand edits, older
 * saves), a link naming it joins the entry of that name whose own text lists the same link
 * from its side (same other end, signal and slot), else the first entry of that name; so each
 * entry keeps its own links and none gathers another's. A link naming its own entry joins the
 * entry to itself. For names given once nothing of this matters, and nothing of it is built.
 *
 * Made for one text, on the manager's thread, and kept no longer than the text. Internal to
 * the framework.
 */
class TextLinkResolver
{
public:
    struct Peer
    {
        /// The entry at the other end; -1 when the text has no entry of that name.
        int entry = -1;
        /// Whether that entry's text lists the link too. Told for the entries of a repeated
        /// name and the indexed ones only; false for the others.
        bool listsIt = false;
    };

    /// indexed: entries whose own lists are looked up even when their name comes once.
    TextLinkResolver(const QList<DeviceInfo>& infos, const QVector<bool>& indexed);

    /// The other end of link, listed by entry in its side list.
    Peer resolve(int entry, LinkSide side, const Connection& link) const;
    /// link (naming its peer as entry's text would) is now listed by entry too.
    void noteListed(int entry, LinkSide side, const Connection& link);

private:
    struct ListingKey
    {
        QString owner;
        QString peer;
        QString signal;
        QString slot;
        LinkSide side;

        bool operator==(const ListingKey& other) const
        {
            return side == other.side && owner == other.owner && peer == other.peer && signal == other.signal
                && slot == other.slot;
        }
    };
    friend uint qHash(const ListingKey& key, uint seed);

    bool isIndexed(int entry) const;
    ListingKey keyOf(int entry, LinkSide side, const Connection& link) const;

    const QList<DeviceInfo>& m_infos;
    QVector<bool> m_indexed;
    /// Case-folded name to the entries of that name, in text order.
    QHash<QString, QVector<int>> m_byName;
    /// A link as an indexed entry lists it to the first entry listing it so.
    QHash<ListingKey, int> m_listings;
};
