#include "LinkActivityMonitor.h"

#include "DeviceManager.h"

LinkActivityMonitor::LinkActivityMonitor(DeviceManager* manager)
    : QObject(manager)
    , m_manager(manager)
{
}

void LinkActivityMonitor::signalEmitted()
{
    m_manager->reportEmission(sender(), senderSignalIndex());
}
