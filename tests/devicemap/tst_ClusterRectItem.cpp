#include "ClusterRectItem.h"

#include "tst_DeviceNodeItem_PaintRecorder.h"

#include <QtTest>

class TestClusterRectItem : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { setApplicationPointSize(10); }

    void draggedClusterStaysInsideScene()
    {
        QGraphicsScene scene(0, 0, 1000, 1000);
        auto* cluster = new ClusterRectItem("cluster", QRectF(0, 0, 300, 200));
        cluster->setFlags(QGraphicsItem::ItemIsMovable | QGraphicsItem::ItemSendsScenePositionChanges);
        scene.addItem(cluster);

        cluster->setPos(-50, 100);
        QCOMPARE(cluster->pos(), QPointF(0, 100));
        cluster->setPos(900, 900);
        QCOMPARE(cluster->pos(), QPointF(700, 800));
        // One wider than the scene keeps its right edge inside
        cluster->setRect(QRectF(0, 0, 1200, 200));
        cluster->setPos(-50, 100);
        QCOMPARE(cluster->pos(), QPointF(-200, 100));
    }

    void renderedWithoutWidgetOnlyLabelAndCornerAreHit()
    {
        // Given a hovered 300 by 200 cluster at (100, 100) rendered to an image, where paint gets no widget
        QGraphicsScene scene(0, 0, 1000, 1000);
        auto* cluster = new ClusterRectItem("Inputs", QRectF(0, 0, 300, 200));
        scene.addItem(cluster);
        cluster->setPos(100, 100);
        cluster->setHovered(true);
        const QImage image = renderScene(scene, QRectF(0, 0, 500, 400));

        // Then the stretch corner is filled with the application's highlight colour
        QCOMPARE(image.pixelColor(398, 298).rgb(), QApplication::palette().color(QPalette::Highlight).rgb());
        // And it reaches 2 beyond the bottom-right corner and 10 inside it
        QVERIFY(cluster->isInStretchArea(QPointF(402, 302)) && cluster->isInStretchArea(QPointF(390, 298)));
        QVERIFY(!cluster->isInStretchArea(QPointF(403, 300)) && !cluster->isInStretchArea(QPointF(389, 298)));
        // And the label and the corner are hit, the inside is not
        QVERIFY(scene.items(QPointF(102, 102)).contains(cluster));
        QVERIFY(scene.items(QPointF(398, 298)).contains(cluster));
        QVERIFY(!scene.items(QPointF(250, 200)).contains(cluster));
    }
};

QTEST_MAIN(TestClusterRectItem)
#include "tst_ClusterRectItem.moc"
