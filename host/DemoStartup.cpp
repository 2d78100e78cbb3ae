#include "DemoStartup.h"

#include "DemoGuiDevices.h"
#include "DemoWindows.h"
#include "DeviceManager.h"

#include <QFileInfo>

namespace DemoStartup {

QString savedGraph()
{
    return demoDataFile(QStringLiteral("demo-graph.yaml"));
}

QString sampleGraph()
{
    return QStringLiteral(DEMO_DATA_DIR "/demo-graph.yaml");
}

QString graphToLoad(const QString& requested)
{
    if (!requested.isEmpty())
        return requested;
    return QFileInfo::exists(savedGraph()) ? savedGraph() : sampleGraph();
}

bool prepareManager(DeviceManager* manager, const QString& graphFile)
{
    registerDemoGuiDeviceTypes(manager);
    if (!manager->loadYamlConfig(graphFile))
        return false;
    // Saves go to the user's copy, which is loaded next time; the sample graph in the
    // repository stays as shipped.
    manager->setConfigPath(savedGraph());
    return true;
}

} // namespace DemoStartup
