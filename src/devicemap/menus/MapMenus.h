#pragma once

#include "dozerozozu_export.h"

#include <QHash>
#include <QList>
#include <QMenu>
#include <QObject>
#include <QPointer>
#include <QString>

class DeviceMapWidget;

/**
 * The device map's five context menus and the "New device" menu of device types with its
 * search field.
 *
 * The menus are built once, with their texts and shortcuts; the click handling runs them
 * through ModalRunner::execMenu() and acts on the chosen action. The types menu is rebuilt
 * whenever the manager's device types change. Owned by the DeviceMapWidget; GUI thread only.
 */
class DOZEROZOZU_EXPORT MapMenus : public QObject
{
    Q_OBJECT

public:
    /// The entries of the five menus that the click handling acts on.
    enum class Entry {
        None,
        Settings,
        Rename,
        Delete,
        AddConnection,
        Copy,
        ExportMetaDevice,
        ExportTemplate,
        CreateCluster,
        EditConnection,
        DeleteConnection,
        AddBendingPoint,
        RemoveBendingPoint,
        RemoveConnection,
        Paste,
    };

    explicit MapMenus(DeviceMapWidget& map);
    ~MapMenus() override;

    QMenu& deviceMenu() { return devices; }
    QMenu& connectionMenu() { return connections; }
    QMenu& sceneMenu() { return scene; }
    QMenu& selectionMenu() { return selection; }
    QMenu& bendingPointMenu() { return bendingPoints; }
    /// The "New device" submenu of the scene menu.
    QMenu* newDeviceMenu() const { return newDevice; }
    /**
     * Which entry a chosen action is; None for the entries that act through their own
     * connection (Initialise, Deinitialise, the layouts), the device types and null.
     */
    Entry entryOf(const QAction* action) const { return entries.value(action, Entry::None); }

    /**
     * Runs menu at globalPos through ModalRunner::execMenu(), which tests answer, and returns
     * the chosen action or null. Every menu of the map runs this way. The run is a nested
     * event loop: the map, and this object with it, may be gone when it returns, so the
     * caller checks a QPointer to the map before it acts.
     */
    static QAction* run(QMenu& menu, const QPoint& globalPos);

    /// Builds the five menus; the map calls it once, when its manager is connected.
    void build();
    /// Replaces the content of the "New device" menu with the manager's current types.
    void updateTypesMenu();
    /// Files the type path under menu: one submenu per category, the type as an action.
    void createTypesMenu(QMenu* menu, const QString& typePath, const QString& prefix);

private:
    void filterTypesMenu(const QString& text);
    void createTypeFromSearch();
    QAction* addEntry(QMenu& menu, const QString& text, Entry entry);
    void addRearrangeEntry(QMenu& menu, const QString& text, const char* handler);

    DeviceMapWidget& map;
    QMenu devices;
    QMenu connections;
    QMenu scene;
    QMenu selection;
    QMenu bendingPoints;
    QMenu* newDevice = nullptr;
    QHash<const QAction*, Entry> entries;
    // What the last types-menu build put on newDevice; a rebuild deletes exactly these, never
    // the menu's own action that shows it in the scene menu.
    QList<QPointer<QObject>> typesMenuContent;
    // Return in the search field creates a device inside the field's own key handling, and the
    // types may change meanwhile; the rebuild, which deletes the field, waits until that is over.
    bool searchCreating = false;
    bool typesChangedMeanwhile = false;
};
