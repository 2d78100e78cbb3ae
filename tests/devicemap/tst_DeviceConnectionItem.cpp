#include "DeviceConnectionItem.h"
#include "DeviceNodeItem.h"
#include "TestSupport.h"
#include "tst_DeviceNodeItem_PaintRecorder.h"

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
        scene = new QGraphicsScene(-1000, -1000, 3000, 3000);
    }

    void cleanup() { delete scene; }

    void arrowStaysVisibleInSmallFonts()
    {
        setApplicationPointSize(6);
        DeviceConnectionItem* link = addStraightLink();

        const PaintedLink painted = paintLink(link);

        // The head sits on the target's left edge, the line stops 5 short of it, the wings are 8 long
        QCOMPARE(painted.linePaths.size(), 1);
        QCOMPARE(painted.linePaths.first().pen.widthF(), 2.0);
        const QPointF arrowPoint = pointAt(painted.headPath, 0);
        QCOMPARE(arrowPoint, QPointF(link->getNodeTo()->pos().x(), 100));
        QCOMPARE(distance(pointAt(painted.linePaths.first().path, -1), arrowPoint), 5.0);
        QCOMPARE(distance(pointAt(painted.headPath, 1), arrowPoint), 8.0);
        QCOMPARE(distance(pointAt(painted.headPath, 2), arrowPoint), 8.0);
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

    void splitBendsOnlyAStraightLinkToItsLeft()
    {
        DeviceConnectionItem* straight = addLink(addNode("a", {100, 100}), addNode("b", {300, 100}));
        DeviceConnectionItem* onOneCentre = addLink(addNode("c", {100, 500}), addNode("d", {100, 500}));
        DeviceConnectionItem* bent = addLink(addNode("e", {100, 900}), addNode("f", {300, 900}), {QPointF(200, 950)});
        TestSupport::LogCapture log;

        straight->split();
        onOneCentre->split();
        QVERIFY(log.messages().isEmpty());
        bent->split();

        QCOMPARE(straight->getBendingPoints(), QList<QPointF>{QPointF(200, 120)});
        QCOMPARE(onOneCentre->getBendingPoints(), QList<QPointF>{QPointF(100, 480)});
        QCOMPARE(bent->getBendingPoints(), QList<QPointF>{QPointF(200, 950)});
        QVERIFY(log.contains(QString::fromUtf8("\xD0\xA1" "an not split a line with bending points!")));
    }
};

QTEST_MAIN(TestDeviceConnectionItem)
#include "tst_DeviceConnectionItem.moc"
