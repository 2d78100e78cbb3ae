#pragma once

// Helpers the map item suites share. RecordingPaintDevice keeps what was drawn instead of
// rasterising it (rectangles, points and ellipses reach drawPath through QPaintEngine's defaults).

#include "DeviceInfo.h"

#include <QApplication>
#include <QGraphicsItem>
#include <QGraphicsScene>
#include <QPaintEngine>
#include <QPainter>

struct RecordedPath { QPainterPath path; QPen pen; QBrush brush; };
struct RecordedText { QString text; QPointF baseline; };
struct Recording { QList<RecordedPath> paths; QList<RecordedText> texts; QList<QRectF> pixmapRects; };

class RecordingPaintEngine : public QPaintEngine
{
public:
    RecordingPaintEngine() : QPaintEngine(QPaintEngine::AllFeatures) {}
    bool begin(QPaintDevice*) override { return true; }
    bool end() override { return true; }
    Type type() const override { return QPaintEngine::User; }

    void updateState(const QPaintEngineState& state) override
    {
        if (state.state() & DirtyPen)
            pen = state.pen();
        if (state.state() & DirtyBrush)
            brush = state.brush();
    }

    void drawPath(const QPainterPath& path) override { recording.paths.append({path, pen, brush}); }
    void drawPolygon(const QPointF* points, int count, PolygonDrawMode) override
    {
        QPainterPath path;
        path.addPolygon(QPolygonF(QVector<QPointF>(points, points + count)));
        drawPath(path);
    }
    void drawTextItem(const QPointF& p, const QTextItem& text) override { recording.texts.append({text.text(), p}); }
    void drawPixmap(const QRectF& r, const QPixmap&, const QRectF&) override { recording.pixmapRects.append(r); }

    QPen pen;
    QBrush brush;
    Recording recording;
};

class RecordingPaintDevice : public QPaintDevice
{
public:
    QPaintEngine* paintEngine() const override { return &engine; }

    mutable RecordingPaintEngine engine;

protected:
    int metric(PaintDeviceMetric metric) const override
    {
        if (metric == PdmDpiX || metric == PdmDpiY || metric == PdmPhysicalDpiX || metric == PdmPhysicalDpiY)
            return 96;
        if (metric == PdmDevicePixelRatio)
            return 1;
        // Size, depth and colours: more than any item needs.
        return metric == PdmDevicePixelRatioScaled ? int(devicePixelRatioFScale()) : 4000;
    }
};

// Everything an item draws when painted without a widget.
inline Recording recordPaint(QGraphicsItem* item)
{
    RecordingPaintDevice device;
    QPainter painter(&device);
    item->paint(&painter, nullptr, nullptr);
    painter.end();
    return device.engine.recording;
}

inline void setApplicationPointSize(int pointSize)
{
    QFont font = QApplication::font();
    font.setPointSize(pointSize);
    QApplication::setFont(font);
}

inline DeviceInfo deviceInfo(const QString& name, const QString& type, const QString& description = QString())
{
    DeviceInfo info;
    info.name = name;
    info.type = type;
    info.description = description;
    return info;
}

// Renders without a view, as printing does: the items' paint gets no widget.
inline QImage renderScene(QGraphicsScene& scene, const QRectF& area)
{
    QImage image(area.size().toSize(), QImage::Format_ARGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    scene.render(&painter, QRectF(QPointF(), area.size()), area);
    return image;
}
