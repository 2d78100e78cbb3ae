#pragma once

#include "ConfigWidget.h"

class HeightToleranceDialog;
class YamlConfig;

/**
 * The demo's settings: a ConfigWidget over the host's own YAML settings file with an
 * option of every kind, a script field that opens the code editor, and a button that
 * opens the height-tolerance dialog. "Save" writes the file, and says so when it could not
 * (then nothing waits for a restart: what was not written is gone when the demo quits). In a run
 * that keeps nothing, and while the user's file cannot be read, the file is the run's own
 * (DemoSettings::savedFile()), and Save says so.
 */
class SettingsWindow : public ConfigWidget
{
    Q_OBJECT

public:
    explicit SettingsWindow(QWidget* parent = nullptr);

    /**
     * Brings the demo's settings to the front: the settings window on the screen, or a new
     * one, which deletes itself when closed. Every window of the demo offers it in its menu,
     * so the settings stay within reach once the first settings window is closed.
     */
    static SettingsWindow* showSettings();
    /**
     * The height-tolerance dialog the settings open, parented to parent, which saves each
     * change as it is made. Where the saves are not kept (DemoSettings::savesAreKept()), the
     * first change made in it tells the user so in a box, once the change is applied.
     */
    static HeightToleranceDialog* newHeightToleranceDialog(QWidget* parent);

public Q_SLOTS:
    /// Writes the options into the settings, then the settings file; the restart notice of
    /// ConfigWidget comes only once the file is written, a warning instead when it is not, and
    /// a notice that nothing is kept in a run that keeps nothing.
    void save() override;

private:
    void storeDefaults();
    void addGeneralOptions();
    /// Tells, atop the first page, that the settings file could not be read at start.
    void addUnreadableFileNotice();
    void addDisplayOptions();
    void addDeviceOptions();

    YamlConfig* m_config;
};
