#include "DemoFiles.h"

#include "DemoStartup.h"
#include "DemoWindows.h"

#include <QDebug>
#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>

#include <memory>

namespace {

const QString shippedPlaces = QStringLiteral(DEMO_DATA_DIR "/demo-map.ini");

DemoFiles& currentFiles()
{
    static DemoFiles files;
    return files;
}

// QFileInfo's own comparison holds two files that are not there for the same.
bool sameFile(const QString& first, const QString& second)
{
    const QFileInfo one(first);
    const QFileInfo other(second);
    if (one.exists() && other.exists())
        return one.canonicalFilePath() == other.canonicalFilePath();
    return QDir::cleanPath(one.absoluteFilePath()) == QDir::cleanPath(other.absoluteFilePath());
}

} // namespace

DemoFiles::DemoFiles()
    : m_loadFrom(QFileInfo::exists(DemoStartup::savedGraph()) ? DemoStartup::savedGraph() : DemoStartup::sampleGraph())
    , m_graph(DemoStartup::savedGraph())
    , m_mapLayout(demoDataFile(QStringLiteral("demo-map.ini")))
    , m_mapLayoutSource(shippedPlaces)
    , m_dashboardLayout(demoDataFile(QStringLiteral("dashboard.ini")))
{
}

DemoFiles DemoFiles::forStart(const QString& requested, bool screenshots)
{
    DemoFiles files;
    if (requested.isEmpty() && screenshots) {
        files = sample();
    } else if (requested.isEmpty() || sameFile(requested, DemoStartup::savedGraph())) {
        // The data folder's own graph: as a start without a name.
    } else if (sameFile(requested, DemoStartup::sampleGraph())) {
        // The sample the demo ships with stays as shipped.
        files = sample();
    } else {
        files.m_keeping = Keeping::BesideGraph;
        files.m_loadFrom = requested;
        files.m_graph = requested;
        files.m_mapLayout = requested + QStringLiteral(".map.ini");
        files.m_mapLayoutSource.clear();
        files.m_dashboardLayout = requested + QStringLiteral(".dashboard.ini");
    }
    return screenshots || files.m_keeping == Keeping::NotKept ? notKept(files) : files;
}

DemoFiles DemoFiles::withSampleGraph() const
{
    if (m_keeping != Keeping::DataFolder)
        return notKept(sample());
    DemoFiles files;
    files.m_loadFrom = DemoStartup::sampleGraph();
    return files;
}

bool DemoFiles::loadsSample() const
{
    return sameFile(m_loadFrom, DemoStartup::sampleGraph());
}

const DemoFiles& DemoFiles::current()
{
    return currentFiles();
}

void DemoFiles::setCurrent(const DemoFiles& files)
{
    currentFiles() = files;
}

QString DemoFiles::runFile(const QString& name)
{
    // Made when first asked for, removed with everything in it when the process ends.
    static const std::unique_ptr<QTemporaryDir> folder = [] {
        auto made = std::make_unique<QTemporaryDir>(QDir::temp().filePath(QStringLiteral("dozerozozu-demo-XXXXXX")));
        if (!made->isValid())
            qWarning().noquote() << "Demo: cannot make a folder for this run's files:" << made->errorString();
        return made;
    }();
    return folder->filePath(name);
}

DemoFiles DemoFiles::notKept(const DemoFiles& shown)
{
    DemoFiles files = shown;
    files.m_keeping = Keeping::NotKept;
    files.m_graph = runFile(QStringLiteral("demo-graph.yaml"));
    files.m_mapLayout = runFile(QStringLiteral("demo-map.ini"));
    files.m_mapLayoutSource = QFileInfo::exists(shown.m_mapLayout) ? shown.m_mapLayout : shown.m_mapLayoutSource;
    files.m_dashboardLayout = runFile(QStringLiteral("dashboard.ini"));
    return files;
}

DemoFiles DemoFiles::sample()
{
    DemoFiles files;
    files.m_keeping = Keeping::NotKept;
    files.m_loadFrom = DemoStartup::sampleGraph();
    files.m_mapLayout.clear();
    files.m_mapLayoutSource = shippedPlaces;
    return files;
}
