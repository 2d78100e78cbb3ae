#include "DemoWindows.h"

#include "AboutDialog.h"
#include "DashboardWindow.h"
#include "DemoFiles.h"
#include "DemoMenu.h"
#include "DemoQuit.h"
#include "DemoTemplates.h"
#include "DeviceConnectionsDialog.h"
#include "DeviceListWindow.h"
#include "DeviceManager.h"
#include "DeviceMapWidget.h"
#include "DeviceMapWindow.h"
#include "DeviceNodeItem.h"
#include "DevicePanelsWindow.h"
#include "ExportMetaDeviceWizard.h"
#include "HeightToleranceDialog.h"
#include "MapSearchBar.h"
#include "ModalRunner.h"
#include "SafeFileWriter.h"
#include "SettingsWindow.h"
#include "TemplatesWidget.h"
#include "WirelessWindow.h"
#include "ZenticMessageBox.h"

#include <QAction>
#include <QKeySequence>
#include <QApplication>
#include <QCheckBox>
#include <QDebug>
#include <QDir>
#include <QDockWidget>
#include <QFile>
#include <QFileInfo>
#include <QFileSystemModel>
#include <QGraphicsScene>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QMouseEvent>
#include <QPainter>
#include <QPushButton>
#include <QStandardPaths>
#include <QTabWidget>
#include <QTreeView>

#include <algorithm>

namespace {

// Written afresh rather than copied: a copy would keep the mode of a read-only checkout, and
// the library must be able to rewrite what it was given. Into a folder made when missing, as
// the map's saves then go there.
void provideDataFile(const QString& shippedPath, const QString& target)
{
    if (QFileInfo::exists(target))
        return;
    QFile shipped(shippedPath);
    QString error;
    if (!QDir().mkpath(QFileInfo(target).absolutePath()))
        error = QStringLiteral("cannot make its folder");
    else if (!shipped.open(QIODevice::ReadOnly))
        error = shipped.errorString();
    else if (SafeFileWriter::writeFile(target, shipped.readAll(), &error))
        return;
    qWarning().noquote() << "Demo: cannot copy" << shippedPath << "to" << target << ":" << error;
}

// The map window over the run's graph. The map rewrites its layout file after every edit, so it
// works on the places of the run's files, which start from those the graph came with; the
// templates panel lists the run's templates (DemoTemplates).
QWidget* newDeviceMapWindow(DeviceManager* manager)
{
    const DemoFiles& files = DemoFiles::current();
    const QString layoutFile = files.mapLayout();
    if (!files.mapLayoutSource().isEmpty())
        provideDataFile(files.mapLayoutSource(), layoutFile);
    DemoTemplates::prepare(files);

    auto window = new DeviceMapWindow(manager, layoutFile, nullptr);
    // The host keeps its windows until it quits.
    window->setAttribute(Qt::WA_DeleteOnClose, false);
    addDemoMenu(window->menuBar());
    // Once per failure, after the edit that failed: the map keeps the edit on the screen. At
    // Quit, when the window's closing save failed, no later save comes.
    QObject::connect(window, &DeviceMapWindow::saveFailed, window, [window](const QString& file) {
        const QString informative =
            DemoQuit::isEnding()
                ? QCoreApplication::translate("DemoWindows", "%1 could not be written (the log says why). The demo is "
                                                             "ending: your changes to the map were not saved.")
                : QCoreApplication::translate("DemoWindows", "%1 could not be written (the log says why). The map shows "
                                                             "your changes, but they are kept only once a later save "
                                                             "succeeds.");
        ZenticMessageBox::warning(window, QCoreApplication::translate("DemoWindows", "The map could not be saved."),
                                  informative.arg(QDir::toNativeSeparators(file)));
    });
    window->resize(1280, 720);
    window->applyStartPosition(nullptr);
    return window;
}

DeviceMapWidget* mapOf(QWidget* window)
{
    return static_cast<DeviceMapWindow*>(window)->getDeviceMapWidget();
}

// The search bar as Ctrl+F opens it, before anything is typed: its placeholder tells what it finds.
QWidget* emptySearch(QWidget* window)
{
    if (MapSearchBar* search = static_cast<DeviceMapWindow*>(window)->getSearchBar())
        search->open();
    return window;
}

// The window while the user looks for the scalers, with the sample template open beside the map.
QWidget* searchAndTemplates(QWidget* window)
{
    auto mapWindow = static_cast<DeviceMapWindow*>(window);
    if (MapSearchBar* search = mapWindow->getSearchBar()) {
        search->open();
        search->lineEdit()->setText(QStringLiteral("scaler"));
    }
    if (auto templatesButton = mapWindow->findChild<QPushButton*>(QStringLiteral("templatesButton")))
        templatesButton->click();
    auto tree = mapWindow->getTemplatesWidget()->findChild<QTreeView*>(QStringLiteral("templatesFileView"));
    auto files = tree ? qobject_cast<QFileSystemModel*>(tree->model()) : nullptr;
    const QString sample = QDir(TemplatesWidget::templatesDirectory()).filePath(QStringLiteral("threshold-alarm.yml"));
    if (files)
        tree->setCurrentIndex(files->index(sample));
    return window;
}

// The dialog a click on the link from the first comparator to the counter opens: crossings
// count, they could also reset it, and with the bool-to-int conversion allowed (as here) the
// comparator's state could set the counter's step.
QWidget* connectionsOfALink(QWidget* window)
{
    DeviceMapWidget* map = mapOf(window);
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
    DeviceMapWidget* map = mapOf(window);
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

// A mouse event on the map's viewport, as the window system delivers it.
void sendMouse(DeviceMapWidget* map, QEvent::Type type, const QPointF& scenePos, Qt::MouseButton button)
{
    QWidget* viewport = map->viewport();
    const QPoint pos = map->mapFromScene(scenePos);
    QMouseEvent event(type, QPointF(pos), QPointF(pos), QPointF(viewport->mapToGlobal(pos)),
                      type == QEvent::MouseMove ? Qt::NoButton : button,
                      type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::MouseButtons(button), Qt::NoModifier);
    QApplication::sendEvent(viewport, &event);
}

// A second map of the same graph, on a copy of the first map's places that the run keeps for
// itself, so that the places it edits keep nothing of it: the signal sources clustered with a
// right-button rubber band, named at the prompt, and a connection being drawn from a formatter
// with the right button held.
QWidget* drawingOnTheMap(QWidget* window)
{
    DeviceMapWidget* owner = mapOf(window);
    const QString layoutFile = DemoFiles::runFile(QStringLiteral("demo-map-drawing.ini"));
    QFile places(owner->getLayoutFile());
    QString error;
    if (places.exists() && (!places.open(QIODevice::ReadOnly) || !SafeFileWriter::writeFile(layoutFile, places.readAll(), &error)))
        qWarning().noquote() << "Demo: cannot copy the map layout to" << layoutFile << ":" << error;
    auto map = new DeviceMapWidget(owner->getDeviceManager(), layoutFile, owner);
    map->setWindowFlags(Qt::Window);
    map->setAttribute(Qt::WA_DeleteOnClose);
    map->setWindowTitle(QObject::tr("Device map"));
    map->resize(owner->size());
    map->show();
    QApplication::processEvents();

    {
        ModalRunner::MenuAnswerGuard choose(QStringLiteral("Create cluster..."));
        ModalRunner::InputAnswerGuard name(QObject::tr("Sources"));
        sendMouse(map, QEvent::MouseButtonPress, QPointF(12, 12), Qt::RightButton);
        sendMouse(map, QEvent::MouseMove, QPointF(200, 100), Qt::RightButton);
        sendMouse(map, QEvent::MouseMove, QPointF(420, 172), Qt::RightButton);
        sendMouse(map, QEvent::MouseButtonRelease, QPointF(420, 172), Qt::RightButton);
    }
    const QPointF formatter(545, 305);
    sendMouse(map, QEvent::MouseMove, formatter, Qt::NoButton);
    sendMouse(map, QEvent::MouseButtonPress, formatter, Qt::RightButton);
    sendMouse(map, QEvent::MouseMove, QPointF(650, 380), Qt::RightButton);
    sendMouse(map, QEvent::MouseMove, QPointF(790, 420), Qt::RightButton);
    return map;
}

// The window with menu open at point (in the window's coordinates), in one picture: a menu is a
// window of its own, so it is shown without blocking, grabbed, and drawn where a desktop puts
// it: below and right of the point, above or left of it where the window ends (the screen the
// demo runs on may be smaller).
QPixmap withMenuOpen(QWidget* window, QMenu& menu, const QPoint& point)
{
    menu.popup(window->mapToGlobal(point));
    QApplication::processEvents();
    QPixmap picture = window->grab();
    QRect place(point, menu.size());
    if (place.bottom() >= window->height())
        place.moveBottom(point.y());
    if (place.right() >= window->width())
        place.moveRight(point.x());
    QPainter painter(&picture);
    painter.drawPixmap(place.topLeft(), menu.grab());
    menu.hide();
    return picture;
}

// A picture of window shown as a window of its own, at the picture's size.
QWidget* pictureOf(QWidget* window, const QPixmap& picture)
{
    auto shot = new QLabel();
    shot->setAttribute(Qt::WA_DeleteOnClose);
    shot->setWindowTitle(window->windowTitle());
    shot->setPixmap(picture);
    // A window is first shown at most two thirds of the screen; the picture keeps its size.
    shot->setFixedSize(picture.size() / picture.devicePixelRatio());
    return shot;
}

// The first counter's menu, opened by a right click as the user would.
QWidget* deviceMenuOnTheMap(QWidget* window)
{
    DeviceMapWidget* map = mapOf(window);
    DeviceNodeItem* counter = map->getDeviceItems().value(QStringLiteral("counter1"));
    if (!counter)
        return window;
    const QPointF clicked = counter->getCenter();
    const QPoint inViewport = map->mapFromScene(clicked);
    QPixmap picture;
    {
        ModalRunner::MenuAnswerGuard look([&](QMenu& menu) -> QAction* {
            picture = withMenuOpen(window, menu, map->viewport()->mapTo(window, inViewport));
            return nullptr;
        });
        sendMouse(map, QEvent::MouseButtonPress, clicked, Qt::RightButton);
        sendMouse(map, QEvent::MouseButtonRelease, clicked, Qt::RightButton);
    }
    map->scene()->clearSelection();
    return pictureOf(window, picture);
}

// The hot-key legend as F1 shows it; hidden again once taken, so the later scenes show the map
// as it opened.
QWidget* legendOnTheMap(QWidget* window)
{
    auto showLegend = window->findChild<QAction*>(QStringLiteral("showLegendAction"));
    if (!showLegend)
        return window;
    showLegend->trigger();
    const QPixmap picture = window->grab();
    showLegend->trigger();
    return pictureOf(window, picture);
}

// The menu of the window's menu bar whose title matches, open under its title.
QWidget* menuOpen(QWidget* window, const std::function<bool(const QAction* title, int index)>& matches)
{
    auto* bar = window->findChild<QMenuBar*>();
    const QList<QAction*> titles = bar ? bar->actions() : QList<QAction*>();
    for (int index = 0; index < titles.size(); ++index) {
        QAction* title = titles.at(index);
        if (!title->menu() || !matches(title, index))
            continue;
        const QPoint below = bar->mapTo(window, bar->actionGeometry(title).bottomLeft());
        return pictureOf(window, withMenuOpen(window, *title->menu(), below));
    }
    return window;
}

// The demo's own menu, the first of the bar.
QWidget* demoMenuOpen(QWidget* window)
{
    return menuOpen(window, [](const QAction*, int index) { return index == 0; });
}

// The map window's "Edit" menu, the one with Undo, and the keys of its commands.
QWidget* editMenuOpen(QWidget* window)
{
    return menuOpen(window, [](const QAction* title, int) {
        const QList<QAction*> entries = title->menu()->actions();
        return std::any_of(entries.cbegin(), entries.cend(), [](const QAction* entry) {
            return entry->shortcut() == QKeySequence(Qt::CTRL + Qt::Key_Z);
        });
    });
}

// The window with the map's second legend, its colours (and the search keys while searching), as
// F1 then H show it; hidden again once taken.
QPixmap withColourLegend(QWidget* window)
{
    DeviceMapWidget* map = mapOf(window);
    if (auto showLegend = window->findChild<QAction*>(QStringLiteral("showLegendAction")))
        showLegend->trigger();
    map->switchLegend();
    // The tool bar makes room for the colour mode's new text as the event loop lays it out.
    QCoreApplication::processEvents();
    const QPixmap picture = window->grab();
    map->switchLegend();
    return picture;
}

// The map coloured by the thread each device runs in, with the colours' legend.
QWidget* byThreadOnTheMap(QWidget* window)
{
    DeviceMapWidget* map = mapOf(window);
    map->setColorisationMode(DeviceMapWidget::ByThread);
    const QPixmap picture = withColourLegend(window);
    map->setColorisationMode(DeviceMapWidget::ByState);
    return pictureOf(window, picture);
}

// The search for the scalers with the legend shown: the keys that step through the hits.
QWidget* searchLegendOnTheMap(QWidget* window)
{
    auto mapWindow = static_cast<DeviceMapWindow*>(window);
    MapSearchBar* search = mapWindow->getSearchBar();
    if (!search)
        return window;
    search->open();
    search->lineEdit()->setText(QStringLiteral("scaler"));
    const QPixmap picture = withColourLegend(window);
    search->lineEdit()->clear();
    search->closeButton()->click();
    return pictureOf(window, picture);
}

// The sample map after the user's "Rearrange layout" with the given type (answered yes),
// zoomed out as far as the user would to see all of it.
std::function<QWidget*(QWidget*)> rearranged(DeviceMapWidget::LayoutType type)
{
    return [type](QWidget* window) {
        DeviceMapWidget* map = mapOf(window);
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
           [](QWidget* window) { return new AboutDialog(DeviceListWindow::hostVersions(), window); }},
          {QStringLiteral("demo-menu"), demoMenuOpen}}},
        {QStringLiteral("dashboard"),
         [](DeviceManager* manager) { return new DashboardWindow(manager, DemoFiles::current().dashboardLayout()); },
         {{QStringLiteral("dashboard-edit"), [](QWidget* window) {
               static_cast<DashboardWindow*>(window)->setEditingEnabled(true);
               return window;
           }}}},
        {QStringLiteral("settings"), [](DeviceManager*) { return new SettingsWindow; },
         {{QStringLiteral("settings-devices"), [](QWidget* window) {
               static_cast<SettingsWindow*>(window)->getTabWidget()->setCurrentIndex(2);
               return window;
           }},
          {QStringLiteral("settings-tolerance"), [](QWidget* window) {
               auto dialog = SettingsWindow::newHeightToleranceDialog(window);
               dialog->setAttribute(Qt::WA_DeleteOnClose);
               return dialog;
           }}}},
        {QStringLiteral("map"), [](DeviceManager* manager) { return newDeviceMapWindow(manager); },
         {{QStringLiteral("map-legend"), legendOnTheMap},
          {QStringLiteral("map-connections"), connectionsOfALink},
          {QStringLiteral("map-device-menu"), deviceMenuOnTheMap},
          {QStringLiteral("map-edit-menu"), editMenuOpen},
          {QStringLiteral("map-by-thread"), byThreadOnTheMap},
          {QStringLiteral("map-search-legend"), searchLegendOnTheMap},
          {QStringLiteral("map-drawing"), drawingOnTheMap},
          {QStringLiteral("export-wizard"), newExportWizard},
          {QStringLiteral("map-hierarchical"), rearranged(DeviceMapWidget::Hierarchical)},
          {QStringLiteral("map-orthogonal"), rearranged(DeviceMapWidget::Orthogonal)},
          {QStringLiteral("map-clusterbyio"), rearranged(DeviceMapWidget::ClusterByIO)},
          {QStringLiteral("map-search"), emptySearch},
          // Last: the search bar and the panel stay open.
          {QStringLiteral("map-search-templates"), searchAndTemplates}}},
        DevicePanelsWindow::demoWindow(),
        {QStringLiteral("wireless"), [](DeviceManager*) { return new WirelessWindow; },
         {{QStringLiteral("wireless-list"),
           [](QWidget* window) { return static_cast<WirelessWindow*>(window)->openNetworkList(); }}}},
    };
}

QString demoDataFolder()
{
    return QStandardPaths::writableLocation(QStandardPaths::AppLocalDataLocation);
}

QString demoDataFile(const QString& fileName)
{
    return QDir(demoDataFolder()).filePath(fileName);
}
