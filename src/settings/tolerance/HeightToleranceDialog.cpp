#include "HeightToleranceDialog.h"

#include "HeightToleranceWidget.h"
#include "Singleton.h"
#include "YamlConfig.h"

HeightToleranceDialog::HeightToleranceDialog(QWidget* parent)
    : ConfigWidget(true, parent, false)
    , config(Singleton<YamlConfig>::instance())
    , heightToleranceWidget(nullptr)
{
    newTab(tr("General"));
    newGroup(tr("Project 2D"));
    heightToleranceWidget = HeightToleranceWidget::createHeightToleranceWidget(config, this);
    addWidget(heightToleranceWidget, Qt::Alignment());
}

HeightToleranceWidget* HeightToleranceDialog::getHeightToleranceWidget() const
{
    return heightToleranceWidget;
}
