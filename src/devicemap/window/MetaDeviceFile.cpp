#include "MetaDeviceFile.h"

#include "BoundedYaml.h"
#include "DeviceFile.h"
#include "SafeFileWriter.h"
#include "YamlSerialiser.h"
#include "YamlTextWriter.h"

#include <QBuffer>
#include <QDir>
#include <QFileInfo>
#include <QHash>
#include <QSet>

#include <yaml-cpp/yaml.h>

#include <exception>

namespace {

// The longest key written as an implicit key: YAML allows 1,024 characters, quotes included.
const int longestImplicitKey = 1000;

// A lone scalar as yaml-cpp writes it: plain where that reads back unchanged, else quoted
// on one line. Used for keys and values alike, so both survive any text the devices report.
QByteArray scalar(const QString& text)
{
    YAML::Emitter out;
    YamlTextWriter::writeValue(out, text.toStdString());
    return QByteArray(out.c_str(), int(out.size()));
}

} // namespace

QString MetaDeviceFile::Export::entry() const
{
    return device + QLatin1Char('.') + item;
}

QStringList MetaDeviceFile::sectionKeys(const QList<Export>& exports)
{
    QHash<QString, int> itemCounts;
    for (const Export& item : exports)
        ++itemCounts[item.item];

    QStringList keys;
    QSet<QString> used;
    for (const Export& item : exports) {
        const QString wanted = itemCounts.value(item.item) > 1 ? item.entry() : item.item;
        // The entry of one export may equal the plain item of another; number what is left.
        QString key = wanted;
        for (int copy = 2; used.contains(key); ++copy)
            key = QStringLiteral("%1 (%2)").arg(wanted).arg(copy);
        used.insert(key);
        keys.append(key);
    }
    return keys;
}

QByteArray MetaDeviceFile::sectionText(const QString& section, const QList<Export>& exports)
{
    QByteArray text = "  " + scalar(section) + ":\n";
    const QStringList keys = sectionKeys(exports);
    for (int i = 0; i < exports.size(); ++i) {
        const QByteArray key = scalar(keys.at(i));
        const QByteArray value = scalar(exports.at(i).entry());
        if (key.size() > longestImplicitKey)
            text += "    ? " + key + "\n    : " + value + "\n";
        else
            text += "    " + key + ": " + value + "\n";
    }
    return text;
}

QByteArray MetaDeviceFile::deviceText(const QList<DeviceInfo>& devices)
{
    QBuffer header;
    YamlSerialiser::writeConfigVersion(&header);
    const QByteArray headerBytes = header.data();
    const int end = headerBytes.indexOf('\0');
    QString text = QString::fromUtf8(end < 0 ? headerBytes : headerBytes.left(end));
    for (const DeviceInfo& info : devices)
        text += YamlSerialiser::serialise(info);
    return text.toUtf8();
}

QByteArray MetaDeviceFile::text() const
{
    QByteArray text;
    if (hasExportBlock) {
        text += "export:\n";
        text += sectionText(QStringLiteral("slots"), slotExports);
        text += sectionText(QStringLiteral("signals"), signalExports);
        text += sectionText(QStringLiteral("parameters"), parameterExports);
    }
    text += "\n";
    text += deviceText(devices);
    return text;
}

bool MetaDeviceFile::save(const QString& path, QString* error) const
{
    const QString directory = QFileInfo(path).absolutePath();
    if (!QDir().mkpath(directory)) {
        if (error)
            *error = QStringLiteral("cannot create the directory %1").arg(QDir::toNativeSeparators(directory));
        return false;
    }
    return SafeFileWriter::writeFile(path, text(), error);
}

bool MetaDeviceFile::isReadable(const QString& path, QString* error)
{
    QString reason;
    const QString text = DeviceFile::readText(path, &reason);
    if (reason.isEmpty()) {
        try {
            BoundedYaml::check(text.toStdString());
        } catch (const std::exception& failure) {
            reason = QString::fromUtf8(failure.what());
        }
    }
    if (error)
        *error = reason;
    return reason.isEmpty();
}

QString MetaDeviceFile::typeName(const QString& path)
{
    return QFileInfo(path).completeBaseName().trimmed();
}

// Tried through the framework's own writer and reader, as a saved graph is, rather than
// foreseen: no character either of them alters is missed, whichever framework is linked.
bool MetaDeviceFile::typeNameReadsBack(const QString& name)
{
    DeviceInfo device;
    device.name = QStringLiteral("device1");
    device.type = name;
    const QString text = QString::fromUtf8(deviceText({device}));
    try {
        bool versionOk = true;
        const QList<DeviceInfo> devices = YamlSerialiser::parseYamlFromString(text, &versionOk);
        return versionOk && devices.size() == 1 && devices.first().type == name;
    } catch (const std::exception&) {
        return false;
    }
}
