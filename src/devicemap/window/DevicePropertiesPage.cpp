#include "DevicePropertiesPage.h"

#include "DeviceHandle.h"
#include "DeviceManager.h"

#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>
#include <QVariant>
#include <QWizard>

DevicePropertiesPage::DevicePropertiesPage(QMap<QString, DeviceNodeItem*> deviceItems, DeviceManager* deviceManager,
                                           QWidget* parent)
    : BaseDevicePage(std::move(deviceItems), parent)
    , deviceManager(deviceManager)
{
}

QString DevicePropertiesPage::getDeviceName() const
{
    return deviceName;
}

void DevicePropertiesPage::initializePage()
{
    QWizard* wizard = this->wizard();
    if (!wizard)
        return;
    bool found = false;
    for (auto it = deviceItems.constBegin(); it != deviceItems.constEnd(); ++it) {
        const QString field = deviceFieldName(it.key());
        if (wizard->field(field).toBool()) {
            deviceName = it.key();
            // Unchecks the selection button without a click: the wizard's list of picked
            // devices stays as the user left it.
            wizard->setField(field, false);
            found = true;
            break;
        }
    }
    if (!found || mainLayout)
        return;

    mainLayout = new QVBoxLayout(this);
    setTitle(tr("%1 properties").arg(deviceName));
    const QSharedPointer<DeviceHandle> handle = deviceManager ? deviceManager->getDeviceHandle(deviceName)
                                                              : QSharedPointer<DeviceHandle>();
    if (!handle)
        return;
    const QStringList signalList = handle->getSignals();
    if (!signalList.isEmpty())
        createSection(tr("SIGNALS"), signalList);
    const QStringList slotList = handle->getSlots();
    if (!slotList.isEmpty())
        createSection(tr("SLOTS"), slotList);
    QStringList paramNames;
    for (const Param& param : handle->getParams())
        paramNames.append(param.name());
    if (!paramNames.isEmpty())
        createSection(tr("PARAMETERS"), paramNames);
}

void DevicePropertiesPage::cleanupPage()
{
    // The picks on this page stay; only the device goes back to the selection.
    if (QWizard* wizard = this->wizard(); wizard && !deviceName.isEmpty())
        wizard->setField(deviceFieldName(deviceName), true);
}

void DevicePropertiesPage::createSection(const QString& title, const QStringList& items)
{
    auto* label = new QLabel(title, this);
    label->setStyleSheet(QStringLiteral("font-weight: bold;"));
    label->setAlignment(Qt::AlignCenter);
    mainLayout->addWidget(label);
    QVBoxLayout* itemsLayout = createAndAddScrollLayout();

    const char* wizardSlot = nullptr;
    if (title == tr("SIGNALS"))
        wizardSlot = SLOT(signalClicked(bool));
    else if (title == tr("SLOTS"))
        wizardSlot = SLOT(slotClicked(bool));
    else if (title == tr("PARAMETERS"))
        wizardSlot = SLOT(paramClicked(bool));
    QWizard* wizard = this->wizard();
    // SLOT() texts begin with a code digit that the meta-object lookup does not want.
    if (wizardSlot && (!wizard || wizard->metaObject()->indexOfSlot(wizardSlot + 1) < 0))
        wizardSlot = nullptr;

    for (const QString& item : items) {
        QPushButton* button = createCheckButton(item, deviceName + QLatin1Char('.') + item, itemsLayout->parentWidget());
        button->setProperty("deviceName", deviceName);
        button->setProperty("itemName", item);
        if (wizardSlot)
            connect(button, SIGNAL(clicked(bool)), wizard, wizardSlot);
        itemsLayout->addWidget(button);
    }
    itemsLayout->addStretch();
}
