#include "DemoQuit.h"

#include <QApplication>

namespace {

bool ending = false;

} // namespace

namespace DemoQuit {

void quit()
{
    ending = true;
    QApplication::closeAllWindows();
    // After what the closing windows queued (the dashboard tells of a failed save once its
    // click is over): the application quits with its last window before this comes, and a
    // window that refused to close keeps the demo running, whose later saves may succeed.
    QMetaObject::invokeMethod(qApp, [] { ending = false; }, Qt::QueuedConnection);
}

bool isEnding()
{
    return ending;
}

} // namespace DemoQuit
