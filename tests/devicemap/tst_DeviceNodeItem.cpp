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

namespace {

QStringList paintedTexts(DeviceNodeItem& node)
{
    QStringList texts;
    for (const RecordedText& text : recordPaint(&node).texts)
        texts.append(text.text);
    return texts;
}

} // namespace

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

    void sizeFollowsTexts_data()
    {
        QTest::addColumn<int>("pointSize");
        QTest::addColumn<QString>("description");
        QTest::addColumn<QString>("widestText");
        QTest::addColumn<bool>("widestIsSmall");
        QTest::addColumn<double>("pad");

        QTest::newRow("name and type") << 10 << QString() << "generator" << false << 4.0;
        QTest::newRow("long type") << 10 << QString() << "maths/signal/sine/generator/with/a/long/type" << true << 4.0;
        QTest::newRow("long description") << 10 << "A much longer description of the generator"
                                          << "A much longer description of the generator" << false << 4.0;
        QTest::newRow("large font pads more") << 30 << QString() << "generator" << false << 9.0;
    }

    void sizeFollowsTexts()
    {
        QFETCH(int, pointSize);
        QFETCH(QString, description);
        QFETCH(QString, widestText);
        QFETCH(bool, widestIsSmall);
        QFETCH(double, pad);

        setApplicationPointSize(pointSize);
        const QString type = widestIsSmall ? widestText : "maths/sine";
        const QSize size = DeviceNodeItem::getDeviceSize(deviceInfo("generator", type, description));

        QFont small = QApplication::font();
        small.setPointSizeF(pointSize * 0.7);
        const QFontMetricsF mainMetrics(QApplication::font());
        const QFontMetricsF smallMetrics(small);
        const QFontMetricsF& widestMetrics = widestIsSmall ? smallMetrics : mainMetrics;
        QCOMPARE(size.width(), int(widestMetrics.horizontalAdvance(widestText) + pad));
        QCOMPARE(size.height(), int(2 * smallMetrics.height() + mainMetrics.height()));
    }

    void runtimeVariableIsOneAndAHalfLinesAndShowsNoSmallLines()
    {
        DeviceNodeItem node(deviceInfo("counter", "runtime_variable", "counter value"), QRectF(0, 0, 10, 10));
        QCOMPARE(node.boundingRect().height(), double(int(1.5 * QFontMetricsF(QApplication::font()).height())));

        node.setHovered(true);
        QCOMPARE(paintedTexts(node), QStringList{"counter value"});
    }

    void hoverShowsNameAndType_data()
    {
        QTest::addColumn<QString>("description");
        QTest::addColumn<bool>("hovered");
        QTest::addColumn<QStringList>("texts");
        QTest::newRow("no description, hovered") << QString() << true << QStringList{"sensor", "io/adc"};
        QTest::newRow("description") << "Tank level" << false << QStringList{"Tank level"};
        QTest::newRow("description, hovered") << "Tank level" << true << QStringList{"Tank level", "sensor", "io/adc"};
    }

    void hoverShowsNameAndType()
    {
        QFETCH(QString, description);
        QFETCH(bool, hovered);
        QFETCH(QStringList, texts);
        DeviceNodeItem node(deviceInfo("sensor", "io/adc", description), QRectF(0, 0, 10, 10));
        node.setHovered(hovered);

        QCOMPARE(paintedTexts(node), texts);
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

    void resizesOnlyBeyondOneUnitAboutItsCentre_data()
    {
        QTest::addColumn<double>("widthOffset");
        QTest::addColumn<bool>("resized");
        QTest::newRow("exactly 1 wider") << 1.0 << false;
        QTest::newRow("exactly 1 narrower") << -1.0 << false;
        QTest::newRow("2 wider") << 2.0 << true;
    }

    void resizesOnlyBeyondOneUnitAboutItsCentre()
    {
        QFETCH(double, widthOffset);
        QFETCH(bool, resized);
        const DeviceInfo info = deviceInfo("sensor", "io/adc");
        const QSize size = DeviceNodeItem::getDeviceSize(info);
        DeviceNodeItem node(info, QRectF(0, 0, size.width() + widthOffset, size.height()));

        QCOMPARE(node.boundingRect().width(), resized ? double(size.width()) : size.width() + widthOffset);
        QCOMPARE(node.getCenter(), QPointF((size.width() + widthOffset) / 2, size.height() / 2.0));
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
        QTest::newRow("snapped (104, 96)") << true << 10 << QPointF(104, 96) << QPointF(100, 95) << false;
        QTest::newRow("snapped, centre x 135 ties down") << true << 10 << QPointF(105, 95) << QPointF(100, 95) << false;
        QTest::newRow("snapped, centre x 136 goes up") << true << 10 << QPointF(106, 95) << QPointF(110, 95) << false;
        QTest::newRow("snapped, negative centre to zero") << true << 10 << QPointF(-44, 95) << QPointF(-40, 95) << false;
        QTest::newRow("snapped, past the right edge") << true << 10 << QPointF(484, 96) << QPointF(480, 95) << true;
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

    void unplacedBookkeeping()
    {
        QGraphicsScene scene(0, 0, 1000, 1000);
        auto* node = new DeviceNodeItem(deviceInfo("pump", "io/relay"), QRectF(0, 0, 10, 10));
        scene.addItem(node);
        node->placeDevice(200, 150);
        DeviceNodeItem::setUnplacedDevices({"other"});

        // Unplaced twice, it is listed once, at the front, hidden where it was
        node->unplaceDevice();
        node->unplaceDevice();
        QCOMPARE(DeviceNodeItem::getUnplacedDevices(), (QStringList{"pump", "other"}));
        QVERIFY(node->isUnplaced());
        QVERIFY(!node->isVisible());
        QCOMPARE(node->pos(), QPointF(200, 150));

        // Placing it takes it off the list and shows it
        node->setCenter(QPointF(500, 500));
        QCOMPARE(DeviceNodeItem::getUnplacedDevices(), QStringList{"other"});
        QVERIFY(node->isVisible());
        QCOMPARE(node->getCenter(), QPointF(500, 500));
    }
};

QTEST_MAIN(TestDeviceNodeItem)
#include "tst_DeviceNodeItem.moc"
