#include "DeviceNodeItem.h"

#include "tst_DeviceNodeItem_PaintRecorder.h"

#include <QApplication>
#include <QGraphicsScene>
#include <QGraphicsView>
#include <QPainter>
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

DeviceInfo deviceInfo(const QString& name, const QString& type, const QString& description = QString())
{
    DeviceInfo info;
    info.name = name;
    info.type = type;
    info.description = description;
    return info;
}

// A node that keeps the size it is given: all three texts "runtime_variable".
DeviceNodeItem* fixedSizeNode(double width, double height)
{
    const QString rv = "runtime_variable";
    return new DeviceNodeItem(deviceInfo(rv, rv, rv), QRectF(0, 0, width, height));
}

QStringList paintedTexts(DeviceNodeItem& node)
{
    RecordingPaintDevice device;
    QPainter painter(&device);
    node.paint(&painter, nullptr, nullptr);
    painter.end();
    QStringList texts;
    for (const RecordedText& text : device.engine.texts)
        texts.append(text.text);
    return texts;
}

} // namespace

class TestDeviceNodeItem : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase()
    {
        QFont font = QApplication::font();
        font.setPointSize(10);
        QApplication::setFont(font);
    }

    void init()
    {
        DeviceNodeItem::setGridOn(false);
        DeviceNodeItem::setGridCellSize(10);
        DeviceNodeItem::setUnplacedDevices({});
    }

    void sizeFollowsTexts()
    {
        const QFont font = QApplication::font();
        QFont small = font;
        small.setPointSizeF(font.pointSizeF() * 0.7);
        const QFontMetricsF main(font);
        const QFontMetricsF smallMetrics(small);
        const double pad = 4.0; // 0.3 x 10 pt is below the minimum

        const QSize plain = DeviceNodeItem::getDeviceSize(deviceInfo("generator", "maths/sine"));
        QCOMPARE(plain.width(), int(std::max(smallMetrics.horizontalAdvance("maths/sine"),
                                             main.horizontalAdvance("generator")) + pad));
        QCOMPARE(plain.height(), int(2 * smallMetrics.height() + main.height()));

        const QString longDescription = "A much longer description of the generator";
        const QSize described = DeviceNodeItem::getDeviceSize(deviceInfo("generator", "maths/sine", longDescription));
        QCOMPARE(described.width(), int(main.horizontalAdvance(longDescription) + pad));
        QVERIFY(described.width() > plain.width());
    }

    void paddingGrowsWithLargeFonts()
    {
        QFont font = QApplication::font();
        font.setPointSize(30);
        QApplication::setFont(font);
        const QSize size = DeviceNodeItem::getDeviceSize(deviceInfo("x", ""));
        const double expected = QFontMetricsF(font).horizontalAdvance("x") + 9.0;
        font.setPointSize(10);
        QApplication::setFont(font);

        QCOMPARE(size.width(), int(expected));
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

        QTest::newRow("no description") << QString() << false << QStringList{"sensor"};
        QTest::newRow("no description, hovered") << QString() << true << QStringList{"sensor", "io/adc"};
        QTest::newRow("description") << "Tank level" << false << QStringList{"Tank level"};
        QTest::newRow("description, hovered") << "Tank level" << true
                                              << QStringList{"Tank level", "sensor", "io/adc"};
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

    void paintsIntoImageWithoutWidget()
    {
        // Given a node rendered to an image, where paint gets no widget
        QGraphicsScene scene(0, 0, 300, 100);
        auto* node = new DeviceNodeItem(deviceInfo("sensor", "io/adc"), QRectF(0, 0, 10, 10));
        scene.addItem(node);
        node->placeDevice(10, 10);
        QImage image(300, 100, QImage::Format_ARGB32);
        image.fill(Qt::white);
        QPainter painter(&image);
        scene.render(&painter, QRectF(0, 0, 300, 100), QRectF(0, 0, 300, 100));
        painter.end();

        // Then its inside is filled with the application palette's AlternateBase colour
        const QPointF inside = node->getCenter() + QPointF(0, node->boundingRect().height() / 2 - 4);
        QCOMPARE(image.pixelColor(inside.toPoint()).rgb(),
                 QApplication::palette().color(QPalette::AlternateBase).rgb());
    }

    void drawsIntoAnyRectangleWithTheCallersPainter()
    {
        // Given a painter that the caller left with a brush
        DeviceNodeItem node(deviceInfo("sensor", "io/adc"), QRectF(0, 0, 10, 10));
        QImage image(300, 100, QImage::Format_ARGB32);
        image.fill(Qt::white);
        QPainter painter(&image);
        painter.setBrush(Qt::red);

        // When the node is drawn outside the scene's painting
        node.devicePaintInAdjustedRect(&painter, QRectF(20, 20, 100, 50), nullptr);
        painter.end();

        // Then its inside keeps the palette's fill
        QCOMPARE(image.pixelColor(70, 64).rgb(), QApplication::palette().color(QPalette::AlternateBase).rgb());
    }

    void resizesOnlyBeyondOneUnitAboutItsCentre_data()
    {
        QTest::addColumn<double>("widthOffset");
        QTest::addColumn<bool>("resized");

        QTest::newRow("exactly 1 wider") << 1.0 << false;
        QTest::newRow("exactly 1 narrower") << -1.0 << false;
        QTest::newRow("2 wider") << 2.0 << true;
        QTest::newRow("2 narrower") << -2.0 << true;
    }

    void resizesOnlyBeyondOneUnitAboutItsCentre()
    {
        QFETCH(double, widthOffset);
        QFETCH(bool, resized);

        // Given a node made off its texts' width by widthOffset, centred at half that size
        const DeviceInfo info = deviceInfo("sensor", "io/adc");
        const QSize size = DeviceNodeItem::getDeviceSize(info);
        DeviceNodeItem node(info, QRectF(0, 0, size.width() + widthOffset, size.height()));

        // Then it took the texts' width only beyond 1 unit, and kept its centre
        QCOMPARE(node.boundingRect().width(), resized ? double(size.width()) : size.width() + widthOffset);
        QCOMPARE(node.getCenter(), QPointF((size.width() + widthOffset) / 2, size.height() / 2.0));
    }

    void snapsCentreToGrid_data()
    {
        QTest::addColumn<QPointF>("proposed");
        QTest::addColumn<QPointF>("expected");

        // A 60 by 30 node on a 10-unit grid.
        QTest::newRow("(104, 96)") << QPointF(104, 96) << QPointF(100, 95);
        QTest::newRow("centre x 135 ties down") << QPointF(105, 95) << QPointF(100, 95);
        QTest::newRow("centre x 136 goes up") << QPointF(106, 95) << QPointF(110, 95);
        QTest::newRow("negative centre moves towards zero") << QPointF(-44, 95) << QPointF(-40, 95);
    }

    void snapsCentreToGrid()
    {
        QFETCH(QPointF, proposed);
        QFETCH(QPointF, expected);

        QGraphicsScene scene(-1000, -1000, 2000, 2000);
        DeviceNodeItem* node = fixedSizeNode(60, 30);
        scene.addItem(node);
        DeviceNodeItem::setGridOn(true);

        node->setPos(proposed);

        QCOMPARE(node->pos(), expected);
    }

    void movesFreelyWithoutGridAndGrowsMapScene()
    {
        // Given a map whose scene ends at x = 500
        SceneGrowingView view;
        auto* scene = new QGraphicsScene(0, 0, 500, 500, &view);
        view.setScene(scene);
        DeviceNodeItem* node = fixedSizeNode(60, 30);
        scene->addItem(node);

        // When the node is moved inside, then past the right edge
        node->setPos(103.5, 96.25);
        QCOMPARE(node->pos(), QPointF(103.5, 96.25));
        QVERIFY(view.requested.isEmpty());
        node->setPos(480, 100);

        // Then it lands where proposed and the map grows its scene to hold it
        QCOMPARE(node->pos(), QPointF(480, 100));
        QCOMPARE(view.requested, QList<QRectF>{QRectF(480, 100, 60, 30)});
        QVERIFY(scene->sceneRect().contains(node->sceneBoundingRect()));
    }

    void snappedNodeGrowsMapSceneToo()
    {
        SceneGrowingView view;
        auto* scene = new QGraphicsScene(0, 0, 500, 500, &view);
        view.setScene(scene);
        DeviceNodeItem* node = fixedSizeNode(60, 30);
        scene->addItem(node);
        DeviceNodeItem::setGridOn(true);

        node->setPos(484, 96);

        QCOMPARE(node->pos(), QPointF(480, 95));
        QCOMPARE(view.requested, QList<QRectF>{QRectF(480, 95, 60, 30)});
    }

    void sceneWithoutMapIsLeftAlone()
    {
        QGraphicsView plainView;
        auto* scene = new QGraphicsScene(0, 0, 100, 100, &plainView);
        DeviceNodeItem* node = fixedSizeNode(60, 30);
        scene->addItem(node);

        node->setPos(300, 300);

        QCOMPARE(node->pos(), QPointF(300, 300));
        QCOMPARE(scene->sceneRect(), QRectF(0, 0, 100, 100));
    }

    void gridCellSizeIsAtLeastOne_data()
    {
        QTest::addColumn<int>("requested");
        QTest::addColumn<int>("stored");

        QTest::newRow("zero") << 0 << 1;
        QTest::newRow("negative") << -5 << 1;
        QTest::newRow("one") << 1 << 1;
        QTest::newRow("twenty") << 20 << 20;
    }

    void gridCellSizeIsAtLeastOne()
    {
        QFETCH(int, requested);
        QFETCH(int, stored);

        DeviceNodeItem::setGridCellSize(requested);
        QCOMPARE(DeviceNodeItem::getGridCellSize(), stored);

        // Snapping with the smallest cell does not divide by zero
        QGraphicsScene scene(0, 0, 1000, 1000);
        DeviceNodeItem* node = fixedSizeNode(60, 30);
        scene.addItem(node);
        DeviceNodeItem::setGridOn(true);
        node->setPos(100, 100);
        QCOMPARE((int(node->pos().x()) + 30) % stored, 0);
    }

    void unplacedBookkeeping()
    {
        // Given a placed node
        QGraphicsScene scene(0, 0, 1000, 1000);
        auto* node = new DeviceNodeItem(deviceInfo("pump", "io/relay"), QRectF(0, 0, 10, 10));
        scene.addItem(node);
        node->placeDevice(200, 150);
        DeviceNodeItem::setUnplacedDevices({"other"});

        // When it is unplaced twice
        node->unplaceDevice();
        node->unplaceDevice();

        // Then it is listed once, at the front, hidden where it was
        QCOMPARE(DeviceNodeItem::getUnplacedDevices(), (QStringList{"pump", "other"}));
        QVERIFY(node->isUnplaced());
        QVERIFY(!node->isVisible());
        QCOMPARE(node->pos(), QPointF(200, 150));

        // And placing it takes it off the list and shows it
        node->setCenter(QPointF(500, 500));
        QCOMPARE(DeviceNodeItem::getUnplacedDevices(), QStringList{"other"});
        QVERIFY(!node->isUnplaced());
        QVERIFY(node->isVisible());
        QCOMPARE(node->getCenter(), QPointF(500, 500));
    }

    void anchorKeepsItsSize()
    {
        DeviceNodeItem anchor(DeviceInfo(), QRectF(0, 0, 1, 1));
        QVERIFY(anchor.isAnchor());
        QCOMPARE(anchor.boundingRect(), QRectF(0, 0, 1, 1));
        QVERIFY(paintedTexts(anchor).isEmpty() || paintedTexts(anchor) == QStringList{QString()});
        QCOMPARE(anchor.boundingRect(), QRectF(0, 0, 1, 1));
    }
};

QTEST_MAIN(TestDeviceNodeItem)
#include "tst_DeviceNodeItem.moc"
