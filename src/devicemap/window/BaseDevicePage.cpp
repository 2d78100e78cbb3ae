#include "BaseDevicePage.h"

#include "TouchScrollMaker.h"

#include <QColor>
#include <QPushButton>
#include <QScrollArea>
#include <QVBoxLayout>

namespace {

QString rgbText(const QColor& color)
{
    return QStringLiteral("rgb(%1, %2, %3);").arg(color.red()).arg(color.green()).arg(color.blue());
}

const QString kEscapePrefix = QStringLiteral("device:");

} // namespace

BaseDevicePage::BaseDevicePage(QMap<QString, DeviceNodeItem*> deviceItems, QWidget* parent)
    : QWizardPage(parent)
    , deviceItems(std::move(deviceItems))
{
    setMaximumHeight(650);
}

QVBoxLayout* BaseDevicePage::createAndAddScrollLayout()
{
    auto* area = new QScrollArea(this);
    TouchScrollMaker::activateTouchScroll(area);
    area->setWidgetResizable(true);
    area->setSizePolicy(QSizePolicy::Minimum, QSizePolicy::Minimum);
    auto* content = new QWidget(area);
    auto* layout = new QVBoxLayout(content);
    layout->setSpacing(10);
    area->setWidget(content);
    mainLayout->addWidget(area);
    return layout;
}

QPushButton* BaseDevicePage::createCheckButton(const QString& text, const QString& objectName, QWidget* parent)
{
    auto* button = new QPushButton(text, parent);
    button->setObjectName(objectName);
    button->setFocusPolicy(Qt::NoFocus);
    button->setCheckable(true);
    button->setStyleSheet(QStringLiteral("QPushButton {font-weight: bold; background-color: ")
                          + rgbText(QColor(Qt::darkGray))
                          + QStringLiteral(";} QPushButton:checked{background-color: ")
                          + rgbText(QColor(Qt::darkGreen)) + QStringLiteral(";}"));
    return button;
}

QString BaseDevicePage::deviceFieldName(const QString& deviceName)
{
    const bool clashes = deviceName == QLatin1String("fileName") || deviceName.endsWith(QLatin1Char('*'))
        || deviceName.startsWith(kEscapePrefix);
    return clashes ? kEscapePrefix + deviceName + QLatin1Char(':') : deviceName;
}
