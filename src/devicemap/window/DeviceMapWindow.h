#pragma once

#include "DeviceMapWidget.h"
#include "dozerozozu_export.h"

#include <QList>
#include <QMainWindow>
#include <QPointer>
#include <QString>

class DeviceManager;
class DeviceNodeItem;
class LoneAltKey;
class MapSearchBar;
class QAction;
class QDockWidget;
class QLabel;
class QLineEdit;
class QMenu;
class QPushButton;
class QSpinBox;
class QToolBar;
class QToolButton;
class TemplatesWidget;
class UndoHistoryMenus;

/**
 * The top-level window in which a host shows and edits the device map of one DeviceManager:
 * the map view (DeviceMapWidget) with a tool bar, a menu bar (File, Edit, View, Help; Alt
 * pressed and released alone hides and shows it), undo and redo history drop-downs, the
 * colour-mode, connection activity and grid controls, a search bar floating over the map (Ctrl+F, F3, Shift+F3,
 * Escape) and a docked templates panel (TemplatesWidget). The window keeps no state of the
 * graph: every command goes to the map view, its undo stack, the manager, or the class-wide
 * settings of the map's items.
 *
 * The host creates the window with its manager, the map's layout file and the widget to open
 * over; the window shows itself and deletes itself when closed. saveFailed() tells the host,
 * once per failure, that the map's layout file or the device graph could not be saved, and
 * again when closing the window, the map's last try to write them, failed. When the manager emits
 * exit() the window deletes its map view (which saves its layout file) and keeps an empty
 * central area: from then on every command of the window does nothing until
 * resetDeviceMapWidget() gives it a new view, with which every binding is made again. A view,
 * or a window, that goes while a command of the view runs (a host's modal box on the manager's
 * reports) is hidden at once and deleted once the command has returned. The manager is not
 * owned. GUI thread only.
 *
 *     auto window = new DeviceMapWindow(manager, layoutPath, mainWindow);   // shown, self-deleting
 *     window->toTheFront();
 *
 * Drop-down menus of the tool bar run through ModalRunner (tests answer them). Controls carry
 * object names for tests: "undoButton", "redoButton", "colorModeButton",
 * "activityModeButton", "gridCellSizeSpinBox", "showGridAction", "activateGridAction",
 * "templatesButton", "templatesDock", "searchButton", "showLegendAction".
 */
class DOZEROZOZU_EXPORT DeviceMapWindow : public QMainWindow
{
    Q_OBJECT

public:
    /// parent only serves to place the window over it (null: over the primary screen); the
    /// window has no Qt parent.
    DeviceMapWindow(DeviceManager* manager, QString layoutFile, QWidget* parent);
    ~DeviceMapWindow() override;

    /// Shows the window (normally when hidden), un-minimises, raises and activates it.
    void toTheFront();
    /// Replaces the map view by a new one over manager and layoutFile.
    void resetDeviceMapWidget(DeviceManager* manager, QString layoutFile);

    /// The map view; null after the manager's exit() until resetDeviceMapWidget().
    DeviceMapWidget* getDeviceMapWidget() const;
    TemplatesWidget* getTemplatesWidget() const;
    /// The search bar of the current map view; null while there is none.
    MapSearchBar* getSearchBar() const;

    /// Centres the window over widget (null: the primary screen) and keeps it on the screen.
    void applyStartPosition(QWidget* widget);
    void createAndSetMenuBar();
    /// Selects item and centres the map on it.
    void highlightFoundDevice(DeviceNodeItem* item);
    /// Runs the map's search again with the search bar's text.
    void updateSearch();
    /**
     * Sets the undo stack's index and repaints the map: how a host steps the map's history
     * (setUndoIndex(getDeviceMapWidget()->getUndoStack()->index() - 1) undoes one step).
     * Refused, with a line in the log, while another command of the map runs.
     */
    void setUndoIndex(int index);

Q_SIGNALS:
    /// The map view's saveFailed(), forwarded for whichever view the window shows.
    void saveFailed(const QString& file);

protected:
    /// Closed during a command of the map view, the window hides and goes once it has returned.
    bool event(QEvent* event) override;
    /// The map view writes what a failed save left behind; a failure that stands is sent by saveFailed().
    void closeEvent(QCloseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void keyReleaseEvent(QKeyEvent* event) override;

private Q_SLOTS:
    void startSearch();
    void closeSearch();
    void nextFoundDevice();
    void prevFoundDevice();
    void setUndoState(bool canUndo);
    void setRedoState(bool canRedo);
    void undo();
    void redo();
    void setColorModeFromWidget(DeviceMapWidget::ColorisationMode m);
    void setColorModeFromWindow();
    void setConnectionActivityMode();
    void toggleActivateGridMode();
    void toggleShowGrid();
    void gridCellSizeChanged();
    void deleteDeviceMapWidget();
    void importMetaDevice();
    void exportMetaDevice();
    void switchTemplatesList();

private:
    void buildToolBar();
    void buildMenus();
    void buildTemplatesDock();
    /// Connects the window to the map view, its undo stack and its manager, and gives the
    /// view its search bar and the templates panel its map.
    void bindMapWidget(DeviceManager* manager);
    /// Forgets the map view before it goes: its stack and signals, its search bar.
    void unbindMapWidget();
    void rearrange(DeviceMapWidget::LayoutType type);
    /// "Hierarchical" or "Orthogonal", for the tool bar or the "Rearrange" menu.
    QAction* rearrangeAction(DeviceMapWidget::LayoutType type);
    void openSearch();
    /// Moves to the next (step 1) or previous (step -1) search hit.
    void stepFoundDevice(int step);
    void showFoundDevice(int position, int count);
    /// A search is in force: the bar holds text (F3 and Return without text change nothing).
    bool hasSearchText() const;
    void toggleLegendFromMenu();

    QPointer<DeviceNodeItem> currentFoundDevice;
    QToolBar* toolBar = nullptr;
    QPointer<DeviceMapWidget> mapWidget;
    QPointer<QLabel> foundCounterLabel;
    QPointer<QLineEdit> searchLineEdit;
    QPointer<MapSearchBar> searchWidget;
    QMenu* undoMoreMenu = nullptr;
    QMenu* redoMoreMenu = nullptr;
    QMenu* undoMenu = nullptr;
    QMenu* redoMenu = nullptr;
    QMenu* clustersMenu = nullptr;
    QMenu* colorModeMenu = nullptr;
    QMenu* activityModeMenu = nullptr;
    QMenu* gridMenu = nullptr;
    QToolButton* undoButton = nullptr;
    QToolButton* redoButton = nullptr;
    QAction* showGridAction = nullptr;
    QPushButton* colorModeButton = nullptr;
    QPushButton* activityModeButton = nullptr;
    QSpinBox* gridCellSizeSpinBox = nullptr;
    QDockWidget* templatesDock = nullptr;

    TemplatesWidget* templatesWidget = nullptr;
    QPushButton* templatesButton = nullptr;
    QAction* activateGridAction = nullptr;
    QAction* showLegendAction = nullptr;
    /// "Undo" and "Redo" with their keys, in the "Edit" menu and on the window.
    QAction* undoAction = nullptr;
    QAction* redoAction = nullptr;
    /// Whether a release of Alt ends a press of Alt alone.
    LoneAltKey* loneAlt = nullptr;
    UndoHistoryMenus* history = nullptr;
    /// Actions connected by name to a slot of the map view, made again for each new view.
    QList<QPair<QAction*, const char*>> mapSlotActions;
    /// The manager whose exit() drops the map view.
    QPointer<DeviceManager> exitingManager;
};
