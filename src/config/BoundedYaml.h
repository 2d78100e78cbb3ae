#pragma once

// The framework stand-in compiles this file into itself as well; it has no export header.
#if defined(DOZEROZOZU_BUILT_INTO_FRAMEWORK)
#define DOZEROZOZU_BOUNDED_YAML_EXPORT
#else
#include "dozerozozu_export.h"
#define DOZEROZOZU_BOUNDED_YAML_EXPORT DOZEROZOZU_EXPORT
#endif

#include <yaml-cpp/node/node.h>

#include <cstddef>
#include <string>

/**
 * The one way YAML text from outside (device text from the clipboard or a drop, templates and
 * their descriptions, meta-device files, the configuration) reaches yaml-cpp, so that no text
 * makes a reader take more memory than a bounded multiple of the text's size.
 *
 * yaml-cpp 0.7 alone does not bound it. LoadAll() never ends on a text with a ',' where no
 * node can start (",a: 1"): each round gives an empty document and consumes nothing, until
 * memory runs out. Its scanner queues every token of a flow collection that stands where a
 * key could, some hundred bytes each, before the parser sees the first one (a text of '['
 * takes about 240 times its size before its depth is noticed). And it spends some hundreds of
 * bytes on each node, which text of ',' or empty lines makes one per byte or two.
 *
 * So a text is checked before any node is built: its flow collections on the text itself
 * (nesting, and the count of '[', ']', '{', '}', ','; quoted scalars and comments outside
 * flow collections skipped), then its events through yaml-cpp's parser without building a
 * node (documents that consume nothing, nesting, the number of nodes). Only then is it
 * loaded. A failed check throws YAML::ParserException, as yaml-cpp does for malformed text.
 *
 * WalkBudget bounds what a reader makes of a loaded document when it follows aliases: a few
 * lines of aliases to aliases stand for billions of values, and an alias to its own ancestor
 * nests without end.
 *
 * Stateless; any thread. Used by the library and by the framework stand-in.
 *
 *     const YAML::Node root = BoundedYaml::load(text.toStdString());
 */
namespace BoundedYaml {

/// The deepest nesting of sequences and mappings, aliases followed.
constexpr int maxDepth = 64;
/// Values and mappings a reader may make of one text, aliases followed, however long the text.
constexpr long long maxValues = 1000000;
constexpr long long maxMappings = 1000000;

/**
 * The nodes (scalars, nulls, aliases, sequences, mappings) a text of textBytes bytes may hold:
 * what people and programs write has several bytes per node.
 */
DOZEROZOZU_BOUNDED_YAML_EXPORT long long maxNodes(std::size_t textBytes);
/// The flow collection indicators ('[', ']', '{', '}', ',') a text of textBytes bytes may hold.
DOZEROZOZU_BOUNDED_YAML_EXPORT long long maxFlowIndicators(std::size_t textBytes);

/// Checks text as load() does, without building nodes; returns the number of its documents.
DOZEROZOZU_BOUNDED_YAML_EXPORT int check(const std::string& text);
/**
 * The first document of text (a null node when it has none), after check() of the whole
 * text; documentCount (may be null) gets the number of documents.
 */
DOZEROZOZU_BOUNDED_YAML_EXPORT YAML::Node load(const std::string& text, int* documentCount = nullptr);

/**
 * Counts what a reader makes of a loaded document, aliases followed, and throws
 * YAML::ParserException past maxDepth, or past maxValues values or maxMappings mappings, or
 * past maxNodes() of the text for the two together.
 */
class DOZEROZOZU_BOUNDED_YAML_EXPORT WalkBudget
{
public:
    explicit WalkBudget(std::size_t textBytes);

    /// depth counts from 1 for the entries of the document's top-level collection.
    void enter(const YAML::Node& node, int depth) const;
    void countValue(const YAML::Node& node);
    void countMapping(const YAML::Node& node);
    long long values() const { return valueCount; }

private:
    /// Throws past maxNodes() of the text for the values and mappings together.
    void checkTotal(const YAML::Node& node) const;

    long long nodeLimit;
    long long valueCount = 0;
    long long mappingCount = 0;
};

} // namespace BoundedYaml
