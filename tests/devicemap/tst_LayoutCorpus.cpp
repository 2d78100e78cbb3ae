#include "GraphLayoutAdapter.h"
#include "LayoutCorpus.h"
#include "TestSupport.h"

#include <QtTest>

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QProcess>
#include <QThreadPool>

#include <sys/resource.h>
#include <unistd.h>

// Lays out graph shapes that take Graphviz's dot to its limits, of 700 to 6,000 devices, with
// every layout type, each in a child process of its own (this program with --case), as the map's
// Rearrange does: the child must live, leave nothing running once it has its answer and stay
// within its memory, whatever Graphviz does with the graph.

namespace {

const char caseOption[] = "--case";
/// How long the map waits for a layout here; shorter than the map's own, for a quick run.
constexpr int deadlineMs = 4000;
/// How long the work of a layout may go on once the map has its answer.
constexpr int leftRunningMs = 5000;
/// The application's own peak memory, in kilobytes.
constexpr long peakMemoryKilobytes = 600 * 1024;


/// One case, in the child: 0 when it holds, otherwise what went wrong on standard error.
int runCase(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    const QStringList arguments = app.arguments();
    QTextStream err(stderr);
    const LayoutGraph graph = LayoutCorpus::shape(arguments.at(2))(arguments.at(3).toInt(), arguments.at(4).toInt());
    GraphLayoutAdapter::Options options;
    options.deadlineMs = deadlineMs;

    const GraphLayoutAdapter::Result result = GraphLayoutAdapter::layOutWithin(graph, options);

    QElapsedTimer sinceAnswer;
    sinceAnswer.start();
    while (!TestSupport::childProcesses().isEmpty() || QThreadPool::globalInstance()->activeThreadCount() > 0) {
        if (sinceAnswer.elapsed() > leftRunningMs) {
            err << "work still running " << leftRunningMs << " ms after the answer" << Qt::endl;
            return 3;
        }
        QThread::msleep(20);
    }
    if (result.arrangement.deviceRects.size() != graph.devices.size()) {
        err << "placed " << result.arrangement.deviceRects.size() << " of " << graph.devices.size() << Qt::endl;
        return 4;
    }
    // Only time may make a layout give way to the grid: not a crash, nor the memory.
    if (result.fellBack && !result.reason.contains(QLatin1String("longer than"))) {
        err << "fell back: " << result.reason << Qt::endl;
        return 5;
    }
    rusage usage{};
    ::getrusage(RUSAGE_SELF, &usage);
    if (usage.ru_maxrss > peakMemoryKilobytes) {
        err << "peak memory " << usage.ru_maxrss << " kB" << Qt::endl;
        return 6;
    }
    return 0;
}

} // namespace

class TestLayoutCorpus : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void everyShapeCostsOnlyItsLayout_data()
    {
        QTest::addColumn<QString>("shape");
        QTest::addColumn<int>("devices");
        QTest::addColumn<int>("type");
        const QList<int> sizes{700, 2000, 4000, 6000};
        int row = 0;
        for (const QString& shape : LayoutCorpus::shapes()) {
            for (int type = LayoutGraph::Orthogonal; type <= LayoutGraph::FixedClusters; ++type) {
                const int devices = sizes.at(row++ % sizes.size());
                QTest::addRow("%s, %d, type %d", qPrintable(shape), devices, type) << shape << devices << type;
            }
        }
        // The graphs outside checks brought down the application with
        for (int devices : {4000, 5000, 6000})
            QTest::addRow("half ring, %d, Hierarchical", devices) << "half ring" << devices << int(LayoutGraph::Hierarchical);
        for (int devices : {700, 4000})
            QTest::addRow("far chain, %d, Hierarchical", devices) << "far chain" << devices << int(LayoutGraph::Hierarchical);
        // GUI areas spread along a long flow: their clusters once sent the links' routing astray
        QTest::newRow("lanes, 2000, ClusterByGuiArea") << "lanes" << 2000 << int(LayoutGraph::ClusterByGuiArea);
        QTest::newRow("map grid, 4000, ClusterByGuiArea") << "map grid" << 4000 << int(LayoutGraph::ClusterByGuiArea);
    }

    void everyShapeCostsOnlyItsLayout()
    {
        QFETCH(QString, shape);
        QFETCH(int, devices);
        QFETCH(int, type);

        QProcess child;
        child.start(QCoreApplication::applicationFilePath(),
                    {QString::fromLatin1(caseOption), shape, QString::number(devices), QString::number(type)});
        QVERIFY(child.waitForFinished(60000));

        const QByteArray said = child.readAllStandardError();
        QVERIFY2(child.exitStatus() == QProcess::NormalExit, "the application died");
        QVERIFY2(child.exitCode() == 0, said.constData());
    }
};

int main(int argc, char* argv[])
{
    if (argc == 5 && qstrcmp(argv[1], caseOption) == 0)
        return runCase(argc, argv);
    QCoreApplication app(argc, argv);
    TestLayoutCorpus test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_LayoutCorpus.moc"
