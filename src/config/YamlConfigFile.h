#pragma once

#include "YamlConfig.h"

#include <QByteArray>
#include <QStringList>
#include <QtGlobal>

#include <string>

/**
 * The configuration store's file format: YamlConfig's tree as YAML text, and back. Plain
 * functions without a widget or a file, for YamlConfig, its tests and its benchmark.
 *
 * The file holds one document whose top-level mapping holds the tree: a mapping is an inner
 * node, a scalar a leaf; sequences, nulls and keys that are not scalars are not part of it.
 * Reading goes through BoundedYaml (one pass of a real YAML parser with its bounds, aliases
 * followed); writing through yaml-cpp's emitter and YamlTextWriter, one block mapping with
 * the entries in the tree's key order.
 *
 * Writing never gives a text that does not read back: what no YAML file carries (a NUL and
 * what follows it, a lone surrogate, a noncharacter, a leading U+FEFF) is written as far as it
 * can be and the key is named in Writing::altered; a key that could not be written at all
 * (two names that became one, an entry nested deeper than a reader takes) is left out and
 * named in Writing::leftOut, and the rest is written all the same.
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
};

/**
 * Reads a file's bytes. Throws std::exception for a text that is not YAML or not the format:
 * YAML::ParserException (a std::runtime_error) for a text that is not YAML or beyond the
 * bounds, yaml-cpp's bad-conversion error for a sequence, a null or a key that is not a scalar.
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
};

/// The text of tree's children, checked to read back; byteOrderMark starts it with one.
Writing write(const YamlConfig::ConfigNode& tree, bool byteOrderMark);

} // namespace YamlConfigFile
