#include "DeviceSlotsInputWidget.h"

#include "DeviceHandle.h"
#include "DeviceInputWidget.h"
#include "DeviceManager.h"

#include <QGridLayout>

DeviceSlotsInputWidget::DeviceSlotsInputWidget(DeviceManager& manager, QString device, QWidget* parent)
    : QWidget(parent)
    , deviceManager(&manager)
    , deviceName(device)
    , deviceHandle(manager.getDeviceHandle(device))
    , layout(new QGridLayout(this))
{
    layout->setSpacing(0);
    layout->setContentsMargins(0, 0, 0, 0);
    const QStringList slotList = deviceHandle ? deviceHandle->getSlots() : QStringList();
    int row = 0;
    for (const QString& slot : slotList)
        layout->addWidget(new DeviceInputWidget(manager, device, slot), ++row, 0, Qt::AlignTop);
    if (row > 0)
        layout->setRowStretch(row, fontMetrics().height() / 2);
}

DeviceSlotsInputWidget::~DeviceSlotsInputWidget() = default;
