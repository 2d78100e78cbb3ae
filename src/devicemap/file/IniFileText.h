#pragma once

#include "dozerozozu_export.h"

#include <QByteArray>
#include <QHash>
#include <QMap>
#include <QRect>
#include <QString>
#include <QVariant>

#include <functional>

/**
 * The text QSettings writes into a new INI file holding exactly the given keys, byte for byte,
 * built without QSettings: QSettings parses the old file, keeps a sorted copy of every key and
 * has what it wrote read back, which made rewriting a large map's layout file cost more than
 * everything else of an edit. (Rewriting an existing file, QSettings keeps the old file's order
 * of sections; readers do not depend on the order.)
 *
 * Covers the value types the map's layout file holds: no value, texts, whole numbers,
 * booleans, QRect and QStringList. For anything else compose() gives no text and the caller
 * writes through QSettings. Stateless; any thread. Written with SafeFileWriter::writeFile().
 *
 * parse() reads such text back into what QSettings would give for each key (texts, QRect,
 * QStringList, no value), without QSettings, whose parsing was most of the time of reading a
 * large map's layout file. It takes only text in the form written here; anything else (a file
 * edited by hand, escapes in values, other value types) gives false, and the caller reads
 * through QSettings.
 */
class DOZEROZOZU_EXPORT IniFileText
{
public:
    /// The INI text of values (keys as QSettings takes them); false when a value type is not covered.
    static bool compose(const QMap<QString, QVariant>& values, QByteArray* text);
    /// Takes one section's "rect" rectangle: the section's name as written, and false when taken before.
    using PlainSectionRect = std::function<bool(const char* section, int length, const QRect& rect)>;

    /**
     * The keys and values of text as QSettings reads them; false for text not in the written
     * form. With plainSectionRect, the key "rect" of a section whose name needs no escaping goes
     * to it when it holds a rectangle, instead of into values: a large layout holds one per
     * device, and each as a key and a value of its own costs several allocations.
     */
    static bool parse(const QByteArray& text, QHash<QString, QVariant>* values,
                      const PlainSectionRect& plainSectionRect = PlainSectionRect());
    /// Whether the INI form writes the text as it is, as a key or section name.
    static bool isPlainKey(const QString& key);

private:
    static QString normalisedKey(const QString& key);
    static void appendEscapedKey(const QString& key, QByteArray& out);
    static void appendEscapedText(const QString& text, QByteArray& out);
    static bool appendValue(const QVariant& value, QByteArray& out);
    static bool unescapeKey(const char* begin, const char* end, QString& out);
    static bool readValue(const char* begin, const char* end, QVariant& value);
};
