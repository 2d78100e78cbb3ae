#include "WindowPlacement.h"

#include <QGuiApplication>
#include <QScreen>

#include <algorithm>

QPoint WindowPlacement::startPosition(const QRect& parentGeometry, const QSize& window,
                                      const ScreenSizeAt& screenSizeAt)
{
    const int centreX = (parentGeometry.left() + parentGeometry.right()) / 2;
    const int centreY = (parentGeometry.top() + parentGeometry.bottom()) / 2;
    int x = int(centreX - window.width() * 0.5);
    int y = int(centreY - window.height() * 0.5);

    const QSize screen = screenSizeAt(QPoint(x, y));
    if (x + window.width() > screen.width())
        x = screen.width() - window.width() + 20;
    x = std::max(x, 30);

    // The corner may have moved to another screen.
    const QSize screenAfterX = screenSizeAt(QPoint(x, y));
    if (y + window.height() > screenAfterX.height())
        y = screenAfterX.height() - window.height();
    y = std::max(y, 30);
    return QPoint(x, y);
}

QSize WindowPlacement::screenSizeAt(const QPoint& point)
{
    QScreen* screen = QGuiApplication::screenAt(point);
    if (!screen)
        screen = QGuiApplication::primaryScreen();
    return screen ? screen->geometry().size() : QSize();
}
