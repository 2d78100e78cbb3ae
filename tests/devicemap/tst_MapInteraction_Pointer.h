#pragma once

#include "DeviceMapParts.h"
#include "DeviceMapWidget.h"
#include "DeviceNodeItem.h"
#include "MapInteraction.h"
#include "tst_DeviceMapWidget_Fixture.h"

#include <QApplication>
#include <QMouseEvent>
#include <QPointer>
#include <QtTest>

#include <functional>

// A map that records the clicks its pointer handling reports, and may act on one (open a
// dialog, delete things, delete itself) as the click dispatch will.
class ClickRecordingMap : public DeviceMapWidget
{
public:
    using DeviceMapWidget::DeviceMapWidget;

    struct Click
    {
        Qt::MouseButton button;
        QPoint pos;
    };
    QList<Click> clicks;
    std::function<void(QMouseEvent*)> onClick;
    // The map's own click handling runs after the recording (dialogs, menus, operations).
    bool dispatch = false;

protected:
    void mouseClickEvent(QMouseEvent* event) override
    {
        clicks.append({event->button(), event->pos()});
        // onClick may delete the map: nothing of it is read afterwards then.
        const bool dispatchAfter = dispatch;
        const QPointer<ClickRecordingMap> alive(this);
        if (onClick)
            onClick(event);
        if (dispatchAfter && alive)
            DeviceMapWidget::mouseClickEvent(event);
    }
};

// The map suites that drive the pointer: a shown, painted map with a 2000 x 2000 scene, and mouse
// or touch events sent to its viewport as the window system would.
class PointerFixture : public DeviceMapFixture
{
protected:
    ClickRecordingMap* pointerMap = nullptr;

    ClickRecordingMap* openPointerMap()
    {
        manager->markInitialised();
        map.reset();
        pointerMap = new ClickRecordingMap(manager.get(), layoutPath());
        map.reset(pointerMap);
        map->setSceneRects(QRectF(0, 0, 2000, 2000));
        map->resize(800, 600);
        map->show();
        DeviceMapParts(*map).interaction().setLongPressInterval(40);
        if (!QTest::qWaitForWindowExposed(map.get()))
            qWarning("map window not exposed");
        return pointerMap;
    }

    void paint() { map->viewport()->repaint(); }

    DeviceNodeItem* place(const QString& name, const QPointF& pos)
    {
        DeviceNodeItem* node = item(name);
        node->placeDevice(pos);
        return node;
    }
    QPoint at(const QPointF& scenePos) const { return map->mapFromScene(scenePos); }
    QPoint centreOf(const QString& name) const { return at(item(name)->getCenter()); }

    void send(QEvent::Type type, const QPoint& pos, Qt::MouseButton button, Qt::MouseButtons buttons,
              Qt::KeyboardModifiers modifiers = Qt::NoModifier, bool touch = false)
    {
        QWidget* viewport = map->viewport();
        const QPointF global = viewport->mapToGlobal(pos);
        QMouseEvent event(type, QPointF(pos), QPointF(pos), global, button, buttons, modifiers,
                          touch ? Qt::MouseEventSynthesizedByQt : Qt::MouseEventNotSynthesized);
        QApplication::sendEvent(viewport, &event);
    }
    void press(const QPoint& pos, Qt::MouseButton button = Qt::LeftButton, Qt::KeyboardModifiers mods = Qt::NoModifier,
               bool touch = false)
    {
        send(QEvent::MouseButtonPress, pos, button, button, mods, touch);
    }
    void moveTo(const QPoint& pos, Qt::MouseButtons buttons = Qt::NoButton, bool touch = false)
    {
        send(QEvent::MouseMove, pos, Qt::NoButton, buttons, Qt::NoModifier, touch);
    }
    void release(const QPoint& pos, Qt::MouseButton button = Qt::LeftButton, Qt::KeyboardModifiers mods = Qt::NoModifier,
                 bool touch = false)
    {
        send(QEvent::MouseButtonRelease, pos, button, Qt::NoButton, mods, touch);
    }
    // Press, a few moves on the way, release: a drag as a hand makes it.
    void drag(const QPoint& from, const QPoint& to, Qt::MouseButton button = Qt::LeftButton, bool touch = false)
    {
        press(from, button, Qt::NoModifier, touch);
        for (int step = 1; step <= 4; ++step)
            moveTo(from + (to - from) * step / 4, button, touch);
        release(to, button, Qt::NoModifier, touch);
    }
    QStringList undoTexts() const
    {
        QStringList texts;
        for (int i = 0; i < map->getUndoStack()->count(); ++i)
            texts.append(map->getUndoStack()->text(i));
        return texts;
    }
};
