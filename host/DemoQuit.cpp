#include "DemoQuit.h"

#include <QApplication>
#include <QWidget>

#include <algorithm>

namespace {

bool ending = false;

} // namespace

namespace DemoQuit {

void quit()
{
    ending = true;
    QApplication::closeAllWindows();
    // A window that refused to close keeps the demo running, and its later saves may still succeed.
    const QWidgetList windows = QApplication::topLevelWidgets();
    ending = std::none_of(windows.cbegin(), windows.cend(), [](const QWidget* window) {
        return window->isVisible() && !window->testAttribute(Qt::WA_DontShowOnScreen)
               && (window->windowType() == Qt::Window || window->windowType() == Qt::Dialog);
    });
}

bool isEnding()
{
    return ending;
}

} // namespace DemoQuit
