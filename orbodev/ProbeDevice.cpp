#include "ProbeDevice.h"

ProbeDevice::ProbeDevice() = default;

void ProbeDevice::trigger()
{
    ++triggers;
    ++received;
}

void ProbeDevice::setPair(int count, double value)
{
    lastCount = count;
    keep(lastValue, value);
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
