#include "DevicesSelectionPage.h"

#include <QAbstractButton>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include <algorithm>

DevicesSelectionPage::DevicesSelectionPage(QMap<QString, DeviceNodeItem*> deviceItems, QWidget* parent)
    : BaseDevicePage(std::move(deviceItems), parent)
{
    buttonGroup.setExclusive(false);
    setTitle(tr("Devices selection"));
    mainLayout = new QVBoxLayout(this);
    mainLayout->addWidget(new QLabel(tr("Select devices whose parameters you want to export"), this));
    QVBoxLayout* buttonsLayout = createAndAddScrollLayout();

    // Shown in the order a reader expects; the pages after this one follow the map's key order.
    QStringList names = this->deviceItems.keys();
    std::stable_sort(names.begin(), names.end(), [](const QString& left, const QString& right) {
        return QString::compare(left, right, Qt::CaseInsensitive) < 0;
    });
    const bool wizardListens = parent && parent->metaObject()->indexOfSlot("deviceClicked(bool)") >= 0;
    for (const QString& name : names) {
        QPushButton* button = createCheckButton(name, name, buttonsLayout->parentWidget());
        buttonGroup.addButton(button);
        registerField(deviceFieldName(name), button);
        connect(button, &QPushButton::clicked, this, &QWizardPage::completeChanged);
        if (wizardListens)
            connect(button, SIGNAL(clicked(bool)), parent, SLOT(deviceClicked(bool)));
        buttonsLayout->addWidget(button);
    }
    buttonsLayout->addStretch();
}

bool DevicesSelectionPage::isComplete() const
{
    const QList<QAbstractButton*> buttons = buttonGroup.buttons();
    return std::any_of(buttons.cbegin(), buttons.cend(), [](const QAbstractButton* button) { return button->isChecked(); });
}

QPushButton* DevicesSelectionPage::deviceButton(const QString& deviceName) const
{
    for (QAbstractButton* button : buttonGroup.buttons()) {
        if (button->objectName() == deviceName)
            return qobject_cast<QPushButton*>(button);
    }
    return nullptr;
}
