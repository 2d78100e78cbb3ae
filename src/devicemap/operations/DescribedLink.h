#pragma once

#include "ConnectionString.h"
#include "DeviceInfo.h"
#include "dozerozozu_export.h"

#include <QList>
#include <QString>
#include <QStringList>

/**
 * One link that device descriptions describe. A description lists the links into its device
 * as connection strings ("this.slot<source.signal") and the links out of it as outgoing
 * connections; device text may hold a link in either list or in both (the map's own copies
 * list every link both ways), and list() is the one reading of them that paste, drop and
 * layout share.
 *
 * A text may describe two devices alike (a hand-edited one may). The links an entry lists
 * belong to that entry, its own name in them meaning itself; any other peer named by a name
 * the text holds twice is the first entry of that name, as the framework reads such a text.
 * The entries tell which devices a link joins; the names, as written, are for the log.
 *
 * A plain value; any thread.
 *
 *     for (const DescribedLink& link : DescribedLink::list(infos, &malformed))
 *         manager->addConnection(link.text.source, link.target(), link.text.signal, link.text.slot);
 */
struct DOZEROZOZU_EXPORT DescribedLink
{
    /// As the description writes it: an incoming link's target may be "this".
    ConnectionString text;
    /// The describing device: the target of an incoming link, the source of an outgoing one.
    QString owner;
    /// Positions in the described list of the source's and the target's descriptions; -1 for a
    /// device the list does not describe.
    int sourceEntry = -1;
    int targetEntry = -1;

    /// The target device's name, "this" read as the owner.
    QString target() const;

    /**
     * Every link of infos, in order: the outgoing connections of each description, then the
     * connection strings of each. A connection string naming a link that an outgoing
     * connection names already (the same entries, signal and slot) is left out, so a link
     * listed both ways comes once; within
     * one list, links come as listed. Entries that are no link (a connection string not of
     * the form "target.slot<source.signal", an outgoing connection with an empty field) go
     * to malformed, when given, as their text.
     */
    static QList<DescribedLink> list(const QList<DeviceInfo>& infos, QStringList* malformed = nullptr);
};
