#include "DeviceMapGeometry.h"

#include <QtTest>

#include <cmath>

using namespace DeviceMapGeometry;

class TestDeviceMapGeometry : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void distanceToSegment_data()
    {
        QTest::addColumn<QLineF>("segment");
        QTest::addColumn<QPointF>("point");
        QTest::addColumn<double>("distance");

        QTest::newRow("zero length") << QLineF(1, 1, 1, 1) << QPointF(4, 5) << 5.0;
        QTest::newRow("beside the middle") << QLineF(0, 0, 10, 0) << QPointF(5, 3) << 3.0;
        QTest::newRow("before the start") << QLineF(0, 0, 10, 0) << QPointF(-3, 4) << 5.0;
        QTest::newRow("past the end") << QLineF(0, 0, 10, 0) << QPointF(13, -4) << 5.0;
        QTest::newRow("on a diagonal") << QLineF(0, 0, 10, 10) << QPointF(10, 0) << std::sqrt(50.0);
    }

    void distanceToSegment()
    {
        QFETCH(QLineF, segment);
        QFETCH(QPointF, point);
        QFETCH(double, distance);

        QCOMPARE(pointToSegmentDistance(segment.x1(), segment.y1(), segment.x2(), segment.y2(), point.x(),
                                        point.y()),
                 distance);
    }

    void verticalLineCrossesCircleTwice()
    {
        const QVector<QPointF> points = intersectsCircle(QPointF(3, -10), QPointF(3, 10), QPointF(0, 0), 5, false);
        QCOMPARE(points.size(), 2);
        QVector<double> ys{points[0].y(), points[1].y()};
        std::sort(ys.begin(), ys.end());
        QCOMPARE(points[0].x(), 3.0);
        QCOMPARE(points[1].x(), 3.0);
        QCOMPARE(ys, (QVector<double>{-4.0, 4.0}));
    }

    void tangentGivesOnePoint()
    {
        const QVector<QPointF> points = intersectsCircle(QPointF(-10, 5), QPointF(10, 5), QPointF(0, 0), 5, false);
        QCOMPARE(points, QVector<QPointF>{QPointF(0, 5)});
    }

    void missingLineGivesNoPoint()
    {
        QVERIFY(intersectsCircle(QPointF(-10, 7), QPointF(10, 7), QPointF(0, 0), 5, false).isEmpty());
        QVERIFY(intersectsCircle(QPointF(1, 1), QPointF(1, 1), QPointF(0, 0), 5, false).isEmpty());
    }

    void onSegmentKeepsOnlyPointsBetweenTheEnds()
    {
        const QVector<QPointF> points = intersectsCircle(QPointF(-10, 0), QPointF(0, 0), QPointF(0, 0), 5, true);
        QCOMPARE(points, QVector<QPointF>{QPointF(-5, 0)});
        QCOMPARE(intersectsCircle(QPointF(-10, 0), QPointF(0, 0), QPointF(0, 0), 5, false).size(), 2);
    }

    void lineToCentreMeetsStraightEdge()
    {
        const QPointF point = roundedRectIntersection(QLineF(-50, 15, 50, 15), QRectF(0, 0, 100, 30), 5);
        QCOMPARE(point, QPointF(0, 15));
    }

    void lineThroughCornerMeetsArcNearestItsStart()
    {
        const QPointF point = roundedRectIntersection(QLineF(-10, -10, 10, 10), QRectF(0, 0, 100, 30), 5);
        const double expected = 5 - 5 / std::sqrt(2.0);
        QCOMPARE(point, QPointF(expected, expected));
        QCOMPARE(QLineF(point, QPointF(5, 5)).length(), 5.0);
    }

    void lineFromBelowMeetsBottomEdge()
    {
        const QPointF point = roundedRectIntersection(QLineF(50, 100, 50, 15), QRectF(0, 0, 100, 30), 5);
        QCOMPARE(point, QPointF(50, 30));
    }
};

QTEST_GUILESS_MAIN(TestDeviceMapGeometry)
#include "tst_DeviceMapGeometry.moc"
