#include "DemoGuiDevices.h"

#include "BaseWidget.h"
#include "DeviceManager.h"
#include "SharedConstants.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QSlider>
#include <QVBoxLayout>

#include <cmath>
#include <limits>

namespace {

template <typename Device>
DeviceManager::DeviceFactory factoryOf()
{
    return [] { return new Device; };
}

int intParam(const BaseDevice* device, const QString& key)
{
    return device->getParam(key).raw().toInt();
}

// Every demo widget is one titled panel, so the dashboard reads as a set of instruments.
// The title is the widget's own parameter, which the dashboard's layout file records.
class PanelWidget : public BaseWidget
{
public:
    explicit PanelWidget(BaseGuiDevice* device)
        : BaseWidget(device)
    {
        addParam(QStringLiteral("title"), QString());
    }

protected:
    QVBoxLayout* addPanel()
    {
        const BaseGuiDevice* device = getDevice();
        const QString title = device->getDescription().isEmpty() ? device->objectName() : device->getDescription();
        setParamValue(QStringLiteral("title"), title);
        auto* panel = new QGroupBox(title);
        panel->setMinimumSize(170, 100);
        getLayout()->addWidget(panel, 0, 0);
        return new QVBoxLayout(panel);
    }
};

class ValueDisplayWidget : public PanelWidget
{
public:
    explicit ValueDisplayWidget(ValueDisplayDevice* device)
        : PanelWidget(device)
        , m_device(device)
    {
    }

    void initialise() override
    {
        auto* label = new QLabel;
        label->setAlignment(Qt::AlignCenter);
        QFont font = label->font();
        font.setPointSizeF(font.pointSizeF() * 2);
        font.setBold(true);
        label->setFont(font);
        addPanel()->addWidget(label);

        const int decimals = qBound(0, intParam(m_device, QStringLiteral("decimals")), 10);
        auto show = [label, decimals](double value) {
            label->setText(std::isnan(value) ? QStringLiteral("–") : QString::number(value, 'f', decimals));
        };
        show(m_device->value());
        connect(m_device, &ValueDisplayDevice::valueChanged, label, show);
    }

private:
    ValueDisplayDevice* m_device;
};

class LampWidget : public PanelWidget
{
public:
    explicit LampWidget(LampDevice* device)
        : PanelWidget(device)
        , m_device(device)
    {
    }

    void initialise() override
    {
        auto* lamp = new QLabel;
        lamp->setFixedSize(40, 40);
        auto* layout = addPanel();
        layout->addWidget(lamp, 0, Qt::AlignCenter);

        auto show = [lamp](bool on) {
            lamp->setStyleSheet(QStringLiteral("border: 2px solid #555; border-radius: 20px; background: %1;")
                                    .arg(on ? QStringLiteral("#f03c28") : QStringLiteral("#4a1410")));
        };
        show(m_device->isOn());
        connect(m_device, &LampDevice::switched, lamp, show);
    }

private:
    LampDevice* m_device;
};

class PushButtonWidget : public PanelWidget
{
public:
    explicit PushButtonWidget(PushButtonDevice* device)
        : PanelWidget(device)
        , m_device(device)
    {
    }

    void initialise() override
    {
        auto* button = new QPushButton(m_device->getParam(QStringLiteral("text")));
        button->setMinimumHeight(48);
        addPanel()->addWidget(button);
        QPointer<PushButtonDevice> device = m_device;
        connect(button, &QPushButton::clicked, button, [device] {
            if (device)
                QMetaObject::invokeMethod(device, "click", Qt::AutoConnection);
        });
    }

private:
    PushButtonDevice* m_device;
};

class SliderWidget : public PanelWidget
{
public:
    explicit SliderWidget(SliderDevice* device)
        : PanelWidget(device)
        , m_device(device)
    {
    }

    void initialise() override
    {
        auto* slider = new QSlider(Qt::Horizontal);
        slider->setRange(intParam(m_device, QStringLiteral("minimum")), intParam(m_device, QStringLiteral("maximum")));
        slider->setValue(m_device->value());
        auto* label = new QLabel(QString::number(slider->value()));
        label->setAlignment(Qt::AlignCenter);
        auto* layout = addPanel();
        layout->addWidget(slider);
        layout->addWidget(label);

        // QSlider::setValue() does not emit for its current value, so the round trip
        // through the device ends here.
        connect(m_device, &SliderDevice::valueChanged, slider, &QSlider::setValue);
        QPointer<SliderDevice> device = m_device;
        connect(slider, &QSlider::valueChanged, label, [device, label](int value) {
            label->setNum(value);
            if (device)
                QMetaObject::invokeMethod(device, "setValue", Qt::AutoConnection, Q_ARG(int, value));
        });
    }

private:
    SliderDevice* m_device;
};

} // namespace

void registerDemoGuiDeviceTypes(DeviceManager* manager)
{
    DeviceTypeInfo info;
    info.categories = QStringList{CategoryGui};
    info.kind = WidgetKind;
    manager->registerDeviceType(QStringLiteral("valueDisplay"), info, factoryOf<ValueDisplayDevice>());
    manager->registerDeviceType(QStringLiteral("lamp"), info, factoryOf<LampDevice>());
    manager->registerDeviceType(QStringLiteral("pushButton"), info, factoryOf<PushButtonDevice>());
    manager->registerDeviceType(QStringLiteral("slider"), info, factoryOf<SliderDevice>());
}

ValueDisplayDevice::ValueDisplayDevice()
    : m_value(std::numeric_limits<double>::quiet_NaN())
{
    addParam(QStringLiteral("decimals"), QStringLiteral("2"));
    describeParam(QStringLiteral("decimals"), Param::Integer, QStringLiteral("Digits after the decimal point"));
}

BaseWidget* ValueDisplayDevice::createWidget()
{
    return new ValueDisplayWidget(this);
}

double ValueDisplayDevice::value() const
{
    return m_value;
}

void ValueDisplayDevice::setValue(double value)
{
    m_value = value;
    Q_EMIT valueChanged(value);
}

LampDevice::LampDevice() = default;

BaseWidget* LampDevice::createWidget()
{
    return new LampWidget(this);
}

bool LampDevice::isOn() const
{
    return m_on;
}

void LampDevice::setOn(bool on)
{
    if (m_on == on)
        return;
    m_on = on;
    Q_EMIT switched(on);
}

PushButtonDevice::PushButtonDevice()
{
    addParam(QStringLiteral("text"), QStringLiteral("Press"));
    describeParam(QStringLiteral("text"), Param::Text, QStringLiteral("Label of the button"));
}

BaseWidget* PushButtonDevice::createWidget()
{
    return new PushButtonWidget(this);
}

void PushButtonDevice::click()
{
    Q_EMIT clicked();
}

SliderDevice::SliderDevice()
{
    addParam(QStringLiteral("minimum"), QStringLiteral("0"));
    addParam(QStringLiteral("maximum"), QStringLiteral("100"));
    addParam(QStringLiteral("value"), QStringLiteral("0"));
    describeParam(QStringLiteral("minimum"), Param::Integer, QStringLiteral("Lowest position"));
    describeParam(QStringLiteral("maximum"), Param::Integer, QStringLiteral("Highest position"));
    describeParam(QStringLiteral("value"), Param::Integer, QStringLiteral("Current position"));
}

BaseWidget* SliderDevice::createWidget()
{
    return new SliderWidget(this);
}

int SliderDevice::value() const
{
    return intParam(this, QStringLiteral("value"));
}

void SliderDevice::setValue(int value)
{
    setParam(QStringLiteral("value"), QString::number(value));
    Q_EMIT valueChanged(value);
}
