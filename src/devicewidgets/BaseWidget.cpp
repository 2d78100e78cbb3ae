#include "BaseWidget.h"

#include "BaseGuiDevice.h"

#include <QDebug>
#include <QGridLayout>

BaseWidget::BaseWidget(BaseGuiDevice* device, QWidget* parent)
    : QWidget(parent)
    , device(device)
{
    if (device)
        connect(device, SIGNAL(deviceInitialised(bool)), this, SLOT(deviceInitialised(bool)));
}

BaseWidget::~BaseWidget() = default;

BaseGuiDevice* BaseWidget::getDevice() const
{
    return device;
}

WidgetPosition BaseWidget::getPosition() const
{
    return position;
}

QString BaseWidget::getArea() const
{
    return area;
}

bool BaseWidget::isInitialised() const
{
    return initialised;
}

QGridLayout* BaseWidget::getLayout()
{
    if (gridLayout)
        return gridLayout;

    QLayout* installed = QWidget::layout();
    if (auto grid = qobject_cast<QGridLayout*>(installed)) {
        gridLayout = grid;
        return gridLayout;
    }

    auto grid = new QGridLayout;
    grid->setSpacing(0);
    grid->setContentsMargins(0, 0, 0, 0);
    if (!installed) {
        setLayout(grid);
    } else {
        // A layout of another kind cannot be replaced without losing what it
        // holds, so the grid lives in a holder widget inside it.
        auto holder = new QWidget(this);
        holder->setLayout(grid);
        installed->addWidget(holder);
    }
    gridLayout = grid;
    return gridLayout;
}

void BaseWidget::setArea(const QString& value)
{
    area = value;
    if (device)
        QMetaObject::invokeMethod(device, "setArea", Qt::AutoConnection, Q_ARG(QString, value));
}

void BaseWidget::setPosition(WidgetPosition pos)
{
    position = pos;
    if (device)
        QMetaObject::invokeMethod(device, "setPosition", Qt::AutoConnection, Q_ARG(WidgetPosition, pos));
}

void BaseWidget::_initialise()
{
    if (initialised)
        return;
    initialised = true;

    if (!device) {
        deviceParams = nullptr;
        qCritical() << "Dev params is null!";
        return;
    }
    deviceParams = device.data();
    position = device->getPosition();
    area = device->getArea();
    initialise();
}

void BaseWidget::_deinitialise()
{
    if (!initialised)
        return;
    initialised = false;
    position = WidgetPosition();
    area.clear();

    deinitialise();

    if (QLayout* installed = QWidget::layout()) {
        clearLayout(installed);
        delete installed;
    }
    gridLayout = nullptr;
}

void BaseWidget::clearLayout(QLayout* layout)
{
    while (QLayoutItem* item = layout->takeAt(0)) {
        if (QWidget* widget = item->widget())
            delete widget;
        if (QLayout* childLayout = item->layout())
            clearLayout(childLayout);
        delete item;
    }
}

void BaseWidget::initialise()
{
}

void BaseWidget::deinitialise()
{
}

QString BaseWidget::getObjectName() const
{
    return objectName();
}

void BaseWidget::sendParamChanged()
{
}

void BaseWidget::deviceInitialised(bool initialised)
{
    if (initialised)
        _initialise();
    else
        _deinitialise();
}
