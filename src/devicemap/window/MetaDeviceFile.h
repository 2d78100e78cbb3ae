#pragma once

#include "DeviceInfo.h"
#include "dozerozozu_export.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

/**
 * The meta-device file the export wizard writes: an "export:" block naming the slots,
 * signals and parameters the group exports, an empty line, then every device of the group
 * as device text (the framework's version header and one serialised device after another).
 * The framework's DeviceManager::parseMetaDevice reads it back.
 *
 *     export:
 *       slots:
 *         reset(): pump.reset()
 *       signals:
 *         level(double): pump.level(double)
 *       parameters:
 *
 *     config_version: 2
 *     pump:
 *       ...
 *
 * Each export line maps a key to the entry "device.item". The key is the item itself; an
 * item that two exports of one section share is keyed by its entry instead, so that every
 * key of a section is distinct. Keys and entries go through yaml-cpp's emitter, which quotes
 * them where plain text would not read back as written (": ", "#", quotes, brackets...).
 *
 * A plain value without widgets; any thread. The wizard fills one and calls save().
 */
class DOZEROZOZU_EXPORT MetaDeviceFile
{
public:
    /// One exported item: a slot or signal signature, or a parameter name, of one device.
    struct Export
    {
        QString device;
        QString item;

        /// "device.item", the text the file gives as the export's value.
        QString entry() const;
        bool operator==(const Export& other) const { return device == other.device && item == other.item; }
    };

    /// Whether the "export:" block is written. True when the user picked anything at all,
    /// even if every pick was dropped later, so the file still says it is a meta device.
    bool hasExportBlock = false;
    QList<Export> slotExports;
    QList<Export> signalExports;
    QList<Export> parameterExports;
    /// Every device of the group, written in this order.
    QList<DeviceInfo> devices;

    /// The key of each export of one section, in order; all distinct.
    static QStringList sectionKeys(const QList<Export>& exports);
    /// "  <section>:\n" and one "    <key>: <entry>\n" line per export.
    static QByteArray sectionText(const QString& section, const QList<Export>& exports);
    /// The framework's version header followed by every device's text.
    static QByteArray deviceText(const QList<DeviceInfo>& devices);

    /// The whole file, UTF-8.
    QByteArray text() const;
    /**
     * Replaces the file at path with text() in one step, creating missing directories
     * first. On failure an existing file stays as it was and error (may be null) gets a
     * one-line reason.
     */
    bool save(const QString& path, QString* error = nullptr) const;

    /**
     * Whether the framework may be given the file at path to read as a meta device: a device
     * file (DeviceFile::readText()) whose text lies within the bounds of outside YAML
     * (BoundedYaml), so that no file makes the framework's reader run away. False, with a
     * one-line reason in error (may be null), otherwise; whether the framework then takes
     * the file as a meta device is its own business.
     */
    static bool isReadable(const QString& path, QString* error = nullptr);

    /// The device type an import of the file at path makes: the file's base name without the
    /// white space around it, as the framework reads it.
    static QString typeName(const QString& path);
    /**
     * Whether a meta device's type so named is of that type again once a graph of its devices
     * is saved and loaded: its device text, written by the framework's YamlSerialiser, reads
     * back with the name as written. Not so for a name starting with U+FEFF (reading UTF-8
     * drops it), holding a lone surrogate or a noncharacter; the devices of such a type would
     * come back as another type's or an unknown one's. False for the empty name.
     */
    static bool typeNameReadsBack(const QString& name);
};
