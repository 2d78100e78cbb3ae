#include "DeviceNodeItem.h"
#include "Grid.h"

#include <QGraphicsLineItem>
#include <QGraphicsScene>
#include <QGraphicsView>
#include <QtTest>

#include <cmath>

class TestGrid : public QObject
{
    Q_OBJECT

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

    void cleanup() { delete view; }

    void extentCoversTheSceneAndGrowsByWholeCells_data()
    {
        QTest::addColumn<QRectF>("activatedOn");
        QTest::addColumn<int>("cellSize"); // set after the activation
        QTest::addColumn<QRectF>("updatedOn");
        QTest::addColumn<QRect>("extent"); // left, top, right, bottom
        QTest::addColumn<bool>("linesKept");

        const QRectF start(0, 0, 1200, 1000);
        QTest::newRow("at the origin") << start << 10 << start << QRect(QPoint(0, 0), QPoint(1210, 1010)) << true;
        QTest::newRow("negative origin") << QRectF(-15, -25, 100, 100) << 10 << QRectF(-15, -25, 100, 100)
                                         << QRect(QPoint(-10, -20), QPoint(90, 80)) << true;
        QTest::newRow("positive origin") << QRectF(25, 37, 100, 100) << 10 << QRectF(25, 37, 100, 100)
                                         << QRect(QPoint(20, 30), QPoint(130, 140)) << true;
        QTest::newRow("5 wider, less than a cell") << start << 10 << QRectF(0, 0, 1205, 1000)
                                                   << QRect(QPoint(0, 0), QPoint(1210, 1010)) << true;
        QTest::newRow("25 wider and 30 taller") << start << 10 << QRectF(0, 0, 1225, 1030)
                                                << QRect(QPoint(0, 0), QPoint(1230, 1040)) << true;
        QTest::newRow("never shrinks") << start << 10 << QRectF(0, 0, 300, 200) << QRect(QPoint(0, 0), QPoint(1210, 1010))
                                       << true;
        QTest::newRow("new cell size") << start << 20 << start << QRect(QPoint(0, 0), QPoint(1220, 1020)) << false;
        QTest::newRow("new origin") << start << 10 << QRectF(-100, 0, 1300, 1000)
                                    << QRect(QPoint(-100, 0), QPoint(1210, 1010)) << false;
        QTest::newRow("cell size 0 taken as 1") << QRectF(0, 0, 20, 10) << 0 << QRectF(0, 0, 20, 10)
                                                << QRect(QPoint(0, 0), QPoint(21, 11)) << false;
    }

    void extentCoversTheSceneAndGrowsByWholeCells()
    {
        QFETCH(QRectF, activatedOn);
        QFETCH(int, cellSize);
        QFETCH(QRectF, updatedOn);
        QFETCH(QRect, extent);
        QFETCH(bool, linesKept);
        scene->setSceneRect(activatedOn);
        Grid grid(view);
        grid.activate(true);
        const QGraphicsLineItem* firstVertical = grid.getVerticalLines().first();

        DeviceNodeItem::setGridCellSize(cellSize);
        scene->setSceneRect(updatedOn);
        grid.update();

        // Every line spans the whole extent, the first and last ones on its edges
        const int l = extent.left(), t = extent.top(), r = extent.right(), b = extent.bottom();
        QCOMPARE(QRect(QPoint(grid.getLeft(), grid.getTop()), QPoint(grid.getRight(), grid.getBottom())), extent);
        const int cell = qMax(1, cellSize);
        QCOMPARE(grid.getCellSize(), cell);
        QCOMPARE(grid.getVerticalLines().size(), (r - l) / cell + 1);
        QCOMPARE(grid.getHorizontalLines().size(), (b - t) / cell + 1);
        QCOMPARE(grid.getVerticalLines().first()->line(), QLineF(l, t, l, b));
        QCOMPARE(grid.getVerticalLines().last()->line(), QLineF(r, t, r, b));
        QCOMPARE(grid.getHorizontalLines().first()->line(), QLineF(l, t, r, t));
        QCOMPARE(grid.getHorizontalLines().last()->line(), QLineF(l, b, r, b));
        QCOMPARE(lineItemsInScene(), grid.getVerticalLines().size() + grid.getHorizontalLines().size());
        QCOMPARE(grid.getHorizontalLines().first()->zValue(), -2.0);
        if (linesKept)
            QCOMPARE(grid.getVerticalLines().first(), firstVertical);

        // Switched off, it takes its lines away and ignores updates
        grid.activate(false);
        grid.update();
        QVERIFY(!grid.isActive());
        QCOMPARE(lineItemsInScene(), 0);
        QCOMPARE(Grid::getStartCoord(15.0, 0), 0);
    }

    void lineCountStaysBoundedWhateverTheSceneSize_data()
    {
        QTest::addColumn<QRectF>("sceneRect");
        QTest::newRow("two million units") << QRectF(0, 0, 2000000, 2000000);
        QTest::newRow("beyond the int range") << QRectF(-3e9, -3e9, 6e9, 6e9);
        QTest::newRow("grown from a small scene") << QRectF(0, 0, 100, 100);
    }

    void lineCountStaysBoundedWhateverTheSceneSize()
    {
        // Given an active grid of cell 10 on a scene of the given size
        QFETCH(QRectF, sceneRect);
        scene->setSceneRect(sceneRect);
        Grid grid(view);
        grid.activate(true);

        // When the scene grows far beyond it
        scene->setSceneRect(sceneRect.united(QRectF(0, 0, 1500000, 900000)));
        grid.update();

        // Then there are at most a few thousand lines, spaced by whole cells
        const int perAxis = Grid::maxLinesPerAxis + 1;
        QVERIFY(grid.getVerticalLines().size() <= perAxis && grid.getHorizontalLines().size() <= perAxis);
        QVERIFY(grid.getVerticalLines().size() > 100);
        const QList<QGraphicsLineItem*>& lines = grid.getVerticalLines();
        const double spacing = lines.at(1)->line().x1() - lines.at(0)->line().x1();
        QCOMPARE(std::fmod(spacing, 10.0), 0.0);
        QVERIFY(lines.last()->line().y2() >= 900000);
    }

    void survivesItsSceneBeingDeleted()
    {
        scene->setSceneRect(0, 0, 100, 100);
        Grid grid(view);
        grid.activate(true);

        delete scene;
        grid.clear();

        QVERIFY(!grid.isActive());
    }
};

QTEST_MAIN(TestGrid)
#include "tst_Grid.moc"
