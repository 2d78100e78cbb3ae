#pragma once

#include "Connection.h"
#include "DeviceInfo.h"

#include <QHash>
#include <QList>
#include <QString>
#include <QStringList>
#include <QVector>

/**
 * The devices of a loaded graph that the manager could not create, their type being unknown
 * to it (a meta device not imported in this run, a type of a newer framework): each as the
 * text described it, with every link the text gave it at either end, and the device it
 * followed in the text, so that a save writes it back in its place.
 *
 * The manager keeps them until it loads another graph; meanwhile the renames and removals of its devices reach the kept links, so that a
 * link never joins a device that merely comes by the same name later. Names compare whatever
 * their case, as device names do.
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

    bool isEmpty() const { return m_devices.isEmpty(); }
    bool holds(const QString& name) const;
    QStringList names() const;

    /**
     * Keeps info, written after the device named after ("" for the front of the graph). Its
     * connection texts are dropped: its link lists say the same, and only they follow renames.
     */
    void keep(DeviceInfo info, const QString& after);
    /// A link that the text listed at the peer's end only; one already held is not doubled.
    void addIncoming(const QString& name, const Connection& link);
    void addOutgoing(const QString& name, const Connection& link);
    void clear();

    /// The kept devices' links name their peers as the loaded text did: those created under
    /// another name are named so (newNames maps each name of the text to the name created).
    void renamePeers(const QHash<QString, QString>& newNames);
    /// A device of the manager was renamed: the links and places naming it follow.
    void deviceRenamed(const QString& oldName, const QString& newName);
    /// Whether some kept device is written right after the named one.
    bool follows(const QString& name) const;
    /// A device of the manager is gone: its kept links go with it, and what followed it
    /// follows preceding ("" for the front) instead.
    void deviceRemoved(const QString& name, const QString& preceding);

    /**
     * The kept devices placed among devices (the manager's, in the order a save writes
     * them): devices.size() + 2 groups, the first written before every device, group i + 1
     * right after devices[i], the last one (devices whose place is unknown) after all.
     */
    QVector<QList<DeviceInfo>> arrangeAmong(const QStringList& devices) const;
    /// The kept links of each device of the manager, keyed by its case-folded name.
    QHash<QString, PeerLinks> linksOfPeers() const;

private:
    struct Entry
    {
        DeviceInfo info;
        QString after;
    };

    Entry* find(const QString& name);

    QList<Entry> m_devices;
};
