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
#include <QtDebug>

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
    if (!button)
        return;
    auto runner = new ButtonMenuRunner(button);
    button->installEventFilter(runner);
    if (opensFromWholeButton(button) && !runner->takeOverPressedPath(button))
        qWarning().noquote() << "ButtonMenuRunner::install() | WARNING Qt's own menu of the button is still in use |"
                             << button->objectName();
}

// QToolButton and QPushButton open their menu from their own pressed() signal, which click(),
// animateClick() and Space emit without a mouse event the filter could take. Their private
// slots for it are part of their meta-objects; taking that one connection away leaves the
// rest of the buttons' behaviour (and the arrow they draw for their menu) to Qt.
bool ButtonMenuRunner::takeOverPressedPath(QAbstractButton* button)
{
    const char* qtSlot = nullptr;
    if (qobject_cast<QToolButton*>(button))
        qtSlot = SLOT(_q_buttonPressed());
    else if (qobject_cast<QPushButton*>(button))
        qtSlot = SLOT(_q_popupPressed());
    if (!qtSlot || !disconnect(button, SIGNAL(pressed()), button, qtSlot))
        return false;
    connect(button, &QAbstractButton::pressed, this, &ButtonMenuRunner::buttonPressed);
    return true;
}

void ButtonMenuRunner::buttonPressed()
{
    auto button = qobject_cast<QAbstractButton*>(parent());
    if (button && opensFromWholeButton(button))
        popup(button);
}

bool ButtonMenuRunner::opensFromWholeButton(QAbstractButton* button)
{
    if (!button || !menuOf(button))
        return false;
    auto tool = qobject_cast<QToolButton*>(button);
    return !tool || tool->popupMode() == QToolButton::InstantPopup;
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
