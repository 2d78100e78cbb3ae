#pragma once

// A paint device that keeps what was drawn instead of rasterising it, so that tests
// can check the geometry an item computes while painting. Header-only; the map item
// suites share it.

#include <QBrush>
#include <QList>
#include <QPaintDevice>
#include <QPaintEngine>
#include <QPainterPath>
#include <QPen>
#include <QPixmap>
#include <QRectF>
#include <QString>
#include <QTextItem>

struct RecordedPath
{
    QPainterPath path;
    QPen pen;
    QBrush brush;
};

struct RecordedText
{
    QString text;
    QPointF baseline;
    QFont font;
    QPen pen;
};

class RecordingPaintEngine : public QPaintEngine
{
public:
    RecordingPaintEngine()
        : QPaintEngine(QPaintEngine::AllFeatures)
    {
    }

    bool begin(QPaintDevice*) override { return true; }
    bool end() override { return true; }
    Type type() const override { return QPaintEngine::User; }

    void updateState(const QPaintEngineState& state) override
    {
        if (state.state() & DirtyPen)
            pen = state.pen();
        if (state.state() & DirtyBrush)
            brush = state.brush();
        if (state.state() & DirtyFont)
            font = state.font();
    }

    void drawPath(const QPainterPath& path) override { paths.append({path, pen, brush}); }
    void drawPolygon(const QPointF* points, int count, PolygonDrawMode) override
    {
        QPainterPath path;
        path.addPolygon(QPolygonF(QVector<QPointF>(points, points + count)));
        paths.append({path, pen, brush});
    }
    void drawPolygon(const QPoint* points, int count, PolygonDrawMode mode) override
    {
        QVector<QPointF> converted;
        for (int i = 0; i < count; ++i)
            converted.append(points[i]);
        drawPolygon(converted.constData(), count, mode);
    }
    void drawRects(const QRectF* rects, int count) override
    {
        for (int i = 0; i < count; ++i)
            this->rects.append(rects[i]);
    }
    void drawRects(const QRect* rects, int count) override
    {
        for (int i = 0; i < count; ++i)
            this->rects.append(QRectF(rects[i]));
    }
    void drawPoints(const QPointF* points, int count) override
    {
        for (int i = 0; i < count; ++i)
            this->points.append({points[i], pen});
    }
    void drawTextItem(const QPointF& p, const QTextItem& textItem) override
    {
        texts.append({textItem.text(), p, font, pen});
    }
    void drawPixmap(const QRectF& r, const QPixmap&, const QRectF&) override { pixmapRects.append(r); }

    QPen pen;
    QBrush brush;
    QFont font;
    QList<RecordedPath> paths;
    QList<QRectF> rects;
    QList<QPair<QPointF, QPen>> points;
    QList<RecordedText> texts;
    QList<QRectF> pixmapRects;
};

class RecordingPaintDevice : public QPaintDevice
{
public:
    QPaintEngine* paintEngine() const override { return &engine; }

    mutable RecordingPaintEngine engine;

protected:
    int metric(PaintDeviceMetric metric) const override
    {
        switch (metric) {
        case PdmWidth:
        case PdmHeight:
            return 4000;
        case PdmWidthMM:
        case PdmHeightMM:
            return 1000;
        case PdmNumColors:
            return 256;
        case PdmDepth:
            return 32;
        case PdmDpiX:
        case PdmDpiY:
        case PdmPhysicalDpiX:
        case PdmPhysicalDpiY:
            return 96;
        case PdmDevicePixelRatio:
            return 1;
        case PdmDevicePixelRatioScaled:
            return int(QPaintDevice::devicePixelRatioFScale());
        }
        return 0;
    }
};
