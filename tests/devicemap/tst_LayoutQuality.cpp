#include "LayoutQuality.h"

#include <QtTest>

#include <cmath>
#include <initializer_list>
#include <random>

namespace {

QPolygonF path(std::initializer_list<QPointF> points)
{
    return QPolygonF(QVector<QPointF>(points));
}

/// The crossings of links counted pair by pair, segment by segment.
qint64 crossingsOneByOne(const QVector<QPolygonF>& links)
{
    auto side = [](const QPointF& a, const QPointF& b, const QPointF& c) {
        const double turn = (b.x() - a.x()) * (c.y() - a.y()) - (b.y() - a.y()) * (c.x() - a.x());
        return turn > 0 ? 1 : turn < 0 ? -1 : 0;
    };
    qint64 count = 0;
    for (int a = 0; a < links.size(); ++a) {
        for (int b = a + 1; b < links.size(); ++b) {
            for (int i = 0; i + 1 < links.at(a).size(); ++i) {
                for (int j = 0; j + 1 < links.at(b).size(); ++j) {
                    const QPointF p1 = links.at(a).at(i), p2 = links.at(a).at(i + 1);
                    const QPointF q1 = links.at(b).at(j), q2 = links.at(b).at(j + 1);
                    if (side(p1, p2, q1) * side(p1, p2, q2) < 0 && side(q1, q2, p1) * side(q1, q2, p2) < 0)
                        ++count;
                }
            }
        }
    }
    return count;
}

} // namespace

class TestLayoutQuality : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void countsOnlyProperCrossings_data()
    {
        QTest::addColumn<QVector<QPolygonF>>("links");
        QTest::addColumn<qint64>("crossings");
        const QPolygonF diagonal = path({{0, 0}, {10, 10}}), bottom = path({{0, 0}, {10, 0}});
        QTest::newRow("an X") << QVector<QPolygonF>{diagonal, path({{0, 10}, {10, 0}})} << qint64(1);
        QTest::newRow("a shared end") << QVector<QPolygonF>{diagonal, bottom} << qint64(0);
        QTest::newRow("a touch") << QVector<QPolygonF>{bottom, path({{5, 0}, {5, 10}})} << qint64(0);
        QTest::newRow("an overlap") << QVector<QPolygonF>{bottom, path({{5, 0}, {15, 0}})} << qint64(0);
        QTest::newRow("a link crossing itself") << QVector<QPolygonF>{path({{0, 0}, {10, 10}, {10, 0}, {0, 10}})}
                                                << qint64(0);
        QTest::newRow("a zigzag crossing a line three times")
            << QVector<QPolygonF>{path({{0, -1}, {2, 1}, {4, -1}, {6, 1}}), path({{-1, 0}, {7, 0}})} << qint64(3);
        QTest::newRow("none") << QVector<QPolygonF>() << qint64(0);
        // Many links, short and long, slanted and axis-parallel, some crossing on the counting grid's
        // cell borders: the grid must find exactly the crossings a test of every pair finds, each once.
        std::mt19937 random(11);
        std::uniform_int_distribution<int> coordinate(0, 400);
        QVector<QPolygonF> scattered;
        for (int i = 0; i < 300; ++i) {
            QPolygonF points;
            for (int p = 0; p < 2 + i % 3; ++p)
                points << QPointF(coordinate(random), i % 5 == 0 ? 100.0 * (i % 4) : coordinate(random));
            scattered.append(points);
        }
        for (int i = 0; i < 20; ++i)
            scattered << path({{0, 10.0 * i}, {4000, 10.0 * i}}) << path({{20.0 * i + 5, -50}, {20.0 * i + 5, 450}});
        const qint64 oneByOne = crossingsOneByOne(scattered);
        QVERIFY(oneByOne > 1000);
        QTest::newRow("scattered") << scattered << oneByOne;
    }

    void countsOnlyProperCrossings()
    {
        QFETCH(QVector<QPolygonF>, links);
        QFETCH(qint64, crossings);
        QCOMPARE(LayoutQuality::of(links).crossings, crossings);
    }

    void measuresLinksFromCentreThroughBends()
    {
        // Given a link bending twice between two devices' centres, a straight one back and one to a missing device
        DevicesArrangement arrangement;
        arrangement.deviceRects = {{"a", QRectF(0, 0, 20, 20)}, {"b", QRectF(100, 100, 20, 20)}};
        arrangement.connections = {{"a", "b", {QPointF(10, 60), QPointF(110, 60)}}, {"a", "missing", {}}, {"b", "a", {}}};

        // Then the length runs through the bends, the link to the missing device is left out, and the
        // two others cross once
        const LayoutQuality quality = LayoutQuality::of(arrangement);
        QCOMPARE(quality.linkLength, 50.0 + 100.0 + 50.0 + std::sqrt(2.0) * 100.0);
        QCOMPARE(quality.crossings, qint64(1));
    }

    void countsLinksThroughOtherDevices()
    {
        // Given three devices in a row and links between them: straight past the middle one, round
        // it, along its outline, to it, and to a missing device
        DevicesArrangement arrangement;
        arrangement.deviceRects
            = {{"a", QRectF(0, 0, 20, 20)}, {"b", QRectF(100, 0, 20, 20)}, {"c", QRectF(200, 0, 20, 20)}};
        arrangement.connections = {{"a", "c", {}},
                                   {"c", "a", {QPointF(150, 40), QPointF(60, 40)}},
                                   {"a", "c", {QPointF(10, 0), QPointF(210, 0)}},
                                   {"a", "b", {}},
                                   {"b", "missing", {}}};

        // Then only the straight one passes through a device that is neither of its ends
        QCOMPARE(LayoutQuality::linksThroughDevices(arrangement), qint64(1));
    }
};

QTEST_MAIN(TestLayoutQuality)
#include "tst_LayoutQuality.moc"
