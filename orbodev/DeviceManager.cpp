#include "DeviceManager.h"

#include "DeviceHandle.h"
#include "DeviceLink.h"
#include "DeviceRegistry.h"
#include "DeviceThreads.h"
#include "DeviceTypeRegistry.h"
#include "KeptDevices.h"
#include "LinkActivityMonitor.h"
#include "MethodMatcher.h"
#include "OrboDevMetaTypes.h"
#include "SampleDevices.h"

#include <QDebug>
#include <QThread>

DeviceManager::DeviceManager(QObject* parent)
    : QObject(parent)
    , m_types(new DeviceTypeRegistry)
    , m_devices(new DeviceRegistry)
    , m_threads(new DeviceThreads)
    , m_kept(new KeptDevices)
    , m_monitor(new LinkActivityMonitor(this))
{
    registerOrboDevMetaTypes();
    registerSampleDeviceTypes(this);
}

DeviceManager::~DeviceManager()
{
    if (!m_exitEmitted) {
        m_exitEmitted = true;
        Q_EMIT exit();
    }
    // Whoever still listens learnt from exit() that the graph goes away; it hears nothing more.
    blockSignals(true);
    forgetKeptDevices();
    removeAllDevices();
    // The worker threads stop as m_threads goes, before the records and the types.
}

void DeviceManager::registerDeviceType(const QString& type, const DeviceTypeInfo& info, const DeviceFactory& factory)
{
    if (type.isEmpty() || !factory)
        return;
    // Listed, the type would be made by none of its names: createDevice() of it would make the
    // type it is looked up as, or none.
    const QString lookedUpAs = DeviceTypeRegistry::lookedUpAs(type);
    if (lookedUpAs != type) {
        qWarning() << "DeviceManager: device type" << type << "is looked up as" << lookedUpAs << "; not registered";
        return;
    }
    // Where devices are made by path (the map's New device menu), it would stand in the place of that type.
    const QString builtIn = m_types->builtInSpelledAs(type);
    if (!builtIn.isEmpty()) {
        qWarning() << "DeviceManager: device type" << type << "would stand for the device type" << builtIn
                   << "of the framework or the host; not registered";
        return;
    }
    // One of the two would be made where the other is asked for, by name or by listed path.
    const QString sharing = m_types->sharingNameOrPath(type, info.categories);
    if (!sharing.isEmpty()) {
        qWarning() << "DeviceManager: device type" << type << "would share a name or a path with the device type"
                   << sharing << "; not registered";
        return;
    }
    // Its devices would come back from a saved graph as another type's or an unknown one's.
    if (!DeviceTypeRegistry::readsBack(type)) {
        qWarning() << "DeviceManager: device type" << type << "does not read back from a saved graph; not registered";
        return;
    }
    m_types->registerType(type, info, factory);
    if (!m_exitEmitted)
        notify([this] { Q_EMIT needUpdateTypes(); });
}

void DeviceManager::addNetworkManager(const QString& managerName)
{
    m_types->addNetworkManager(managerName);
}

bool DeviceManager::isInitialised() const
{
    return m_initialised;
}

bool DeviceManager::getReadonly() const
{
    return m_readonly;
}

QString DeviceManager::getConfigPath() const
{
    return m_configPath;
}

bool DeviceManager::getSignalsTracking() const
{
    return m_signalsTracking;
}

bool DeviceManager::renameDevice(const QString& oldName, const QString& newName)
{
    recordCall(QString("renameDevice(%1,%2)").arg(oldName, newName));
    const QString current = m_devices->storedName(oldName);
    if (current.isEmpty() || !acceptRename(current, newName))
        return false;
    if (current == newName)
        return true;
    DeviceRecord* record = m_devices->find(current);
    QString finalName = newName;
    if (record->remote) {
        const QString suffix = "@" + current.section('@', 1);
        if (!finalName.endsWith(suffix))
            finalName += suffix;
    }
    const QString baseName = record->remote ? finalName.section('@', 0, 0) : finalName;
    if (!DeviceRegistry::isValidName(baseName) || (record->remote && finalName.count('@') != 1)) {
        qWarning() << "DeviceManager: invalid device name" << newName;
        return false;
    }
    const QString taken = m_devices->storedName(finalName);
    // A device kept as text holds its name until another graph is loaded. A device of the
    // manager may share it (a loaded text gave one name twice) and still change its case.
    const bool keptName = m_kept->holds(finalName) && finalName.compare(current, Qt::CaseInsensitive) != 0;
    if ((!taken.isEmpty() && taken != current) || keptName) {
        qWarning() << "DeviceManager: device name" << newName << "is taken";
        return false;
    }
    m_devices->rename(record, finalName);
    m_kept->deviceRenamed(current, finalName);
    if (BaseDevice* device = record->device)
        runInDeviceThread(device, [device, finalName] { device->setObjectName(finalName); }, DeviceThreads::callTimeoutMs);
    notifyAbout({current, finalName}, [this, current, finalName] { Q_EMIT deviceRenamed(current, finalName); });
    return true;
}

bool DeviceManager::applyDeviceParams(const QString& name)
{
    recordCall(QString("applyDeviceParams(%1)").arg(name));
    BaseDevice* device = deviceObject(name);
    if (!device)
        return false;
    return runInDeviceThread(device, [device] { device->applyParams(); }, DeviceThreads::callTimeoutMs);
}

bool DeviceManager::setDeviceThread(const QString& name, const QString& threadName)
{
    DeviceRecord* record = m_devices->find(name);
    if (!record || !record->device)
        return false;
    QThread* thread = threadName.isEmpty() ? this->thread() : m_threads->thread(threadName);
    BaseDevice* device = record->device;
    if (device->thread() != thread) {
        if (!runInDeviceThread(device, [device, thread] { device->moveToThread(thread); }, DeviceThreads::callTimeoutMs))
            return false;
    }
    record->thread = threadName;
    return true;
}

void DeviceManager::setReadonly(bool readonly)
{
    m_readonly = readonly;
}

void DeviceManager::setConfigPath(const QString& path)
{
    m_configPath = path;
}

void DeviceManager::markInitialised()
{
    m_initialised = true;
    notify([this] { Q_EMIT initialised(); });
}

void DeviceManager::setSignalsTracking(bool tracking)
{
    m_signalsTracking = tracking;
}

bool DeviceManager::removeDevice(const QString& name)
{
    recordCall(QString("removeDevice(%1)").arg(name));
    DeviceRecord* record = m_devices->find(name);
    if (!record)
        return false;
    const QString current = record->name;
    // Newest first, so that peers hear of their links in the order they would be undone.
    while (!record->links.isEmpty()) {
        DeviceLink* link = record->links.last();
        const DeviceRecord* peer = link->source == record ? link->target : link->source;
        const QString peerName = peer->name;
        dropLink(link);
        if (peer != record)
            notifyChanged(peerName);
    }
    // Kept devices are placed by creation sequence: only their links with the device go.
    m_kept->deviceRemoved(current);
    std::unique_ptr<DeviceRecord> removed = m_devices->take(record);
    if (BaseDevice* device = removed->device) {
        device->disconnect(this);
        runInDeviceThread(device, [device] {
            device->deinitialise();
            delete device;
        }, DeviceThreads::callTimeoutMs);
    }
    removed.reset();
    notifyAbout({current}, [this, current] { Q_EMIT deviceRemoved(current); });
    return true;
}

bool DeviceManager::initialiseDevice(const QString& name)
{
    recordCall(QString("initialiseDevice(%1)").arg(name));
    DeviceRecord* record = m_devices->find(name);
    BaseDevice* device = record ? record->device.data() : nullptr;
    if (!device)
        return false;
    record->meantInitialised = true;
    // Shared, so that an answer arriving after the time-out writes to live memory.
    const QSharedPointer<bool> ok(new bool(false));
    const bool answered = runInDeviceThread(device, [device, ok] { *ok = device->initialise(); }, DeviceThreads::callTimeoutMs);
    return answered && *ok;
}

bool DeviceManager::deinitialiseDevice(const QString& name)
{
    recordCall(QString("deinitialiseDevice(%1)").arg(name));
    DeviceRecord* record = m_devices->find(name);
    BaseDevice* device = record ? record->device.data() : nullptr;
    if (!device)
        return false;
    record->meantInitialised = false;
    return runInDeviceThread(device, [device] { device->deinitialise(); }, DeviceThreads::callTimeoutMs);
}

QString DeviceManager::createDevice(const QString& type, bool initialise)
{
    recordCall(QString("createDevice(%1,%2)").arg(type, initialise ? "true" : "false"));
    QString networkManager;
    const QString resolved = m_types->resolve(type, &networkManager);
    if (resolved.isEmpty()) {
        qWarning().noquote() << "DeviceManager: unknown device type" << type;
        return QString();
    }
    if (!acceptCreation(resolved))
        return QString();
    const QString name = m_devices->freshName(DeviceRegistry::namePattern(resolved, networkManager));
    // Only a networked manager's name can make it so: types holding what no name may are refused.
    if (!DeviceRegistry::isValidDeviceName(name)) {
        qWarning() << "DeviceManager: device name" << name << "is not valid; no device created";
        return QString();
    }
    const QString created = createNamedDevice(resolved, name, networkManager);
    if (!created.isEmpty() && initialise)
        initialiseDevice(created);
    return created;
}

QStringList DeviceManager::getDeviceTypes(bool paths) const
{
    return m_types->types(paths);
}

DeviceInfo DeviceManager::getDeviceInfo(const QString& name) const
{
    return describe(m_devices->find(name));
}

bool DeviceManager::isMeantToRun(const QString& name) const
{
    const DeviceRecord* record = m_devices->find(name);
    return record && record->meantInitialised;
}

QVector<DeviceInfo> DeviceManager::getDeviceInfos() const
{
    QVector<DeviceInfo> infos;
    infos.reserve(m_devices->records().size());
    for (const DeviceRecord* record : m_devices->records())
        infos.append(describe(record));
    return infos;
}

DeviceInfo DeviceManager::describe(const DeviceRecord* record) const
{
    DeviceInfo info;
    if (!record || !record->device)
        return info;
    const BaseDevice* device = record->device;
    info.initialised = device->isInitialised();
    info.remote = record->remote;
    info.name = record->name;
    info.type = record->type;
    info.description = device->getDescription();
    info.error = device->getError();
    info.params = device->getParams();
    info.signals = MethodMatcher::signatures(device, true);
    info.slots = MethodMatcher::signatures(device, false);
    info.incomingConnections.reserve(record->links.size());
    info.connectionStrings.reserve(record->links.size());
    info.outgoingConnections.reserve(record->links.size());
    for (const DeviceLink* link : record->links) {
        if (link->target == record) {
            info.incomingConnections.append(Connection{link->source->name, link->signal, link->slot});
            QString text;
            text.reserve(7 + link->slot.size() + link->source->name.size() + link->signal.size());
            text.append(QLatin1String("this.")).append(link->slot).append(QLatin1Char('<'));
            text.append(link->source->name).append(QLatin1Char('.')).append(link->signal);
            info.connectionStrings.append(text);
        }
        if (link->source == record)
            info.outgoingConnections.append(Connection{link->target->name, link->signal, link->slot});
    }
    // Listed as a save writes them, so that a description pasted back (the undo of a removal)
    // brings them back at both ends.
    if (!m_kept->isEmpty()) {
        const KeptDevices::PeerLinks kept = m_kept->linksOf(record->name);
        info.incomingConnections += kept.incoming;
        info.outgoingConnections += kept.outgoing;
    }
    for (const Param& param : qAsConst(info.params))
        info.paramValues.insert(param.name(), param.raw());
    info.thread = record->thread;
    return info;
}

BaseDevice* DeviceManager::getDevice(const QString& name) const
{
    return deviceObject(name);
}

QSharedPointer<DeviceHandle> DeviceManager::getDeviceHandle(const QString& name)
{
    BaseDevice* device = deviceObject(name);
    if (!device)
        return QSharedPointer<DeviceHandle>();
    return QSharedPointer<DeviceHandle>::create(this, device);
}

QStringList DeviceManager::getDeviceNames() const
{
    return m_devices->names();
}

QStringList DeviceManager::getKeptDeviceNames() const
{
    return m_kept->names();
}

DeviceTypeInfo DeviceManager::getDeviceTypeInfo(const QString& type) const
{
    return m_types->info(type);
}

BaseDevice::DeviceState DeviceManager::getDeviceState(const QString& name) const
{
    const BaseDevice* device = deviceObject(name);
    return device ? device->getState() : BaseDevice::NotInitialised;
}

bool DeviceManager::setDeviceParam(const QString& name, const QString& key, const QString& value)
{
    recordCall(QString("setDeviceParam(%1,%2,%3)").arg(name, key, value));
    BaseDevice* device = deviceObject(name);
    if (!device || !device->hasParam(key))
        return false;
    return runInDeviceThread(device, [device, key, value] { device->setParam(key, value); }, DeviceThreads::callTimeoutMs);
}

void DeviceManager::notify(const std::function<void()>& emission)
{
    emission();
}

void DeviceManager::notifyAbout(const QStringList& devices, const std::function<void()>& emission)
{
    Q_UNUSED(devices)
    notify(emission);
}

bool DeviceManager::acceptCreation(const QString&)
{
    return true;
}

bool DeviceManager::acceptRename(const QString&, const QString&)
{
    return true;
}

int DeviceManager::adjustMatchCode(int code)
{
    return code;
}

void DeviceManager::adjustMatchingPairs(QStringList&, QStringList&)
{
}

void DeviceManager::recordCall(const QString&)
{
}

void DeviceManager::configurationSaved(const QString&)
{
}

void DeviceManager::onDeviceInitialised(bool initialised)
{
    const QString name = sender() ? sender()->objectName() : QString();
    if (m_devices->storedName(name).isEmpty())
        return;
    notifyAbout({name}, [this, name, initialised] { Q_EMIT deviceInitialised(name, initialised); });
}

void DeviceManager::onDeviceStateChanged(BaseDevice::DeviceState state)
{
    const QString name = sender() ? sender()->objectName() : QString();
    if (m_devices->storedName(name).isEmpty())
        return;
    notifyAbout({name}, [this, name, state] { Q_EMIT deviceStateChanged(name, state); });
}

void DeviceManager::onDeviceDescriptionChanged(QString description)
{
    const QString name = sender() ? sender()->objectName() : QString();
    if (m_devices->storedName(name).isEmpty())
        return;
    notifyAbout({name}, [this, name, description] { Q_EMIT deviceDescriptionChanged(name, description); });
}

QString DeviceManager::createNamedDevice(const QString& type, const QString& name, const QString& networkManager)
{
    QString typeName;
    BaseDevice* device = m_types->create(type, &typeName);
    if (!device)
        return QString();
    device->setParent(nullptr);
    device->setObjectName(name);
    m_devices->add(name, typeName, !networkManager.isEmpty(), device);
    connect(device, &BaseDevice::deviceInitialised, this, &DeviceManager::onDeviceInitialised);
    connect(device, &BaseDevice::stateChanged, this, &DeviceManager::onDeviceStateChanged);
    connect(device, &BaseDevice::descriptionChanged, this, &DeviceManager::onDeviceDescriptionChanged);
    notifyAbout({name}, [this, name] { Q_EMIT deviceRegistered(name); });
    return name;
}

BaseDevice* DeviceManager::deviceObject(const QString& name) const
{
    return m_devices->device(name);
}

bool DeviceManager::runInDeviceThread(QObject* device, const std::function<void()>& call, int timeoutMs)
{
    return m_threads->run(device, call, timeoutMs);
}

void DeviceManager::notifyChanged(const QString& name)
{
    notifyAbout({name}, [this, name] { Q_EMIT deviceChanged(name); });
}
