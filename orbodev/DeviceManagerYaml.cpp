// The device manager's graph as text: YAML configurations loaded and saved, pasted device
// texts, the short runtime-variable form and meta-device files.
#include "DeviceManager.h"

#include "BoundedIni.h"
#include "DeviceRegistry.h"
#include "DeviceThreads.h"
#include "DeviceTypeRegistry.h"
#include "KeptDevices.h"
#include "MetaDevice.h"
#include "SafeFileWriter.h"
#include "YamlSerialiser.h"

#include <QBuffer>
#include <QDebug>
#include <QFileInfo>
#include <QRegularExpression>

#include <exception>

namespace {

// The text of a regular file of bounded size: a pipe or a device would block the read or
// never end, and the text of any real graph is far smaller than the bound.
bool readTextFile(const QString& path, QString* text, QString* error)
{
    QByteArray data;
    if (!QFileInfo::exists(path)) {
        *error = QStringLiteral("no such file");
        return false;
    }
    if (!BoundedIni::readFile(path, &data, error))
        return false;
    *text = QString::fromUtf8(data);
    return true;
}

} // namespace

bool DeviceManager::saveYamlConfig()
{
    recordCall("saveYamlConfig()");
    if (m_readonly || m_configPath.isEmpty())
        return false;
    if (!saveYamlConfig(m_configPath))
        return false;
    configurationSaved(m_configPath);
    return true;
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
    // Devices kept as text go back where the loaded text had them, and their peers list the
    // links with them as every link is listed, at both ends.
    const QVector<QList<DeviceInfo>> kept = m_kept->arrangeAmong(m_kept->isEmpty() ? QStringList() : m_devices->names());
    const QHash<QString, KeptDevices::PeerLinks> keptLinks = m_kept->linksOfPeers();
    auto writeKept = [&text, &kept](int group) {
        for (const DeviceInfo& info : kept.at(group))
            text += YamlSerialiser::serialise(info);
    };
    if (!m_kept->isEmpty())
        writeKept(0);
    const QList<DeviceRecord*>& records = m_devices->records();
    for (int i = 0; i < records.size(); ++i) {
        const DeviceRecord* record = records.at(i);
        // What the user asked for, not whether it runs: a device whose initialisation failed
        // is tried again on the next load.
        DeviceInfo info = getDeviceInfo(record->name);
        info.initialised = record->meantInitialised;
        if (!keptLinks.isEmpty()) {
            const KeptDevices::PeerLinks links = keptLinks.value(record->name.toCaseFolded());
            info.incomingConnections += links.incoming;
            info.outgoingConnections += links.outgoing;
        }
        text += YamlSerialiser::serialise(info);
        if (!m_kept->isEmpty())
            writeKept(i + 1);
    }
    if (!m_kept->isEmpty())
        writeKept(kept.size() - 1);
    return text;
}

bool DeviceManager::loadYamlConfig(const QString& path)
{
    QString text;
    QString error;
    if (!readTextFile(path, &text, &error)) {
        qWarning().noquote() << "DeviceManager: cannot read configuration" << path << ":" << error;
        return false;
    }
    if (!loadYamlFromString(text))
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
    QString text;
    QString error;
    if (!readTextFile(path, &text, &error)) {
        qWarning().noquote() << "DeviceManager: cannot read meta device" << path << ":" << error;
        return false;
    }
    MetaDevice::Description description;
    try {
        description = MetaDevice::parse(text);
    } catch (const std::exception& error) {
        qWarning().noquote() << "DeviceManager: meta device corrupted:" << path << ":" << error.what();
        return false;
    }
    const QString type = typeName.isEmpty() ? QFileInfo(path).completeBaseName() : typeName;
    if (type.isEmpty() || DeviceRegistry::holdsNoncharacter(type)) {
        qWarning() << "DeviceManager: meta device" << path << "has no usable type name:" << type;
        return false;
    }
    DeviceTypeInfo info;
    info.categories = QStringList{QStringLiteral("meta")};
    registerDeviceType(type, info, [description] { return new MetaDevice(description); });
    // A host may keep the file, so that the type is there again at its next start.
    if (!m_exitEmitted)
        notify([this, type, path] { Q_EMIT metaDeviceParsed(type, path); });
    return true;
}

void DeviceManager::removeAllDevices()
{
    const QStringList names = getDeviceNames();
    for (auto it = names.crbegin(); it != names.crend(); ++it)
        removeDevice(*it);
}

void DeviceManager::forgetKeptDevices()
{
    for (const QString& name : m_kept->names())
        m_devices->releaseName(name);
    m_kept->clear();
}

bool DeviceManager::rebuildGraph(const QList<DeviceInfo>& infos)
{
    // The devices kept from the graph before belong to it, not to the one that replaces it.
    forgetKeptDevices();
    removeAllDevices();
    createFromInfos(infos, true, DeviceThreads::callTimeoutMs, true);
    m_initialised = true;
    notify([this] { Q_EMIT initialised(); });
    return true;
}

QStringList DeviceManager::createFromInfos(const QList<DeviceInfo>& infos, bool keepNames, int initialisationTimeoutMs,
                                           bool keepUnknown)
{
    // A link names its peer as the text does; a name the text holds twice (as older saves
    // wrote two names differing in a noncharacter) stands for the first device of that name.
    QHash<QString, QString> newNames;
    QStringList created;
    QList<QPair<const DeviceInfo*, QString>> createdInfos;
    for (const DeviceInfo& info : infos) {
        QString networkManager;
        const QString type = m_types->resolve(info.type, &networkManager);
        if (type.isEmpty() && keepUnknown) {
            // Nothing the user made is lost by the next save: the device waits as text for its type.
            qWarning().noquote() << "DeviceManager: unknown device type" << info.type << "of" << info.name
                                 << "(kept as written)";
            m_kept->keep(info, created.isEmpty() ? QString() : created.last());
            m_devices->reserveName(info.name);
            continue;
        }
        if (type.isEmpty()) {
            qWarning().noquote() << "DeviceManager: unknown device type" << info.type << "of" << info.name;
            continue;
        }
        if (!acceptCreation(type))
            continue;
        const bool remote = info.name.contains('@');
        if (remote)
            networkManager = info.name.section('@', 1);
        const bool validName = DeviceRegistry::isValidName(info.name.section('@', 0, 0))
            && !DeviceRegistry::holdsNoncharacter(info.name);
        QString name = info.name;
        const bool nameKept = m_devices->isReserved(name);
        if (!keepNames || !validName || !m_devices->storedName(name).isEmpty() || nameKept) {
            name = remote ? m_devices->freshName(type + "%1@" + networkManager) : m_devices->freshName(type);
            // A taken name is the ordinary case of a paste; these two are not.
            if (keepNames && !validName)
                qWarning() << "DeviceManager: device name" << info.name << "is not valid; the device is named" << name;
            else if (keepNames && (created.contains(info.name, Qt::CaseInsensitive) || (keepUnknown && nameKept)))
                qWarning() << "DeviceManager: device name" << info.name << "comes twice; the second device is named" << name;
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
        m_devices->find(name)->meantInitialised = info.initialised;
        if (!newNames.contains(info.name))
            newNames.insert(info.name, name);
        created.append(name);
        createdInfos.append(qMakePair(&info, name));
    }
    if (keepUnknown && !m_kept->isEmpty())
        completeKeptLinks(infos, newNames);
    for (const auto& entry : qAsConst(createdInfos)) {
        const DeviceInfo* info = entry.first;
        const QString& name = entry.second;
        // The device's own name in its links is the device itself, whatever it is named now.
        auto mapped = [&newNames, info, &name](const QString& peer) {
            return peer == info->name ? name : newNames.value(peer, peer);
        };
        // A loaded link to a device kept as text waits with it, which said so already.
        for (const Connection& link : info->incomingConnections) {
            const QString source = mapped(link.device);
            if (!connectPair(source, name, link.signal, link.slot) && !(keepUnknown && m_devices->isReserved(source)))
                qWarning().noquote() << "DeviceManager: cannot restore link" << link.device + "." + link.signal << "to"
                                     << name + "." + link.slot;
        }
        for (const Connection& link : info->outgoingConnections) {
            const QString target = mapped(link.device);
            if (!connectPair(name, target, link.signal, link.slot) && !(keepUnknown && m_devices->isReserved(target)))
                qWarning().noquote() << "DeviceManager: cannot restore link" << name + "." + link.signal << "to"
                                     << link.device + "." + link.slot;
        }
    }
    for (const auto& entry : qAsConst(createdInfos)) {
        if (!entry.first->initialised)
            continue;
        BaseDevice* device = deviceObject(entry.second);
        runInDeviceThread(device, [device] { device->initialise(); }, qMax(0, initialisationTimeoutMs));
    }
    return created;
}

void DeviceManager::completeKeptLinks(const QList<DeviceInfo>& infos, const QHash<QString, QString>& newNames)
{
    // A peer is named as the text names it; a device created under another name stands for it.
    m_kept->renamePeers(newNames);
    auto isKept = [this, &newNames](const QString& peer) { return !newNames.contains(peer) && m_kept->holds(peer); };
    for (const DeviceInfo& info : infos) {
        const bool kept = !newNames.contains(info.name) && m_kept->holds(info.name);
        if (!kept && !newNames.contains(info.name))
            continue;
        const QString name = kept ? info.name : newNames.value(info.name);
        for (const Connection& link : info.outgoingConnections) {
            if (isKept(link.device))
                m_kept->addIncoming(link.device, Connection{name, link.signal, link.slot});
        }
        for (const Connection& link : info.incomingConnections) {
            if (isKept(link.device))
                m_kept->addOutgoing(link.device, Connection{name, link.signal, link.slot});
        }
    }
}
