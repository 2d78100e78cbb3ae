#include "MapSaveNotices.h"

#include "DeviceMapWidget.h"

MapSaveNotices::MapSaveNotices(DeviceMapWidget& map)
    : map(map)
{
}

void MapSaveNotices::record(Target target, bool saved, const QString& file)
{
    bool& failing = target == Target::LayoutFile ? layoutFailing : graphFailing;
    if (finalSaves) {
        if (!saved && finalFailure.isEmpty())
            finalFailure = file;
        failing = !saved;
        return;
    }
    toldAtClosing = false;
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

bool MapSaveNotices::isFailing(Target target) const
{
    return target == Target::LayoutFile ? layoutFailing : graphFailing;
}

void MapSaveNotices::beginFinalSaves()
{
    finalSaves = true;
    finalFailure.clear();
}

void MapSaveNotices::endFinalSaves()
{
    finalSaves = false;
    if (finalFailure.isEmpty()) {
        toldAtClosing = false;
        return;
    }
    if (toldAtClosing)
        return;
    toldAtClosing = true;
    // At once: a window closed is often deleted next, and after a quit no event loop runs.
    Q_EMIT map.saveFailed(finalFailure);
}
