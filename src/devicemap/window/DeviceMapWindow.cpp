#include "DeviceMapWindow.h"

#include "AboutDialog.h"
#include "ButtonMenuRunner.h"
#include "DeviceConnectionItem.h"
#include "DeviceManager.h"
#include "DeviceMapParts.h"
#include "DeviceNodeItem.h"
#include "DpiHelper.h"
#include "LoneAltKey.h"
#include "MapAutoLayout.h"
#include "MapSaves.h"
#include "MapSearchBar.h"
#include "MapWaitCursor.h"
#include "MetaDeviceImport.h"
#include "ModalRunner.h"
#include "RunningCommands.h"
#include "TemplatesWidget.h"
#include "UndoHistoryMenus.h"
#include "WindowPlacement.h"
#include "ZenticMessageBox.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QDockWidget>
#include <QGraphicsScene>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QScreen>
#include <QSpinBox>
#include <QToolBar>
#include <QToolButton>
#include <QUndoStack>

namespace {

QString colorModeText(DeviceMapWidget::ColorisationMode mode)
{
    switch (mode) {
    case DeviceMapWidget::ByState:
        return DeviceMapWidget::tr("By state");
    case DeviceMapWidget::ByConnectivity:
        return DeviceMapWidget::tr("By connectivity");
    case DeviceMapWidget::ByThread:
        return DeviceMapWidget::tr("By thread");
    case DeviceMapWidget::BySearch:
        return DeviceMapWidget::tr("By search");
    case DeviceMapWidget::ByNetwork:
        return DeviceMapWidget::tr("By network");
    case DeviceMapWidget::ByArea:
        return DeviceMapWidget::tr("By area");
    }
    return QString();
}

QString activityText(DeviceConnectionItem::ActivityType type)
{
    switch (type) {
    case DeviceConnectionItem::DashedLinePerEmit:
        return QCoreApplication::translate("ConnectionActivity", "Dashed line per emit");
    case DeviceConnectionItem::DashedLinePerTime:
        return QCoreApplication::translate("ConnectionActivity", "Dashed line per time");
    case DeviceConnectionItem::ColorLinePerTime:
        return QCoreApplication::translate("ConnectionActivity", "Color line per time");
    case DeviceConnectionItem::NotActive:
        return QCoreApplication::translate("ConnectionActivity", "Not active");
    }
    return QString();
}

QToolButton* toolButton(const QString& icon, const QString& toolTip)
{
    auto button = new QToolButton();
    button->setIcon(QIcon(icon));
    button->setToolTip(toolTip);
    return button;
}

QPushButton* modeButton(const QString& icon, const QString& text, const QString& styleSheet, QMenu* menu)
{
    auto button = new QPushButton(QIcon(icon), text);
    button->setIconSize(DpiHelper::getScaledSize(QSize(18, 18)));
    button->setStyleSheet(styleSheet);
    button->setMenu(menu);
    ButtonMenuRunner::install(button);
    return button;
}

} // namespace

DeviceMapWindow::DeviceMapWindow(DeviceManager* manager, QString layoutFile, QWidget* parent)
    : QMainWindow(nullptr)
{
    Q_INIT_RESOURCE(resources);
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(tr("Device map"));

    loneAlt = new LoneAltKey(this);
    toolBar = addToolBar(tr("Settings"));
    toolBar->setAllowedAreas(Qt::TopToolBarArea | Qt::BottomToolBarArea);

    mapWidget = new DeviceMapWidget(manager, layoutFile);
    auto central = new QWidget();
    auto centralLayout = new QHBoxLayout(central);
    centralLayout->setContentsMargins(5, 5, 5, 5);
    centralLayout->addWidget(mapWidget);
    setCentralWidget(central);

    buildMenus();
    buildToolBar();
    buildTemplatesDock();
    bindMapWidget(manager);
    createAndSetMenuBar();

    if (isHidden())
        showNormal();
    applyStartPosition(parent);
    mapWidget->setFocus(Qt::OtherFocusReason);
}

DeviceMapWindow::~DeviceMapWindow()
{
    // The view goes with the central widget after this object's own part: nothing it emits
    // on the way (its undo stack clears itself) may reach this window any more.
    unbindMapWidget();
}

DeviceMapWidget* DeviceMapWindow::getDeviceMapWidget() const
{
    return mapWidget;
}

TemplatesWidget* DeviceMapWindow::getTemplatesWidget() const
{
    return templatesWidget;
}

MapSearchBar* DeviceMapWindow::getSearchBar() const
{
    return searchWidget;
}

// ---------------------------------------------------------------------------------------------
// Building

void DeviceMapWindow::buildMenus()
{
    undoMenu = new QMenu(this);
    undoMoreMenu = new QMenu(this);
    redoMenu = new QMenu(this);
    redoMoreMenu = new QMenu(this);
    history = new UndoHistoryMenus(undoMenu, undoMoreMenu, redoMenu, redoMoreMenu, this);
    // Chosen in a menu, a step (waiting for the manager, a paste's for its layout, which may see the
    // window deleted) is taken from the event loop, once the menu's own handling of it is over.
    connect(history, &UndoHistoryMenus::indexChosen, this, &DeviceMapWindow::setUndoIndex, Qt::QueuedConnection);
    // One action per command carries its key, shown beside it in the "Edit" menu; a second
    // shortcut for the same key would leave both unused. The window holds the actions too, so
    // that the keys work while the menu bar is hidden.
    undoAction = new QAction(QIcon(QStringLiteral(":/icons/dozerozozu_activeUndo")), tr("Undo"), this);
    undoAction->setShortcut(QKeySequence(Qt::CTRL + Qt::Key_Z));
    connect(undoAction, &QAction::triggered, this, &DeviceMapWindow::undo, Qt::QueuedConnection);
    redoAction = new QAction(QIcon(QStringLiteral(":/icons/dozerozozu_activeRedo")), tr("Redo"), this);
    redoAction->setShortcut(QKeySequence(Qt::CTRL + Qt::Key_Y));
    connect(redoAction, &QAction::triggered, this, &DeviceMapWindow::redo, Qt::QueuedConnection);
    addActions({undoAction, redoAction});

    clustersMenu = new QMenu(tr("Clusters"), this);
    clustersMenu->setIcon(QIcon(QStringLiteral(":/icons/dozerozozu_cluster")));
    connect(clustersMenu->addAction(DeviceMapWidget::tr("Cluster by GUI Area")), &QAction::triggered, this,
            [this] { rearrange(DeviceMapWidget::ClusterByGuiArea); });
    connect(clustersMenu->addAction(DeviceMapWidget::tr("Cluster by IO")), &QAction::triggered, this,
            [this] { rearrange(DeviceMapWidget::ClusterByIO); });

    gridMenu = new QMenu(tr("Grid"), this);
    gridMenu->setIcon(QIcon(QStringLiteral(":/icons/dozerozozu_grid")));
    activateGridAction = new QAction(tr("Activate grid mode"), this);
    activateGridAction->setObjectName(QStringLiteral("activateGridAction"));
    activateGridAction->setCheckable(true);
    activateGridAction->setShortcut(QKeySequence(Qt::CTRL + Qt::Key_G));
    connect(activateGridAction, &QAction::toggled, this, &DeviceMapWindow::toggleActivateGridMode);
    showGridAction = new QAction(tr("Show grid"), this);
    showGridAction->setObjectName(QStringLiteral("showGridAction"));
    showGridAction->setCheckable(true);
    connect(showGridAction, &QAction::toggled, this, &DeviceMapWindow::toggleShowGrid);
    gridMenu->addAction(activateGridAction);
    gridMenu->addAction(showGridAction);

    colorModeMenu = new QMenu(tr("Color mode"), this);
    colorModeMenu->setIcon(QIcon(QStringLiteral(":/icons/dozerozozu_palette")));
    const QList<QPair<DeviceMapWidget::ColorisationMode, int>> colorEntries{
        {DeviceMapWidget::ByThread, Qt::Key_T},
        {DeviceMapWidget::ByNetwork, Qt::Key_N},
        {DeviceMapWidget::ByArea, Qt::Key_A},
        {DeviceMapWidget::ByState, Qt::Key_S}};
    for (const auto& entry : colorEntries) {
        QAction* action = colorModeMenu->addAction(colorModeText(entry.first));
        action->setData(int(entry.first));
        action->setShortcut(QKeySequence(entry.second));
        connect(action, SIGNAL(triggered()), this, SLOT(setColorModeFromWindow()));
    }

    activityModeMenu = new QMenu(tr("Connection activity mode"), this);
    activityModeMenu->setIcon(QIcon(QStringLiteral(":/icons/dozerozozu_activeConnection")));
    for (DeviceConnectionItem::ActivityType type :
         {DeviceConnectionItem::DashedLinePerEmit, DeviceConnectionItem::DashedLinePerTime,
          DeviceConnectionItem::ColorLinePerTime, DeviceConnectionItem::NotActive}) {
        QAction* action = activityModeMenu->addAction(activityText(type));
        action->setData(int(type));
        connect(action, SIGNAL(triggered()), this, SLOT(setConnectionActivityMode()));
    }
}

void DeviceMapWindow::buildToolBar()
{
    undoButton = toolButton(QStringLiteral(":/icons/dozerozozu_activeUndo"), tr("Undo"));
    undoButton->setObjectName(QStringLiteral("undoButton"));
    redoButton = toolButton(QStringLiteral(":/icons/dozerozozu_activeRedo"), tr("Redo"));
    redoButton->setObjectName(QStringLiteral("redoButton"));
    undoButton->setMenu(undoMenu);
    redoButton->setMenu(redoMenu);
    for (QToolButton* button : {undoButton, redoButton}) {
        button->setPopupMode(QToolButton::MenuButtonPopup);
        button->setEnabled(false);
        ButtonMenuRunner::install(button);
        toolBar->addWidget(button);
    }
    connect(undoButton, &QToolButton::clicked, this, &DeviceMapWindow::undo);
    connect(redoButton, &QToolButton::clicked, this, &DeviceMapWindow::redo);
    toolBar->addSeparator();

    const QList<std::tuple<QString, QString, const char*>> zoomEntries{
        {QStringLiteral(":/icons/dozerozozu_zoom_out"), tr("Decrease scale"), SLOT(decreaseScale())},
        {QStringLiteral(":/icons/dozerozozu_resetScale"), tr("Reset scale"), SLOT(resetScale())},
        {QStringLiteral(":/icons/dozerozozu_zoom_in"), tr("Increase scale"), SLOT(increaseScale())}};
    for (const auto& entry : zoomEntries) {
        QAction* zoom = toolBar->addAction(QIcon(std::get<0>(entry)), std::get<1>(entry));
        mapSlotActions.append({zoom, std::get<2>(entry)});
    }
    toolBar->addSeparator();

    toolBar->addAction(rearrangeAction(DeviceMapWidget::Hierarchical));
    toolBar->addAction(rearrangeAction(DeviceMapWidget::Orthogonal));
    QToolButton* clusterButton = toolButton(QStringLiteral(":/icons/dozerozozu_cluster"), tr("Cluster"));
    clusterButton->setMenu(clustersMenu);
    clusterButton->setPopupMode(QToolButton::InstantPopup);
    ButtonMenuRunner::install(clusterButton);
    toolBar->addWidget(clusterButton);
    QToolButton* fixedClustersButton =
        toolButton(QStringLiteral(":/icons/dozerozozu_fixClusters"), tr("With fixed clusters"));
    connect(fixedClustersButton, &QToolButton::clicked, this, [this] { rearrange(DeviceMapWidget::FixedClusters); });
    toolBar->addWidget(fixedClustersButton);
    toolBar->addSeparator();

    QToolButton* searchButton = toolButton(QStringLiteral(":/icons/dozerozozu_search"), QString());
    searchButton->setObjectName(QStringLiteral("searchButton"));
    connect(searchButton, &QToolButton::clicked, this, &DeviceMapWindow::openSearch);
    toolBar->addWidget(searchButton);
    QToolButton* gridButton = toolButton(QStringLiteral(":/icons/dozerozozu_grid"), tr("Grid mode"));
    gridButton->setMenu(gridMenu);
    gridButton->setPopupMode(QToolButton::InstantPopup);
    ButtonMenuRunner::install(gridButton);
    toolBar->addWidget(gridButton);

    gridCellSizeSpinBox = new QSpinBox();
    gridCellSizeSpinBox->setObjectName(QStringLiteral("gridCellSizeSpinBox"));
    gridCellSizeSpinBox->setRange(10, 100);
    gridCellSizeSpinBox->setSingleStep(5);
    gridCellSizeSpinBox->setFixedWidth(50);
    gridCellSizeSpinBox->setGroupSeparatorShown(true);
    gridCellSizeSpinBox->setLocale(QLocale(QLocale::Zarma, QLocale::Niger));
    gridCellSizeSpinBox->setValue(10);
    gridCellSizeSpinBox->hide();
    auto gridSizeContainer = new QWidget();
    gridSizeContainer->setFixedWidth(int(DpiHelper::getScaledWidth(50)));
    gridSizeContainer->setSizePolicy(QSizePolicy::Maximum, QSizePolicy::Maximum);
    auto gridSizeLayout = new QHBoxLayout(gridSizeContainer);
    gridSizeLayout->setContentsMargins(0, 0, 0, 0);
    gridSizeLayout->addWidget(gridCellSizeSpinBox);
    toolBar->addWidget(gridSizeContainer);
    connect(gridCellSizeSpinBox, SIGNAL(valueChanged(int)), this, SLOT(gridCellSizeChanged()));
    toolBar->addSeparator();

    colorModeButton = modeButton(QStringLiteral(":/icons/dozerozozu_palette"), colorModeText(DeviceMapWidget::ByState),
                                 QStringLiteral("text-align: left;"), colorModeMenu);
    colorModeButton->setObjectName(QStringLiteral("colorModeButton"));
    toolBar->addWidget(colorModeButton);
    activityModeButton = modeButton(QStringLiteral(":/icons/dozerozozu_activeConnection"),
                                    activityText(DeviceConnectionItem::NotActive),
                                    QStringLiteral("text-align: left; margin-left: 20px;"), activityModeMenu);
    activityModeButton->setObjectName(QStringLiteral("activityModeButton"));
    toolBar->addWidget(activityModeButton);
}

void DeviceMapWindow::buildTemplatesDock()
{
    auto spacer = new QWidget();
    spacer->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Minimum);
    toolBar->addWidget(spacer);
    templatesButton = new QPushButton(QIcon(QStringLiteral(":/icons/dozerozozu_templates")), QString());
    templatesButton->setObjectName(QStringLiteral("templatesButton"));
    const int iconSide = QApplication::fontMetrics().height();
    templatesButton->setIconSize(QSize(iconSide, iconSide));
    templatesButton->setToolTip(tr("Templates"));
    templatesButton->setCheckable(true);
    connect(templatesButton, &QPushButton::clicked, this, &DeviceMapWindow::switchTemplatesList);
    toolBar->addWidget(templatesButton);

    templatesWidget = new TemplatesWidget(mapWidget, nullptr);
    templatesDock = new QDockWidget(this);
    templatesDock->setObjectName(QStringLiteral("templatesDock"));
    templatesDock->setTitleBarWidget(new QWidget(templatesDock));
    templatesDock->setFeatures(QDockWidget::NoDockWidgetFeatures);
    templatesDock->setWidget(templatesWidget);
    addDockWidget(Qt::RightDockWidgetArea, templatesDock);
    templatesDock->hide();
}

void DeviceMapWindow::createAndSetMenuBar()
{
    auto bar = new QMenuBar(this);

    QMenu* file = bar->addMenu(tr("File"));
    connect(file->addAction(tr("Import meta device")), &QAction::triggered, this, &DeviceMapWindow::importMetaDevice);
    connect(file->addAction(tr("Export meta device")), &QAction::triggered, this, &DeviceMapWindow::exportMetaDevice);

    QMenu* edit = bar->addMenu(tr("Edit"));
    edit->addAction(undoAction);
    edit->addAction(redoAction);
    mapSlotActions.append({edit->addAction(tr("Initialise devices")), SLOT(initSelectedDevices())});
    mapSlotActions.append({edit->addAction(tr("Deinitialise devices")), SLOT(deinitSelectedDevices())});
    QMenu* rearrangeMenu = edit->addMenu(tr("Rearrange"));
    rearrangeMenu->addAction(rearrangeAction(DeviceMapWidget::Hierarchical));
    rearrangeMenu->addAction(rearrangeAction(DeviceMapWidget::Orthogonal));
    rearrangeMenu->addMenu(clustersMenu);

    QMenu* view = bar->addMenu(tr("View"));
    mapSlotActions.append({view->addAction(QIcon(QStringLiteral(":/icons/dozerozozu_zoom_out")), tr("Decrease scale")),
                           SLOT(decreaseScale())});
    mapSlotActions.append({view->addAction(QIcon(QStringLiteral(":/icons/dozerozozu_resetScale")), tr("Reset scale")),
                           SLOT(resetScale())});
    mapSlotActions.append({view->addAction(QIcon(QStringLiteral(":/icons/dozerozozu_zoom_in")), tr("Increase scale")),
                           SLOT(increaseScale())});
    view->addMenu(colorModeMenu);
    view->addMenu(gridMenu);

    QMenu* help = bar->addMenu(tr("Help"));
    showLegendAction = help->addAction(tr("Show legend"));
    showLegendAction->setObjectName(QStringLiteral("showLegendAction"));
    showLegendAction->setShortcut(QKeySequence(Qt::Key_F1));
    connect(showLegendAction, &QAction::triggered, this, &DeviceMapWindow::toggleLegendFromMenu);
    connect(help->addAction(tr("About")), &QAction::triggered, this,
            [this] { AboutDialog::showAboutDialog({}, this); });

    setMenuBar(bar);
    // The entries made here reach the current view too.
    if (mapWidget) {
        for (const auto& entry : qAsConst(mapSlotActions))
            connect(entry.first, SIGNAL(triggered()), mapWidget, entry.second, Qt::UniqueConnection);
    }
}

// ---------------------------------------------------------------------------------------------
// The map view

void DeviceMapWindow::bindMapWidget(DeviceManager* manager)
{
    if (exitingManager)
        disconnect(exitingManager, nullptr, this, nullptr);
    exitingManager = manager;
    connect(manager, SIGNAL(exit()), this, SLOT(deleteDeviceMapWidget()));

    QUndoStack* stack = mapWidget->getUndoStack();
    history->setStack(stack);
    connect(stack, SIGNAL(canUndoChanged(bool)), this, SLOT(setUndoState(bool)));
    connect(stack, SIGNAL(canRedoChanged(bool)), this, SLOT(setRedoState(bool)));
    setUndoState(stack->canUndo());
    setRedoState(stack->canRedo());

    connect(mapWidget, SIGNAL(colorModeChanged(DeviceMapWidget::ColorisationMode)), this,
            SLOT(setColorModeFromWidget(DeviceMapWidget::ColorisationMode)));
    connect(mapWidget, &DeviceMapWidget::saveFailed, this, &DeviceMapWindow::saveFailed);
    connect(mapWidget, &DeviceMapWidget::legendToggled, this, [this](bool shown) {
        showLegendAction->setText(shown ? tr("Hide legend") : tr("Show legend"));
    });
    for (const auto& entry : qAsConst(mapSlotActions))
        connect(entry.first, SIGNAL(triggered()), mapWidget, entry.second, Qt::UniqueConnection);
    setColorModeFromWidget(mapWidget->getColorisationMode());
    if (showLegendAction)
        showLegendAction->setText(mapWidget->legendIsActive() ? tr("Hide legend") : tr("Show legend"));

    searchWidget = new MapSearchBar(mapWidget);
    searchLineEdit = searchWidget->lineEdit();
    foundCounterLabel = searchWidget->counterLabel();
    connect(searchLineEdit, SIGNAL(textChanged(QString)), this, SLOT(startSearch()));
    connect(searchLineEdit, SIGNAL(returnPressed()), this, SLOT(startSearch()));
    connect(searchWidget->searchAction(), &QAction::triggered, this, &DeviceMapWindow::startSearch);
    connect(searchWidget->nextAction(), &QAction::triggered, this, &DeviceMapWindow::nextFoundDevice);
    connect(searchWidget->previousAction(), &QAction::triggered, this, &DeviceMapWindow::prevFoundDevice);
    connect(searchWidget->closeButton(), &QPushButton::clicked, this, &DeviceMapWindow::closeSearch);

    templatesWidget->setDeviceMapWidget(mapWidget);
}

void DeviceMapWindow::unbindMapWidget()
{
    currentFoundDevice = nullptr;
    if (!mapWidget)
        return;
    disconnect(mapWidget->getUndoStack(), nullptr, this, nullptr);
    disconnect(mapWidget, nullptr, this, nullptr);
    if (searchWidget)
        disconnect(searchWidget, nullptr, this, nullptr);
    history->setStack(nullptr);
    if (templatesWidget)
        templatesWidget->setDeviceMapWidget(nullptr);
}

void DeviceMapWindow::deleteDeviceMapWidget()
{
    if (!mapWidget)
        return;
    unbindMapWidget();
    undoButton->setEnabled(false);
    redoButton->setEnabled(false);
    DeviceMapWidget* map = mapWidget;
    mapWidget = nullptr;
    // A view inside a command goes once the command has returned, out of the window meanwhile.
    if (!DeviceMapParts(map).runningCommands().holdDeletion(map))
        delete map;
}

void DeviceMapWindow::resetDeviceMapWidget(DeviceManager* manager, QString layoutFile)
{
    // The old central widget is the view itself after an earlier reset.
    QPointer<QWidget> oldCentral = takeCentralWidget();
    if (mapWidget) {
        DeviceNodeItem::setUnplacedDevices(QStringList());
        unbindMapWidget();
        delete mapWidget.data();
    }
    delete oldCentral.data();

    mapWidget = new DeviceMapWidget(manager, layoutFile);
    bindMapWidget(manager);
    setCentralWidget(mapWidget);
}

// A host's slot on a report made during a command of the map may run a modal box, in whose
// event loop the user closes the window: the command goes on over the map, and the window with it.
bool DeviceMapWindow::event(QEvent* event)
{
    if (event->type() == QEvent::DeferredDelete && mapWidget
        && DeviceMapParts(mapWidget.data()).runningCommands().holdDeletion(this))
        return true;
    return QMainWindow::event(event);
}

// The view, a child, hears nothing of the window's close: it saves as when it closes itself,
// while the window can still pass on a failure.
void DeviceMapWindow::closeEvent(QCloseEvent* event)
{
    if (mapWidget)
        DeviceMapParts(mapWidget.data()).saves().saveOnClosing();
    QMainWindow::closeEvent(event);
}

// ---------------------------------------------------------------------------------------------
// Placement

void DeviceMapWindow::toTheFront()
{
    if (isHidden())
        showNormal();
    setWindowState((windowState() & ~Qt::WindowMinimized) | Qt::WindowActive);
    raise();
    activateWindow();
}

void DeviceMapWindow::applyStartPosition(QWidget* widget)
{
    // Without a widget to open over, the window opens over the primary screen.
    QRect over;
    if (widget)
        over = widget->geometry();
    else if (QScreen* screen = QGuiApplication::primaryScreen())
        over = screen->geometry();
    move(WindowPlacement::startPosition(over, size(), WindowPlacement::screenSizeAt));
}

// ---------------------------------------------------------------------------------------------
// Search

void DeviceMapWindow::openSearch()
{
    if (searchWidget)
        searchWidget->open();
}

bool DeviceMapWindow::hasSearchText() const
{
    return searchLineEdit && !searchLineEdit->text().isEmpty();
}

void DeviceMapWindow::startSearch()
{
    if (!mapWidget || !searchLineEdit)
        return;
    const QString text = searchLineEdit->text();
    mapWidget->scene()->clearSelection();
    // An empty search puts back the colours in force before the search; without a search in
    // force (Return in an empty field) there is nothing to put back.
    if (!text.isEmpty() || mapWidget->getColorisationMode() == DeviceMapWidget::BySearch)
        mapWidget->searchDevices(text);
    const QList<DeviceNodeItem*> found = text.isEmpty() ? QList<DeviceNodeItem*>() : mapWidget->getFoundDevices();
    if (found.isEmpty()) {
        currentFoundDevice = nullptr;
        foundCounterLabel->setText(QStringLiteral("0/0"));
        return;
    }
    currentFoundDevice = found.first();
    showFoundDevice(0, found.size());
}

void DeviceMapWindow::updateSearch()
{
    if (mapWidget && hasSearchText())
        mapWidget->searchDevices(searchLineEdit->text());
}

void DeviceMapWindow::nextFoundDevice() { stepFoundDevice(1); }
void DeviceMapWindow::prevFoundDevice() { stepFoundDevice(-1); }

void DeviceMapWindow::stepFoundDevice(int step)
{
    // Without search text there are no hits, and searching for nothing would change the colours.
    if (!mapWidget || !hasSearchText())
        return;
    updateSearch();
    const QList<DeviceNodeItem*> found = mapWidget->getFoundDevices();
    if (found.isEmpty())
        return;
    int position = currentFoundDevice ? found.indexOf(currentFoundDevice.data()) : -1;
    if (position >= 0) {
        currentFoundDevice->setSelected(false);
        position = (position + step + found.size()) % found.size();
    } else {
        position = 0;
    }
    currentFoundDevice = found.at(position);
    showFoundDevice(position, found.size());
}

void DeviceMapWindow::showFoundDevice(int position, int count)
{
    foundCounterLabel->setText(QStringLiteral("%0/%1").arg(position + 1).arg(count));
    highlightFoundDevice(currentFoundDevice);
}

void DeviceMapWindow::highlightFoundDevice(DeviceNodeItem* item)
{
    if (!mapWidget || !item)
        return;
    item->setSelected(true);
    mapWidget->centerOn(item);
}

void DeviceMapWindow::closeSearch()
{
    if (!searchWidget)
        return;
    searchLineEdit->setText(QString());
    searchWidget->hide();
}

// ---------------------------------------------------------------------------------------------
// Undo history

void DeviceMapWindow::setUndoState(bool canUndo)
{
    history->rebuildUndo();
    undoButton->setEnabled(canUndo && mapWidget);
}

void DeviceMapWindow::setRedoState(bool canRedo)
{
    history->rebuildRedo();
    redoButton->setEnabled(canRedo && mapWidget);
}

namespace {

// A long step shows the wait cursor from its operation on; the guards here keep it up until
// the map has written its layout file and the histories are rebuilt. A step inside another
// command of the map (from a host's loop) would undo or free the operation still running.
void stepUndoStack(DeviceMapWidget* map, void (QUndoStack::*step)(), const char* entry)
{
    MapWaitCursor wholeRun;
    const RunningCommands::Entry command(map, entry);
    if (command.hasBegun())
        (map->getUndoStack()->*step)();
}

} // namespace

void DeviceMapWindow::undo() { stepUndoStack(mapWidget, &QUndoStack::undo, "DeviceMapWindow::undo()"); }
void DeviceMapWindow::redo() { stepUndoStack(mapWidget, &QUndoStack::redo, "DeviceMapWindow::redo()"); }

void DeviceMapWindow::setUndoIndex(int index)
{
    if (!mapWidget)
        return;
    QPointer<DeviceMapWidget> map(mapWidget);
    MapWaitCursor wholeRun;
    const RunningCommands::Entry command(map, "DeviceMapWindow::setUndoIndex()");
    if (!command.hasBegun())
        return;
    map->getUndoStack()->setIndex(index);
    // A host may have deleted the view outright while a step ran.
    if (!map)
        return;
    map->update();
    map->scene()->update(QRectF());
    map->viewport()->update();
}

// ---------------------------------------------------------------------------------------------
// Colours, activity and grid

void DeviceMapWindow::setColorModeFromWindow()
{
    auto action = qobject_cast<QAction*>(sender());
    if (!mapWidget || !action || !action->data().isValid())
        return;
    const auto chosen = DeviceMapWidget::ColorisationMode(action->data().toInt());
    // Choosing the mode in force again goes back to colouring by state.
    const bool inForce = colorModeButton->text() == colorModeText(chosen);
    mapWidget->setColorisationMode(inForce ? DeviceMapWidget::ByState : chosen);
}

void DeviceMapWindow::setColorModeFromWidget(DeviceMapWidget::ColorisationMode m)
{
    const QString text = colorModeText(m);
    if (!text.isEmpty())
        colorModeButton->setText(text);
}

void DeviceMapWindow::setConnectionActivityMode()
{
    if (!mapWidget)
        return;
    auto action = qobject_cast<QAction*>(sender());
    const bool known = action && action->data().isValid();
    const auto type = DeviceConnectionItem::ActivityType(known ? action->data().toInt() : -1);
    mapWidget->getDeviceManager()->setSignalsTracking(type != DeviceConnectionItem::NotActive);
    if (known) {
        DeviceConnectionItem::setActivityType(type);
        activityModeButton->setText(activityText(type));
    }
    mapWidget->viewport()->update();
}

void DeviceMapWindow::toggleActivateGridMode()
{
    if (!mapWidget)
        return;
    if (DeviceNodeItem::getGridOn()) {
        // Unchecking "Show grid" hides the grid through toggleShowGrid().
        showGridAction->setChecked(false);
        gridCellSizeSpinBox->hide();
    } else {
        DeviceNodeItem::setGridCellSize(gridCellSizeSpinBox->value());
        gridCellSizeSpinBox->show();
        showGridAction->setChecked(true);
    }
    mapWidget->toogleBindItemsToGrid();
}

void DeviceMapWindow::toggleShowGrid()
{
    if (!mapWidget)
        return;
    if (!DeviceNodeItem::getGridOn() && mapWidget->getGrid().isActive()) {
        gridCellSizeSpinBox->hide();
    } else {
        DeviceNodeItem::setGridCellSize(gridCellSizeSpinBox->value());
        gridCellSizeSpinBox->show();
    }
    mapWidget->toggleShowGrid();
}

void DeviceMapWindow::gridCellSizeChanged()
{
    DeviceNodeItem::setGridCellSize(gridCellSizeSpinBox->value());
    if (mapWidget)
        mapWidget->getGrid().update();
}

void DeviceMapWindow::toggleLegendFromMenu()
{
    if (!mapWidget)
        return;
    const bool show = !mapWidget->legendIsActive();
    showLegendAction->setText(show ? tr("Hide legend") : tr("Show legend"));
    mapWidget->toggleLegend(show);
}

// Chosen in a menu as well: the question and the layout's wait come once the menu is done.
void DeviceMapWindow::rearrange(DeviceMapWidget::LayoutType type)
{
    if (mapWidget)
        DeviceMapParts(mapWidget.data()).automaticLayout().rearrangeGraphLater(type);
}

QAction* DeviceMapWindow::rearrangeAction(DeviceMapWidget::LayoutType type)
{
    const bool hierarchical = type == DeviceMapWidget::Hierarchical;
    auto action = new QAction(QIcon(hierarchical ? QStringLiteral(":/icons/dozerozozu_hierarchical")
                                                 : QStringLiteral(":/icons/dozerozozu_orthogonal")),
                              hierarchical ? DeviceMapWidget::tr("Hierarchical") : DeviceMapWidget::tr("Orthogonal"),
                              this);
    connect(action, &QAction::triggered, this, [this, type] { rearrange(type); });
    return action;
}

// ---------------------------------------------------------------------------------------------
// Meta devices and templates

void DeviceMapWindow::importMetaDevice()
{
    // The manager is reached through the view: without one there is nothing to import into.
    if (!mapWidget)
        return;
    QPointer<DeviceMapWindow> alive(this);
    const QString path = ModalRunner::getOpenFileName(this, tr("Import meta device"), QDir::currentPath(),
                                                      tr("Meta devices (*.yml)"));
    // The dialog ran an event loop: the manager may have exited, the window may be gone.
    if (!alive || !mapWidget)
        return;
    const QString refusal =
        path.isEmpty() ? QString()
                       : MetaDeviceImport::importFile(mapWidget->getDeviceManager(), path, "DeviceMapWindow::importMetaDevice()");
    if (!refusal.isEmpty()) {
        ZenticMessageBox::warning(this, DeviceMapWidget::tr("Import meta device error"), refusal);
        if (!alive)
            return;
    }
    if (mapWidget)
        mapWidget->updateTypesMenu();
}

void DeviceMapWindow::exportMetaDevice()
{
    if (!mapWidget)
        return;
    QList<QGraphicsItem*> items;
    const QMap<QString, DeviceNodeItem*> devices = mapWidget->getDeviceItems();
    for (DeviceNodeItem* device : devices)
        items.append(device);
    mapWidget->exportMetaDevice(items);
}

void DeviceMapWindow::switchTemplatesList()
{
    templatesDock->setVisible(!templatesDock->isVisible());
    templatesButton->setChecked(templatesDock->isVisible());
}

// ---------------------------------------------------------------------------------------------
// Keys

void DeviceMapWindow::keyPressEvent(QKeyEvent* event)
{
    loneAlt->keyPressed(event);
    const Qt::KeyboardModifiers modifiers = event->modifiers() & ~Qt::KeypadModifier;
    if (event->key() == Qt::Key_F3 && modifiers != Qt::ShiftModifier) {
        nextFoundDevice();
    } else if (event->key() == Qt::Key_F3) {
        prevFoundDevice();
    } else if (event->key() == Qt::Key_F && modifiers == Qt::ControlModifier) {
        openSearch();
    } else if (event->key() == Qt::Key_Escape) {
        closeSearch();
    }
}

void DeviceMapWindow::keyReleaseEvent(QKeyEvent* event)
{
    // Alt held for a wheel turn (a sideways scroll), a click or another key leaves the bar alone.
    if (loneAlt->releasedAlone(event))
        menuBar()->setVisible(menuBar()->isHidden());
    QWidget::keyReleaseEvent(event);
}
