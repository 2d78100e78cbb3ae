#include "MapMenus.h"

#include "CreateDeviceOperation.h"
#include "DeviceManager.h"
#include "DeviceMapParts.h"
#include "DeviceMapWidget.h"
#include "MapInteraction.h"
#include "ModalRunner.h"

#include <QLineEdit>
#include <QSet>
#include <QWidgetAction>

MapMenus::MapMenus(DeviceMapWidget& map)
    : QObject(nullptr)
    , map(map)
{
}

MapMenus::~MapMenus() = default;

QAction* MapMenus::run(QMenu& menu, const QPoint& globalPos)
{
    return ModalRunner::execMenu(&menu, globalPos);
}

void MapMenus::build()
{
    devices.setToolTipsVisible(true);
    devices.setDefaultAction(addEntry(devices, DeviceMapWidget::tr("Settings"), Entry::Settings));
    addEntry(devices, DeviceMapWidget::tr("Rename"), Entry::Rename);
    QAction* deleteAction = addEntry(devices, DeviceMapWidget::tr("Delete"), Entry::Delete);
    deleteAction->setShortcut(Qt::Key_Delete);
    QAction* connectAction = addEntry(devices, DeviceMapWidget::tr("Add connection"), Entry::AddConnection);
    connectAction->setToolTip(DeviceMapWidget::tr("Shift+Click"));
    QAction* copyAction = addEntry(devices, DeviceMapWidget::tr("Copy"), Entry::Copy);
    copyAction->setShortcut(QKeySequence(Qt::CTRL + Qt::Key_C));
    QAction* exportMetaAction = addEntry(devices, DeviceMapWidget::tr("Export meta device"), Entry::ExportMetaDevice);
    QAction* exportTemplateAction = addEntry(devices, DeviceMapWidget::tr("Export template"), Entry::ExportTemplate);
    QAction* initAction =
        devices.addAction(DeviceMapWidget::tr("Initialise"), &map, SLOT(initSelectedDevices()), QKeySequence());
    QAction* deinitAction =
        devices.addAction(DeviceMapWidget::tr("Deinitialise"), &map, SLOT(deinitSelectedDevices()), QKeySequence());

    selection.addAction(deleteAction);
    selection.addAction(copyAction);
    selection.addAction(exportMetaAction);
    selection.addAction(exportTemplateAction);
    selection.addAction(initAction);
    selection.addAction(deinitAction);
    QAction* clusterAction = addEntry(selection, DeviceMapWidget::tr("Create cluster"), Entry::CreateCluster);
    clusterAction->setShortcut(QKeySequence(Qt::CTRL + Qt::Key_K));
    devices.addAction(clusterAction);

    connections.setDefaultAction(addEntry(connections, DeviceMapWidget::tr("Edit"), Entry::EditConnection));
    addEntry(connections, DeviceMapWidget::tr("Delete"), Entry::DeleteConnection)->setShortcut(Qt::Key_Delete);
    addEntry(connections, DeviceMapWidget::tr("Add bending point"), Entry::AddBendingPoint);

    addEntry(bendingPoints, DeviceMapWidget::tr("Remove bending point"), Entry::RemoveBendingPoint);
    addEntry(bendingPoints, DeviceMapWidget::tr("Remove connection"), Entry::RemoveConnection);

    newDevice = scene.addMenu(DeviceMapWidget::tr("New device"));
    updateTypesMenu();
    QMenu* rearrangeMenu = scene.addMenu(DeviceMapWidget::tr("Rearrange layout"));
    addRearrangeEntry(*rearrangeMenu, DeviceMapWidget::tr("Orthogonal"), SLOT(onRearrangeOrthogonal()));
    addRearrangeEntry(*rearrangeMenu, DeviceMapWidget::tr("Hierarchical"), SLOT(onRearrangeHierarchical()));
    QMenu* clusteredMenu = rearrangeMenu->addMenu(DeviceMapWidget::tr("Clustered"));
    addRearrangeEntry(*clusteredMenu, DeviceMapWidget::tr("Cluster by IO"), SLOT(onRearrangeClusterByIO()));
    addRearrangeEntry(*clusteredMenu, DeviceMapWidget::tr("Cluster by GUI Area"), SLOT(onRearrangeClusterByArea()));
    addRearrangeEntry(*clusteredMenu, DeviceMapWidget::tr("Keep existing clusters"), SLOT(onRearrangeKeepClusters()));
    addEntry(scene, DeviceMapWidget::tr("Paste"), Entry::Paste)->setShortcut(QKeySequence(Qt::CTRL + Qt::Key_V));
}

// Queued: the rearrangement asks and waits for its layout, and the menu, mid-way through its own
// handling of the click, may go with the window meanwhile.
void MapMenus::addRearrangeEntry(QMenu& menu, const QString& text, const char* handler)
{
    QObject::connect(menu.addAction(text), SIGNAL(triggered()), &map, handler, Qt::QueuedConnection);
}

QAction* MapMenus::addEntry(QMenu& menu, const QString& text, Entry entry)
{
    QAction* action = menu.addAction(text);
    entries.insert(action, entry);
    return action;
}

void MapMenus::updateTypesMenu()
{
    if (searchCreating) {
        typesChangedMeanwhile = true;
        return;
    }
    newDevice->clear();
    for (const QPointer<QObject>& built : qAsConst(typesMenuContent))
        delete built.data();
    typesMenuContent.clear();

    auto searchAction = new QWidgetAction(newDevice);
    typesMenuContent.append(searchAction);
    auto searchField = new QLineEdit();
    searchField->addAction(QIcon(QStringLiteral(":/icons/dozerozozu_search")), QLineEdit::LeadingPosition);
    searchAction->setDefaultWidget(searchField);
    newDevice->addAction(searchAction);

    connect(newDevice, SIGNAL(aboutToShow()), searchField, SLOT(setFocus()));
    connect(newDevice, SIGNAL(aboutToHide()), searchField, SLOT(clear()));
    connect(searchField, &QLineEdit::textChanged, this, &MapMenus::filterTypesMenu);
    connect(searchField, &QLineEdit::returnPressed, this, &MapMenus::createTypeFromSearch);

    const QStringList types = map.getDeviceManager()->getDeviceTypes(true);
    for (const QString& type : types)
        createTypesMenu(newDevice, type, QString());
}

void MapMenus::createTypesMenu(QMenu* menu, const QString& typePath, const QString& prefix)
{
    QStringList parts = typePath.split(QLatin1Char('/'));
    const QString head = parts.takeFirst();
    QString label = head;
    if (!label.isEmpty())
        label[0] = label.at(0).toUpper();
    const QString key = prefix + QLatin1Char('/') + head;

    if (parts.isEmpty()) {
        QAction* shown = menu->addAction(label);
        shown->setObjectName(key);
        QAction* hidden = newDevice->addAction(label);
        hidden->setObjectName(key);
        hidden->setVisible(false);
        typesMenuContent.append(shown);
        typesMenuContent.append(hidden);
        return;
    }

    QMenu* sub = menu->findChild<QMenu*>(key, Qt::FindDirectChildrenOnly);
    if (!sub) {
        sub = menu->addMenu(label);
        sub->setObjectName(key);
        typesMenuContent.append(sub);
    }
    createTypesMenu(sub, parts.join(QLatin1Char('/')), key);
}

void MapMenus::filterTypesMenu(const QString& text)
{
    const QString search = text.simplified();
    QSet<QString> seen;
    const QList<QAction*> actions = newDevice->actions();
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

void MapMenus::createTypeFromSearch()
{
    QList<QAction*> visible;
    const QList<QAction*> actions = newDevice->actions();
    for (QAction* action : actions) {
        if (!qobject_cast<QWidgetAction*>(action) && action->isVisible())
            visible.append(action);
    }
    if (visible.size() != 1)
        return;
    QPointer<DeviceMapWidget> alive(&map);
    const QPointF position = DeviceMapParts(map).interaction().pressScenePos();
    searchCreating = true;
    map.pushOperation(new CreateDeviceOperation(&map, visible.first()->objectName(), position));
    // The operation waited for the manager: the map, and these menus with it, may be gone.
    if (!alive)
        return;
    searchCreating = false;
    if (typesChangedMeanwhile) {
        typesChangedMeanwhile = false;
        // From the event loop: the search field's key handling goes on after this returns.
        QMetaObject::invokeMethod(this, &MapMenus::updateTypesMenu, Qt::QueuedConnection);
    }
    // Ctrl+N runs the types menu on its own, without the scene menu around it.
    newDevice->close();
    scene.close();
}
