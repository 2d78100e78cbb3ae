#include "MetaDevice.h"

#include "BoundedYaml.h"
#include "YamlDevices.h"
#include "YamlSerialiser.h"

#include <yaml-cpp/yaml.h>

namespace {

MetaDevice::Export splitEntry(const QString& key, const QString& entry, const QList<DeviceInfo>& devices)
{
    MetaDevice::Export item;
    item.key = key;
    for (const DeviceInfo& info : devices) {
        const QString prefix = info.name + QLatin1Char('.');
        if (entry.startsWith(prefix) && info.name.size() > item.device.size()) {
            item.device = info.name;
            item.item = entry.mid(prefix.size());
        }
    }
    if (item.device.isEmpty()) {
        item.device = entry.section(QLatin1Char('.'), 0, 0);
        item.item = entry.section(QLatin1Char('.'), 1);
    }
    return item;
}

QList<MetaDevice::Export> sectionExports(const YAML::Node& exportNode, const char* key,
                                         const QList<DeviceInfo>& devices)
{
    QList<MetaDevice::Export> exports;
    const YAML::Node section = exportNode[key];
    if (!section || section.IsNull())
        return exports;
    if (!section.IsMap())
        throw YamlSerialiser::FormatError(std::string("export section \"") + key + "\" is not a mapping");
    for (const auto& entry : section) {
        if (!entry.first.IsScalar() || !entry.second.IsScalar())
            throw YamlSerialiser::FormatError(std::string("an entry of \"") + key + "\" is not a text");
        exports.append(splitEntry(QString::fromStdString(entry.first.as<std::string>()),
                                  QString::fromStdString(entry.second.as<std::string>()), devices));
    }
    return exports;
}

QStringList entries(const QList<MetaDevice::Export>& exports)
{
    QStringList texts;
    for (const MetaDevice::Export& item : exports)
        texts.append(item.entry());
    return texts;
}

} // namespace

QString MetaDevice::Export::entry() const
{
    return device + QLatin1Char('.') + item;
}

MetaDevice::MetaDevice(const Description& description)
    : m_description(description)
{
    for (const Export& exported : description.parameterExports) {
        QString value;
        for (const DeviceInfo& info : description.devices) {
            if (info.name == exported.device)
                value = info.paramValues.value(exported.item);
        }
        addParam(exported.entry(), value);
    }
    addParam(QStringLiteral("exportedSlots"), entries(description.slotExports).join(','));
    addParam(QStringLiteral("exportedSignals"), entries(description.signalExports).join(','));
}

MetaDevice::Description MetaDevice::parse(const QString& text)
{
    Description description;
    bool versionOk = true;
    const YAML::Node root = BoundedYaml::load(text.toStdString());
    description.devices = parseYamlDevices(root, &versionOk);
    if (!versionOk)
        throw YamlSerialiser::FormatError("meta device of a newer configuration version");
    const YAML::Node exportNode = root.IsMap() ? root["export"] : YAML::Node();
    if (exportNode && !exportNode.IsNull() && !exportNode.IsMap())
        throw YamlSerialiser::FormatError("the export block is not a mapping");
    if (exportNode && exportNode.IsMap()) {
        description.slotExports = sectionExports(exportNode, "slots", description.devices);
        description.signalExports = sectionExports(exportNode, "signals", description.devices);
        description.parameterExports = sectionExports(exportNode, "parameters", description.devices);
    }
    return description;
}
