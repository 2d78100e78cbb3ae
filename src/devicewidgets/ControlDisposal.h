#pragma once

#include <QList>

#include <memory>

class QToolButton;

/**
 * Deletes the grid's edit-mode buttons, but never one whose click is still running.
 *
 * A click on a grid button runs a handler of the grid, which rebuilds the buttons and may run
 * event loops: its menus, and whatever a host's slot on the grid's signals runs (a modal box,
 * say). A rebuild queued before, or a resize, rebuilds the buttons again inside such a loop,
 * and a deleteLater() made there is carried out by that same loop, while the clicked button's
 * mouseReleaseEvent() is still on the stack beneath it. So while a click runs, a discarded
 * button is only hidden and kept, and the kept ones are deleted from the event loop once the
 * outermost click has returned; with no click running a button is deleted at once.
 *
 * The count of running clicks lives as long as the last of them: when the host deletes the
 * grid inside one, the grid hands its buttons over (release()) and they go the same way.
 * Internal to DeviceWidgetArea; GUI thread only.
 */
class ControlDisposal
{
public:
    struct State;

    /// Marks a click as running while it lives: the first thing of every click handler.
    class ClickScope
    {
    public:
        explicit ClickScope(const ControlDisposal& disposal);
        ~ClickScope();
        ClickScope(const ClickScope&) = delete;
        ClickScope& operator=(const ClickScope&) = delete;

    private:
        std::shared_ptr<State> state;
    };

    ControlDisposal();
    ~ControlDisposal();

    /// Deletes button, at once or, while a click runs, once none does.
    void discard(QToolButton* button);
    /**
     * Called as the grid is destroyed: while a click runs, buttons (and those kept) leave the
     * grid, so as not to die with it, and are deleted once no click runs.
     */
    void release(const QList<QToolButton*>& buttons);

private:
    static void deleteKeptOnceIdle(const std::shared_ptr<State>& state);

    std::shared_ptr<State> state;
};
