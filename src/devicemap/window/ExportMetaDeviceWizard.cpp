#include "ExportMetaDeviceWizard.h"

#include "BaseDevicePage.h"
#include "DeviceManager.h"
#include "DeviceNodeItem.h"
#include "DevicePropertiesPage.h"
#include "DevicesSelectionPage.h"
#include "MetaDeviceFile.h"
#include "SavePage.h"
#include "ZenticMessageBox.h"

#include <QDebug>
#include <QHash>
#include <QPushButton>

struct ExportMetaDeviceWizard::PickedItems
{
    // Device and item of each picked button by object name: a device name may contain ".".
    QHash<QString, MetaDeviceFile::Export> byButton;

    /// The device and item of a picked entry; entries not picked on a page are split at the
    /// longest device name they start with.
    MetaDeviceFile::Export exportOf(const QString& entry, const QMap<QString, DeviceNodeItem*>& deviceItems) const;
};

ExportMetaDeviceWizard::ExportMetaDeviceWizard(QList<QGraphicsItem*> items, QList<DeviceInfo> deviceInfos,
                                               DeviceManager* deviceManager, QWidget* parent)
    : ZenticWizard(parent, false)
    , items(std::move(items))
    , deviceInfos(std::move(deviceInfos))
    , deviceManager(deviceManager)
    , pickedItems(std::make_unique<PickedItems>())
{
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(tr("Export meta device"));
    setMaximumHeight(650);
    for (QGraphicsItem* item : qAsConst(this->items)) {
        // The hidden anchor of a link being drawn has no name and is no device.
        auto* deviceItem = dynamic_cast<DeviceNodeItem*>(item);
        if (deviceItem && !deviceItem->devName().isEmpty())
            deviceItems.insert(deviceItem->devName(), deviceItem);
    }

    setPage(0, new DevicesSelectionPage(deviceItems, this));
    for (int id = 1; id <= this->items.size(); ++id)
        setPage(id, new DevicePropertiesPage(deviceItems, deviceManager, this));
    setPage(savePageId(), new SavePage(this));
}

ExportMetaDeviceWizard::~ExportMetaDeviceWizard() = default;

int ExportMetaDeviceWizard::savePageId() const
{
    return items.size() + 2;
}

int ExportMetaDeviceWizard::nextId() const
{
    const int current = currentId();
    if (current < 0 || current >= savePageId())
        return -1;
    int firstChecked = -1;
    int position = 0;
    for (auto it = deviceItems.constBegin(); it != deviceItems.constEnd(); ++it, ++position) {
        if (field(BaseDevicePage::deviceFieldName(it.key())).toBool()) {
            firstChecked = position;
            break;
        }
    }
    if (firstChecked >= 0)
        return firstChecked + 1;
    return current == 0 ? 1 : savePageId();
}

void ExportMetaDeviceWizard::deviceClicked(bool value)
{
    processPageButtonClicked(value, selectedDevices);
}

void ExportMetaDeviceWizard::signalClicked(bool value)
{
    processPageButtonClicked(value, selectedSignals);
}

void ExportMetaDeviceWizard::slotClicked(bool value)
{
    processPageButtonClicked(value, selectedSlots);
}

void ExportMetaDeviceWizard::paramClicked(bool value)
{
    processPageButtonClicked(value, selectedParams);
}

void ExportMetaDeviceWizard::processPageButtonClicked(bool value, QStringList& list)
{
    auto* button = qobject_cast<QPushButton*>(sender());
    if (!button)
        return;
    const QString name = button->objectName();
    if (!value) {
        list.removeOne(name);
        return;
    }
    list.append(name);
    const QVariant device = button->property("deviceName");
    if (device.isValid())
        pickedItems->byButton.insert(name, {device.toString(), button->property("itemName").toString()});
}

MetaDeviceFile::Export ExportMetaDeviceWizard::PickedItems::exportOf(
    const QString& entry, const QMap<QString, DeviceNodeItem*>& deviceItems) const
{
    const auto picked = byButton.constFind(entry);
    if (picked != byButton.constEnd())
        return *picked;
    MetaDeviceFile::Export split{entry.section(QLatin1Char('.'), 0, 0), entry.section(QLatin1Char('.'), 1)};
    for (auto it = deviceItems.constBegin(); it != deviceItems.constEnd(); ++it) {
        if (it.key().size() > split.device.size() && entry.startsWith(it.key() + QLatin1Char('.')))
            split = {it.key(), entry.mid(it.key().size() + 1)};
    }
    return split;
}

bool ExportMetaDeviceWizard::validateProperty(const QString& entry) const
{
    return selectedDevices.contains(pickedItems->exportOf(entry, deviceItems).device);
}

bool ExportMetaDeviceWizard::finishClicked()
{
    const QString fileName = field(QStringLiteral("fileName")).toString();
    auto passingExports = [this](const QStringList& entries) {
        QList<MetaDeviceFile::Export> exports;
        for (const QString& entry : entries) {
            if (validateProperty(entry))
                exports.append(pickedItems->exportOf(entry, deviceItems));
        }
        return exports;
    };
    MetaDeviceFile file;
    file.hasExportBlock = !selectedSlots.isEmpty() || !selectedSignals.isEmpty() || !selectedParams.isEmpty();
    file.slotExports = passingExports(selectedSlots);
    file.signalExports = passingExports(selectedSignals);
    file.parameterExports = passingExports(selectedParams);
    file.devices = deviceInfos;

    QString error;
    if (file.save(fileName, &error))
        return true;
    qWarning().noquote() << "ExportMetaDeviceWizard: cannot save" << fileName << ":" << error;
    ZenticMessageBox::warning(this, tr("The meta device was not saved"),
                              tr("\"%1\" could not be written: %2").arg(fileName, error));
    return false;
}

void ExportMetaDeviceWizard::done(int result)
{
    if (result != QDialog::Accepted || currentId() != savePageId()) {
        ZenticWizard::done(result);
        return;
    }
    if (!validateCurrentPage())
        return;
    // A failure's warning box runs an event loop, in which the map may take the wizard with it.
    const QPointer<ExportMetaDeviceWizard> self(this);
    finishClicked();
    // QWizard::done() would validate the page again, and ask a second time before replacing.
    if (self)
        QDialog::done(result);
}
