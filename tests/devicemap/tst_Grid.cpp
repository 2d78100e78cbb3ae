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

private Q_SLOTS:
    void init()
    {
        DeviceNodeItem::setGridCellSize(10);
        view = new QGraphicsView;
        scene = new QGraphicsScene(view);
        view->setScene(scene);
    }

    void cleanup() { delete view; }

    void lineCountStaysBoundedWhateverTheSceneSize()
    {
        for (const QRectF& sceneRect : {QRectF(0, 0, 2000000, 2000000), QRectF(-3e9, -3e9, 6e9, 6e9)}) {
            // Given an active grid on a small scene, when the scene grows to the given size
            scene->setSceneRect(0, 0, 100, 100);
            Grid grid(view);
            grid.activate(true);
            scene->setSceneRect(sceneRect);
            grid.update();

            // Then there are at most a few thousand lines, spaced by whole cells
            const QList<QGraphicsLineItem*>& lines = grid.getVerticalLines();
            QVERIFY(lines.size() <= Grid::maxLinesPerAxis + 1 && grid.getHorizontalLines().size() <= Grid::maxLinesPerAxis + 1);
            QVERIFY(lines.size() > 100);
            QCOMPARE(std::fmod(lines.at(1)->line().x1() - lines.at(0)->line().x1(), 10.0), 0.0);
            QVERIFY(lines.last()->line().y2() >= 900000);
        }
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
