#pragma once

// Whole, not declared: the host embeds the grid getWidgetsArea() hands out as a QWidget.
#include "DeviceWidgetArea.h"
#include "dozerozozu_export.h"

#include <QMap>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QStringList>

class BaseGuiDevice;
class BaseWidget;
class DeviceManager;

/**
 * Keeps the widgets of the GUI devices of one named dashboard area.
 *
 * The host makes one per area, hands it its DeviceManager, asks it for the
 * grid right after loading, and tells it when to initialise the widgets:
 *
 *     WidgetManager::registerGuiDevices(*manager);
 *     auto widgetManager = new WidgetManager("main", layoutPath);
 *     widgetManager->loadOwnWidgets(manager);
 *     window->setCentralWidget(widgetManager->getWidgetsArea()); // the host owns the grid
 *     widgetManager->initialiseWidgets();
 *     ...
 *     widgetManager->saveDashboard(); // where the host saves on its own, such as at quit
 *
 * It makes a widget for every GUI device whose "widget/area" names its area,
 * follows the device manager's signals to add and drop widgets, and turns the
 * grid's requests into device-manager calls. It never changes the device graph
 * on its own. It owns the widgets it registers (they outlive a deleted grid) and
 * has no parent; the host deletes it. GUI thread only.
 *
 * What is kept where: a widget's place and area are its device's "widget/..."
 * parameters, which the device manager writes with the device configuration
 * (DeviceManager::saveYamlConfig()); the widgets' own parameters go to the
 * layout file (saveWidgets()), which nothing here reads back. The user's edits on
 * the grid are kept as they happen: after each one, and again when edit mode is
 * left, the manager saves both (saveDashboard()), unless it or the device manager
 * is read-only. A save that fails then is logged and announced by saveFailed(), once
 * per failure: edits that keep failing in a row bring no further announcement until
 * one of those saves has succeeded again. The announcement comes from the event loop
 * once the edit's own handler has returned, as the device map's does, so a host may
 * answer it with a modal box; a manager deleted before then sends none.
 */
class DOZEROZOZU_EXPORT WidgetManager : public QObject
{
    Q_OBJECT

public:
    /**
     * Registers the meta type WidgetPosition. Reads nothing of manager nor of any
     * WidgetManager, so it may run before the first WidgetManager is made, but it takes a
     * DeviceManager, which must exist: the host's, or any other.
     */
    static void registerGuiDevices(DeviceManager& manager);

    WidgetManager(const QString& areaName, const QString& layoutFile);
    ~WidgetManager() override;

    /// Makes a widget for every GUI device of this area and follows the manager's device signals.
    void loadOwnWidgets(DeviceManager* manager);
    /// The grid of this area, made on first call and whenever the host deleted the previous one.
    DeviceWidgetArea* getWidgetsArea();
    /**
     * Writes every widget's own parameters to the layout file, one group per
     * widget; nothing in read-only mode. False when a widget could not be
     * written (the serialiser logs why); the others are written all the same.
     */
    bool saveWidgets();
    /**
     * Keeps the dashboard: saves the device manager's configuration, which holds every
     * widget's place, then the widgets' own parameters (saveWidgets()). Writes nothing,
     * and returns true, while this manager or the device manager is read-only. False when
     * something could not be written; unsavedFile, when given, then receives the path of the
     * first file that was not (the device manager's configuration file, else the layout
     * file), and is emptied otherwise.
     */
    bool saveDashboard(QString* unsavedFile = nullptr);

    /// Number of registered widgets.
    int widgetsCount() const;
    void setReadonly(bool readonly);
    bool getReadonly() const;
    QString getLayoutFile() const;
    QString getAreaName() const;
    /// The widget registered under name, or null.
    BaseWidget* findWidget(const QString& name) const;
    /// Whether a registered widget covers the cell (row, column), spanning over it or not.
    bool isCellTaken(int row, int column) const;
    /// The device types whose kind is "widget", in the device manager's order.
    QStringList getWidgetTypes() const;

    /// Registers widget under name and names it so.
    void addWidget(const QString& name, BaseWidget* widget);
    /// Makes, initialises when its device is, and registers the widget of device.
    BaseWidget* createDeviceWidget(BaseGuiDevice* device);

Q_SIGNALS:
    /// Reaches every registered widget's deviceInitialised(bool).
    void initialiseAll(bool initialise);
    /// Saving the user's edit of the grid failed, where the save before it had not; file is
    /// the first file that could not be written (as saveDashboard() names it), the log says why.
    /// Emitted from the event loop after the edit's handler has returned (queued), never inside
    /// the edit, so a slot may run a modal box or another event loop.
    void saveFailed(const QString& file);

public Q_SLOTS:
    /// A device became initialised: give it a widget on the grid when it belongs here and has none.
    void deviceInitialised(QString name, bool initialised);
    /// A device is gone: drop its widget.
    void deviceRemoved(QString name);
    void initialiseWidgets();
    /// Asks the device manager for a new device of type placed at (row, column) of this area.
    /// Refused, with a warning on the log and no new device left, when the type makes no widget
    /// (its kind is not "widget", or its device is no BaseGuiDevice), when the row or the
    /// column is negative, and when a widget covers that cell.
    void newWidgetRequested(QString type, int row, int column);
    void removeWidgetRequested(QString deviceName);
    /// Opens the device's settings dialog (DeviceConfigWidget) without blocking; it deletes itself when finished.
    void widgetSettingsRequested(QString deviceName);

private Q_SLOTS:
    /// The user changed the dashboard: keep it.
    void dashboardEdited();
    /// Leaving edit mode saves once more what was edited in it.
    void editingSwitched(bool enabled);

private:
    /// Saves the dashboard after an edit, announcing a failure that begins a row of them.
    void saveEdit();

    QMap<QString, QPointer<BaseWidget>> widgets;
    QString layoutFile;
    QString areaName;
    bool readonly = false;
    QPointer<DeviceWidgetArea> widgetsArea;
    QPointer<DeviceManager> deviceManager;
    /// Whether the dashboard was edited since edit mode was last switched.
    bool editedSinceSwitch = false;
    /// Whether the last save of an edit failed: a row of failures is announced once.
    bool editSaveFailing = false;
};
