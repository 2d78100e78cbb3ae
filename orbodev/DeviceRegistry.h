#pragma once

#include <QHash>
#include <QList>
#include <QPointer>
#include <QSet>
#include <QString>
#include <QStringList>

#include <memory>

class BaseDevice;
class DeviceLink;

/// What a DeviceManager knows of one of its devices.
struct DeviceRecord
{
    QString name;
    QString type;
    QString thread;
    bool remote = false;
    /// Whether the device is meant to run: what the user last asked through the manager, or
    /// what the loaded text said, whether or not its last initialisation succeeded. Saved as
    /// its "initialised".
    bool meantInitialised = false;
    QPointer<BaseDevice> device;
    /// The device as created, its key in the registry even once deleted behind our back.
    const QObject* object = nullptr;
    /// Links from and to this device (a link to itself once), oldest first: the order of its
    /// connection lists.
    QList<DeviceLink*> links;
    /// Where the registry keeps it in creation order; the registry's to keep.
    int position = -1;
    /// Its place in the order of creation over the registry's life (the first device is 1):
    /// a later device has a greater one, and no number is given twice. Devices kept as text
    /// are placed by it, so that no removal or rename has to move them. The registry's to give.
    quint64 sequence = 0;
};

/**
 * The devices of a DeviceManager: their records in creation order, found by name whatever
 * its case or by device object, and the fresh names new devices get.
 *
 * Owned by the DeviceManager and used on its thread only; the records it files are the
 * manager's, handed back by take(). Internal to the framework.
 */
class DeviceRegistry
{
public:
    DeviceRegistry() = default;
    DeviceRegistry(const DeviceRegistry&) = delete;
    DeviceRegistry& operator=(const DeviceRegistry&) = delete;
    ~DeviceRegistry();

    /// Creation order, which device lists and saved graphs keep.
    const QList<DeviceRecord*>& records() const
    {
        closeGaps();
        return m_records;
    }
    /// The names of records(), in step with it, so that listing them costs nothing.
    const QStringList& names() const
    {
        closeGaps();
        return m_names;
    }
    /// The device's record, whatever the case of name; null when unknown.
    DeviceRecord* find(const QString& name) const;
    /// The name as the device holds it; empty when unknown.
    QString storedName(const QString& name) const;
    BaseDevice* device(const QString& name) const;
    /// The record of a device object, for emissions heard from it; null when none.
    DeviceRecord* recordOf(const QObject* device) const;
    /**
     * The names a loaded text gives its devices: the fresh names given while it loads pass
     * over them, so that no device takes the name of one still to come. Made for one load and
     * handed to each freshName() of it, which keeps in it how far each name pattern is known
     * taken or passed over: a load's fresh names then cost in proportion to the load.
     */
    class PassedOverNames
    {
    public:
        /// Whatever its case, as names match.
        void insert(const QString& name);
        bool isEmpty() const { return m_names.isEmpty(); }

    private:
        friend class DeviceRegistry;
        /// Case-folded.
        QSet<QString> m_names;
        /// Per name pattern, a number below which every name is taken or passed over, as long
        /// as no name was freed since m_freedCount.
        QHash<QString, int> m_hints;
        quint64 m_freedCount = 0;
    };

    /**
     * The first of base1, base2, … (or base with %1 numbered) that no device holds, that is
     * not reserved and that passedOver (when given) does not hold.
     */
    QString freshName(const QString& base, PassedOverNames* passedOver = nullptr);
    /**
     * The freshName() base of a device of type: "type%1", or "type%1@manager" for a networked
     * manager. Only the last part of a type path counts, and what no name may hold, or start
     * with, becomes "_", so that every name made of it is valid (isValidDeviceName()) when
     * networkManager is (savedNamePart()).
     */
    static QString namePattern(const QString& type, const QString& networkManager = QString());
    /// part with "_" for each noncharacter and lone surrogate, which a saved graph does not give
    /// back as written: an "@manager" part so made is valid wherever it follows a valid name.
    static QString savedNamePart(const QString& part);
    /// Keeps freshName() from handing out name though no device holds it (a device kept as
    /// text), until releaseName(). Whatever its case, as names match.
    void reserveName(const QString& name);
    void releaseName(const QString& name);
    bool isReserved(const QString& name) const;
    /**
     * Whether name may be a device's own name (without an "@manager" suffix): none of the
     * characters a link's text could not carry, and read back as written from a saved graph,
     * so that neither the device nor another one comes back under another name. Not so a name
     * holding a noncharacter or a lone surrogate, or starting with U+FEFF (reading UTF-8 drops
     * a leading byte order mark: U+FEFF "lamp" would load as "lamp").
     */
    static bool isValidName(const QString& name);
    /// Whether name may be a device's whole name: its own name valid, and the whole read back as written.
    static bool isValidDeviceName(const QString& name);
    /// Whether text holds a noncharacter: no saved configuration keeps it, so neither a
    /// device name nor a type name may hold one.
    static bool holdsNoncharacter(const QString& text);

    /// Files a new record for device, last in creation order, with the next sequence number
    /// (the first is 1): records() stay in ascending sequence, as nothing reorders them.
    DeviceRecord* add(const QString& name, const QString& type, bool remote, BaseDevice* device);
    void rename(DeviceRecord* record, const QString& newName);
    /// Takes record out; it is the caller's to delete.
    std::unique_ptr<DeviceRecord> take(DeviceRecord* record);

private:
    /// A name no longer held may be the lowest free one again for the pattern it follows.
    void nameFreed(const QString& name);
    /// Drops the places that take() left empty, keeping the order.
    void closeGaps() const;

    // A record taken out leaves its place empty until the lists are next read, so that taking
    // many out, whatever their places, costs each the same.
    mutable QList<DeviceRecord*> m_records;
    mutable QStringList m_names;
    mutable int m_gaps = 0;
    quint64 m_lastSequence = 0;
    /// Case-folded name to record: names match whatever their case.
    QHash<QString, DeviceRecord*> m_index;
    /// Device object to record.
    QHash<const QObject*, DeviceRecord*> m_objects;
    /// Case-folded names freshName() passes over.
    QSet<QString> m_reserved;
    /// Per name pattern of freshName(), a number below which every name is taken. Only a name
    /// freed that follows a pattern lowers its number: a device type's fresh name then costs
    /// the same however many devices of that type there are.
    QHash<QString, int> m_freshNameHints;
    /// How many names were freed: a load's hints (PassedOverNames) hold only while it stays.
    quint64 m_freedCount = 0;
};
