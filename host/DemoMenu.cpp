#include "DemoMenu.h"

#include "SettingsWindow.h"

#include <QAction>
#include <QApplication>
#include <QMenu>
#include <QMenuBar>

QMenu* addDemoMenu(QMenuBar* bar)
{
    auto* menu = new QMenu(QCoreApplication::translate("DemoMenu", "&Demo"), bar);
    QAction* settings = menu->addAction(QCoreApplication::translate("DemoMenu", "&Settings..."));
    settings->setObjectName(QStringLiteral("demoSettingsAction"));
    QObject::connect(settings, &QAction::triggered, settings, [] { SettingsWindow::showSettings(); });
    menu->addSeparator();
    menu->addAction(newQuitAction(menu));
    const QList<QAction*> menus = bar->actions();
    bar->insertMenu(menus.isEmpty() ? nullptr : menus.first(), menu);
    return menu;
}

QAction* newQuitAction(QObject* parent)
{
    auto* quit = new QAction(QCoreApplication::translate("DemoMenu", "&Quit"), parent);
    quit->setObjectName(QStringLiteral("demoQuitAction"));
    // Not QKeySequence::Quit: the platforms the demo runs on without a desktop bind nothing to it.
    quit->setShortcut(QKeySequence(QCoreApplication::translate("DemoMenu", "Ctrl+Q")));
    // Queued: the window whose menu or key asked is still inside the event that did.
    QObject::connect(quit, &QAction::triggered, qApp, &QApplication::closeAllWindows, Qt::QueuedConnection);
    return quit;
}
