#include "DashboardWindow.h"

#include "DemoMenu.h"
#include "DemoQuit.h"
#include "DeviceManager.h"
#include "DeviceWidgetArea.h"
#include "WidgetManager.h"
#include "ZenticMessageBox.h"

#include <QAction>
#include <QDir>
#include <QMenuBar>
#include <QScrollArea>
#include <QToolBar>

DashboardWindow::DashboardWindow(DeviceManager* manager, const QString& layoutFile, QWidget* parent)
    : QMainWindow(parent)
    , m_manager(manager)
{
    setWindowTitle(tr("Dashboard"));

    // The order matters: a device that initialises later gets its widget only when the grid
    // already exists, so the grid is asked for right after loading.
    WidgetManager::registerGuiDevices(*manager);
    m_widgetManager = std::make_unique<WidgetManager>(QStringLiteral("main"), layoutFile);
    m_widgetManager->loadOwnWidgets(manager);
    m_area = m_widgetManager->getWidgetsArea();
    auto* scrollArea = new QScrollArea(this);
    scrollArea->setWidgetResizable(true);
    scrollArea->setWidget(m_area);
    setCentralWidget(scrollArea);
    m_widgetManager->initialiseWidgets();

    addDemoMenu(menuBar());
    QToolBar* toolBar = addToolBar(tr("Dashboard"));
    toolBar->setMovable(false);
    m_editAction = toolBar->addAction(tr("Edit"));
    m_editAction->setCheckable(true);
    connect(m_editAction, &QAction::toggled, m_area, &DeviceWidgetArea::setEditingEnabled);
    connect(m_area, &DeviceWidgetArea::editingEnabledChanged, m_editAction, &QAction::setChecked);
    connect(m_widgetManager.get(), &WidgetManager::saveFailed, this, &DashboardWindow::warnNotSaved);
    QAction* saveAction = toolBar->addAction(tr("Save"));
    saveAction->setShortcut(QKeySequence::Save);
    connect(saveAction, &QAction::triggered, this, &DashboardWindow::save);

    resize(640, 360);
}

DashboardWindow::~DashboardWindow()
{
    // Quitting in edit mode keeps what was edited, as leaving it would. No box at quit: a
    // failure is logged, and each edit's own save has told the user already.
    disconnect(m_widgetManager.get(), &WidgetManager::saveFailed, this, &DashboardWindow::warnNotSaved);
    setEditingEnabled(false);
    // The grid goes first and hands the widgets back, so the widget manager can tear them
    // down itself.
    delete m_area;
}

void DashboardWindow::setEditingEnabled(bool enabled)
{
    m_editAction->setChecked(enabled);
}

bool DashboardWindow::save()
{
    QString unsaved;
    const bool saved = m_manager && m_widgetManager->saveDashboard(&unsaved);
    if (!saved)
        warnNotSaved(unsaved);
    return saved;
}

void DashboardWindow::closeEvent(QCloseEvent* event)
{
    setEditingEnabled(false);
    QMainWindow::closeEvent(event);
}

void DashboardWindow::warnNotSaved(const QString& file)
{
    // At Quit no later save comes.
    const QString informative =
        DemoQuit::isEnding()
            ? tr("%1 could not be written (the log says why). The demo is ending: your changes to the dashboard were not "
                 "saved.")
            : tr("%1 could not be written (the log says why). The dashboard shows your changes, but they are kept only "
                 "once a later save succeeds.");
    ZenticMessageBox::warning(this, tr("The dashboard could not be saved."),
                              informative.arg(QDir::toNativeSeparators(file)));
}
