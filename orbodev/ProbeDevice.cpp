#include "ProbeDevice.h"

ProbeDevice::ProbeDevice() = default;

void ProbeDevice::setValue(double value)
{
    lastValue = value;
    ++received;
}

void ProbeDevice::setCount(int count)
{
    lastCount = count;
    ++received;
}

void ProbeDevice::setFlag(bool flag)
{
    lastFlag = flag;
    ++received;
}

void ProbeDevice::trigger()
{
    ++triggers;
    ++received;
}

void ProbeDevice::setText(QString text)
{
    lastText = text;
    ++received;
}

void ProbeDevice::setBytes(QByteArray bytes)
{
    lastBytes = bytes;
    ++received;
}

void ProbeDevice::setVector(DoubleVec vector)
{
    lastVector = vector;
    ++received;
}

void ProbeDevice::setPair(int count, double value)
{
    lastCount = count;
    lastValue = value;
    ++received;
}

bool ProbeDevice::onInitialise()
{
    if (hasParam(QStringLiteral("fail"))) {
        setError(getParam(QStringLiteral("fail")).raw());
        return false;
    }
    if (hasParam(QStringLiteral("error")))
        setError(getParam(QStringLiteral("error")).raw());
    return true;
}
