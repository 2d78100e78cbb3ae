#include "DemoWindows.h"

#include "DeviceListWindow.h"
#include "SettingsWindow.h"

QList<DemoWindow> demoWindows()
{
    return {
        {QStringLiteral("devices"), [](DeviceManager* manager) { return new DeviceListWindow(manager); }},
        {QStringLiteral("settings"), [](DeviceManager*) { return new SettingsWindow; }},
    };
}
