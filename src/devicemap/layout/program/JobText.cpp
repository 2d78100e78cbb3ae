#include "JobText.h"

#include <charconv>
#include <cmath>

namespace {

// As GraphvizJob.cpp writes and reads them: a program of another version is refused.
constexpr std::string_view jobHeader = "dozerozozu-layout-job 1";
constexpr std::string_view drawingHeader = "dozerozozu-layout-drawing 2";

using Word = std::string_view;

/// The lines of a text, each split at its spaces into words that point into the text.
class Lines
{
public:
    explicit Lines(std::string_view text)
        : text(text)
    {
    }

    /// The next line's words; false at the end of the text.
    bool next(std::vector<Word>* words)
    {
        if (position >= text.size())
            return false;
        size_t end = text.find('\n', position);
        if (end == Word::npos)
            end = text.size();
        line = text.substr(position, end - position);
        words->clear();
        for (size_t start = position;;) {
            const size_t space = std::min(text.find(' ', start), end);
            words->push_back(text.substr(start, space - start));
            if (space >= end)
                break;
            start = space + 1;
        }
        position = end + 1;
        ++lineNumber;
        return true;
    }

    int number() const { return lineNumber; }
    /// The whole of the last line read.
    std::string_view line;

private:
    std::string_view text;
    size_t position = 0;
    int lineNumber = 0;
};

bool toDouble(Word word, double* value)
{
    const char* end = word.data() + word.size();
    const auto result = std::from_chars(word.data(), end, *value);
    return result.ec == std::errc() && result.ptr == end && std::isfinite(*value);
}

bool toInt(Word word, int* value)
{
    const char* end = word.data() + word.size();
    const auto result = std::from_chars(word.data(), end, *value);
    return result.ec == std::errc() && result.ptr == end;
}

int hexValue(char c)
{
    return c >= '0' && c <= '9' ? c - '0' : c >= 'a' && c <= 'f' ? c - 'a' + 10 : c >= 'A' && c <= 'F' ? c - 'A' + 10 : -1;
}

/// A percent-encoded word decoded, as QByteArray::fromPercentEncoding() decodes it.
std::string decoded(Word word)
{
    std::string text;
    text.reserve(word.size());
    for (size_t i = 0; i < word.size(); ++i) {
        if (word[i] == '%' && i + 2 < word.size() && hexValue(word[i + 1]) >= 0 && hexValue(word[i + 2]) >= 0) {
            text += char(hexValue(word[i + 1]) * 16 + hexValue(word[i + 2]));
            i += 2;
        } else {
            text += word[i];
        }
    }
    return text;
}

/// text percent-encoded as QByteArray::toPercentEncoding() encodes it: all but letters, digits and -._~.
std::string encoded(std::string_view text)
{
    static const char digits[] = "0123456789ABCDEF";
    std::string result;
    for (const char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        if ((byte >= 'a' && byte <= 'z') || (byte >= 'A' && byte <= 'Z') || (byte >= '0' && byte <= '9') || byte == '-'
            || byte == '.' || byte == '_' || byte == '~') {
            result += c;
        } else {
            result += '%';
            result += digits[byte >> 4];
            result += digits[byte & 15];
        }
    }
    return result;
}

void append(std::string* text, double value)
{
    // The shortest text that reads back as the same double: the drawing is the one Graphviz made.
    char buffer[32];
    const auto result = std::to_chars(buffer, buffer + sizeof(buffer), value);
    text->append(buffer, size_t(result.ptr - buffer));
}

bool readJobLine(const std::vector<Word>& words, ProgramJob* job)
{
    const Word key = words.at(0);
    const int clusterCount = int(job->clusters.size());
    const int nodeCount = int(job->nodes.size());
    if (key == "engine" && words.size() == 2) {
        job->engine = decoded(words[1]);
        return !job->engine.empty();
    }
    if (key == "links" && words.size() == 2) {
        const Word links = words[1];
        job->links = links == "routed" ? ProgramJob::Links::Routed
                     : links == "places" ? ProgramJob::Links::ThroughPlaces
                                         : ProgramJob::Links::None;
        return links == "routed" || links == "places" || links == "none";
    }
    if (key == "attribute" && words.size() == 3) {
        job->attributes.emplace_back(decoded(words[1]), decoded(words[2]));
        return !job->attributes.back().first.empty();
    }
    if (key == "cluster" && words.size() == 3) {
        ProgramJob::Cluster cluster;
        cluster.label = decoded(words[2]);
        if (!toInt(words[1], &cluster.parent) || cluster.parent < -1 || cluster.parent >= clusterCount)
            return false;
        job->clusters.push_back(std::move(cluster));
        return true;
    }
    if (key == "node" && words.size() == 4) {
        ProgramJob::Node node;
        if (!toDouble(words[1], &node.width) || !toDouble(words[2], &node.height) || !toInt(words[3], &node.cluster))
            return false;
        job->nodes.push_back(node);
        return node.cluster >= -1 && node.cluster < clusterCount;
    }
    if (key == "edge" && words.size() == 3) {
        int tail = -1;
        int head = -1;
        if (!toInt(words[1], &tail) || !toInt(words[2], &head))
            return false;
        job->edges.emplace_back(tail, head);
        return tail >= 0 && tail < nodeCount && head >= 0 && head < nodeCount;
    }
    return false;
}

} // namespace

bool ProgramJob::read(std::string_view text, ProgramJob* job, std::string* error)
{
    *job = ProgramJob();
    Lines lines(text);
    std::vector<Word> words;
    if (!lines.next(&words) || lines.line != jobHeader) {
        *error = "not a layout job";
        return false;
    }
    while (lines.next(&words)) {
        if (lines.line == "end")
            return true;
        if (!readJobLine(words, job)) {
            *error = "line " + std::to_string(lines.number()) + ": not a valid entry";
            return false;
        }
    }
    *error = "the job ends before its end";
    return false;
}

std::string ProgramDrawing::text() const
{
    std::string text;
    text.reserve(64 + centers.size() * 40 + bends.size() * 48 + clusterRects.size() * 80);
    text += drawingHeader;
    text += '\n';
    for (const Point& center : centers) {
        text += "node ";
        append(&text, center.x);
        text += ' ';
        append(&text, center.y);
        text += '\n';
    }
    size_t unrouted = 0;
    for (size_t i = 0; i < bends.size(); ++i) {
        if (unrouted < unroutedEdges.size() && size_t(unroutedEdges[unrouted]) == i) {
            ++unrouted;
            text += "unrouted\n";
            continue;
        }
        text += "edge";
        for (const Point& bend : bends[i]) {
            text += ' ';
            append(&text, bend.x);
            text += ' ';
            append(&text, bend.y);
        }
        text += '\n';
    }
    for (const Box& box : clusterRects) {
        text += "cluster";
        for (double value : {box.x, box.y, box.width, box.height}) {
            text += ' ';
            append(&text, value);
        }
        text += '\n';
    }
    text += "end\n";
    return text;
}

std::string ProgramDrawing::failureText(std::string_view reason)
{
    std::string text(drawingHeader);
    text += "\nfailed ";
    text += encoded(reason);
    text += '\n';
    return text;
}
