#include "ControlDisposal.h"

#include <QCoreApplication>
#include <QPointer>
#include <QToolButton>

#include <utility>

struct ControlDisposal::State
{
    int runningClicks = 0;
    QList<QPointer<QToolButton>> kept;
};

ControlDisposal::ClickScope::ClickScope(const ControlDisposal& disposal)
    : state(disposal.state)
{
    ++state->runningClicks;
}

ControlDisposal::ClickScope::~ClickScope()
{
    if (--state->runningClicks == 0 && !state->kept.isEmpty())
        deleteKeptOnceIdle(state);
}

ControlDisposal::ControlDisposal()
    : state(std::make_shared<State>())
{
}

ControlDisposal::~ControlDisposal() = default;

void ControlDisposal::discard(QToolButton* button)
{
    if (!button)
        return;
    if (state->runningClicks == 0) {
        delete button;
        return;
    }
    button->hide();
    state->kept.append(button);
}

void ControlDisposal::release(const QList<QToolButton*>& buttons)
{
    if (state->runningClicks == 0)
        return;
    for (QToolButton* button : buttons)
        state->kept.append(button);
    for (const QPointer<QToolButton>& button : qAsConst(state->kept)) {
        if (!button)
            continue;
        button->hide();
        button->setParent(nullptr);
    }
}

void ControlDisposal::deleteKeptOnceIdle(const std::shared_ptr<State>& state)
{
    // Called as the outermost click returns into the button's own mouse handling: the deletion
    // must come from the event loop, after that. A click begun by then posts again as it ends.
    QMetaObject::invokeMethod(
        QCoreApplication::instance(),
        [state] {
            if (state->runningClicks > 0)
                return;
            const QList<QPointer<QToolButton>> kept = std::exchange(state->kept, {});
            for (const QPointer<QToolButton>& button : kept)
                delete button.data();
        },
        Qt::QueuedConnection);
}
