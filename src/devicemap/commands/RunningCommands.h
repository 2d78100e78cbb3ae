#pragma once

#include <memory>

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
 * The count lives as long as the last running command: the map may go before it. Owned by the
 * map; GUI thread only.
 *
 *     const RunningCommands::Scope running(map);   // the first thing of a command
 *     manager->removeDevice(name);                  // a host's box may close the window here
 */
class RunningCommands
{
public:
    struct State;

    /// Marks a command of the map as running while it lives.
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
