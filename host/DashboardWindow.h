#pragma once

#include <QMainWindow>
#include <QPointer>

#include <memory>

class DeviceManager;
class DeviceWidgetArea;
class QAction;
class WidgetManager;

/**
 * The demo's dashboard: the widgets of the GUI devices of area "main" on their grid, an
 * "Edit" toggle that shows the grid's editing controls, and "Save", which writes the widget
 * layout file and the device graph (where the widgets' places are kept).
 *
 * The user's edits are kept without "Save": the widget manager saves each one, and closing
 * the window or quitting leaves edit mode, which saves once more what was edited in it.
 *
 * Owns its WidgetManager and the grid; the host owns the window and the device manager,
 * which must outlive it.
 */
class DashboardWindow : public QMainWindow
{
    Q_OBJECT

public:
    DashboardWindow(DeviceManager* manager, const QString& layoutFile, QWidget* parent = nullptr);
    ~DashboardWindow() override;

public Q_SLOTS:
    /// Checks or unchecks "Edit", which switches the grid's editing controls.
    void setEditingEnabled(bool enabled);
    /// Saves widgets and graph; tells the user and returns false when either failed.
    bool save();

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void warnNotSaved(const QString& file);

    QPointer<DeviceManager> m_manager;
    std::unique_ptr<WidgetManager> m_widgetManager;
    QPointer<DeviceWidgetArea> m_area;
    QAction* m_editAction;
};
