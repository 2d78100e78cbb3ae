#pragma once

#include "BaseGuiDevice.h"

class DeviceManager;

/**
 * The demo's GUI device types, each with a small dashboard widget: a value display, a lamp,
 * a push button and a slider. They are device types like any other, filed under "GUI" with
 * the kind "widget", so they can be linked on the map and placed on a dashboard.
 *
 * Each device keeps its state and reports every change by a signal its widget follows; the
 * widget reaches the device only by invoking its slots by name. Leave them in the GUI thread
 * (no "thread" in the graph): the widget reads their parameters when it is built.
 */
void registerDemoGuiDeviceTypes(DeviceManager* manager);

/// Shows the last number it was given, with "decimals" digits, and passes it on.
class ValueDisplayDevice : public BaseGuiDevice
{
    Q_OBJECT
public:
    ValueDisplayDevice();
    BaseWidget* createWidget() override;
    /// NaN until the first value arrives.
    double value() const;
public Q_SLOTS:
    void setValue(double value);
Q_SIGNALS:
    void valueChanged(double value);
private:
    double m_value;
};

/// A lamp that is lit while its input is true.
class LampDevice : public BaseGuiDevice
{
    Q_OBJECT
public:
    LampDevice();
    BaseWidget* createWidget() override;
    bool isOn() const;
public Q_SLOTS:
    void setOn(bool on);
Q_SIGNALS:
    void switched(bool on);
private:
    bool m_on = false;
};

/// A button labelled "text" that emits clicked() when pressed, on the dashboard or by a link.
class PushButtonDevice : public BaseGuiDevice
{
    Q_OBJECT
public:
    PushButtonDevice();
    BaseWidget* createWidget() override;
public Q_SLOTS:
    void click();
Q_SIGNALS:
    void clicked();
};

/// A slider from "minimum" to "maximum"; its position is the parameter "value", so it is saved with the graph.
class SliderDevice : public BaseGuiDevice
{
    Q_OBJECT
public:
    SliderDevice();
    BaseWidget* createWidget() override;
    int value() const;
public Q_SLOTS:
    void setValue(int value);
Q_SIGNALS:
    void valueChanged(int value);
};
