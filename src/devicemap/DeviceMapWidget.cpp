#include "DeviceMapWidget.h"

#include "BaseGuiDevice.h"
#include "ClusterRectItem.h"
#include "CreateConnectionOperation.h"
#include "CreateDeviceOperation.h"
#include "DeviceConnectionItem.h"
#include "DeviceHandle.h"
#include "DeviceManager.h"
#include "DeviceNodeItem.h"
#include "HoverableItem.h"
#include "LegendPainter.h"
#include "RemoveConnectionOperation.h"

#include <QCloseEvent>
#include <QCursor>
#include <QFontMetricsF>
#include <QGraphicsScene>
#include <QLineEdit>
#include <QPainter>
#include <QRubberBand>
#include <QSet>
#include <QSettings>
#include <QWidgetAction>
#include <QtDebug>

#include <algorithm>

namespace {

const QString layoutTypeKey = QStringLiteral("layoutType");
const QString sceneRectKey = QStringLiteral("sceneRect");
const QString clusterNamesKey = QStringLiteral("Clusters/ClusterNames");
const QRect unplacedRect(-1, -1, -1, -1);

// Every live map, so that closing one map keeps the unplaced names another map still shows.
QList<DeviceMapWidget*>& liveMaps()
{
    static QList<DeviceMapWidget*> maps;
    return maps;
}

bool compareItemsByPos(const QGraphicsItem* a, const QGraphicsItem* b)
{
    if (a->pos().y() != b->pos().y())
        return a->pos().y() < b->pos().y();
    return a->pos().x() < b->pos().x();
}

QString deviceRectKey(const QString& name)
{
    return name + QStringLiteral("/rect");
}

QString bendsKey(const QString& from, const QString& to)
{
    return from + QLatin1Char(':') + to + QStringLiteral("/bends");
}

QString clusterKey(const QString& name, const char* field)
{
    return QStringLiteral("Clusters/") + name + QLatin1Char('/') + QLatin1String(field);
}

// Bending points are stored as "x;y" texts; anything else is skipped rather than guessed.
QList<QPointF> parseBends(const QStringList& texts)
{
    QList<QPointF> bends;
    for (const QString& text : texts) {
        const QStringList parts = text.split(QLatin1Char(';'));
        if (parts.size() < 2)
            continue;
        bool xOk = false;
        bool yOk = false;
        const double x = parts.at(0).toDouble(&xOk);
        const double y = parts.at(1).toDouble(&yOk);
        if (xOk && yOk)
            bends.append(QPointF(x, y));
    }
    return bends;
}

// Qt's global colours 7 (red) to 19 (transparent); later keys repeat the opaque ones.
QColor generatedColor(int number)
{
    if (number > Qt::transparent)
        number = Qt::red + (number - Qt::red) % (Qt::transparent - Qt::red);
    return QColor(static_cast<Qt::GlobalColor>(number));
}

} // namespace

DeviceMapWidget::DeviceMapWidget(DeviceManager* manager, const QString& layoutFile, QWidget* parent)
    : QGraphicsView(parent)
    , deviceManager(manager)
    , layoutFile(layoutFile)
    , rubberBand(new QRubberBand(QRubberBand::Rectangle, this))
    , grid(this)
{
    liveMaps().append(this);
    qRegisterMetaType<DeviceMapWidget::ColorisationMode>("DeviceMapWidget::ColorisationMode");
    longClickTimer.setSingleShot(true);

    connect(deviceManager, SIGNAL(deviceChanged(QString)), this, SLOT(deviceChanged(QString)));
    connect(deviceManager, SIGNAL(deviceDescriptionChanged(QString,QString)), this,
            SLOT(deviceDescriptionChanged(QString,QString)));
    connect(deviceManager, SIGNAL(deviceInitialised(QString,bool)), this, SLOT(deviceInitialised(QString,bool)));
    connect(deviceManager, SIGNAL(deviceStateChanged(QString, BaseDevice::DeviceState)), this,
            SLOT(deviceStateChanged(QString, BaseDevice::DeviceState)));
    connect(deviceManager, SIGNAL(deviceRegistered(QString)), this, SLOT(deviceRegistered(QString)));
    connect(deviceManager, SIGNAL(deviceRemoved(QString)), this, SLOT(deviceRemoved(QString)));
    connect(deviceManager, SIGNAL(deviceRenamed(QString,QString)), this, SLOT(deviceRenamed(QString,QString)));
    connect(deviceManager, SIGNAL(onEmit(QString,QString)), this, SLOT(connectionActivated(QString,QString)));
    connect(deviceManager, SIGNAL(needUpdateTypes()), this, SLOT(updateTypesMenu()));

    connect(&undoStack, SIGNAL(indexChanged(int)), this, SLOT(saveLayout()));

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

    buildMenus();

    connect(&longClickTimer, SIGNAL(timeout()), this, SLOT(longClickTimeout()));
}

DeviceMapWidget::~DeviceMapWidget()
{
    saveLayout();
    // Clearing the stack when it is destroyed emits indexChanged(), when members are already gone.
    disconnect(&undoStack, nullptr, this, nullptr);
    liveMaps().removeAll(this);

    // The unplaced list is shared by every map in the process: drop only the names no other map shows.
    QSet<QString> dropped;
    for (auto it = deviceItems.cbegin(); it != deviceItems.cend(); ++it) {
        bool shownElsewhere = false;
        for (const DeviceMapWidget* other : qAsConst(liveMaps()))
            shownElsewhere = shownElsewhere || other->deviceItems.contains(it.key());
        if (!shownElsewhere)
            dropped.insert(it.key());
    }
    QStringList unplaced = DeviceNodeItem::getUnplacedDevices();
    unplaced.erase(std::remove_if(unplaced.begin(), unplaced.end(),
                                  [&dropped](const QString& name) { return dropped.contains(name); }),
                   unplaced.end());
    DeviceNodeItem::setUnplacedDevices(unplaced);

    hoveredItem = nullptr;
    settingsItem = nullptr;
    currentTemporaryDevice = nullptr;
    stretchedCluster = nullptr;
    foundDevices.clear();
}

DeviceManager* DeviceMapWidget::getDeviceManager() const
{
    return deviceManager;
}

QUndoStack* DeviceMapWidget::getUndoStack()
{
    return &undoStack;
}

DeviceMapWidget::LayoutType DeviceMapWidget::getCurrentLayoutType() const
{
    return currentLayoutType;
}

QMap<QString, DeviceNodeItem*> DeviceMapWidget::getDeviceItems() const
{
    return deviceItems;
}

QMap<QString, ClusterRectItem*>& DeviceMapWidget::getClusterItems()
{
    return clusterItems;
}

QList<DeviceNodeItem*> DeviceMapWidget::getFoundDevices() const
{
    QList<DeviceNodeItem*> found;
    for (const QPointer<DeviceNodeItem>& item : foundDevices) {
        if (item)
            found.append(item.data());
    }
    return found;
}

Grid& DeviceMapWidget::getGrid()
{
    return grid;
}

HoverableItem* DeviceMapWidget::getHoveredItem() const
{
    return hoveredItem.data();
}

void DeviceMapWidget::setHoveredItem(HoverableItem* item)
{
    hoveredItem = item;
}

DeviceNodeItem* DeviceMapWidget::getCurrentTemporaryDevice() const
{
    return currentTemporaryDevice.data();
}

void DeviceMapWidget::setCurrentTemporaryDevice(DeviceNodeItem* item)
{
    currentTemporaryDevice = item;
}

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
    legendState = on ? 0 : 2;
    viewport()->repaint();
}

bool DeviceMapWidget::legendIsActive() const
{
    return legendState != 2;
}

bool DeviceMapWidget::isWaitingForManager() const
{
    return waitsForManager > 0;
}

bool DeviceMapWidget::pushOperation(QUndoCommand* operation)
{
    // A push from inside a wait would run redo() in the middle of another command's redo().
    if (isWaitingForManager()) {
        delete operation;
        return false;
    }
    undoStack.push(operation);
    return true;
}

void DeviceMapWidget::beginWaitForManager()
{
    ++waitsForManager;
}

void DeviceMapWidget::endWaitForManager()
{
    --waitsForManager;
    if (waitsForManager == 0 && deleteAfterWait) {
        deleteAfterWait = false;
        deleteLater();
    }
}

// ---------------------------------------------------------------------------------------------
// Menus

void DeviceMapWidget::buildMenus()
{
    deviceMenu.setToolTipsVisible(true);
    deviceMenu.setDefaultAction(deviceMenu.addAction(tr("Settings")));
    deviceMenu.addAction(tr("Rename"));
    QAction* deleteAction = deviceMenu.addAction(tr("Delete"));
    deleteAction->setShortcut(Qt::Key_Delete);
    QAction* connectAction = deviceMenu.addAction(tr("Add connection"));
    connectAction->setToolTip(tr("Shift+Click"));
    QAction* copyAction = deviceMenu.addAction(tr("Copy"));
    copyAction->setShortcut(QKeySequence(Qt::CTRL + Qt::Key_C));
    QAction* exportMetaAction = deviceMenu.addAction(tr("Export meta device"));
    QAction* exportTemplateAction = deviceMenu.addAction(tr("Export template"));
    QAction* initAction = deviceMenu.addAction(tr("Initialise"), this, SLOT(initSelectedDevices()), QKeySequence());
    QAction* deinitAction =
        deviceMenu.addAction(tr("Deinitialise"), this, SLOT(deinitSelectedDevices()), QKeySequence());

    selectionMenu.addAction(deleteAction);
    selectionMenu.addAction(copyAction);
    selectionMenu.addAction(exportMetaAction);
    selectionMenu.addAction(exportTemplateAction);
    selectionMenu.addAction(initAction);
    selectionMenu.addAction(deinitAction);
    QAction* clusterAction = selectionMenu.addAction(tr("Create cluster"));
    clusterAction->setShortcut(QKeySequence(Qt::CTRL + Qt::Key_K));
    deviceMenu.addAction(clusterAction);

    connectionMenu.setDefaultAction(connectionMenu.addAction(tr("Edit")));
    connectionMenu.addAction(tr("Delete"))->setShortcut(Qt::Key_Delete);
    connectionMenu.addAction(tr("Add bending point"));

    bendingPointMenu.addAction(tr("Remove bending point"));
    bendingPointMenu.addAction(tr("Remove connection"));

    newDeviceMenu = sceneMenu.addMenu(tr("New device"));
    updateTypesMenu();
    QMenu* rearrangeMenu = sceneMenu.addMenu(tr("Rearrange layout"));
    rearrangeMenu->addAction(tr("Orthogonal"))->setShortcut(QKeySequence());
    rearrangeMenu->addAction(tr("Hierarchical"))->setShortcut(QKeySequence());
    QMenu* clusteredMenu = rearrangeMenu->addMenu(tr("Clustered"));
    clusteredMenu->addAction(tr("Cluster By IO"))->setShortcut(QKeySequence());
    clusteredMenu->addAction(tr("Cluster by GUI Area"))->setShortcut(QKeySequence());
    clusteredMenu->addAction(tr("Keep existing clusters"))->setShortcut(QKeySequence());
    sceneMenu.addAction(tr("Paste"))->setShortcut(QKeySequence(Qt::CTRL + Qt::Key_V));
}

void DeviceMapWidget::updateTypesMenu()
{
    newDeviceMenu->clear();
    const QObjectList oldChildren = newDeviceMenu->children();
    for (QObject* child : oldChildren) {
        if (qobject_cast<QMenu*>(child) || qobject_cast<QAction*>(child))
            delete child;
    }

    auto searchAction = new QWidgetAction(newDeviceMenu);
    auto searchField = new QLineEdit();
    searchField->addAction(QIcon(QStringLiteral(":/icons/dozerozozu_search")), QLineEdit::LeadingPosition);
    searchAction->setDefaultWidget(searchField);
    newDeviceMenu->addAction(searchAction);

    connect(newDeviceMenu, SIGNAL(aboutToShow()), searchField, SLOT(setFocus()));
    connect(newDeviceMenu, SIGNAL(aboutToHide()), searchField, SLOT(clear()));
    connect(searchField, &QLineEdit::textChanged, this, &DeviceMapWidget::filterTypesMenu);
    connect(searchField, &QLineEdit::returnPressed, this, &DeviceMapWidget::createTypeFromSearch);

    const QStringList types = deviceManager->getDeviceTypes(true);
    for (const QString& type : types)
        createTypesMenu(newDeviceMenu, type, QString());
}

void DeviceMapWidget::createTypesMenu(QMenu* menu, const QString& typePath, const QString& prefix)
{
    QStringList parts = typePath.split(QLatin1Char('/'));
    const QString head = parts.takeFirst();
    QString label = head;
    if (!label.isEmpty())
        label[0] = label.at(0).toUpper();
    const QString key = prefix + QLatin1Char('/') + head;

    if (parts.isEmpty()) {
        menu->addAction(label)->setObjectName(key);
        QAction* hidden = newDeviceMenu->addAction(label);
        hidden->setObjectName(key);
        hidden->setVisible(false);
        return;
    }

    QMenu* sub = menu->findChild<QMenu*>(key, Qt::FindDirectChildrenOnly);
    if (!sub) {
        sub = menu->addMenu(label);
        sub->setObjectName(key);
    }
    createTypesMenu(sub, parts.join(QLatin1Char('/')), key);
}

void DeviceMapWidget::filterTypesMenu(const QString& text)
{
    const QString search = text.simplified();
    QSet<QString> seen;
    const QList<QAction*> actions = newDeviceMenu->actions();
    for (QAction* action : actions) {
        if (qobject_cast<QWidgetAction*>(action))
            continue;
        if (action->menu()) {
            action->setVisible(search.isEmpty());
            continue;
        }
        if (seen.contains(action->text()))
            action->setVisible(false);
        else if (search.isEmpty())
            action->setVisible(false);
        else
            action->setVisible(action->text().contains(search, Qt::CaseInsensitive));
        seen.insert(action->text());
    }
}

void DeviceMapWidget::createTypeFromSearch()
{
    QList<QAction*> visible;
    const QList<QAction*> actions = newDeviceMenu->actions();
    for (QAction* action : actions) {
        if (!qobject_cast<QWidgetAction*>(action) && action->isVisible())
            visible.append(action);
    }
    if (visible.size() != 1)
        return;
    pushOperation(new CreateDeviceOperation(this, visible.first()->objectName(), pressScenePos));
    sceneMenu.close();
}

// ---------------------------------------------------------------------------------------------
// Scene building

void DeviceMapWidget::createGraph()
{
    QSettings layout(layoutFile, QSettings::IniFormat);
    initialiseScene();

    int x = 0;
    int y = 0;
    const QStringList names = deviceManager->getDeviceNames();
    // Each manager look-up walks its whole device list; the links below reuse these infos.
    QList<DeviceInfo> infos;
    infos.reserve(names.size());
    for (const QString& name : names) {
        infos.append(deviceManager->getDeviceInfo(name));
        const DeviceInfo& info = infos.last();
        const double minWidth = calcDeviceMinWidth(info) + 4;
        const int width = minWidth > 30 ? int(minWidth) : 30;
        const QRect defaultRect(x, y, width, 30);
        const QRect rect = layout.value(deviceRectKey(name), defaultRect).toRect();
        unitedSceneWithRect(QRectF(rect));
        createDeviceItem(info, rect, layout);
        x += 60;
        if (x > 299) {
            x = 0;
            y += 40;
        }
    }

    for (int i = 0; i < names.size(); ++i) {
        const QString& name = names.at(i);
        QSet<QString> done;
        for (const Connection& connection : qAsConst(infos.at(i).outgoingConnections)) {
            if (done.contains(connection.device))
                continue;
            done.insert(connection.device);
            // initialised() may come again: a link already drawn keeps its item.
            if (getConnection(name, connection.device))
                continue;
            const QList<QPointF> bends =
                parseBends(layout.value(bendsKey(name, connection.device)).toStringList());
            createConnection(name, connection.device, bends);
            if (getConnection(connection.device, name) && bends.isEmpty())
                splitConnections(name, connection.device);
        }
    }

    const QStringList clusterNames = layout.value(clusterNamesKey).toStringList();
    for (const QString& clusterName : clusterNames) {
        if (clusterItems.contains(clusterName))
            continue;
        createCluster(clusterName, layout.value(clusterKey(clusterName, "rect")).toRectF());
        clusterItems.value(clusterName)
            ->setMovesContainedDevices(layout.value(clusterKey(clusterName, "movesContainedDevices"), true).toBool());
    }

    const int storedType = layout.value(layoutTypeKey, 0).toInt();
    currentLayoutType = storedType >= Orthogonal && storedType <= FixedClusters ? LayoutType(storedType) : Orthogonal;

    setColorisationMode(ByState);
}

void DeviceMapWidget::initialiseScene()
{
    const QRectF current = scene()->sceneRect();
    if (current.width() != 0 || current.height() != 0)
        return;
    QSettings layout(layoutFile, QSettings::IniFormat);
    QRectF rect = layout.value(sceneRectKey, QRectF(0, 0, 1200, 1000)).toRectF();
    if (rect.width() - rect.x() < 1000)
        rect.setWidth(1000);
    if (rect.height() - rect.y() < 600)
        rect.setHeight(600);
    setSceneRects(rect);
}

void DeviceMapWidget::setSceneRects(const QRectF& rect)
{
    setSceneRect(rect);
    scene()->setSceneRect(rect);
}

void DeviceMapWidget::createDeviceItem(const DeviceInfo& info, const QRect& rect, const QPointF& point)
{
    Q_UNUSED(point)
    QSettings layout(layoutFile, QSettings::IniFormat);
    createDeviceItem(info, rect, layout);
}

void DeviceMapWidget::createDeviceItem(const DeviceInfo& info, const QRect& rect, QSettings& layout)
{
    initialiseScene();
    unitedSceneWithRect(QRectF(rect));
    if (deviceItems.contains(info.name))
        return;

    auto item = new DeviceNodeItem(info, QRectF(0, 0, rect.width(), rect.height()));
    scene()->addItem(item);
    const QRect stored = layout.value(deviceRectKey(info.name), unplacedRect).toRect();
    if (stored.width() == -1 || stored.height() == -1)
        item->unplaceDevice();
    else
        item->placeDevice(QPointF(stored.x(), stored.y()));
    deviceItems.insert(info.name, item);
}

double DeviceMapWidget::calcDeviceMinWidth(const DeviceInfo& info) const
{
    const QFontMetricsF mainMetrics(font());
    const QFontMetricsF smallMetrics(smallFont);
    return qMax(mainMetrics.horizontalAdvance(info.description), smallMetrics.horizontalAdvance(info.type));
}

// ---------------------------------------------------------------------------------------------
// Reactions to the device manager

void DeviceMapWidget::deviceRegistered(QString name)
{
    const DeviceInfo info = deviceManager->getDeviceInfo(name);
    if (!info.name.isEmpty() && !deviceItems.contains(name))
        createDeviceItem(info, QRect(0, 0, 30, 30), QPointF(0, 0));
    if (deviceItems.contains(name))
        _updateItem(deviceItems.value(name));
}

void DeviceMapWidget::deviceChanged(QString name)
{
    const DeviceInfo info = deviceManager->getDeviceInfo(name);
    if (info.name.isEmpty())
        return;
    if (!deviceItems.contains(info.name))
        deviceRegistered(name);
    DeviceNodeItem* item = deviceItems.value(info.name);
    if (!item)
        return;
    item->setDeviceInfo(info);

    for (const Connection& connection : info.outgoingConnections) {
        if (!deviceItems.contains(connection.device))
            deviceRegistered(connection.device);
        DeviceNodeItem* target = deviceItems.value(connection.device);
        if (target && !getConnection(info.name, connection.device))
            createConnection(info.name, connection.device, QList<QPointF>());
    }

    // A link can only have gone at the reported device, one of its two ends: re-checking every link
    // of the map would ask the manager about every source on each report, seconds on a large map.
    // One look-up per source, as each walks the manager's device list.
    QHash<QString, QSet<QString>> targetsOfSource;
    const QList<DeviceConnectionItem*> links = connectionItems;
    for (DeviceConnectionItem* link : links) {
        if (link->getNodeFrom() != item && link->getNodeTo() != item)
            continue;
        const QString sourceName = link->getNodeFrom()->devName();
        auto targets = targetsOfSource.find(sourceName);
        if (targets == targetsOfSource.end()) {
            targets = targetsOfSource.insert(sourceName, QSet<QString>());
            const DeviceInfo sourceInfo = deviceManager->getDeviceInfo(sourceName);
            for (const Connection& connection : sourceInfo.outgoingConnections)
                targets->insert(connection.device);
        }
        if (!targets->contains(link->getNodeTo()->devName()))
            removeConnectionItem(link);
    }
    viewport()->update();
}

void DeviceMapWidget::removeConnectionItem(DeviceConnectionItem* link)
{
    if (hoveredItem == link)
        hoveredItem = nullptr;
    movedBendingPoint.remove(link);
    if (movedBendingPoint.isEmpty())
        bendingPointsAtPress.clear();
    if (copyCursorItem == link)
        copyCursorItem = nullptr;
    scene()->removeItem(link);
    connectionItems.removeAll(link);
    const QPair<DeviceNodeItem*, DeviceNodeItem*> ends(link->getNodeFrom(), link->getNodeTo());
    if (linkIndex.value(ends) == link) {
        linkIndex.remove(ends);
        for (DeviceConnectionItem* other : qAsConst(connectionItems)) {
            if (other->getNodeFrom() == ends.first && other->getNodeTo() == ends.second) {
                linkIndex.insert(ends, other);
                break;
            }
        }
    }
    delete link;
}

void DeviceMapWidget::deviceRemoved(QString name)
{
    DeviceNodeItem* item = deviceItems.value(name);
    if (!deviceItems.contains(name))
        return;

    const QList<DeviceConnectionItem*> links = connectionItems;
    for (DeviceConnectionItem* link : links) {
        if (link->getNodeFrom() == item || link->getNodeTo() == item)
            removeConnectionItem(link);
    }
    if (item && hoveredItem == item)
        hoveredItem = nullptr;

    QStringList unplaced = DeviceNodeItem::getUnplacedDevices();
    unplaced.removeOne(item ? item->devName() : name);
    DeviceNodeItem::setUnplacedDevices(unplaced);

    deviceItems.remove(name);
    if (item) {
        forgetDeviceItem(item);
        scene()->removeItem(item);
        delete item;
    }
    connectionSource.clear();
    viewport()->update();
}

// Everything besides the item and link tables that may still point at a device item that goes.
void DeviceMapWidget::forgetDeviceItem(DeviceNodeItem* item)
{
    if (tempConnection && tempConnection->getNodeFrom() == item)
        cancelConnectionDrawing();
    if (settingsItem == item)
        settingsItem = nullptr;
    if (currentTemporaryDevice == item)
        currentTemporaryDevice = nullptr;
    if (copyCursorItem == item)
        copyCursorItem = nullptr;
    for (int i = foundDevices.size() - 1; i >= 0; --i) {
        if (foundDevices.at(i) == item)
            foundDevices.removeAt(i);
    }
    devicePositionsAtPress.remove(item->devName());
}

void DeviceMapWidget::forgetClusterItem(ClusterRectItem* item)
{
    if (hoveredItem == item)
        hoveredItem = nullptr;
    if (stretchedCluster == item)
        stretchedCluster = nullptr;
    if (copyCursorItem == item)
        copyCursorItem = nullptr;
    clusterPositionsAtPress.remove(item->getName());
}

// A link being drawn from a device that goes cannot be finished: drop the rubber line.
void DeviceMapWidget::cancelConnectionDrawing()
{
    if (tempConnection) {
        if (hoveredItem == tempConnection)
            hoveredItem = nullptr;
        scene()->removeItem(tempConnection);
        delete tempConnection;
        tempConnection = nullptr;
    }
    if (tempEndNode) {
        scene()->removeItem(tempEndNode);
        delete tempEndNode;
        tempEndNode = nullptr;
    }
    drawingConnection = false;
    connectionSource.clear();
    if (colorisationMode == ByConnectivity)
        setColorisationMode(previousColorisationMode);
}

void DeviceMapWidget::deviceRenamed(QString oldName, QString newName)
{
    if (deviceItems.contains(oldName)) {
        DeviceNodeItem* item = deviceItems.take(oldName);
        if (item) {
            item->setDeviceName(newName);
            deviceItems.insert(newName, item);
            _updateItem(item);
        }
        QStringList unplaced = DeviceNodeItem::getUnplacedDevices();
        if (unplaced.contains(oldName)) {
            unplaced.removeOne(oldName);
            unplaced.prepend(newName);
        }
        DeviceNodeItem::setUnplacedDevices(unplaced);
        viewport()->update();
    }
    connectionSource.clear();
}

void DeviceMapWidget::deviceInitialised(QString name, bool success)
{
    Q_UNUSED(success)
    if (deviceItems.contains(name))
        _updateItem(deviceItems.value(name));
    viewport()->update();
}

void DeviceMapWidget::deviceDescriptionChanged(QString name, QString description)
{
    DeviceNodeItem* item = deviceItems.value(name);
    if (!item)
        return;
    item->setLabel(description);
    _updateItem(item);
}

void DeviceMapWidget::deviceStateChanged(QString name, BaseDevice::DeviceState state)
{
    Q_UNUSED(state)
    if (deviceItems.contains(name))
        coloriseDeviceItem(name);
}

void DeviceMapWidget::connectionActivated(QString provider, QString receiver)
{
    if (DeviceConnectionItem::getActivityType() == DeviceConnectionItem::NotActive)
        return;
    DeviceConnectionItem* link = getConnection(provider, receiver);
    if (!link)
        return;
    link->onEmit();
    link->update(QRectF());
}

void DeviceMapWidget::_updateItem(DeviceNodeItem* item)
{
    if (!item)
        item = settingsItem.data();
    if (!item)
        return;
    settingsItem = nullptr;
    QString name = deviceItems.key(item);
    const DeviceInfo info = deviceManager->getDeviceInfo(name);
    item->setDeviceName(name);
    item->setDeviceInfo(info);
    coloriseDeviceItem(name);
    item->calcDeviceSize();
    item->update(item->boundingRect());
}

// ---------------------------------------------------------------------------------------------
// Links

void DeviceMapWidget::createConnection(const QString& from, const QString& to, const QList<QPointF>& bends)
{
    DeviceNodeItem* source = deviceItems.value(from);
    DeviceNodeItem* target = deviceItems.value(to);
    if (!source || !target)
        return;
    auto link = new DeviceConnectionItem(source, target, bends);
    link->setZValue(0);
    connectionItems.append(link);
    if (!linkIndex.contains({source, target}))
        linkIndex.insert({source, target}, link);
    scene()->addItem(link);
}

DeviceConnectionItem* DeviceMapWidget::getConnection(const QString& from, const QString& to) const
{
    DeviceNodeItem* source = deviceItems.value(from);
    DeviceNodeItem* target = deviceItems.value(to);
    if (!source || !target)
        return nullptr;
    return linkIndex.value({source, target});
}

void DeviceMapWidget::splitConnections(const QString& a, const QString& b)
{
    DeviceConnectionItem* first = getConnection(a, b);
    DeviceConnectionItem* second = getConnection(b, a);
    if (!first || !second) {
        qWarning().noquote() << "Can not split connections. One of the connections does not exist.";
        return;
    }
    if (first->getBendingPoints().isEmpty() && second->getBendingPoints().isEmpty()) {
        first->split();
        second->split();
        return;
    }
    qWarning().noquote() << QString::fromUtf8("\xD0\xA1" "an not split a connections with bending points.");
}

QStringList DeviceMapWidget::getConnectionSignals(const QString& target, const QString& source) const
{
    return connectionMethods(target, source, &Connection::signal);
}

QStringList DeviceMapWidget::getConnectionSlots(const QString& target, const QString& source) const
{
    return connectionMethods(target, source, &Connection::slot);
}

QStringList DeviceMapWidget::connectionMethods(const QString& target, const QString& source,
                                               QString Connection::*method) const
{
    QStringList result;
    const DeviceInfo info = deviceManager->getDeviceInfo(target);
    for (const Connection& connection : info.incomingConnections) {
        if (connection.device == source)
            result.append(connection.*method);
    }
    return result;
}

void DeviceMapWidget::getConnectedDevices(const QString& name, QMap<QString, bool>& marks) const
{
    DeviceNodeItem* item = deviceItems.value(name);
    if (!item)
        return;
    marks[name] = true;
    const DeviceInfo& info = item->devInfo();
    QList<Connection> peers = info.incomingConnections;
    peers.append(info.outgoingConnections);
    for (const Connection& connection : qAsConst(peers)) {
        DeviceNodeItem* peer = deviceItems.value(connection.device);
        if (peer && peer->isUnplaced() && !marks.value(connection.device))
            getConnectedDevices(connection.device, marks);
    }
}

// ---------------------------------------------------------------------------------------------
// Scene rectangle and clusters

void DeviceMapWidget::unitedSceneWithRect(const QRectF& rect)
{
    const QRectF grown = rect.adjusted(-16, -16, 16, 16);
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
    // A second cluster of the same name replaces the first; the old item must not stay behind.
    if (ClusterRectItem* old = clusterItems.take(name)) {
        forgetClusterItem(old);
        scene()->removeItem(old);
        delete old;
    }
    auto cluster = new ClusterRectItem(name, QRectF(0, 0, rect.width(), rect.height()), nullptr);
    cluster->setPos(rect.topLeft());
    cluster->setColor(Qt::darkGreen);
    cluster->setZValue(-1.0);
    cluster->setFlags(QGraphicsItem::ItemIsMovable | QGraphicsItem::ItemSendsScenePositionChanges);
    scene()->addItem(cluster);
    clusterItems.insert(name, cluster);
}

DevicesArrangement DeviceMapWidget::getDevicesArrangement(const QList<QGraphicsItem*>& items) const
{
    DevicesArrangement arrangement;
    QSet<QString> names;
    QPointF centerSum;
    int count = 0;
    for (QGraphicsItem* graphicsItem : items) {
        auto item = dynamic_cast<DeviceNodeItem*>(graphicsItem);
        if (!item)
            continue;
        const QRectF rect = item->boundingRect().translated(item->pos());
        arrangement.deviceRects.insert(item->devName(), rect);
        arrangement.devicesRect = arrangement.devicesRect | rect;
        centerSum += item->getCenter();
        ++count;
        names.insert(item->devName());
    }
    for (auto it = clusterItems.cbegin(); it != clusterItems.cend(); ++it) {
        const QRectF rect = it.value()->rect().translated(it.value()->pos());
        arrangement.clusterRects.insert(it.key(), rect);
        arrangement.clustersRect = arrangement.clustersRect | rect;
    }
    arrangement.boundingRect = arrangement.devicesRect | arrangement.clustersRect;
    if (count > 0)
        arrangement.center = centerSum / count;

    auto addConnection = [&](const QString& from, const QString& to) {
        ItemsConnection candidate;
        candidate.from = from;
        candidate.to = to;
        if (DeviceConnectionItem* link = getConnection(from, to))
            candidate.bendingPoints = link->getBendingPoints();
        if (!arrangement.connections.contains(candidate))
            arrangement.connections.append(candidate);
    };
    for (const QString& name : qAsConst(names)) {
        DeviceInfo info = deviceManager->getDeviceInfo(name);
        for (int i = info.incomingConnections.size() - 1; i >= 0; --i) {
            if (!names.contains(info.incomingConnections.at(i).device))
                info.incomingConnections.removeAt(i);
        }
        for (int i = info.outgoingConnections.size() - 1; i >= 0; --i) {
            if (!names.contains(info.outgoingConnections.at(i).device))
                info.outgoingConnections.removeAt(i);
        }
        for (const Connection& connection : qAsConst(info.incomingConnections))
            addConnection(connection.device, name);
        for (const Connection& connection : qAsConst(info.outgoingConnections))
            addConnection(name, connection.device);
        arrangement.devices.append(info);
    }
    return arrangement;
}

DevicesArrangement DeviceMapWidget::getAllDevicesArrangement() const
{
    QList<QGraphicsItem*> placed;
    for (DeviceNodeItem* item : deviceItems) {
        if (item && !item->isUnplaced())
            placed.append(item);
    }
    return getDevicesArrangement(placed);
}

// ---------------------------------------------------------------------------------------------
// Layout file

void DeviceMapWidget::saveLayout()
{
    QSettings layout(layoutFile, QSettings::IniFormat);
    layout.clear();

    // The bounds of getAllDevicesArrangement(), without its per-link snapshot, which is far dearer.
    QRectF bounds;
    for (DeviceNodeItem* item : qAsConst(deviceItems)) {
        if (item && !item->isUnplaced())
            bounds = bounds | item->boundingRect().translated(item->pos());
    }
    for (ClusterRectItem* cluster : qAsConst(clusterItems))
        bounds = bounds | cluster->rect().translated(cluster->pos());
    const QRectF current = sceneRect();
    layout.setValue(sceneRectKey, QRect(int(current.x()), int(current.y()), int(bounds.right() + 50),
                                        int(bounds.bottom() + 50)));
    layout.setValue(layoutTypeKey, int(currentLayoutType));

    for (auto it = deviceItems.cbegin(); it != deviceItems.cend(); ++it) {
        DeviceNodeItem* item = it.value();
        if (!item)
            continue;
        if (item->isUnplaced()) {
            layout.setValue(deviceRectKey(it.key()), unplacedRect);
            continue;
        }
        const QRectF bounding = item->boundingRect();
        layout.setValue(deviceRectKey(it.key()), QRect(int(item->pos().x()), int(item->pos().y()),
                                                       int(bounding.width()), int(bounding.height())));
    }

    // QMap::key() is a linear search; one reverse table keeps the save linear in the links.
    QHash<const DeviceNodeItem*, QString> namesOfItems;
    namesOfItems.reserve(deviceItems.size());
    for (auto it = deviceItems.cbegin(); it != deviceItems.cend(); ++it)
        namesOfItems.insert(it.value(), it.key());
    for (DeviceConnectionItem* link : qAsConst(connectionItems)) {
        const QString from = namesOfItems.value(link->getNodeFrom());
        const QString to = namesOfItems.value(link->getNodeTo());
        const QList<QPointF> bends = link->getBendingPoints();
        if (from.isEmpty() || to.isEmpty() || bends.isEmpty())
            continue;
        QStringList texts;
        for (const QPointF& point : bends)
            texts.append(QStringLiteral("%0;%1").arg(point.x(), 0, 'g', -1).arg(point.y(), 0, 'g', -1));
        layout.setValue(bendsKey(from, to), texts);
    }

    layout.setValue(clusterNamesKey, QStringList(clusterItems.keys()));
    for (ClusterRectItem* cluster : qAsConst(clusterItems)) {
        const QRectF bounding = cluster->boundingRect();
        layout.setValue(clusterKey(cluster->getName(), "rect"),
                        QRect(int(cluster->pos().x()), int(cluster->pos().y()), int(bounding.width()),
                              int(bounding.height())));
        layout.setValue(clusterKey(cluster->getName(), "movesContainedDevices"),
                        cluster->getMovesContainedDevices());
    }

    layout.sync();
    if (layout.status() != QSettings::NoError)
        qWarning().noquote() << "DeviceMapWidget::saveLayout() | WARNING can not write the layout file |"
                             << layoutFile;
}

// ---------------------------------------------------------------------------------------------
// Commands

void DeviceMapWidget::onDelete()
{
    if (isWaitingForManager())
        return;
    const QList<QGraphicsItem*> selection = scene()->selectedItems();
    const bool wasReadonly = deviceManager->getReadonly();
    deviceManager->setReadonly(true);

    // Devices, clusters and bending points are removed by operations of their own, which this map
    // does not have yet: asking to confirm a deletion that then does not happen would mislead, so a
    // selection, and a device, cluster or bending point under the cursor, are left alone.
    if (selection.isEmpty()) {
        const QPoint point = mapFromGlobal(QCursor::pos()) - QPoint(1, 1);
        const QPointF scenePoint = mapToScene(point);
        QGraphicsItem* found = scene()->itemAt(scenePoint, transform());
        deviceManager->setReadonly(wasReadonly);
        deviceManager->saveYamlConfig();
        if (auto link = dynamic_cast<DeviceConnectionItem*>(found)) {
            // A bending point under the cursor is removed on its own, by its own operation.
            if (!link->isInBendingPointsArea(scenePoint).isNull())
                return;
            const QString source = deviceItems.key(link->getNodeFrom());
            const QString target = deviceItems.key(link->getNodeTo());
            pushOperation(new RemoveConnectionOperation(this, target, source, getConnectionSignals(target, source),
                                                        getConnectionSlots(target, source),
                                                        link->getBendingPoints()));
        }
    }
    deviceManager->setReadonly(wasReadonly);
    deviceManager->saveYamlConfig();
}

void DeviceMapWidget::initSelectedDevices()
{
    setSelectedDevicesInitialised(true);
}

void DeviceMapWidget::deinitSelectedDevices()
{
    setSelectedDevicesInitialised(false);
}

// With nothing selected every device is asked, whatever its state; a selected device only when
// its state differs.
void DeviceMapWidget::setSelectedDevicesInitialised(bool initialised)
{
    auto apply = [this, initialised](const QString& name) {
        if (initialised)
            deviceManager->initialiseDevice(name);
        else
            deviceManager->deinitialiseDevice(name);
    };
    const QList<QGraphicsItem*> selection = scene()->selectedItems();
    if (selection.isEmpty()) {
        const QStringList names = deviceManager->getDeviceNames();
        for (const QString& name : names)
            apply(name);
        return;
    }
    for (QGraphicsItem* graphicsItem : selection) {
        auto item = dynamic_cast<DeviceNodeItem*>(graphicsItem);
        if (!item)
            continue;
        const auto handle = deviceManager->getDeviceHandle(item->devName());
        if (handle && handle->isInitialised() != initialised)
            apply(item->devName());
    }
}

// ---------------------------------------------------------------------------------------------
// Colourisation and legends

DeviceMapWidget::ColorisationMode DeviceMapWidget::getColorisationMode() const
{
    return colorisationMode;
}

void DeviceMapWidget::setColorisationMode(DeviceMapWidget::ColorisationMode mode)
{
    if (mode != colorisationMode)
        previousColorisationMode = colorisationMode;
    colorisationMode = mode;
    Q_EMIT colorModeChanged(mode);
    colorsMap.clear();
    const QStringList names = deviceItems.keys();
    for (const QString& name : names)
        coloriseDeviceItem(name);
}

void DeviceMapWidget::coloriseDeviceItem(const QString& name)
{
    DeviceNodeItem* item = deviceItems.value(name);
    if (!item)
        return;
    // Every manager look-up walks its device list and recolouring touches every device: ask
    // only for what the mode in force reads.
    const bool readsInfo = colorisationMode != ByState && colorisationMode != BySearch;
    const DeviceInfo info = readsInfo ? deviceManager->getDeviceInfo(name) : DeviceInfo();

    QColor color;
    switch (colorisationMode) {
    case ByState: {
        const BaseDevice::DeviceState state = deviceManager->getDeviceState(name);
        colorsMap.insert(tr("Device is initialized "), QColor(Qt::darkGreen));
        colorsMap.insert(tr("Device deinitialized with an error "), QColor(Qt::darkRed));
        colorsMap.insert(tr("Device deinitialized without an error "), QColor(Qt::darkGray));
        if (int(state) == 1)
            color = Qt::darkGreen;
        else if (int(state) == 4)
            color = Qt::darkRed;
        else if (int(state) == 2)
            color = QColor(Qt::yellow).darker(130);
        else
            color = Qt::darkGray;
        break;
    }
    case ByConnectivity: {
        const QColor highlight = palette().color(QPalette::Highlight);
        colorsMap.insert(tr("Can't connect "), QColor(Qt::darkRed));
        colorsMap.insert(tr("Auto connection "), QColor(Qt::darkGreen));
        colorsMap.insert(tr("Manual connection "), highlight);
        if (connectionSource.isEmpty())
            break;
        if (info.name == connectionSource) {
            color = Qt::darkRed;
            break;
        }
        const int match = deviceManager->findMatchingMethods(connectionSource, info.name, QString(), QString(),
                                                             nullptr, nullptr);
        bool alreadyFed = false;
        const DeviceInfo sourceInfo = deviceManager->getDeviceInfo(connectionSource);
        for (const Connection& connection : sourceInfo.outgoingConnections)
            alreadyFed = alreadyFed || connection.device == info.name;
        if (alreadyFed || match == 0)
            color = Qt::darkRed;
        else if (match >= 2 && match <= 4)
            color = Qt::darkGreen;
        else
            color = highlight;
        break;
    }
    case ByThread:
        if (!colorsMap.contains(info.thread))
            colorsMap.insert(info.thread, generatedColor(colorsMap.size() + 7));
        color = colorsMap.value(info.thread);
        break;
    case BySearch: {
        colorsMap.insert(tr("Match "), QColor(Qt::darkGreen));
        colorsMap.insert(tr("No match "), QColor(Qt::darkRed));
        colorsMap.insert(tr("Current device "), palette().color(QPalette::Highlight));
        if (foundDevices.contains(item)) {
            color = Qt::darkGreen;
        } else {
            item->setSelected(false);
            color = Qt::darkRed;
        }
        break;
    }
    case ByNetwork: {
        if (!info.name.contains(QLatin1Char('@'))) {
            color = Qt::red;
            colorsMap.insert(tr("No network device manager "), QColor(Qt::red));
            break;
        }
        const QString key = info.name.split(QLatin1Char('@')).value(1);
        if (!colorsMap.contains(key))
            colorsMap.insert(key, generatedColor(colorsMap.size() + 8));
        color = colorsMap.value(key);
        break;
    }
    case ByArea: {
        if (auto device = qobject_cast<BaseGuiDevice*>(deviceManager->getDevice(info.name))) {
            const QString key = device->getArea();
            if (!colorsMap.contains(key))
                colorsMap.insert(key, generatedColor(colorsMap.size() + 7));
            color = colorsMap.value(key);
        }
        break;
    }
    }

    item->setHighlightColor(color);
    item->update(item->boundingRect());
}

void DeviceMapWidget::switchLegend()
{
    legendState = (legendState + 1) % 3;
    viewport()->repaint();
    Q_EMIT legendToggled(legendState != 2);
}

QMap<QString, QPixmap> DeviceMapWidget::transformColorsMap() const
{
    QMap<QString, QPixmap> legend;
    for (auto it = colorsMap.cbegin(); it != colorsMap.cend(); ++it) {
        QPixmap picture(30, 20);
        QColor fill = it.value();
        fill.setAlpha(150);
        picture.fill(fill);
        QPainter painter(&picture);
        painter.setPen(QPen(QBrush(palette().color(QPalette::Text)), 2.0, Qt::SolidLine, Qt::SquareCap, Qt::BevelJoin));
        painter.drawRect(QRect(0, 0, 30, 20));
        painter.end();
        legend.insert(it.key(), picture);
    }
    return legend;
}

void DeviceMapWidget::showLegendFromMap(QPainter& painter, QFontMetricsF metrics, QMap<QString, QPixmap> legend)
{
    const int viewportHeight = viewport()->height();
    const int count = legend.size();
    double widest = 0;
    double totalHeight = 0;
    for (const QPixmap& picture : qAsConst(legend)) {
        widest = qMax(widest, double(picture.width()));
        totalHeight += picture.height();
    }
    const bool searchKeys = colorisationMode == BySearch && legendState != 0;
    const double margin = searchKeys ? 90.0 : 20.0;
    const double top = viewportHeight - count * 15.0 - margin - totalHeight;
    const QColor textColor = palette().color(QPalette::Text);

    auto drawText = [&](const QString& text, double x, double pictureTop, int pictureHeight) {
        painter.setPen(textColor);
        painter.drawText(QRectF(int(x), int(pictureTop + pictureHeight / 2 - metrics.height() * 0.5),
                                int(metrics.horizontalAdvance(text)), int(metrics.height())),
                         text, QTextOption());
    };

    double heightBefore = 0;
    int row = 0;
    for (auto it = legend.cbegin(); it != legend.cend(); ++it, ++row) {
        const QPixmap& picture = it.value();
        const double x = widest + 20.0 - picture.width();
        const double y = top + row * 15.0 + heightBefore;
        painter.drawPixmap(QRect(int(x), int(y), picture.width(), picture.height()), picture);
        drawText(it.key(), x + picture.width() + 15.0, y, picture.height());
        heightBefore += picture.height();
    }

    if (searchKeys) {
        const QPixmap previous(QStringLiteral(":/hotkeys/dozerozozu_previousDeviceHotkey"));
        const QPixmap next(QStringLiteral(":/hotkeys/dozerozozu_nextDeviceHotkey"));
        const int rowTop = int(top + count * 15.0 + totalHeight);
        painter.drawPixmap(QRect(20, rowTop, previous.width(), previous.height()), previous);
        drawText(QStringLiteral("Previous device "), previous.width() + 35.0, rowTop, previous.height());
        const QRect nextRect(int(20 + previous.width() - next.width()), rowTop + previous.height(), next.width(),
                             next.height());
        painter.drawPixmap(nextRect, next);
        drawText(QStringLiteral("Next device "), nextRect.right() + 1 + 15.0, nextRect.top(), next.height());
    }

    const QPixmap switchPicture(QStringLiteral(":/hotkeys/dozerozozu_switchLegendHotkey"));
    const int switchTop = int(viewportHeight - 30.0);
    painter.drawPixmap(QRect(20, switchTop, switchPicture.width(), switchPicture.height()), switchPicture);
    drawText(tr("Switch legend "), switchPicture.width() + 35.0, switchTop, switchPicture.height());
}

void DeviceMapWidget::searchDevices(const QString& text)
{
    foundDevices.clear();
    if (text.isEmpty()) {
        setColorisationMode(previousColorisationMode);
        return;
    }
    const QStringList words = text.split(QLatin1Char(' '));
    QList<DeviceNodeItem*> found;
    for (auto it = deviceItems.cbegin(); it != deviceItems.cend(); ++it) {
        const DeviceInfo info = deviceManager->getDeviceInfo(it.key());
        const QString type = info.type.toLower();
        const QString description = info.description.toLower();
        const QString name = info.name.toLower();
        bool matches = false;
        for (const QString& word : words) {
            if (word.isEmpty())
                continue;
            const QString lower = word.toLower();
            matches = matches || type.contains(lower) || description.contains(lower) || name.contains(lower);
        }
        if (matches && it.value())
            found.append(it.value());
    }
    std::sort(found.begin(), found.end(), compareItemsByPos);
    for (DeviceNodeItem* item : qAsConst(found))
        foundDevices.append(item);
    setColorisationMode(BySearch);
}

// ---------------------------------------------------------------------------------------------
// Events. Mouse, key, drag and scale handling come with the interaction code; until then the
// view behaves as a plain graphics view.

bool DeviceMapWidget::event(QEvent* event)
{
    // Deleting the map inside an operation's wait would delete the running operation with its
    // undo stack; the deletion is done once the wait is over.
    if (event->type() == QEvent::DeferredDelete && isWaitingForManager()) {
        deleteAfterWait = true;
        return true;
    }
    return QGraphicsView::event(event);
}

void DeviceMapWidget::mousePressEvent(QMouseEvent* event)
{
    QGraphicsView::mousePressEvent(event);
}

void DeviceMapWidget::mouseReleaseEvent(QMouseEvent* event)
{
    QGraphicsView::mouseReleaseEvent(event);
}

void DeviceMapWidget::mouseMoveEvent(QMouseEvent* event)
{
    QGraphicsView::mouseMoveEvent(event);
}

void DeviceMapWidget::wheelEvent(QWheelEvent* event)
{
    QGraphicsView::wheelEvent(event);
}

void DeviceMapWidget::keyPressEvent(QKeyEvent* event)
{
    QGraphicsView::keyPressEvent(event);
}

void DeviceMapWidget::paintEvent(QPaintEvent* event)
{
    QGraphicsView::paintEvent(event);
    if (legendState == 2)
        return;

    QPainter painter(viewport());
    const QFontMetricsF metrics(font());
    const QColor textColor = palette().color(QPalette::Text);
    painter.setPen(textColor);
    LegendPainter legendPainter(&painter, metrics, LegendPainter::TextThenIcon, LegendPainter::LeftAligned, textColor);
    const int width = viewport()->width();
    const int height = viewport()->height();

    auto drawBottomLeft = [&](const QMap<QString, QPixmap>& legend) {
        const QSize size = legendPainter.getLegendSize(legend);
        legendPainter.drawLegend(QPoint(0, height - size.height()), legend);
    };

    if (legendState == 0) {
        QMap<QString, QPixmap> hotKeys;
        hotKeys.insert(tr("Zoom"), QPixmap(QStringLiteral(":/hotkeys/dozerozozu_zoomHotkey")));
        hotKeys.insert(tr("Horizontal scroll "), QPixmap(QStringLiteral(":/hotkeys/dozerozozu_horizontalScrollHotkey")));
        hotKeys.insert(tr("Long click "), QPixmap(QStringLiteral(":/hotkeys/dozerozozu_longClickHotkey")));
        hotKeys.insert(tr("Device/connection settings "), QPixmap(QStringLiteral(":/hotkeys/dozerozozu_settingsHotkey")));
        hotKeys.insert(tr("Connect devices "), QPixmap(QStringLiteral(":/hotkeys/dozerozozu_connectHotkey")));
        hotKeys.insert(tr("Switch legend "), QPixmap(QStringLiteral(":/hotkeys/dozerozozu_switchLegendHotkey")));
        drawBottomLeft(hotKeys);
        return;
    }

    if (colorisationMode == BySearch) {
        QMap<QString, QPixmap> searchKeys;
        searchKeys.insert(QStringLiteral("Next device "), QPixmap(QStringLiteral(":/hotkeys/dozerozozu_nextDeviceHotkey")));
        searchKeys.insert(QStringLiteral("Previous device "),
                          QPixmap(QStringLiteral(":/hotkeys/dozerozozu_previousDeviceHotkey")));
        searchKeys.insert(tr("Switch legend "), QPixmap(QStringLiteral(":/hotkeys/dozerozozu_switchLegendHotkey")));
        drawBottomLeft(searchKeys);
    }
    const QMap<QString, QPixmap> colors = transformColorsMap();
    const QSize size = legendPainter.getLegendSize(colors);
    legendPainter.drawLegend(QPoint(width - size.width(), 0), colors);
}

void DeviceMapWidget::resizeEvent(QResizeEvent* event)
{
    QGraphicsView::resizeEvent(event);
}

void DeviceMapWidget::closeEvent(QCloseEvent* event)
{
    Q_UNUSED(event)
    saveLayout();
}

void DeviceMapWidget::dragEnterEvent(QDragEnterEvent* event)
{
    QGraphicsView::dragEnterEvent(event);
}

void DeviceMapWidget::dragMoveEvent(QDragMoveEvent* event)
{
    QGraphicsView::dragMoveEvent(event);
}

void DeviceMapWidget::dragLeaveEvent(QDragLeaveEvent* event)
{
    QGraphicsView::dragLeaveEvent(event);
}

void DeviceMapWidget::dropEvent(QDropEvent* event)
{
    QGraphicsView::dropEvent(event);
}

void DeviceMapWidget::scrollContentsBy(int dx, int dy)
{
    QGraphicsView::scrollContentsBy(dx, dy);
}

void DeviceMapWidget::mouseClickEvent(QMouseEvent* event)
{
    Q_UNUSED(event)
}

void DeviceMapWidget::createContextMenuClicked() {}

void DeviceMapWidget::increaseScale()
{
    scale(1.25, 1.25);
}

void DeviceMapWidget::decreaseScale()
{
    scale(0.8, 0.8);
}

void DeviceMapWidget::resetScale()
{
    resetTransform();
}

void DeviceMapWidget::onCopy() {}

void DeviceMapWidget::onPaste(QPoint pastePos)
{
    Q_UNUSED(pastePos)
}

void DeviceMapWidget::onCreateCluster() {}

void DeviceMapWidget::longClickTimeout() {}
