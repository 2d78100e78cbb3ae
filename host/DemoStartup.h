#pragma once

#include "DemoFiles.h"

#include <QString>

class DeviceManager;

/**
 * The demo's start, before any window opens: its device manager given the demo's GUI device
 * types and the meta devices the user imported in earlier runs, then the graph loaded and
 * saves sent where the run's files (DemoFiles) say. main() runs it once; tests run it again
 * over the same data folder to see what the next start sees.
 *
 * Meta devices: the framework registers an imported meta-device type for the running process
 * only. So the demo copies every file the manager imports (the map window's "Import meta
 * device", a file dropped on the map) into keptMetaDevicesFolder() as "<type>.yml", a later
 * import of a type replacing its copy, and imports the copies again at the next start,
 * before the graph is loaded: the graph's devices of those types are then made again.
 */
namespace DemoStartup {

/// The user's copy of the device graph, "demo-graph.yaml" in the demo's data folder.
QString savedGraph();
/// The graph the demo ships with, which screenshots show.
QString sampleGraph();
/// Where copies of imported meta devices are kept: "metadevices" in the data folder.
QString keptMetaDevicesFolder();
/**
 * Prepares manager as the demo starts: the demo's GUI device types; each kept meta device,
 * once (a copy that no longer reads, or whose type is built in, is logged and skipped and left
 * in place); from then on a copy of every meta device imported into manager, while the run
 * keeps what it edits; then files.loadFrom() loaded, saves going to files.graph(). A copy that
 * cannot be written is logged and the user told, after the import has returned. The files the
 * run uses are then DemoFiles::current().
 *
 * A graph that does not load (it cannot be read, is not YAML, is YAML but no device graph, or
 * comes from a newer version) gives way to the sample graph (DemoFiles::withSampleGraph()),
 * and notice (may be null) gets what to tell the user (tellStartNotice()): the file, why,
 * where it is and where the run's edits go. The user's copy in the data folder is first kept
 * aside with the files of its places (CorruptedFile::keepAside()), so that no save writes over
 * what the user made; a file named on the command line stays where it is, and nothing of that
 * run is kept. A run that would keep its edits first takes the lock of its graph (GraphLock),
 * having made the data folder when its graph is there; when another demo holds the lock, the
 * run shows that graph and keeps nothing of it (DemoFiles::keepingNothing()), and notice says so;
 * so does a run whose data folder cannot be written, whose graph is shown with its places. A
 * run that keeps nothing and whose folder (DemoFiles::runFile()) cannot be made adds that to
 * notice. The demo's settings are then saved where the run keeps them
 * (DemoSettings::saveWhereTheRunKeeps()); only a run that keeps its changes makes the data
 * folder. False when the sample does not load either: manager then knows the types but holds
 * no graph.
 */
bool prepareManager(DeviceManager* manager, const DemoFiles& files, QString* notice = nullptr);
/// Tells the user in a warning box what prepareManager() gave as its notice.
void tellStartNotice(const QString& notice);

} // namespace DemoStartup
