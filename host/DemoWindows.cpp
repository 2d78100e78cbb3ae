#include "DemoWindows.h"

#include "AboutDialog.h"
#include "DashboardWindow.h"
#include "DeviceListWindow.h"
#include "DeviceMapWidget.h"
#include "SafeFileWriter.h"
#include "SettingsWindow.h"

#include <QDebug>
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
        // Written afresh rather than copied: a copy would keep the mode of a read-only checkout,
        // and the map must be able to rewrite its file.
        QFile shipped(QStringLiteral(DEMO_DATA_DIR "/demo-map.ini"));
        QString error;
        if (!shipped.open(QIODevice::ReadOnly) || !SafeFileWriter::writeFile(layoutFile, shipped.readAll(), &error))
            qWarning().noquote() << "Demo: cannot copy the map layout to" << layoutFile << ":" << error;
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
    };
}

QString demoDataFile(const QString& fileName)
{
    const QString dataDir = QStandardPaths::writableLocation(QStandardPaths::AppLocalDataLocation);
    QDir().mkpath(dataDir);
    return QDir(dataDir).filePath(fileName);
}
