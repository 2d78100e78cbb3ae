#include "MetaDevice.h"

#include "YamlSerialiser.h"

#include <yaml-cpp/yaml.h>

namespace {

QStringList sectionEntries(const YAML::Node& exportNode, const char* key)
{
    QStringList entries;
    const YAML::Node section = exportNode[key];
    if (!section || section.IsNull())
        return entries;
    if (!section.IsMap())
        throw YamlSerialiser::FormatError(std::string("export section \"") + key + "\" is not a mapping");
    for (const auto& entry : section) {
        if (!entry.second.IsScalar())
            throw YamlSerialiser::FormatError(std::string("an entry of \"") + key + "\" is not a text");
        entries.append(QString::fromStdString(entry.second.as<std::string>()));
    }
    return entries;
}

} // namespace

MetaDevice::MetaDevice(const Description& description)
    : m_description(description)
{
    for (const QString& entry : description.parameterEntries) {
        const QString device = entry.section('.', 0, 0);
        const QString key = entry.section('.', 1);
        QString value;
        for (const DeviceInfo& info : description.devices) {
            if (info.name == device)
                value = info.paramValues.value(key);
        }
        addParam(entry, value);
    }
    addParam(QStringLiteral("exportedSlots"), description.slotEntries.join(','));
    addParam(QStringLiteral("exportedSignals"), description.signalEntries.join(','));
}

MetaDevice::Description MetaDevice::parse(const QString& text)
{
    Description description;
    bool versionOk = true;
    description.devices = YamlSerialiser::parseYamlFromString(text, &versionOk);
    if (!versionOk)
        throw YamlSerialiser::FormatError("meta device of a newer configuration version");
    const YAML::Node root = YAML::Load(text.toStdString());
    const YAML::Node exportNode = root.IsMap() ? root["export"] : YAML::Node();
    if (exportNode && exportNode.IsMap()) {
        description.slotEntries = sectionEntries(exportNode, "slots");
        description.signalEntries = sectionEntries(exportNode, "signals");
        description.parameterEntries = sectionEntries(exportNode, "parameters");
    }
    return description;
}
