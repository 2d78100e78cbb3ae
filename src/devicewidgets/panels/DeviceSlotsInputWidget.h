#pragma once

#include "dozerozozu_export.h"

#include <QSharedPointer>
#include <QWidget>

class DeviceHandle;
class DeviceManager;
class QGridLayout;

/**
 * The "Input" tab of the device settings dialog: one DeviceInputWidget per slot of the device,
 * top-aligned in a column, with the spare height below the last. Every slot gets a row; one
 * whose argument the panel cannot edit shows "(no input control)". Owned by its parent; GUI
 * thread only.
 */
class DOZEROZOZU_EXPORT DeviceSlotsInputWidget : public QWidget
{
    Q_OBJECT

public:
    DeviceSlotsInputWidget(DeviceManager& manager, QString device, QWidget* parent = nullptr);
    ~DeviceSlotsInputWidget() override;

Q_SIGNALS:
    // Part of the panel's interface; the panel itself never emits them.
    void output();
    void output(double value);
    void output(int value);
    void output(bool value);

private:
    DeviceManager* deviceManager;
    QString deviceName;
    QSharedPointer<DeviceHandle> deviceHandle;
    QGridLayout* layout;
};
