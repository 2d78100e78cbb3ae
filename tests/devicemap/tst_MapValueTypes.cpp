#include "DevicesArrangement.h"
#include "ItemsConnection.h"

#include <QtTest>

Q_DECLARE_METATYPE(ItemsConnection)

class TestMapValueTypes : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void connectionEquality_data()
    {
        QTest::addColumn<ItemsConnection>("left");
        QTest::addColumn<ItemsConnection>("right");
        QTest::addColumn<bool>("equal");

        const ItemsConnection base{"a", "b", {QPointF(0, 0)}};
        QTest::newRow("bends within 1e-12") << base << ItemsConnection{"a", "b", {QPointF(0, 1e-13)}} << true;
        QTest::newRow("bends apart") << base << ItemsConnection{"a", "b", {QPointF(0, 1e-3)}} << false;
        QTest::newRow("other source") << base << ItemsConnection{"c", "b", {QPointF(0, 0)}} << false;
        QTest::newRow("other target") << base << ItemsConnection{"a", "c", {QPointF(0, 0)}} << false;
        QTest::newRow("one bend more") << base << ItemsConnection{"a", "b", {QPointF(0, 0), QPointF(1, 1)}} << false;
        QTest::newRow("bends reversed") << ItemsConnection{"a", "b", {QPointF(0, 0), QPointF(5, 5)}}
                                        << ItemsConnection{"a", "b", {QPointF(5, 5), QPointF(0, 0)}} << false;
        QTest::newRow("both straight") << ItemsConnection{"a", "b", {}} << ItemsConnection{"a", "b", {}} << true;
    }

    void connectionEquality()
    {
        QFETCH(ItemsConnection, left);
        QFETCH(ItemsConnection, right);
        QFETCH(bool, equal);

        QCOMPARE(left == right, equal);
        QCOMPARE(right == left, equal);
        QCOMPARE(left != right, !equal);
    }

    void defaultArrangementIsEmptyAtOrigin()
    {
        const DevicesArrangement arrangement;

        QVERIFY(arrangement.isEmpty());
        QCOMPARE(arrangement.boundingRect, QRectF(0, 0, 0, 0));
        QCOMPARE(arrangement.devicesRect, QRectF(0, 0, 0, 0));
        QCOMPARE(arrangement.clustersRect, QRectF(0, 0, 0, 0));
        QCOMPARE(arrangement.center, QPointF(0, 0));
    }

    void clustersAloneDoNotMakeAnArrangement()
    {
        DevicesArrangement arrangement;
        arrangement.clusterRects.insert("cluster", QRectF(0, 0, 100, 100));
        QVERIFY(arrangement.isEmpty());

        arrangement.connections.append({"a", "b", {}});
        QVERIFY(!arrangement.isEmpty());
    }

    void singleDeviceBoundsAndCenter()
    {
        DevicesArrangement arrangement;
        arrangement.deviceRects.insert("dev", QRectF(10, 20, 100, 30));

        arrangement.recalculateBounds();

        QVERIFY(!arrangement.isEmpty());
        QCOMPARE(arrangement.devicesRect, QRectF(10, 20, 100, 30));
        QCOMPARE(arrangement.center, QPointF(60, 35));
        QCOMPARE(arrangement.boundingRect, arrangement.devicesRect);
        QCOMPARE(arrangement.clustersRect, QRectF());
    }

    void unionsDoNotPullInTheOrigin()
    {
        // Given two devices and a cluster far from the origin
        DevicesArrangement arrangement;
        arrangement.deviceRects.insert("a", QRectF(100, 100, 50, 20));
        arrangement.deviceRects.insert("b", QRectF(300, 200, 50, 20));
        arrangement.clusterRects.insert("c", QRectF(90, 90, 100, 300));

        // When the bounds are computed
        arrangement.recalculateBounds();

        // Then the unions start at the rectangles, and the centre is the mean of the device centres
        QCOMPARE(arrangement.devicesRect, QRectF(100, 100, 250, 120));
        QCOMPARE(arrangement.clustersRect, QRectF(90, 90, 100, 300));
        QCOMPARE(arrangement.boundingRect, QRectF(90, 90, 260, 300));
        QCOMPARE(arrangement.center, QPointF(225, 160));
    }
};

QTEST_GUILESS_MAIN(TestMapValueTypes)
#include "tst_MapValueTypes.moc"
