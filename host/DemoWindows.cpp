#include "DemoWindows.h"

#include "AboutDialog.h"
#include "DashboardWindow.h"
#include "DeviceListWindow.h"
#include "SettingsWindow.h"

#include <QDir>
#include <QStandardPaths>

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
    };
}

QString demoDataFile(const QString& fileName)
{
    const QString dataDir = QStandardPaths::writableLocation(QStandardPaths::AppLocalDataLocation);
    QDir().mkpath(dataDir);
    return QDir(dataDir).filePath(fileName);
}
