#include "DemoStartup.h"

#include "BoundedIni.h"
#include "CorruptedFile.h"
#include "DemoGuiDevices.h"
#include "DemoSettings.h"
#include "DemoWindows.h"
#include "DeviceManager.h"
#include "GraphLock.h"
#include "SafeFileWriter.h"
#include "Singleton.h"
#include "YamlConfig.h"
#include "YamlSerialiser.h"
#include "ZenticMessageBox.h"

#include <QApplication>
#include <QDebug>
#include <QDir>
#include <QFileInfo>
#include <QTemporaryFile>
#include <QTimer>

#include <exception>

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
    // A run that keeps nothing of its edits keeps none of its imports either.
    if (!DemoFiles::current().isKept())
        return;
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
        // The framework refuses, and logs why, a copy that no longer reads or is named after a
        // type it or the demo has built in; the copy stays for the user to mend or rename.
        if (!manager->parseMetaDevice(folder.filePath(copy), type))
            qWarning().noquote() << "Demo: the kept meta device" << folder.filePath(copy) << "is skipped";
    }
}

// Why no file can be made in folder, for the user; empty when one can. Tried, not read from
// the folder's rights, which say nothing of a read-only file system or of what root may do.
QString whyNotWritable(const QString& folder)
{
    if (!QFileInfo(folder).isDir())
        return QFileInfo::exists(folder) ? QCoreApplication::translate("DemoStartup", "a file stands in its place")
                                         : QCoreApplication::translate("DemoStartup", "it cannot be made");
    QTemporaryFile probe(QDir(folder).filePath(QStringLiteral(".write-test-XXXXXX")));
    return probe.open() ? QString() : probe.errorString();
}

// A paragraph more of what the start has to tell.
void addToNotice(QString* notice, const QString& paragraph)
{
    if (!notice->isEmpty())
        *notice += QStringLiteral("\n\n");
    *notice += paragraph;
}

// Why the graph at path did not load, for the user: asked only once the manager refused it,
// so that a graph that loads is read once.
QString whyNotLoaded(const QString& path)
{
    QByteArray data;
    QString error;
    if (!QFileInfo::exists(path) && !QFileInfo(path).isSymLink())
        return QCoreApplication::translate("DemoStartup", "there is no such file");
    if (!QFileInfo(path).isFile() || !BoundedIni::readFile(path, &data, &error))
        return QCoreApplication::translate("DemoStartup", "it cannot be read");
    bool versionOk = true;
    try {
        YamlSerialiser::parseYamlFromString(QString::fromUtf8(data), &versionOk);
    } catch (const YamlSerialiser::FormatError&) {
        // The header comes first: a newer graph may hold what this version cannot read.
        if (versionOk)
            return QCoreApplication::translate("DemoStartup", "it is YAML, but not a device graph");
    } catch (const std::exception&) {
        return QCoreApplication::translate("DemoStartup", "it is not YAML text");
    }
    if (!versionOk)
        return QCoreApplication::translate("DemoStartup", "it was saved by a newer version of the program");
    return QCoreApplication::translate("DemoStartup", "the log says why");
}

// Where the places and widgets of a graph kept aside went with it (CorruptedFile::keepAside()
// of the graph and DemoFiles::graphCompanions()), for the notice that names the graph's.
QString keptCompanionsNotice(const QStringList& keptAs)
{
    QString told;
    if (!keptAs.value(1).isEmpty())
        told += QLatin1Char(' ')
                + QCoreApplication::translate("DemoStartup", "The map's places of it are kept as %1.")
                      .arg(QFileInfo(keptAs.at(1)).fileName());
    if (!keptAs.value(2).isEmpty())
        told += QLatin1Char(' ')
                + QCoreApplication::translate("DemoStartup", "The dashboard's widgets of it are kept as %1.")
                      .arg(QFileInfo(keptAs.at(2)).fileName());
    return told;
}

// The sample graph in place of the graph of files, which did not load: the user's copy in the
// data folder kept aside first with its places, as the demo keeps its settings, since the next
// saves go to them. What the run then uses goes to chosen.
bool loadSampleInstead(DeviceManager* manager, const DemoFiles& files, DemoFiles* chosen, QString* notice)
{
    const QString graphFile = files.loadFrom();
    const QString reason = whyNotLoaded(graphFile);
    qWarning().noquote() << "Demo: the device graph" << graphFile << "does not load, the sample graph is loaded";
    const bool usersCopy = files.keeping() == DemoFiles::Keeping::DataFolder;
    const QStringList keptAs = usersCopy ? CorruptedFile::keepAside(QStringList{graphFile} + files.graphCompanions())
                                         : QStringList();
    *chosen = files.withSampleGraph();
    if (!manager->loadYamlConfig(chosen->loadFrom()))
        return false;
    const QString path = QDir::toNativeSeparators(graphFile);
    QString told;
    if (!usersCopy && !QFileInfo::exists(graphFile))
        told = QCoreApplication::translate("DemoStartup", "%1 could not be loaded: %2. The demo started with its "
                                                          "sample graph and keeps none of your changes in this run.")
                   .arg(path, reason);
    else if (!usersCopy)
        told = QCoreApplication::translate("DemoStartup", "%1 could not be loaded: %2. The demo started with its "
                                                          "sample graph and keeps none of your changes in this run; "
                                                          "the file is left as it is.")
                   .arg(path, reason);
    else if (keptAs.value(0).isEmpty())
        told = QCoreApplication::translate("DemoStartup", "%1 could not be loaded: %2. The demo started with its "
                                                          "sample graph. The file could not be moved aside either: "
                                                          "the next save of the graph writes over it.")
                   .arg(path, reason);
    else
        told = QCoreApplication::translate("DemoStartup", "%1 could not be loaded: %2. The demo started with its "
                                                          "sample graph; your file is kept in the same folder as %3 "
                                                          "for you to mend.")
                   .arg(path, reason, QFileInfo(keptAs.at(0)).fileName())
               + keptCompanionsNotice(keptAs);
    addToNotice(notice, told);
    return true;
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

bool prepareManager(DeviceManager* manager, const DemoFiles& files, QString* notice)
{
    QString told;
    if (!notice)
        notice = &told;
    notice->clear();
    registerDemoGuiDeviceTypes(manager);
    // Before the graph: its devices of these types are made rather than kept as text. And
    // before listening, so that the copies are not written over themselves.
    importKeptMetaDevices(manager);
    QObject::connect(manager, &DeviceManager::metaDeviceParsed, manager, &keepMetaDevice);
    // Before the graph is read, let alone kept aside: another demo's graph is only shown. The
    // lock lies beside the graph, and a first start has no data folder yet: a lock that could
    // not be made there would be taken as free, by every demo started before one saves.
    DemoFiles chosen = files;
    qint64 holder = 0;
    if (files.keeping() == DemoFiles::Keeping::DataFolder) {
        QDir().mkpath(demoDataFolder());
        // Every save there would fail, told only after the user's edit, and the sample's places,
        // which could not be copied there, would be left unplaced: the run shows the graph with
        // its places, keeps nothing, and says so now.
        const QString unwritable = whyNotWritable(demoDataFolder());
        if (!unwritable.isEmpty()) {
            qWarning().noquote() << "Demo: the data folder" << demoDataFolder() << "cannot be written:" << unwritable;
            chosen = files.keepingNothing();
            const QString folder = QDir::toNativeSeparators(demoDataFolder());
            addToNotice(notice, files.loadsSample()
                                    ? QCoreApplication::translate("DemoStartup", "The data folder %1 cannot be written "
                                                                                 "(%2). The sample graph is shown with "
                                                                                 "its places, but neither they nor any "
                                                                                 "of your changes are kept.")
                                          .arg(folder, unwritable)
                                    : QCoreApplication::translate("DemoStartup", "The data folder %1 cannot be written "
                                                                                 "(%2). Your graph is shown with its "
                                                                                 "places, but none of your changes in "
                                                                                 "this run are kept.")
                                          .arg(folder, unwritable));
        }
    }
    if (chosen.isKept() && !GraphLock::take(files.graph(), &holder)) {
        chosen = files.keepingNothing();
        addToNotice(notice, QCoreApplication::translate("DemoStartup", "%1 is in use by another run of the demo (process "
                                                                       "%2). This run shows it as it is and keeps none of "
                                                                       "your changes; quit the other run to edit it here.")
                                .arg(QDir::toNativeSeparators(files.graph()), QString::number(holder)));
    }
    const DemoFiles asked = chosen;
    if (!manager->loadYamlConfig(asked.loadFrom())
        && (asked.loadsSample() || !loadSampleInstead(manager, asked, &chosen, notice)))
        return false;
    // A run that keeps nothing edits no graph: another demo may (a named file that did not load).
    if (!chosen.isKept())
        GraphLock::release();
    // The sample graph in the repository stays as shipped: saves go where the run's files say.
    manager->setConfigPath(chosen.graph());
    DemoFiles::setCurrent(chosen);
    // Made only for a run that keeps its changes, whose settings at least go there; the
    // settings of one that keeps nothing go with the run.
    if (chosen.isKept())
        QDir().mkpath(demoDataFolder());
    DemoSettings::saveWhereTheRunKeeps(Singleton<YamlConfig>::instance(), chosen);
    // The sample named on the command line: its run keeps nothing, as the start did not say so yet.
    if (!files.namedGraph().isEmpty() && !files.isKept() && files.loadsSample())
        addToNotice(notice, QCoreApplication::translate("DemoStartup", "%1 is the sample graph the demo ships with, "
                                                                       "which stays as shipped: your changes in this run "
                                                                       "are not kept.")
                                .arg(QDir::toNativeSeparators(files.namedGraph())));
    if (!chosen.isKept() && !DemoFiles::runFolderProblem().isEmpty())
        addToNotice(notice, QCoreApplication::translate("DemoStartup", "No folder for the files of this run could be made "
                                                                       "as %1 (%2): nothing of this run can be saved.")
                                .arg(QDir::toNativeSeparators(DemoFiles::runFolder()),
                                     DemoFiles::runFolderProblem()));
    return true;
}

void tellStartNotice(const QString& notice)
{
    // A run that keeps its edits has only a graph that did not load to tell of.
    const QString headline = DemoFiles::current().isKept()
                                 ? QCoreApplication::translate("DemoStartup", "The device graph could not be loaded.")
                                 : QCoreApplication::translate("DemoStartup", "This run keeps none of your changes.");
    ZenticMessageBox::warning(QApplication::activeWindow(), headline, notice);
}

} // namespace DemoStartup
