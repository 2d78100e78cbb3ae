#pragma once

#include "dozerozozu_export.h"

/**
 * The wait cursor over a map command that can run long: delete, paste and drop, rearrange,
 * and the undo and redo of each. A command is long by its work, the devices and links it
 * handles: from longWork on, the guard shows Qt's wait cursor (QApplication's override
 * cursor) for as long as it lives; below that it shows none, so that small edits never flash it.
 *
 * Guards nest, and the override cursor is set and restored once per run: the first guard that
 * is long sets it, and the outermost guard restores it when it ends. So a command whose size is
 * known only inside it (an undo, which the operation undone sizes) keeps the cursor from then
 * to its very end, layout file written; a guard of no work marks such a whole run and shows
 * nothing of itself. A command already showing it shows it on through the commands it runs.
 *
 * Lives on the stack of the GUI thread; does nothing without a QApplication.
 *
 *     MapWaitCursor busy(deviceCount + linkCount);
 *     map.pushOperation(new RemoveDevicesOperation(&map, devices));
 */
class DOZEROZOZU_EXPORT MapWaitCursor
{
public:
    /// The devices and links from which a command counts as long.
    static constexpr int longWork = 100;

    explicit MapWaitCursor(int work = 0);
    ~MapWaitCursor();
    MapWaitCursor(const MapWaitCursor&) = delete;
    MapWaitCursor& operator=(const MapWaitCursor&) = delete;

    /// Whether a guard shows the wait cursor now.
    static bool isShown();

private:
    static int liveGuards;
    static bool shown;
};
