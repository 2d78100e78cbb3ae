#include "BoundedYaml.h"

#include <yaml-cpp/eventhandler.h>
#include <yaml-cpp/yaml.h>

#include <sstream>

namespace {

// What people and programs write has at least four bytes per node (device text about ten,
// "a: 1" lines two and a half); the allowance lets short texts be as dense as they like.
const long long nodeAllowance = 16384;
const long long bytesPerNode = 4;
// Flow collections are rare and short in these files: a long one costs the scanner most.
const long long flowIndicatorAllowance = 4096;
const long long bytesPerFlowIndicator = 16;

std::string nestingMessage()
{
    return "nesting deeper than " + std::to_string(BoundedYaml::maxDepth) + " levels";
}

YAML::Mark markAt(const std::string& text, std::size_t offset)
{
    YAML::Mark mark;
    mark.pos = int(offset);
    for (std::size_t i = 0; i < offset && i < text.size(); ++i) {
        if (text[i] == '\n') {
            ++mark.line;
            mark.column = 0;
        } else {
            ++mark.column;
        }
    }
    return mark;
}

// The end of a quoted scalar that starts at start and closes on its own line; npos otherwise.
std::size_t closingQuote(const std::string& text, std::size_t start)
{
    const char quote = text[start];
    for (std::size_t i = start + 1; i < text.size(); ++i) {
        const char c = text[i];
        if (c == '\n' || c == '\r')
            return std::string::npos;
        if (quote == '"' && c == '\\') {
            ++i;
            if (i < text.size() && (text[i] == '\n' || text[i] == '\r'))
                return std::string::npos;
        } else if (c == quote) {
            if (quote == '\'' && i + 1 < text.size() && text[i + 1] == '\'')
                ++i;
            else
                return i;
        }
    }
    return std::string::npos;
}

/*
 * The nesting and size of the flow collections, on the text, before yaml-cpp's scanner queues
 * them. Every bracket and comma counts, except in comments and in quoted scalars that close on
 * their line, and those are skipped only outside flow collections (as far as brackets tell):
 * there yaml-cpp reads no token in them either, so the count is never too low.
 */
void checkFlowCollections(const std::string& text)
{
    const long long limit = BoundedYaml::maxFlowIndicators(text.size());
    long long indicators = 0;
    int depth = 0;
    char previous = '\n'; // the last character that is not blank; '\n' at a line's start
    bool previousStartsLine = true;
    bool blankSincePrevious = false;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (c == '\n' || c == '\r') {
            previous = '\n';
            previousStartsLine = true;
            blankSincePrevious = false;
            continue;
        }
        if (c == ' ' || c == '\t') {
            blankSincePrevious = true;
            continue;
        }
        if (depth == 0 && c == '#' && (previous == '\n' || blankSincePrevious)) {
            while (i + 1 < text.size() && text[i + 1] != '\n' && text[i + 1] != '\r')
                ++i;
            continue;
        }
        if (depth == 0 && (c == '"' || c == '\'')) {
            const bool startsScalar = previous == '\n' || previous == '[' || previous == '{' || previous == ','
                                      || (blankSincePrevious && previous == ':')
                                      || (blankSincePrevious && previousStartsLine && (previous == '-' || previous == '?'));
            const std::size_t end = startsScalar ? closingQuote(text, i) : std::string::npos;
            if (end != std::string::npos) {
                i = end;
                previous = c;
                previousStartsLine = false;
                blankSincePrevious = false;
                continue;
            }
        }
        if (c == '[' || c == '{') {
            ++indicators;
            if (++depth > BoundedYaml::maxDepth)
                throw YAML::ParserException(markAt(text, i), nestingMessage());
        } else if (c == ']' || c == '}') {
            ++indicators;
            if (depth > 0)
                --depth;
        } else if (c == ',') {
            ++indicators;
        }
        if (indicators > limit) {
            throw YAML::ParserException(markAt(text, i), "more than " + std::to_string(limit)
                                                             + " flow collection indicators for a text of "
                                                             + std::to_string(text.size()) + " bytes");
        }
        previousStartsLine = previous == '\n';
        previous = c;
        blankSincePrevious = false;
    }
}

// Follows yaml-cpp's parser through the text without building a node.
class EventCheck : public YAML::EventHandler
{
public:
    explicit EventCheck(const std::string& text)
        : text(text)
        , limit(BoundedYaml::maxNodes(text.size()))
    {
    }

    int documents() const { return documentCount; }

    void OnDocumentStart(const YAML::Mark& mark) override
    {
        // A document that starts where the one before it started consumed nothing: yaml-cpp
        // stands before a token no node can start with, and would give empty documents forever.
        if (documentCount > 0 && mark.pos == lastDocumentStart) {
            const std::size_t offset = std::size_t(mark.pos);
            const std::string found = offset < text.size() ? std::string(1, text[offset]) : std::string();
            throw YAML::ParserException(mark, "unexpected '" + found + "' where a node should start");
        }
        lastDocumentStart = mark.pos;
        ++documentCount;
        depth = 0;
    }
    void OnDocumentEnd() override {}
    void OnNull(const YAML::Mark& mark, YAML::anchor_t) override { countNode(mark); }
    void OnAlias(const YAML::Mark& mark, YAML::anchor_t) override { countNode(mark); }
    void OnScalar(const YAML::Mark& mark, const std::string&, YAML::anchor_t, const std::string&) override
    {
        countNode(mark);
    }
    void OnSequenceStart(const YAML::Mark& mark, const std::string&, YAML::anchor_t,
                         YAML::EmitterStyle::value) override
    {
        openCollection(mark);
    }
    void OnSequenceEnd() override { --depth; }
    void OnMapStart(const YAML::Mark& mark, const std::string&, YAML::anchor_t, YAML::EmitterStyle::value) override
    {
        openCollection(mark);
    }
    void OnMapEnd() override { --depth; }

private:
    void countNode(const YAML::Mark& mark)
    {
        if (++nodeCount > limit) {
            throw YAML::ParserException(mark, "more than " + std::to_string(limit) + " nodes for a text of "
                                                  + std::to_string(text.size()) + " bytes");
        }
    }
    void openCollection(const YAML::Mark& mark)
    {
        countNode(mark);
        if (++depth > BoundedYaml::maxDepth)
            throw YAML::ParserException(mark, nestingMessage());
    }

    const std::string& text;
    const long long limit;
    long long nodeCount = 0;
    int documentCount = 0;
    int lastDocumentStart = -1;
    int depth = 0;
};

} // namespace

namespace BoundedYaml {

long long maxNodes(std::size_t textBytes)
{
    return nodeAllowance + (long long)(textBytes) / bytesPerNode;
}

long long maxFlowIndicators(std::size_t textBytes)
{
    return flowIndicatorAllowance + (long long)(textBytes) / bytesPerFlowIndicator;
}

int check(const std::string& text)
{
    checkFlowCollections(text);
    std::istringstream input(text);
    YAML::Parser parser(input);
    EventCheck events(text);
    while (parser.HandleNextDocument(events)) {
    }
    return events.documents();
}

YAML::Node load(const std::string& text, int* documentCount)
{
    const int documents = check(text);
    if (documentCount)
        *documentCount = documents;
    // Checked: yaml-cpp reads the first document as the check saw it.
    return YAML::Load(text);
}

WalkBudget::WalkBudget(std::size_t textBytes)
    : nodeLimit(maxNodes(textBytes))
{
}

void WalkBudget::enter(const YAML::Node& node, int depth) const
{
    if (depth > maxDepth)
        throw YAML::ParserException(node.Mark(), nestingMessage());
}

void WalkBudget::countValue(const YAML::Node& node)
{
    if (++valueCount > maxValues)
        throw YAML::ParserException(node.Mark(), "more than " + std::to_string(maxValues) + " values");
    checkTotal(node);
}

void WalkBudget::countMapping(const YAML::Node& node)
{
    if (++mappingCount > maxMappings)
        throw YAML::ParserException(node.Mark(), "more than " + std::to_string(maxMappings) + " nodes");
    checkTotal(node);
}

void WalkBudget::checkTotal(const YAML::Node& node) const
{
    if (valueCount + mappingCount > nodeLimit)
        throw YAML::ParserException(node.Mark(), "aliases make more than " + std::to_string(nodeLimit)
                                                     + " values and mappings of the text");
}

} // namespace BoundedYaml
