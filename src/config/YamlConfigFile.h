#pragma once

#include "YamlConfig.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>
#include <QtGlobal>

#include <string>

/**
 * The configuration store's file format: YamlConfig's tree as YAML text, and back. Plain
 * functions without a widget or a file, for YamlConfig, its tests and its benchmark.
 *
 * The file holds one document whose top-level mapping holds the tree: a mapping is an inner
 * node, a scalar a leaf. An empty document (an empty file, comments only, "---" alone, "~")
 * holds no entry. Anything else is not part of it and is refused, so that no save ever writes
 * over what a file held: a document that is a text or a list, a list, an empty value, a key
 * that is not text, a second document that holds more than a null. Reading goes through
 * BoundedYaml (one pass of a real YAML parser with its bounds, aliases followed); writing
 * through yaml-cpp's emitter and YamlTextWriter, one block mapping with the entries in the
 * tree's key order.
 *
 * Reading and writing hold to the same limits, so that a save never writes what the next load
 * refuses: a file is at most maxFileSize bytes, and so are its entries once written back
 * (aliases followed; counted from below while reading, so a file it accepts may still be one
 * whose rewrite is a little larger).
 *
 * Writing never gives a text that does not read back: what no YAML file carries (a NUL and
 * what follows it, a lone surrogate, a noncharacter, a leading U+FEFF) is written as far as it
 * can be and the key is named in Writing::altered; a key that could not be written at all
 * (two names that became one, an entry nested deeper than a reader takes) is left out and
 * named in Writing::leftOut, and the rest is written all the same. A tree larger than
 * maxFileSize once written is not written at all: its largest entries are named in
 * Writing::tooLarge.
 *
 * Stateless; any thread.
 */
namespace YamlConfigFile {

/**
 * The largest file read. Reading keeps at most about 17 bytes per byte of text besides the
 * tree; the tree costs about 50 bytes per byte of the densest configuration text (short keys
 * and values in flow mappings) and 5 to 10 for ordinary block text: a file at the cap costs
 * at most about 1.1 GiB, an ordinary one about a tenth of that.
 */
constexpr qint64 maxFileSize = qint64(16) << 20;

/// Keys given twice that a Reading names; the others are only counted.
constexpr int maxRepeatedKeysNamed = 100;

/// A key given twice in one mapping: the later one is taken.
struct RepeatedKey
{
    /// "/a/b|key", in the later spelling.
    QString key;
    /// Of the later one, from 1.
    int line = 0;
};

struct Reading
{
    /// The top-level entries read, as children of an unnamed inner node.
    YamlConfig::ConfigNode tree;
    /// Leaves read, aliases followed.
    int leafCount = 0;
    /// The text began with a UTF-8 byte-order mark; a rewrite keeps it.
    bool byteOrderMark = false;
    /// Bytes that are not UTF-8, and characters a YAML file holds only escaped, were read as U+FFFD.
    bool replacedCharacters = false;
    /**
     * Keys given twice in one mapping (in any letter case), in the order met, at most
     * maxRepeatedKeysNamed of them. Each is read once: the later entry replaces the earlier
     * and is counted in leafCount alone.
     */
    QList<RepeatedKey> repeatedKeys;
    /// All keys given twice, named or not.
    int repeatedKeyCount = 0;
};

/**
 * Reads a file's bytes. Throws YAML::ParserException (a std::runtime_error naming the line and
 * column) for a text that is not YAML, beyond the bounds, or not the format; for the last it
 * says what was found ("found a list; the configuration holds mappings of texts").
 */
Reading read(const QByteArray& content);

struct Writing
{
    /// The file's text; empty when nothing readable could be written.
    QByteArray text;
    /// Keys ("/a/b|key") written as far as their name or value could be.
    QStringList altered;
    /// Keys ("/a/b|key") left out of the file.
    QStringList leftOut;
    /// Keys whose value read back otherwise than written (none unless the writer is at fault).
    QStringList readBackOtherwise;
    /**
     * When the whole tree would be larger than maxFileSize once written (text is then empty):
     * its largest leaves, largest first, as many as must go for the rest to fit (at most 100).
     */
    QStringList tooLarge;
};

/// The text of tree's children, checked to read back; byteOrderMark starts it with one.
Writing write(const YamlConfig::ConfigNode& tree, bool byteOrderMark);

} // namespace YamlConfigFile
