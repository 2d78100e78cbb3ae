#include "DemoStartup.h"

#include "BoundedIni.h"
#include "DemoGuiDevices.h"
#include "DemoWindows.h"
#include "DeviceManager.h"
#include "SafeFileWriter.h"
#include "ZenticMessageBox.h"

#include <QApplication>
#include <QDebug>
#include <QDir>
#include <QFileInfo>
#include <QTimer>

namespace {

const QString metaDeviceSuffix = QStringLiteral(".yml");

// The file name of a type's copy; none for a type no file can be named after.
QString keptCopyOf(const QString& type)
{
    if (type.contains(QLatin1Char('/')) || type.contains(QChar::Null))
        return QString();
    return QDir(DemoStartup::keptMetaDevicesFolder()).filePath(type + metaDeviceSuffix);
}

// After the import has returned: the box runs an event loop, and the window that imported
// must not go away under its own call.
void tellNotKept(const QString& copy)
{
    QTimer::singleShot(0, qApp, [copy] {
        ZenticMessageBox::warning(
            QApplication::activeWindow(), QCoreApplication::translate("DemoStartup", "The meta device could not be kept."),
            QCoreApplication::translate("DemoStartup", "%1 could not be written (the log says why). The meta device can be "
                                                       "used until the demo ends; import it again after the next start.")
                .arg(QDir::toNativeSeparators(copy)));
    });
}

void keepMetaDevice(const QString& type, const QString& path)
{
    const QString copy = keptCopyOf(type);
    if (copy.isEmpty()) {
        qWarning().noquote() << "Demo: meta device type" << type << "names no file; not kept";
        return;
    }
    QByteArray text;
    QString error;
    bool kept = BoundedIni::readFile(path, &text, &error);
    if (kept && !QDir().mkpath(DemoStartup::keptMetaDevicesFolder())) {
        kept = false;
        error = QStringLiteral("cannot make its folder");
    }
    if (!kept || !SafeFileWriter::writeFile(copy, text, &error)) {
        qWarning().noquote() << "Demo: cannot keep meta device" << path << "as" << copy << ":" << error;
        tellNotKept(copy);
    }
}

void importKeptMetaDevices(DeviceManager* manager)
{
    const QDir folder(DemoStartup::keptMetaDevicesFolder());
    const QStringList copies =
        folder.entryList({QLatin1Char('*') + metaDeviceSuffix}, QDir::Files | QDir::Hidden, QDir::Name);
    for (const QString& copy : copies) {
        // Named as at its import: the file name holds the type, whatever its dots.
        const QString type = copy.chopped(metaDeviceSuffix.size());
        if (!manager->parseMetaDevice(folder.filePath(copy), type))
            qWarning().noquote() << "Demo: the kept meta device" << folder.filePath(copy) << "is skipped";
    }
}

} // namespace

namespace DemoStartup {

QString savedGraph()
{
    return demoDataFile(QStringLiteral("demo-graph.yaml"));
}

QString sampleGraph()
{
    return QStringLiteral(DEMO_DATA_DIR "/demo-graph.yaml");
}

QString keptMetaDevicesFolder()
{
    return demoDataFile(QStringLiteral("metadevices"));
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
    // Before the graph: its devices of these types are made rather than kept as text. And
    // before listening, so that the copies are not written over themselves.
    importKeptMetaDevices(manager);
    QObject::connect(manager, &DeviceManager::metaDeviceParsed, manager, &keepMetaDevice);
    if (!manager->loadYamlConfig(graphFile))
        return false;
    // Saves go to the user's copy, which is loaded next time; the sample graph in the
    // repository stays as shipped.
    manager->setConfigPath(savedGraph());
    return true;
}

} // namespace DemoStartup
