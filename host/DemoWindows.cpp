#include "DemoWindows.h"

#include "DeviceListWindow.h"

QList<DemoWindow> demoWindows()
{
    return {
        {QStringLiteral("devices"), [](DeviceManager* manager) { return new DeviceListWindow(manager); }},
    };
}
