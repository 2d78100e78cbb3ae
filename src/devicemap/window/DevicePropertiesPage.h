#pragma once

#include "BaseDevicePage.h"
#include "dozerozozu_export.h"

#include <QPointer>
#include <QStringList>

class DeviceManager;

/**
 * A page of the export wizard for one picked device: check buttons for its signals, slots
 * and parameters, as its device handle reports them, in the sections "SIGNALS", "SLOTS" and
 * "PARAMETERS" (a section only when the list is not empty). Each button is named
 * "<device>.<item>" and carries the dynamic properties "deviceName" and "itemName", and its
 * clicks reach the wizard's signalClicked(bool), slotClicked(bool) or paramClicked(bool).
 *
 * The page takes its device when first entered: the first device, in key order, whose
 * wizard field is still true; it clears that field, and sets it again when the user goes
 * Back, so the wizard's page order finds the next device. The content is built once.
 *
 * Owned by its wizard; GUI thread only. The device manager is not owned.
 */
class DOZEROZOZU_EXPORT DevicePropertiesPage : public BaseDevicePage
{
    Q_OBJECT

public:
    DevicePropertiesPage(QMap<QString, DeviceNodeItem*> deviceItems, DeviceManager* deviceManager,
                         QWidget* parent = nullptr);

    /// The device this page shows; empty until the page is first entered.
    QString getDeviceName() const;

    /// Appends a bold title and a scroll area with one check button per item.
    void createSection(const QString& title, const QStringList& items);

    void initializePage() override;
    void cleanupPage() override;

private:
    QPointer<DeviceManager> deviceManager;
    QString deviceName;
};
