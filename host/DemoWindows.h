#pragma once

#include <QList>
#include <QString>

#include <functional>

class DeviceManager;
class QWidget;

/**
 * One top-level window the demo host opens: a name (also the screenshot's file name) and a
 * factory. The host owns the windows it creates.
 */
struct DemoWindow
{
    QString name;
    std::function<QWidget*(DeviceManager* manager)> create;
};

/// Every window the demo shows, in the order it opens them. Add a library window here.
QList<DemoWindow> demoWindows();
