#pragma once

#include "orbodev_export.h"

#include <QString>
#include <QStringList>

/// What the device manager knows of one registered device type.
struct ORBODEV_EXPORT DeviceTypeInfo
{
    /// Category names the type is filed under, outermost first.
    QStringList categories;
    /// "widget" for types that provide a dashboard widget; empty otherwise.
    QString kind;
};
