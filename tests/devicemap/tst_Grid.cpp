#include "DeviceNodeItem.h"
#include "Grid.h"

#include <QGraphicsLineItem>
#include <QGraphicsScene>
#include <QGraphicsView>
#include <QtTest>

class TestGrid : public QObject
{
    Q_OBJECT

private:
    QGraphicsView* view = nullptr;
    QGraphicsScene* scene = nullptr;

    int lineItemsInScene() const
    {
        int count = 0;
        for (QGraphicsItem* item : scene->items())
            count += qgraphicsitem_cast<QGraphicsLineItem*>(item) ? 1 : 0;
        return count;
    }

private Q_SLOTS:
    void init()
    {
        DeviceNodeItem::setGridCellSize(10);
        view = new QGraphicsView;
        scene = new QGraphicsScene(view);
        view->setScene(scene);
    }

    void cleanup()
    {
        delete view;
        view = nullptr;
        scene = nullptr;
    }

    void extentCoversSceneRect_data()
    {
        QTest::addColumn<QRectF>("sceneRect");
        QTest::addColumn<int>("left");
        QTest::addColumn<int>("top");
        QTest::addColumn<int>("right");
        QTest::addColumn<int>("bottom");

        QTest::newRow("at the origin") << QRectF(0, 0, 1200, 1000) << 0 << 0 << 1210 << 1010;
        QTest::newRow("negative origin") << QRectF(-15, -25, 100, 100) << -10 << -20 << 90 << 80;
        QTest::newRow("positive origin") << QRectF(25, 37, 100, 100) << 20 << 30 << 130 << 140;
    }

    void extentCoversSceneRect()
    {
        QFETCH(QRectF, sceneRect);
        QFETCH(int, left);
        QFETCH(int, top);
        QFETCH(int, right);
        QFETCH(int, bottom);

        scene->setSceneRect(sceneRect);
        Grid grid(view);
        grid.activate(true);

        QVERIFY(grid.isActive());
        QCOMPARE(grid.getLeft(), left);
        QCOMPARE(grid.getTop(), top);
        QCOMPARE(grid.getRight(), right);
        QCOMPARE(grid.getBottom(), bottom);
        QCOMPARE(grid.getVerticalLines().size(), (right - left) / 10 + 1);
        QCOMPARE(grid.getHorizontalLines().size(), (bottom - top) / 10 + 1);
        QCOMPARE(grid.getVerticalLines().first()->line(), QLineF(left, top, left, bottom));
        QCOMPARE(grid.getHorizontalLines().last()->line(), QLineF(left, bottom, right, bottom));
    }

    void linesLieBehindInDarkGrey()
    {
        scene->setSceneRect(0, 0, 1200, 1000);
        Grid grid(view);
        grid.activate(true);

        QCOMPARE(grid.getVerticalLines().size(), 122);
        QCOMPARE(grid.getHorizontalLines().size(), 102);
        QCOMPARE(lineItemsInScene(), 224);
        const QGraphicsLineItem* line = grid.getHorizontalLines().first();
        QCOMPARE(line->zValue(), -2.0);
        QCOMPARE(line->pen().color(), QColor(Qt::darkGray));
        QCOMPARE(line->pen().widthF(), 0.5);
    }

    void growthBelowOneCellAddsNothing()
    {
        scene->setSceneRect(0, 0, 1200, 1000);
        Grid grid(view);
        grid.activate(true);
        QGraphicsLineItem* firstVertical = grid.getVerticalLines().first();

        scene->setSceneRect(0, 0, 1205, 1000);
        grid.update();

        QCOMPARE(grid.getRight(), 1210);
        QCOMPARE(grid.getVerticalLines().size(), 122);
        QCOMPARE(grid.getVerticalLines().first(), firstVertical);
    }

    void growthAddsMissingLinesAndStretchesOthers()
    {
        // Given a grid over (0, 0, 1200, 1000)
        scene->setSceneRect(0, 0, 1200, 1000);
        Grid grid(view);
        grid.activate(true);
        QGraphicsLineItem* firstVertical = grid.getVerticalLines().first();
        QGraphicsLineItem* firstHorizontal = grid.getHorizontalLines().first();

        // When the scene grows 25 to the right and 30 down
        scene->setSceneRect(0, 0, 1225, 1030);
        grid.update();

        // Then the old lines stay, stretched, and the missing ones are added
        QCOMPARE(grid.getRight(), 1230);
        QCOMPARE(grid.getBottom(), 1040);
        QCOMPARE(grid.getVerticalLines().size(), 124);
        QCOMPARE(grid.getHorizontalLines().size(), 105);
        QCOMPARE(grid.getVerticalLines().first(), firstVertical);
        QCOMPARE(firstVertical->line(), QLineF(0, 0, 0, 1040));
        QCOMPARE(firstHorizontal->line(), QLineF(0, 0, 1230, 0));
        QCOMPARE(grid.getVerticalLines().last()->line(), QLineF(1230, 0, 1230, 1040));
        QCOMPARE(grid.getHorizontalLines().last()->line(), QLineF(0, 1040, 1230, 1040));
        QCOMPARE(lineItemsInScene(), 124 + 105);
    }

    void shrinkingKeepsLines()
    {
        scene->setSceneRect(0, 0, 1200, 1000);
        Grid grid(view);
        grid.activate(true);

        scene->setSceneRect(0, 0, 300, 200);
        grid.update();

        QCOMPARE(grid.getRight(), 1210);
        QCOMPARE(grid.getBottom(), 1010);
        QCOMPARE(lineItemsInScene(), 224);
    }

    void newCellSizeOrOriginRebuilds()
    {
        scene->setSceneRect(0, 0, 1200, 1000);
        Grid grid(view);
        grid.activate(true);

        DeviceNodeItem::setGridCellSize(20);
        grid.update();
        QCOMPARE(grid.getCellSize(), 20);
        QCOMPARE(grid.getRight(), 1220);
        QCOMPARE(grid.getVerticalLines().size(), 62);
        QCOMPARE(lineItemsInScene(), 62 + 52);

        scene->setSceneRect(-100, 0, 1300, 1000);
        grid.update();
        QCOMPARE(grid.getLeft(), -100);
        QCOMPARE(grid.getVerticalLines().first()->line().x1(), -100.0);
        QCOMPARE(lineItemsInScene(), grid.getVerticalLines().size() + grid.getHorizontalLines().size());
    }

    void inactiveGridIgnoresUpdates()
    {
        scene->setSceneRect(0, 0, 1200, 1000);
        Grid grid(view);

        grid.update();

        QVERIFY(!grid.isActive());
        QCOMPARE(lineItemsInScene(), 0);
        QCOMPARE(grid.getRight(), 0);
    }

    void deactivatingRemovesEveryLine()
    {
        scene->setSceneRect(-15, -25, 100, 100);
        Grid grid(view);
        grid.activate(true);

        grid.activate(false);

        QVERIFY(!grid.isActive());
        QCOMPARE(lineItemsInScene(), 0);
        QCOMPARE(grid.getLeft(), 0);
        QCOMPARE(grid.getTop(), 0);
        QCOMPARE(grid.getRight(), 0);
        QCOMPARE(grid.getBottom(), 0);
    }

    void cellSizeBelowOneIsClamped()
    {
        // Given a cell size of zero requested for a small scene
        DeviceNodeItem::setGridCellSize(0);
        scene->setSceneRect(0, 0, 20, 10);
        Grid grid(view);

        // When the grid is shown, it ends, with lines one unit apart
        grid.activate(true);

        QCOMPARE(grid.getCellSize(), 1);
        QCOMPARE(grid.getVerticalLines().size(), 22);
        QCOMPARE(Grid::getStartCoord(15.0, 0), 0);
        QCOMPARE(Grid::getStartCoord(-15.7, 10), -10);
        QCOMPARE(Grid::getStartCoord(15.7, 10), 10);
    }

    void survivesItsSceneBeingDeleted()
    {
        scene->setSceneRect(0, 0, 100, 100);
        Grid grid(view);
        grid.activate(true);

        delete scene;
        scene = nullptr;
        grid.clear();

        QVERIFY(!grid.isActive());
    }
};

QTEST_MAIN(TestGrid)
#include "tst_Grid.moc"
