#pragma once

#include "BaseDevice.h"
#include "WidgetPosition.h"
#include "dozerozozu_export.h"

class BaseWidget;

/**
 * Base of every framework device that shows a widget on a dashboard.
 *
 * The device manager creates, initialises and removes it like any device. It
 * adds five parameters that place its widget on a grid ("widget/row",
 * "widget/column", "widget/rowspan", "widget/colspan") and name the dashboard
 * area that shows it ("widget/area", "main" by default), and the factory
 * createWidget(). The device may live in any thread; its widget reaches the two
 * slots by name only, so they run in the device's thread.
 *
 *     class LampDevice : public BaseGuiDevice {
 *         BaseWidget* createWidget() override { return new LampWidget(this); }
 *     };
 */
class DOZEROZOZU_EXPORT BaseGuiDevice : public BaseDevice
{
    Q_OBJECT

public:
    BaseGuiDevice();
    ~BaseGuiDevice() override;

    /// The dashboard area that shows this device's widget.
    QString getArea() const;
    /// The widget's place as the parameters hold it; (-1, -1, 1, 1) when not placed.
    WidgetPosition getPosition() const;

    /**
     * Makes the device's widget, constructed with this device and without
     * parent; the widget manager takes it. Must never return null.
     */
    virtual BaseWidget* createWidget() = 0;

public Q_SLOTS:
    /// Stores the area name through setParam(), so a derived device sees it as any change.
    void setArea(const QString& value);
    /// Stores the four place parameters through setParam().
    void setPosition(WidgetPosition pos);
};
