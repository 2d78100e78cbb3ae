#pragma once

#include "DemoWindows.h"

#include <QPointer>
#include <QWidget>

class ConsoleWidget;
class DeviceConfigWidget;
class DeviceListModel;
class DeviceManager;
class QComboBox;
class QPushButton;

/**
 * The demo's log window: the framework's log as the library's console shows it, and a choice
 * of a device whose settings dialog (parameters, "Output" with its live graph or console, and
 * "Input" with its slots) opens without blocking, as the dashboard and the map open it.
 *
 * The choice lists the manager's devices as they come, go and are renamed (DeviceListModel).
 * The chosen device stays chosen while it exists, under its new name when renamed; once it is
 * gone nothing is chosen (and "Settings..." waits) until the user chooses again. Object names
 * for tests: "deviceChooser", "settingsButton".
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
    /// The device chosen, as the manager names it now; empty when none.
    QString chosenDevice() const;
    /// The devices offered.
    DeviceListModel* devices() const;

    /// The window and its screenshot scenes: the settings of the first wave generator, on
    /// its Output tab with the live graph and with the console, and on its Input tab.
    static DemoWindow demoWindow();

private:
    void choose(const QString& name);
    /// Shows the chosen device in the list again after an update of the list, or none when it is gone.
    void showChoice();
    void openChosenSettings();

    QPointer<DeviceManager> m_manager;
    DeviceListModel* m_devices = nullptr;
    QComboBox* m_chooser;
    QPushButton* m_settingsButton;
    ConsoleWidget* m_log;
    QString m_chosen;
    /// While the list updates, the chooser's own moves of its current row are not the user's choice.
    bool m_updating = false;
};
