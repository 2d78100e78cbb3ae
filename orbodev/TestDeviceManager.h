#pragma once

#include "DeviceManager.h"
#include "orbodev_export.h"

#include <QStringList>

/**
 * A DeviceManager with controls for the library's tests: when its signals arrive, which
 * creations and renames it refuses, which findMatchingMethods() pairs and code and which
 * type conversions it reports, and a log of the commands it received. Without any control
 * set it behaves as DeviceManager.
 *
 *     TestDeviceManager manager;
 *     manager.setNotificationMode(TestDeviceManager::Deferred, 200);
 *     manager.createDevice("generator", true);   // deviceRegistered() arrives 200 ms later
 */
class ORBODEV_EXPORT TestDeviceManager : public DeviceManager
{
    Q_OBJECT

public:
    enum NotificationMode {
        /// Signals are emitted inside the call, as in production.
        Immediate,
        /// Signals are emitted from the event loop, the given number of ms later, in order.
        Deferred,
        /// Signals are dropped: callers see a manager that never answers.
        Never,
    };

    explicit TestDeviceManager(QObject* parent = nullptr);

    NotificationMode notificationMode() const { return m_notificationMode; }
    /// Commands received, e.g. "createDevice(generator,true)", oldest first.
    QStringList callLog() const { return m_callLog; }

    void setNotificationMode(NotificationMode mode, int delayMs = 0);
    /// Refuses every createDevice() while on (it returns "").
    void setRefuseCreation(bool refuse) { m_refuseCreation = refuse; }
    /// Refuses every renameDevice() while on (it returns false).
    void setRefuseRenaming(bool refuse) { m_refuseRenaming = refuse; }
    /**
     * Drops every signal about these devices (names compared exactly), whatever the mode:
     * callers see a manager that never answers for them, and answers for the others.
     */
    void setSilentDevices(const QStringList& names) { m_silentDevices = names; }
    /// findMatchingMethods() reports code (the lists are still filled); -1 ends the forcing.
    void setForcedMatchCode(int code) { m_forcedMatchCode = code; }
    /**
     * findMatchingMethods() offers exactly these pair texts, whatever the two devices (and
     * picks its code from them), until clearOfferedPairs(). The texts are passed on as they
     * are, so malformed or repeated ones reach the caller too.
     */
    void setOfferedPairs(const QStringList& identicalPairs, const QStringList& convertedPairs);
    void clearOfferedPairs();
    /// getTypeConversions() answers conversions until clearTypeConversions().
    void setTypeConversions(const QList<TypePair>& conversions);
    void clearTypeConversions();
    QList<TypePair> getTypeConversions() const override;
    void clearCallLog() { m_callLog.clear(); }
    /// How often saveYamlConfig() wrote the configuration (read-only or without a path it writes nothing).
    int savedConfigurations() const { return m_savedConfigurations; }

protected:
    void notify(const std::function<void()>& emission) override;
    void notifyAbout(const QStringList& devices, const std::function<void()>& emission) override;
    bool acceptCreation(const QString& type) override;
    bool acceptRename(const QString& oldName, const QString& newName) override;
    int adjustMatchCode(int code) override;
    void adjustMatchingPairs(QStringList& identicalPairs, QStringList& convertedPairs) override;
    void recordCall(const QString& call) override;
    void configurationSaved(const QString& path) override;

private:
    NotificationMode m_notificationMode = Immediate;
    int m_delayMs = 0;
    bool m_refuseCreation = false;
    bool m_refuseRenaming = false;
    QStringList m_silentDevices;
    int m_forcedMatchCode = -1;
    bool m_offersOwnPairs = false;
    QStringList m_offeredIdentical;
    QStringList m_offeredConverted;
    bool m_hasOwnConversions = false;
    QList<TypePair> m_conversions;
    QStringList m_callLog;
    int m_savedConfigurations = 0;
};
