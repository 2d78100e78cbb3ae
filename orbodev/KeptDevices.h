#pragma once

#include "Connection.h"
#include "DeviceInfo.h"
#include "LinkSide.h"

#include <QHash>
#include <QList>
#include <QString>
#include <QStringList>
#include <QVector>

/**
 * The devices of a loaded graph that the manager could not create, their type being unknown
 * to it (a meta device not imported in this run, a type of a newer framework): each as the
 * text described it, with every link the text gave it at either end, and its place among the
 * manager's devices, so that a save writes it back where it was.
 *
 * The manager keeps them until it loads another graph. Each kept link remembers whether its
 * peer is a device of the manager or not (another kept device, or a name the text gave no
 * device): only the former follow the renames of their peer and go when it is removed, so that
 * a link never joins a device that merely comes by the same name later. Names compare whatever
 * their case, as device names do; several kept devices may share one (texts edited by hand,
 * older saves), each with its own links.
 *
 * Kept devices are found by name, and the devices of the manager linked to them too: they
 * cost in proportion to what they hold and to what changed, whatever the size of the graph.
 *
 * Owned by the DeviceManager and used on its thread only. Internal to the framework.
 */
class KeptDevices
{
public:
    /// The links of one device of the manager with kept devices, as its own description lists them.
    struct PeerLinks
    {
        QList<Connection> incoming;
        QList<Connection> outgoing;
    };

    bool isEmpty() const { return m_entries.isEmpty(); }
    /// The kept devices are numbered from 0 in the order they were kept, which a save keeps.
    int size() const { return m_entries.size(); }
    bool holds(const QString& name) const;
    QStringList names() const;
    /// The name entry is kept and saved under.
    const QString& name(int entry) const { return m_entries.at(entry).info.name; }
    /// The kept device as a save writes it: as the text described it, with its links as they are now.
    DeviceInfo describe(int entry) const;
    /// DeviceRecord::sequence of the device of the manager it is written after; 0 for the front.
    quint64 anchor(int entry) const { return m_entries.at(entry).anchor; }
    /// The named device's links with kept devices: each kept device's in its list order, the
    /// kept devices in their order.
    PeerLinks linksOf(const QString& device) const;

    /// Keeps info without its links (addLink() gives them); returns its entry.
    int keep(DeviceInfo info, quint64 anchor);
    /// Appends link to a list of entry; livePeer tells whether link.device names a device of the manager.
    void addLink(int entry, LinkSide side, const Connection& link, bool livePeer);
    /**
     * A link of a device of the manager with a kept device of that name, as a paste brings it
     * back: added to the first kept device so named unless one of them lists it already.
     * False when no kept device is so named.
     */
    bool join(const QString& name, LinkSide side, const Connection& link);
    void clear();

    /// A device of the manager was renamed: the kept links with it follow.
    void deviceRenamed(const QString& oldName, const QString& newName);
    /// A device of the manager is gone: its kept links go with it.
    void deviceRemoved(const QString& name);

private:
    struct KeptLink
    {
        Connection link;
        bool livePeer = false;
    };

    struct Entry
    {
        /// Without links: they are in incoming and outgoing.
        DeviceInfo info;
        QList<KeptLink> incoming;
        QList<KeptLink> outgoing;
        quint64 anchor = 0;
    };

    void notePeer(int entry, const QString& device);
    /// The entries linked to device, each once, in their order.
    QVector<int> entriesLinkedTo(const QString& device) const;

    QVector<Entry> m_entries;
    /// Case-folded name to the entries of that name.
    QHash<QString, QVector<int>> m_byName;
    /// Case-folded name of a device of the manager to the entries holding links with it
    /// (an entry may come more than once).
    QHash<QString, QVector<int>> m_byLivePeer;
};
