#include "ClusterRectItem.h"
#include "DeviceNodeItem.h"

#include "tst_DeviceNodeItem_PaintRecorder.h"

#include <QGraphicsSceneMouseEvent>
#include <QtTest>

namespace {

void sendMouse(QGraphicsScene& scene, QGraphicsItem* item, QEvent::Type type, Qt::KeyboardModifiers modifiers)
{
    QGraphicsSceneMouseEvent event(type);
    event.setButton(Qt::LeftButton);
    event.setButtons(type == QEvent::GraphicsSceneMousePress ? Qt::LeftButton : Qt::NoButton);
    event.setModifiers(modifiers);
    event.setScenePos(item->sceneBoundingRect().topLeft() + QPointF(2, 2));
    event.setPos(item->mapFromScene(event.scenePos()));
    event.setButtonDownScenePos(Qt::LeftButton, event.scenePos());
    event.setButtonDownPos(Qt::LeftButton, event.pos());
    scene.sendEvent(item, &event);
}

} // namespace

class TestClusterRectItem : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { setApplicationPointSize(10); }

    void clickKeepsOrTogglesSelection_data()
    {
        QTest::addColumn<bool>("node");
        QTest::addColumn<bool>("selectedBefore");
        QTest::addColumn<int>("modifiers");

        const int controlShift = int(Qt::ControlModifier | Qt::ShiftModifier);
        for (bool node : {false, true}) {
            for (bool selected : {false, true}) {
                const char* kind = node ? "node" : "cluster";
                const char* state = selected ? "selected" : "unselected";
                QTest::addRow("%s, %s, plain", kind, state) << node << selected << int(Qt::NoModifier);
                QTest::addRow("%s, %s, Control", kind, state) << node << selected << int(Qt::ControlModifier);
                QTest::addRow("%s, %s, Control+Shift", kind, state) << node << selected << controlShift;
            }
        }
    }

    void clickKeepsOrTogglesSelection()
    {
        QFETCH(bool, node);
        QFETCH(bool, selectedBefore);
        QFETCH(int, modifiers);

        QGraphicsScene scene(0, 0, 1000, 1000);
        HoverableItem* item = node ? static_cast<HoverableItem*>(new DeviceNodeItem(deviceInfo("dev", "type"), {0, 0, 100, 40}))
                                   : new ClusterRectItem("cluster", QRectF(0, 0, 300, 200));
        item->setFlags(item->flags() | QGraphicsItem::ItemIsSelectable | QGraphicsItem::ItemIsMovable);
        scene.addItem(item);
        item->setPos(100, 100);
        item->setSelected(selectedBefore);

        sendMouse(scene, item, QEvent::GraphicsSceneMousePress, Qt::KeyboardModifiers(modifiers));
        sendMouse(scene, item, QEvent::GraphicsSceneMouseRelease, Qt::KeyboardModifiers(modifiers));

        // Only Control alone inverts; anything else leaves the selection as before the press
        QCOMPARE(item->isSelected(), modifiers == Qt::ControlModifier ? !selectedBefore : selectedBefore);
    }

    void draggedClusterStaysInsideScene_data()
    {
        QTest::addColumn<QSizeF>("size");
        QTest::addColumn<QPointF>("proposed");
        QTest::addColumn<QPointF>("expected");

        // The scene is (0, 0, 1000, 1000).
        QTest::newRow("inside") << QSizeF(300, 200) << QPointF(100, 100) << QPointF(100, 100);
        QTest::newRow("past the left edge") << QSizeF(300, 200) << QPointF(-50, 100) << QPointF(0, 100);
        QTest::newRow("past the bottom-right") << QSizeF(300, 200) << QPointF(900, 900) << QPointF(700, 800);
        QTest::newRow("wider than the scene") << QSizeF(1200, 200) << QPointF(-50, 100) << QPointF(-200, 100);
    }

    void draggedClusterStaysInsideScene()
    {
        QFETCH(QSizeF, size);
        QFETCH(QPointF, proposed);
        QFETCH(QPointF, expected);

        QGraphicsScene scene(0, 0, 1000, 1000);
        auto* cluster = new ClusterRectItem("cluster", QRectF(QPointF(), size));
        cluster->setFlags(QGraphicsItem::ItemIsMovable | QGraphicsItem::ItemSendsScenePositionChanges);
        scene.addItem(cluster);

        cluster->setPos(proposed);

        QCOMPARE(cluster->pos(), expected);
    }

    void renderedWithoutWidgetOnlyLabelAndCornerAreHit()
    {
        // Given a hovered 300 by 200 cluster at (100, 100) rendered to an image, where paint gets no widget
        QGraphicsScene scene(0, 0, 1000, 1000);
        auto* cluster = new ClusterRectItem("Inputs", QRectF(0, 0, 300, 200));
        scene.addItem(cluster);
        cluster->setPos(100, 100);
        cluster->setHovered(true);
        QVERIFY(cluster->shape().isEmpty());
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
