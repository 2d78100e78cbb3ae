#include "DemoMenu.h"

#include "SettingsWindow.h"

#include <QAction>
#include <QCoreApplication>
#include <QMenu>
#include <QMenuBar>

QMenu* addDemoMenu(QMenuBar* bar)
{
    auto* menu = new QMenu(QCoreApplication::translate("DemoMenu", "&Demo"), bar);
    QAction* settings = menu->addAction(QCoreApplication::translate("DemoMenu", "&Settings..."));
    settings->setObjectName(QStringLiteral("demoSettingsAction"));
    QObject::connect(settings, &QAction::triggered, settings, [] { SettingsWindow::showSettings(); });
    const QList<QAction*> menus = bar->actions();
    bar->insertMenu(menus.isEmpty() ? nullptr : menus.first(), menu);
    return menu;
}
