#pragma once

#include "FrameworkSharedExport.h"

#include <yaml-cpp/mark.h>
#include <yaml-cpp/node/node.h>

#include <cstddef>
#include <string>

namespace YAML {
class EventHandler;
}

/**
 * The one way YAML text from outside (device text from the clipboard or a drop, templates and
 * their descriptions, meta-device files, the configuration, the framework stand-in's files)
 * reaches a reader, so that every valid text is read and no text makes a reader run away.
 *
 * The text is read once, by libyaml: a real YAML parser that streams, so it decides what is
 * YAML with constant memory and queues no tokens ahead (yaml-cpp's own scanner queues every
 * token of a flow collection before its parser sees one, and repeats empty documents forever
 * before a ',' where no node can start). yaml-cpp's parser never sees outside text. On the
 * way the text is held to bounds that only what is not YAML, or what no person or program
 * writes, crosses; aliases are followed for all of them:
 * - sequences and mappings nest at most maxDepth levels;
 * - at most maxNodes() nodes (scalars, nulls, collections), one per two bytes of text plus an
 *   allowance: dense valid text such as "[1,1,1]" has one per two bytes, and a few lines of
 *   aliases to aliases that stand for billions of nodes are refused;
 * - what the text stands for is at most maxExpandedBytes() bytes, 4 MiB plus 8 per byte of
 *   text: its scalars and tags, each alias counting the bytes of the scalars and tags of what
 *   it repeats, each tag its whole length however short the %TAG handle that wrote it. A
 *   description repeated by a thousand aliases, or a long %TAG prefix on every line, is
 *   refused; a text without aliases and handles never comes near;
 * - a document has at most maxTagDirectives %TAG directives;
 * - an alias refers to a node completed before it, never to its own ancestor (a cycle);
 * - the text is at most maxTextBytes long.
 * The events of the first document are kept compactly meanwhile (each tag once) and handed to
 * the reader only once the whole text has passed: as yaml-cpp's parser events (a
 * YAML::EventHandler, with the marks, anchors, tags and styles yaml-cpp's parser gives), or
 * built into a YAML::Node. A refusal throws YAML::ParserException (a std::runtime_error)
 * naming the line and column.
 *
 * What this costs, for every text, valid or refused: libyaml takes about 3 MiB whatever the
 * text, and no more than linear time (a text under 1 MiB is read in well under a second).
 * The kept events cost 32 bytes per node of the first document plus its scalars' text, so a
 * refused text costs at most about 35 bytes per byte of text. A loaded YAML::Node costs about
 * what yaml-cpp's own load of the text costs: 10 to 100 bytes per byte of ordinary block or
 * JSON text, about 250 on the densest text accepted; aliases share what they repeat. A reader
 * that copies what aliases repeat copies at most maxExpandedBytes(). So every reader of the
 * library and the stand-in stays within about 48 MiB plus 256 bytes per byte of text. Each
 * reader's header gives its size cap and what that costs.
 *
 * Stateless; any thread. Used by the library and by the framework stand-in.
 *
 *     const YAML::Node root = BoundedYaml::load(text.toStdString());
 */
namespace BoundedYaml {

/// The deepest nesting of sequences and mappings, aliases followed.
constexpr int maxDepth = 64;
/// No reader takes a longer text.
constexpr std::size_t maxTextBytes = std::size_t(64) << 20;

/// The most %TAG directives one document may have.
constexpr int maxTagDirectives = 64;

/// The nodes a text of textBytes bytes may hold, aliases followed.
DOZEROZOZU_SHARED_EXPORT long long maxNodes(std::size_t textBytes);
/// The bytes of scalars and tags a text of textBytes bytes may stand for, aliases followed.
DOZEROZOZU_SHARED_EXPORT long long maxExpandedBytes(std::size_t textBytes);

/// Reads the whole text without keeping anything; returns the number of its documents.
DOZEROZOZU_SHARED_EXPORT int check(const std::string& text);
/**
 * Reads the whole text, then hands the events of its first document (none when it has no
 * document) to handler. Returns the number of documents. Exceptions of handler pass through.
 * laterContent (may be null) gets where the first later document that holds more than a null
 * (an empty document, "~") begins, or YAML::Mark::null_mark() when none does.
 */
DOZEROZOZU_SHARED_EXPORT int read(const std::string& text, YAML::EventHandler& handler,
                                  YAML::Mark* laterContent = nullptr);
/**
 * The first document of text as yaml-cpp's YAML::Load() gives it (a null node when it has
 * none), with aliases shared as yaml-cpp shares them; documentCount (may be null) gets the
 * number of documents. Nodes carry no marks: the reader's own errors name no line.
 */
DOZEROZOZU_SHARED_EXPORT YAML::Node load(const std::string& text, int* documentCount = nullptr);

} // namespace BoundedYaml
