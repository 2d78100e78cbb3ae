#pragma once

#include "VersionInfo.h"

#include <QList>
#include <QPointer>
#include <QWidget>

class DeviceManager;
class QTableWidget;

/// The demo's overview: every device of the manager with its type, state, thread and links,
/// and the host's "Help" menu.
class DeviceListWindow : public QWidget
{
    Q_OBJECT

public:
    explicit DeviceListWindow(DeviceManager* manager, QWidget* parent = nullptr);

    /// The host's own entry of the about dialog; the demo is versioned with the library.
    static QList<VersionInfo> hostVersions();

public Q_SLOTS:
    /// Runs the about dialog modally.
    void showAbout();

private Q_SLOTS:
    void refresh();

private:
    QPointer<DeviceManager> m_manager;
    QTableWidget* m_table;
};
