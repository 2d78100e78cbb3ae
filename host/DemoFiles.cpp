#include "DemoFiles.h"

#include "DemoStartup.h"
#include "DemoWindows.h"

#include <QCoreApplication>
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

struct RunFolder
{
    std::unique_ptr<QTemporaryDir> made;
    QString path;
    QString problem;
};

// Made when first asked for, removed with everything in it when the process ends.
const RunFolder& madeRunFolder(bool make)
{
    static RunFolder folder;
    if (make && folder.path.isEmpty()) {
        // Qt gives no temporary folder when TMPDIR names none, and a relative pattern would
        // make the folder in the current one.
        const QString temporary = QDir::tempPath();
        const QString pattern = QStringLiteral("dozerozozu-demo-XXXXXX");
        if (temporary.isEmpty()) {
            folder.path = QDir(qEnvironmentVariable("TMPDIR")).filePath(pattern);
            folder.problem = QCoreApplication::translate("DemoFiles", "there is no such folder");
        } else {
            folder.made = std::make_unique<QTemporaryDir>(QDir(temporary).filePath(pattern));
            folder.path = folder.made->isValid() ? folder.made->path() : QDir(temporary).filePath(pattern);
            if (!folder.made->isValid())
                folder.problem = folder.made->errorString();
        }
    }
    return folder;
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
    files.m_namedGraph = requested;
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

DemoFiles DemoFiles::keepingNothing() const
{
    return notKept(*this);
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
    return QDir(runFolder()).filePath(name);
}

QString DemoFiles::runFolder()
{
    return madeRunFolder(true).path;
}

QString DemoFiles::runFolderProblem()
{
    return madeRunFolder(false).problem;
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
