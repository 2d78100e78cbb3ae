#include "TestDeviceManager.h"

#include <QTimer>

TestDeviceManager::TestDeviceManager(QObject* parent)
    : DeviceManager(parent)
{
}

void TestDeviceManager::setNotificationMode(NotificationMode mode, int delayMs)
{
    m_notificationMode = mode;
    m_delayMs = qMax(0, delayMs);
}

void TestDeviceManager::notify(const std::function<void()>& emission)
{
    switch (m_notificationMode) {
    case Immediate:
        emission();
        break;
    case Deferred:
        QTimer::singleShot(m_delayMs, this, emission);
        break;
    case Never:
        break;
    }
}

bool TestDeviceManager::acceptCreation(const QString&)
{
    return !m_refuseCreation;
}

bool TestDeviceManager::acceptRename(const QString&, const QString&)
{
    return !m_refuseRenaming;
}

int TestDeviceManager::adjustMatchCode(int code)
{
    return m_forcedMatchCode >= 0 ? m_forcedMatchCode : code;
}

void TestDeviceManager::recordCall(const QString& call)
{
    m_callLog.append(call);
}
