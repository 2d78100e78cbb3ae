#include "DemoWindows.h"

#include "AboutDialog.h"
#include "DashboardWindow.h"
#include "DeviceConnectionsDialog.h"
#include "DeviceListWindow.h"
#include "DeviceManager.h"
#include "DeviceMapWidget.h"
#include "DeviceNodeItem.h"
#include "ExportMetaDeviceWizard.h"
#include "SafeFileWriter.h"
#include "SettingsWindow.h"

#include <QCheckBox>
#include <QDebug>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QGraphicsScene>
#include <QPushButton>
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

// The dialog a click on the link from the first comparator to the counter opens: crossings
// count, they could also reset it, and with the bool-to-int conversion allowed (as here) the
// comparator's state could set the counter's step.
QWidget* connectionsOfALink(QWidget* window)
{
    auto map = static_cast<DeviceMapWidget*>(window);
    DeviceManager* manager = map->getDeviceManager();
    auto dialog = new DeviceConnectionsDialog(manager, manager->getDeviceInfo(QStringLiteral("comparator1")),
                                              manager->getDeviceInfo(QStringLiteral("counter1")), map);
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    if (QCheckBox* toInt = dialog->conversionBox(TypePair(QStringLiteral("bool"), QStringLiteral("int"))))
        toInt->setChecked(true);
    return dialog;
}

// The export of every device on the map, as the map's own export command opens it, with two
// devices checked so that both button states show.
QWidget* newExportWizard(QWidget* window)
{
    auto* map = static_cast<DeviceMapWidget*>(window);
    QList<QGraphicsItem*> items;
    QList<DeviceInfo> infos;
    const QMap<QString, DeviceNodeItem*> deviceItems = map->getDeviceItems();
    for (auto it = deviceItems.constBegin(); it != deviceItems.constEnd(); ++it) {
        items.append(it.value());
        infos.append(map->getDeviceManager()->getDeviceInfo(it.key()));
    }
    auto* wizard = new ExportMetaDeviceWizard(items, infos, map->getDeviceManager(), map);
    const QList<QPushButton*> buttons = wizard->page(0)->findChildren<QPushButton*>();
    for (int i = 1; i < qMin(buttons.size(), 4); i += 2)
        buttons.at(i)->click();
    return wizard;
}

// The sample map after the user's "Rearrange layout" with the given type (answered yes),
// zoomed out as far as the user would to see all of it.
std::function<QWidget*(QWidget*)> rearranged(DeviceMapWidget::LayoutType type)
{
    return [type](QWidget* window) {
        auto map = static_cast<DeviceMapWidget*>(window);
        map->rearrangeGraph(type, false);
        map->resetTransform();
        map->fitInView(map->scene()->itemsBoundingRect().adjusted(-20, -20, 20, 20), Qt::KeepAspectRatio);
        return map;
    };
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
        {QStringLiteral("map"), [](DeviceManager* manager) { return newDeviceMap(manager); },
         {{QStringLiteral("map-connections"), connectionsOfALink},
          {QStringLiteral("export-wizard"), newExportWizard},
          {QStringLiteral("map-hierarchical"), rearranged(DeviceMapWidget::Hierarchical)},
          {QStringLiteral("map-orthogonal"), rearranged(DeviceMapWidget::Orthogonal)},
          {QStringLiteral("map-clusterbyio"), rearranged(DeviceMapWidget::ClusterByIO)}}},
    };
}

QString demoDataFile(const QString& fileName)
{
    const QString dataDir = QStandardPaths::writableLocation(QStandardPaths::AppLocalDataLocation);
    QDir().mkpath(dataDir);
    return QDir(dataDir).filePath(fileName);
}
