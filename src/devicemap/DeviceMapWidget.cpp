#include "DeviceMapWidget.h"

#include "ArrangementCapture.h"
#include "ClusterRectItem.h"
#include "ConnectionDrawing.h"
#include "DeviceConnectionItem.h"
#include "DeviceManager.h"
#include "DeviceNodeItem.h"
#include "DeviceText.h"
#include "MapAutoLayout.h"
#include "MapClicks.h"
#include "MapClipboard.h"
#include "MapClusters.h"
#include "MapCommands.h"
#include "MapColoriser.h"
#include "MapInteraction.h"
#include "MapItemIndex.h"
#include "MapKeys.h"
#include "MapLayoutFile.h"
#include "MapLegend.h"
#include "MapLinks.h"
#include "MapManagerSync.h"
#include "MapMenus.h"
#include "MapSaveNotices.h"
#include "MapSaves.h"
#include "MapSearch.h"
#include "MapWaitCursor.h"
#include "RunningCommands.h"
#include "UnplacedZone.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QGestureEvent>
#include <QGraphicsScene>
#include <QPainter>

DeviceMapWidget::DeviceMapWidget(DeviceManager* manager, const QString& layoutFile, QWidget* parent)
    : QGraphicsView(parent)
    , deviceManager(manager)
    , layoutFile(layoutFile)
    , undoStack(new QUndoStack())
    , grid(this)
    , itemTables(new MapItemIndex())
    , links(new MapLinks(*this))
    , sync(new MapManagerSync(*this))
    , colours(new MapColoriser(*this))
    , legends(new MapLegend(*this))
    , finder(new MapSearch(*this))
    , contextMenus(new MapMenus(*this))
    , pointer(new MapInteraction(*this))
    , drawing(new ConnectionDrawing(*this))
    , clusterCommands(new MapClusters(*this))
    , editCommands(new MapCommands(*this))
    , autoLayout(new MapAutoLayout(*this))
    , zone(new UnplacedZone(*this))
    , clipboardTransfer(new MapClipboard(*this))
    , clickHandling(new MapClicks(*this))
    , keyHandling(new MapKeys(*this))
    , saveOutcomes(new MapSaveNotices(*this))
    , filesInStep(new MapSaves(*this, *saveOutcomes))
    , commandRuns(new RunningCommands())
{
    qRegisterMetaType<DeviceMapWidget::ColorisationMode>("DeviceMapWidget::ColorisationMode");

    // Whoever keeps a pointer to an item forgets it here, before the item goes.
    connect(itemTables.get(), &MapItemIndex::itemAboutToBeRemoved, this, [this](HoverableItem* item) {
        drawing->forget(item);
        pointer->forget(item);
        finder->forget(item);
        sync->forget(item);
    });

    sync->followManager();

    connect(undoStack, SIGNAL(indexChanged(int)), this, SLOT(saveLayout()));
    // A host that quits without closing its windows still learns whether the last save failed.
    connect(QCoreApplication::instance(), &QCoreApplication::aboutToQuit, this,
            [this] { filesInStep->saveOnClosing(); });

    grabGesture(Qt::PinchGesture);

    const QFont viewFont = font();
    smallFont = viewFont;
    setFont(viewFont);
    smallFont.setPointSizeF(viewFont.pointSizeF() * 0.7);

    auto mapScene = new QGraphicsScene(this);
    setScene(mapScene);
    setRenderHint(QPainter::Antialiasing, true);
    setWindowTitle(tr("Device map"));
    mapScene->setFont(viewFont);
    setViewportUpdateMode(QGraphicsView::FullViewportUpdate);
    setAlignment(Qt::AlignLeft | Qt::AlignTop);
    setAcceptDrops(true);

    if (deviceManager->isInitialised())
        createGraph();
    else
        connect(deviceManager, SIGNAL(initialised()), this, SLOT(createGraph()));

    contextMenus->build();
}

DeviceMapWidget::~DeviceMapWidget()
{
    // Writes what is behind too; a failure is only logged, as no one may use the map any more.
    saveLayout();
    // Clearing the stack when it is destroyed emits indexChanged(), when members are already gone.
    disconnect(undoStack, nullptr, this, nullptr);
    // Deleted inside a command: the operation is still running on the stack, and the stack's
    // push(), undo() or redo() goes on after it returns.
    if (!commandRuns->holdDeletion(undoStack))
        delete undoStack;
    // The scene deletes its items after the collaborators are gone: nobody is to be told.
    disconnect(itemTables.get(), nullptr, this, nullptr);
    // The unplaced list is shared by every map in the process: drop only the names no other map shows.
    zone->releaseDevices();
}

DeviceManager* DeviceMapWidget::getDeviceManager() const { return deviceManager; }
QUndoStack* DeviceMapWidget::getUndoStack() { return undoStack; }
DeviceMapWidget::LayoutType DeviceMapWidget::getCurrentLayoutType() const { return currentLayoutType; }
void DeviceMapWidget::setCurrentLayoutType(LayoutType type) { currentLayoutType = type; }
QMap<QString, DeviceNodeItem*> DeviceMapWidget::getDeviceItems() const { return itemTables->devices(); }
QMap<QString, ClusterRectItem*>& DeviceMapWidget::getClusterItems() { return itemTables->clusters(); }
QList<DeviceNodeItem*> DeviceMapWidget::getFoundDevices() const { return finder->found(); }
Grid& DeviceMapWidget::getGrid() { return grid; }
HoverableItem* DeviceMapWidget::getHoveredItem() const { return pointer->hoveredItem(); }
void DeviceMapWidget::setHoveredItem(HoverableItem* item) { pointer->setHoveredItem(item); }
DeviceNodeItem* DeviceMapWidget::getCurrentTemporaryDevice() const { return pointer->temporaryDevice(); }
void DeviceMapWidget::setCurrentTemporaryDevice(DeviceNodeItem* item) { pointer->setTemporaryDevice(item); }

void DeviceMapWidget::toggleShowGrid()
{
    grid.activate(!grid.isActive());
}

void DeviceMapWidget::toogleBindItemsToGrid()
{
    DeviceNodeItem::setGridOn(!DeviceNodeItem::getGridOn());
}

void DeviceMapWidget::toggleLegend(bool on)
{
    legends->toggle(on);
}

bool DeviceMapWidget::legendIsActive() const { return legends->isActive(); }
bool DeviceMapWidget::isWaitingForManager() const { return waitsForManager > 0; }
QString DeviceMapWidget::getLayoutFile() const { return layoutFile; }
QFont DeviceMapWidget::getSmallFont() const { return smallFont; }

MapItemIndex& DeviceMapWidget::itemIndex() const { return *itemTables; }
MapLinks& DeviceMapWidget::linkItems() const { return *links; }
MapManagerSync& DeviceMapWidget::managerSync() const { return *sync; }
MapColoriser& DeviceMapWidget::coloriser() const { return *colours; }
MapLegend& DeviceMapWidget::legend() const { return *legends; }
MapSearch& DeviceMapWidget::search() const { return *finder; }
MapMenus& DeviceMapWidget::menus() const { return *contextMenus; }
MapInteraction& DeviceMapWidget::interaction() const { return *pointer; }
ConnectionDrawing& DeviceMapWidget::connectionDrawing() const { return *drawing; }
MapClusters& DeviceMapWidget::clusters() const { return *clusterCommands; }
MapCommands& DeviceMapWidget::commands() const { return *editCommands; }
MapAutoLayout& DeviceMapWidget::automaticLayout() const { return *autoLayout; }
UnplacedZone& DeviceMapWidget::unplacedZone() const { return *zone; }
MapClipboard& DeviceMapWidget::clipboard() const { return *clipboardTransfer; }
MapClicks& DeviceMapWidget::clicks() const { return *clickHandling; }
MapKeys& DeviceMapWidget::keys() const { return *keyHandling; }
MapSaveNotices& DeviceMapWidget::saveNotices() const { return *saveOutcomes; }
MapSaves& DeviceMapWidget::saves() const { return *filesInStep; }
RunningCommands& DeviceMapWidget::runningCommands() const { return *commandRuns; }

bool DeviceMapWidget::pushOperation(QUndoCommand* operation)
{
    // A long operation's wait cursor lasts until the layout file is written after it.
    MapWaitCursor wholeRun;
    // A push inside another command would run redo() in the middle of that one's redo() or
    // undo(). Once begun, the stack goes on after the operation returns: nothing it runs on
    // may go before.
    const RunningCommands::Entry command(this, "DeviceMapWidget::pushOperation()", operation->text());
    if (!command.hasBegun()) {
        delete operation;
        return false;
    }
    undoStack->push(operation);
    return true;
}

void DeviceMapWidget::beginWaitForManager()
{
    ++waitsForManager;
}

void DeviceMapWidget::endWaitForManager()
{
    --waitsForManager;
}

// ---------------------------------------------------------------------------------------------
// Menus

void DeviceMapWidget::updateTypesMenu()
{
    contextMenus->updateTypesMenu();
}

void DeviceMapWidget::createTypesMenu(QMenu* menu, const QString& typePath, const QString& prefix)
{
    contextMenus->createTypesMenu(menu, typePath, prefix);
}

// ---------------------------------------------------------------------------------------------
// Scene building and the manager's signals

void DeviceMapWidget::createGraph()
{
    sync->createGraph();
}

void DeviceMapWidget::initialiseScene()
{
    sync->initialiseScene();
}

void DeviceMapWidget::setSceneRects(const QRectF& rect)
{
    setSceneRect(rect);
    scene()->setSceneRect(rect);
}

void DeviceMapWidget::createDeviceItem(const DeviceInfo& info, const QRect& rect, const QPointF& point)
{
    Q_UNUSED(point)
    sync->createDeviceItem(info, rect);
}

double DeviceMapWidget::calcDeviceMinWidth(const DeviceInfo& info) const
{
    return sync->calcDeviceMinWidth(info);
}

void DeviceMapWidget::deviceRegistered(QString name)
{
    sync->deviceRegistered(name);
}

void DeviceMapWidget::deviceChanged(QString name)
{
    sync->deviceChanged(name);
}

void DeviceMapWidget::deviceRemoved(QString name)
{
    sync->deviceRemoved(name);
}

void DeviceMapWidget::deviceRenamed(QString oldName, QString newName)
{
    sync->deviceRenamed(oldName, newName);
}

void DeviceMapWidget::deviceInitialised(QString name, bool success)
{
    Q_UNUSED(success)
    sync->deviceInitialised(name);
}

void DeviceMapWidget::deviceDescriptionChanged(QString name, QString description)
{
    sync->deviceDescriptionChanged(name, description);
}

void DeviceMapWidget::deviceStateChanged(QString name, BaseDevice::DeviceState state)
{
    Q_UNUSED(state)
    sync->deviceStateChanged(name);
}

void DeviceMapWidget::connectionActivated(QString provider, QString receiver)
{
    sync->connectionActivated(provider, receiver);
}

void DeviceMapWidget::_updateItem(DeviceNodeItem* item)
{
    sync->updateItem(item);
}

// ---------------------------------------------------------------------------------------------
// Links

void DeviceMapWidget::createConnection(const QString& from, const QString& to, const QList<QPointF>& bends)
{
    links->create(from, to, bends);
}

DeviceConnectionItem* DeviceMapWidget::getConnection(const QString& from, const QString& to) const
{
    return links->find(from, to);
}

void DeviceMapWidget::splitConnections(const QString& a, const QString& b)
{
    links->split(a, b);
}

QStringList DeviceMapWidget::getConnectionSignals(const QString& target, const QString& source) const
{
    return links->signalsOf(target, source);
}

QStringList DeviceMapWidget::getConnectionSlots(const QString& target, const QString& source) const
{
    return links->slotsOf(target, source);
}

void DeviceMapWidget::getConnectedDevices(const QString& name, QMap<QString, bool>& marks) const
{
    links->markConnectedUnplaced(name, marks);
}

// ---------------------------------------------------------------------------------------------
// Scene rectangle, clusters and arrangements

void DeviceMapWidget::unitedSceneWithRect(const QRectF& rect)
{
    const double margin = MapLayoutFile::sceneMargin;
    const QRectF grown = rect.adjusted(-margin, -margin, margin, margin);
    const QRectF current = scene()->sceneRect();
    if (current.contains(grown))
        return;
    setSceneRects(current | grown);
    grid.update();
}

void DeviceMapWidget::resizeSceneRectToViewRect()
{
    const QRectF visible = mapToScene(viewport()->rect()).boundingRect();
    QRectF current = sceneRect();
    if (visible.width() > current.width()) {
        current = QRectF(current.topLeft(), QSizeF(visible.width(), current.height()));
        setSceneRects(current);
    }
    if (visible.height() > current.height()) {
        current = QRectF(current.topLeft(), QSizeF(current.width(), visible.height()));
        setSceneRects(current);
    }
    grid.update();
}

void DeviceMapWidget::createCluster(const QString& name, const QRectF& rect)
{
    clusterCommands->createItem(name, rect);
}

bool DeviceMapWidget::removeCluster(const QString& name)
{
    return itemTables->removeCluster(name);
}

void DeviceMapWidget::createClusterByItems(const QList<QGraphicsItem*>& items)
{
    clusterCommands->createClusterByItems(items);
}

void DeviceMapWidget::createClusterForTemplate(const QString& templateName, const QList<QGraphicsItem*>& items)
{
    clusterCommands->createClusterForTemplate(templateName, items);
}

void DeviceMapWidget::onCreateCluster()
{
    clusterCommands->createClusterFromSelection();
}

// ---------------------------------------------------------------------------------------------
// Moves and connection drawing

void DeviceMapWidget::moveItems()
{
    pointer->moves().moveItems();
}

QMap<QString, QPointF> DeviceMapWidget::moveDevices()
{
    return pointer->moves().moveDevices();
}

QMap<QString, QPointF> DeviceMapWidget::moveClusters()
{
    return pointer->moves().moveClusters();
}

void DeviceMapWidget::drawConnection(const QList<QGraphicsItem*>& items)
{
    drawing->drawConnection(items);
}

void DeviceMapWidget::interruptConnectionDrawing()
{
    drawing->interrupt();
}

void DeviceMapWidget::connectionClicked(DeviceConnectionItem* connection)
{
    drawing->connectionClicked(connection);
}

QGraphicsItem* DeviceMapWidget::findItemAt(const QPoint& viewportPoint) const
{
    return pointer->findItemAt(viewportPoint);
}

void DeviceMapWidget::nodeClicked(const QString& name)
{
    clickHandling->openSettings(name);
}

DevicesArrangement DeviceMapWidget::getDevicesArrangement(const QList<QGraphicsItem*>& items) const
{
    return ArrangementCapture(*itemTables, deviceManager).capture(items);
}

DevicesArrangement DeviceMapWidget::getAllDevicesArrangement() const
{
    return ArrangementCapture(*itemTables, deviceManager).captureAll();
}

DevicesArrangement DeviceMapWidget::getDeviceArrangement(const QString& path)
{
    return clipboardTransfer->fileArrangement(path);
}

QList<DeviceInfo> DeviceMapWidget::getDeviceInfos(const QString& text)
{
    return DeviceText::parse(this, text);
}

DevicesArrangement DeviceMapWidget::rearrangeDevicesFromInfos(const QList<DeviceInfo>& infos, LayoutType type)
{
    return autoLayout->arrange(infos, type).arrangement;
}

DevicesArrangement DeviceMapWidget::rearrangeDevices(const QList<QString>& names, LayoutType type)
{
    return rearrangeDevicesFromInfos(autoLayout->infosOf(names), type);
}

void DeviceMapWidget::rearrangeGraph(LayoutType type, bool ask)
{
    autoLayout->rearrangeGraph(type, ask);
}

void DeviceMapWidget::onRearrangeOrthogonal()
{
    rearrangeGraph(Orthogonal, true);
}

void DeviceMapWidget::onRearrangeHierarchical()
{
    rearrangeGraph(Hierarchical, true);
}

void DeviceMapWidget::onRearrangeClusterByIO()
{
    rearrangeGraph(ClusterByIO, true);
}

void DeviceMapWidget::onRearrangeClusterByArea()
{
    rearrangeGraph(ClusterByGuiArea, true);
}

void DeviceMapWidget::onRearrangeKeepClusters()
{
    rearrangeGraph(FixedClusters, true);
}

// ---------------------------------------------------------------------------------------------
// Clipboard, templates and drag and drop

QString DeviceMapWidget::getConfig(const QList<QGraphicsItem*>& items) const
{
    return clipboardTransfer->deviceText(items);
}

void DeviceMapWidget::pasteDevices(const DevicesArrangement& arrangement, const QPoint& point)
{
    clipboardTransfer->pasteDevices(arrangement, point);
}

void DeviceMapWidget::exportTemplate(const QList<QGraphicsItem*>& items)
{
    clipboardTransfer->exportTemplate(items);
}

void DeviceMapWidget::exportMetaDevice(const QList<QGraphicsItem*>& items)
{
    clipboardTransfer->exportMetaDevice(items);
}

const DevicesArrangement& DeviceMapWidget::getDragArrangement() const
{
    return clipboardTransfer->dragArrangement();
}

void DeviceMapWidget::onCopy()
{
    clipboardTransfer->copy();
}

void DeviceMapWidget::onPaste(QPoint pastePos)
{
    clipboardTransfer->paste(pastePos);
}

// ---------------------------------------------------------------------------------------------
// Layout file

bool DeviceMapWidget::saveLayout()
{
    return filesInStep->saveLayout();
}

// ---------------------------------------------------------------------------------------------
// Commands

void DeviceMapWidget::onDelete()
{
    editCommands->deleteSelectionOrItemUnderCursor();
}

void DeviceMapWidget::initSelectedDevices()
{
    editCommands->setSelectedDevicesInitialised(true);
}

void DeviceMapWidget::deinitSelectedDevices()
{
    editCommands->setSelectedDevicesInitialised(false);
}

// ---------------------------------------------------------------------------------------------
// Colourisation, legends and search

DeviceMapWidget::ColorisationMode DeviceMapWidget::getColorisationMode() const
{
    return colours->mode();
}

void DeviceMapWidget::setColorisationMode(DeviceMapWidget::ColorisationMode mode)
{
    colours->setMode(mode);
}

void DeviceMapWidget::coloriseDeviceItem(const QString& name)
{
    colours->colorise(name);
}

void DeviceMapWidget::switchLegend()
{
    legends->switchToNext();
}

QMap<QString, QPixmap> DeviceMapWidget::transformColorsMap() const
{
    return legends->colorPictures();
}

void DeviceMapWidget::showLegendFromMap(QPainter& painter, QFontMetricsF metrics, QMap<QString, QPixmap> legend)
{
    legends->showLegendFromMap(painter, metrics, legend);
}

void DeviceMapWidget::searchDevices(const QString& text)
{
    finder->search(text);
}

// ---------------------------------------------------------------------------------------------
// Events: the interaction, clipboard and key handling answer first; what they leave goes to
// the plain graphics view.

bool DeviceMapWidget::event(QEvent* event)
{
    // Deleting the map inside a command would delete the running operation with its undo stack;
    // the deletion is done once the command has returned.
    if (event->type() == QEvent::DeferredDelete && commandRuns->holdDeletion(this))
        return true;
    if (event->type() == QEvent::Gesture)
        return pointer->gesture(static_cast<QGestureEvent*>(event));
    if (event->type() == QEvent::GestureOverride)
        event->accept();
    return QGraphicsView::event(event);
}

void DeviceMapWidget::mousePressEvent(QMouseEvent* event)
{
    if (!pointer->mousePress(event))
        QGraphicsView::mousePressEvent(event);
}

void DeviceMapWidget::mouseReleaseEvent(QMouseEvent* event)
{
    if (!pointer->mouseRelease(event))
        QGraphicsView::mouseReleaseEvent(event);
}

void DeviceMapWidget::mouseMoveEvent(QMouseEvent* event)
{
    if (!pointer->mouseMove(event))
        QGraphicsView::mouseMoveEvent(event);
}

void DeviceMapWidget::wheelEvent(QWheelEvent* event)
{
    if (!keyHandling->wheel(event))
        QGraphicsView::wheelEvent(event);
}

void DeviceMapWidget::keyPressEvent(QKeyEvent* event)
{
    if (!keyHandling->keyPress(event))
        QGraphicsView::keyPressEvent(event);
}

// The scene first, then over it in viewport coordinates: the legend, the unplaced zone with
// the pulled device or group, and the zone of a device file dragged over the map.
void DeviceMapWidget::paintEvent(QPaintEvent* event)
{
    QGraphicsView::paintEvent(event);
    QPainter painter(viewport());
    painter.save();
    legends->paint(painter);
    painter.restore();
    zone->paint(painter);
    if (!clipboardTransfer->dragArrangement().isEmpty())
        zone->drawAssumedDevicesZone(painter, clipboardTransfer->dragArrangement());
}

void DeviceMapWidget::drawZoneTemporaryLocationDevices(QPainter* painter)
{
    zone->drawZone(*painter);
}

void DeviceMapWidget::drawAssumedDevicesZone(QPainter* painter, DevicesArrangement arrangement)
{
    zone->drawAssumedDevicesZone(*painter, arrangement);
}

// The scene covers at least the visible area before the view lays out its scroll bars.
void DeviceMapWidget::resizeEvent(QResizeEvent* event)
{
    resizeSceneRectToViewRect();
    QGraphicsView::resizeEvent(event);
}

void DeviceMapWidget::closeEvent(QCloseEvent* event)
{
    Q_UNUSED(event)
    filesInStep->saveOnClosing();
}

void DeviceMapWidget::dragEnterEvent(QDragEnterEvent* event)
{
    clipboardTransfer->dragEnter(event);
}

void DeviceMapWidget::dragMoveEvent(QDragMoveEvent* event)
{
    clipboardTransfer->dragMove(event);
}

void DeviceMapWidget::dragLeaveEvent(QDragLeaveEvent* event)
{
    Q_UNUSED(event)
    clipboardTransfer->dragLeave();
}

void DeviceMapWidget::dropEvent(QDropEvent* event)
{
    clipboardTransfer->drop(event);
}

// The device pulled out of the unplaced zone stays in the corner: it does not scroll along.
void DeviceMapWidget::scrollContentsBy(int dx, int dy)
{
    keyHandling->releaseTemporaryDevice();
    QGraphicsView::scrollContentsBy(dx, dy);
}

void DeviceMapWidget::mouseClickEvent(QMouseEvent* event)
{
    clickHandling->click(event);
}

void DeviceMapWidget::createContextMenuClicked()
{
    clickHandling->sceneMenu();
}

void DeviceMapWidget::applyScale(double factor, const QPoint& v)
{
    keyHandling->applyScale(factor, v);
}

void DeviceMapWidget::increaseScale()
{
    keyHandling->scaleAboutAnchor(MapKeys::zoomInFactor);
}

void DeviceMapWidget::decreaseScale()
{
    keyHandling->scaleAboutAnchor(MapKeys::zoomOutFactor);
}

void DeviceMapWidget::resetScale()
{
    keyHandling->resetScale();
}

void DeviceMapWidget::longClickTimeout()
{
    pointer->longPressTimeout();
}
