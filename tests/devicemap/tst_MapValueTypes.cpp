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
        QTest::addColumn<ItemsConnection>("right");
        QTest::addColumn<bool>("equal");

        // Compared with a link from "a" to "b" bent at (0, 0) and (5, 5).
        QTest::newRow("bends within 1e-12") << ItemsConnection{"a", "b", {QPointF(0, 1e-13), QPointF(5, 5)}} << true;
        QTest::newRow("bends apart") << ItemsConnection{"a", "b", {QPointF(0, 1e-3), QPointF(5, 5)}} << false;
        QTest::newRow("bends reversed") << ItemsConnection{"a", "b", {QPointF(5, 5), QPointF(0, 0)}} << false;
        QTest::newRow("one bend less") << ItemsConnection{"a", "b", {QPointF(0, 0)}} << false;
        QTest::newRow("other source") << ItemsConnection{"c", "b", {QPointF(0, 0), QPointF(5, 5)}} << false;
        QTest::newRow("other target") << ItemsConnection{"a", "c", {QPointF(0, 0), QPointF(5, 5)}} << false;
    }

    void connectionEquality()
    {
        QFETCH(ItemsConnection, right);
        QFETCH(bool, equal);

        const ItemsConnection left{"a", "b", {QPointF(0, 0), QPointF(5, 5)}};
        QCOMPARE(left == right, equal);
        QCOMPARE(right == left, equal);
    }

    void onlyDevicesOrConnectionsMakeAnArrangement()
    {
        DevicesArrangement arrangement;
        arrangement.clusterRects.insert("cluster", QRectF(0, 0, 100, 100));
        QVERIFY(arrangement.isEmpty());
        arrangement.connections.append({"a", "b", {}});
        QVERIFY(!arrangement.isEmpty());
    }

    void boundsUniteRectanglesWithoutTheOrigin_data()
    {
        QTest::addColumn<QList<QRectF>>("devices");
        QTest::addColumn<QList<QRectF>>("clusters");
        QTest::addColumn<QRectF>("devicesRect");
        QTest::addColumn<QRectF>("boundingRect");
        QTest::addColumn<QPointF>("center");

        QTest::newRow("one device") << QList<QRectF>{QRectF(10, 20, 100, 30)} << QList<QRectF>{}
                                    << QRectF(10, 20, 100, 30) << QRectF(10, 20, 100, 30) << QPointF(60, 35);
        QTest::newRow("two devices and a cluster")
            << QList<QRectF>{QRectF(100, 100, 50, 20), QRectF(300, 200, 50, 20)}
            << QList<QRectF>{QRectF(90, 90, 100, 300)} << QRectF(100, 100, 250, 120) << QRectF(90, 90, 260, 300)
            << QPointF(225, 160);
    }

    void boundsUniteRectanglesWithoutTheOrigin()
    {
        QFETCH(QList<QRectF>, devices);
        QFETCH(QList<QRectF>, clusters);
        QFETCH(QRectF, devicesRect);
        QFETCH(QRectF, boundingRect);
        QFETCH(QPointF, center);

        DevicesArrangement arrangement;
        for (int i = 0; i < devices.size(); ++i)
            arrangement.deviceRects.insert(QString::number(i), devices.at(i));
        for (int i = 0; i < clusters.size(); ++i)
            arrangement.clusterRects.insert(QString::number(i), clusters.at(i));

        arrangement.recalculateBounds();

        QCOMPARE(arrangement.devicesRect, devicesRect);
        QCOMPARE(arrangement.boundingRect, boundingRect);
        QCOMPARE(arrangement.center, center);
    }
};

QTEST_GUILESS_MAIN(TestMapValueTypes)
#include "tst_MapValueTypes.moc"
