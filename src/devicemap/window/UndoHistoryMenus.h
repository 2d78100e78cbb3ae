#pragma once

#include "dozerozozu_export.h"

#include <QObject>
#include <QPointer>

class QMenu;
class QUndoStack;

/**
 * The undo and redo histories of the device-map window, as the drop-downs of its undo and
 * redo buttons: each lists the commands' own texts, the first ten directly and the rest under
 * "More...". The undo history lists the done commands oldest first; the redo history lists
 * the undone ones, the next to redo first. Choosing an entry asks for the stack index that
 * undoes that command and every later one, or redoes every command up to it (indexChosen()).
 *
 * The "More..." part is filled when the history is about to show, not at every rebuild, so
 * that a push or an undo costs the same whatever the stack's length (the histories are
 * rebuilt at each change of the stack's index).
 *
 * Owned by the window; the menus are the window's and outlive this object. GUI thread only.
 *
 *     UndoHistoryMenus history(undoMenu, undoMoreMenu, redoMenu, redoMoreMenu);
 *     history.setStack(map->getUndoStack());
 *     // Through the window, which refuses a step while another command of the map runs.
 *     connect(&history, &UndoHistoryMenus::indexChosen, window, &DeviceMapWindow::setUndoIndex);
 */
class DOZEROZOZU_EXPORT UndoHistoryMenus : public QObject
{
    Q_OBJECT

public:
    /// Entries shown in a history before "More...".
    static constexpr int directEntries = 10;

    UndoHistoryMenus(QMenu* undoMenu, QMenu* undoMoreMenu, QMenu* redoMenu, QMenu* redoMoreMenu,
                     QObject* parent = nullptr);

    /// The stack the histories list; null empties them.
    void setStack(QUndoStack* stack);
    QUndoStack* stack() const { return undoStack; }

    /// Lists commands 0 to index - 1.
    void rebuildUndo();
    /// Lists commands index to count - 1.
    void rebuildRedo();

Q_SIGNALS:
    /// The user chose an entry: the stack is to be set to index.
    void indexChosen(int index);

private:
    struct History
    {
        QMenu* menu;
        QMenu* more;
        bool moreIsStale = false;
    };

    /// Lists count commands from position first on: ten directly, the rest left to fillMore().
    void rebuild(History& history, int first, int count, bool redo);
    void fillMore(History& history, bool redo);
    void addEntry(QMenu* menu, int position, bool redo);

    QPointer<QUndoStack> undoStack;
    History undo;
    History redo;
};
