#include "ClusterRectItem.h"
#include "DeviceNodeItem.h"

#include <QApplication>
#include <QGraphicsScene>
#include <QGraphicsSceneMouseEvent>
#include <QGraphicsView>
#include <QImage>
#include <QPainter>
#include <QStyleOptionGraphicsItem>
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

void click(QGraphicsScene& scene, QGraphicsItem* item, Qt::KeyboardModifiers modifiers)
{
    sendMouse(scene, item, QEvent::GraphicsSceneMousePress, modifiers);
    sendMouse(scene, item, QEvent::GraphicsSceneMouseRelease, modifiers);
}

void renderScene(QGraphicsScene& scene)
{
    QImage image(scene.sceneRect().size().toSize(), QImage::Format_ARGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    scene.render(&painter);
}

} // namespace

class TestClusterRectItem : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase()
    {
        QFont font = QApplication::font();
        font.setPointSize(10);
        QApplication::setFont(font);
    }

    void clickKeepsOrTogglesSelection_data()
    {
        QTest::addColumn<bool>("node");
        QTest::addColumn<bool>("selectedBefore");
        QTest::addColumn<int>("modifiers");
        QTest::addColumn<bool>("selectedAfter");

        for (bool node : {false, true}) {
            const char* kind = node ? "node" : "cluster";
            QTest::addRow("%s: plain click on unselected", kind) << node << false << int(Qt::NoModifier) << false;
            QTest::addRow("%s: plain click on selected", kind) << node << true << int(Qt::NoModifier) << true;
            QTest::addRow("%s: Control click on unselected", kind) << node << false << int(Qt::ControlModifier) << true;
            QTest::addRow("%s: Control click on selected", kind) << node << true << int(Qt::ControlModifier) << false;
            QTest::addRow("%s: Control+Shift keeps unselected", kind)
                << node << false << int(Qt::ControlModifier | Qt::ShiftModifier) << false;
            QTest::addRow("%s: Control+Shift keeps selected", kind)
                << node << true << int(Qt::ControlModifier | Qt::ShiftModifier) << true;
        }
    }

    void clickKeepsOrTogglesSelection()
    {
        QFETCH(bool, node);
        QFETCH(bool, selectedBefore);
        QFETCH(int, modifiers);
        QFETCH(bool, selectedAfter);

        QGraphicsScene scene(0, 0, 1000, 1000);
        HoverableItem* item = nullptr;
        if (node) {
            DeviceInfo info;
            info.name = "dev";
            info.type = "type";
            item = new DeviceNodeItem(info, QRectF(0, 0, 100, 40));
        } else {
            item = new ClusterRectItem("cluster", QRectF(0, 0, 300, 200));
            item->setFlags(QGraphicsItem::ItemIsSelectable | QGraphicsItem::ItemIsMovable);
        }
        scene.addItem(item);
        item->setPos(100, 100);
        item->setSelected(selectedBefore);

        click(scene, item, Qt::KeyboardModifiers(modifiers));

        QCOMPARE(item->isSelected(), selectedAfter);
    }

    void stretchAreaCoversTheCornerWithMargin_data()
    {
        QTest::addColumn<QPointF>("point");
        QTest::addColumn<bool>("inside");

        // A 300 by 200 cluster at (50, 60): its bottom-right corner is (350, 260).
        QTest::newRow("corner") << QPointF(350, 260) << true;
        QTest::newRow("2 outside the corner") << QPointF(352, 262) << true;
        QTest::newRow("3 outside the corner") << QPointF(353, 260) << false;
        QTest::newRow("10 left of the right edge") << QPointF(340, 258) << true;
        QTest::newRow("11 left of the right edge") << QPointF(339, 258) << false;
        QTest::newRow("top-left corner") << QPointF(50, 60) << false;
    }

    void stretchAreaCoversTheCornerWithMargin()
    {
        QFETCH(QPointF, point);
        QFETCH(bool, inside);

        ClusterRectItem cluster("cluster", QRectF(0, 0, 300, 200));
        cluster.setPos(50, 60);

        QCOMPARE(cluster.getStretchSideLength(), 8);
        QCOMPARE(cluster.isInStretchArea(point), inside);
    }

    void draggedClusterStaysInsideScene_data()
    {
        QTest::addColumn<QRectF>("clusterRect");
        QTest::addColumn<QPointF>("proposed");
        QTest::addColumn<QPointF>("expected");

        QTest::newRow("inside") << QRectF(0, 0, 300, 200) << QPointF(100, 100) << QPointF(100, 100);
        QTest::newRow("past the left edge") << QRectF(0, 0, 300, 200) << QPointF(-50, 100) << QPointF(0, 100);
        QTest::newRow("past the bottom-right") << QRectF(0, 0, 300, 200) << QPointF(900, 900) << QPointF(700, 800);
        QTest::newRow("wider than the scene") << QRectF(0, 0, 1200, 200) << QPointF(-50, 100) << QPointF(-200, 100);
        QTest::newRow("taller than the scene") << QRectF(0, 0, 100, 1100) << QPointF(10, 30) << QPointF(10, -100);
    }

    void draggedClusterStaysInsideScene()
    {
        QFETCH(QRectF, clusterRect);
        QFETCH(QPointF, proposed);
        QFETCH(QPointF, expected);

        QGraphicsScene scene(0, 0, 1000, 1000);
        auto* cluster = new ClusterRectItem("cluster", clusterRect);
        // As the map makes its clusters
        cluster->setFlags(QGraphicsItem::ItemIsMovable | QGraphicsItem::ItemSendsScenePositionChanges);
        scene.addItem(cluster);

        cluster->setPos(proposed);

        QCOMPARE(cluster->pos(), expected);
    }

    void clusterWithoutSceneMovesFreely()
    {
        ClusterRectItem cluster("cluster", QRectF(0, 0, 300, 200));
        cluster.setFlags(QGraphicsItem::ItemIsMovable | QGraphicsItem::ItemSendsScenePositionChanges);
        cluster.setPos(-500, -500);
        QCOMPARE(cluster.pos(), QPointF(-500, -500));
    }

    void onlyLabelAndStretchCornerAreHit()
    {
        // Given a painted cluster
        QGraphicsScene scene(0, 0, 1000, 1000);
        auto* cluster = new ClusterRectItem("Inputs", QRectF(0, 0, 300, 200));
        scene.addItem(cluster);
        cluster->setPos(100, 100);
        QVERIFY(cluster->shape().isEmpty());
        renderScene(scene);

        // Then the label and the corner are hit, the inside is not
        QVERIFY(scene.items(QPointF(102, 102)).contains(cluster));
        QVERIFY(scene.items(QPointF(398, 298)).contains(cluster));
        QVERIFY(!scene.items(QPointF(250, 200)).contains(cluster));
    }

    void labelFitsTheNameInTheViewFont()
    {
        QGraphicsScene scene(0, 0, 1000, 1000);
        QGraphicsView view(&scene);
        QFont viewFont = view.font();
        viewFont.setPointSize(14);
        view.setFont(viewFont);
        auto* cluster = new ClusterRectItem("Outputs", QRectF(0, 0, 300, 200));
        scene.addItem(cluster);

        QImage image(200, 200, QImage::Format_ARGB32);
        QPainter painter(&image);
        QStyleOptionGraphicsItem option;
        cluster->paint(&painter, &option, view.viewport());

        const QFontMetricsF metrics(view.viewport()->font());
        QCOMPARE(cluster->getLabelRect().width(), metrics.horizontalAdvance("Outputs") + 4.0);
        QCOMPARE(cluster->getLabelRect().height(), metrics.height());
    }

    void paintsWithoutWidgetInApplicationPalette()
    {
        // Given a hovered cluster rendered to an image, where paint gets no widget
        QGraphicsScene scene(0, 0, 400, 300);
        scene.setBackgroundBrush(Qt::white);
        auto* cluster = new ClusterRectItem("Cluster", QRectF(0, 0, 300, 200));
        scene.addItem(cluster);
        cluster->setPos(10, 10);
        cluster->setHovered(true);

        QImage image(400, 300, QImage::Format_ARGB32);
        image.fill(Qt::white);
        QPainter painter(&image);
        scene.render(&painter, QRectF(0, 0, 400, 300), QRectF(0, 0, 400, 300));
        painter.end();

        // Then the stretch corner is filled with the application's highlight colour
        const QColor highlight = QApplication::palette().color(QPalette::Highlight);
        QCOMPARE(image.pixelColor(308, 208).rgb(), highlight.rgb());
        QVERIFY(!cluster->getLabelRect().isEmpty());
    }
};

QTEST_MAIN(TestClusterRectItem)
#include "tst_ClusterRectItem.moc"
