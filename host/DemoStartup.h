#pragma once

#include <QString>

class DeviceManager;

/**
 * The demo's start, before any window opens: its device manager given the demo's GUI device
 * types, then the graph loaded and saves sent to the user's copy. main() runs it once; tests
 * run it again over the same data folder to see what the next start sees.
 */
namespace DemoStartup {

/// The user's copy of the device graph, "demo-graph.yaml" in the demo's data folder, where saves go.
QString savedGraph();
/// The graph the demo ships with, which screenshots show.
QString sampleGraph();
/// requested when not empty; else the user's copy when there is one, else the sample.
QString graphToLoad(const QString& requested);
/**
 * Prepares manager as the demo starts: the demo's GUI device types, then graphFile loaded,
 * saves going to savedGraph(). False when graphFile cannot be loaded: manager then knows the
 * types but holds no graph.
 */
bool prepareManager(DeviceManager* manager, const QString& graphFile);

} // namespace DemoStartup
