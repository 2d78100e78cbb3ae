#include "DemoQuit.h"

#include "DeviceMapWidget.h"

#include <QApplication>
#include <QDebug>
#include <QThread>
#include <QTimer>

namespace {

bool ending = false;
bool toldToEnd = false;

/// How often an end a signal asked for looks again whether the demo can end.
constexpr int endRetryMs = 20;

// Whether the user's Quit would wait now. A nested event loop with no box or menu of its own
// is a wait that holds the user's input back (a layout's, a scene of a screenshot run's), and
// ending from inside it would cut it short; an operation waits for the manager in the event
// loop itself. Before the event loop runs, an exit would be lost.
bool quitWouldWait()
{
    if (QApplication::activeModalWidget() || QApplication::activePopupWidget())
        return false;
    if (QThread::currentThread()->loopLevel() != 1)
        return true;
    const QWidgetList widgets = QApplication::allWidgets();
    for (QWidget* widget : widgets) {
        const auto* map = qobject_cast<DeviceMapWidget*>(widget);
        if (map && map->isWaitingForManager())
            return true;
    }
    return false;
}

void endWhenItCan()
{
    if (quitWouldWait()) {
        QTimer::singleShot(endRetryMs, qApp, &endWhenItCan);
        return;
    }
    DemoQuit::quit();
    QCoreApplication::exit(0);
}

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

void endOnSignal(int signalNumber)
{
    toldToEnd = true;
    qWarning().noquote() << "Demo: signal" << signalNumber << "received, quitting";
    endWhenItCan();
}

bool isToldToEnd()
{
    return toldToEnd;
}

} // namespace DemoQuit
