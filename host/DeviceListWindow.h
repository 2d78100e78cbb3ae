#pragma once

#include "VersionInfo.h"

#include <QList>
#include <QWidget>

class DeviceListModel;
class DeviceManager;
class QTableView;

/// The demo's overview: every device of the manager with its type, state, thread and links,
/// and the host's "Help" menu. The list follows the manager's reports (DeviceListModel); its
/// columns are sized once filled and widen for rows that come or change later.
class DeviceListWindow : public QWidget
{
    Q_OBJECT

public:
    explicit DeviceListWindow(DeviceManager* manager, QWidget* parent = nullptr);

    /// The host's own entry of the about dialog; the demo is versioned with the library.
    static QList<VersionInfo> hostVersions();
    /// The rows the window shows.
    DeviceListModel* model() const;

public Q_SLOTS:
    /// Runs the about dialog modally.
    void showAbout();

private:
    /// Widens the columns that the rows first to last no longer fit in; never narrows them.
    void widenColumnsFor(int first, int last);

    DeviceListModel* m_model;
    QTableView* m_view;
};
