#include "MapWaitCursor.h"

#include <QApplication>

int MapWaitCursor::liveGuards = 0;
bool MapWaitCursor::shown = false;

MapWaitCursor::MapWaitCursor(int work)
{
    ++liveGuards;
    if (shown || work < longWork || !qobject_cast<QApplication*>(QCoreApplication::instance()))
        return;
    QApplication::setOverrideCursor(Qt::WaitCursor);
    shown = true;
}

MapWaitCursor::~MapWaitCursor()
{
    if (--liveGuards > 0 || !shown)
        return;
    shown = false;
    QApplication::restoreOverrideCursor();
}

bool MapWaitCursor::isShown()
{
    return shown;
}
