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

void TestDeviceManager::notifyAbout(const QStringList& devices, const std::function<void()>& emission)
{
    for (const QString& device : devices) {
        if (m_silentDevices.contains(device))
            return;
    }
    notify(emission);
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

void TestDeviceManager::setOfferedPairs(const QStringList& identicalPairs, const QStringList& convertedPairs)
{
    m_offersOwnPairs = true;
    m_offeredIdentical = identicalPairs;
    m_offeredConverted = convertedPairs;
}

void TestDeviceManager::clearOfferedPairs()
{
    m_offersOwnPairs = false;
    m_offeredIdentical.clear();
    m_offeredConverted.clear();
}

void TestDeviceManager::adjustMatchingPairs(QStringList& identicalPairs, QStringList& convertedPairs)
{
    if (!m_offersOwnPairs)
        return;
    identicalPairs = m_offeredIdentical;
    convertedPairs = m_offeredConverted;
}

void TestDeviceManager::setTypeConversions(const QList<TypePair>& conversions)
{
    m_hasOwnConversions = true;
    m_conversions = conversions;
}

void TestDeviceManager::clearTypeConversions()
{
    m_hasOwnConversions = false;
    m_conversions.clear();
}

QList<TypePair> TestDeviceManager::getTypeConversions() const
{
    return m_hasOwnConversions ? m_conversions : DeviceManager::getTypeConversions();
}

void TestDeviceManager::recordCall(const QString& call)
{
    m_callLog.append(call);
}

void TestDeviceManager::configurationSaved(const QString& path)
{
    Q_UNUSED(path)
    ++m_savedConfigurations;
}
