#pragma once

#include "BaseDevice.h"
#include "DeviceInfo.h"
#include "DevicesArrangement.h"
#include "Grid.h"
#include "dozerozozu_export.h"

#include <QFont>
#include <QGraphicsView>
#include <QList>
#include <QMap>
#include <QMenu>
#include <QPointer>
#include <QUndoStack>

#include <memory>

class ClusterRectItem;
class ConnectionDrawing;
class DeviceConnectionItem;
class DeviceManager;
class DeviceNodeItem;
class HoverableItem;
class MapAutoLayout;
class MapClicks;
class MapClipboard;
class MapClusters;
class MapColoriser;
class MapCommands;
class MapInteraction;
class MapItemIndex;
class MapKeys;
class MapLegend;
class MapLinks;
class MapManagerSync;
class MapMenus;
class MapSaveNotices;
class MapSaves;
class MapSearch;
class RunningCommands;
class UnplacedZone;

/**
 * The editable map of one DeviceManager's device graph.
 *
 * A graphics view whose scene holds one DeviceNodeItem per device, one DeviceConnectionItem
 * per connected (source, target) pair, one ClusterRectItem per named cluster and the
 * background Grid. The map follows the manager only through its signals and changes the
 * graph only through the Operation subclasses it pushes on its own undo stack; every change
 * of the stack's index rewrites the map's INI layout file, and so do closing and destroying.
 *
 * Owned by its parent widget (normally the device-map window); the manager stays the
 * host's. GUI thread only.
 *
 *     auto map = new DeviceMapWidget(manager, QStringLiteral("/var/lib/app/map.ini"), window);
 *
 * This class is the face that callers and operations use; the work lives in collaborators,
 * one concern each, under src/devicemap/. Add new code to the collaborator that owns the
 * concern and forward from here in a line or two:
 *
 * - scene/MapItemIndex: the tables of device, link and cluster items. Every item leaves the
 *   map through it (removeDevice, removeLink, removeCluster), and it announces each one in
 *   itemAboutToBeRemoved() first, so every holder of a pointer forgets it in one place:
 *   connect to that signal rather than adding clean-up code to the removal paths (a new
 *   collaborator connects in its constructor: the index is built before every other one).
 * - scene/MapLinks: link items made, found and split by device names; a link's signal and
 *   slot pairs; the unplaced devices reachable from one.
 * - scene/MapManagerSync: building the scene from the manager and the layout file, the
 *   reactions to the manager's signals (the private slots below forward to it) and writing
 *   the layout file back (saveLayout()).
 * - file/MapLayoutFile: the layout file as a plain value; read, clamped and written safely.
 * - file/MapSaves: the layout file and the graph kept in step: a file whose save failed is
 *   written again at the next save of either kind and when the map closes or goes.
 * - file/MapSaveNotices: the outcomes of the layout file's and the graph's saves, announced
 *   to the host by saveFailed() once per failure episode, and at once when the last try fails.
 * - file/DeviceFile: reading a device file (YAML) with size and content checks.
 * - arrangement/ArrangementCapture: snapshots of what the map shows (no widget);
 *   arrangement/MapAutoLayout: the automatic layout of the map's devices on layout/ (the
 *   widget-free Graphviz adapter), within a deadline, and the rearrange command.
 * - clusters/MapClusters, clusters/ClusterRules: the user's cluster commands, the cluster
 *   items, and the plain rules behind them (acceptable names, template cluster names, rectangles).
 * - view/MapColoriser, view/MapLegend, view/MapSearch: outline colours by mode, the
 *   legends drawn over the viewport, the search and its results; view/UnplacedZone: the
 *   unplaced-devices zone with its cards, the pulled device or group (unplacedZoneRect()
 *   is where its cards were last drawn), the zone a dragged device file would take, and
 *   this map's share of the unplaced list that every map of the process shares.
 * - menus/MapMenus: the five context menus and the "New device" types menu; MapMenus::run()
 *   is how every menu of the map is shown.
 * - commands/MapCommands: delete, initialise and deinitialise of the selection or of the
 *   item under the cursor; the menus' and keys' actions land here.
 * - commands/RunningCommands: the commands running on the map, one at a time (a second one
 *   is refused); the deletion of the map, of its window and of its undo stack waits until the
 *   outermost has returned.
 * - interaction/MapInteraction: press, move, release, long press, pinch, hover and cursor;
 *   the mouse handlers below forward to it, and it hands a click to mouseClickEvent().
 * - interaction/MapClicks: what a click does by item and button (mouseClickEvent()): the
 *   settings dialog, the connection dialog, bending points and the context menus' entries.
 * - interaction/MapKeys: the key table, the wheel (unplaced devices, zoom, scroll) and the
 *   zoom, kept within sane limits; commands/RuntimeVariables: the "r" key's runtime variable.
 * - interaction/MapMoves: what a drag moved, pushed as MoveItemsOperations when it ends, and
 *   devices pulled out of the unplaced zone.
 * - interaction/ConnectionDrawing: the rubber line drawn from a source device, its finish by
 *   the manager's findMatchingMethods() or the connection dialog, and the dialog of a link.
 * - clipboard/MapClipboard: copy, paste, template and meta-device export, and files dragged
 *   onto the map or previewed (their arrangement included); clipboard/DeviceText: device text
 *   written and parsed with the user's answers to its failures; clipboard/TemplateFiles: the
 *   templates directory and its files.
 * - items/: the scene items, Grid, LegendPainter and the connection geometry; MapLevelOfDetail
 *   says at which scale the items are drawn simplified.
 * - operations/: the undoable edits.
 */
class DOZEROZOZU_EXPORT DeviceMapWidget : public QGraphicsView
{
    Q_OBJECT

public:
    enum LayoutType : qint32 {
        Orthogonal = 0,
        Hierarchical = 1,
        ClusterByGuiArea = 2,
        ClusterByIO = 3,
        FixedClusters = 4,
    };
    Q_ENUM(LayoutType)

    enum ColorisationMode : qint32 {
        ByState = 0,
        ByConnectivity = 1,
        ByThread = 2,
        BySearch = 3,
        ByNetwork = 4,
        ByArea = 5,
    };
    Q_ENUM(ColorisationMode)

    /// Builds the scene at once when the manager is initialised, otherwise on its initialised().
    DeviceMapWidget(DeviceManager* manager, const QString& layoutFile, QWidget* parent = nullptr);
    /// Saves the layout file and forgets this map's devices in the class-wide unplaced list.
    ~DeviceMapWidget() override;

    DeviceManager* getDeviceManager() const;
    /// For reading and following; pushes go through pushOperation(), steps through the window.
    QUndoStack* getUndoStack();
    LayoutType getCurrentLayoutType() const;
    /// Recorded by the automatic layout and the layout file; saved with the layout.
    void setCurrentLayoutType(LayoutType type);
    /// A copy: device name to its item, placed or not.
    QMap<QString, DeviceNodeItem*> getDeviceItems() const;
    /// The map's own cluster table; whoever takes an entry out deletes its item.
    QMap<QString, ClusterRectItem*>& getClusterItems();
    /// Items of the last search, top to bottom, then left to right; removed devices are left out.
    QList<DeviceNodeItem*> getFoundDevices() const;
    Grid& getGrid();
    HoverableItem* getHoveredItem() const;
    void setHoveredItem(HoverableItem* item);
    DeviceNodeItem* getCurrentTemporaryDevice() const;
    void setCurrentTemporaryDevice(DeviceNodeItem* item);
    void toggleShowGrid();
    void toogleBindItemsToGrid();
    /// true shows the hot-key legend, false hides any legend.
    void toggleLegend(bool on);
    bool legendIsActive() const;
    /// Whether an operation of this map is waiting for the manager; commands are refused then.
    bool isWaitingForManager() const;
    QString getLayoutFile() const;
    /// The view's font at 0.7 of its point size: type lines and minimum widths.
    QFont getSmallFont() const;

    /// The first link item from the device named from to the device named to, or null.
    DeviceConnectionItem* getConnection(const QString& from, const QString& to) const;
    /// Adds a link item between two devices that both have items; no check for an existing one.
    void createConnection(const QString& from, const QString& to, const QList<QPointF>& bends);
    /// Draws two opposite links of a pair without bending points as two parallel lines.
    void splitConnections(const QString& a, const QString& b);
    QStringList getConnectionSignals(const QString& target, const QString& source) const;
    QStringList getConnectionSlots(const QString& target, const QString& source) const;
    /// Marks name and every unplaced device reachable from it through unplaced devices.
    void getConnectedDevices(const QString& name, QMap<QString, bool>& marks) const;
    /// Grows the scene rectangle (never shrinks it) to hold rect with a margin of 16.
    Q_INVOKABLE void unitedSceneWithRect(const QRectF& rect);
    /// Grows the scene rectangle to cover the visible viewport area.
    void resizeSceneRectToViewRect();
    /// Sets the view's and the scene's rectangle.
    void setSceneRects(const QRectF& rect);

    /// Makes (or replaces) the cluster item of that name on the given scene rectangle.
    void createCluster(const QString& name, const QRectF& rect);
    /// Removes the named cluster item; false when there is none.
    bool removeCluster(const QString& name);
    /// Asks for a name and pushes a CreateClusterOperation around the device items given.
    void createClusterByItems(const QList<QGraphicsItem*>& items);
    /// Wraps devices just pasted from a template in a cluster named "<templateName>-N".
    void createClusterForTemplate(const QString& templateName, const QList<QGraphicsItem*>& items);

    /// Pushes the moves of the drag that ends (see MapMoves).
    void moveItems();
    QMap<QString, QPointF> moveDevices();
    QMap<QString, QPointF> moveClusters();
    /// Finishes the connection being drawn on the items at the drop point, topmost first.
    void drawConnection(const QList<QGraphicsItem*>& items);
    /// Ends a connection drawing that has its rubber line, without a link.
    void interruptConnectionDrawing();
    /// Opens the connection dialog for an existing link.
    void connectionClicked(DeviceConnectionItem* connection);
    /// The topmost item at a viewport point (a 2 x 2 pixel square), or null.
    QGraphicsItem* findItemAt(const QPoint& viewportPoint) const;
    /// Opens the settings dialog of the named device without blocking.
    void nodeClicked(const QString& name);
    /// Scales the view by factor (kept within sane limits) keeping the scene point under v in place.
    void applyScale(double factor, const QPoint& v);

    /// Where the given device items sit, with their links among them and their descriptions.
    DevicesArrangement getDevicesArrangement(const QList<QGraphicsItem*>& items) const;
    /// The arrangement of every placed device, in name order.
    DevicesArrangement getAllDevicesArrangement() const;
    /**
     * The devices of a device file (a path holding ".yml" or ".yaml"), laid out with the
     * current layout type. Other paths give an empty arrangement without touching the file
     * system; so do files over 16 MiB and binary files, with a warning in the log.
     *
     * A file that is read but does not parse shows the user the modal "Corrupted
     * configuration" box (a ZenticMessageBox, which tests answer through its AnswerGuard),
     * logs "Devices configuration corrupted! " with the parser's message, and gives an empty
     * arrangement; a file of a newer configuration version first asks whether to go on
     * (Ok / Cancel, Cancel giving an empty arrangement). The call therefore blocks until the
     * user answers.
     */
    DevicesArrangement getDeviceArrangement(const QString& path);
    /// Devices parsed from device text; the user is told of a corrupted or newer text.
    QList<DeviceInfo> getDeviceInfos(const QString& text);
    /**
     * Lays the described devices out automatically and records type as the current layout
     * type (Orthogonal for the clustered types); the map itself is not changed. Events other
     * than user input are processed while the layout runs (at most about 9 s; past that, or
     * when it fails, the devices come on a plain grid and the user is told once the call has
     * returned): callers that go on using the map re-check it (QPointer) afterwards. The map
     * deleted meanwhile ends the wait at once, with an empty arrangement. Not to be called from
     * a slot that Qt's widgets call in the middle of their own event handling (a view's
     * currentChanged, a drag's enter, a menu's triggered): post the call to the event loop.
     */
    DevicesArrangement rearrangeDevicesFromInfos(const QList<DeviceInfo>& infos, LayoutType type);
    /// rearrangeDevicesFromInfos() of the manager's descriptions of names, in that order.
    DevicesArrangement rearrangeDevices(const QList<QString>& names, LayoutType type);
    /**
     * The user's "rearrange the whole map": asks first when ask is true, lays every device of
     * the manager out and pushes one undoable RearrangeGraphOperation. Refused, with a line in
     * the log and no question, while another command of the map runs. Runs event loops: the
     * map may be gone when it returns.
     */
    void rearrangeGraph(LayoutType type, bool ask);

    /// The device text of the device items among items: the version header, then each device.
    QString getConfig(const QList<QGraphicsItem*>& items) const;
    /// Pushes the paste of the arrangement's devices around a viewport point; null: the cursor.
    void pasteDevices(const DevicesArrangement& arrangement, const QPoint& point = QPoint());
    /// Asks for a name and saves the device items among items as a template file.
    void exportTemplate(const QList<QGraphicsItem*>& items);
    /// Opens the meta-device export wizard over the device items among items.
    void exportMetaDevice(const QList<QGraphicsItem*>& items);
    /// The devices of the file dragged over the map, laid out for the preview; empty when none.
    const DevicesArrangement& getDragArrangement() const;

    void setColorisationMode(DeviceMapWidget::ColorisationMode mode);
    ColorisationMode getColorisationMode() const;
    /// Recomputes the outline colour of one device for the mode in force.
    void coloriseDeviceItem(const QString& name);
    /// Cycles the legend: hot keys, colours, none.
    void switchLegend();
    /// The colour legend's pictures, one per entry of the colour table.
    QMap<QString, QPixmap> transformColorsMap() const;
    void showLegendFromMap(QPainter& painter, QFontMetricsF metrics, QMap<QString, QPixmap> legend);
    /// Empty text ends the search; otherwise finds devices by any word of the text.
    void searchDevices(const QString& text);

    /**
     * Pushes an operation, unless another command of the map runs (a host's loop on the
     * manager's reports, say, inside an undo) or an operation waits for the manager: then the
     * operation is deleted, the log says so and the result is false. Step the stack through
     * this and DeviceMapWindow::setUndoIndex(), not through getUndoStack() from inside a command.
     * The operation may run event loops (its waits, a host's box on the manager's reports): a
     * deferred delete of the map or of its window taken in meanwhile is carried out once the
     * push has returned, but a map deleted outright is gone: a caller that goes on using the map
     * afterwards re-checks it (QPointer) first.
     */
    bool pushOperation(QUndoCommand* operation);

protected:
    bool event(QEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dragLeaveEvent(QDragLeaveEvent* event) override;
    void dropEvent(QDropEvent* event) override;
    void scrollContentsBy(int dx, int dy) override;
    virtual void mouseClickEvent(QMouseEvent* event);
    /// The unplaced-devices zone with its caption and cards; sets the zone's rectangle.
    void drawZoneTemporaryLocationDevices(QPainter* painter);
    /// Fills the rectangle the arrangement's devices would take with their centre at the cursor.
    void drawAssumedDevicesZone(QPainter* painter, DevicesArrangement arrangement);

    void initialiseScene();
    void createDeviceItem(const DeviceInfo& info, const QRect& rect, const QPointF& point);
    double calcDeviceMinWidth(const DeviceInfo& info) const;
    void createTypesMenu(QMenu* menu, const QString& typePath, const QString& prefix);

Q_SIGNALS:
    void colorModeChanged(DeviceMapWidget::ColorisationMode);
    void legendToggled(bool value);
    /**
     * Saving the map's work failed: its layout file, or the device graph the device manager
     * writes after an edit (file names the first file that failed; the log says why). Once per
     * failure: further failures say nothing until every failed save has succeeded again. Sent
     * from the event loop after the edit, so the host may show a modal box; the screen keeps
     * the edit, and every later save of the map, of either file, writes what is behind.
     *
     * When the map closes (its own close, its window's, the application's quit), it writes what
     * is behind a last time; if that fails, this is sent at once, even within a failure already
     * announced. Deleting the map writes what is behind as well, but sends nothing.
     */
    void saveFailed(const QString& file);

public Q_SLOTS:
    void updateTypesMenu();
    void initSelectedDevices();
    void deinitSelectedDevices();
    /// The layout menu's entries, also for a host's menus: rearrangeGraph(type, true). The map's
    /// own menu calls them from the event loop once its handling of the choice is over; a host's
    /// menu should connect to them queued likewise, as the layout waits and may see the menu go.
    void onRearrangeOrthogonal();
    void onRearrangeHierarchical();
    void onRearrangeClusterByIO();
    void onRearrangeClusterByArea();
    void onRearrangeKeepClusters();

private Q_SLOTS:
    void createGraph();
    void _updateItem(DeviceNodeItem* item = nullptr);
    void createContextMenuClicked();
    void deviceRegistered(QString name);
    void deviceChanged(QString name);
    void deviceStateChanged(QString name, BaseDevice::DeviceState state);
    void deviceRemoved(QString name);
    void deviceRenamed(QString oldName, QString newName);
    void deviceInitialised(QString name, bool success);
    void deviceDescriptionChanged(QString name, QString description);
    void connectionActivated(QString provider, QString receiver);
    void increaseScale();
    void decreaseScale();
    void resetScale();
    void onCopy();
    void onPaste(QPoint pastePos = QPoint());
    void onDelete();
    void onCreateCluster();
    void longClickTimeout();
    /// Rewrites the layout file; false (and a warning) when it could not be written.
    bool saveLayout();

private:
    /**
     * The collaborators, for each other, for operations and for the tests of each concern,
     * through DeviceMapParts. Not part of the library's interface: the classes they return
     * are internal.
     */
    MapItemIndex& itemIndex() const;
    MapLinks& linkItems() const;
    MapManagerSync& managerSync() const;
    MapColoriser& coloriser() const;
    MapLegend& legend() const;
    MapSearch& search() const;
    MapMenus& menus() const;
    MapInteraction& interaction() const;
    ConnectionDrawing& connectionDrawing() const;
    MapClusters& clusters() const;
    MapCommands& commands() const;
    MapAutoLayout& automaticLayout() const;
    UnplacedZone& unplacedZone() const;
    MapClipboard& clipboard() const;
    MapClicks& clicks() const;
    MapKeys& keys() const;
    MapSaveNotices& saveNotices() const;
    MapSaves& saves() const;
    RunningCommands& runningCommands() const;

    // The collaborators reach each other through DeviceMapParts; the pointer handling also
    // calls the plain view's handlers and mouseClickEvent().
    friend class DeviceMapParts;
    friend class MapInteraction;
    // An operation's wait for the manager's answer refuses user edits (see below).
    friend class Operation;

    void beginWaitForManager();
    void endWaitForManager();

    DeviceManager* deviceManager;
    QString layoutFile;
    LayoutType currentLayoutType = Orthogonal;
    QFont smallFont;
    // On the heap: a map deleted outright during a command hands the stack, with the running
    // operation, over to the running commands, which delete it once the command has returned.
    QUndoStack* undoStack;
    Grid grid;

    std::unique_ptr<MapItemIndex> itemTables;
    std::unique_ptr<MapLinks> links;
    std::unique_ptr<MapManagerSync> sync;
    std::unique_ptr<MapColoriser> colours;
    std::unique_ptr<MapLegend> legends;
    std::unique_ptr<MapSearch> finder;
    std::unique_ptr<MapMenus> contextMenus;
    std::unique_ptr<MapInteraction> pointer;
    std::unique_ptr<ConnectionDrawing> drawing;
    std::unique_ptr<MapClusters> clusterCommands;
    std::unique_ptr<MapCommands> editCommands;
    std::unique_ptr<MapAutoLayout> autoLayout;
    std::unique_ptr<UnplacedZone> zone;
    std::unique_ptr<MapClipboard> clipboardTransfer;
    std::unique_ptr<MapClicks> clickHandling;
    std::unique_ptr<MapKeys> keyHandling;
    std::unique_ptr<MapSaveNotices> saveOutcomes;
    std::unique_ptr<MapSaves> filesInStep;
    std::unique_ptr<RunningCommands> commandRuns;

    int waitsForManager = 0;
};
