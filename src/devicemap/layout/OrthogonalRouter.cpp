#include "OrthogonalRouter.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace {

/// Distance between two lanes of one gap.
constexpr double laneSpacing = 6.0;
/// Distance between two tracks of one channel.
constexpr double trackSpacing = 8.0;
/// How many further columns a lane is tried on when choosing one.
constexpr int lookahead = 6;
/// Columns the links may cross in all before they are left straight: routing costs time in
/// proportion to them, and more for the lanes they crowd (200,000 take about a second).
constexpr qint64 crossedColumnsUpTo = 200000;
/// A device this close to level with its feeder is moved level with it.
constexpr double alignTolerance = 10.0;
/// The least room kept between the devices of a column when one is moved level.
constexpr double alignGap = 12.0;

constexpr double infinity = std::numeric_limits<double>::infinity();

bool overlaps(double a1, double a2, double b1, double b2)
{
    return std::max(std::min(a1, a2), std::min(b1, b2)) < std::min(std::max(a1, a2), std::max(b1, b2)) + laneSpacing;
}

bool sameLine(const QPointF& a, const QPointF& b, const QPointF& c)
{
    return (a.x() == b.x() && b.x() == c.x()) || (a.y() == b.y() && b.y() == c.y());
}

} // namespace

OrthogonalRouter::OrthogonalRouter(const LayoutGraph& graph, GraphPlacement& placement)
    : graph(graph)
    , placement(placement)
{
}

void OrthogonalRouter::route()
{
    alignChains();
    measureColumns();
    if (crossedColumns() > crossedColumnsUpTo) {
        placement.bends.fill(QList<QPointF>(), graph.links.size());
        return;
    }
    linkJogs.resize(graph.links.size());
    channelJogs.resize(columns.size() + 1);
    channelTracks.fill(0, columns.size() + 1);
    for (int link = 0; link < graph.links.size(); ++link)
        planLink(link);
    for (int channel = 0; channel < channelJogs.size(); ++channel)
        assignTracks(channel);
    widenChannels();
    buildBends();
}

qint64 OrthogonalRouter::crossedColumns() const
{
    qint64 crossed = 0;
    for (const LayoutGraph::Link& link : graph.links) {
        const int from = columnOf.value(link.from, -1);
        const int to = columnOf.value(link.to, -1);
        if (from >= 0 && to >= 0)
            crossed += std::abs(to - from) + 1;
    }
    return crossed;
}

// Column by column from the left, so that a chain levelled at its start stays level along it.
void OrthogonalRouter::alignChains()
{
    QVector<int> column(graph.devices.size(), -1);
    for (int c = 0; c < placement.columns.size(); ++c) {
        for (int device : placement.columns.at(c))
            column[device] = c;
    }
    QVector<QVector<int>> feeders(graph.devices.size());
    for (const LayoutGraph::Link& link : graph.links) {
        if (column.at(link.from) >= 0 && column.at(link.from) < column.at(link.to))
            feeders[link.to].append(link.from);
    }
    for (const QVector<int>& devices : qAsConst(placement.columns)) {
        for (int i = 0; i < devices.size(); ++i) {
            const int device = devices.at(i);
            const double y = placement.centers.at(device).y();
            double level = y;
            for (int feeder : feeders.at(device)) {
                const double candidate = placement.centers.at(feeder).y();
                if (std::abs(candidate - y) <= alignTolerance
                    && (level == y || std::abs(candidate - y) < std::abs(level - y)))
                    level = candidate;
            }
            if (level == y)
                continue;
            const double half = graph.devices.at(device).size.height() / 2;
            const bool roomAbove = i == 0
                                   || placement.centers.at(devices.at(i - 1)).y()
                                              + graph.devices.at(devices.at(i - 1)).size.height() / 2 + alignGap
                                          <= level - half;
            const bool roomBelow = i + 1 == devices.size()
                                   || placement.centers.at(devices.at(i + 1)).y()
                                              - graph.devices.at(devices.at(i + 1)).size.height() / 2 - alignGap
                                          >= level + half;
            if (roomAbove && roomBelow)
                placement.centers[device].setY(level);
        }
    }
}

void OrthogonalRouter::measureColumns()
{
    columnOf.fill(-1, graph.devices.size());
    columns.resize(placement.columns.size());
    for (int c = 0; c < placement.columns.size(); ++c) {
        Column& column = columns[c];
        column.left = infinity;
        column.right = -infinity;
        for (int device : placement.columns.at(c)) {
            columnOf[device] = c;
            const QPointF center = placement.centers.at(device);
            const QSizeF size = graph.devices.at(device).size;
            column.left = std::min(column.left, center.x() - size.width() / 2);
            column.right = std::max(column.right, center.x() + size.width() / 2);
            column.blocked.append({center.y() - size.height() / 2 - clearance,
                                   center.y() + size.height() / 2 + clearance});
        }
        std::sort(column.blocked.begin(), column.blocked.end());

        // The gaps between the spans, the open ones above and below the column included.
        double above = -infinity;
        for (const QPair<double, double>& span : qAsConst(column.blocked)) {
            if (span.first - above > 2)
                column.gaps.append({above + 1, span.first - 1});
            above = std::max(above, span.second);
        }
        column.gaps.append({above + 1, infinity});
    }
}

bool OrthogonalRouter::isFree(int column, double y) const
{
    const Column& c = columns.at(column);
    // Spans come top to bottom and the devices of a column do not overlap, so bottoms ascend too.
    const auto span = std::lower_bound(c.blocked.cbegin(), c.blocked.cend(), y,
                                       [](const QPair<double, double>& s, double value) { return s.second < value; });
    if (span != c.blocked.cend() && span->first <= y)
        return false;
    const auto lane = c.lanes.lower_bound(y - laneSpacing);
    return lane == c.lanes.end() || *lane > y + laneSpacing;
}

double OrthogonalRouter::freeLaneNear(int column, double low, double high, double preferred) const
{
    const double y = std::clamp(preferred, low, high);
    if (isFree(column, y))
        return y;
    for (int step = 1; step < 64; ++step) {
        for (const double candidate : {y - step * laneSpacing, y + step * laneSpacing}) {
            if (candidate >= low && candidate <= high && isFree(column, candidate))
                return candidate;
        }
        if (y - step * laneSpacing < low && y + step * laneSpacing > high)
            break;
    }
    return std::numeric_limits<double>::quiet_NaN();
}

int OrthogonalRouter::freeRunLength(const QVector<int>& traversed, int step, double y) const
{
    int length = 0;
    for (int i = step; i < traversed.size() && length < lookahead; ++i, ++length) {
        if (!isFree(traversed.at(i), y))
            break;
    }
    return length;
}

double OrthogonalRouter::chooseLane(const QVector<int>& traversed, int step, double current, double target)
{
    const int column = traversed.at(step);
    if (isFree(column, current))
        return current;

    // Only the gaps next to either end are worth a look: farther ones cost more bends.
    const QVector<QPair<double, double>>& gaps = columns.at(column).gaps;
    QVector<int> nearby;
    for (const double y : {current, target}) {
        const int index = int(std::lower_bound(gaps.cbegin(), gaps.cend(), y,
                                               [](const QPair<double, double>& gap, double value) {
                                                   return gap.second < value;
                                               })
                              - gaps.cbegin());
        for (int i = std::max(0, index - 1); i <= std::min(int(gaps.size()) - 1, index + 1); ++i) {
            if (!nearby.contains(i))
                nearby.append(i);
        }
    }

    double best = std::numeric_limits<double>::quiet_NaN();
    int bestRun = -1;
    double bestCost = infinity;
    for (int index : qAsConst(nearby)) {
        const QPair<double, double>& gap = gaps.at(index);
        for (const double preferred : {target, current}) {
            const double y = freeLaneNear(column, gap.first, gap.second, preferred);
            if (std::isnan(y))
                continue;
            const int run = freeRunLength(traversed, step, y);
            const double cost = std::abs(y - current) + std::abs(y - target);
            if (run > bestRun || (run == bestRun && cost < bestCost)) {
                best = y;
                bestRun = run;
                bestCost = cost;
            }
        }
    }
    if (std::isnan(best)) {
        // Every gap is full of lanes: share the one nearest the target rather than cross a device.
        const QPair<double, double>& gap = gaps.at(nearby.first());
        best = std::clamp(target, gap.first, std::max(gap.first, gap.second));
    }
    return best;
}

void OrthogonalRouter::planLink(int link)
{
    const LayoutGraph::Link& l = graph.links.at(link);
    const int fromColumn = columnOf.at(l.from);
    const int toColumn = columnOf.at(l.to);
    if (fromColumn < 0 || toColumn < 0)
        return;

    // Out to the right, in from the left: a link to an earlier column or its own crosses
    // the columns between right to left, both ends' columns included.
    QVector<int> traversed;
    QVector<int> channels{fromColumn + 1};
    if (toColumn > fromColumn) {
        for (int c = fromColumn + 1; c < toColumn; ++c) {
            traversed.append(c);
            channels.append(c + 1);
        }
    } else {
        for (int c = fromColumn; c >= toColumn; --c) {
            traversed.append(c);
            channels.append(c);
        }
    }

    const double target = placement.centers.at(l.to).y();
    double current = placement.centers.at(l.from).y();
    for (int step = 0; step <= traversed.size(); ++step) {
        const bool last = step == traversed.size();
        const double next = last ? target : chooseLane(traversed, step, current, target);
        if (!last)
            columns[traversed.at(step)].lanes.insert(next);
        if (next != current) {
            const int jog = jogs.size();
            jogs.append({link, channels.at(step), current, next, 0});
            linkJogs[link].append(jog);
            channelJogs[channels.at(step)].append(jog);
        }
        current = next;
    }
}

void OrthogonalRouter::assignTracks(int index)
{
    QVector<int>& channel = channelJogs[index];
    // Downward runs leftmost, the lower starts first; then upward runs, the higher starts
    // first: so runs that overlap like stairs do not cross.
    std::stable_sort(channel.begin(), channel.end(), [&](int a, int b) {
        const Jog& ja = jogs.at(a);
        const Jog& jb = jogs.at(b);
        const bool downA = ja.to > ja.from;
        const bool downB = jb.to > jb.from;
        if (downA != downB)
            return downA;
        if (ja.from != jb.from)
            return downA ? ja.from > jb.from : ja.from < jb.from;
        return downA ? ja.to > jb.to : ja.to < jb.to;
    });
    int tracks = 0;
    for (int i = 0; i < channel.size(); ++i) {
        Jog& jog = jogs[channel.at(i)];
        int track = 0;
        for (int j = 0; j < i; ++j) {
            const Jog& earlier = jogs.at(channel.at(j));
            if (earlier.track >= track && overlaps(jog.from, jog.to, earlier.from, earlier.to))
                track = earlier.track + 1;
        }
        jog.track = track;
        tracks = std::max(tracks, track + 1);
    }
    channelTracks[index] = tracks;
}

void OrthogonalRouter::widenChannels()
{
    double shift = 0;
    for (int c = 1; c < columns.size(); ++c) {
        const double needed = (channelTracks.at(c) + 1) * trackSpacing;
        const double available = columns.at(c).left + shift - columns.at(c - 1).right;
        if (needed > available)
            shift += needed - available;
        if (shift == 0)
            continue;
        columns[c].left += shift;
        columns[c].right += shift;
        for (int device : placement.columns.at(c))
            placement.centers[device].rx() += shift;
    }
}

double OrthogonalRouter::trackX(const Jog& jog) const
{
    const int tracks = channelTracks.at(jog.channel);
    if (jog.channel == 0)
        return columns.first().left - (tracks - jog.track) * trackSpacing;
    if (jog.channel == columns.size())
        return columns.last().right + (jog.track + 1) * trackSpacing;
    const double left = columns.at(jog.channel - 1).right;
    const double right = columns.at(jog.channel).left;
    return left + (jog.track + 1) * (right - left) / (tracks + 1);
}

void OrthogonalRouter::buildBends()
{
    placement.bends.fill(QList<QPointF>(), graph.links.size());
    for (int link = 0; link < graph.links.size(); ++link) {
        const LayoutGraph::Link& l = graph.links.at(link);
        QList<QPointF> path{placement.centers.at(l.from)};
        for (int index : linkJogs.at(link)) {
            const Jog& jog = jogs.at(index);
            const double x = trackX(jog);
            path.append(QPointF(x, jog.from));
            path.append(QPointF(x, jog.to));
        }
        path.append(placement.centers.at(l.to));

        QList<QPointF> simplified;
        for (const QPointF& point : qAsConst(path)) {
            if (!simplified.isEmpty() && simplified.last() == point)
                continue;
            if (simplified.size() >= 2 && sameLine(simplified.at(simplified.size() - 2), simplified.last(), point))
                simplified.removeLast();
            simplified.append(point);
        }
        if (simplified.size() >= 2) {
            simplified.removeFirst();
            simplified.removeLast();
        }
        placement.bends[link] = simplified;
    }
}
