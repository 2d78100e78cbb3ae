#pragma once

#include "dozerozozu_export.h"

#include <QString>

class DeviceMapWidget;

/**
 * Tells the host when the map's work could not be saved: the map's saveFailed() once per
 * failure episode, never once per step.
 *
 * The map saves two things: its layout file (after every change of the undo stack's index)
 * and, through the device manager, the device graph (once per edit that changed it). A save
 * that failed leaves its file behind, and the map (MapSaves) writes it again at each later
 * save of either kind and when it closes, until it has been written. An episode begins with
 * a failed save while no save of the map is failing, and lasts until every kind of save that
 * failed has succeeded again. So a drag of several items, a rename that fails both files, or
 * any number of edits in a folder that stays read-only bring one notice; a save that fails
 * again after both have been written brings the next one.
 *
 * The notice is emitted from the event loop once the edit is done, not from inside it, so a
 * host may answer it with a modal box; a map deleted before then sends none. The saves made
 * when the map closes are its last try: when one of them fails, the notice comes at once,
 * whether or not the episode was announced, since no later save may make it good; a close
 * that fails again with nothing saved since the last such notice brings none. Owned by the
 * map; GUI thread only.
 */
class DOZEROZOZU_EXPORT MapSaveNotices
{
public:
    enum class Target { LayoutFile, DeviceGraph };

    explicit MapSaveNotices(DeviceMapWidget& map);

    /// Records the outcome of one save of file; a failure that begins an episode is announced.
    void record(Target target, bool saved, const QString& file);
    /// Whether a save of the map failed and has not been made good since.
    bool isFailing() const;
    /// Whether the last save of target failed: its file is behind the map.
    bool isFailing(Target target) const;

    /// The saves recorded from here to endFinalSaves() are the map's last before it closes.
    void beginFinalSaves();
    /// Announces at once the first file that failed since beginFinalSaves(), if any.
    void endFinalSaves();

private:
    DeviceMapWidget& map;
    bool layoutFailing = false;
    bool graphFailing = false;
    bool finalSaves = false;
    QString finalFailure;
    // The last close failed and said so, and nothing was saved since: the next close adds nothing.
    bool toldAtClosing = false;
};
