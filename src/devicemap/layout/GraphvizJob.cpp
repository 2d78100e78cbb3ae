#include "GraphvizJob.h"

#include <charconv>
#include <cmath>
#include <string_view>
#include <vector>

namespace {

const QByteArray jobHeader = "dozerozozu-layout-job 1";
// Version 2: an edge the program could not route comes as an "unrouted" line.
const QByteArray drawingHeader = "dozerozozu-layout-drawing 2";

using Word = std::string_view;

/// The text being written: numbers go in without a text of their own each.
class Writer
{
public:
    explicit Writer(int expectedSize) { text.reserve(expectedSize); }

    Writer& operator<<(const char* literal)
    {
        text.append(literal);
        return *this;
    }

    Writer& operator<<(const QByteArray& bytes)
    {
        text.append(bytes);
        return *this;
    }

    Writer& operator<<(char character)
    {
        text.append(character);
        return *this;
    }

    /// The shortest text that reads back as the same double: the drawing is the one Graphviz made.
    Writer& operator<<(double value)
    {
        char buffer[32];
        const auto result = std::to_chars(buffer, buffer + sizeof(buffer), value);
        text.append(buffer, int(result.ptr - buffer));
        return *this;
    }

    Writer& operator<<(int value)
    {
        char buffer[16];
        const auto result = std::to_chars(buffer, buffer + sizeof(buffer), value);
        text.append(buffer, int(result.ptr - buffer));
        return *this;
    }

    QByteArray text;
};

/// The lines of a text, each split at its spaces into words that point into the text.
class Lines
{
public:
    explicit Lines(const QByteArray& text)
        : text(text.constData(), size_t(text.size()))
    {
    }

    /// The next line's words; false at the end of the text. The words stay valid with the text.
    bool next(std::vector<Word>* words)
    {
        if (position >= text.size())
            return false;
        size_t end = text.find('\n', position);
        if (end == Word::npos)
            end = text.size();
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

    int line() const { return lineNumber; }

private:
    Word text;
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

QByteArray decoded(Word word)
{
    return QByteArray::fromPercentEncoding(QByteArray(word.data(), int(word.size())));
}

QString lineError(const Lines& lines, const char* what)
{
    return QStringLiteral("line %1: %2").arg(lines.line()).arg(QLatin1String(what));
}

bool readJobLine(const std::vector<Word>& words, GraphvizJob* job)
{
    const Word key = words.at(0);
    if (key == "engine" && words.size() == 2) {
        job->engine = decoded(words.at(1));
        return !job->engine.isEmpty();
    }
    if (key == "links" && words.size() == 2) {
        const Word links = words.at(1);
        job->links = links == "routed" ? GraphvizJob::Links::Routed
                     : links == "places" ? GraphvizJob::Links::ThroughPlaces
                                         : GraphvizJob::Links::None;
        return links == "routed" || links == "places" || links == "none";
    }
    if (key == "attribute" && words.size() == 3) {
        job->attributes.append(qMakePair(decoded(words.at(1)), decoded(words.at(2))));
        return !job->attributes.last().first.isEmpty();
    }
    if (key == "cluster" && words.size() == 3) {
        GraphvizJob::Cluster cluster;
        cluster.label = decoded(words.at(2));
        return toInt(words.at(1), &cluster.parent) && cluster.parent >= -1 && cluster.parent < job->clusters.size()
               && (job->clusters.append(cluster), true);
    }
    if (key == "node" && words.size() == 4) {
        GraphvizJob::Node node;
        double width = 0;
        double height = 0;
        if (!toDouble(words.at(1), &width) || !toDouble(words.at(2), &height) || !toInt(words.at(3), &node.cluster))
            return false;
        node.size = QSizeF(width, height);
        job->nodes.append(node);
        return node.cluster >= -1 && node.cluster < job->clusters.size();
    }
    if (key == "edge" && words.size() == 3) {
        int tail = -1;
        int head = -1;
        if (!toInt(words.at(1), &tail) || !toInt(words.at(2), &head))
            return false;
        job->edges.append(qMakePair(tail, head));
        return tail >= 0 && tail < job->nodes.size() && head >= 0 && head < job->nodes.size();
    }
    return false;
}

/// The numbers after a line's key; false when one is not a finite number.
bool readValues(const std::vector<Word>& words, std::vector<double>* values)
{
    values->resize(words.size() - 1);
    for (size_t i = 1; i < words.size(); ++i) {
        if (!toDouble(words.at(i), &(*values)[i - 1]))
            return false;
    }
    return true;
}

bool readDrawingLine(const std::vector<Word>& words, std::vector<double>* values, GraphvizDrawing* drawing)
{
    const Word key = words.at(0);
    if (key == "unrouted" && words.size() == 1) {
        drawing->unroutedEdges.append(drawing->bends.size());
        drawing->bends.append(QList<QPointF>());
        return true;
    }
    if (!readValues(words, values))
        return false;
    const std::vector<double>& v = *values;
    if (key == "node" && v.size() == 2) {
        drawing->centers.append(QPointF(v[0], v[1]));
        return true;
    }
    if (key == "edge" && v.size() % 2 == 0) {
        QList<QPointF> bends;
        bends.reserve(int(v.size() / 2));
        for (size_t i = 0; i < v.size(); i += 2)
            bends.append(QPointF(v[i], v[i + 1]));
        drawing->bends.append(bends);
        return true;
    }
    if (key == "cluster" && v.size() == 4) {
        drawing->clusterRects.append(QRectF(v[0], v[1], v[2], v[3]));
        return true;
    }
    return false;
}

bool isHeader(const std::vector<Word>& words, const QByteArray& header)
{
    const Word expected(header.constData(), size_t(header.size()));
    return words.size() == 2 && expected.size() == words[0].size() + 1 + words[1].size()
           && expected.substr(0, words[0].size()) == words[0] && expected.substr(words[0].size() + 1) == words[1];
}

} // namespace

QByteArray GraphvizJob::toText() const
{
    Writer text(64 + clusters.size() * 32 + nodes.size() * 24 + edges.size() * 16);
    text << jobHeader << '\n';
    text << "engine " << engine.toPercentEncoding() << '\n';
    text << (links == Links::Routed ? "links routed\n" : links == Links::ThroughPlaces ? "links places\n" : "links none\n");
    for (const auto& attribute : attributes)
        text << "attribute " << attribute.first.toPercentEncoding() << ' ' << attribute.second.toPercentEncoding() << '\n';
    for (const Cluster& cluster : clusters)
        text << "cluster " << cluster.parent << ' ' << cluster.label.toPercentEncoding() << '\n';
    for (const Node& node : nodes)
        text << "node " << node.size.width() << ' ' << node.size.height() << ' ' << node.cluster << '\n';
    for (const auto& edge : edges)
        text << "edge " << edge.first << ' ' << edge.second << '\n';
    text << "end\n";
    return text.text;
}

bool GraphvizJob::fromText(const QByteArray& text, GraphvizJob* job, QString* error)
{
    *job = GraphvizJob();
    Lines lines(text);
    std::vector<Word> words;
    if (!lines.next(&words) || !isHeader(words, jobHeader)) {
        *error = QStringLiteral("not a layout job");
        return false;
    }
    while (lines.next(&words)) {
        if (words.size() == 1 && words.at(0) == "end")
            return true;
        if (!readJobLine(words, job)) {
            *error = lineError(lines, "not a valid entry");
            return false;
        }
    }
    *error = QStringLiteral("the job ends before its end");
    return false;
}

QByteArray GraphvizDrawing::toText() const
{
    Writer text(64 + centers.size() * 40 + bends.size() * 48 + clusterRects.size() * 80);
    text << drawingHeader << '\n';
    for (const QPointF& center : centers)
        text << "node " << center.x() << ' ' << center.y() << '\n';
    int unrouted = 0;
    for (int i = 0; i < bends.size(); ++i) {
        if (unrouted < unroutedEdges.size() && unroutedEdges.at(unrouted) == i) {
            ++unrouted;
            text << "unrouted\n";
            continue;
        }
        text << "edge";
        for (const QPointF& bend : bends.at(i))
            text << ' ' << bend.x() << ' ' << bend.y();
        text << '\n';
    }
    for (const QRectF& rect : clusterRects)
        text << "cluster " << rect.x() << ' ' << rect.y() << ' ' << rect.width() << ' ' << rect.height() << '\n';
    text << "end\n";
    return text.text;
}

QByteArray GraphvizDrawing::failureText(const QByteArray& reason)
{
    return drawingHeader + "\nfailed " + reason.toPercentEncoding() + '\n';
}

bool GraphvizDrawing::fromText(const QByteArray& text, GraphvizDrawing* drawing, QString* failure, QString* error)
{
    *drawing = GraphvizDrawing();
    failure->clear();
    Lines lines(text);
    std::vector<Word> words;
    std::vector<double> values;
    if (!lines.next(&words) || !isHeader(words, drawingHeader)) {
        *error = text.isEmpty() ? QStringLiteral("no answer") : QStringLiteral("not a layout drawing");
        return false;
    }
    while (lines.next(&words)) {
        if (words.size() == 1 && words.at(0) == "end")
            return true;
        if (words.size() == 2 && words.at(0) == "failed") {
            // A failure with an empty reason leaves both empty: the caller names that itself.
            *failure = QString::fromUtf8(decoded(words.at(1)));
            return false;
        }
        if (!readDrawingLine(words, &values, drawing)) {
            *error = lineError(lines, "not a valid entry");
            return false;
        }
    }
    *error = QStringLiteral("the answer ends before its end");
    return false;
}
