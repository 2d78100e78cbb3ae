#include "DpiHelper.h"

#include <QApplication>
#include <QDesktopWidget>

double DpiHelper::getReferenceDpiValue()
{
    return 96.0;
}

double DpiHelper::getXScaleFactor()
{
    return QApplication::desktop()->logicalDpiX() / getReferenceDpiValue();
}

double DpiHelper::getYScaleFactor()
{
    return QApplication::desktop()->logicalDpiY() / getReferenceDpiValue();
}

double DpiHelper::getScaledWidth(double width)
{
    return width * getXScaleFactor();
}

double DpiHelper::getScaledHeight(double height)
{
    return height * getYScaleFactor();
}

QSize DpiHelper::getScaledSize(QSize size)
{
    return QSize(int(size.width() * getXScaleFactor()), int(size.height() * getYScaleFactor()));
}
