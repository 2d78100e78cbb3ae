#pragma once

#include "BaseDevice.h"
#include "DeviceInfo.h"
#include "DeviceTypeInfo.h"
#include "TypePair.h"
#include "orbodev_export.h"

#include <QHash>
#include <QList>
#include <QMap>
#include <QObject>
#include <QPointer>
#include <QSharedPointer>
#include <QStringList>
#include <QVector>

#include <functional>
#include <memory>

class DeviceHandle;
class DeviceLink;
class DeviceRegistry;
class DeviceThreads;
class DeviceTypeRegistry;
class KeptDevices;
class LinkActivityMonitor;
class TextLinkResolver;
struct DeviceRecord;

/**
 * Runs one graph of devices: creates them from registered types, wires their signals to
 * slots by signature text, and loads and saves the whole graph as YAML.
 *
 * The host creates and owns the manager and lives with it on the GUI thread; every method
 * is called from that thread. Devices may live in named worker threads, which the manager
 * owns and stops when it goes away. Every change is reported by the manager's signals;
 * those about a device in a worker thread (initialised, state, description) arrive queued.
 *
 * A link delivers a value at once when both devices share a thread, and queued otherwise.
 * A value reaching a device that is still handling one (a device wired to itself, a ring of
 * devices) waits for the device's event loop instead, so loops never recurse; past 1000
 * such values waiting on one link, further ones are dropped with a warning. Removing a
 * device, a link or the manager is safe while values flow in any thread: once the call has
 * returned, no value of a removed link reaches its receiver, wherever it was waiting.
 *
 *     DeviceManager manager;
 *     const QString name = manager.createDevice("generator", true);
 *     manager.addDeviceConnection(name, manager.createDevice("scaler", true), "", "");
 *
 * Type names: createDevice() takes a type name ("generator"), a path as getDeviceTypes(true)
 * lists it with or without a leading "/" ("/General/generator"), or "manager/type" for a
 * networked manager added with addNetworkManager(); such devices are named "name@manager"
 * and marked remote.
 *
 * Device names a saved graph does not give back as written are refused wherever a name is
 * made: one holding a noncharacter (U+FDD0 to U+FDEF, U+xFFFE, U+xFFFF; a YAML file cannot
 * carry one, the writer puts U+FFFD in its place, and two names differing only there would be
 * saved as one) or a lone surrogate, or starting with U+FEFF (reading UTF-8 drops it, and
 * U+FEFF "lamp" would load as "lamp", renaming the device "lamp"). createDevice() then returns
 * "", renameDevice() false, and a loaded or pasted device so named is created under a fresh
 * name of its type, as is the second of two devices a text names alike (older saves hold such
 * pairs); each part of a fresh name is one a saved graph gives back. registerDeviceType() and
 * parseMetaDevice() register no type whose name a saved graph does not give back as written
 * either. Each is logged.
 *
 * Codes of findMatchingMethods() (MatchCode); "identical" pairs join a signal to a slot of
 * the same parameter types, "converted" pairs need one of getTypeConversions():
 *   0 NoMatch          no pair at all;
 *   1 ChooseMatch      any other case: the user chooses the pairs;
 *   2 SingleMatch      exactly one identical pair (converted pairs may exist beside it);
 *   3 DistinctMatches  several identical pairs, each signal and each slot in one of them
 *                      only, so the manager can join them all without asking;
 *   4 SingleConversion no identical pair and exactly one converted pair.
 * Callers join plainly at once on 2, 3 or 4: a plain join (addDeviceConnection with empty
 * texts) joins, in list order, every identical pair whose signal and slot are still unused,
 * or else the first converted pair.
 */
class ORBODEV_EXPORT DeviceManager : public QObject
{
    Q_OBJECT

public:
    enum MatchCode : int {
        NoMatch = 0,
        ChooseMatch = 1,
        SingleMatch = 2,
        DistinctMatches = 3,
        SingleConversion = 4,
    };

    using DeviceFactory = std::function<BaseDevice*()>;

    /// Registers the framework's meta types and the sample device types.
    explicit DeviceManager(QObject* parent = nullptr);
    /// Emits exit(), then silently removes every device and stops the worker threads.
    ~DeviceManager() override;

    /**
     * Makes type creatable; a type already registered is replaced. Emits needUpdateTypes().
     * So that createDevice() makes every type getDeviceTypes() lists as itself, refused with a
     * warning: a name that lookups read otherwise, with white space around it or a leading "/"
     * (" pump", "/counter"); one that names a type the framework or the host registered by
     * another spelling, its path ("maths/scaler", "General/generator") or "manager/type" of a
     * networked manager; one whose name or path ("category/…/type", as getDeviceTypes(true)
     * lists it) is the name or the path of a type registered before it, or whose name is the
     * path of one ("maths2/valve" beside "valve" in "maths2", whichever comes first); and one a
     * saved graph does not give back (see the class comment). Other names holding "/" are taken
     * ("maths/logger"): they are made by that name and by their path, even once a networked
     * manager bears their first part.
     */
    void registerDeviceType(const QString& type, const DeviceTypeInfo& info, const DeviceFactory& factory);
    /// Makes "manager/type" creatable, naming such devices "name@manager".
    void addNetworkManager(const QString& managerName);

    // Queries
    bool isInitialised() const;
    bool getReadonly() const;
    /// The file saveYamlConfig() writes to; empty when none.
    QString getConfigPath() const;
    bool getSignalsTracking() const;
    /// The parameter-type conversions a link may apply; TestDeviceManager may replace them.
    virtual QList<TypePair> getTypeConversions() const;
    /**
     * Which signal-slot pairs can join source to target. signal and slot, when not empty,
     * restrict the search to that signal or slot. identicalPairs receives the pairs of
     * identical parameter types and convertedPairs those that need a conversion, each as
     * "slot(types)<signal(types)"; either pointer may be null. Returns a MatchCode.
     */
    int findMatchingMethods(const QString& source, const QString& target, const QString& signal,
                            const QString& slot, QStringList* identicalPairs, QStringList* convertedPairs);

    // Commands
    /**
     * False, with a warning, when newName is not valid or taken in any case: by another device
     * or by a device kept as text (see loadYamlFromString()), which keeps its name and its
     * links. A device sharing a kept device's name (a loaded text gave it twice) may still
     * change the case of its own.
     */
    bool renameDevice(const QString& oldName, const QString& newName);
    /// Applies the parameters set with setDeviceParam() (the device may re-initialise).
    bool applyDeviceParams(const QString& name);
    /// Joins one signal to one slot; false when a name or signature is unknown or they do not fit.
    bool addConnection(const QString& source, const QString& target, const QString& signal, const QString& slot);
    bool removeConnection(const QString& source, const QString& target, const QString& signal, const QString& slot);
    /// Puts a device into the worker thread threadName (the GUI thread when empty).
    bool setDeviceThread(const QString& name, const QString& threadName);
    void setReadonly(bool readonly);
    void setConfigPath(const QString& path);
    /// Writes the whole graph to the configuration file; false when read-only, without a path, or on failure.
    bool saveYamlConfig();
    /// Writes the whole graph to path, atomically.
    bool saveYamlConfig(const QString& path);
    /**
     * The whole graph as YAML text: the version header and every device, those kept as text
     * among them in their places (see loadYamlFromString()). A device's
     * "initialised" is whether it is meant to run: true from createDevice(type, true),
     * initialiseDevice() or a loaded or pasted text that said so, until deinitialiseDevice(),
     * whether or not its initialisation succeeded; so a device that failed is tried again on
     * the next load. getDeviceInfo() tells whether it runs now.
     */
    QString toYamlString() const;
    /// Replaces the graph by the one in path and remembers path; false (graph unchanged) when unreadable or malformed.
    bool loadYamlConfig(const QString& path);
    /**
     * Replaces the graph by the one in text; false (graph unchanged) when malformed or of a
     * newer version. Links that do not fit are logged and left out; a device whose name is not
     * valid or comes twice is logged and given a fresh name. The links are made in an order
     * that gives every device its incoming and its outgoing links in the order the text lists
     * them, so that a graph saved, loaded and saved again gives the same text.
     *
     * A link joins the one entry of the text its peer's name stands for: where the text gives
     * a name to several entries, the one whose own text lists the same link, else the first of
     * that name. So each entry keeps its own links, and none is given another's.
     *
     * A device of a type the manager does not know (a meta device not imported yet) is logged
     * and kept as text: with its parameters and every link the text gives it at either end, it
     * is written back in its place by every save, until another graph is loaded. Its name stays
     * taken meanwhile (fresh names pass it over, renames to it are refused). Its links cannot
     * run; those with devices of the manager are listed in their descriptions too, follow their
     * renames and go with a removed device (pasted back, its description brings them back).
     */
    bool loadYamlFromString(const QString& text);
    /// For hosts without a configuration: declares the graph complete and emits initialised().
    void markInitialised();
    /**
     * Understands "runtime_variable(<name>,SET)" and "runtime_variable(<name>,GET)": creates a
     * device of type "runtime_variable" for that variable and direction (not initialised) and
     * replaces text by the new device's name. False, text unchanged, for anything else.
     */
    bool shortParse(QString& text);
    /**
     * Re-creates the devices of a device text (version header and serialised devices) under
     * their former names, or fresh names where taken, with their parameters, threads and
     * links in both directions (a link to a device outside the text joins when that device
     * exists, or joins the device kept as text of that name, at its end too, as the undo of a
     * removal needs). Links are made and repeated names resolved as loadYamlFromString() does.
     * Devices marked initialised are initialised; the call waits up to
     * initialisationTimeoutMs for those in worker threads. Returns the names created. A device
     * of an unknown type is logged and left out; the name of a device kept as text counts as taken.
     */
    QStringList pasteDevicesFromString(const QString& text, int initialisationTimeoutMs);
    /**
     * Registers the meta device of the file at path as a type named typeName (the file's base
     * name when empty), filed under "meta"; then emits needUpdateTypes() and metaDeviceParsed().
     * The name is taken without the white space around it, as every type lookup reads it, so
     * that the type's devices save and load back as its own. A later import of a type replaces
     * the meta device imported before. Refused, with a warning: a name that any lookup takes for
     * a type the framework or the host registered itself (registerDeviceType()), by its name or
     * a path ("scaler", " scaler", "/scaler", "maths/scaler", "General/scaler"), which no meta
     * device replaces; a name holding "/", which lookups read as a path; and a name that a saved
     * graph does not give back as written (a leading U+FEFF, a lone surrogate, a noncharacter),
     * whose devices would load as another type's or an unknown one's. False when the file
     * cannot be read or parsed, or is so refused.
     */
    bool parseMetaDevice(const QString& path, const QString& typeName);
    /// While on, onEmit() reports each emission carried by a link.
    void setSignalsTracking(bool tracking);

public Q_SLOTS:
    virtual bool removeDevice(const QString& name);
    virtual bool initialiseDevice(const QString& name);
    virtual bool deinitialiseDevice(const QString& name);
    /// A new device of type under a fresh name, initialised at once when initialise is true; "" when refused.
    virtual QString createDevice(const QString& type, bool initialise);
    /// Removes every link from source to target.
    virtual bool removeDeviceConnection(const QString& source, const QString& target);
    /// With empty signal and slot the manager picks the pairs itself; otherwise as addConnection().
    virtual bool addDeviceConnection(const QString& source, const QString& target, const QString& signal,
                                     const QString& slot);
    /// Type names, or with paths true their "category/…/type" paths.
    virtual QStringList getDeviceTypes(bool paths = false) const;
    /**
     * The device's description; an empty name when unknown. Its link lists end with its links
     * with devices kept as text (see loadYamlFromString()), as a save writes them; a view
     * finds no device of those names.
     */
    virtual DeviceInfo getDeviceInfo(const QString& name) const;
    /**
     * Whether the device is meant to run, as a save writes its "initialised" (see
     * toYamlString()): a device whose initialisation failed is meant to run, though
     * getDeviceInfo() tells it does not. A view that re-creates a device from its description
     * (the undo of a removal) gives it this, so that it comes back as the user left it. False
     * for an unknown device.
     */
    bool isMeantToRun(const QString& name) const;
    /**
     * What getDeviceInfo() gives for each name of getDeviceNames(), in that order, in one call:
     * no name is looked up. A subclass that overrides getDeviceInfo() overrides this as well.
     */
    virtual QVector<DeviceInfo> getDeviceInfos() const;
    virtual BaseDevice* getDevice(const QString& name) const;
    /// Null when unknown.
    virtual QSharedPointer<DeviceHandle> getDeviceHandle(const QString& name);
    /// Names in creation order.
    virtual QStringList getDeviceNames() const;
    /**
     * The names of the devices kept as text because their type is unknown (see
     * loadYamlFromString()), in the order a save writes them. They are no devices of
     * getDeviceNames(), yet their names are taken; a view that cannot show them keeps what it
     * knows of them (a place on a map) for when their type is known again.
     */
    QStringList getKeptDeviceNames() const;
    virtual DeviceTypeInfo getDeviceTypeInfo(const QString& type) const;
    /// NotInitialised for an unknown device.
    virtual BaseDevice::DeviceState getDeviceState(const QString& name) const;
    /// Stores a parameter value; applyDeviceParams() puts it into effect.
    virtual bool setDeviceParam(const QString& name, const QString& key, const QString& value);

Q_SIGNALS:
    void deviceRegistered(QString name);
    void deviceRemoved(QString name);
    void deviceRenamed(QString oldName, QString newName);
    /// The device's links changed; emitted for both ends.
    void deviceChanged(QString name);
    void deviceInitialised(QString name, bool initialised);
    void deviceStateChanged(QString name, BaseDevice::DeviceState state);
    void deviceDescriptionChanged(QString name, QString description);
    /// One emission carried from provider to receiver, while signal tracking is on.
    void onEmit(QString provider, QString receiver);
    void needUpdateTypes();
    /// parseMetaDevice() registered type from the file at path: the caller's name, or the file's
    /// base name, without the white space around it.
    void metaDeviceParsed(QString type, QString path);
    void initialised();
    void exit();

protected:
    /**
     * Every signal of the manager about the graph goes through here. Production emits at
     * once; TestDeviceManager defers or drops them.
     */
    virtual void notify(const std::function<void()>& emission);
    /// A signal about the named devices; goes through notify() unless TestDeviceManager drops it.
    virtual void notifyAbout(const QStringList& devices, const std::function<void()>& emission);
    /// Whether a device of type may be created; TestDeviceManager may refuse.
    virtual bool acceptCreation(const QString& type);
    /// Whether oldName may become newName; TestDeviceManager may refuse.
    virtual bool acceptRename(const QString& oldName, const QString& newName);
    /// The code findMatchingMethods() reports; TestDeviceManager may force one.
    virtual int adjustMatchCode(int code);
    /// The pairs findMatchingMethods() found, before it picks its code; TestDeviceManager may replace them.
    virtual void adjustMatchingPairs(QStringList& identicalPairs, QStringList& convertedPairs);
    /// Called with a short description of each command; TestDeviceManager logs it.
    virtual void recordCall(const QString& call);
    /// Called each time saveYamlConfig() has written the configuration; TestDeviceManager counts it.
    virtual void configurationSaved(const QString& path);

private Q_SLOTS:
    void onDeviceInitialised(bool initialised);
    void onDeviceStateChanged(BaseDevice::DeviceState state);
    void onDeviceDescriptionChanged(QString description);

private:
    friend class LinkActivityMonitor;

    /// name is the caller's to have checked: valid (DeviceRegistry::isValidDeviceName()) and free.
    QString createNamedDevice(const QString& type, const QString& name, const QString& networkManager);
    BaseDevice* deviceObject(const QString& name) const;
    DeviceInfo describe(const DeviceRecord* record) const;
    bool connectPair(const QString& source, const QString& target, const QString& signal, const QString& slot);
    /// Takes link out of both ends' link lists, cuts its wiring and deletes it.
    void dropLink(DeviceLink* link);
    /// Runs call in device's thread and waits for it, at most timeoutMs; true when it ran in time.
    bool runInDeviceThread(QObject* device, const std::function<void()>& call, int timeoutMs);
    /// One emission of sender's signal at signalIndex, as heard by the activity monitor.
    void reportEmission(const QObject* sender, int signalIndex);
    void removeAllDevices();
    bool rebuildGraph(const QList<DeviceInfo>& infos);
    /// keepUnknown: a graph is loaded, whose devices of unknown types are kept as text.
    QStringList createFromInfos(const QList<DeviceInfo>& infos, bool keepNames, int initialisationTimeoutMs,
                                bool keepUnknown = false);
    /**
     * Joins the links infos list, each to the one entry it names (see TextLinkResolver):
     * createdNames holds the name each entry's device was created under ("" when none), and
     * keptEntries the kept device each entry became (-1 when none).
     */
    void restoreTextLinks(const QList<DeviceInfo>& infos, const QVector<QString>& createdNames,
                          const QVector<int>& keptEntries);
    /// Gives the devices kept from infos the links their own texts list.
    void keepListedLinks(const QList<DeviceInfo>& infos, const TextLinkResolver& resolver,
                         const QVector<QString>& createdNames, const QVector<int>& keptEntries);
    void forgetKeptDevices();
    void notifyChanged(const QString& name);

    std::unique_ptr<DeviceTypeRegistry> m_types;
    std::unique_ptr<DeviceRegistry> m_devices;
    // Declared last of the three: the worker threads stop before the records and types go.
    std::unique_ptr<DeviceThreads> m_threads;
    std::unique_ptr<KeptDevices> m_kept;
    LinkActivityMonitor* m_monitor = nullptr;
    QString m_configPath;
    bool m_initialised = false;
    bool m_readonly = false;
    bool m_signalsTracking = false;
    bool m_exitEmitted = false;
};
