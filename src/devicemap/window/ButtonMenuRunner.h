#pragma once

#include "dozerozozu_export.h"

#include <QObject>

class QAbstractButton;
class QAction;

/**
 * Opens the drop-down menu of a tool button or a push button through ModalRunner::execMenu(),
 * so that tests answer it as they answer every other menu (Qt's buttons would run QMenu::exec
 * themselves). The button keeps its menu (setMenu()) for the arrow it draws; a press on the
 * menu part (the arrow of a QToolButton::MenuButtonPopup, the whole of an instant-popup tool
 * button or of a push button with a menu), or Space on such a push button, opens the menu
 * below the button instead of the button's own handling. A button whose whole face opens its
 * menu also opens it from its pressed() signal, as Qt's own buttons do (click(),
 * animateClick(), Space on a tool button): that path is taken from Qt and led here too.
 *
 * One runner is made per button and owned by it. Install it once the button has its menu and
 * its popup mode (QPushButton::setMenu() would hand the pressed() path back to Qt). GUI thread only.
 *
 *     undoButton->setMenu(undoMenu);
 *     ButtonMenuRunner::install(undoButton);
 */
class DOZEROZOZU_EXPORT ButtonMenuRunner : public QObject
{
    Q_OBJECT

public:
    static void install(QAbstractButton* button);
    /// Runs the button's menu below it; the chosen action (already triggered) or null.
    static QAction* popup(QAbstractButton* button);
    /// Whether a press at pos (button coordinates) opens the menu rather than clicking.
    static bool isMenuPart(QAbstractButton* button, const QPoint& pos);
    /// Whether the whole button opens its menu (an instant-popup tool button, a push button).
    static bool opensFromWholeButton(QAbstractButton* button);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    explicit ButtonMenuRunner(QAbstractButton* button);
    /// Takes the pressed() path to the menu from Qt's button; false when Qt's path was not found.
    bool takeOverPressedPath(QAbstractButton* button);
    void buttonPressed();
};
