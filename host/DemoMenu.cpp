#include "DemoMenu.h"

#include "DemoQuit.h"
#include "DemoWindowSet.h"
#include "SettingsWindow.h"

#include <QAction>
#include <QApplication>
#include <QMenu>
#include <QMenuBar>

namespace {

const QString windowEntryName = QStringLiteral("demoWindowAction");

// Listed afresh each time the menu opens: a window made or retitled since, or the set gone, shows.
void listWindows(QMenu* menu, QAction* before)
{
    for (QAction* entry : menu->actions()) {
        if (entry->objectName() == windowEntryName)
            delete entry;
    }
    const DemoWindowSet* set = DemoWindowSet::current();
    if (!set)
        return;
    for (int index = 0; index < set->descriptions().size(); ++index) {
        const QString name = set->descriptions().at(index).name;
        // "Settings..." shows them, fresh when they were closed on edits never saved.
        if (name == QLatin1String("settings"))
            continue;
        auto* entry = new QAction(set->title(index), menu);
        entry->setObjectName(windowEntryName);
        entry->setData(name);
        // By name: the entry may outlive the set it was listed from.
        QObject::connect(entry, &QAction::triggered, entry, [name] {
            if (DemoWindowSet* current = DemoWindowSet::current())
                current->show(current->indexOf(name));
        });
        menu->insertAction(before, entry);
    }
}

} // namespace

QMenu* addDemoMenu(QMenuBar* bar)
{
    auto* menu = new QMenu(QCoreApplication::translate("DemoMenu", "&Demo"), bar);
    menu->setObjectName(QStringLiteral("demoMenu"));
    QAction* settings = menu->addAction(QCoreApplication::translate("DemoMenu", "&Settings..."));
    settings->setObjectName(QStringLiteral("demoSettingsAction"));
    QObject::connect(settings, &QAction::triggered, settings, [] { SettingsWindow::showSettings(); });
    menu->addSeparator();
    // The windows go between the two separators; with none listed, the menu shows one.
    QAction* windowsEnd = menu->addSeparator();
    menu->addAction(newQuitAction(menu));
    QObject::connect(menu, &QMenu::aboutToShow, menu, [menu, windowsEnd] { listWindows(menu, windowsEnd); });
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
    QObject::connect(quit, &QAction::triggered, qApp, [] { DemoQuit::quit(); }, Qt::QueuedConnection);
    return quit;
}
