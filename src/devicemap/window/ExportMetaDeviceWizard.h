#pragma once

#include "DeviceInfo.h"
#include "ZenticWizard.h"
#include "dozerozozu_export.h"

#include <QList>
#include <QMap>
#include <QPointer>
#include <QStringList>

#include <memory>

class DeviceManager;
class DeviceNodeItem;
class QGraphicsItem;

/**
 * The wizard that exports devices of the device map as a meta device: the user checks
 * devices, then picks signals, slots and parameters on one page per checked device, then
 * names the file; Finish writes the meta-device file (MetaDeviceFile). It never changes
 * the device graph.
 *
 * Page ids: 0 selects devices, 1 to n are the devices' pages (n = number of items; page k
 * belongs to the k-th device in case-sensitive name order, and only checked devices' pages
 * are visited), n + 2 is the save page.
 *
 * The map view creates one per export, with its device items, their DeviceInfos (all of
 * them are written into the file), its manager and itself as parent, and shows it without
 * waiting. The wizard deletes itself when it closes. It reads only the items' names, in the
 * constructor. GUI thread only; the manager is not owned.
 *
 *     auto* wizard = new ExportMetaDeviceWizard(items, infos, manager, this);
 *     wizard->setModal(true);
 *     wizard->show();
 *
 * A file that cannot be written is reported in a warning box, and the wizard then closes;
 * an existing file of that name stays as it was.
 */
class DOZEROZOZU_EXPORT ExportMetaDeviceWizard : public ZenticWizard
{
    Q_OBJECT

public:
    ExportMetaDeviceWizard(QList<QGraphicsItem*> items, QList<DeviceInfo> deviceInfos, DeviceManager* deviceManager,
                           QWidget* parent = nullptr);
    ~ExportMetaDeviceWizard() override;

    int nextId() const override;
    /// The id of the save page, the number of items plus 2.
    int savePageId() const;

    /// Object names of the checked buttons, in the order the user checked them.
    QStringList getSelectedDevices() const { return selectedDevices; }
    QStringList getSelectedSignals() const { return selectedSignals; }
    QStringList getSelectedSlots() const { return selectedSlots; }
    QStringList getSelectedParams() const { return selectedParams; }

    /// Keeps list in step with the sending button: its object name is appended when checked,
    /// its first occurrence removed when unchecked.
    void processPageButtonClicked(bool value, QStringList& list);
    /// Whether a picked entry ("device.item") belongs to a device still checked on the selection page.
    bool validateProperty(const QString& entry) const;
    /// Writes the meta-device file named by the field "fileName"; reports a failure in a
    /// warning box and returns false.
    bool finishClicked();

    /// Finish validates the save page, writes the file, then closes.
    void done(int result) override;

public Q_SLOTS:
    void deviceClicked(bool value);
    void signalClicked(bool value);
    void slotClicked(bool value);
    void paramClicked(bool value);

private:
    // The device and item of each picked button (a device name may contain "."), in the
    // meta-device file's types, which only the source file knows.
    struct PickedItems;

    QList<QGraphicsItem*> items;
    QList<DeviceInfo> deviceInfos;
    QMap<QString, DeviceNodeItem*> deviceItems;
    QStringList selectedDevices;
    QStringList selectedSignals;
    QStringList selectedSlots;
    QStringList selectedParams;
    QPointer<DeviceManager> deviceManager;
    std::unique_ptr<PickedItems> pickedItems;
};
