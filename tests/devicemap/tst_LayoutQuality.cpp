#include "LayoutQuality.h"

#include <QtTest>

#include <cmath>
#include <initializer_list>
#include <random>

namespace {

QPolygonF polyline(std::initializer_list<QPointF> points)
{
    return QPolygonF(QVector<QPointF>(points));
}

QPolygonF line(const QPointF& from, const QPointF& to)
{
    return polyline({from, to});
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
        QTest::newRow("an X") << QVector<QPolygonF>{line({0, 0}, {10, 10}), line({0, 10}, {10, 0})} << qint64(1);
        QTest::newRow("a shared end") << QVector<QPolygonF>{line({0, 0}, {10, 10}), line({0, 0}, {10, 0})} << qint64(0);
        QTest::newRow("a touch") << QVector<QPolygonF>{line({0, 0}, {10, 0}), line({5, 0}, {5, 10})} << qint64(0);
        QTest::newRow("an overlap") << QVector<QPolygonF>{line({0, 0}, {10, 0}), line({5, 0}, {15, 0})} << qint64(0);
        QTest::newRow("parallel") << QVector<QPolygonF>{line({0, 0}, {10, 0}), line({0, 1}, {10, 1})} << qint64(0);
        QTest::newRow("a link crossing itself")
            << QVector<QPolygonF>{polyline({{0, 0}, {10, 10}, {10, 0}, {0, 10}})} << qint64(0);
        QTest::newRow("a zigzag crossing a line three times")
            << QVector<QPolygonF>{polyline({{0, -1}, {2, 1}, {4, -1}, {6, 1}}), line({-1, 0}, {7, 0})} << qint64(3);
        QTest::newRow("one link") << QVector<QPolygonF>{line({0, 0}, {1, 1})} << qint64(0);
        QTest::newRow("none") << QVector<QPolygonF>() << qint64(0);
    }

    void countsOnlyProperCrossings()
    {
        QFETCH(QVector<QPolygonF>, links);
        QFETCH(qint64, crossings);
        QCOMPARE(LayoutQuality::of(links).crossings, crossings);
    }

    void countsEveryCrossingOnceWhereverItLies()
    {
        // Given many links, short and long, slanted and axis-parallel, some crossing on cell borders
        std::mt19937 random(11);
        std::uniform_int_distribution<int> coordinate(0, 400);
        QVector<QPolygonF> links;
        for (int i = 0; i < 300; ++i) {
            QPolygonF points;
            const int count = 2 + i % 3;
            for (int p = 0; p < count; ++p)
                points << QPointF(coordinate(random), i % 5 == 0 ? 100.0 * (i % 4) : coordinate(random));
            links.append(points);
        }
        for (int i = 0; i < 20; ++i) {
            links.append(line({0, 10.0 * i}, {4000, 10.0 * i}));
            links.append(line({20.0 * i + 5, -50}, {20.0 * i + 5, 450}));
        }

        // Then the grid finds exactly the crossings a test of every pair finds, and always the same
        const LayoutQuality quality = LayoutQuality::of(links);
        QCOMPARE(quality.crossings, crossingsOneByOne(links));
        QVERIFY(quality.crossings > 1000);
        QCOMPARE(LayoutQuality::of(links).crossings, quality.crossings);
    }

    void measuresLinksFromCentreThroughBends()
    {
        // Given two devices and a link bending twice between their centres
        DevicesArrangement arrangement;
        arrangement.deviceRects.insert("a", QRectF(0, 0, 20, 20));
        arrangement.deviceRects.insert("b", QRectF(100, 100, 20, 20));
        arrangement.connections.append({"a", "b", {QPointF(10, 60), QPointF(110, 60)}});
        arrangement.connections.append({"a", "missing", {}});
        arrangement.connections.append({"b", "a", {}});

        // Then its length runs through the bends, the link to a missing device is left out, and the
        // straight link back crosses the bent one once
        const LayoutQuality quality = LayoutQuality::of(arrangement);
        QCOMPARE(quality.linkLength, 50.0 + 100.0 + 50.0 + std::sqrt(2.0) * 100.0);
        QCOMPARE(quality.crossings, qint64(1));
    }
};

QTEST_MAIN(TestLayoutQuality)
#include "tst_LayoutQuality.moc"
