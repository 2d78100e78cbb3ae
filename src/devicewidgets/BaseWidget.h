#pragma once

#include "ParametersEntity.h"
#include "WidgetPosition.h"
#include "dozerozozu_export.h"

// Whole, not declared: every concrete widget fills getLayout() (addWidget() and the like).
#include <QGridLayout>
#include <QPointer>
#include <QWidget>

class BaseGuiDevice;

/**
 * Base of every widget a GUI device shows on the dashboard.
 *
 * Follows its device: when the device reports itself initialised the widget
 * copies the device's place and area and runs initialise(); when the device is
 * deinitialised it runs deinitialise(), forgets place and area and deletes
 * whatever is left in its layout. Concrete widgets build their controls in
 * initialise(), usually into getLayout(), and may tear them down in
 * deinitialise().
 *
 * Made by BaseGuiDevice::createWidget() and owned by the WidgetManager that
 * registers it, or by the dashboard grid while it shows it. GUI thread only;
 * the device, which may live elsewhere, is reached by invoking its slots by name.
 * The widget's own parameter set is what the manager writes to the dashboard
 * layout file.
 */
class DOZEROZOZU_EXPORT BaseWidget : public QWidget, public ParametersEntity
{
    Q_OBJECT

public:
    explicit BaseWidget(BaseGuiDevice* device, QWidget* parent = nullptr);
    ~BaseWidget() override;

    /// The device that made this widget; null once that device is gone.
    BaseGuiDevice* getDevice() const;
    /// The widget's place on the dashboard grid; (-1, -1, 1, 1) while its device is not initialised.
    WidgetPosition getPosition() const;
    QString getArea() const;
    bool isInitialised() const;

    /**
     * The widget's grid layout, made on first use with spacing and margins 0.
     * When a concrete widget installed a grid layout itself, that one is
     * returned; when it installed a layout of another kind, a grid is nested
     * into it.
     */
    QGridLayout* getLayout();

    /// Stores the area and forwards it to the device's "setArea" slot.
    void setArea(const QString& value);
    /// Stores the place at once and forwards it to the device's "setPosition" slot.
    void setPosition(WidgetPosition pos);

    /// Copies place and area from the device and runs initialise(); does nothing when already initialised.
    void _initialise();
    /// Runs deinitialise(), forgets place and area and deletes the layout with everything in it; does nothing when not initialised.
    void _deinitialise();

    /// Hook for the concrete widget: build the controls.
    virtual void initialise();
    /// Hook for the concrete widget: release what initialise() made outside the layout.
    virtual void deinitialise();

    /// The widget's object name, which the widget manager sets to the device's name.
    QString getObjectName() const override;
    virtual void sendParamChanged();

public Q_SLOTS:
    /// Follows the device: true initialises the widget, false deinitialises it.
    void deviceInitialised(bool initialised);

private:
    static void clearLayout(QLayout* layout);

    QPointer<BaseGuiDevice> device;
    bool initialised = false;
    ParametersEntity* deviceParams = nullptr;
    QPointer<QGridLayout> gridLayout;
    WidgetPosition position;
    QString area;
};
