#pragma once

#include "DemoWindows.h"

#include <QPointer>
#include <QWidget>

class ConsoleWidget;
class DeviceConfigWidget;
class DeviceManager;
class QComboBox;

/**
 * The demo's log window: the framework's log as the library's console shows it, and a choice
 * of a device whose settings dialog (parameters, "Output" with its live graph or console, and
 * "Input" with its slots) opens without blocking, as the dashboard and the map open it.
 *
 * The host owns the window and the device manager, which must outlive it.
 */
class DevicePanelsWindow : public QWidget
{
    Q_OBJECT

public:
    explicit DevicePanelsWindow(DeviceManager* manager, QWidget* parent = nullptr);

    /// Opens the settings dialog of name on this window; it deletes itself when closed.
    DeviceConfigWidget* openSettings(const QString& name);

    /// The window and its screenshot scenes: the settings of the first wave generator, on
    /// its Output tab with the live graph and with the console, and on its Input tab.
    static DemoWindow demoWindow();

private:
    QPointer<DeviceManager> m_manager;
    QComboBox* m_devices;
    ConsoleWidget* m_log;
};
