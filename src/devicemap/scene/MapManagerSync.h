#pragma once

#include "DeviceNodeItem.h"
#include "BaseDevice.h"
#include "DeviceInfo.h"
#include "dozerozozu_export.h"

#include <QPointer>
#include <QRect>
#include <QSet>
#include <QString>
#include <QStringList>

#include <memory>

class DeviceMapWidget;
class KeptDevicePlaces;
class MapLayoutFile;

/**
 * Builds the device map's scene from the manager and the layout file, keeps it in step
 * with the manager's signals (items appear when devices and links are reported, go when
 * they are reported gone, and follow renames, descriptions, states and activity) and
 * writes the layout file back, with the places of the devices the manager keeps without
 * showing them (KeptDevicePlaces) as the file had them.
 *
 * followManager() connects the manager's signals to the map's private slots, which forward
 * here. Items enter and leave
 * the map only through its MapItemIndex. Owned by the DeviceMapWidget; GUI thread only.
 */
class DOZEROZOZU_EXPORT MapManagerSync
{
public:
    /**
     * While one lives, the map only notes which devices the manager reports changed; when the
     * last one goes, each noted device has its links brought in step once. A run of manager
     * calls that joins or cuts many links at one device (a paste, a delete, their undo) so
     * costs what its links cost, not their number squared. Devices, renames and removals are
     * still followed at once; only the link checks wait, and the items removed leave the scene
     * together at the end (MapItemIndex::holdDeletions()). Nothing may wait for a link item,
     * nor process events, while one lives. Batches nest; a map deleted meanwhile is left alone.
     *
     *     MapManagerSync::Batch batch(map);
     *     for (const QString& name : names)
     *         manager->removeDevice(name);
     */
    class DOZEROZOZU_EXPORT Batch
    {
    public:
        explicit Batch(DeviceMapWidget* map);
        ~Batch();
        Batch(const Batch&) = delete;
        Batch& operator=(const Batch&) = delete;

    private:
        QPointer<DeviceMapWidget> map;
    };

    explicit MapManagerSync(DeviceMapWidget& map);
    ~MapManagerSync();

    /// Connects the manager's reports of its devices and types to the map's slots for them.
    void followManager();

    /// The whole scene: devices (placed from the layout file), links, clusters, layout type.
    void createGraph();
    /// Sets the scene rectangle from the layout file while the scene has none.
    void initialiseScene();
    /// Makes the device's item unless it has one, placed as the layout file says.
    void createDeviceItem(const DeviceInfo& info, const QRect& rect);
    void createDeviceItem(const DeviceInfo& info, const QRect& rect, const MapLayoutFile& layout);
    /// The wider of the description in the view's font and the type in the small font.
    double calcDeviceMinWidth(const DeviceInfo& info) const;

    void deviceRegistered(const QString& name);
    void deviceChanged(const QString& name);
    void deviceRemoved(const QString& name);
    void deviceRenamed(const QString& oldName, const QString& newName);
    void deviceInitialised(const QString& name);
    void deviceDescriptionChanged(const QString& name, const QString& description);
    void deviceStateChanged(const QString& name);
    void connectionActivated(const QString& provider, const QString& receiver);
    /// Refreshes one item from the manager; null stands for the settings item, which is cleared.
    void updateItem(DeviceNodeItem* item);

    /// The device whose settings dialog was opened last; refreshed when the dialog closes.
    DeviceNodeItem* settingsItem() const { return settingsDevice.data(); }
    void setSettingsItem(DeviceNodeItem* item) { settingsDevice = item; }
    /// Connected to MapItemIndex::itemAboutToBeRemoved().
    void forget(HoverableItem* item);

    /**
     * Rewrites the layout file; false (and a warning) when it could not be written. Until the
     * scene has been built from the file (createGraph()), the file is left alone and true is
     * returned: a map closed before its manager reported the graph would wipe every place.
     */
    bool saveLayout();
    /// Whether createGraph() has built the scene from the layout file.
    bool isSceneBuilt() const { return sceneBuilt; }

private:
    /// The manager has a graph anew: the places of the devices it keeps come from the file again.
    void graphLoaded();
    void beginBatch();
    void endBatch();
    /// The layout file as it was when the batch first needed it: read once, not once per device.
    const MapLayoutFile& layoutOfBatch();
    /// Adds the links the device's description lists and drops those at it that it no longer lists.
    void bringLinksInStep(const QString& name);
    void initialiseScene(const MapLayoutFile& layout);
    /// Sizes the scene's index for the items it holds.
    void fitSceneIndex();
    void refitSceneIndexWhenGrown();
    /// Adds the item, placed at the stored rectangle's corner or unplaced by its form; with
    /// placedBeforeAdding it may be placed before it joins the scene (building the scene).
    /// Unless filed is false the item index files it; the build files its items in one go.
    DeviceNodeItem* addDeviceItem(DeviceInfo info, const QRect& rect, const QRect& stored,
                                  bool placedBeforeAdding = false, bool filed = true);

    DeviceMapWidget& map;
    // Guarded: the device may be removed while its settings dialog is still open.
    QPointer<DeviceNodeItem> settingsDevice;
    // The number of items the scene's index was last sized for.
    int indexFittedFor = 64;
    bool sceneBuilt = false;
    int batchDepth = 0;
    // Devices reported changed during the batches, in the order of their first report.
    QStringList changedInBatch;
    QSet<QString> noted;
    std::unique_ptr<MapLayoutFile> batchLayout;
    std::unique_ptr<KeptDevicePlaces> keptPlaces;
};
