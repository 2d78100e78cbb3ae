#include "DeviceConnectionItem.h"
#include "DeviceNodeItem.h"

#include "tst_DeviceNodeItem_PaintRecorder.h"
#include "TestSupport.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QGraphicsScene>
#include <QPainter>
#include <QtTest>

#include <cmath>

namespace {

struct PaintedLink
{
    QList<RecordedPath> linePaths; // stroked without a brush: the line and its activity overlay
    QPainterPath headPath;
    bool drewAnything = false;
};

PaintedLink paintLink(DeviceConnectionItem* link)
{
    RecordingPaintDevice device;
    QPainter painter(&device);
    link->paint(&painter, nullptr, nullptr);
    painter.end();

    PaintedLink painted;
    painted.drewAnything = !device.engine.paths.isEmpty() || !device.engine.points.isEmpty();
    for (const RecordedPath& recorded : device.engine.paths) {
        if (recorded.brush.style() == Qt::NoBrush && recorded.path.elementCount() >= 2
            && recorded.pen.widthF() > 1.0)
            painted.linePaths.append(recorded);
        else if (recorded.brush.color() == Qt::black)
            painted.headPath = recorded.path;
    }
    return painted;
}

QPointF lastPoint(const QPainterPath& path)
{
    const QPainterPath::Element element = path.elementAt(path.elementCount() - 1);
    return QPointF(element.x, element.y);
}

QPointF pointAt(const QPainterPath& path, int index)
{
    const QPainterPath::Element element = path.elementAt(index);
    return QPointF(element.x, element.y);
}

double distance(const QPointF& a, const QPointF& b)
{
    return QLineF(a, b).length();
}

void setFontPointSize(int pointSize)
{
    QFont font = QApplication::font();
    font.setPointSize(pointSize);
    QApplication::setFont(font);
}

} // namespace

class TestDeviceConnectionItem : public QObject
{
    Q_OBJECT

private:
    QGraphicsScene* scene = nullptr;

    DeviceNodeItem* addNode(const QString& name, QPointF center)
    {
        DeviceInfo info;
        info.name = name;
        info.type = "maths/sum";
        auto* node = new DeviceNodeItem(info, QRectF(0, 0, 10, 10));
        scene->addItem(node);
        node->setCenter(center);
        return node;
    }

    DeviceConnectionItem* addLink(DeviceNodeItem* from, DeviceNodeItem* to, QList<QPointF> bends = {})
    {
        auto* link = new DeviceConnectionItem(from, to, bends);
        scene->addItem(link);
        return link;
    }

    void renderScene()
    {
        QImage image(600, 300, QImage::Format_ARGB32);
        QPainter painter(&image);
        scene->render(&painter, QRectF(0, 0, 600, 300), QRectF(0, 0, 600, 300));
    }

private Q_SLOTS:
    void init()
    {
        setFontPointSize(10);
        DeviceConnectionItem::setActivityType(DeviceConnectionItem::NotActive);
        scene = new QGraphicsScene(-1000, -1000, 3000, 3000);
    }

    void cleanup()
    {
        delete scene;
        scene = nullptr;
    }

    void arrowGeometryFollowsFontSize_data()
    {
        QTest::addColumn<int>("pointSize");
        QTest::addColumn<int>("unit");

        QTest::newRow("6 pt, still visible") << 6 << 1;
        QTest::newRow("10 pt") << 10 << 1;
        QTest::newRow("16 pt") << 16 << 2;
    }

    void arrowGeometryFollowsFontSize()
    {
        QFETCH(int, pointSize);
        QFETCH(int, unit);

        // Given two nodes on one horizontal line
        setFontPointSize(pointSize);
        DeviceNodeItem* source = addNode("source", QPointF(100, 100));
        DeviceNodeItem* target = addNode("target", QPointF(400, 100));
        DeviceConnectionItem* link = addLink(source, target);

        // When the link is painted
        const PaintedLink painted = paintLink(link);

        // Then the head sits on the target's left edge, the line stops short of it, the wings are 8 units long
        QCOMPARE(painted.linePaths.size(), 1);
        QCOMPARE(painted.linePaths.first().pen.widthF(), 2.0 * unit);
        QCOMPARE(painted.linePaths.first().pen.color(), QColor(Qt::darkGray));
        const QPointF arrowPoint = pointAt(painted.headPath, 0);
        QCOMPARE(arrowPoint, QPointF(target->pos().x(), 100));
        QCOMPARE(distance(lastPoint(painted.linePaths.first().path), arrowPoint), 5.0 * unit);
        QCOMPARE(distance(pointAt(painted.headPath, 1), arrowPoint), 8.0 * unit);
        QCOMPARE(distance(pointAt(painted.headPath, 2), arrowPoint), 8.0 * unit);
        QCOMPARE(QLineF(arrowPoint, pointAt(painted.headPath, 1)).angleTo(QLineF(arrowPoint, pointAt(painted.headPath, 2))),
                 48.0);
    }

    void arrowEndsOnRoundedCorner()
    {
        // Given a last segment aimed at the target's centre through its top-left corner
        DeviceNodeItem* source = addNode("source", QPointF(100, 100));
        DeviceNodeItem* target = addNode("target", QPointF(500, 500));
        const QPointF halfDiagonal = target->getCenter() - target->pos();
        DeviceConnectionItem* link = addLink(source, target, {target->getCenter() - 5 * halfDiagonal});

        const QPointF arrowPoint = pointAt(paintLink(link).headPath, 0);

        // Then the arrow point lies on the arc of radius 5 around the corner's centre
        QCOMPARE(distance(arrowPoint, target->pos() + QPointF(5, 5)), 5.0);
        QVERIFY(arrowPoint.x() < target->pos().x() + 5);
    }

    void bendInsideTargetEndsTheLine()
    {
        // Given a link whose last bending point lies inside the target
        DeviceNodeItem* source = addNode("source", QPointF(100, 100));
        DeviceNodeItem* target = addNode("target", QPointF(400, 100));
        const QPointF outsideBend(250, 300);
        const QPointF insideBend = target->getCenter() + QPointF(10, 2);
        DeviceConnectionItem* link = addLink(source, target, {outsideBend, insideBend});

        // When painted
        const PaintedLink painted = paintLink(link);

        // Then the line goes through the outer bend only and the arrow points at the inner one
        const QPainterPath& line = painted.linePaths.first().path;
        QCOMPARE(line.elementCount(), 3);
        QCOMPARE(pointAt(line, 1), outsideBend);
        const QPointF arrowPoint = pointAt(painted.headPath, 0);
        QCOMPARE(QLineF(outsideBend, arrowPoint).angle(), QLineF(outsideBend, insideBend).angle());
        const QRectF targetRect = target->sceneBoundingRect();
        QVERIFY(targetRect.adjusted(-0.01, -0.01, 0.01, 0.01).contains(arrowPoint));
        QVERIFY(!targetRect.adjusted(0.5, 0.5, -0.5, -0.5).contains(arrowPoint));
    }

    void bendsScaleWithMovedSource()
    {
        // Given a bent link between nodes on one horizontal line
        DeviceNodeItem* source = addNode("source", QPointF(100, 100));
        DeviceNodeItem* target = addNode("target", QPointF(400, 100));
        DeviceConnectionItem* link = addLink(source, target, {QPointF(250, 150)});
        paintLink(link);

        // When the source moves 100 away and the link is painted
        source->setCenter(QPointF(0, 100));
        paintLink(link);

        // Then the bend's offset from the source is scaled by 400 / 300
        QCOMPARE(link->getBendingPoints(), QList<QPointF>{QPointF(200, 100 + 50 * 4.0 / 3.0)});
    }

    void rightAngleBendStaysAtCorner()
    {
        // Given a bend at the right-angle corner between source and target
        DeviceNodeItem* source = addNode("source", QPointF(100, 100));
        DeviceNodeItem* target = addNode("target", QPointF(300, 200));
        DeviceConnectionItem* link = addLink(source, target, {QPointF(300, 100)});
        paintLink(link);

        // When the source moves up and the link is painted
        source->setCenter(QPointF(100, 50));
        paintLink(link);

        // Then the bend is at the new corner, keeping both segments axis-parallel
        QCOMPARE(link->getBendingPoints(), QList<QPointF>{QPointF(300, 50)});
    }

    void updateTakesPlacesWithoutMovingBends()
    {
        DeviceNodeItem* source = addNode("source", QPointF(100, 100));
        DeviceNodeItem* target = addNode("target", QPointF(400, 100));
        DeviceConnectionItem* link = addLink(source, target, {QPointF(250, 150)});

        source->setCenter(QPointF(0, 100));
        link->update();
        paintLink(link);

        QCOMPARE(link->getBendingPoints(), QList<QPointF>{QPointF(250, 150)});
    }

    void hitsWithinFiveUnitsOfTheLine_data()
    {
        QTest::addColumn<double>("offset");
        QTest::addColumn<bool>("hit");

        QTest::newRow("on the line") << 0.0 << true;
        QTest::newRow("4 below") << 4.0 << true;
        QTest::newRow("4 above") << -4.0 << true;
        QTest::newRow("6 below") << 6.0 << false;
        QTest::newRow("6 above") << -6.0 << false;
    }

    void hitsWithinFiveUnitsOfTheLine()
    {
        QFETCH(double, offset);
        QFETCH(bool, hit);

        DeviceNodeItem* source = addNode("source", QPointF(100, 100));
        DeviceNodeItem* target = addNode("target", QPointF(400, 100));
        DeviceConnectionItem* link = addLink(source, target);
        QVERIFY(!scene->items(QPointF(250, 100)).contains(link));
        renderScene();

        QCOMPARE(scene->items(QPointF(250, 100 + offset)).contains(link), hit);
    }

    void hiddenEndsAreNotDrawnNorHit()
    {
        // Given a painted link
        DeviceNodeItem* source = addNode("source", QPointF(100, 100));
        DeviceNodeItem* target = addNode("target", QPointF(400, 100));
        DeviceConnectionItem* link = addLink(source, target);
        paintLink(link);
        QVERIFY(scene->items(QPointF(250, 100)).contains(link));

        // When its target is hidden
        target->unplaceDevice();
        const PaintedLink painted = paintLink(link);

        // Then nothing is drawn and nothing is hit
        QVERIFY(!painted.drewAnything);
        QVERIFY(!scene->items(QPointF(250, 100)).contains(link));
    }

    void linkOutlivingItsNodeDrawsNothing()
    {
        DeviceNodeItem* source = addNode("source", QPointF(100, 100));
        DeviceNodeItem* target = addNode("target", QPointF(400, 100));
        DeviceConnectionItem* link = addLink(source, target);
        paintLink(link);

        delete target;

        QCOMPARE(link->getNodeTo(), nullptr);
        QVERIFY(!paintLink(link).drewAnything);
        QVERIFY(link->shape().isEmpty());
        link->update();
    }

    void hiddenRuntimeVariableTargetIsDrawn()
    {
        DeviceNodeItem* source = addNode("source", QPointF(100, 100));
        DeviceNodeItem* target = addNode("runtime_variable", QPointF(400, 100));
        target->setVisible(false);
        DeviceConnectionItem* link = addLink(source, target);

        QVERIFY(paintLink(link).drewAnything);
    }

    void linkToHiddenAnchorIsDrawnAndHit()
    {
        // Given a link being drawn: its end is an anchor node, hidden, at the pointer
        DeviceNodeItem* source = addNode("source", QPointF(100, 100));
        auto* anchor = new DeviceNodeItem(DeviceInfo(), QRectF(0, 0, 1, 1));
        scene->addItem(anchor);
        anchor->setPos(400, 100);
        anchor->setVisible(false);
        anchor->setZValue(-5.0);
        auto* rubberLine = addLink(source, anchor);
        rubberLine->setHovered(true);

        // When it is painted
        const PaintedLink painted = paintLink(rubberLine);

        // Then it reaches the pointer and can be hit there
        QVERIFY(painted.drewAnything);
        QVERIFY(distance(pointAt(painted.headPath, 0), QPointF(400.5, 100.5)) < 1.5);
        QVERIFY(scene->items(QPointF(398, 100)).contains(rubberLine));
        QVERIFY(scene->items(QPointF(250, 100)).contains(rubberLine));
    }

    void paintsWithoutWidgetInApplicationPalette()
    {
        // Given a hovered bent link rendered to an image, where paint gets no widget
        DeviceNodeItem* source = addNode("source", QPointF(100, 100));
        DeviceNodeItem* target = addNode("target", QPointF(400, 100));
        DeviceConnectionItem* link = addLink(source, target, {QPointF(250, 200)});
        link->setHovered(true);
        QImage image(500, 300, QImage::Format_ARGB32);
        image.fill(Qt::white);
        QPainter painter(&image);
        scene->render(&painter, QRectF(0, 0, 500, 300), QRectF(0, 0, 500, 300));
        painter.end();

        // Then its bending point is drawn in the application's highlight colour
        QCOMPARE(image.pixelColor(250, 200).rgb(), QApplication::palette().color(QPalette::Highlight).rgb());
    }

    void bendingPointArea_data()
    {
        QTest::addColumn<QPointF>("point");
        QTest::addColumn<QPointF>("found");

        QTest::newRow("3 right of the first") << QPointF(203, 200) << QPointF(200, 200);
        QTest::newRow("5 right of the first") << QPointF(205, 200) << QPointF(0, 0);
        QTest::newRow("3 above the second") << QPointF(300, 297) << QPointF(300, 300);
    }

    void bendingPointArea()
    {
        QFETCH(QPointF, point);
        QFETCH(QPointF, found);

        DeviceConnectionItem* link = addLink(addNode("a", QPointF(0, 0)), addNode("b", QPointF(500, 500)),
                                             {QPointF(200, 200), QPointF(300, 300)});
        QCOMPARE(link->isInBendingPointsArea(point), found);
    }

    void insertsBendingPointOnNearestSegment_data()
    {
        QTest::addColumn<QPointF>("point");
        QTest::addColumn<int>("index");

        // Source at (0, 0), bends (200, 0) and (300, 0), target at (500, 0): positions, not centres.
        QTest::newRow("near the source segment") << QPointF(100, 1) << 0;
        QTest::newRow("between the bends") << QPointF(250, 1) << 1;
        QTest::newRow("near the target segment") << QPointF(400, 1) << 2;
    }

    void insertsBendingPointOnNearestSegment()
    {
        QFETCH(QPointF, point);
        QFETCH(int, index);

        DeviceNodeItem* source = addNode("source", QPointF(0, 0));
        DeviceNodeItem* target = addNode("target", QPointF(0, 0));
        source->setPos(0, 0);
        target->setPos(500, 0);
        DeviceConnectionItem* link = addLink(source, target, {QPointF(200, 0), QPointF(300, 0)});

        link->insertBendingPoint(point);

        QCOMPARE(link->getBendingPoints().size(), 3);
        QCOMPARE(link->getBendingPoints().at(index), point);
    }

    void insertIntoStraightLinkBendsIt()
    {
        DeviceConnectionItem* link = addLink(addNode("a", QPointF(0, 0)), addNode("b", QPointF(500, 0)));
        QVERIFY(!link->isBent());

        link->insertBendingPoint(QPointF(250, 40));

        QVERIFY(link->isBent());
        QCOMPARE(link->getBendingPoints(), QList<QPointF>{QPointF(250, 40)});
        link->setBendingPoints({});
        QVERIFY(!link->isBent());
    }

    void splitPushesOppositeLinksApart()
    {
        DeviceNodeItem* a = addNode("a", QPointF(100, 100));
        DeviceNodeItem* b = addNode("b", QPointF(300, 100));
        DeviceConnectionItem* forth = addLink(a, b);
        DeviceConnectionItem* back = addLink(b, a);

        forth->split();
        back->split();

        QCOMPARE(forth->getBendingPoints(), QList<QPointF>{QPointF(200, 120)});
        QCOMPARE(back->getBendingPoints(), QList<QPointF>{QPointF(200, 80)});
    }

    void splitOfBentLinkWarnsAndKeepsIt()
    {
        DeviceConnectionItem* link = addLink(addNode("a", QPointF(100, 100)), addNode("b", QPointF(300, 100)),
                                             {QPointF(200, 150)});
        TestSupport::LogCapture log;

        link->split();

        QVERIFY(log.contains(QString::fromUtf8("\xD0\xA1" "an not split a line with bending points!")));
        QCOMPARE(link->getBendingPoints(), QList<QPointF>{QPointF(200, 150)});
    }

    void splitOfNodesSharingCentreStaysFinite()
    {
        DeviceConnectionItem* link = addLink(addNode("a", QPointF(100, 100)), addNode("b", QPointF(100, 100)));

        link->split();

        QCOMPARE(link->getBendingPoints().size(), 1);
        const QPointF bend = link->getBendingPoints().first();
        QVERIFY(std::isfinite(bend.x()) && std::isfinite(bend.y()));
        QCOMPARE(distance(bend, QPointF(100, 100)), 20.0);
    }

    void dashesStepOncePerEmission()
    {
        DeviceConnectionItem* link = addLink(addNode("a", QPointF(100, 100)), addNode("b", QPointF(400, 100)));
        DeviceConnectionItem::setActivityType(DeviceConnectionItem::DashedLinePerEmit);

        link->onEmit();
        link->onEmit();
        link->onEmit();

        QCOMPARE(link->getDashOffset(), 45.0);
        QVERIFY(!link->isActive());
        const PaintedLink painted = paintLink(link);
        QCOMPARE(painted.linePaths.size(), 2);
        QCOMPARE(painted.linePaths.last().pen.style(), Qt::CustomDashLine);
        QCOMPARE(painted.linePaths.last().pen.dashOffset(), 45.0);
    }

    void dashesMarchUntilHalfASecondAfterLastEmission()
    {
        // Given a link in the marching mode
        DeviceConnectionItem* link = addLink(addNode("a", QPointF(100, 100)), addNode("b", QPointF(400, 100)));
        DeviceConnectionItem::setActivityType(DeviceConnectionItem::DashedLinePerTime);
        QCOMPARE(paintLink(link).linePaths.size(), 1);

        // When three emissions come 200 ms apart
        link->onEmit();
        QTest::qWait(200);
        link->onEmit();
        QTest::qWait(200);
        const double offsetBeforeThird = link->getDashOffset();
        link->onEmit();
        QElapsedTimer sinceLast;
        sinceLast.start();

        // Then the dashes kept marching and march on for 500 ms after the third
        QVERIFY(offsetBeforeThird >= 2 * 15.0);
        QVERIFY(link->isActive());
        QCOMPARE(paintLink(link).linePaths.size(), 2);
        QTRY_VERIFY_WITH_TIMEOUT(!link->isActive(), 3000);
        QVERIFY(sinceLast.elapsed() >= 450);
        QVERIFY(link->getDashOffset() > offsetBeforeThird);

        // And stop with the display
        const double finalOffset = link->getDashOffset();
        QTest::qWait(250);
        QCOMPARE(link->getDashOffset(), finalOffset);
        QCOMPARE(paintLink(link).linePaths.size(), 1);
    }

    void colourShowsForAWhile()
    {
        DeviceConnectionItem* link = addLink(addNode("a", QPointF(100, 100)), addNode("b", QPointF(400, 100)));
        DeviceConnectionItem::setActivityType(DeviceConnectionItem::ColorLinePerTime);
        link->setActivityIntervals(100, 20);

        link->onEmit();

        QVERIFY(link->isActive());
        QCOMPARE(paintLink(link).linePaths.first().pen.color(), QColor(Qt::darkGreen));
        QTRY_VERIFY(!link->isActive());
        QCOMPARE(paintLink(link).linePaths.first().pen.color(), QColor(Qt::darkGray));
        QCOMPARE(link->getDashOffset(), 0.0);
    }

    void notActiveIgnoresEmissions()
    {
        DeviceConnectionItem* link = addLink(addNode("a", QPointF(100, 100)), addNode("b", QPointF(400, 100)));

        link->onEmit();

        QVERIFY(!link->isActive());
        QCOMPARE(link->getDashOffset(), 0.0);
        QCOMPARE(paintLink(link).linePaths.size(), 1);
    }
};

QTEST_MAIN(TestDeviceConnectionItem)
#include "tst_DeviceConnectionItem.moc"
