#include "DeviceNodeItem.h"

#include "tst_DeviceNodeItem_PaintRecorder.h"

#include <QGraphicsView>
#include <QtTest>

// Stands in for the map widget: it grows its scene when a node asks.
class SceneGrowingView : public QGraphicsView
{
    Q_OBJECT

public:
    Q_INVOKABLE void unitedSceneWithRect(const QRectF& rect)
    {
        requested.append(rect);
        scene()->setSceneRect(scene()->sceneRect() | rect);
    }

    QList<QRectF> requested;
};

class TestDeviceNodeItem : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init()
    {
        setApplicationPointSize(10);
        DeviceNodeItem::setGridOn(false);
        DeviceNodeItem::setGridCellSize(10);
        DeviceNodeItem::setUnplacedDevices({});
    }

    void paintsWithoutWidgetInApplicationPalette()
    {
        // Given a node rendered to an image, and one drawn by a caller whose painter has a brush
        QGraphicsScene scene(0, 0, 300, 100);
        auto* node = new DeviceNodeItem(deviceInfo("sensor", "io/adc"), QRectF(0, 0, 10, 10));
        scene.addItem(node);
        node->placeDevice(10, 10);
        QImage image = renderScene(scene, scene.sceneRect());
        QPainter painter(&image);
        painter.setBrush(Qt::red);
        node->devicePaintInAdjustedRect(&painter, QRectF(150, 20, 100, 50), nullptr);
        painter.end();

        // Then both insides are filled with the application palette's AlternateBase colour
        const QRgb fill = QApplication::palette().color(QPalette::AlternateBase).rgb();
        const QPointF inside = node->getCenter() + QPointF(0, node->boundingRect().height() / 2 - 4);
        QCOMPARE(image.pixelColor(inside.toPoint()).rgb(), fill);
        QCOMPARE(image.pixelColor(200, 64).rgb(), fill);
    }

    void movesAndGrowsTheMapScene_data()
    {
        QTest::addColumn<bool>("onMap");
        QTest::addColumn<int>("cellSize"); // 0: snapping off
        QTest::addColumn<QPointF>("proposed");
        QTest::addColumn<QPointF>("expected");
        QTest::addColumn<bool>("grows");

        // A 60 by 30 node in a scene (-500, -500, 1000, 1000).
        QTest::newRow("free, past the right edge") << true << 0 << QPointF(480, 100) << QPointF(480, 100) << true;
        QTest::newRow("snapped, centre x 135 ties down") << true << 10 << QPointF(105, 95) << QPointF(100, 95) << false;
        QTest::newRow("cell size below 1 taken as 1") << true << -5 << QPointF(100.4, 100) << QPointF(100, 100) << false;
        QTest::newRow("no map to grow") << false << 0 << QPointF(600, 100) << QPointF(600, 100) << false;
    }

    void movesAndGrowsTheMapScene()
    {
        QFETCH(bool, onMap);
        QFETCH(int, cellSize);
        QFETCH(QPointF, proposed);
        QFETCH(QPointF, expected);
        QFETCH(bool, grows);
        QGraphicsView plainView;
        SceneGrowingView mapView;
        QGraphicsView& view = onMap ? mapView : plainView;
        auto* scene = new QGraphicsScene(-500, -500, 1000, 1000, &view);
        view.setScene(scene);
        // All three texts "runtime_variable": the node keeps the size it is given
        auto* node = new DeviceNodeItem(deviceInfo("runtime_variable", "runtime_variable", "runtime_variable"),
                                        QRectF(0, 0, 60, 30));
        scene->addItem(node);
        DeviceNodeItem::setGridOn(cellSize != 0);
        DeviceNodeItem::setGridCellSize(cellSize);

        node->setPos(proposed);

        QCOMPARE(node->pos(), expected);
        QCOMPARE(mapView.requested, grows ? QList<QRectF>{QRectF(expected, QSizeF(60, 30))} : QList<QRectF>{});
        QCOMPARE(scene->sceneRect().contains(node->sceneBoundingRect()), onMap);
    }
};

QTEST_MAIN(TestDeviceNodeItem)
#include "tst_DeviceNodeItem.moc"
