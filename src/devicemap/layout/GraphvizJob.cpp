#include "GraphvizJob.h"

#include <cmath>

namespace {

const QByteArray jobHeader = "dozerozozu-layout-job 1";
const QByteArray drawingHeader = "dozerozozu-layout-drawing 1";

QByteArray number(double value)
{
    // Seventeen digits read back as the same double: the drawing is the one Graphviz made.
    return QByteArray::number(value, 'g', 17);
}

/// The lines of a text, each split at its spaces, read one at a time.
class Lines
{
public:
    explicit Lines(const QByteArray& text)
        : text(text)
    {
    }

    /// The next line's words; false at the end of the text.
    bool next(QList<QByteArray>* words)
    {
        if (position >= text.size())
            return false;
        int end = text.indexOf('\n', position);
        if (end < 0)
            end = text.size();
        *words = text.mid(position, end - position).split(' ');
        position = end + 1;
        ++lineNumber;
        return true;
    }

    int line() const { return lineNumber; }

private:
    const QByteArray& text;
    int position = 0;
    int lineNumber = 0;
};

bool toDouble(const QByteArray& word, double* value)
{
    bool ok = false;
    *value = word.toDouble(&ok);
    return ok && std::isfinite(*value);
}

bool toInt(const QByteArray& word, int* value)
{
    bool ok = false;
    *value = word.toInt(&ok);
    return ok;
}

QString lineError(const Lines& lines, const char* what)
{
    return QStringLiteral("line %1: %2").arg(lines.line()).arg(QLatin1String(what));
}

bool readJobLine(const QList<QByteArray>& words, GraphvizJob* job)
{
    const QByteArray& key = words.at(0);
    if (key == "engine" && words.size() == 2) {
        job->engine = QByteArray::fromPercentEncoding(words.at(1));
        return !job->engine.isEmpty();
    }
    if (key == "links" && words.size() == 2) {
        const QByteArray& links = words.at(1);
        job->links = links == "routed" ? GraphvizJob::Links::Routed
                     : links == "places" ? GraphvizJob::Links::ThroughPlaces
                                         : GraphvizJob::Links::None;
        return links == "routed" || links == "places" || links == "none";
    }
    if (key == "attribute" && words.size() == 3) {
        job->attributes.append(
            qMakePair(QByteArray::fromPercentEncoding(words.at(1)), QByteArray::fromPercentEncoding(words.at(2))));
        return !job->attributes.last().first.isEmpty();
    }
    if (key == "cluster" && words.size() == 3) {
        GraphvizJob::Cluster cluster;
        cluster.label = QByteArray::fromPercentEncoding(words.at(2));
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

bool readDrawingLine(const QList<QByteArray>& words, GraphvizDrawing* drawing)
{
    QVector<double> values;
    values.reserve(words.size() - 1);
    for (int i = 1; i < words.size(); ++i) {
        double value = 0;
        if (!toDouble(words.at(i), &value))
            return false;
        values.append(value);
    }
    const QByteArray& key = words.at(0);
    if (key == "node" && values.size() == 2) {
        drawing->centers.append(QPointF(values.at(0), values.at(1)));
        return true;
    }
    if (key == "edge" && values.size() % 2 == 0) {
        QList<QPointF> bends;
        bends.reserve(values.size() / 2);
        for (int i = 0; i < values.size(); i += 2)
            bends.append(QPointF(values.at(i), values.at(i + 1)));
        drawing->bends.append(bends);
        return true;
    }
    if (key == "cluster" && values.size() == 4) {
        drawing->clusterRects.append(QRectF(values.at(0), values.at(1), values.at(2), values.at(3)));
        return true;
    }
    return false;
}

} // namespace

QByteArray GraphvizJob::toText() const
{
    QByteArray text = jobHeader + '\n';
    text += "engine " + engine.toPercentEncoding() + '\n';
    text += links == Links::Routed ? "links routed\n" : links == Links::ThroughPlaces ? "links places\n" : "links none\n";
    for (const auto& attribute : attributes)
        text += "attribute " + attribute.first.toPercentEncoding() + ' ' + attribute.second.toPercentEncoding() + '\n';
    for (const Cluster& cluster : clusters)
        text += "cluster " + QByteArray::number(cluster.parent) + ' ' + cluster.label.toPercentEncoding() + '\n';
    for (const Node& node : nodes) {
        text += "node " + number(node.size.width()) + ' ' + number(node.size.height()) + ' '
                + QByteArray::number(node.cluster) + '\n';
    }
    for (const auto& edge : edges)
        text += "edge " + QByteArray::number(edge.first) + ' ' + QByteArray::number(edge.second) + '\n';
    text += "end\n";
    return text;
}

bool GraphvizJob::fromText(const QByteArray& text, GraphvizJob* job, QString* error)
{
    *job = GraphvizJob();
    Lines lines(text);
    QList<QByteArray> words;
    if (!lines.next(&words) || words.join(' ') != jobHeader) {
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
    QByteArray text = drawingHeader + '\n';
    for (const QPointF& center : centers)
        text += "node " + number(center.x()) + ' ' + number(center.y()) + '\n';
    for (const QList<QPointF>& edgeBends : bends) {
        text += "edge";
        for (const QPointF& bend : edgeBends)
            text += ' ' + number(bend.x()) + ' ' + number(bend.y());
        text += '\n';
    }
    for (const QRectF& rect : clusterRects) {
        text += "cluster " + number(rect.x()) + ' ' + number(rect.y()) + ' ' + number(rect.width()) + ' '
                + number(rect.height()) + '\n';
    }
    text += "end\n";
    return text;
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
    QList<QByteArray> words;
    if (!lines.next(&words) || words.join(' ') != drawingHeader) {
        *error = text.isEmpty() ? QStringLiteral("no answer") : QStringLiteral("not a layout drawing");
        return false;
    }
    while (lines.next(&words)) {
        if (words.size() == 1 && words.at(0) == "end")
            return true;
        if (words.size() == 2 && words.at(0) == "failed") {
            *failure = QString::fromUtf8(QByteArray::fromPercentEncoding(words.at(1)));
            return false;
        }
        if (!readDrawingLine(words, drawing)) {
            *error = lineError(lines, "not a valid entry");
            return false;
        }
    }
    *error = QStringLiteral("the answer ends before its end");
    return false;
}
