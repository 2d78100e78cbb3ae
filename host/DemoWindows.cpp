#include "DemoWindows.h"

#include "AboutDialog.h"
#include "DashboardWindow.h"
#include "DeviceListWindow.h"
#include "DeviceMapWidget.h"
#include "SettingsWindow.h"
#include "WirelessWindow.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>

namespace {

// The map rewrites its layout file after every edit, so it works on the user's copy of the shipped one.
QWidget* newDeviceMap(DeviceManager* manager)
{
    const QString layoutFile = demoDataFile(QStringLiteral("demo-map.ini"));
    if (!QFileInfo::exists(layoutFile)) {
        // A copy keeps the mode of a read-only checkout; the map must be able to rewrite it.
        QFile::copy(QStringLiteral(DEMO_DATA_DIR "/demo-map.ini"), layoutFile);
        QFile::setPermissions(layoutFile, QFile::permissions(layoutFile) | QFile::WriteOwner);
    }
    auto map = new DeviceMapWidget(manager, layoutFile);
    map->setWindowTitle(QObject::tr("Device map"));
    map->resize(1280, 720);
    return map;
}

} // namespace

QList<DemoWindow> demoWindows()
{
    return {
        {QStringLiteral("devices"), [](DeviceManager* manager) { return new DeviceListWindow(manager); },
         {{QStringLiteral("about"),
           [](QWidget* window) { return new AboutDialog(DeviceListWindow::hostVersions(), window); }}}},
        {QStringLiteral("dashboard"),
         [](DeviceManager* manager) { return new DashboardWindow(manager, demoDataFile(QStringLiteral("dashboard.ini"))); },
         {{QStringLiteral("dashboard-edit"), [](QWidget* window) {
               static_cast<DashboardWindow*>(window)->setEditingEnabled(true);
               return window;
           }}}},
        {QStringLiteral("settings"), [](DeviceManager*) { return new SettingsWindow; }},
        {QStringLiteral("map"), [](DeviceManager* manager) { return newDeviceMap(manager); }},
        {QStringLiteral("wireless"), [](DeviceManager*) { return new WirelessWindow; },
         {{QStringLiteral("wireless-list"),
           [](QWidget* window) { return static_cast<WirelessWindow*>(window)->openNetworkList(); }}}},
    };
}

QString demoDataFile(const QString& fileName)
{
    const QString dataDir = QStandardPaths::writableLocation(QStandardPaths::AppLocalDataLocation);
    QDir().mkpath(dataDir);
    return QDir(dataDir).filePath(fileName);
}
