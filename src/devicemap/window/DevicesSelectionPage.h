#pragma once

#include "BaseDevicePage.h"
#include "dozerozozu_export.h"

#include <QButtonGroup>

/**
 * First page of the export wizard: one check button per device, in case-insensitive name
 * order, each bound to the wizard field of its device (BaseDevicePage::deviceFieldName) and
 * reported to the wizard's deviceClicked(bool). Next is enabled while a device is checked.
 *
 * Owned by its wizard; GUI thread only.
 */
class DOZEROZOZU_EXPORT DevicesSelectionPage : public BaseDevicePage
{
    Q_OBJECT

public:
    DevicesSelectionPage(QMap<QString, DeviceNodeItem*> deviceItems, QWidget* parent = nullptr);

    bool isComplete() const override;

    /// The selection button of a device; null for an unknown name.
    QPushButton* deviceButton(const QString& deviceName) const;

private:
    QButtonGroup buttonGroup;
};
