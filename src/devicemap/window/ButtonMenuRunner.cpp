#include "ButtonMenuRunner.h"

#include "ModalRunner.h"

#include <QKeyEvent>
#include <QMenu>
#include <QMouseEvent>
#include <QPointer>
#include <QPushButton>
#include <QStyle>
#include <QStyleOptionToolButton>
#include <QToolButton>

namespace {

QMenu* menuOf(QAbstractButton* button)
{
    if (auto tool = qobject_cast<QToolButton*>(button))
        return tool->menu();
    if (auto push = qobject_cast<QPushButton*>(button))
        return push->menu();
    return nullptr;
}

} // namespace

ButtonMenuRunner::ButtonMenuRunner(QAbstractButton* button)
    : QObject(button)
{
}

void ButtonMenuRunner::install(QAbstractButton* button)
{
    if (button)
        button->installEventFilter(new ButtonMenuRunner(button));
}

QAction* ButtonMenuRunner::popup(QAbstractButton* button)
{
    QMenu* menu = button ? menuOf(button) : nullptr;
    if (!menu || !button->isEnabled())
        return nullptr;
    QPointer<QAbstractButton> alive(button);
    button->setDown(true);
    QAction* chosen = ModalRunner::execMenu(menu, button->mapToGlobal(QPoint(0, button->height())));
    // The menu ran an event loop: the button (and its window) may be gone.
    if (alive)
        alive->setDown(false);
    return chosen;
}

bool ButtonMenuRunner::isMenuPart(QAbstractButton* button, const QPoint& pos)
{
    if (!menuOf(button))
        return false;
    auto tool = qobject_cast<QToolButton*>(button);
    if (!tool)
        return true;
    switch (tool->popupMode()) {
    case QToolButton::InstantPopup:
        return true;
    case QToolButton::MenuButtonPopup: {
        QStyleOptionToolButton option;
        option.initFrom(tool);
        option.subControls = QStyle::SC_ToolButton | QStyle::SC_ToolButtonMenu;
        option.features = QStyleOptionToolButton::MenuButtonPopup | QStyleOptionToolButton::HasMenu;
        const QRect arrow =
            tool->style()->subControlRect(QStyle::CC_ToolButton, &option, QStyle::SC_ToolButtonMenu, tool);
        return arrow.contains(pos);
    }
    case QToolButton::DelayedPopup:
        return false;
    }
    return false;
}

bool ButtonMenuRunner::eventFilter(QObject* watched, QEvent* event)
{
    auto button = qobject_cast<QAbstractButton*>(watched);
    if (!button)
        return false;
    switch (event->type()) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonDblClick: {
        auto mouse = static_cast<QMouseEvent*>(event);
        if (mouse->button() != Qt::LeftButton || !isMenuPart(button, mouse->pos()))
            return false;
        popup(button);
        return true;
    }
    case QEvent::KeyPress: {
        auto key = static_cast<QKeyEvent*>(event);
        const bool opensMenu = (key->key() == Qt::Key_Space || key->key() == Qt::Key_Select)
            && qobject_cast<QPushButton*>(button) && menuOf(button);
        if (!opensMenu)
            return false;
        popup(button);
        return true;
    }
    default:
        return false;
    }
}
