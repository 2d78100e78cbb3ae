#pragma once

#include "dozerozozu_export.h"

#include <QList>
#include <QPointer>

class QGraphicsLineItem;
class QGraphicsScene;
class QGraphicsView;

/**
 * The optional background grid of the device map: dark-grey lines every cell, below
 * every other item of the map's scene.
 *
 * Held by value by the map widget, which passes itself (any QGraphicsView will do) and
 * calls update() whenever its scene rectangle grows. The cell size is the class-wide one
 * of DeviceNodeItem, so snapped devices sit on the lines. The grid is active exactly
 * while it has lines; growing the scene adds the missing lines instead of rebuilding.
 * The scene owns the lines while they are in it; lines the grid takes out are deleted.
 * However large the scene, each axis has at most maxLinesPerAxis + 1 lines.
 * GUI thread only.
 */
class DOZEROZOZU_EXPORT Grid
{
public:
    /// Beyond this many cells across, lines are drawn every few cells (a whole number of them).
    static constexpr int maxLinesPerAxis = 2000;

    explicit Grid(QGraphicsView* mapWidget);
    ~Grid();
    Grid(const Grid&) = delete;
    Grid& operator=(const Grid&) = delete;

    bool isActive() const;
    /// Rebuilds the grid for the current scene rectangle, or removes it.
    void activate(bool on);
    /// Brings an active grid up to the scene rectangle and cell size; nothing when inactive.
    void update();
    /// Removes and deletes every line and repaints the map.
    void clear();
    /// Lays the lines of the stored extent.
    void paint();
    /// value rounded towards zero to a multiple of cellSize (0 for a cell size of 0).
    static int getStartCoord(double value, int cellSize);

    int getLeft() const { return left; }
    int getTop() const { return top; }
    int getRight() const { return right; }
    int getBottom() const { return bottom; }
    int getCellSize() const { return cellSize; }
    /// Distance between neighbouring lines: the cell size times a whole number.
    int getLineSpacing() const { return lineSpacing; }
    const QList<QGraphicsLineItem*>& getVerticalLines() const { return verticalLines; }
    const QList<QGraphicsLineItem*>& getHorizontalLines() const { return horizontalLines; }

private:
    struct Extent
    {
        int left;
        int top;
        int right;
        int bottom;
        int cellSize;
        int lineSpacing;
    };
    Extent extentForScene() const;
    void setExtent(const Extent& extent);
    void removeLines(QList<QGraphicsLineItem*>& lines);
    QGraphicsLineItem* addLine(double x1, double y1, double x2, double y2);
    void growDown(int newBottom);
    void growRight(int newRight);

    QList<QGraphicsLineItem*> verticalLines;
    QList<QGraphicsLineItem*> horizontalLines;
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;
    int cellSize;
    int lineSpacing;
    QGraphicsView* mapWidget;
    QPointer<QGraphicsScene> linesScene;
};
