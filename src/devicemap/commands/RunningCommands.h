#pragma once

#include <QString>

#include <memory>
#include <optional>

class DeviceMapWidget;
class QObject;

/**
 * The commands running on one device map, and the deletions held back until the outermost of
 * them has returned.
 *
 * A command of the map (an operation's redo() or undo(), the undo stack's push, undo or redo
 * that runs it, a rearrangement as a whole) calls the manager, and any host slot on the
 * manager's reports may run a modal box, whose event loop carries out every deleteLater() and
 * window close made meanwhile. So while a Scope lives, a deferred delete of what the command
 * runs on is taken in instead: the map's own, its window's (closed by the user, the window
 * hides at once) and that of the map the manager's exit() drops are carried out from the event
 * loop once the outermost command has returned, at the level where it returned, as
 * deleteLater() would. A map deleted outright (a host's delete) cannot wait: it hands its undo
 * stack over, so that the running operation and the stack's own push, undo or redo go on over
 * live objects; the operation, finding its map gone, still makes all its calls to the manager.
 *
 * One command at a time: a command that the user or a host starts (an Entry: a push, the
 * window's undo, redo or history step, a rearrangement, a template's drop...) is refused while
 * another one of the map runs, or while an operation of it waits for the manager, rather than
 * run over it. QUndoStack cannot take a push, undo or redo inside its own, and a second
 * command would change the graph under the first one's feet. A command made of several steps
 * (its own pushes) lets each of them in with an OwnStep.
 *
 * The count lives as long as the last running command: the map may go before it. Owned by the
 * map; GUI thread only.
 *
 *     const RunningCommands::Entry command(&map, "DeviceMapWidget::rearrangeGraph()");
 *     if (!command.hasBegun())
 *         return;                                   // refused, and the log says so
 *     manager->removeDevice(name);                  // a host's box may close the window here
 */
class RunningCommands
{
public:
    struct State;

    /// Marks a command of the map as running while it lives: the part of a command that runs
    /// inside an Entry (an operation's redo() or undo(), its waits), never refused.
    class Scope
    {
    public:
        /// A null map marks nothing.
        explicit Scope(const DeviceMapWidget* map);
        ~Scope();
        Scope(const Scope&) = delete;
        Scope& operator=(const Scope&) = delete;

    private:
        std::shared_ptr<State> state;
    };

    /**
     * A command started by the user or a host. It begins, and marks the map's command running
     * as a Scope does while it lives, unless a command of the map runs already or an operation
     * of the map waits for the manager: then it is refused, one line in the log names entry and
     * subject, and the caller does nothing (drops what it would have pushed). The step granted
     * by an OwnStep begins whatever runs. A null map begins nothing and logs nothing.
     */
    class Entry
    {
    public:
        /// entry: the function refused, as the log writes it; subject: what it would have done.
        Entry(const DeviceMapWidget* map, const char* entry, const QString& subject = QString());
        Entry(const Entry&) = delete;
        Entry& operator=(const Entry&) = delete;

        bool hasBegun() const { return running.has_value(); }

    private:
        std::optional<Scope> running;
    };

    /**
     * The next Entry of the map, and that one only, begins inside the command running now: a
     * step of a command made of several (a rearrangement's push, a template's paste and its
     * cluster). Granted right around the call that makes the step, with no event loop in
     * between; the entry uses the grant up as it begins, so that a host's loop inside the step
     * finds none, and a grant left unused ends with this.
     *
     *     RunningCommands::OwnStep own(&map);
     *     map.pushOperation(operation);
     */
    class OwnStep
    {
    public:
        /// A null map grants nothing.
        explicit OwnStep(const DeviceMapWidget* map);
        ~OwnStep();
        OwnStep(const OwnStep&) = delete;
        OwnStep& operator=(const OwnStep&) = delete;

    private:
        std::shared_ptr<State> state;
    };

    /**
     * Whether an Entry of the map would begin now; false, with the Entry's line in the log,
     * when it would be refused. For a command that asks the user first: no question is put
     * for a command that cannot run.
     */
    static bool mayBegin(const DeviceMapWidget* map, const char* entry, const QString& subject = QString());

    RunningCommands();
    ~RunningCommands();
    RunningCommands(const RunningCommands&) = delete;
    RunningCommands& operator=(const RunningCommands&) = delete;

    /// Whether a command of the map runs now.
    bool isRunning() const;
    /**
     * While a command runs, keeps object and deletes it once no command runs, and true; a widget
     * is hidden and leaves its parent, so that nothing deleted meanwhile takes it along. False,
     * and nothing done, when no command runs: the caller deletes it as usual.
     */
    bool holdDeletion(QObject* object);

private:
    static void deleteKeptOnceIdle(const std::shared_ptr<State>& state);

    std::shared_ptr<State> state;
};
