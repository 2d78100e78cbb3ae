#pragma once

#include "dozerozozu_export.h"

#include <QPointer>
#include <QString>

class DeviceManager;
class DeviceMapWidget;
class MapSaveNotices;

/**
 * Keeps the map's two files in step: the layout file, which the map writes, and the device
 * graph, which the device manager writes for the map's edits. They name the same devices, so
 * one written without the other loses work: a rename that reached only the layout file leaves
 * the renamed device without a place at the next start.
 *
 * So once a save failed, its file is behind, and every later save of the map, of either kind,
 * writes it too, until it has been written; closing the map (its own close, its window's, the
 * application's quit) writes whatever is behind a last time, and when that still fails the
 * host hears so at once (MapSaveNotices). Deleting the map saves as the layout's own save does
 * (whatever is behind included), its notice going with the map. A manager that is read-only (an
 * edit's bracket, which saves when it ends, or a host that wants nothing written) is not
 * asked to write. Owned by the map; GUI thread only.
 */
class DOZEROZOZU_EXPORT MapSaves
{
public:
    MapSaves(DeviceMapWidget& map, MapSaveNotices& notices);

    /// Rewrites the layout file, then the graph when it is behind; whether the layout file was written.
    bool saveLayout();
    /// Takes the outcome of a save of the graph (to file) made for an edit, then rewrites the
    /// layout file when it is behind.
    void graphSaved(bool saved, const QString& file);
    /// The map closes: rewrites the layout file, and the graph when it is behind; a failure is announced at once.
    void saveOnClosing();

private:
    bool writeLayout();
    void writeGraph();

    DeviceMapWidget& map;
    MapSaveNotices& notices;
    // The host may delete its manager before the map; the layout file is the map's own.
    QPointer<DeviceManager> manager;
};
