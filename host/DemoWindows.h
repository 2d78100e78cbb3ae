#pragma once

#include <QList>
#include <QString>

#include <functional>

class DeviceManager;
class QWidget;

/**
 * One more screenshot of a window, in another state: enter puts the window into that state
 * and returns what to grab, the window itself or a widget it made (a dialog parented to it,
 * which must not be run modally).
 */
struct DemoScene
{
    QString name;
    std::function<QWidget*(QWidget* window)> enter;
};

/**
 * One top-level window the demo host opens: a name (also the screenshot's file name), a
 * factory and the further scenes to take in screenshot mode. The host owns the windows it
 * creates.
 */
struct DemoWindow
{
    QString name;
    std::function<QWidget*(DeviceManager* manager)> create;
    QList<DemoScene> scenes = {};
};

/// Every window the demo shows, in the order it opens them. Add a library window here.
QList<DemoWindow> demoWindows();

/**
 * The demo's writable data folder, never the source tree. Only a run that keeps the user's
 * changes makes it (DemoStartup::prepareManager()): one that keeps nothing leaves no trace there.
 */
QString demoDataFolder();
/// Path of fileName in demoDataFolder().
QString demoDataFile(const QString& fileName);
