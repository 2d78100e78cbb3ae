#include "GraphvizJob.h"

#include "LayoutText.h"

#include <string_view>
#include <vector>

namespace {

using LayoutText::Lines;
using LayoutText::toDouble;
using LayoutText::toInt;
using LayoutText::Word;

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

    Writer& operator<<(std::string_view bytes)
    {
        text.append(bytes.data(), int(bytes.size()));
        return *this;
    }

    Writer& operator<<(char character)
    {
        text.append(character);
        return *this;
    }

    Writer& operator<<(double value) { return *this << LayoutText::Number(value); }

    Writer& operator<<(int value) { return *this << LayoutText::Number(value); }

    QByteArray text;

private:
    Writer& operator<<(const LayoutText::Number& number)
    {
        text.append(number.data(), int(number.size()));
        return *this;
    }
};

Word wordOf(const QByteArray& bytes)
{
    return Word(bytes.constData(), size_t(bytes.size()));
}

std::string encoded(const QByteArray& bytes)
{
    return LayoutText::percentEncoded(wordOf(bytes));
}

QByteArray decoded(Word word)
{
    return QByteArray::fromStdString(LayoutText::percentDecoded(word));
}

QString lineError(const Lines& lines, const char* what)
{
    return QStringLiteral("line %1: %2").arg(lines.number()).arg(QLatin1String(what));
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

} // namespace

QByteArray GraphvizJob::toText() const
{
    Writer text(64 + clusters.size() * 32 + nodes.size() * 24 + edges.size() * 16);
    text << LayoutText::jobHeader << '\n';
    text << "engine " << encoded(engine) << '\n';
    text << (links == Links::Routed ? "links routed\n" : links == Links::ThroughPlaces ? "links places\n" : "links none\n");
    for (const auto& attribute : attributes)
        text << "attribute " << encoded(attribute.first) << ' ' << encoded(attribute.second) << '\n';
    for (const Cluster& cluster : clusters)
        text << "cluster " << cluster.parent << ' ' << encoded(cluster.label) << '\n';
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
    const std::string problem =
        LayoutText::readJob(wordOf(text), [job](const std::vector<Word>& words) { return readJobLine(words, job); });
    if (problem.empty())
        return true;
    *error = QString::fromStdString(problem);
    return false;
}

QByteArray GraphvizDrawing::toText() const
{
    Writer text(64 + centers.size() * 40 + bends.size() * 48 + clusterRects.size() * 80);
    text << LayoutText::drawingHeader << '\n';
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
    return QByteArray::fromStdString(LayoutText::failureText(wordOf(reason)));
}

bool GraphvizDrawing::fromText(const QByteArray& text, GraphvizDrawing* drawing, QString* failure, QString* error)
{
    *drawing = GraphvizDrawing();
    failure->clear();
    Lines lines(wordOf(text));
    std::vector<Word> words;
    std::vector<double> values;
    if (!lines.next(&words) || lines.line() != LayoutText::drawingHeader) {
        *error = text.isEmpty() ? QStringLiteral("no answer") : QStringLiteral("not a layout drawing");
        return false;
    }
    while (lines.next(&words)) {
        if (lines.line() == "end")
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
