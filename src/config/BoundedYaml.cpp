#include "BoundedYaml.h"

#include "YamlNodeBuilder.h"

#include <yaml-cpp/eventhandler.h>
#include <yaml-cpp/exceptions.h>
#include <yaml-cpp/mark.h>
#include <yaml-cpp/yaml.h>

#include <yaml.h>

#include <cstdint>
#include <cstring>
#include <new>
#include <unordered_map>
#include <vector>

namespace {

// Short texts may be as dense as they like; beyond that, one node per two bytes is what the
// densest valid text has ("[1,1,1]", "- 1" lines have one per three).
const long long nodeAllowance = 16384;
const long long bytesPerNode = 2;
// A text's scalars and tags stand for at most as many bytes as it has; aliases and tag
// handles repeat them. Repeating a few settings or a description some dozen times stays far
// below this; a text that stands for a thousand copies of a long description does not.
const long long expansionAllowance = 4 << 20;
const long long expandedBytesPerByte = 8;

std::string nestingMessage()
{
    return "nesting deeper than " + std::to_string(BoundedYaml::maxDepth) + " levels";
}

YAML::Mark toMark(const yaml_mark_t& position)
{
    YAML::Mark mark;
    mark.pos = int(position.index);
    mark.line = int(position.line);
    mark.column = int(position.column);
    return mark;
}

// libyaml's reader names only the byte offset of a character it refuses.
YAML::Mark markAtOffset(const std::string& text, std::size_t offset)
{
    YAML::Mark mark;
    mark.pos = int(offset);
    for (std::size_t i = 0; i < offset && i < text.size(); ++i) {
        if (text[i] == '\n') {
            ++mark.line;
            mark.column = 0;
        } else if ((static_cast<unsigned char>(text[i]) & 0xC0) != 0x80) {
            ++mark.column;
        }
    }
    return mark;
}

[[noreturn]] void throwParserError(const yaml_parser_t& parser, const std::string& text)
{
    if (parser.error == YAML_MEMORY_ERROR)
        throw std::bad_alloc();
    std::string message = parser.problem ? parser.problem : "not YAML";
    if (parser.error == YAML_READER_ERROR)
        throw YAML::ParserException(markAtOffset(text, parser.problem_offset), message);
    if (parser.context)
        message += std::string(", ") + parser.context;
    throw YAML::ParserException(toMark(parser.problem_mark), message);
}

std::string textOf(const yaml_char_t* text)
{
    return text ? std::string(reinterpret_cast<const char*>(text)) : std::string();
}

// yaml-cpp's parser makes a null of an empty node and of a plain, untagged "~" or "null".
bool isNull(const yaml_event_t& event)
{
    const auto& scalar = event.data.scalar;
    if (scalar.tag || scalar.style != YAML_PLAIN_SCALAR_STYLE)
        return false;
    const std::string value(reinterpret_cast<const char*>(scalar.value), scalar.length);
    return value.empty() || value == "~" || value == "null" || value == "Null" || value == "NULL";
}

/*
 * The events of one document, kept compactly until the whole text has passed, then handed to
 * a reader as yaml-cpp's parser would hand them.
 */
class EventBuffer
{
public:
    void add(const yaml_event_t& event, YAML::anchor_t anchor)
    {
        Event kept;
        kept.pos = uint32_t(event.start_mark.index);
        kept.line = uint32_t(event.start_mark.line);
        kept.column = uint32_t(event.start_mark.column);
        kept.anchor = uint32_t(anchor);
        switch (event.type) {
        case YAML_DOCUMENT_START_EVENT:
            kept.kind = DocumentStart;
            break;
        case YAML_DOCUMENT_END_EVENT:
            kept.kind = DocumentEnd;
            break;
        case YAML_ALIAS_EVENT:
            kept.kind = Alias;
            break;
        case YAML_SCALAR_EVENT:
            if (isNull(event)) {
                kept.kind = Null;
                break;
            }
            kept.kind = Scalar;
            kept.tag = tagIndex(event.data.scalar.tag, event.data.scalar.style == YAML_PLAIN_SCALAR_STYLE);
            kept.textStart = uint32_t(scalars.size());
            kept.textLength = uint32_t(event.data.scalar.length);
            scalars.append(reinterpret_cast<const char*>(event.data.scalar.value), event.data.scalar.length);
            break;
        case YAML_SEQUENCE_START_EVENT:
            kept.kind = SequenceStart;
            kept.tag = tagIndex(event.data.sequence_start.tag, true);
            kept.flow = event.data.sequence_start.style == YAML_FLOW_SEQUENCE_STYLE;
            break;
        case YAML_SEQUENCE_END_EVENT:
            kept.kind = SequenceEnd;
            break;
        case YAML_MAPPING_START_EVENT:
            kept.kind = MapStart;
            kept.tag = tagIndex(event.data.mapping_start.tag, true);
            kept.flow = event.data.mapping_start.style == YAML_FLOW_MAPPING_STYLE;
            break;
        case YAML_MAPPING_END_EVENT:
            kept.kind = MapEnd;
            break;
        default:
            return;
        }
        events.push_back(kept);
    }

    void replay(YAML::EventHandler& handler) const
    {
        for (const Event& event : events) {
            YAML::Mark mark;
            mark.pos = int(event.pos);
            mark.line = int(event.line);
            mark.column = int(event.column);
            const YAML::anchor_t anchor = event.anchor;
            const YAML::EmitterStyle::value style = event.flow ? YAML::EmitterStyle::Flow : YAML::EmitterStyle::Block;
            switch (event.kind) {
            case DocumentStart:
                handler.OnDocumentStart(mark);
                break;
            case DocumentEnd:
                handler.OnDocumentEnd();
                break;
            case Null:
                handler.OnNull(mark, anchor);
                break;
            case Alias:
                handler.OnAlias(mark, anchor);
                break;
            case Scalar:
                handler.OnScalar(mark, tags[event.tag], anchor, scalars.substr(event.textStart, event.textLength));
                break;
            case SequenceStart:
                handler.OnSequenceStart(mark, tags[event.tag], anchor, style);
                break;
            case SequenceEnd:
                handler.OnSequenceEnd();
                break;
            case MapStart:
                handler.OnMapStart(mark, tags[event.tag], anchor, style);
                break;
            case MapEnd:
                handler.OnMapEnd();
                break;
            }
        }
    }

private:
    enum Kind : uint8_t { DocumentStart, DocumentEnd, Null, Alias, Scalar, SequenceStart, SequenceEnd, MapStart, MapEnd };

    // 32 bytes: texts are at most BoundedYaml::maxTextBytes long.
    struct Event
    {
        Kind kind = Null;
        bool flow = false;
        uint32_t anchor = 0;
        uint32_t tag = 0;
        uint32_t pos = 0;
        uint32_t line = 0;
        uint32_t column = 0;
        uint32_t textStart = 0;
        uint32_t textLength = 0;
    };

    // yaml-cpp's non-specific tags: "?" for plain scalars and collections, "!" for quoted scalars.
    // Each tag is kept once, however many nodes carry it: a %TAG handle makes a short text
    // stand for long tags.
    uint32_t tagIndex(const yaml_char_t* tag, bool plain)
    {
        if (!tag)
            return plain ? 0 : 1;
        std::string text = textOf(tag);
        const auto found = tagIndexes.find(text);
        if (found != tagIndexes.end())
            return found->second;
        const auto index = uint32_t(tags.size());
        tags.push_back(text);
        tagIndexes.emplace(std::move(text), index);
        return index;
    }

    std::vector<Event> events;
    std::string scalars;
    std::vector<std::string> tags = {"?", "!"};
    std::unordered_map<std::string, uint32_t> tagIndexes;
};

/*
 * libyaml compares each %TAG directive of a document with every one before it, before it
 * hands over a single event: a text of nothing but directives takes it seconds per MiB.
 * Texts that may hold more directives than a document may have are counted by libyaml's
 * scanner first, which takes no time over them.
 */
std::size_t occurrences(const std::string& text, const char* word)
{
    std::size_t count = 0;
    const std::size_t length = std::strlen(word);
    for (std::size_t at = text.find(word); at != std::string::npos; at = text.find(word, at + length))
        ++count;
    return count;
}

void checkTagDirectives(const std::string& text)
{
    if (occurrences(text, "%TAG") <= std::size_t(BoundedYaml::maxTagDirectives))
        return;
    yaml_parser_t scanner;
    if (!yaml_parser_initialize(&scanner))
        throw std::bad_alloc();
    yaml_parser_set_input_string(&scanner, reinterpret_cast<const unsigned char*>(text.data()), text.size());
    int directives = 0;
    int flowLevel = 0;
    for (;;) {
        yaml_token_t token;
        // What the scanner refuses, the parser refuses as well, and says where.
        if (!yaml_parser_scan(&scanner, &token))
            break;
        const yaml_token_type_t type = token.type;
        const yaml_mark_t mark = token.start_mark;
        yaml_token_delete(&token);
        if (type == YAML_STREAM_END_TOKEN)
            break;
        if (type == YAML_DOCUMENT_START_TOKEN || type == YAML_DOCUMENT_END_TOKEN)
            directives = 0;
        else if (type == YAML_FLOW_SEQUENCE_START_TOKEN || type == YAML_FLOW_MAPPING_START_TOKEN)
            ++flowLevel;
        else if (type == YAML_FLOW_SEQUENCE_END_TOKEN || type == YAML_FLOW_MAPPING_END_TOKEN)
            --flowLevel;
        // The parser refuses such nesting at once; the scanner alone would follow it.
        if (flowLevel > BoundedYaml::maxDepth)
            break;
        if (type == YAML_TAG_DIRECTIVE_TOKEN && ++directives > BoundedYaml::maxTagDirectives) {
            yaml_parser_delete(&scanner);
            throw YAML::ParserException(toMark(mark), "more than " + std::to_string(BoundedYaml::maxTagDirectives)
                                                          + " %TAG directives for one document");
        }
    }
    yaml_parser_delete(&scanner);
}

/*
 * One pass of libyaml over the whole text, holding it to the bounds; the events of the first
 * document go to firstDocument when given.
 */
class BoundedReader
{
public:
    BoundedReader(const std::string& text, EventBuffer* firstDocument)
        : text(text)
        , firstDocument(firstDocument)
        , nodeLimit(BoundedYaml::maxNodes(text.size()))
        , byteLimit(BoundedYaml::maxExpandedBytes(text.size()))
    {
        if (text.size() > BoundedYaml::maxTextBytes)
            throw YAML::ParserException(YAML::Mark::null_mark(),
                                        "a text of more than " + std::to_string(BoundedYaml::maxTextBytes) + " bytes");
        checkTagDirectives(text);
        if (!yaml_parser_initialize(&parser))
            throw std::bad_alloc();
        yaml_parser_set_input_string(&parser, reinterpret_cast<const unsigned char*>(text.data()), text.size());
    }
    ~BoundedReader() { yaml_parser_delete(&parser); }
    BoundedReader(const BoundedReader&) = delete;
    BoundedReader& operator=(const BoundedReader&) = delete;

    int run()
    {
        for (;;) {
            yaml_event_t event;
            if (!yaml_parser_parse(&parser, &event))
                throwParserError(parser, text);
            const bool end = event.type == YAML_STREAM_END_EVENT;
            try {
                take(event);
            } catch (...) {
                yaml_event_delete(&event);
                throw;
            }
            yaml_event_delete(&event);
            if (end)
                return documents;
        }
    }

    /// Where the first node of a later document that is not a null begins; null_mark() when none.
    YAML::Mark laterContent() const { return laterContentMark; }

private:
    // What a node that carries an anchor stands for where an alias repeats it.
    struct Anchor
    {
        long long nodes = 1;
        long long bytes = 0;
        int height = 0;
        bool complete = false;
    };

    struct OpenCollection
    {
        YAML::anchor_t anchor = YAML::NullAnchor;
        long long nodesBefore = 0;
        long long bytesBefore = 0;
        int height = 1;
    };

    void take(const yaml_event_t& event)
    {
        YAML::anchor_t anchor = YAML::NullAnchor;
        if (documents > 1 && open.empty())
            noteLaterContent(event);
        switch (event.type) {
        case YAML_DOCUMENT_START_EVENT:
            ++documents;
            // Anchors are numbered per document, as yaml-cpp's parser numbers them.
            anchorIds.clear();
            anchors.clear();
            break;
        case YAML_SCALAR_EVENT: {
            countNodes(1, event.start_mark);
            const long long bytes = (long long)(event.data.scalar.length) + tagLength(event.data.scalar.tag);
            countBytes(bytes, event.start_mark);
            anchor = defineAnchor(event.data.scalar.anchor);
            if (anchor != YAML::NullAnchor) {
                anchors[anchor - 1].bytes = bytes;
                anchors[anchor - 1].complete = true;
            }
            break;
        }
        case YAML_ALIAS_EVENT:
            anchor = repeatAnchor(event);
            break;
        case YAML_SEQUENCE_START_EVENT:
            anchor = openCollection(event, event.data.sequence_start.anchor, event.data.sequence_start.tag);
            break;
        case YAML_MAPPING_START_EVENT:
            anchor = openCollection(event, event.data.mapping_start.anchor, event.data.mapping_start.tag);
            break;
        case YAML_SEQUENCE_END_EVENT:
        case YAML_MAPPING_END_EVENT:
            closeCollection();
            break;
        default:
            break;
        }
        if (firstDocument && documents == 1)
            firstDocument->add(event, anchor);
    }

    void noteLaterContent(const yaml_event_t& event)
    {
        const bool content = event.type == YAML_ALIAS_EVENT || event.type == YAML_SEQUENCE_START_EVENT
                             || event.type == YAML_MAPPING_START_EVENT
                             || (event.type == YAML_SCALAR_EVENT && !isNull(event));
        if (content && laterContentMark.is_null())
            laterContentMark = toMark(event.start_mark);
    }

    static long long tagLength(const yaml_char_t* tag)
    {
        return tag ? (long long)(std::strlen(reinterpret_cast<const char*>(tag))) : 0;
    }

    void countBytes(long long count, const yaml_mark_t& mark)
    {
        bytes += count;
        if (bytes > byteLimit) {
            throw YAML::ParserException(toMark(mark), "aliases and tags that stand for more than "
                                                          + std::to_string(byteLimit) + " bytes for a text of "
                                                          + std::to_string(text.size()) + " bytes");
        }
    }

    void countNodes(long long count, const yaml_mark_t& mark)
    {
        nodes += count;
        if (nodes > nodeLimit) {
            throw YAML::ParserException(toMark(mark), "more than " + std::to_string(nodeLimit) + " nodes for a text of "
                                                          + std::to_string(text.size()) + " bytes");
        }
    }

    YAML::anchor_t defineAnchor(const yaml_char_t* name)
    {
        if (!name)
            return YAML::NullAnchor;
        anchors.push_back(Anchor());
        const YAML::anchor_t id = anchors.size();
        anchorIds[textOf(name)] = id;
        return id;
    }

    YAML::anchor_t repeatAnchor(const yaml_event_t& event)
    {
        const std::string name = textOf(event.data.alias.anchor);
        const auto found = anchorIds.find(name);
        if (found == anchorIds.end())
            throw YAML::ParserException(toMark(event.start_mark), "the alias *" + name + " refers to no anchor before it");
        const Anchor& repeated = anchors[found->second - 1];
        if (!repeated.complete)
            throw YAML::ParserException(toMark(event.start_mark), "the alias *" + name + " repeats a node that holds it");
        if (int(open.size()) + repeated.height > BoundedYaml::maxDepth)
            throw YAML::ParserException(toMark(event.start_mark), nestingMessage());
        countNodes(repeated.nodes, event.start_mark);
        countBytes(repeated.bytes, event.start_mark);
        if (!open.empty())
            open.back().height = std::max(open.back().height, repeated.height + 1);
        return found->second;
    }

    YAML::anchor_t openCollection(const yaml_event_t& event, const yaml_char_t* anchorName, const yaml_char_t* tag)
    {
        if (int(open.size()) >= BoundedYaml::maxDepth)
            throw YAML::ParserException(toMark(event.start_mark), nestingMessage());
        OpenCollection collection;
        collection.nodesBefore = nodes;
        collection.bytesBefore = bytes;
        countNodes(1, event.start_mark);
        countBytes(tagLength(tag), event.start_mark);
        collection.anchor = defineAnchor(anchorName);
        open.push_back(collection);
        return collection.anchor;
    }

    void closeCollection()
    {
        const OpenCollection closed = open.back();
        open.pop_back();
        if (!open.empty())
            open.back().height = std::max(open.back().height, closed.height + 1);
        if (closed.anchor != YAML::NullAnchor) {
            Anchor& anchor = anchors[closed.anchor - 1];
            anchor.nodes = nodes - closed.nodesBefore;
            anchor.bytes = bytes - closed.bytesBefore;
            anchor.height = closed.height;
            anchor.complete = true;
        }
    }

    const std::string& text;
    EventBuffer* const firstDocument;
    const long long nodeLimit;
    const long long byteLimit;
    yaml_parser_t parser;
    int documents = 0;
    long long nodes = 0;
    long long bytes = 0;
    YAML::Mark laterContentMark = YAML::Mark::null_mark();
    std::vector<OpenCollection> open;
    std::unordered_map<std::string, YAML::anchor_t> anchorIds;
    std::vector<Anchor> anchors;
};

} // namespace

namespace BoundedYaml {

long long maxNodes(std::size_t textBytes)
{
    return nodeAllowance + (long long)(textBytes) / bytesPerNode;
}

long long maxExpandedBytes(std::size_t textBytes)
{
    return expansionAllowance + expandedBytesPerByte * (long long)(textBytes);
}

int check(const std::string& text)
{
    return BoundedReader(text, nullptr).run();
}

int read(const std::string& text, YAML::EventHandler& handler, YAML::Mark* laterContent)
{
    EventBuffer firstDocument;
    BoundedReader reader(text, &firstDocument);
    const int documents = reader.run();
    if (laterContent)
        *laterContent = reader.laterContent();
    firstDocument.replay(handler);
    return documents;
}

YAML::Node load(const std::string& text, int* documentCount)
{
    YamlNodeBuilder builder;
    const int documents = read(text, builder);
    if (documentCount)
        *documentCount = documents;
    return builder.root();
}

} // namespace BoundedYaml
