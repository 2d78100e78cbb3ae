#include "DeviceConnectionItem.h"
#include "DeviceNodeItem.h"
#include "TestSupport.h"
#include "tst_DeviceNodeItem_PaintRecorder.h"

#include <QElapsedTimer>
#include <QtTest>

namespace {

struct PaintedLink
{
    QList<RecordedPath> linePaths; // stroked without a brush: the line and its activity overlay
    QPainterPath headPath;
    bool drewAnything = false;
};

PaintedLink paintLink(DeviceConnectionItem* link)
{
    const Recording recording = recordPaint(link);
    PaintedLink painted;
    painted.drewAnything = !recording.paths.isEmpty();
    for (const RecordedPath& recorded : recording.paths) {
        if (recorded.brush.style() == Qt::NoBrush && recorded.pen.widthF() > 1.0)
            painted.linePaths.append(recorded);
        else if (recorded.brush.color() == Qt::black)
            painted.headPath = recorded.path;
    }
    return painted;
}

QPointF pointAt(const QPainterPath& path, int index)
{
    const QPainterPath::Element element = path.elementAt(index < 0 ? path.elementCount() + index : index);
    return QPointF(element.x, element.y);
}

double distance(const QPointF& a, const QPointF& b) { return QLineF(a, b).length(); }

} // namespace

class TestDeviceConnectionItem : public QObject
{
    Q_OBJECT

    QGraphicsScene* scene = nullptr;

    DeviceNodeItem* addNode(const QString& name, QPointF center)
    {
        auto* node = new DeviceNodeItem(deviceInfo(name, "maths/sum"), QRectF(0, 0, 10, 10));
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

    // Two nodes on one horizontal line, 300 apart.
    DeviceConnectionItem* addStraightLink() { return addLink(addNode("source", {100, 100}), addNode("target", {400, 100})); }

private Q_SLOTS:
    void init()
    {
        setApplicationPointSize(10);
        DeviceConnectionItem::setActivityType(DeviceConnectionItem::NotActive);
        scene = new QGraphicsScene(-1000, -1000, 3000, 3000);
    }

    void cleanup() { delete scene; }

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
        setApplicationPointSize(pointSize);
        DeviceConnectionItem* link = addStraightLink();

        const PaintedLink painted = paintLink(link);

        // The head sits on the target's left edge, the line stops short of it, the wings are 8 units long
        QCOMPARE(painted.linePaths.size(), 1);
        QCOMPARE(painted.linePaths.first().pen.widthF(), 2.0 * unit);
        QCOMPARE(painted.linePaths.first().pen.color(), QColor(Qt::darkGray));
        const QPointF arrowPoint = pointAt(painted.headPath, 0);
        QCOMPARE(arrowPoint, QPointF(link->getNodeTo()->pos().x(), 100));
        QCOMPARE(distance(pointAt(painted.linePaths.first().path, -1), arrowPoint), 5.0 * unit);
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

        const PaintedLink painted = paintLink(link);

        // Then the line goes through the outer bend only and the arrow, on the outline, points at the inner one
        const QPainterPath& line = painted.linePaths.first().path;
        QCOMPARE(line.elementCount(), 3);
        QCOMPARE(pointAt(line, 1), outsideBend);
        const QPointF arrowPoint = pointAt(painted.headPath, 0);
        QCOMPARE(QLineF(outsideBend, arrowPoint).angle(), QLineF(outsideBend, insideBend).angle());
        const QRectF targetRect = target->sceneBoundingRect();
        QVERIFY(targetRect.adjusted(-0.01, -0.01, 0.01, 0.01).contains(arrowPoint));
        QVERIFY(!targetRect.adjusted(0.5, 0.5, -0.5, -0.5).contains(arrowPoint));
    }

    void bendsFollowMovedSource_data()
    {
        QTest::addColumn<QPointF>("targetCenter");
        QTest::addColumn<QPointF>("bend");
        QTest::addColumn<QPointF>("movedSourceCenter");
        QTest::addColumn<bool>("updateBeforePaint");
        QTest::addColumn<QPointF>("expected");

        // The source starts centred at (100, 100).
        QTest::newRow("scaled by the new distance") << QPointF(400, 100) << QPointF(250, 150) << QPointF(0, 100)
                                                    << false << QPointF(200, 100 + 50 * 4.0 / 3.0);
        QTest::newRow("right angle kept") << QPointF(300, 200) << QPointF(300, 100) << QPointF(100, 50) << false
                                          << QPointF(300, 50);
        QTest::newRow("update takes places only") << QPointF(400, 100) << QPointF(250, 150) << QPointF(0, 100)
                                                  << true << QPointF(250, 150);
    }

    void bendsFollowMovedSource()
    {
        QFETCH(QPointF, targetCenter);
        QFETCH(QPointF, bend);
        QFETCH(QPointF, movedSourceCenter);
        QFETCH(bool, updateBeforePaint);
        QFETCH(QPointF, expected);

        DeviceNodeItem* source = addNode("source", QPointF(100, 100));
        DeviceConnectionItem* link = addLink(source, addNode("target", targetCenter), {bend});
        paintLink(link);

        source->setCenter(movedSourceCenter);
        if (updateBeforePaint)
            link->update();
        paintLink(link);

        QCOMPARE(link->getBendingPoints(), QList<QPointF>{expected});
    }

    void hitWithinFiveUnitsOfTheLineAndDrawnWithoutWidget()
    {
        // Given a hovered link rendered to an image, where paint gets no widget
        DeviceConnectionItem* link = addStraightLink();
        link->setHovered(true);
        const QImage image = renderScene(*scene, QRectF(0, 0, 600, 300));

        // Then it is drawn in the application's highlight colour and hit 4 units from its line, not 6
        QCOMPARE(image.pixelColor(250, 100).rgb(), QApplication::palette().color(QPalette::Highlight).rgb());
        for (double offset : {-6.0, -4.0, 4.0, 6.0})
            QCOMPARE(scene->items(QPointF(250, 100 + offset)).contains(link), qAbs(offset) < 5);
    }

    void hiddenTargetHidesTheLink_data()
    {
        QTest::addColumn<QString>("targetName");
        QTest::addColumn<bool>("drawn");

        QTest::newRow("device") << "target" << false;
        QTest::newRow("runtime variable") << "runtime_variable" << true;
        QTest::newRow("free end of a link being drawn") << QString() << true;
    }

    void hiddenTargetHidesTheLink()
    {
        QFETCH(QString, targetName);
        QFETCH(bool, drawn);

        // Given a link painted while its target was visible; the map's anchor for a link being
        // drawn is a 1 by 1 node of a default DeviceInfo at the pointer
        DeviceNodeItem* target = targetName.isEmpty() ? new DeviceNodeItem(DeviceInfo(), QRectF(0, 0, 1, 1))
                                                      : addNode(targetName, QPointF(400, 100));
        if (targetName.isEmpty()) {
            scene->addItem(target);
            target->setPos(400, 100);
        }
        DeviceConnectionItem* link = addLink(addNode("source", QPointF(100, 100)), target);
        renderScene(*scene, QRectF(0, 0, 600, 300));

        // When the target is hidden
        target->setVisible(false);
        const PaintedLink painted = paintLink(link);

        // Then the link is drawn and hit only when the hidden target is exempt
        QCOMPARE(painted.drewAnything, drawn);
        QCOMPARE(scene->items(QPointF(250, 100)).contains(link), drawn);
        if (targetName.isEmpty())
            QVERIFY(distance(pointAt(painted.headPath, 0), QPointF(400.5, 100.5)) < 1.5);
    }

    void linkOutlivingItsNodeDrawsNothing()
    {
        DeviceConnectionItem* link = addStraightLink();
        paintLink(link);

        delete link->getNodeTo();

        QVERIFY(!paintLink(link).drewAnything);
        QVERIFY(link->shape().isEmpty());
        link->update();
    }

    void insertsBendingPointOnNearestSegment_data()
    {
        QTest::addColumn<QList<QPointF>>("bends");
        QTest::addColumn<QPointF>("point");
        QTest::addColumn<int>("index");

        // The source's position is (0, 0), the target's (500, 0): positions, not centres.
        const QList<QPointF> bends{QPointF(200, 0), QPointF(300, 0)};
        QTest::newRow("straight link") << QList<QPointF>{} << QPointF(250, 40) << 0;
        QTest::newRow("between the bends") << bends << QPointF(250, 1) << 1;
        QTest::newRow("near the target segment") << bends << QPointF(400, 1) << 2;
    }

    void insertsBendingPointOnNearestSegment()
    {
        QFETCH(QList<QPointF>, bends);
        QFETCH(QPointF, point);
        QFETCH(int, index);

        DeviceNodeItem* source = addNode("source", QPointF(0, 0));
        DeviceNodeItem* target = addNode("target", QPointF(0, 0));
        source->setPos(0, 0);
        target->setPos(500, 0);
        DeviceConnectionItem* link = addLink(source, target, bends);

        link->insertBendingPoint(point);

        bends.insert(index, point);
        QCOMPARE(link->getBendingPoints(), bends);
    }

    void splitBendsOnlyAStraightLinkToItsLeft_data()
    {
        QTest::addColumn<QPointF>("fromCenter");
        QTest::addColumn<QPointF>("toCenter");
        QTest::addColumn<QList<QPointF>>("bends");
        QTest::addColumn<QList<QPointF>>("expected");
        using Points = QList<QPointF>;
        QTest::newRow("forth") << QPointF(100, 100) << QPointF(300, 100) << Points() << Points{{200, 120}};
        QTest::newRow("back, to the other side") << QPointF(300, 100) << QPointF(100, 100) << Points() << Points{{200, 80}};
        QTest::newRow("ends sharing one centre") << QPointF(100, 100) << QPointF(100, 100) << Points() << Points{{100, 80}};
        QTest::newRow("bent, kept with a warning") << QPointF(100, 100) << QPointF(300, 100) << Points{{200, 150}}
                                                  << Points{{200, 150}};
    }

    void splitBendsOnlyAStraightLinkToItsLeft()
    {
        QFETCH(QPointF, fromCenter);
        QFETCH(QPointF, toCenter);
        QFETCH(QList<QPointF>, bends);
        QFETCH(QList<QPointF>, expected);
        DeviceConnectionItem* link = addLink(addNode("a", fromCenter), addNode("b", toCenter), bends);
        TestSupport::LogCapture log;

        link->split();

        QCOMPARE(link->getBendingPoints(), expected);
        QCOMPARE(log.contains(QString::fromUtf8("\xD0\xA1" "an not split a line with bending points!")), !bends.isEmpty());
    }

    void dashesStepOncePerEmission()
    {
        DeviceConnectionItem* link = addStraightLink();
        DeviceConnectionItem::setActivityType(DeviceConnectionItem::DashedLinePerEmit);

        for (int i = 0; i < 3; ++i)
            link->onEmit();

        QVERIFY(!link->isActive());
        const PaintedLink painted = paintLink(link);
        QCOMPARE(painted.linePaths.size(), 2);
        QCOMPARE(painted.linePaths.last().pen.dashOffset(), 45.0);
    }

    void dashesMarchUntilHalfASecondAfterLastEmission()
    {
        // Given a link in the marching mode, when three emissions come 200 ms apart
        DeviceConnectionItem* link = addStraightLink();
        DeviceConnectionItem::setActivityType(DeviceConnectionItem::DashedLinePerTime);
        QCOMPARE(paintLink(link).linePaths.size(), 1);
        link->onEmit();
        QTest::qWait(200);
        link->onEmit();
        QTest::qWait(200);
        const double offsetBeforeThird = link->getDashOffset();
        link->onEmit();
        QElapsedTimer sinceLast;
        sinceLast.start();

        // Then the dashes kept marching, march on for 500 ms after the third, and stop with the display
        QVERIFY(offsetBeforeThird >= 2 * 15.0);
        QCOMPARE(paintLink(link).linePaths.size(), 2);
        QTRY_VERIFY_WITH_TIMEOUT(!link->isActive(), 3000);
        QVERIFY(sinceLast.elapsed() >= 450);
        const double finalOffset = link->getDashOffset();
        QVERIFY(finalOffset > offsetBeforeThird);
        QTest::qWait(250);
        QCOMPARE(link->getDashOffset(), finalOffset);
        QCOMPARE(paintLink(link).linePaths.size(), 1);
    }

    void colourShowsForAWhile()
    {
        DeviceConnectionItem* link = addStraightLink();
        DeviceConnectionItem::setActivityType(DeviceConnectionItem::ColorLinePerTime);
        link->setActivityIntervals(100, 20);

        link->onEmit();

        QVERIFY(link->isActive());
        QCOMPARE(paintLink(link).linePaths.first().pen.color(), QColor(Qt::darkGreen));
        QTRY_VERIFY(!link->isActive());
        QCOMPARE(paintLink(link).linePaths.first().pen.color(), QColor(Qt::darkGray));
        QCOMPARE(link->getDashOffset(), 0.0);
    }
};

QTEST_MAIN(TestDeviceConnectionItem)
#include "tst_DeviceConnectionItem.moc"
