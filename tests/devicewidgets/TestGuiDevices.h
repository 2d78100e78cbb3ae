#pragma once

#include "BaseGuiDevice.h"
#include "BaseWidget.h"
#include "WidgetPosition.h"

#include <QGridLayout>
#include <QLabel>

/// Hook counts of one test widget, kept by its device so that they outlive the widget.
struct HookCounts
{
    int initialised = 0;
    int deinitialised = 0;
};

class TestGuiWidget : public BaseWidget
{
public:
    TestGuiWidget(BaseGuiDevice* device, HookCounts* counts)
        : BaseWidget(device)
        , counts(counts)
    {
        addParam(QStringLiteral("colour"), QStringLiteral("red"));
    }

    void initialise() override
    {
        if (counts)
            ++counts->initialised;
        getLayout()->addWidget(new QLabel(QStringLiteral("value")), 0, 0);
    }
    void deinitialise() override
    {
        if (counts)
            ++counts->deinitialised;
    }

    HookCounts* counts;
};

class TestGuiDevice : public BaseGuiDevice
{
public:
    BaseWidget* createWidget() override { return new TestGuiWidget(this, &counts); }

    HookCounts counts;
};

inline char* toString(const WidgetPosition& pos)
{
    return qstrdup(QStringLiteral("(%1, %2, %3, %4)").arg(pos.row).arg(pos.column).arg(pos.rowspan).arg(pos.colspan).toUtf8());
}
