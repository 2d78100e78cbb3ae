#pragma once

// Every reader of text that comes from outside (files, the clipboard, drops), and texts that
// have made such readers run away, for the readers' memory test and benchmark. Run a reader
// only through ReaderMemoryProbe: before the readers were bounded some of these texts took
// every byte of the machine.

#include "DeviceFile.h"
#include "DeviceManager.h"
#include "DeviceText.h"
#include "IniFileText.h"
#include "MapLayoutFile.h"
#include "MetaDevice.h"
#include "SafeFileWriter.h"
#include "TemplateDescriptionFile.h"
#include "YamlConfig.h"
#include "YamlSerialiser.h"
#include "ZenticMessageBox.h"

#include <QByteArray>
#include <QFile>
#include <QHash>
#include <QList>
#include <QSettings>
#include <QString>
#include <QVariant>

#include <functional>
#include <memory>

namespace OutsideTextReaders {

struct Text
{
    QString name;
    QByteArray bytes;
    /// A valid text holds sequences, which the configuration store's format has none of.
    bool hasSequences = false;
};

/// What a reader takes: device text (YAML), the configuration store's YAML, or INI text.
enum class Takes { DeviceText, Configuration, Ini };

struct Reader
{
    QString name;
    Takes takes = Takes::DeviceText;
    /// Reads text, which the file at path holds as well; whether it read it (refusing is its right).
    std::function<bool(const QByteArray& text, const QString& path)> read;
    /// It rewrites the file, and so holds the text's document and the new one at once.
    bool rewrites = false;
};

// Two linked devices, as the map copies them or exports a template.
inline const QByteArray twoLinkedDevices = "config_version: 2\n"
                                           "pump1:\n"
                                           "  type: generator\n"
                                           "  params:\n"
                                           "    interval: \"100\"\n"
                                           "  outgoing:\n"
                                           "    - \"valve1.input(double)<pump1.valueChanged(double)\"\n"
                                           "valve1:\n"
                                           "  type: scaler\n";

// Levels of mappings whose every entry is an alias to the level before: a few lines that
// stand for billions of entries.
inline QByteArray aliasLevels(const QByteArray& first, int width, int levels)
{
    QByteArray text = "l0: &l0 " + first + "\n";
    for (int level = 1; level <= levels; ++level) {
        text += "l" + QByteArray::number(level) + ": &l" + QByteArray::number(level) + " {";
        for (int i = 0; i < width; ++i)
            text += (i ? ", k" : "k") + QByteArray::number(i) + ": *l" + QByteArray::number(level - 1);
        text += "}\n";
    }
    return text;
}

// Device text of one description of descriptionBytes bytes that the aliases of as many more
// devices repeat: 59 KB of it stood for 89 MB.
inline QByteArray repeatedDescription(int descriptionBytes, int aliases)
{
    QByteArray text = "config_version: 2\nd0:\n  type: generator\n  description: &d " + QByteArray(descriptionBytes, 'x')
                      + "\n";
    for (int device = 1; device <= aliases; ++device)
        text += "d" + QByteArray::number(device) + ": {type: g, description: *d}\n";
    return text;
}

// Devices whose every type carries a tag of a %TAG prefix half the text long, about bytes in all.
inline QByteArray repeatedTagPrefix(int bytes)
{
    QByteArray text = "%TAG !e! tag:" + QByteArray(bytes / 2, 'p') + "\n---\nconfig_version: 2\n";
    for (int device = 0; text.size() < bytes; ++device)
        text += "d" + QByteArray::number(device) + ": {type: !e!x g}\n";
    return text;
}

// A document of nothing but %TAG directives, about bytes long.
inline QByteArray tagDirectives(int bytes)
{
    QByteArray text;
    for (int directive = 0; text.size() < bytes; ++directive)
        text += "%TAG !t" + QByteArray::number(directive) + "! tag:x\n";
    return text + "---\nconfig_version: 2\n";
}

inline QByteArray nestedMaps(int depth)
{
    QByteArray text;
    for (int level = 0; level < depth; ++level)
        text += QByteArray(2 * level, ' ') + "n:\n";
    return text + QByteArray(2 * depth, ' ') + "leaf: 1\n";
}

// Short keys without values, about bytes long in all.
inline QByteArray manyKeys(int bytes)
{
    QByteArray text;
    for (int key = 0; text.size() < bytes; ++key)
        text += "k" + QByteArray::number(key, 36) + "=\n";
    return text;
}

// A QVariant list QSettings would read from the stream: a count of 2^31 - 1 items, and none.
inline QByteArray variantListValue(const QByteArray& at)
{
    return at + "Variant(\\0\\0\\0\\t\\x7f\\xff\\xff\\xff)";
}

/// Malformed texts of every kind the readers take: YAML, device text and INI.
inline QList<Text> malformedTexts()
{
    const QByteArray device = "config_version: 2\npump1:\n  type: generator\n  params:\n    interval: \"100\"\n";
    // A flow sequence of empty entries, one per byte (yaml-cpp's densest text); a flow mapping
    // of empty keys with empty values, one pair per three bytes.
    const auto emptyEntries = [](int bytes) -> QByteArray { return "[" + QByteArray(bytes - 2, ',') + "]"; };
    const auto emptyKeys = [](int bytes) -> QByteArray { return "{" + QByteArray("? ,").repeated((bytes - 2) / 3) + "}"; };
    return {
        {QStringLiteral("comma first"), ",a: 1"},
        {QStringLiteral("comma after a device"), device + ",\n"},
        {QStringLiteral("comma in a later document"), device + "---\n, b\n"},
        {QStringLiteral("comma after a directive"), "%YAML 1.2\n--- !t,g\n- [a]\n"},
        {QStringLiteral("unclosed flow nesting"), QByteArray(100000, '[')},
        {QStringLiteral("flow nesting 400 deep"), QByteArray(400, '[') + QByteArray(400, ']')},
        {QStringLiteral("block nesting 1000 deep"), nestedMaps(1000)},
        {QStringLiteral("alias to its own mapping"), "a: &x\n  b: *x\n"},
        {QStringLiteral("alias to its own sequence"), "&a [*a, *a]"},
        {QStringLiteral("aliases to aliases"), aliasLevels("{a: 1, b: 1, c: 1, d: 1, e: 1}", 10, 8)},
        {QStringLiteral("empty mappings by alias"), aliasLevels("{}", 2, 40)},
        {QStringLiteral("device aliases"), device + aliasLevels("{type: x, params: {a: 1}}", 10, 6)},
        {QStringLiteral("a description repeated by aliases"), repeatedDescription(32 * 1024, 800)},
        {QStringLiteral("a long %TAG prefix on every device, 256 KiB"), repeatedTagPrefix(256 * 1024)},
        {QStringLiteral("a long %TAG prefix on every device, 1 MiB"), repeatedTagPrefix(1024 * 1024)},
        {QStringLiteral("%TAG directives, 256 KiB"), tagDirectives(256 * 1024)},
        {QStringLiteral("%TAG directives, 1 MiB"), tagDirectives(1024 * 1024)},
        {QStringLiteral("empty entries, 256 KiB"), emptyEntries(256 * 1024)},
        {QStringLiteral("empty entries, 1 MiB"), emptyEntries(1024 * 1024)},
        {QStringLiteral("empty keys, 256 KiB"), emptyKeys(256 * 1024)},
        {QStringLiteral("empty keys, 1 MiB"), emptyKeys(1024 * 1024)},
        // A quoted scalar that goes on past its line, or a quote in a comment, hid what followed
        // from a check that skipped quoted text: yaml-cpp then queued a token for every '['.
        {QStringLiteral("flow nesting after a quoted line break, 256 KiB"), "\"x\n\" " + QByteArray(256 * 1024, '[')},
        {QStringLiteral("flow nesting after a quoted line break, 1 MiB"), "\"x\n\" " + QByteArray(1024 * 1024, '[')},
        {QStringLiteral("flow nesting after a quote in a comment, 256 KiB"), "a: 1 # it's\nb: " + QByteArray(256 * 1024, '[')},
        {QStringLiteral("flow nesting after a quote in a comment, 1 MiB"), "a: 1 # it's\nb: " + QByteArray(1024 * 1024, '[')},
        {QStringLiteral("NUL bytes"), QByteArray("pump1:\n  type: \0x\n", 18)},
        {QStringLiteral("not UTF-8"), "config_version: 2\n# caf\xe9\npump1:\n  type: generator\n"},
        {QStringLiteral("INI list of 2^31 items"), "[General]\nsceneRect=" + variantListValue("@") + "\n"},
        {QStringLiteral("INI list of 2^31 by an escaped @"), "[General]\nlayoutType=" + variantListValue("\\x40") + "\n"},
        {QStringLiteral("INI list of 2^31 quoted in a list"),
         "[pump1]\nrect=x, \"" + variantListValue("@") + "\"\n[Clusters]\nClusterNames=" + variantListValue("\\100")
             + "\n"},
        {QStringLiteral("INI list of 2^31 on a continued line"), "[General]\nsceneRect=@Var\\\niant(\\0\\0\\0\\t\\x7f\\xff\\xff\\xff)\n"},
        {QStringLiteral("INI keys, 256 KiB"), "[a]\n" + manyKeys(256 * 1024)},
        {QStringLiteral("INI keys, 1 MiB"), "[a]\n" + manyKeys(1024 * 1024)},
    };
}

/**
 * Valid texts of the shapes people and programs write, each a device text (the devices, and
 * an "export" block that device readers skip and templates and meta devices keep), at the
 * sizes at which they were once refused: every YAML reader must read them.
 */
inline QList<Text> validTexts()
{
    const QByteArray device = "config_version: 2\npump0:\n  type: generator\n  params:\n    interval: \"100\"\n";
    const auto described = [&device](const QByteArray& description) {
        return device + "  description: " + description + "\n";
    };
    const auto exported = [&device](const QByteArray& block) { return "export:\n" + block + device; };
    QByteArray jsonConfiguration = "{\"config_version\": 2";
    for (int device = 0; device < 400; ++device) {
        jsonConfiguration += ", \"d" + QByteArray::number(device) + "\": {\"type\": \"generator\", \"params\": {";
        for (int key = 0; key < 100; ++key)
            jsonConfiguration += (key ? ", \"k" : "\"k") + QByteArray::number(key) + "\": \"" + QByteArray::number(key) + "\"";
        jsonConfiguration += "}}";
    }
    jsonConfiguration += "}\n";
    QByteArray jsonDevices = "{\"config_version\": 2";
    for (int pump = 0; pump < 10000; ++pump) {
        const QByteArray name = "pump" + QByteArray::number(pump);
        jsonDevices += ", \"" + name + "\": {\"type\": \"generator\", \"initialised\": false, \"description\": \"Pump "
                       + QByteArray::number(pump) + " of the plant\", \"params\": {\"interval\": \"100\"}, \"outgoing\": [\"pump"
                       + QByteArray::number((pump + 1) % 10000) + ".setInterval(int)<this.valueChanged(double)\"]}";
    }
    jsonDevices += "}\n";
    QByteArray numbers = "  data: [0";
    for (int number = 1; number < 10000; ++number)
        numbers += ", " + QByteArray::number(number % 10);
    numbers += "]\n";
    QByteArray flowMaps = "  points:\n";
    for (int point = 0; point < 10000; ++point)
        flowMaps += "    - {x: " + QByteArray::number(point % 100) + ", y: 2}\n";
    QByteArray flowParams = "config_version: 2\n";
    for (int pump = 0; pump < 2000; ++pump)
        flowParams += "pump" + QByteArray::number(pump) + ":\n  type: generator\n  params: {interval: \"100\", gain: \"2\"}\n";
    QByteArray csv = "  description: |\n";
    for (int line = 0; line < 2000; ++line)
        csv += "    " + QByteArray::number(line % 100) + ",[a],{b},c\n";
    const auto dense = [&exported](int bytes) { return exported("  ones: [1" + QByteArray(",1").repeated(bytes / 2) + "]\n"); };
    return {
        {QStringLiteral("JSON, 400 devices of 100 parameters"), jsonConfiguration},
        {QStringLiteral("JSON, 10,000 linked devices"), jsonDevices, true},
        {QStringLiteral("a flow list of 10,000 numbers"), exported(numbers), true},
        {QStringLiteral("a block list of 10,000 flow maps"), exported(flowMaps), true},
        {QStringLiteral("flow maps in block text, 2,000 devices"), flowParams},
        {QStringLiteral("a literal block of 2,000 CSV lines"), exported(csv)},
        {QStringLiteral("a plain value of 6,000 commas"), described("a" + QByteArray(6000, ','))},
        {QStringLiteral("a plain value 1,1,1 of 6,000 ones"), described("1" + QByteArray(",1").repeated(5999))},
        {QStringLiteral("a plain value of 70 brackets"), described("e" + QByteArray(70, '['))},
        {QStringLiteral("a double-quoted value on two lines"), described("\"first [line,\n    second] {line}\"")},
        {QStringLiteral("a byte-order mark first"), "\xEF\xBB\xBF" + device},
        // Near what aliases may stand for: 11 MB of a 1 MB text.
        {QStringLiteral("a 1 MB description repeated by 10 aliases"), repeatedDescription(1000 * 1024, 10)},
        {QStringLiteral("dense [1,1,1], 256 KiB"), dense(256 * 1024), true},
        {QStringLiteral("dense [1,1,1], 1 MiB"), dense(1024 * 1024), true},
    };
}

/// Runs read; false when it throws, which is a reader's way to refuse a text (its right).
template<typename Read>
bool refusing(Read read)
{
    try {
        read();
        return true;
    } catch (const std::exception&) {
        return false;
    }
}

/// The readers, with what they need that a child process may share (made once, before any child).
class Readers
{
public:
    Readers()
        : manager(std::make_shared<DeviceManager>())
    {
        std::shared_ptr<DeviceManager> devices = manager;
        all = {
            {QStringLiteral("YamlSerialiser"), Takes::DeviceText,
             [](const QByteArray& text, const QString&) {
                 return refusing([&text] { YamlSerialiser::parseYamlFromString(QString::fromUtf8(text), nullptr); });
             }},
            {QStringLiteral("MetaDevice::parse"), Takes::DeviceText,
             [](const QByteArray& text, const QString&) {
                 return refusing([&text] { MetaDevice::parse(QString::fromUtf8(text)); });
             }},
            {QStringLiteral("DeviceManager, meta device"), Takes::DeviceText,
             [devices](const QByteArray&, const QString& path) {
                 return devices->parseMetaDevice(path, QStringLiteral("probe"));
             }},
            {QStringLiteral("DeviceManager, configuration"), Takes::DeviceText,
             [devices](const QByteArray&, const QString& path) { return devices->loadYamlConfig(path); }},
            {QStringLiteral("DeviceText (clipboard, drop)"), Takes::DeviceText,
             [](const QByteArray& text, const QString&) {
                 ZenticMessageBox::AnswerGuard answer(QMessageBox::Ok);
                 return !DeviceText::parse(nullptr, QString::fromUtf8(text)).isEmpty();
             }},
            {QStringLiteral("DeviceFile"), Takes::DeviceText,
             [](const QByteArray&, const QString& path) {
                 QString error;
                 DeviceFile::readText(path, &error);
                 return error.isEmpty();
             }},
            {QStringLiteral("TemplateDescriptionFile::read"), Takes::DeviceText,
             [](const QByteArray&, const QString& path) { return TemplateDescriptionFile::read(path).editable; }},
            {QStringLiteral("TemplateDescriptionFile::write"), Takes::DeviceText,
             [](const QByteArray&, const QString& path) {
                 return TemplateDescriptionFile::write(path, QStringLiteral("probe"));
             },
             true},
            {QStringLiteral("MapLayoutFile"), Takes::Ini,
             [](const QByteArray&, const QString& path) {
                 const MapLayoutFile layout = MapLayoutFile::read(path);
                 layout.sceneRect();
                 layout.layoutType();
                 layout.deviceRect(QStringLiteral("pump1"));
                 layout.clusterNames();
                 layout.values();
                 MapLayoutFile::readDeviceRect(path, QStringLiteral("pump1"));
                 return true;
             }},
            {QStringLiteral("IniFileText"), Takes::Ini,
             [](const QByteArray& text, const QString&) {
                 QHash<QString, QVariant> values;
                 return IniFileText::parse(text, &values);
             }},
            {QStringLiteral("SafeFileWriter::writeSettings"), Takes::Ini,
             [](const QByteArray&, const QString& path) {
                 return SafeFileWriter::writeSettings(path, [](QSettings& settings) { settings.setValue("probe/key", 1); });
             }},
            {QStringLiteral("YamlConfig"), Takes::Configuration,
             [](const QByteArray&, const QString& path) {
                 return refusing([&path] { YamlConfig().parseConfig(path, true); });
             }},
        };
    }

    QList<Reader> all;

private:
    std::shared_ptr<DeviceManager> manager;
};

/// Writes text to path; false when it cannot.
inline bool writeText(const QString& path, const QByteArray& text)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly | QIODevice::Truncate) && file.write(text) == text.size();
}

} // namespace OutsideTextReaders
