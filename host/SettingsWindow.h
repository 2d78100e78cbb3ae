#pragma once

#include "ConfigWidget.h"

class YamlConfig;

/**
 * The demo's settings: a ConfigWidget over the host's own YAML settings file with an
 * option of every kind, a script field that opens the code editor, and a button that
 * opens the height-tolerance dialog. "Save" writes the file.
 */
class SettingsWindow : public ConfigWidget
{
    Q_OBJECT

public:
    explicit SettingsWindow(QWidget* parent = nullptr);

private:
    void storeDefaults();
    void addGeneralOptions();
    void addDisplayOptions();
    void addDeviceOptions();

    YamlConfig* m_config;
};
