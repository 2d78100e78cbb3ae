#include "YamlSerialiser.h"

#include "BoundedYaml.h"
#include "YamlDevices.h"
#include "YamlTextWriter.h"

#include <QBuffer>
#include <QIODevice>
#include <QSet>

#include <yaml-cpp/yaml.h>

#include <algorithm>
#include <exception>

namespace {

const char* const kVersionKey = "config_version";
const int kConfigVersion = 2;

QString toQString(const YAML::Node& node)
{
    return QString::fromStdString(node.as<std::string>());
}

std::string toStd(const QString& text)
{
    return text.toStdString();
}

QStringList readTextList(const YAML::Node& node, const QString& deviceName, const char* key)
{
    QStringList texts;
    // "outgoing:" with nothing after it, as a hand edit leaves a list it emptied, is no link.
    if (!node || node.IsNull())
        return texts;
    if (!node.IsSequence())
        throw YamlSerialiser::FormatError(std::string("\"") + key + "\" of device \"" + toStd(deviceName)
                                          + "\" is not a list");
    for (const YAML::Node& item : node) {
        if (!item.IsScalar())
            throw YamlSerialiser::FormatError(std::string("an entry of \"") + key + "\" of device \""
                                              + toStd(deviceName) + "\" is not a text");
        texts.append(toQString(item));
    }
    return texts;
}

// "device.slot<source.signal": the device before the first ".", the signature after it.
bool splitLinkText(const QString& text, QString* slotDevice, QString* slot, QString* signalDevice, QString* signal)
{
    const int separator = text.indexOf(QLatin1Char('<'));
    if (separator < 0)
        return false;
    const QString slotSide = text.left(separator).trimmed();
    const QString signalSide = text.mid(separator + 1).trimmed();
    const int slotDot = slotSide.indexOf(QLatin1Char('.'));
    const int signalDot = signalSide.indexOf(QLatin1Char('.'));
    if (slotDot <= 0 || signalDot <= 0)
        return false;
    *slotDevice = slotSide.left(slotDot);
    *slot = slotSide.mid(slotDot + 1);
    *signalDevice = signalSide.left(signalDot);
    *signal = signalSide.mid(signalDot + 1);
    return !slot->isEmpty() && !signal->isEmpty();
}

// A link names its own device "this", so that device text stays valid when pasted under another name.
bool isOwnName(const QString& device, const QString& ownName)
{
    return device == QLatin1String("this") || device == ownName;
}

QString incomingLinkText(const QString& slot, const QString& source, const QString& signal)
{
    return "this." + slot + "<" + source + "." + signal;
}

DeviceInfo parseDevice(const QString& name, const YAML::Node& node)
{
    if (!node.IsMap())
        throw YamlSerialiser::FormatError("device \"" + toStd(name) + "\" is not a mapping");
    DeviceInfo info;
    info.name = name;
    if (!node["type"] || !node["type"].IsScalar() || node["type"].as<std::string>().empty())
        throw YamlSerialiser::FormatError("device \"" + toStd(name) + "\" has no type");
    info.type = toQString(node["type"]);
    if (node["description"] && node["description"].IsScalar())
        info.description = toQString(node["description"]);
    if (node["thread"] && node["thread"].IsScalar())
        info.thread = toQString(node["thread"]);
    if (node["initialised"] && node["initialised"].IsScalar())
        info.initialised = node["initialised"].as<bool>();
    if (node["remote"] && node["remote"].IsScalar())
        info.remote = node["remote"].as<bool>();
    const YAML::Node params = node["params"];
    if (params && !params.IsNull()) {
        if (!params.IsMap())
            throw YamlSerialiser::FormatError("\"params\" of device \"" + toStd(name) + "\" is not a mapping");
        for (const auto& entry : params) {
            if (!entry.second.IsScalar() && !entry.second.IsNull())
                throw YamlSerialiser::FormatError("parameter of device \"" + toStd(name) + "\" is not a text");
            const QString key = toQString(entry.first);
            const QString value = entry.second.IsNull() ? QString() : toQString(entry.second);
            info.paramValues.insert(key, value);
            info.params.append(Param(key, false, value));
        }
    }
    for (const QString& text : readTextList(node["connections"], name, "connections")) {
        QString slotDevice, slot, signalDevice, signal;
        if (!splitLinkText(text, &slotDevice, &slot, &signalDevice, &signal) || !isOwnName(slotDevice, name))
            throw YamlSerialiser::FormatError("malformed incoming link \"" + toStd(text) + "\" of \"" + toStd(name) + "\"");
        if (isOwnName(signalDevice, name))
            signalDevice = name;
        info.connectionStrings.append(incomingLinkText(slot, signalDevice, signal));
        info.incomingConnections.append(Connection{signalDevice, signal, slot});
    }
    for (const QString& text : readTextList(node["outgoing"], name, "outgoing")) {
        QString slotDevice, slot, signalDevice, signal;
        if (!splitLinkText(text, &slotDevice, &slot, &signalDevice, &signal) || !isOwnName(signalDevice, name))
            throw YamlSerialiser::FormatError("malformed outgoing link \"" + toStd(text) + "\" of \"" + toStd(name) + "\"");
        if (isOwnName(slotDevice, name))
            slotDevice = name;
        info.outgoingConnections.append(Connection{slotDevice, signal, slot});
    }
    return info;
}

} // namespace

int YamlSerialiser::configVersion()
{
    return kConfigVersion;
}

QString YamlSerialiser::versionKey()
{
    return QString::fromLatin1(kVersionKey);
}

bool YamlSerialiser::writeConfigVersion(QIODevice* device)
{
    if (!device)
        return false;
    if (!device->isOpen() && !device->open(QIODevice::WriteOnly))
        return false;
    const QByteArray header = QByteArray(kVersionKey) + ": " + QByteArray::number(kConfigVersion) + "\n";
    return device->write(header) == header.size();
}

QString YamlSerialiser::serialise(const DeviceInfo& info)
{
    // Names and texts go through YamlTextWriter: a long name or a lone carriage return
    // written as yaml-cpp writes it would not read back.
    YAML::Emitter out;
    out << YAML::BeginMap << YAML::Key;
    YamlTextWriter::writeKey(out, toStd(info.name));
    out << YAML::Value << YAML::BeginMap;
    out << YAML::Key << "type" << YAML::Value;
    YamlTextWriter::writeValue(out, toStd(info.type));
    out << YAML::Key << "initialised" << YAML::Value << info.initialised;
    if (info.remote)
        out << YAML::Key << "remote" << YAML::Value << true;
    if (!info.description.isEmpty()) {
        out << YAML::Key << "description" << YAML::Value;
        YamlTextWriter::writeValue(out, toStd(info.description));
    }
    if (!info.thread.isEmpty()) {
        out << YAML::Key << "thread" << YAML::Value;
        YamlTextWriter::writeValue(out, toStd(info.thread));
    }

    QMap<QString, QString> values = info.paramValues;
    for (const Param& param : info.params) {
        if (!values.contains(param.name()))
            values.insert(param.name(), param.raw());
    }
    if (!values.isEmpty()) {
        out << YAML::Key << "params" << YAML::Value << YAML::BeginMap;
        for (auto it = values.constBegin(); it != values.constEnd(); ++it) {
            out << YAML::Key;
            YamlTextWriter::writeKey(out, toStd(it.key()));
            out << YAML::Value;
            YamlTextWriter::writeValue(out, toStd(it.value()), true);
        }
        out << YAML::EndMap;
    }

    QStringList incoming;
    for (const Connection& link : info.incomingConnections)
        incoming.append(incomingLinkText(link.slot, link.device == info.name ? "this" : link.device, link.signal));
    // A device with many links lists each of them in both forms: each text is looked up, not searched for.
    QSet<QString> written(incoming.cbegin(), incoming.cend());
    for (const QString& text : info.connectionStrings) {
        QString slotDevice, slot, signalDevice, signal;
        if (splitLinkText(text, &slotDevice, &slot, &signalDevice, &signal) && isOwnName(slotDevice, info.name)) {
            // A link from the device to itself is "this" at both ends, as written above.
            const QString ownText =
                incomingLinkText(slot, isOwnName(signalDevice, info.name) ? QStringLiteral("this") : signalDevice, signal);
            if (!written.contains(ownText)) {
                written.insert(ownText);
                incoming.append(ownText);
            }
        }
    }
    if (!incoming.isEmpty()) {
        out << YAML::Key << "connections" << YAML::Value << YAML::BeginSeq;
        for (const QString& text : incoming)
            YamlTextWriter::writeValue(out, toStd(text), true);
        out << YAML::EndSeq;
    }
    if (!info.outgoingConnections.isEmpty()) {
        out << YAML::Key << "outgoing" << YAML::Value << YAML::BeginSeq;
        for (const Connection& link : info.outgoingConnections)
            YamlTextWriter::writeValue(out, toStd(link.device + "." + link.slot + "<this." + link.signal), true);
        out << YAML::EndSeq;
    }
    out << YAML::EndMap << YAML::EndMap;
    return QString::fromStdString(out.c_str()) + "\n";
}

QList<DeviceInfo> YamlSerialiser::parseYamlFromString(const QString& text, bool* versionOk)
{
    return parseYamlDevices(BoundedYaml::load(text.toStdString()), versionOk);
}

QList<DeviceInfo> parseYamlDevices(const YAML::Node& root, bool* versionOk)
{
    using FormatError = YamlSerialiser::FormatError;
    QList<DeviceInfo> infos;
    if (versionOk)
        *versionOk = true;
    if (root.IsNull())
        return infos;
    if (!root.IsMap())
        throw FormatError("device text is not a mapping of devices");
    for (const auto& entry : root) {
        if (!entry.first.IsScalar())
            throw FormatError("a device name is not a text");
        const QString key = toQString(entry.first);
        if (key == QLatin1String(kVersionKey) && entry.second.IsScalar()) {
            bool numeric = false;
            const int version = toQString(entry.second).toInt(&numeric);
            if (versionOk && (!numeric || version > kConfigVersion))
                *versionOk = false;
            continue;
        }
        // A meta device's export block precedes its devices in the same document.
        if (key == QLatin1String("export"))
            continue;
        infos.append(parseDevice(key, entry.second));
    }
    return infos;
}

// Tried rather than foreseen: the same header, writer, encoding and reader as a saved graph's,
// so that no character the writer or the reader alters is missed. Printable ASCII, which the
// writer quotes wherever YAML would read it otherwise, and the letters, digits and marks of any
// script read back whatever their order: texts of them alone (every built-in type's, nearly
// every device's, in any language) are not tried, or each device made or loaded would cost a
// text written and parsed.
bool readsBackFromSavedGraph(const QString& name, const QString& type)
{
    const auto isPlain = [](QChar character) {
        return (character.unicode() >= 0x20 && character.unicode() < 0x7F) || character.isLetterOrNumber()
            || character.isMark();
    };
    const auto isPlainText = [&isPlain](const QString& text) {
        return !text.isEmpty() && std::all_of(text.cbegin(), text.cend(), isPlain);
    };
    if (isPlainText(name) && isPlainText(type))
        return true;
    DeviceInfo info;
    info.name = name;
    info.type = type;
    QBuffer header;
    YamlSerialiser::writeConfigVersion(&header);
    const QByteArray text = header.data() + YamlSerialiser::serialise(info).toUtf8();
    try {
        bool versionOk = true;
        const QList<DeviceInfo> infos = YamlSerialiser::parseYamlFromString(QString::fromUtf8(text), &versionOk);
        return versionOk && infos.size() == 1 && infos.first().name == name && infos.first().type == type;
    } catch (const std::exception&) {
        return false;
    }
}
