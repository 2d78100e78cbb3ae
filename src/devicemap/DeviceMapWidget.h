#pragma once

#include "BaseDevice.h"
#include "DeviceInfo.h"
#include "DevicesArrangement.h"
#include "Grid.h"
#include "dozerozozu_export.h"

#include <QFont>
#include <QGraphicsView>
#include <QHash>
#include <QPair>
#include <QList>
#include <QMap>
#include <QMenu>
#include <QPointer>
#include <QTimer>
#include <QUndoStack>

class ClusterRectItem;
class DeviceConnectionItem;
class DeviceManager;
class DeviceNodeItem;
class HoverableItem;
class QRubberBand;
class QSettings;

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
 */
class DOZEROZOZU_EXPORT DeviceMapWidget : public QGraphicsView
{
    Q_OBJECT
    friend class TestDeviceMapWidget;

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
    QUndoStack* getUndoStack();
    LayoutType getCurrentLayoutType() const;
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
    /// Whether an operation of this map is waiting for the manager; user edits are refused then.
    bool isWaitingForManager() const;

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
    /// Makes (or replaces) the cluster item of that name on the given scene rectangle.
    void createCluster(const QString& name, const QRectF& rect);

    DevicesArrangement getDevicesArrangement(const QList<QGraphicsItem*>& items) const;
    /// The arrangement of every placed device, in name order.
    DevicesArrangement getAllDevicesArrangement() const;

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

    /// Pushes an operation, unless another one is waiting for the manager (then it is dropped).
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

    void initialiseScene();
    void createDeviceItem(const DeviceInfo& info, const QRect& rect, const QPointF& point);
    double calcDeviceMinWidth(const DeviceInfo& info) const;
    void createTypesMenu(QMenu* menu, const QString& typePath, const QString& prefix);

Q_SIGNALS:
    void colorModeChanged(DeviceMapWidget::ColorisationMode);
    void legendToggled(bool value);

public Q_SLOTS:
    void updateTypesMenu();
    void initSelectedDevices();
    void deinitSelectedDevices();

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
    void saveLayout();

private:
    friend class Operation;

    void buildMenus();
    void filterTypesMenu(const QString& text);
    void createTypeFromSearch();
    void createDeviceItem(const DeviceInfo& info, const QRect& rect, QSettings& layout);
    void setSceneRects(const QRectF& rect);
    void removeConnectionItem(DeviceConnectionItem* link);
    void forgetDeviceItem(DeviceNodeItem* item);
    void setSelectedDevicesInitialised(bool initialised);
    QStringList connectionMethods(const QString& target, const QString& source, QString Connection::*method) const;
    void forgetClusterItem(ClusterRectItem* item);
    void cancelConnectionDrawing();
    void beginWaitForManager();
    void endWaitForManager();

    DeviceManager* deviceManager;
    QString layoutFile;
    LayoutType currentLayoutType = Orthogonal;
    QMap<QString, DeviceNodeItem*> deviceItems;
    QMap<QString, ClusterRectItem*> clusterItems;
    QList<DeviceConnectionItem*> connectionItems;
    QRectF unplacedZoneRect;
    // Guarded: the device may be removed while its settings dialog is still open.
    QPointer<DeviceNodeItem> settingsItem;
    QFont smallFont;
    QMenu deviceMenu;
    QMenu connectionMenu;
    QMenu sceneMenu;
    QMenu selectionMenu;
    QMenu bendingPointMenu;
    QMenu* newDeviceMenu = nullptr;
    bool panning = false;
    QPointF lastPanPos;
    bool drawingConnection = false;
    DeviceConnectionItem* tempConnection = nullptr;
    DeviceNodeItem* tempEndNode = nullptr;
    QPointer<DeviceNodeItem> currentTemporaryDevice;
    bool unplacedZoneVisible = true;
    QString connectionSource;
    QString draggedFilePath;
    QMap<QString, QColor> colorsMap;
    ColorisationMode colorisationMode = ByState;
    ColorisationMode previousColorisationMode = ByState;
    qint32 legendState = 2;
    QPointF pressScenePos;
    QPointF rubberBandOrigin;
    QPointF rubberBandSceneOrigin;
    QGraphicsItem* copyCursorItem = nullptr;
    QPointer<HoverableItem> hoveredItem;
    QRubberBand* rubberBand = nullptr;
    DevicesArrangement dragArrangement;
    DevicesArrangement assumedArrangement;
    QMap<QString, QPointF> devicePositionsAtPress;
    QMap<QString, QPointF> clusterPositionsAtPress;
    QUndoStack undoStack;
    QList<QPointer<DeviceNodeItem>> foundDevices;
    QMap<DeviceConnectionItem*, int> movedBendingPoint;
    QPointer<ClusterRectItem> stretchedCluster;
    QList<QPointF> bendingPointsAtPress;
    bool itemPressed = false;
    QTimer longClickTimer;
    Grid grid;
    int waitsForManager = 0;
    bool deleteAfterWait = false;
    // The first link of connectionItems for each (source, target) pair: the map looks links up
    // on every change report and every operation poll.
    QHash<QPair<DeviceNodeItem*, DeviceNodeItem*>, DeviceConnectionItem*> linkIndex;
};
