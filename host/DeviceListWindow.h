#pragma once

#include <QPointer>
#include <QWidget>

class DeviceManager;
class QTableWidget;

/// The demo's overview: every device of the manager with its type, state, thread and links.
class DeviceListWindow : public QWidget
{
    Q_OBJECT

public:
    explicit DeviceListWindow(DeviceManager* manager, QWidget* parent = nullptr);

private Q_SLOTS:
    void refresh();

private:
    QPointer<DeviceManager> m_manager;
    QTableWidget* m_table;
};
