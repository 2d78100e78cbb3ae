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
};

struct Reader
{
    QString name;
    /// Reads text, which the file at path holds as well; refusing it is the reader's right.
    std::function<void(const QByteArray& text, const QString& path)> read;
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
        {QStringLiteral("empty entries, 256 KiB"), emptyEntries(256 * 1024)},
        {QStringLiteral("empty entries, 1 MiB"), emptyEntries(1024 * 1024)},
        {QStringLiteral("empty keys, 256 KiB"), emptyKeys(256 * 1024)},
        {QStringLiteral("empty keys, 1 MiB"), emptyKeys(1024 * 1024)},
        {QStringLiteral("empty lines of a list, 256 KiB"), QByteArray(256 * 1024 / 2, '-').replace("-", "-\n")},
        {QStringLiteral("empty lines of a list, 1 MiB"), QByteArray(1024 * 1024 / 2, '-').replace("-", "-\n")},
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

/// Runs read; an exception is the reader's way to refuse a text, which is its right.
template<typename Read>
void refusing(Read read)
{
    try {
        read();
    } catch (const std::exception&) {
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
            {QStringLiteral("YamlSerialiser"),
             [](const QByteArray& text, const QString&) {
                 refusing([&text] { YamlSerialiser::parseYamlFromString(QString::fromUtf8(text), nullptr); });
             }},
            {QStringLiteral("MetaDevice::parse"),
             [](const QByteArray& text, const QString&) { refusing([&text] { MetaDevice::parse(QString::fromUtf8(text)); }); }},
            {QStringLiteral("DeviceManager, meta device"),
             [devices](const QByteArray&, const QString& path) { devices->parseMetaDevice(path, QStringLiteral("probe")); }},
            {QStringLiteral("DeviceManager, configuration"),
             [devices](const QByteArray&, const QString& path) { devices->loadYamlConfig(path); }},
            {QStringLiteral("DeviceText (clipboard, drop)"),
             [](const QByteArray& text, const QString&) {
                 ZenticMessageBox::AnswerGuard answer(QMessageBox::Ok);
                 DeviceText::parse(nullptr, QString::fromUtf8(text));
             }},
            {QStringLiteral("DeviceFile"), [](const QByteArray&, const QString& path) { DeviceFile::readText(path); }},
            {QStringLiteral("TemplateDescriptionFile::read"),
             [](const QByteArray&, const QString& path) { TemplateDescriptionFile::read(path); }},
            {QStringLiteral("TemplateDescriptionFile::write"),
             [](const QByteArray&, const QString& path) { TemplateDescriptionFile::write(path, QStringLiteral("probe")); }},
            {QStringLiteral("MapLayoutFile"),
             [](const QByteArray&, const QString& path) {
                 const MapLayoutFile layout = MapLayoutFile::read(path);
                 layout.sceneRect();
                 layout.layoutType();
                 layout.deviceRect(QStringLiteral("pump1"));
                 layout.clusterNames();
                 layout.values();
                 MapLayoutFile::readDeviceRect(path, QStringLiteral("pump1"));
             }},
            {QStringLiteral("IniFileText"),
             [](const QByteArray& text, const QString&) {
                 QHash<QString, QVariant> values;
                 IniFileText::parse(text, &values);
             }},
            {QStringLiteral("SafeFileWriter::writeSettings"),
             [](const QByteArray&, const QString& path) {
                 SafeFileWriter::writeSettings(path, [](QSettings& settings) { settings.setValue("probe/key", 1); });
             }},
            {QStringLiteral("YamlConfig"),
             [](const QByteArray&, const QString& path) { refusing([&path] { YamlConfig().parseConfig(path, true); }); }},
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
