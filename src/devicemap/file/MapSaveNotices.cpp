#include "MapSaveNotices.h"

#include "DeviceMapWidget.h"

MapSaveNotices::MapSaveNotices(DeviceMapWidget& map)
    : map(map)
{
}

void MapSaveNotices::record(Target target, bool saved, const QString& file)
{
    bool& failing = target == Target::LayoutFile ? layoutFailing : graphFailing;
    if (saved) {
        failing = false;
        return;
    }
    const bool beginsEpisode = !isFailing();
    failing = true;
    if (!beginsEpisode)
        return;
    // Saves run inside the edit (an operation's redo, the undo stack's index change), often
    // under a mouse handler: the host hears of it once that is over.
    DeviceMapWidget* announcer = &map;
    QMetaObject::invokeMethod(
        announcer, [announcer, file] { Q_EMIT announcer->saveFailed(file); }, Qt::QueuedConnection);
}

bool MapSaveNotices::isFailing() const
{
    return layoutFailing || graphFailing;
}
