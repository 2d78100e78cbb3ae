#pragma once

#include "BaseDevice.h"
#include "DoubleVec.h"
#include "orbodev_export.h"

#include <QByteArray>
#include <QString>

/**
 * A device for tests of what calls and watches devices: it records what each of its slots
 * receives and emits any of its signals on demand, one signal and one slot per argument type
 * the widget library's panels handle, plus a pair of each that they cannot.
 *
 * Not among the sample types: a test registers it under a name of its choice, declaring the
 * parameters it needs in the factory. Parameter "error" makes initialisation report that
 * error and succeed; parameter "fail" (any text) makes it fail with that text as the error.
 *
 *     manager.registerDeviceType("probe", DeviceTypeInfo(), [] { return new ProbeDevice; });
 */
class ORBODEV_EXPORT ProbeDevice : public BaseDevice
{
    Q_OBJECT

public:
    ProbeDevice();

    double lastValue = 0;
    int lastCount = 0;
    bool lastFlag = false;
    QString lastText;
    QByteArray lastBytes;
    DoubleVec lastVector;
    int triggers = 0;
    /// Calls of any slot.
    int received = 0;

    void emitValue(double value) { Q_EMIT valueChanged(value); }
    void emitCount(int count) { Q_EMIT countChanged(count); }
    void emitFlag(bool flag) { Q_EMIT flagChanged(flag); }
    void emitText(const QString& text) { Q_EMIT textChanged(text); }
    void emitBytes(const QByteArray& bytes) { Q_EMIT bytesChanged(bytes); }
    void emitVector(const DoubleVec& vector) { Q_EMIT vectorChanged(vector); }
    void emitPulse() { Q_EMIT pulse(); }

public Q_SLOTS:
    void setValue(double value) { keep(lastValue, value); }
    void setCount(int count) { keep(lastCount, count); }
    void setFlag(bool flag) { keep(lastFlag, flag); }
    void trigger();
    void setText(QString text) { keep(lastText, text); }
    void setBytes(QByteArray bytes) { keep(lastBytes, bytes); }
    void setVector(DoubleVec vector) { keep(lastVector, vector); }
    void setPair(int count, double value);

Q_SIGNALS:
    void valueChanged(double value);
    void countChanged(int count);
    void flagChanged(bool flag);
    void textChanged(QString text);
    void bytesChanged(QByteArray bytes);
    void vectorChanged(DoubleVec vector);
    void pulse();
    void pairChanged(int count, double value);

protected:
    bool onInitialise() override;

private:
    /// What each slot does with its value: keeps it and counts the call.
    template <typename T>
    void keep(T& last, const T& value)
    {
        last = value;
        ++received;
    }
};
