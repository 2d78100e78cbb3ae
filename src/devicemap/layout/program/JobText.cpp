#include "JobText.h"

#include "LayoutText.h"

namespace {

using LayoutText::toDouble;
using LayoutText::toInt;
using LayoutText::Word;

std::string decoded(Word word)
{
    return LayoutText::percentDecoded(word);
}

void append(std::string* text, double value)
{
    const LayoutText::Number number(value);
    text->append(number.data(), number.size());
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
    std::string problem = LayoutText::readJob(text, [job](const std::vector<Word>& words) { return readJobLine(words, job); });
    if (problem.empty())
        return true;
    *error = std::move(problem);
    return false;
}

std::string ProgramDrawing::text() const
{
    std::string text;
    text.reserve(64 + centers.size() * 40 + bends.size() * 48 + clusterRects.size() * 80);
    text += LayoutText::drawingHeader;
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
    return LayoutText::failureText(reason);
}
