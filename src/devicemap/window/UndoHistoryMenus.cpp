#include "UndoHistoryMenus.h"

#include <QCoreApplication>
#include <QMenu>
#include <QUndoStack>

UndoHistoryMenus::UndoHistoryMenus(QMenu* undoMenu, QMenu* undoMoreMenu, QMenu* redoMenu, QMenu* redoMoreMenu,
                                   QObject* parent)
    : QObject(parent)
    , undo{undoMenu, undoMoreMenu}
    , redo{redoMenu, redoMoreMenu}
{
    // Showing either part of a history brings "More..." up to date first.
    connect(undoMenu, &QMenu::aboutToShow, this, [this] { fillMore(undo, false); });
    connect(undoMoreMenu, &QMenu::aboutToShow, this, [this] { fillMore(undo, false); });
    connect(redoMenu, &QMenu::aboutToShow, this, [this] { fillMore(redo, true); });
    connect(redoMoreMenu, &QMenu::aboutToShow, this, [this] { fillMore(redo, true); });
}

void UndoHistoryMenus::setStack(QUndoStack* stack)
{
    undoStack = stack;
    rebuildUndo();
    rebuildRedo();
}

void UndoHistoryMenus::rebuildUndo()
{
    const int done = undoStack ? undoStack->index() : 0;
    rebuild(undo, 0, done, false);
}

void UndoHistoryMenus::rebuildRedo()
{
    const int index = undoStack ? undoStack->index() : 0;
    const int undone = undoStack ? undoStack->count() - index : 0;
    rebuild(redo, index, undone, true);
}

void UndoHistoryMenus::rebuild(History& history, int first, int count, bool forRedo)
{
    history.menu->clear();
    for (int i = 0; i < qMin(count, directEntries); ++i)
        addEntry(history.menu, first + i, forRedo);
    history.moreIsStale = true;
    if (count > directEntries) {
        history.more->setTitle(QCoreApplication::translate("DeviceMapWindow", "More..."));
        history.menu->addMenu(history.more);
    }
}

void UndoHistoryMenus::fillMore(History& history, bool forRedo)
{
    if (!history.moreIsStale)
        return;
    history.moreIsStale = false;
    history.more->clear();
    if (!undoStack)
        return;
    const int index = undoStack->index();
    const int first = forRedo ? index : 0;
    const int count = forRedo ? undoStack->count() - index : index;
    for (int i = directEntries; i < count; ++i)
        addEntry(history.more, first + i, forRedo);
}

void UndoHistoryMenus::addEntry(QMenu* menu, int position, bool forRedo)
{
    QAction* entry = menu->addAction(undoStack->text(position));
    // Undoing command i leaves i commands done; redoing command j leaves j + 1.
    const int target = forRedo ? position + 1 : position;
    connect(entry, &QAction::triggered, this, [this, target] { Q_EMIT indexChosen(target); });
}
