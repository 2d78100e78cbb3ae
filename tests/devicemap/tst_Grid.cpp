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

    void verifyExtent(const Grid& grid, int left, int top, int right, int bottom)
    {
        QCOMPARE(grid.getLeft(), left);
        QCOMPARE(grid.getTop(), top);
        QCOMPARE(grid.getRight(), right);
        QCOMPARE(grid.getBottom(), bottom);
        // Every line spans the whole extent, the first and last ones on its edges
        const int cell = grid.getCellSize();
        QCOMPARE(grid.getVerticalLines().size(), (right - left) / cell + 1);
        QCOMPARE(grid.getHorizontalLines().size(), (bottom - top) / cell + 1);
        QCOMPARE(grid.getVerticalLines().first()->line(), QLineF(left, top, left, bottom));
        QCOMPARE(grid.getVerticalLines().last()->line(), QLineF(right, top, right, bottom));
        QCOMPARE(grid.getHorizontalLines().first()->line(), QLineF(left, top, right, top));
        QCOMPARE(grid.getHorizontalLines().last()->line(), QLineF(left, bottom, right, bottom));
        QCOMPARE(lineItemsInScene(), grid.getVerticalLines().size() + grid.getHorizontalLines().size());
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
        QTest::addColumn<QRect>("extent"); // left, top, right, bottom

        QTest::newRow("at the origin") << QRectF(0, 0, 1200, 1000) << QRect(QPoint(0, 0), QPoint(1210, 1010));
        QTest::newRow("negative origin") << QRectF(-15, -25, 100, 100) << QRect(QPoint(-10, -20), QPoint(90, 80));
        QTest::newRow("positive origin") << QRectF(25, 37, 100, 100) << QRect(QPoint(20, 30), QPoint(130, 140));
    }

    void extentCoversSceneRect()
    {
        QFETCH(QRectF, sceneRect);
        QFETCH(QRect, extent);

        scene->setSceneRect(sceneRect);
        Grid grid(view);
        grid.activate(true);

        QVERIFY(grid.isActive());
        verifyExtent(grid, extent.left(), extent.top(), extent.right(), extent.bottom());
        const QGraphicsLineItem* line = grid.getHorizontalLines().first();
        QCOMPARE(line->zValue(), -2.0);
        QCOMPARE(line->pen().color(), QColor(Qt::darkGray));
        QCOMPARE(line->pen().widthF(), 0.5);
    }

    void growsByWholeCellsAndNeverShrinks_data()
    {
        QTest::addColumn<QSizeF>("newSize");
        QTest::addColumn<int>("right");
        QTest::addColumn<int>("bottom");

        // From (0, 0, 1200, 1000): right 1210, bottom 1010.
        QTest::newRow("5 wider, less than a cell") << QSizeF(1205, 1000) << 1210 << 1010;
        QTest::newRow("25 wider and 30 taller") << QSizeF(1225, 1030) << 1230 << 1040;
        QTest::newRow("shrunk") << QSizeF(300, 200) << 1210 << 1010;
    }

    void growsByWholeCellsAndNeverShrinks()
    {
        QFETCH(QSizeF, newSize);
        QFETCH(int, right);
        QFETCH(int, bottom);

        scene->setSceneRect(0, 0, 1200, 1000);
        Grid grid(view);
        grid.activate(true);
        QGraphicsLineItem* firstVertical = grid.getVerticalLines().first();

        scene->setSceneRect(QRectF(QPointF(), newSize));
        grid.update();

        // The lines laid before stay, stretched where the grid grew
        QCOMPARE(grid.getVerticalLines().first(), firstVertical);
        verifyExtent(grid, 0, 0, right, bottom);
    }

    void newCellSizeOrOriginRebuilds()
    {
        scene->setSceneRect(0, 0, 1200, 1000);
        Grid grid(view);
        grid.activate(true);

        DeviceNodeItem::setGridCellSize(20);
        grid.update();
        QCOMPARE(grid.getCellSize(), 20);
        verifyExtent(grid, 0, 0, 1220, 1020);

        scene->setSceneRect(-100, 0, 1300, 1000);
        grid.update();
        verifyExtent(grid, -100, 0, 1220, 1020);
    }

    void inactiveGridHasNoLinesAndIgnoresUpdates()
    {
        scene->setSceneRect(-15, -25, 100, 100);
        Grid grid(view);
        grid.activate(true);

        grid.activate(false);
        grid.update();

        QVERIFY(!grid.isActive());
        QCOMPARE(lineItemsInScene(), 0);
        QCOMPARE(QRect(QPoint(grid.getLeft(), grid.getTop()), QPoint(grid.getRight(), grid.getBottom())),
                 QRect(QPoint(0, 0), QPoint(0, 0)));
    }

    void cellSizeBelowOneIsClamped()
    {
        DeviceNodeItem::setGridCellSize(0);
        scene->setSceneRect(0, 0, 20, 10);
        Grid grid(view);

        grid.activate(true);

        QCOMPARE(grid.getCellSize(), 1);
        verifyExtent(grid, 0, 0, 21, 11);
        QCOMPARE(Grid::getStartCoord(15.0, 0), 0);
        QCOMPARE(Grid::getStartCoord(-15.7, 10), -10);
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
