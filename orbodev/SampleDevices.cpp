#include "SampleDevices.h"

#include "DeviceManager.h"

#include <QDebug>
#include <QTimer>
#include <QtMath>

namespace {

// Carries stored runtime variables to the GET devices, in whatever thread each lives.
class RuntimeVariableHub : public QObject
{
    Q_OBJECT
Q_SIGNALS:
    void stored(QString name, double value);
};

RuntimeVariableHub* runtimeVariableHub()
{
    static RuntimeVariableHub hub;
    return &hub;
}

template<typename Device>
DeviceManager::DeviceFactory factoryOf()
{
    return [] { return new Device; };
}

DeviceTypeInfo inCategories(const QStringList& categories)
{
    DeviceTypeInfo info;
    info.categories = categories;
    return info;
}

double paramAsDouble(const BaseDevice* device, const QString& key)
{
    return device->getParam(key).raw().toDouble();
}

} // namespace

void registerSampleDeviceTypes(DeviceManager* manager)
{
    manager->registerDeviceType("generator", inCategories({"General"}), factoryOf<GeneratorDevice>());
    manager->registerDeviceType("scaler", inCategories({"maths"}), factoryOf<ScalerDevice>());
    manager->registerDeviceType("adder", inCategories({"maths"}), factoryOf<AdderDevice>());
    manager->registerDeviceType("counter", inCategories({"maths"}), factoryOf<CounterDevice>());
    manager->registerDeviceType("comparator", inCategories({"logic"}), factoryOf<ComparatorDevice>());
    manager->registerDeviceType("logicAnd", inCategories({"logic"}), factoryOf<LogicAndDevice>());
    manager->registerDeviceType("toggle", inCategories({"logic"}), factoryOf<ToggleDevice>());
    manager->registerDeviceType("formatter", inCategories({"string"}), factoryOf<FormatterDevice>());
    manager->registerDeviceType("encoder", inCategories({"converters"}), factoryOf<EncoderDevice>());
    manager->registerDeviceType("serialPort", inCategories({"IO"}), factoryOf<SerialPortDevice>());
    manager->registerDeviceType("udpSocket", inCategories({"network"}), factoryOf<UdpSocketDevice>());
    manager->registerDeviceType("vectorBuilder", inCategories({"array"}), factoryOf<VectorBuilderDevice>());
    manager->registerDeviceType("vectorMean", inCategories({"array", "statistics"}), factoryOf<VectorMeanDevice>());
    manager->registerDeviceType("logger", inCategories({"debug"}), factoryOf<LogDevice>());
    manager->registerDeviceType("runtime_variable", inCategories({"system"}), factoryOf<RuntimeVariableDevice>());
    manager->registerDeviceType("faulty", inCategories({"debug"}), factoryOf<FaultyDevice>());
    manager->registerDeviceType("disabled", inCategories({"debug"}), factoryOf<DisabledDevice>());
}

GeneratorDevice::GeneratorDevice()
    : m_timer(new QTimer(this))
{
    addParam("interval", "200");
    addParam("amplitude", "1");
    addParam("period", "20");
    describeParam("interval", Param::Integer, "Time between two values", "ms");
    describeParam("amplitude", Param::Real, "Peak value of the wave");
    describeParam("period", Param::Integer, "Values per wave");
    connect(m_timer, &QTimer::timeout, this, &GeneratorDevice::step);
}

void GeneratorDevice::start()
{
    if (isInitialised())
        m_timer->start(qMax(1, int(getParam("interval"))));
}

void GeneratorDevice::stop()
{
    m_timer->stop();
}

void GeneratorDevice::setInterval(int milliseconds)
{
    setParam("interval", QString::number(milliseconds));
    if (m_timer->isActive())
        m_timer->start(qMax(1, milliseconds));
}

bool GeneratorDevice::onInitialise()
{
    m_timer->start(qMax(1, int(getParam("interval"))));
    return true;
}

void GeneratorDevice::onDeinitialise()
{
    m_timer->stop();
}

void GeneratorDevice::step()
{
    const int period = qMax(1, int(getParam("period")));
    const double value = paramAsDouble(this, "amplitude") * qSin(2 * M_PI * m_step / period);
    m_step = (m_step + 1) % period;
    Q_EMIT valueChanged(value);
    Q_EMIT tick();
}

ScalerDevice::ScalerDevice()
{
    addParam("factor", "2");
    addParam("offset", "0");
    describeParam("factor", Param::Real, "Multiplies each value");
    describeParam("offset", Param::Real, "Added after the factor");
}

void ScalerDevice::input(double value)
{
    Q_EMIT output(value * paramAsDouble(this, "factor") + paramAsDouble(this, "offset"));
}

AdderDevice::AdderDevice() = default;

void AdderDevice::setA(double value)
{
    m_a = value;
    Q_EMIT sum(m_a + m_b);
}

void AdderDevice::setB(double value)
{
    m_b = value;
    Q_EMIT sum(m_a + m_b);
}

CounterDevice::CounterDevice()
{
    addParam("step", "1");
}

void CounterDevice::increment()
{
    m_count += int(getParam("step"));
    Q_EMIT countChanged(m_count);
}

void CounterDevice::reset()
{
    m_count = 0;
    Q_EMIT countChanged(m_count);
}

void CounterDevice::setStep(int step)
{
    setParam("step", QString::number(step));
}

ComparatorDevice::ComparatorDevice()
{
    addParam("threshold", "0.5");
    describeParam("threshold", Param::Real, "Values above it count as high");
}

void ComparatorDevice::input(double value)
{
    const int state = value > paramAsDouble(this, "threshold") ? 1 : 0;
    Q_EMIT above(state == 1);
    if (m_lastState >= 0 && state != m_lastState)
        Q_EMIT crossed();
    m_lastState = state;
}

LogicAndDevice::LogicAndDevice() = default;

void LogicAndDevice::setA(bool value)
{
    m_a = value;
    Q_EMIT result(m_a && m_b);
}

void LogicAndDevice::setB(bool value)
{
    m_b = value;
    Q_EMIT result(m_a && m_b);
}

ToggleDevice::ToggleDevice() = default;

void ToggleDevice::toggle()
{
    set(!m_state);
}

void ToggleDevice::set(bool value)
{
    m_state = value;
    Q_EMIT state(m_state);
}

FormatterDevice::FormatterDevice()
{
    addParam("prefix", "value: ");
}

void FormatterDevice::input(double value)
{
    Q_EMIT text(getParam("prefix").raw() + QString::number(value));
}

void FormatterDevice::input(int value)
{
    Q_EMIT text(getParam("prefix").raw() + QString::number(value));
}

void FormatterDevice::input(bool value)
{
    Q_EMIT text(getParam("prefix").raw() + (value ? QStringLiteral("true") : QStringLiteral("false")));
}

EncoderDevice::EncoderDevice() = default;

void EncoderDevice::encode(QString text)
{
    Q_EMIT encoded(text.toUtf8());
}

void EncoderDevice::decode(QByteArray bytes)
{
    Q_EMIT decoded(QString::fromUtf8(bytes));
}

SerialPortDevice::SerialPortDevice()
{
    addParam("port", "/dev/ttyS0");
    addParam("baudRate", "115200", {"9600", "19200", "57600", "115200"}, true);
    describeParam("baudRate", Param::Choice, "Line speed", "Bd");
}

void SerialPortDevice::write(QByteArray data)
{
    if (isInitialised())
        Q_EMIT received(data);
}

UdpSocketDevice::UdpSocketDevice()
{
    addParam("host", "127.0.0.1");
    addParam("port", "5000");
    describeParam("port", Param::Integer, "Datagram port (simulated)");
}

void UdpSocketDevice::send(QByteArray data)
{
    if (!isInitialised())
        return;
    Q_EMIT sent(data.size());
    Q_EMIT received(data);
}

VectorBuilderDevice::VectorBuilderDevice()
{
    addParam("size", "16");
}

void VectorBuilderDevice::append(double value)
{
    m_values.append(value);
    const int size = qMax(1, int(getParam("size")));
    if (m_values.size() > size) {
        QVector<double> values = m_values.values();
        values.remove(0, values.size() - size);
        m_values.setValues(values);
    }
    Q_EMIT vector(m_values);
}

void VectorBuilderDevice::clear()
{
    m_values.clear();
    Q_EMIT vector(m_values);
}

VectorMeanDevice::VectorMeanDevice() = default;

void VectorMeanDevice::input(DoubleVec values)
{
    if (values.isEmpty())
        return;
    double total = 0;
    for (double value : values.values())
        total += value;
    Q_EMIT mean(total / values.size());
}

LogDevice::LogDevice() = default;

void LogDevice::input(double value)
{
    qDebug().noquote() << objectName() + ":" << value;
}

void LogDevice::input(QString text)
{
    qDebug().noquote() << objectName() + ":" << text;
}

void LogDevice::input()
{
    qDebug().noquote() << objectName() + ": signal";
}

RuntimeVariableDevice::RuntimeVariableDevice()
{
    addParam("name", "");
    addParam("mode", "SET", {"SET", "GET"}, true);
    describeParam("mode", Param::Choice, "SET stores the variable, GET reports it");
    connect(runtimeVariableHub(), &RuntimeVariableHub::stored, this, &RuntimeVariableDevice::onStored);
}

void RuntimeVariableDevice::set(double value)
{
    if (getParam("mode").raw() == QLatin1String("SET"))
        Q_EMIT runtimeVariableHub()->stored(getParam("name").raw(), value);
}

void RuntimeVariableDevice::onStored(QString name, double storedValue)
{
    if (isInitialised() && getParam("mode").raw() == QLatin1String("GET") && name == getParam("name").raw())
        Q_EMIT value(storedValue);
}

FaultyDevice::FaultyDevice()
{
    addParam("fail", "true", {"true", "false"}, true);
    describeParam("fail", Param::Boolean, "Whether initialisation fails");
}

void FaultyDevice::input(double)
{
}

bool FaultyDevice::onInitialise()
{
    if (getParam("fail").raw() != QLatin1String("true"))
        return true;
    setError(QStringLiteral("simulated failure"));
    return false;
}

DisabledDevice::DisabledDevice()
{
    setState(Disabled);
}

void DisabledDevice::input(double value)
{
    Q_EMIT output(value);
}

#include "SampleDevices.moc"
