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

        QCOMPARE(pointToSegmentDistance(segment.x1(), segment.y1(), segment.x2(), segment.y2(), point.x(), point.y()),
                 distance);
    }

    void lineMeetsCircle_data()
    {
        QTest::addColumn<QLineF>("line");
        QTest::addColumn<bool>("onSegment");
        QTest::addColumn<QVector<QPointF>>("points");

        // A circle of radius 5 about the origin.
        QTest::newRow("vertical, solved for y") << QLineF(3, -10, 3, 10) << false
                                                << QVector<QPointF>{QPointF(3, 4), QPointF(3, -4)};
        QTest::newRow("tangent") << QLineF(-10, 5, 10, 5) << false << QVector<QPointF>{QPointF(0, 5)};
        QTest::newRow("missing") << QLineF(-10, 7, 10, 7) << false << QVector<QPointF>{};
        QTest::newRow("no line") << QLineF(1, 1, 1, 1) << false << QVector<QPointF>{};
        QTest::newRow("whole line") << QLineF(-10, 0, 0, 0) << false << QVector<QPointF>{QPointF(5, 0), QPointF(-5, 0)};
        QTest::newRow("on the segment") << QLineF(-10, 0, 0, 0) << true << QVector<QPointF>{QPointF(-5, 0)};
    }

    void lineMeetsCircle()
    {
        QFETCH(QLineF, line);
        QFETCH(bool, onSegment);
        QFETCH(QVector<QPointF>, points);

        QCOMPARE(intersectsCircle(line.p1(), line.p2(), QPointF(0, 0), 5, onSegment), points);
    }

    void lineMeetsRoundedRectangle_data()
    {
        QTest::addColumn<QLineF>("line");
        QTest::addColumn<QPointF>("point");

        // A 100 by 30 rectangle at the origin with corners of radius 5.
        const double onArc = 5 - 5 / std::sqrt(2.0);
        QTest::newRow("left edge") << QLineF(-50, 15, 50, 15) << QPointF(0, 15);
        QTest::newRow("bottom edge") << QLineF(50, 100, 50, 15) << QPointF(50, 30);
        QTest::newRow("corner arc, nearer crossing") << QLineF(-10, -10, 10, 10) << QPointF(onArc, onArc);
    }

    void lineMeetsRoundedRectangle()
    {
        QFETCH(QLineF, line);
        QFETCH(QPointF, point);

        QCOMPARE(roundedRectIntersection(line, QRectF(0, 0, 100, 30), 5), point);
    }
};

QTEST_GUILESS_MAIN(TestDeviceMapGeometry)
#include "tst_DeviceMapGeometry.moc"
