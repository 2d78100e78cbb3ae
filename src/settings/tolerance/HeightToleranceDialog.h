#pragma once

#include "ConfigWidget.h"
#include "dozerozozu_export.h"

class Config;
class HeightToleranceWidget;

/**
 * Settings dialog of the 2D project view's height tolerance, over the process-wide YAML
 * store. Saves on every change, so it shows only "Close". Host code creates and runs it.
 */
class DOZEROZOZU_EXPORT HeightToleranceDialog : public ConfigWidget
{
    Q_OBJECT
public:
    explicit HeightToleranceDialog(QWidget* parent = nullptr);

    HeightToleranceWidget* getHeightToleranceWidget() const;

private:
    Config* config;
    HeightToleranceWidget* heightToleranceWidget;
};
