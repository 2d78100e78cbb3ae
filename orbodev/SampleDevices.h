#pragma once

#include "BaseDevice.h"
#include "DoubleVec.h"
#include "orbodev_export.h"

#include <QByteArray>
#include <QString>

class DeviceManager;
class QTimer;

/**
 * The sample device types every DeviceManager of the stand-in knows, enough to build live
 * graphs: a generator, arithmetic and logic devices, text and byte conversions, vectors,
 * simulated IO and network devices (no hardware or network is touched), runtime variables,
 * a device that fails to initialise and one that is disabled.
 *
 * The type names that createDevice() takes, and the class each makes:
 *
 *     "generator"      GeneratorDevice        "serialPort"       SerialPortDevice
 *     "scaler"         ScalerDevice           "udpSocket"        UdpSocketDevice
 *     "adder"          AdderDevice            "vectorBuilder"    VectorBuilderDevice
 *     "counter"        CounterDevice          "vectorMean"       VectorMeanDevice
 *     "comparator"     ComparatorDevice       "logger"           LogDevice
 *     "logicAnd"       LogicAndDevice         "runtime_variable" RuntimeVariableDevice
 *     "toggle"         ToggleDevice           "faulty"           FaultyDevice
 *     "formatter"      FormatterDevice        "disabled"         DisabledDevice
 *     "encoder"        EncoderDevice
 *
 * A name is not always the class's without "Device": the log device is "logger", and
 * createDevice("log") fails (it returns an empty name). A device is named after its type
 * and a number: manager.createDevice("logger", true) gives "logger1".
 */
ORBODEV_EXPORT void registerSampleDeviceTypes(DeviceManager* manager);

/// Emits a sine wave, one value per "interval" ms while initialised.
class ORBODEV_EXPORT GeneratorDevice : public BaseDevice
{
    Q_OBJECT
public:
    GeneratorDevice();
public Q_SLOTS:
    void start();
    void stop();
    void setInterval(int milliseconds);
Q_SIGNALS:
    void valueChanged(double value);
    void tick();
protected:
    bool onInitialise() override;
    void onDeinitialise() override;
private:
    void step();
    QTimer* m_timer;
    int m_step = 0;
};

/// output = input × "factor" + "offset".
class ORBODEV_EXPORT ScalerDevice : public BaseDevice
{
    Q_OBJECT
public:
    ScalerDevice();
public Q_SLOTS:
    void input(double value);
Q_SIGNALS:
    void output(double value);
};

/// sum = a + b whenever either changes.
class ORBODEV_EXPORT AdderDevice : public BaseDevice
{
    Q_OBJECT
public:
    AdderDevice();
public Q_SLOTS:
    void setA(double value);
    void setB(double value);
Q_SIGNALS:
    void sum(double value);
private:
    double m_a = 0;
    double m_b = 0;
};

/// Counts increments by "step".
class ORBODEV_EXPORT CounterDevice : public BaseDevice
{
    Q_OBJECT
public:
    CounterDevice();
public Q_SLOTS:
    void increment();
    void reset();
    void setStep(int step);
Q_SIGNALS:
    void countChanged(int count);
private:
    int m_count = 0;
};

/// Reports whether the input lies above "threshold", and each crossing.
class ORBODEV_EXPORT ComparatorDevice : public BaseDevice
{
    Q_OBJECT
public:
    ComparatorDevice();
public Q_SLOTS:
    void input(double value);
Q_SIGNALS:
    void above(bool isAbove);
    void crossed();
private:
    int m_lastState = -1;
};

/// result = a AND b.
class ORBODEV_EXPORT LogicAndDevice : public BaseDevice
{
    Q_OBJECT
public:
    LogicAndDevice();
public Q_SLOTS:
    void setA(bool value);
    void setB(bool value);
Q_SIGNALS:
    void result(bool value);
private:
    bool m_a = false;
    bool m_b = false;
};

/// A flip-flop.
class ORBODEV_EXPORT ToggleDevice : public BaseDevice
{
    Q_OBJECT
public:
    ToggleDevice();
public Q_SLOTS:
    void toggle();
    void set(bool value);
Q_SIGNALS:
    void state(bool value);
private:
    bool m_state = false;
};

/// Formats numbers and flags as text after "prefix".
class ORBODEV_EXPORT FormatterDevice : public BaseDevice
{
    Q_OBJECT
public:
    FormatterDevice();
public Q_SLOTS:
    void input(double value);
    void input(int value);
    void input(bool value);
Q_SIGNALS:
    void text(QString text);
};

/// Encodes text as UTF-8 bytes and back.
class ORBODEV_EXPORT EncoderDevice : public BaseDevice
{
    Q_OBJECT
public:
    EncoderDevice();
public Q_SLOTS:
    void encode(QString text);
    void decode(QByteArray bytes);
Q_SIGNALS:
    void encoded(QByteArray bytes);
    void decoded(QString text);
};

/// A simulated serial port (category "IO") that echoes what it is given.
class ORBODEV_EXPORT SerialPortDevice : public BaseDevice
{
    Q_OBJECT
public:
    SerialPortDevice();
public Q_SLOTS:
    void write(QByteArray data);
Q_SIGNALS:
    void received(QByteArray data);
};

/// A simulated datagram socket (category "network"): sent data comes back, nothing leaves the process.
class ORBODEV_EXPORT UdpSocketDevice : public BaseDevice
{
    Q_OBJECT
public:
    UdpSocketDevice();
public Q_SLOTS:
    void send(QByteArray data);
Q_SIGNALS:
    void received(QByteArray data);
    void sent(int bytes);
};

/// Collects values into a vector of at most "size" entries.
class ORBODEV_EXPORT VectorBuilderDevice : public BaseDevice
{
    Q_OBJECT
public:
    VectorBuilderDevice();
public Q_SLOTS:
    void append(double value);
    void clear();
Q_SIGNALS:
    void vector(DoubleVec values);
private:
    DoubleVec m_values;
};

/// The mean of each vector.
class ORBODEV_EXPORT VectorMeanDevice : public BaseDevice
{
    Q_OBJECT
public:
    VectorMeanDevice();
public Q_SLOTS:
    void input(DoubleVec values);
Q_SIGNALS:
    void mean(double value);
};

/// Writes what it receives to the log.
class ORBODEV_EXPORT LogDevice : public BaseDevice
{
    Q_OBJECT
public:
    LogDevice();
public Q_SLOTS:
    void input(double value);
    void input(QString text);
    void input();
};

/**
 * One side of a runtime variable named by "name": with "mode" SET its set() stores the
 * value, with "mode" GET it emits value() whenever the variable is stored.
 */
class ORBODEV_EXPORT RuntimeVariableDevice : public BaseDevice
{
    Q_OBJECT
public:
    RuntimeVariableDevice();
public Q_SLOTS:
    void set(double value);
Q_SIGNALS:
    void value(double value);
private Q_SLOTS:
    void onStored(QString name, double value);
};

/// Fails to initialise while "fail" is "true".
class ORBODEV_EXPORT FaultyDevice : public BaseDevice
{
    Q_OBJECT
public:
    FaultyDevice();
public Q_SLOTS:
    void input(double value);
protected:
    bool onInitialise() override;
};

/// Always disabled.
class ORBODEV_EXPORT DisabledDevice : public BaseDevice
{
    Q_OBJECT
public:
    DisabledDevice();
public Q_SLOTS:
    void input(double value);
Q_SIGNALS:
    void output(double value);
};
