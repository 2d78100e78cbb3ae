#pragma once

#include "dozerozozu_export.h"

#include <QPointer>
#include <QString>
#include <QUndoCommand>

#include <functional>

class DeviceConnectionItem;
class DeviceManager;
class DeviceMapWidget;
class DeviceNodeItem;

/**
 * Base of every undoable edit of the device map.
 *
 * An operation knows the map it works on and the map's device manager (neither owned). The
 * map pushes operations on its own undo stack, which runs redo() at once and owns them from
 * then on. Scene items appear only when the manager reports a change, so an operation that
 * makes a device or a link appear waits for its item with waitForDevice() or
 * waitForConnection(). GUI thread only.
 *
 * A redo() or undo() that calls the manager counts as a running command of the map: a host's
 * slot on the manager's reports may run a modal box in which the map's window is closed, and
 * the map, its stack and the operation then stay until the command has returned. Should a host
 * delete the map outright meanwhile, the operation still makes every call to the manager it
 * has begun, through manager, and leaves the map alone.
 */
class DOZEROZOZU_EXPORT Operation : public QUndoCommand
{
public:
    /// How long an operation waits for the manager to show a new item.
    static constexpr int itemWaitMs = 500;

    explicit Operation(DeviceMapWidget* map);

protected:
    /**
     * The map's item of the named device, waiting at most timeoutMs for it while processing
     * events other than user input (so the user cannot edit or close the map meanwhile);
     * null when none came. An item that already exists is returned without processing events.
     * The map may be deleted during the wait: then the result is null and map is null too,
     * and the caller stops without a word (nobody is left to tell).
     */
    DeviceNodeItem* waitForDevice(const QString& name, int timeoutMs);
    /// The same for the link item from source to target.
    DeviceConnectionItem* waitForConnection(const QString& source, const QString& target, int timeoutMs);
    /// Writes the fixed line that tells that the manager did not show an awaited item.
    static void logManagerNotResponding();

    /// Null once the map is deleted; code after a wait checks it before going on.
    QPointer<DeviceMapWidget> map;
    /// The map's manager, kept apart from the map; null once the host deletes it.
    QPointer<DeviceManager> manager;

private:
    /// Processes events until found() holds or the time is up; false when the map went meanwhile.
    bool spinUntil(const std::function<bool()>& found, int timeoutMs);
};
