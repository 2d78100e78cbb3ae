#include "GroupStripLayout.h"

#include <QtTest>

namespace {

enum Group { Left, Right, Spread, Inner, Empty, EmptyInside, EmptyNested };

/**
 * Five columns 200 apart. "left" holds columns 0 and 1 (with "inner" inside it), "right"
 * columns 3 and 4, "spread" columns 0 and 4; "empty" holds only the empty "empty nested",
 * and "spread" the empty "empty inside". Three devices belong to no group.
 */
struct Sample
{
    LayoutGraph graph;
    GraphPlacement ungrouped;

    Sample()
    {
        graph.type = LayoutGraph::ClusterByGuiArea;
        graph.groups = {{"left", -1}, {"right", -1}, {"spread", -1}, {"inner", Left},
                        {"empty", -1}, {"empty inside", Spread}, {"empty nested", Empty}};
        // Column, group: in each column the devices come top to bottom in this order.
        const QVector<QPair<int, int>> devices{{0, Left}, {1, Inner}, {1, Left}, {3, Right}, {4, Right},
                                               {0, Spread}, {4, Spread}, {0, -1}, {2, -1}, {4, -1}};
        QVector<int> inColumn(5, 0);
        for (int i = 0; i < devices.size(); ++i) {
            const int column = devices.at(i).first;
            graph.devices.append({QStringLiteral("d%1").arg(i), QSizeF(80 + 10 * (i % 3), 40), devices.at(i).second});
            ungrouped.centers.append(QPointF(200.0 * column, 60.0 * inColumn[column]++));
        }
        graph.links = {{0, 2}, {2, 8}, {8, 3}, {3, 4}, {7, 1}, {5, 8}, {8, 6}, {9, 9}, {4, 0}};
    }

    /// The groups holding device, innermost first.
    QVector<int> groupsOf(int device) const
    {
        QVector<int> groups;
        for (int group = graph.devices.at(device).group; group >= 0; group = graph.groups.at(group).parent)
            groups.append(group);
        return groups;
    }

    bool isWithin(int group, int ancestor) const
    {
        for (; group >= 0; group = graph.groups.at(group).parent) {
            if (group == ancestor)
                return true;
        }
        return false;
    }
};

QRectF deviceRect(const Sample& sample, const GraphPlacement& placement, int device)
{
    const QSizeF size = sample.graph.devices.at(device).size;
    const QPointF center = placement.centers.at(device);
    return QRectF(center.x() - size.width() / 2, center.y() - size.height() / 2, size.width(), size.height());
}

/// Why the placement's devices and groups are wrong, empty when all is well.
QString fault(const Sample& sample, const GraphPlacement& placement)
{
    const LayoutGraph& graph = sample.graph;
    if (placement.centers.size() != graph.devices.size() || placement.groupRects.size() != graph.groups.size())
        return QStringLiteral("parts missing");
    for (int a = 0; a < graph.devices.size(); ++a) {
        for (int b = a + 1; b < graph.devices.size(); ++b) {
            if (deviceRect(sample, placement, a).intersects(deviceRect(sample, placement, b)))
                return QStringLiteral("d%1 overlaps d%2").arg(a).arg(b);
        }
        // A group holds exactly its own devices and those of its subgroups.
        for (int group = 0; group < graph.groups.size(); ++group) {
            const bool member = sample.groupsOf(a).contains(group);
            const QRectF rect = placement.groupRects.at(group);
            if (member && !rect.contains(deviceRect(sample, placement, a)))
                return graph.groups.at(group).name + QStringLiteral(" does not hold d%1").arg(a);
            if (!member && rect.intersects(deviceRect(sample, placement, a)))
                return graph.groups.at(group).name + QStringLiteral(" covers d%1").arg(a);
        }
    }
    for (int a = 0; a < graph.groups.size(); ++a) {
        const QRectF rect = placement.groupRects.at(a);
        if (rect.width() < 40 || rect.height() < 40)
            return graph.groups.at(a).name + QStringLiteral(" is too small");
        for (int b = a + 1; b < graph.groups.size(); ++b) {
            const QRectF other = placement.groupRects.at(b);
            if (sample.isWithin(b, a) ? !rect.contains(other) : rect.intersects(other))
                return graph.groups.at(a).name + QStringLiteral(" meets ") + graph.groups.at(b).name;
        }
    }
    return QString();
}

} // namespace

class TestGroupStripLayout : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void drawsEveryGroupAroundItsDevicesAlone()
    {
        const Sample sample;
        const GraphPlacement placement = GroupStripLayout::place(sample.graph, sample.ungrouped);

        QCOMPARE(fault(sample, placement), QString());
        // Devices keep their columns, in order from left to right.
        for (const LayoutGraph::Link& link : sample.graph.links) {
            const double before = sample.ungrouped.centers.at(link.to).x() - sample.ungrouped.centers.at(link.from).x();
            const double after = placement.centers.at(link.to).x() - placement.centers.at(link.from).x();
            QVERIFY(before == 0 ? after == 0 : (before > 0) == (after > 0));
        }
        // Links between columns are routed.
        QCOMPARE(placement.bends.size(), sample.graph.links.size());
        QVERIFY(!placement.bends.at(0).isEmpty() || placement.centers.at(0).y() == placement.centers.at(2).y());
    }

    void putsGroupsOfSeparateColumnsSideBySide()
    {
        const Sample sample;
        const GraphPlacement placement = GroupStripLayout::place(sample.graph, sample.ungrouped);
        const QRectF left = placement.groupRects.at(Left);
        const QRectF right = placement.groupRects.at(Right);
        const QRectF spread = placement.groupRects.at(Spread);

        // "left" and "right" share a row; "spread" reaches across both, so it gets one of its own
        QCOMPARE(left.top(), right.top());
        QVERIFY(left.right() < right.left());
        QVERIFY(spread.left() < left.right() && spread.right() > right.left());
        QVERIFY(spread.bottom() < left.top() || spread.top() > left.bottom());
        // Empty groups lie inside their parents, an empty group inside an empty one too
        QVERIFY(spread.contains(placement.groupRects.at(EmptyInside)));
        QVERIFY(placement.groupRects.at(Empty).contains(placement.groupRects.at(EmptyNested)));
    }

    void placesTheSameWayEachTime()
    {
        const Sample sample;
        const GraphPlacement first = GroupStripLayout::place(sample.graph, sample.ungrouped);
        const GraphPlacement second = GroupStripLayout::place(sample.graph, sample.ungrouped);
        QCOMPARE(second.centers, first.centers);
        QCOMPARE(second.groupRects, first.groupRects);
        QCOMPARE(second.bends, first.bends);
    }

    void placesEmptyGroupsWithoutDevices()
    {
        // Given only empty groups, nested, and no device at all
        LayoutGraph graph;
        graph.groups = {{"outer", -1}, {"inner", 0}, {"beside", -1}};
        const GraphPlacement placement = GroupStripLayout::place(graph, GraphPlacement());

        // Then each has a rectangle, the inner one inside the outer one, and none overlaps another
        QCOMPARE(placement.groupRects.size(), 3);
        QVERIFY(placement.groupRects.at(0).contains(placement.groupRects.at(1)));
        QVERIFY(!placement.groupRects.at(0).intersects(placement.groupRects.at(2)));
        QVERIFY(!placement.groupRects.at(2).isEmpty());
    }
};

QTEST_MAIN(TestGroupStripLayout)
#include "tst_GroupStripLayout.moc"
