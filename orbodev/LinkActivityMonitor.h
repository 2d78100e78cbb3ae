#pragma once

#include <QObject>

class DeviceManager;

/**
 * Hears every signal that a link of the device manager carries and reports it to the
 * manager, which turns it into onEmit(). Lives on the manager's thread; emissions from
 * worker threads arrive queued. Internal to the framework.
 */
class LinkActivityMonitor : public QObject
{
    Q_OBJECT

public:
    explicit LinkActivityMonitor(DeviceManager* manager);

public Q_SLOTS:
    void signalEmitted();

private:
    DeviceManager* m_manager;
};
