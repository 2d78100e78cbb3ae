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
#include <QSet>

#include <exception>
#include <limits>

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
    // A device kept as text goes back after the device it followed in the loaded text, or
    // else the nearest one before it that is still there.
    int kept = 0;
    auto writeKeptBefore = [this, &text, &kept](quint64 sequence) {
        for (; kept < m_kept->size() && m_kept->anchor(kept) < sequence; ++kept)
            text += YamlSerialiser::serialise(m_kept->describe(kept));
    };
    for (const DeviceRecord* record : m_devices->records()) {
        writeKeptBefore(record->sequence);
        // What the user asked for, not whether it runs: a device whose initialisation failed
        // is tried again on the next load.
        DeviceInfo info = getDeviceInfo(record->name);
        info.initialised = record->meantInitialised;
        text += YamlSerialiser::serialise(info);
    }
    writeKeptBefore(std::numeric_limits<quint64>::max());
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
    // Every type lookup reads a name without the white space around it: registered so, the type
    // saves and loads back as itself.
    const QString type = (typeName.isEmpty() ? QFileInfo(path).completeBaseName() : typeName).trimmed();
    if (type.isEmpty()) {
        qWarning() << "DeviceManager: meta device" << path << "has no usable type name:" << type;
        return false;
    }
    // A leading byte order mark, a lone surrogate: after a save and a load the type's devices
    // would be another type's (U+FEFF "scaler" read as "scaler") or unknown, and their settings lost.
    if (!DeviceTypeRegistry::readsBack(type)) {
        qWarning() << "DeviceManager: meta device" << path
                   << "has a type name that does not read back from a saved graph:" << type << "; not registered";
        return false;
    }
    // The devices of a built-in type are made by its own code: a graph's devices of that type
    // would otherwise lose their links, and their parameters at the next save. A name that any
    // lookup takes for such a type ("maths/scaler", "/scaler") would stand in its place where
    // devices are made by path, as the map's New device menu makes them.
    QString networkManager;
    const QString builtIn = m_types->resolve(type, &networkManager);
    if (!builtIn.isEmpty() && m_types->isBuiltIn(builtIn)) {
        qWarning().noquote() << "DeviceManager: meta device" << path << "would replace the device type" << builtIn
                             << "of the framework or the host; not registered";
        return false;
    }
    // Lookups read "/" as a path: the menu's path to such a type would lead to another type or none.
    if (type.contains(QLatin1Char('/'))) {
        qWarning().noquote() << "DeviceManager: meta device" << path << "has a type name holding \"/\":" << type
                             << "; not registered";
        return false;
    }
    DeviceTypeInfo info;
    info.categories = QStringList{QStringLiteral("meta")};
    // Its listed path ("meta/pump") may be a host type's name: the New device menu would make that type.
    const QString sharing = m_types->sharingNameOrPath(type, info.categories);
    if (!sharing.isEmpty()) {
        qWarning().noquote() << "DeviceManager: meta device" << path << "would share a name or a path with the device type"
                             << sharing << "; not registered";
        return false;
    }
    m_types->registerType(type, info, [description] { return new MetaDevice(description); }, true);
    if (!m_exitEmitted)
        notify([this] { Q_EMIT needUpdateTypes(); });
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
    // What became of each entry of the text: the name its device was created under, or the
    // device kept as text it is.
    QVector<QString> createdNames(infos.size());
    QVector<int> keptEntries(infos.size(), -1);
    QStringList created;
    // Case-folded, so that telling a repeated name costs the same however long the text is.
    QSet<QString> createdFolded;
    // A loaded graph's fresh names pass over the names its text gives, so that no device takes
    // the name of one that comes later. Gathered when the first fresh name is needed.
    DeviceRegistry::PassedOverNames textNames;
    // The "@manager" part comes from a name found not valid: what a saved graph would not give
    // back goes from it too, or the next load would read another name.
    auto freshName = [this, &infos, &textNames, keepUnknown](const QString& type, const QString& networkManager) {
        if (keepUnknown && textNames.isEmpty()) {
            for (const DeviceInfo& info : infos)
                textNames.insert(info.name);
        }
        return m_devices->freshName(DeviceRegistry::namePattern(type, DeviceRegistry::savedNamePart(networkManager)),
                                    keepUnknown ? &textNames : nullptr);
    };
    quint64 lastSequence = 0;
    for (int entry = 0; entry < infos.size(); ++entry) {
        const DeviceInfo& info = infos.at(entry);
        QString networkManager;
        const QString type = m_types->resolve(info.type, &networkManager);
        if (type.isEmpty() && keepUnknown) {
            // Nothing the user made is lost by the next save: the device waits as text for its type.
            qWarning().noquote() << "DeviceManager: unknown device type" << info.type << "of" << info.name
                                 << "(kept as written)";
            // Written back under its name, which its links' texts carry: a name no link can
            // carry would make the next load refuse the save.
            DeviceInfo kept = info;
            if (!DeviceRegistry::isValidDeviceName(info.name)) {
                kept.name = freshName(info.type, info.name.contains('@') ? info.name.section('@', 1) : QString());
                qWarning() << "DeviceManager: device name" << info.name << "is not valid; the device is named"
                           << kept.name;
            }
            m_devices->reserveName(kept.name);
            keptEntries[entry] = m_kept->keep(std::move(kept), lastSequence);
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
        const bool validName = DeviceRegistry::isValidDeviceName(info.name);
        QString name = info.name;
        const bool nameKept = m_devices->isReserved(name);
        if (!keepNames || !validName || !m_devices->storedName(name).isEmpty() || nameKept) {
            name = freshName(type, remote ? networkManager : QString());
            // A taken name is the ordinary case of a paste; these two are not.
            if (keepNames && !validName)
                qWarning() << "DeviceManager: device name" << info.name << "is not valid; the device is named" << name;
            else if (keepNames && (createdFolded.contains(info.name.toCaseFolded()) || (keepUnknown && nameKept)))
                qWarning() << "DeviceManager: device name" << info.name << "comes twice; the second device is named" << name;
        }
        if (createNamedDevice(type, name, networkManager).isEmpty())
            continue;
        DeviceRecord* record = m_devices->find(name);
        BaseDevice* device = record->device;
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
        record->meantInitialised = info.initialised;
        lastSequence = record->sequence;
        createdNames[entry] = name;
        created.append(name);
        createdFolded.insert(name.toCaseFolded());
    }
    restoreTextLinks(infos, createdNames, keptEntries);
    for (int entry = 0; entry < infos.size(); ++entry) {
        if (createdNames.at(entry).isEmpty() || !infos.at(entry).initialised)
            continue;
        BaseDevice* device = deviceObject(createdNames.at(entry));
        runInDeviceThread(device, [device] { device->initialise(); }, qMax(0, initialisationTimeoutMs));
    }
    return created;
}
