#include "DeviceManager.h"

#include "DeviceHandle.h"
#include "DeviceProxy.h"
#include "LinkActivityMonitor.h"
#include "LinkRelay.h"
#include "MetaDevice.h"
#include "OrboDevMetaTypes.h"
#include "SafeFileWriter.h"
#include "SampleDevices.h"
#include "TypeConverter.h"
#include "YamlSerialiser.h"

#include <QBuffer>
#include <QCoreApplication>
#include <QDebug>
#include <QFile>
#include <QFileInfo>
#include <QMetaMethod>
#include <QRegularExpression>
#include <QSemaphore>
#include <QThread>

#include <exception>

namespace {

const int kDeviceCallTimeoutMs = 5000;

// Folding is what QString::compare() applies with Qt::CaseInsensitive, so two names share a key
// exactly when they compare equal that way.
QString nameKey(const QString& name)
{
    return name.toCaseFolded();
}

} // namespace

struct DeviceManager::TypeRecord
{
    QString name;
    DeviceTypeInfo info;
    DeviceFactory factory;
};

struct DeviceManager::DeviceRecord
{
    QString name;
    QString type;
    QString thread;
    bool remote = false;
    QPointer<BaseDevice> device;
    /// The device as created, its key in m_deviceObjects even once deleted behind our back.
    const QObject* object = nullptr;
    /// Links from and to this device (a link to itself once), oldest first: the order of its
    /// connection lists.
    QList<Link*> links;
};

struct DeviceManager::Link
{
    DeviceRecord* source = nullptr;
    DeviceRecord* target = nullptr;
    QString signal;
    QString slot;
    QPointer<BaseDevice> sourceDevice;
    QPointer<BaseDevice> targetDevice;
    QPointer<TypeConverter> converter;
    QPointer<LinkRelay> relay;
    QMetaObject::Connection connection;
    QMetaObject::Connection converterConnection;
};

DeviceManager::DeviceManager(QObject* parent)
    : QObject(parent)
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
    removeAllDevices();
    for (QThread* thread : qAsConst(m_threads)) {
        // A deferred deletion in a thread that finishes runs as the thread ends.
        m_threadAgents.value(thread)->deleteLater();
        thread->quit();
        thread->wait();
        delete thread;
    }
    qDeleteAll(m_types);
}

void DeviceManager::registerDeviceType(const QString& type, const DeviceTypeInfo& info, const DeviceFactory& factory)
{
    if (type.isEmpty() || !factory)
        return;
    if (!m_types.contains(type)) {
        m_types.insert(type, new TypeRecord);
        m_typeOrder.append(type);
    }
    TypeRecord* record = m_types.value(type);
    record->name = type;
    record->info = info;
    record->factory = factory;
    if (!m_exitEmitted)
        notify([this] { Q_EMIT needUpdateTypes(); });
}

void DeviceManager::addNetworkManager(const QString& managerName)
{
    if (!managerName.isEmpty() && !m_networkManagers.contains(managerName))
        m_networkManagers.append(managerName);
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

QList<TypePair> DeviceManager::getTypeConversions() const
{
    return {TypePair("int", "double"),   TypePair("int", "bool"),     TypePair("double", "bool"),
            TypePair("int", "QString"),  TypePair("double", "QString"), TypePair("bool", "QString"),
            TypePair("QString", "QByteArray")};
}

QList<QStringList> DeviceManager::candidatePairs(const QString& source, const QString& target, const QString& signal,
                                                 const QString& slot) const
{
    QStringList identical;
    QStringList converted;
    const BaseDevice* sourceDevice = deviceObject(source);
    const BaseDevice* targetDevice = deviceObject(target);
    if (!sourceDevice || !targetDevice)
        return {identical, converted};
    const QString wantedSignal = signal.isEmpty() ? QString() : DeviceProxy::normalisedSignature(signal);
    const QString wantedSlot = slot.isEmpty() ? QString() : DeviceProxy::normalisedSignature(slot);
    const QList<TypePair> conversions = getTypeConversions();
    for (const QString& signalText : methodSignatures(sourceDevice, true)) {
        if (!wantedSignal.isEmpty() && signalText != wantedSignal)
            continue;
        const QString signalTypes = DeviceProxy::parameterTypes(signalText);
        for (const QString& slotText : methodSignatures(targetDevice, false)) {
            if (!wantedSlot.isEmpty() && slotText != wantedSlot)
                continue;
            const QString slotTypes = DeviceProxy::parameterTypes(slotText);
            if (signalTypes == slotTypes)
                identical.append(slotText + "<" + signalText);
            else if (conversions.contains(TypePair(signalTypes, slotTypes)))
                converted.append(slotText + "<" + signalText);
        }
    }
    return {identical, converted};
}

int DeviceManager::findMatchingMethods(const QString& source, const QString& target, const QString& signal,
                                       const QString& slot, QStringList* identicalPairs, QStringList* convertedPairs)
{
    const QList<QStringList> pairs = candidatePairs(source, target, signal, slot);
    QStringList identical = pairs.at(0);
    QStringList converted = pairs.at(1);
    adjustMatchingPairs(identical, converted);
    if (identicalPairs)
        *identicalPairs = identical;
    if (convertedPairs)
        *convertedPairs = converted;

    int code = ChooseMatch;
    if (identical.isEmpty()) {
        if (converted.isEmpty())
            code = NoMatch;
        else if (converted.size() == 1)
            code = SingleConversion;
    } else if (identical.size() == 1) {
        code = SingleMatch;
    } else {
        QStringList slotSides;
        QStringList signalSides;
        for (const QString& pair : identical) {
            slotSides.append(pair.section('<', 0, 0));
            signalSides.append(pair.section('<', 1));
        }
        if (slotSides.removeDuplicates() == 0 && signalSides.removeDuplicates() == 0)
            code = DistinctMatches;
    }
    return adjustMatchCode(code);
}

bool DeviceManager::renameDevice(const QString& oldName, const QString& newName)
{
    recordCall(QString("renameDevice(%1,%2)").arg(oldName, newName));
    const QString current = storedName(oldName);
    if (current.isEmpty() || !acceptRename(current, newName))
        return false;
    if (current == newName)
        return true;
    DeviceRecord* record = findRecord(current);
    QString finalName = newName;
    if (record->remote) {
        const QString suffix = "@" + current.section('@', 1);
        if (!finalName.endsWith(suffix))
            finalName += suffix;
    }
    const QString baseName = record->remote ? finalName.section('@', 0, 0) : finalName;
    if (!isValidName(baseName) || (record->remote && finalName.count('@') != 1)) {
        qWarning().noquote() << "DeviceManager: invalid device name" << newName;
        return false;
    }
    const QString taken = storedName(finalName);
    if (!taken.isEmpty() && taken != current)
        return false;
    record->name = finalName;
    m_deviceIndex.remove(nameKey(current));
    m_deviceIndex.insert(nameKey(finalName), record);
    m_deviceNames[m_devices.indexOf(record)] = finalName;
    forgetFreshNames();
    if (BaseDevice* device = record->device)
        runInDeviceThread(device, [device, finalName] { device->setObjectName(finalName); }, kDeviceCallTimeoutMs);
    notifyAbout({current, finalName}, [this, current, finalName] { Q_EMIT deviceRenamed(current, finalName); });
    return true;
}

bool DeviceManager::applyDeviceParams(const QString& name)
{
    recordCall(QString("applyDeviceParams(%1)").arg(name));
    BaseDevice* device = deviceObject(name);
    if (!device)
        return false;
    return runInDeviceThread(device, [device] { device->applyParams(); }, kDeviceCallTimeoutMs);
}

bool DeviceManager::addConnection(const QString& source, const QString& target, const QString& signal,
                                  const QString& slot)
{
    recordCall(QString("addConnection(%1,%2,%3,%4)").arg(source, target, signal, slot));
    return connectPair(source, target, signal, slot);
}

bool DeviceManager::removeConnection(const QString& source, const QString& target, const QString& signal,
                                     const QString& slot)
{
    recordCall(QString("removeConnection(%1,%2,%3,%4)").arg(source, target, signal, slot));
    const QString wantedSignal = DeviceProxy::normalisedSignature(signal);
    const QString wantedSlot = DeviceProxy::normalisedSignature(slot);
    const DeviceRecord* sourceRecord = findRecord(source);
    const DeviceRecord* targetRecord = findRecord(target);
    if (!sourceRecord || !targetRecord)
        return false;
    for (Link* link : sourceRecord->links) {
        if (link->source == sourceRecord && link->target == targetRecord && link->signal == wantedSignal
            && link->slot == wantedSlot) {
            const QString from = link->source->name;
            const QString to = link->target->name;
            detachLink(link);
            disconnectLink(*link);
            delete link;
            notifyChanged(from);
            notifyChanged(to);
            return true;
        }
    }
    return false;
}

bool DeviceManager::setDeviceThread(const QString& name, const QString& threadName)
{
    DeviceRecord* record = findRecord(name);
    if (!record || !record->device)
        return false;
    QThread* thread = threadName.isEmpty() ? this->thread() : workerThread(threadName);
    BaseDevice* device = record->device;
    if (device->thread() != thread) {
        if (!runInDeviceThread(device, [device, thread] { device->moveToThread(thread); }, kDeviceCallTimeoutMs))
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

bool DeviceManager::saveYamlConfig()
{
    recordCall("saveYamlConfig()");
    if (m_readonly || m_configPath.isEmpty())
        return false;
    return saveYamlConfig(m_configPath);
}

bool DeviceManager::saveYamlConfig(const QString& path)
{
    QString error;
    if (!SafeFileWriter::writeFile(path, toYamlString().toUtf8(), &error)) {
        qWarning().noquote() << "DeviceManager: cannot save configuration to" << path << ":" << error;
        return false;
    }
    return true;
}

QString DeviceManager::toYamlString() const
{
    QBuffer header;
    YamlSerialiser::writeConfigVersion(&header);
    QString text = QString::fromUtf8(header.data());
    for (const DeviceRecord* record : m_devices)
        text += YamlSerialiser::serialise(getDeviceInfo(record->name));
    return text;
}

bool DeviceManager::loadYamlConfig(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        qWarning().noquote() << "DeviceManager: cannot read configuration" << path << ":" << file.errorString();
        return false;
    }
    if (!loadYamlFromString(QString::fromUtf8(file.readAll())))
        return false;
    m_configPath = path;
    return true;
}

bool DeviceManager::loadYamlFromString(const QString& text)
{
    QList<DeviceInfo> infos;
    bool versionOk = true;
    try {
        infos = YamlSerialiser::parseYamlFromString(text, &versionOk);
    } catch (const std::exception& error) {
        qWarning().noquote() << "DeviceManager: configuration corrupted:" << error.what();
        return false;
    }
    if (!versionOk) {
        qWarning().noquote() << "DeviceManager: configuration version is newer than" << YamlSerialiser::configVersion();
        return false;
    }
    return rebuildGraph(infos);
}

void DeviceManager::markInitialised()
{
    m_initialised = true;
    notify([this] { Q_EMIT initialised(); });
}

bool DeviceManager::shortParse(QString& text)
{
    recordCall(QString("shortParse(%1)").arg(text));
    static const QRegularExpression pattern(QStringLiteral("^\\s*runtime_variable\\(\\s*([^,()\\s]+)\\s*,\\s*(SET|GET)\\s*\\)\\s*$"));
    const QRegularExpressionMatch match = pattern.match(text);
    if (!match.hasMatch())
        return false;
    const QString name = createDevice(QStringLiteral("runtime_variable"), false);
    if (name.isEmpty())
        return false;
    setDeviceParam(name, QStringLiteral("name"), match.captured(1));
    setDeviceParam(name, QStringLiteral("mode"), match.captured(2));
    text = name;
    return true;
}

QStringList DeviceManager::pasteDevicesFromString(const QString& text, int initialisationTimeoutMs)
{
    recordCall(QString("pasteDevicesFromString(%1)").arg(initialisationTimeoutMs));
    QList<DeviceInfo> infos;
    try {
        bool versionOk = true;
        infos = YamlSerialiser::parseYamlFromString(text, &versionOk);
    } catch (const std::exception& error) {
        qWarning().noquote() << "DeviceManager: pasted devices corrupted:" << error.what();
        return QStringList();
    }
    return createFromInfos(infos, true, initialisationTimeoutMs);
}

bool DeviceManager::parseMetaDevice(const QString& path, const QString& typeName)
{
    recordCall(QString("parseMetaDevice(%1,%2)").arg(path, typeName));
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        qWarning().noquote() << "DeviceManager: cannot read meta device" << path << ":" << file.errorString();
        return false;
    }
    const QString text = QString::fromUtf8(file.readAll());
    MetaDevice::Description description;
    try {
        description = MetaDevice::parse(text);
    } catch (const std::exception& error) {
        qWarning().noquote() << "DeviceManager: meta device corrupted:" << path << ":" << error.what();
        return false;
    }
    const QString type = typeName.isEmpty() ? QFileInfo(path).completeBaseName() : typeName;
    DeviceTypeInfo info;
    info.categories = QStringList{QStringLiteral("meta")};
    registerDeviceType(type, info, [description] { return new MetaDevice(description); });
    return true;
}

void DeviceManager::setSignalsTracking(bool tracking)
{
    m_signalsTracking = tracking;
}

bool DeviceManager::removeDevice(const QString& name)
{
    recordCall(QString("removeDevice(%1)").arg(name));
    DeviceRecord* record = findRecord(name);
    if (!record)
        return false;
    const QString current = record->name;
    // Newest first, so that peers hear of their links in the order they would be undone.
    while (!record->links.isEmpty()) {
        Link* link = record->links.last();
        const DeviceRecord* peer = link->source == record ? link->target : link->source;
        const QString peerName = peer->name;
        detachLink(link);
        disconnectLink(*link);
        delete link;
        if (peer != record)
            notifyChanged(peerName);
    }
    const int index = m_devices.lastIndexOf(record);
    m_devices.removeAt(index);
    m_deviceNames.removeAt(index);
    m_deviceIndex.remove(nameKey(current));
    forgetFreshNames();
    // A device deleted behind our back may have left its address to a newer one.
    if (m_deviceObjects.value(record->object) == record)
        m_deviceObjects.remove(record->object);
    if (BaseDevice* device = record->device) {
        device->disconnect(this);
        runInDeviceThread(device, [device] {
            device->deinitialise();
            delete device;
        }, kDeviceCallTimeoutMs);
    }
    delete record;
    notifyAbout({current}, [this, current] { Q_EMIT deviceRemoved(current); });
    return true;
}

bool DeviceManager::initialiseDevice(const QString& name)
{
    recordCall(QString("initialiseDevice(%1)").arg(name));
    BaseDevice* device = deviceObject(name);
    if (!device)
        return false;
    // Shared, so that an answer arriving after the time-out writes to live memory.
    const QSharedPointer<bool> ok(new bool(false));
    const bool answered = runInDeviceThread(device, [device, ok] { *ok = device->initialise(); }, kDeviceCallTimeoutMs);
    return answered && *ok;
}

bool DeviceManager::deinitialiseDevice(const QString& name)
{
    recordCall(QString("deinitialiseDevice(%1)").arg(name));
    BaseDevice* device = deviceObject(name);
    if (!device)
        return false;
    return runInDeviceThread(device, [device] { device->deinitialise(); }, kDeviceCallTimeoutMs);
}

QString DeviceManager::createDevice(const QString& type, bool initialise)
{
    recordCall(QString("createDevice(%1,%2)").arg(type, initialise ? "true" : "false"));
    QString networkManager;
    const QString resolved = resolveType(type, &networkManager);
    if (resolved.isEmpty()) {
        qWarning().noquote() << "DeviceManager: unknown device type" << type;
        return QString();
    }
    if (!acceptCreation(resolved))
        return QString();
    QString name = freshName(resolved);
    if (!networkManager.isEmpty())
        name = freshName(resolved + "%1@" + networkManager);
    const QString created = createNamedDevice(resolved, name, networkManager);
    if (!created.isEmpty() && initialise)
        initialiseDevice(created);
    return created;
}

bool DeviceManager::removeDeviceConnection(const QString& source, const QString& target)
{
    recordCall(QString("removeDeviceConnection(%1,%2)").arg(source, target));
    bool removed = false;
    QString from;
    QString to;
    DeviceRecord* sourceRecord = findRecord(source);
    const DeviceRecord* targetRecord = findRecord(target);
    for (int i = sourceRecord && targetRecord ? sourceRecord->links.size() - 1 : -1; i >= 0; --i) {
        Link* link = sourceRecord->links.at(i);
        if (link->source == sourceRecord && link->target == targetRecord) {
            from = link->source->name;
            to = link->target->name;
            detachLink(link);
            disconnectLink(*link);
            delete link;
            removed = true;
        }
    }
    if (removed) {
        notifyChanged(from);
        if (to != from)
            notifyChanged(to);
    }
    return removed;
}

bool DeviceManager::addDeviceConnection(const QString& source, const QString& target, const QString& signal,
                                        const QString& slot)
{
    recordCall(QString("addDeviceConnection(%1,%2,%3,%4)").arg(source, target, signal, slot));
    if (!signal.isEmpty() && !slot.isEmpty())
        return connectPair(source, target, signal, slot);

    const QList<QStringList> pairs = candidatePairs(source, target, signal, slot);
    QStringList chosen;
    const int total = pairs.at(0).size() + pairs.at(1).size();
    QStringList usedSignals;
    QStringList usedSlots;
    for (const QString& pair : pairs.at(0)) {
        const QString slotSide = pair.section('<', 0, 0);
        const QString signalSide = pair.section('<', 1);
        if (usedSignals.contains(signalSide) || usedSlots.contains(slotSide))
            continue;
        usedSignals.append(signalSide);
        usedSlots.append(slotSide);
        chosen.append(pair);
    }
    if (chosen.isEmpty() && total > 0)
        chosen.append(pairs.at(1).first());
    bool joined = false;
    for (const QString& pair : chosen)
        joined = connectPair(source, target, pair.section('<', 1), pair.section('<', 0, 0)) || joined;
    return joined;
}

QStringList DeviceManager::getDeviceTypes(bool paths) const
{
    QStringList types;
    for (const QString& type : m_typeOrder) {
        if (!paths) {
            types.append(type);
            continue;
        }
        QStringList categories = m_types.value(type)->info.categories;
        if (categories.isEmpty())
            categories.append(QStringLiteral("General"));
        types.append(categories.join('/') + "/" + type);
    }
    return types;
}

DeviceInfo DeviceManager::getDeviceInfo(const QString& name) const
{
    return describe(findRecord(name));
}

QVector<DeviceInfo> DeviceManager::getDeviceInfos() const
{
    QVector<DeviceInfo> infos;
    infos.reserve(m_devices.size());
    for (const DeviceRecord* record : m_devices)
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
    info.signals = methodSignatures(device, true);
    info.slots = methodSignatures(device, false);
    info.incomingConnections.reserve(record->links.size());
    info.connectionStrings.reserve(record->links.size());
    info.outgoingConnections.reserve(record->links.size());
    for (const Link* link : record->links) {
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
    return m_deviceNames;
}

DeviceTypeInfo DeviceManager::getDeviceTypeInfo(const QString& type) const
{
    QString networkManager;
    const TypeRecord* record = m_types.value(resolveType(type, &networkManager));
    return record ? record->info : DeviceTypeInfo();
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
    return runInDeviceThread(device, [device, key, value] { device->setParam(key, value); }, kDeviceCallTimeoutMs);
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

void DeviceManager::onDeviceInitialised(bool initialised)
{
    const QString name = sender() ? sender()->objectName() : QString();
    if (storedName(name).isEmpty())
        return;
    notifyAbout({name}, [this, name, initialised] { Q_EMIT deviceInitialised(name, initialised); });
}

void DeviceManager::onDeviceStateChanged(BaseDevice::DeviceState state)
{
    const QString name = sender() ? sender()->objectName() : QString();
    if (storedName(name).isEmpty())
        return;
    notifyAbout({name}, [this, name, state] { Q_EMIT deviceStateChanged(name, state); });
}

void DeviceManager::onDeviceDescriptionChanged(QString description)
{
    const QString name = sender() ? sender()->objectName() : QString();
    if (storedName(name).isEmpty())
        return;
    notifyAbout({name}, [this, name, description] { Q_EMIT deviceDescriptionChanged(name, description); });
}

QString DeviceManager::resolveType(const QString& typeText, QString* networkManager) const
{
    QString text = typeText.trimmed();
    while (text.startsWith('/'))
        text.remove(0, 1);
    if (m_types.contains(text))
        return text;
    if (!text.contains('/'))
        return QString();
    const QString head = text.section('/', 0, 0);
    if (m_networkManagers.contains(head)) {
        QString nested;
        const QString type = resolveType(text.section('/', 1), &nested);
        if (!type.isEmpty() && nested.isEmpty())
            *networkManager = head;
        return type;
    }
    const QString last = text.section('/', -1);
    return m_types.contains(last) ? last : QString();
}

QString DeviceManager::freshName(const QString& base)
{
    const QString pattern = base.contains("%1") ? base : base + "%1";
    // The hint only moves past numbers found taken; the candidate returned may still go unused.
    int& number = m_freshNameHints[pattern];
    for (number = qMax(number, 1);; ++number) {
        const QString candidate = pattern.arg(number);
        if (!findRecord(candidate))
            return candidate;
    }
}

void DeviceManager::forgetFreshNames()
{
    m_freshNameHints.clear();
}

bool DeviceManager::isValidName(const QString& name) const
{
    static const QRegularExpression forbidden(QStringLiteral("[\\s.<>@:/\\\\\"'(),]"));
    return !name.isEmpty() && !name.contains(forbidden) && name != YamlSerialiser::versionKey()
        && name != QLatin1String("export") && name != QLatin1String("this");
}

QString DeviceManager::createNamedDevice(const QString& type, const QString& name, const QString& networkManager)
{
    const auto typeEntry = m_types.constFind(type);
    if (typeEntry == m_types.cend() || !typeEntry.value())
        return QString();
    const TypeRecord* typeRecord = typeEntry.value();
    BaseDevice* device = typeRecord->factory();
    if (!device)
        return QString();
    device->setParent(nullptr);
    device->setObjectName(name);
    auto* record = new DeviceRecord;
    record->name = name;
    // The type's own text: the devices of a type, and their descriptions, share it.
    record->type = typeEntry.key();
    record->remote = !networkManager.isEmpty();
    record->device = device;
    m_devices.append(record);
    m_deviceNames.append(name);
    m_deviceIndex.insert(nameKey(name), record);
    record->object = device;
    m_deviceObjects.insert(device, record);
    connect(device, &BaseDevice::deviceInitialised, this, &DeviceManager::onDeviceInitialised);
    connect(device, &BaseDevice::stateChanged, this, &DeviceManager::onDeviceStateChanged);
    connect(device, &BaseDevice::descriptionChanged, this, &DeviceManager::onDeviceDescriptionChanged);
    notifyAbout({name}, [this, name] { Q_EMIT deviceRegistered(name); });
    return name;
}

DeviceManager::DeviceRecord* DeviceManager::findRecord(const QString& name) const
{
    return m_deviceIndex.value(nameKey(name));
}

QString DeviceManager::storedName(const QString& name) const
{
    const DeviceRecord* record = findRecord(name);
    return record ? record->name : QString();
}

BaseDevice* DeviceManager::deviceObject(const QString& name) const
{
    const DeviceRecord* record = findRecord(name);
    return record ? record->device : nullptr;
}

void DeviceManager::detachLink(Link* link)
{
    link->source->links.removeOne(link);
    if (link->target != link->source)
        link->target->links.removeOne(link);
}

QStringList DeviceManager::methodSignatures(const BaseDevice* device, bool wantSignals) const
{
    // A class's methods are the same for each of its devices: they are listed once per class,
    // and every description shares the lists. A meta-object is taken for the same class only
    // while its name and method count agree.
    struct Listed
    {
        QByteArray className;
        int methodCount = 0;
        QStringList signalList;
        QStringList slotList;
    };
    static QHash<const QMetaObject*, Listed> listedClasses;
    const QMetaObject* metaObject = device->metaObject();
    auto listed = listedClasses.find(metaObject);
    if (listed == listedClasses.end() || listed->methodCount != metaObject->methodCount()
        || listed->className != metaObject->className()) {
        Listed methods;
        methods.className = metaObject->className();
        methods.methodCount = metaObject->methodCount();
        methods.signalList = listMethodSignatures(metaObject, true);
        methods.slotList = listMethodSignatures(metaObject, false);
        listed = listedClasses.insert(metaObject, methods);
    }
    return wantSignals ? listed->signalList : listed->slotList;
}

QStringList DeviceManager::listMethodSignatures(const QMetaObject* metaObject, bool wantSignals)
{
    QStringList signatures;
    for (int i = BaseDevice::staticMetaObject.methodCount(); i < metaObject->methodCount(); ++i) {
        const QMetaMethod method = metaObject->method(i);
        if (method.access() != QMetaMethod::Public)
            continue;
        const bool isSignal = method.methodType() == QMetaMethod::Signal;
        const bool isSlot = method.methodType() == QMetaMethod::Slot;
        if ((wantSignals && isSignal) || (!wantSignals && isSlot))
            signatures.append(QString::fromLatin1(method.methodSignature()));
    }
    return signatures;
}

bool DeviceManager::connectPair(const QString& source, const QString& target, const QString& signal,
                                const QString& slot)
{
    DeviceRecord* sourceRecord = findRecord(source);
    DeviceRecord* targetRecord = findRecord(target);
    BaseDevice* sender = sourceRecord ? sourceRecord->device : nullptr;
    BaseDevice* receiver = targetRecord ? targetRecord->device : nullptr;
    if (!sender || !receiver)
        return false;
    // The texts are taken from the classes' method lists, so that every link and every
    // description of links between the same methods shares them.
    const QStringList senderSignals = methodSignatures(sender, true);
    const QStringList receiverSlots = methodSignatures(receiver, false);
    const int signalIndex = senderSignals.indexOf(DeviceProxy::normalisedSignature(signal));
    const int slotIndex = receiverSlots.indexOf(DeviceProxy::normalisedSignature(slot));
    if (signalIndex < 0 || slotIndex < 0)
        return false;
    const QString signalText = senderSignals.at(signalIndex);
    const QString slotText = receiverSlots.at(slotIndex);
    const QString sourceName = sourceRecord->name;
    const QString targetName = targetRecord->name;
    for (const Link* link : qAsConst(sourceRecord->links)) {
        if (link->source == sourceRecord && link->target == targetRecord && link->signal == signalText
            && link->slot == slotText)
            return true;
    }

    auto* link = new Link;
    link->source = sourceRecord;
    link->target = targetRecord;
    link->signal = signalText;
    link->slot = slotText;
    link->sourceDevice = sender;
    link->targetDevice = receiver;
    const QMetaMethod signalMethod = sender->metaObject()->method(DeviceProxy::signalIndex(sender, signalText));
    const QMetaMethod slotMethod = receiver->metaObject()->method(DeviceProxy::methodIndex(receiver, slotText));
    // Values reach the receiver through a relay, which keeps a ring of direct links from recursing.
    auto* relay = new LinkRelay(receiver, slotMethod, this);
    link->relay = relay;
    if (QMetaObject::checkConnectArgs(signalMethod, slotMethod)) {
        link->connection = relay->connectFrom(sender, signalMethod);
    } else {
        const QString signalTypes = DeviceProxy::parameterTypes(signalText);
        const QString slotTypes = DeviceProxy::parameterTypes(slotText);
        const QString input = TypeConverter::inputFor(signalTypes);
        const QString output = TypeConverter::outputFor(slotTypes);
        if (getTypeConversions().contains(TypePair(signalTypes, slotTypes)) && !input.isEmpty() && !output.isEmpty()) {
            auto* converter = new TypeConverter(slotTypes, this);
            link->converter = converter;
            link->connection = QObject::connect(sender, signalMethod, converter,
                                                converter->metaObject()->method(DeviceProxy::methodIndex(converter, input)));
            link->converterConnection = relay->connectFrom(
                converter, converter->metaObject()->method(DeviceProxy::signalIndex(converter, output)));
        }
    }
    if (!link->connection) {
        delete link->converter.data();
        delete relay;
        delete link;
        return false;
    }
    sourceRecord->links.append(link);
    if (targetRecord != sourceRecord)
        targetRecord->links.append(link);
    const QMetaMethod monitorSlot = m_monitor->metaObject()->method(DeviceProxy::methodIndex(m_monitor, "signalEmitted()"));
    QObject::connect(sender, signalMethod, m_monitor, monitorSlot, Qt::UniqueConnection);
    notifyChanged(sourceName);
    if (targetName != sourceName)
        notifyChanged(targetName);
    return true;
}

void DeviceManager::disconnectLink(Link& link)
{
    QObject::disconnect(link.connection);
    QObject::disconnect(link.converterConnection);
    delete link.converter.data();
    // A value on its way through the relay in another thread may still use it.
    if (link.relay)
        link.relay->deleteLater();
    if (!link.sourceDevice)
        return;
    for (const Link* other : qAsConst(link.source->links)) {
        if (other != &link && other->sourceDevice == link.sourceDevice && other->signal == link.signal)
            return;
    }
    DeviceProxy::disconnect(link.sourceDevice, link.signal, m_monitor, "signalEmitted()");
}

QThread* DeviceManager::workerThread(const QString& threadName)
{
    QThread* thread = m_threads.value(threadName);
    if (!thread) {
        thread = new QThread;
        thread->setObjectName(threadName);
        m_threads.insert(threadName, thread);
        auto* agent = new QObject;
        agent->moveToThread(thread);
        m_threadAgents.insert(thread, agent);
        thread->start();
    }
    return thread;
}

void DeviceManager::removeAllDevices()
{
    const QStringList names = getDeviceNames();
    for (auto it = names.crbegin(); it != names.crend(); ++it)
        removeDevice(*it);
}

bool DeviceManager::rebuildGraph(const QList<DeviceInfo>& infos)
{
    removeAllDevices();
    createFromInfos(infos, true, kDeviceCallTimeoutMs);
    m_initialised = true;
    notify([this] { Q_EMIT initialised(); });
    return true;
}

QStringList DeviceManager::createFromInfos(const QList<DeviceInfo>& infos, bool keepNames, int initialisationTimeoutMs)
{
    QMap<QString, QString> newNames;
    QStringList created;
    QList<const DeviceInfo*> createdInfos;
    for (const DeviceInfo& info : infos) {
        QString networkManager;
        const QString type = resolveType(info.type, &networkManager);
        if (type.isEmpty()) {
            qWarning().noquote() << "DeviceManager: unknown device type" << info.type << "of" << info.name;
            continue;
        }
        if (!acceptCreation(type))
            continue;
        const bool remote = info.name.contains('@');
        if (remote)
            networkManager = info.name.section('@', 1);
        const QString baseName = info.name.section('@', 0, 0);
        QString name = info.name;
        if (!keepNames || !isValidName(baseName) || !storedName(name).isEmpty()) {
            name = remote ? freshName(type + "%1@" + networkManager) : freshName(type);
        }
        if (createNamedDevice(type, name, networkManager).isEmpty())
            continue;
        BaseDevice* device = deviceObject(name);
        for (auto value = info.paramValues.constBegin(); value != info.paramValues.constEnd(); ++value) {
            if (device->hasParam(value.key()))
                device->setParam(value.key(), value.value());
        }
        for (const Param& param : info.params) {
            if (!info.paramValues.contains(param.name()) && device->hasParam(param.name()))
                device->setParam(param.name(), param.raw());
        }
        if (!info.description.isEmpty())
            device->setDescription(info.description);
        if (!info.thread.isEmpty())
            setDeviceThread(name, info.thread);
        newNames.insert(info.name, name);
        created.append(name);
        createdInfos.append(&info);
    }
    auto mapped = [&newNames](const QString& name) { return newNames.value(name, name); };
    for (const DeviceInfo* info : qAsConst(createdInfos)) {
        const QString name = newNames.value(info->name);
        for (const Connection& link : info->incomingConnections) {
            if (!connectPair(mapped(link.device), name, link.signal, link.slot))
                qWarning().noquote() << "DeviceManager: cannot restore link" << link.device + "." + link.signal << "to"
                                     << name + "." + link.slot;
        }
        for (const Connection& link : info->outgoingConnections) {
            if (!connectPair(name, mapped(link.device), link.signal, link.slot))
                qWarning().noquote() << "DeviceManager: cannot restore link" << name + "." + link.signal << "to"
                                     << link.device + "." + link.slot;
        }
    }
    for (const DeviceInfo* info : qAsConst(createdInfos)) {
        if (!info->initialised)
            continue;
        BaseDevice* device = deviceObject(newNames.value(info->name));
        runInDeviceThread(device, [device] { device->initialise(); }, qMax(0, initialisationTimeoutMs));
    }
    return created;
}

bool DeviceManager::runInDeviceThread(QObject* device, const std::function<void()>& call, int timeoutMs)
{
    if (!device)
        return false;
    QThread* thread = device->thread();
    QObject* agent = m_threadAgents.value(thread);
    if (thread == QThread::currentThread() || !agent || !thread->isRunning()) {
        call();
        return true;
    }
    // The agent, not the device, receives the call, so that the call may delete the device.
    const QSharedPointer<QSemaphore> done(new QSemaphore);
    QMetaObject::invokeMethod(
        agent,
        [call, done] {
            call();
            done->release();
        },
        Qt::QueuedConnection);
    return done->tryAcquire(1, timeoutMs);
}

void DeviceManager::reportEmission(const QObject* sender, int signalIndex)
{
    if (!m_signalsTracking || !sender || signalIndex < 0)
        return;
    const DeviceRecord* record = m_deviceObjects.value(sender);
    if (!record)
        return;
    const QString signal = QString::fromLatin1(sender->metaObject()->method(signalIndex).methodSignature());
    // Collected first: a receiver of onEmit() may change the links.
    QList<QPair<QString, QString>> carried;
    for (const Link* link : record->links) {
        if (link->sourceDevice == sender && link->signal == signal)
            carried.append(qMakePair(link->source->name, link->target->name));
    }
    for (const auto& pair : qAsConst(carried)) {
        const QString provider = pair.first;
        const QString receiver = pair.second;
        notify([this, provider, receiver] { Q_EMIT onEmit(provider, receiver); });
    }
}

void DeviceManager::notifyChanged(const QString& name)
{
    notifyAbout({name}, [this, name] { Q_EMIT deviceChanged(name); });
}
