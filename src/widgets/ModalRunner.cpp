#include "ModalRunner.h"

#include <QAction>
#include <QFileDialog>
#include <QInputDialog>
#include <QMenu>

namespace {

ModalRunner::MenuHook& menuHook()
{
    static ModalRunner::MenuHook hook;
    return hook;
}

// Where the menu being answered was asked to open.
QPoint& requestedMenuPos()
{
    static QPoint pos;
    return pos;
}

ModalRunner::InputHook& inputHook()
{
    static ModalRunner::InputHook hook;
    return hook;
}

QString plainText(const QAction* action)
{
    QString text = action->text();
    text.remove(QLatin1Char('&'));
    return text;
}

bool isChoosable(const QAction* action)
{
    return action->isVisible() && action->isEnabled() && !action->isSeparator();
}

void collectTexts(QMenu* menu, const QString& prefix, QStringList& texts)
{
    const auto actions = menu->actions();
    for (QAction* action : actions) {
        if (!isChoosable(action))
            continue;
        const QString text = prefix + plainText(action);
        if (action->menu())
            collectTexts(action->menu(), text + QLatin1Char('/'), texts);
        else
            texts << text;
    }
}

// The submenus leading from menu to action, outermost first; empty when action is not inside.
bool pathTo(QMenu* menu, QAction* action, QList<QMenu*>& path)
{
    const auto actions = menu->actions();
    for (QAction* entry : actions) {
        if (entry == action)
            return true;
        if (entry->menu() && isChoosable(entry)) {
            path << entry->menu();
            if (pathTo(entry->menu(), action, path))
                return true;
            path.removeLast();
        }
    }
    return false;
}

QAction* findByPath(QMenu* menu, const QString& text)
{
    const int slash = text.indexOf(QLatin1Char('/'));
    const auto actions = menu->actions();
    for (QAction* action : actions) {
        if (!isChoosable(action))
            continue;
        if (slash > 0 && action->menu() && plainText(action) == text.left(slash)) {
            if (QAction* found = findByPath(action->menu(), text.mid(slash + 1)))
                return found;
        }
        if (!action->menu() && plainText(action) == text)
            return action;
    }
    // Depth-first: an action of that name in any submenu.
    for (QAction* action : actions) {
        if (isChoosable(action) && action->menu()) {
            if (QAction* found = findByPath(action->menu(), text))
                return found;
        }
    }
    return nullptr;
}

} // namespace

QAction* ModalRunner::execMenu(QMenu* menu, const QPoint& globalPos)
{
    if (!menu)
        return nullptr;
    MenuHook hook = menuHook();
    if (!hook)
        return menu->exec(globalPos);

    requestedMenuPos() = globalPos;
    Q_EMIT menu->aboutToShow();
    QAction* chosen = hook(*menu);
    QList<QMenu*> path;
    if (chosen && (!isChoosable(chosen) || !pathTo(menu, chosen, path)))
        chosen = nullptr;
    for (QMenu* submenu : path)
        Q_EMIT submenu->aboutToShow();
    if (chosen)
        chosen->trigger();
    for (auto it = path.crbegin(); it != path.crend(); ++it)
        Q_EMIT (*it)->aboutToHide();
    Q_EMIT menu->aboutToHide();
    return chosen;
}

std::optional<QString> ModalRunner::answerInput(const InputRequest& request, bool* answered)
{
    InputHook hook = inputHook();
    *answered = bool(hook);
    return hook ? hook(request) : std::nullopt;
}

QString ModalRunner::getText(QWidget* parent, const QString& title, const QString& label, const QString& text,
                             bool* ok, QLineEdit::EchoMode mode)
{
    bool answered = false;
    const std::optional<QString> answer = answerInput({title, label, text, {}, {}}, &answered);
    if (answered) {
        if (ok)
            *ok = answer.has_value();
        return answer.value_or(QString());
    }
    return QInputDialog::getText(parent, title, label, mode, text, ok);
}

QString ModalRunner::getItem(QWidget* parent, const QString& title, const QString& label, const QStringList& items,
                             int current, bool* ok)
{
    bool answered = false;
    const QString shown = items.value(current);
    const std::optional<QString> answer = answerInput({title, label, shown, items, {}}, &answered);
    if (answered) {
        const bool accepted = answer.has_value() && items.contains(*answer);
        if (ok)
            *ok = accepted;
        return accepted ? *answer : QString();
    }
    return QInputDialog::getItem(parent, title, label, items, current, false, ok);
}

QString ModalRunner::getOpenFileName(QWidget* parent, const QString& title, const QString& directory,
                                     const QString& filter)
{
    bool answered = false;
    const std::optional<QString> answer = answerInput({title, QString(), directory, {}, filter}, &answered);
    if (answered)
        return answer.value_or(QString());
    return QFileDialog::getOpenFileName(parent, title, directory, filter, nullptr, QFileDialog::DontUseNativeDialog);
}

QString ModalRunner::getSaveFileName(QWidget* parent, const QString& title, const QString& directory,
                                     const QString& filter)
{
    bool answered = false;
    const std::optional<QString> answer = answerInput({title, QString(), directory, {}, filter}, &answered);
    if (answered)
        return answer.value_or(QString());
    return QFileDialog::getSaveFileName(parent, title, directory, filter, nullptr, QFileDialog::DontUseNativeDialog);
}

QStringList ModalRunner::actionTexts(QMenu* menu)
{
    QStringList texts;
    if (menu)
        collectTexts(menu, QString(), texts);
    return texts;
}

QAction* ModalRunner::findAction(QMenu* menu, const QString& text)
{
    return menu ? findByPath(menu, text) : nullptr;
}

ModalRunner::MenuAnswerGuard::MenuAnswerGuard(const QString& actionText)
    : MenuAnswerGuard(MenuHook([actionText](QMenu& menu) { return ModalRunner::findAction(&menu, actionText); }))
{
}

ModalRunner::MenuAnswerGuard::MenuAnswerGuard(CancelTag)
    : MenuAnswerGuard(MenuHook([](QMenu&) -> QAction* { return nullptr; }))
{
}

ModalRunner::MenuAnswerGuard::MenuAnswerGuard(MenuHook hook)
    : m_decide(std::move(hook))
    , m_previous(menuHook())
{
    menuHook() = [this](QMenu& menu) {
        m_menus << ModalRunner::actionTexts(&menu);
        m_positions << requestedMenuPos();
        return m_decide(menu);
    };
}

ModalRunner::MenuAnswerGuard::~MenuAnswerGuard()
{
    menuHook() = m_previous;
}

int ModalRunner::MenuAnswerGuard::count() const
{
    return m_menus.size();
}

QList<QStringList> ModalRunner::MenuAnswerGuard::menus() const
{
    return m_menus;
}

QList<QPoint> ModalRunner::MenuAnswerGuard::positions() const
{
    return m_positions;
}

ModalRunner::InputAnswerGuard::InputAnswerGuard(const QString& text)
    : InputAnswerGuard(InputHook([text](const InputRequest&) { return std::optional<QString>(text); }))
{
}

ModalRunner::InputAnswerGuard::InputAnswerGuard(const QStringList& texts)
    : InputAnswerGuard(InputHook([texts, next = 0](const InputRequest&) mutable -> std::optional<QString> {
        if (next < texts.size())
            return texts.at(next++);
        return std::nullopt;
    }))
{
}

ModalRunner::InputAnswerGuard::InputAnswerGuard(CancelTag)
    : InputAnswerGuard(InputHook([](const InputRequest&) { return std::optional<QString>(); }))
{
}

ModalRunner::InputAnswerGuard::InputAnswerGuard(InputHook hook)
    : m_decide(std::move(hook))
    , m_previous(inputHook())
{
    inputHook() = [this](const InputRequest& request) {
        m_requests << request;
        return m_decide(request);
    };
}

ModalRunner::InputAnswerGuard::~InputAnswerGuard()
{
    inputHook() = m_previous;
}

int ModalRunner::InputAnswerGuard::count() const
{
    return m_requests.size();
}

QList<ModalRunner::InputRequest> ModalRunner::InputAnswerGuard::requests() const
{
    return m_requests;
}
