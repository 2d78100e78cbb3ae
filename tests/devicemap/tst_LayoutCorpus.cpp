#include "DeviceMapGeometry.h"
#include "GraphLayoutAdapter.h"
#include "GraphPlacement.h"
#include "GraphvizLayout.h"
#include "LayoutCorpus.h"
#include "LayoutPlan.h"
#include "LayoutQuality.h"
#include "TestSupport.h"
#include "tst_LayoutCorpus_Drawings.h"

#include <QtTest>

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QProcess>
#include <QThreadPool>

#include <algorithm>
#include <cmath>
#include <limits>

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

    void linksThroughPlacesPassNoOtherDevice_data()
    {
        QTest::addColumn<QString>("shape");
        QTest::addColumn<int>("type");
        // Every link of these joins neighbouring ranks: dot's drawing has no place of its own for any
        for (const QString& shape : {QStringLiteral("tree"), QStringLiteral("star")}) {
            for (int type : {LayoutGraph::Hierarchical, LayoutGraph::ClusterByIO, LayoutGraph::FixedClusters})
                QTest::addRow("%s, 3000, type %d", qPrintable(shape), type) << shape << type;
        }
    }

    void linksThroughPlacesPassNoOtherDevice()
    {
        QFETCH(QString, shape);
        QFETCH(int, type);
        // Given a graph whose links run through dot's places
        const LayoutGraph graph = LayoutCorpus::shape(shape)(3000, type);
        QCOMPARE(LayoutPlan::of(graph, "dot").settings.links, GraphvizJob::Links::ThroughPlaces);
        GraphLayoutAdapter::Options options;
        options.deadlineMs = 60000;

        const GraphLayoutAdapter::Result result = GraphLayoutAdapter::layOut(graph, options);

        // Then no link runs through a device that is neither of its ends
        QVERIFY2(!result.fellBack, qPrintable(result.reason));
        QCOMPARE(result.arrangement.connections.size(), graph.links.size());
        const QStringList crossing = linksThroughDevices(result.arrangement);
        QVERIFY2(crossing.isEmpty(), qPrintable(QStringLiteral("%1 links, e.g. %2").arg(crossing.size()).arg(crossing.value(0))));
    }

    void linksLeftUnroutedGoAroundTheDevices_data()
    {
        QTest::addColumn<bool>("withGroups");
        QTest::newRow("without groups: orthogonal routes") << false;
        QTest::newRow("with groups: strips") << true;
    }

    void linksLeftUnroutedGoAroundTheDevices()
    {
        QFETCH(bool, withGroups);
        // Given three devices in a row, the first linked past the second to the third, and that
        // link left unrouted by the layout program
        LayoutGraph graph;
        graph.type = withGroups ? LayoutGraph::FixedClusters : LayoutGraph::Hierarchical;
        if (withGroups)
            graph.groups = {{"ends", -1}};
        for (int i = 0; i < 3; ++i)
            graph.devices.append({QStringLiteral("d%1").arg(i), QSizeF(80, 40), withGroups && i != 1 ? 0 : -1});
        graph.links = {{0, 1}, {1, 2}, {0, 2}};
        GraphPlacement placement;
        placement.centers = {{0, 0}, {200, 0}, {400, 0}};
        placement.bends = {{}, {}, {}};
        placement.groupRects = QVector<QRectF>(graph.groups.size(), QRectF(-60, -40, 520, 80));
        placement.unroutedLinks = {2};

        LayoutPlan::of(graph, "dot").completeLinks(graph, &placement);

        // Then no link runs through a device that is neither of its ends
        QVERIFY(placement.unroutedLinks.isEmpty());
        const DevicesArrangement arrangement = placement.toArrangement(graph, 20);
        QCOMPARE(arrangement.connections.size(), graph.links.size());
        QCOMPARE(linksThroughDevices(arrangement), QStringList());
        if (withGroups) {
            const QRectF ends = arrangement.clusterRects.value("ends");
            QVERIFY(ends.contains(arrangement.deviceRects.value("d0")) && ends.contains(arrangement.deviceRects.value("d2")));
        }
    }

    void linksDotRoutesPassNoOtherDevice_data()
    {
        QTest::addColumn<QString>("shape");
        QTest::addColumn<int>("devices");
        QTest::addColumn<int>("type");
        QTest::addColumn<bool>("oneArea");
        // Each drew 1.1 % to 34 % of its links through other devices, ending them on the centres
        // beyond dot's ends, or where dot's corners cut through devices around clusters
        QTest::newRow("star, Hierarchical") << "star" << 300 << int(LayoutGraph::Hierarchical) << false;
        QTest::newRow("both ways, ClusterByGuiArea")
            << "both ways" << 300 << int(LayoutGraph::ClusterByGuiArea) << false;
        QTest::newRow("map grid, ClusterByGuiArea")
            << "map grid" << 500 << int(LayoutGraph::ClusterByGuiArea) << false;
        QTest::newRow("nearest neighbours, ClusterByGuiArea")
            << "nearest neighbours" << 300 << int(LayoutGraph::ClusterByGuiArea) << false;
        QTest::newRow("nearest neighbours in one GUI area")
            << "nearest neighbours" << 300 << int(LayoutGraph::ClusterByGuiArea) << true;
        QTest::newRow("nearest neighbours, ClusterByIO")
            << "nearest neighbours" << 300 << int(LayoutGraph::ClusterByIO) << false;
        QTest::newRow("half ring, ClusterByIO") << "half ring" << 100 << int(LayoutGraph::ClusterByIO) << false;
        QTest::newRow("nearest neighbours, FixedClusters")
            << "nearest neighbours" << 300 << int(LayoutGraph::FixedClusters) << false;
    }

    void linksDotRoutesPassNoOtherDevice()
    {
        QFETCH(QString, shape);
        QFETCH(int, devices);
        QFETCH(int, type);
        QFETCH(bool, oneArea);
        // Given a graph whose links dot routes
        const LayoutGraph made = LayoutCorpus::shape(shape)(devices, type);
        const LayoutGraph graph = oneArea ? LayoutCorpus::inOneGroup(made) : made;
        QCOMPARE(LayoutPlan::of(graph, "dot").settings.links, GraphvizJob::Links::Routed);

        const GraphLayoutAdapter::Result result = GraphLayoutAdapter::layOut(graph);

        // Then at most one link in a hundred, drawn on to the devices' centres, runs through a device
        // that is neither of its ends
        QVERIFY2(!result.fellBack, qPrintable(result.reason));
        QCOMPARE(result.arrangement.connections.size(), graph.links.size());
        const QStringList crossing = linksThroughDevices(result.arrangement);
        QVERIFY2(crossing.size() * 100 <= graph.links.size(),
                 qPrintable(QStringLiteral("%1 of %2 links, e.g. %3")
                                .arg(crossing.size())
                                .arg(graph.links.size())
                                .arg(crossing.value(0))));
    }

    void oppositeLinksRunApart_data()
    {
        QTest::addColumn<QString>("shape");
        QTest::addColumn<int>("devices");
        QTest::addColumn<int>("type");
        // Links through dot's places: every pair once lay one on the other
        for (int type : {LayoutGraph::Hierarchical, LayoutGraph::ClusterByIO, LayoutGraph::FixedClusters})
            QTest::addRow("star, 3000, type %d", type) << "star" << 3000 << type;
        // dot's routes, some routed again around devices
        QTest::newRow("both ways, 300, ClusterByGuiArea") << "both ways" << 300 << int(LayoutGraph::ClusterByGuiArea);
        // dot's routes: dot spreads a link and its opposite along the columns only, steep ones lay on one another
        QTest::newRow("star, 300, Hierarchical") << "star" << 300 << int(LayoutGraph::Hierarchical);
        QTest::newRow("nearest neighbours, 300, ClusterByIO")
            << "nearest neighbours" << 300 << int(LayoutGraph::ClusterByIO);
        QTest::newRow("both ways, 300, FixedClusters") << "both ways" << 300 << int(LayoutGraph::FixedClusters);
    }

    void oppositeLinksRunApart()
    {
        QFETCH(QString, shape);
        QFETCH(int, devices);
        QFETCH(int, type);
        // Given a graph where devices feed each other back
        const LayoutGraph graph = LayoutCorpus::shape(shape)(devices, type);
        GraphLayoutAdapter::Options options;
        options.deadlineMs = 60000;

        const GraphLayoutAdapter::Result result = GraphLayoutAdapter::layOut(graph, options);

        // Then a link and its opposite are drawn apart
        QVERIFY2(!result.fellBack, qPrintable(result.reason));
        const QStringList onOnePath = oppositeLinksOnOnePath(result.arrangement);
        QVERIFY2(onOnePath.isEmpty(),
                 qPrintable(QStringLiteral("%1 pairs, e.g. %2").arg(onOnePath.size()).arg(onOnePath.value(0))));
        // Nor along a stretch
        const QStringList together = oppositeLinksTogether(result.arrangement);
        QVERIFY2(together.isEmpty(),
                 qPrintable(QStringLiteral("%1 pairs, e.g. %2").arg(together.size()).arg(together.value(0))));
    }

    void oppositeLinksApartCrossFewMore_data()
    {
        QTest::addColumn<int>("type");
        // dot drew most of their opposite pairs one on the other, steeply; routed again through the
        // gaps to be apart, they crossed 8 % to 12 % more than dot's drawing
        for (int type : {LayoutGraph::Hierarchical, LayoutGraph::ClusterByGuiArea, LayoutGraph::ClusterByIO})
            QTest::addRow("nearest neighbours, 300, type %d", type) << type;
    }

    void oppositeLinksApartCrossFewMore()
    {
        QFETCH(int, type);
        // Given dot's drawing of a graph whose links dot routes
        const LayoutGraph graph = LayoutCorpus::nearestNeighbours(300, type);
        const LayoutPlan plan = LayoutPlan::of(graph, "dot");
        QCOMPARE(plan.settings.links, GraphvizJob::Links::Routed);
        GraphPlacement placement;
        QVERIFY(GraphvizLayout::run(graph, plan.settings, &placement).hasDrawing());
        const qint64 dotCrossings = LayoutQuality::of(placement.toArrangement(graph, 20)).crossings;

        // When its links are completed
        plan.completeLinks(graph, &placement);

        // Then its opposite pairs are apart along dot's ways, which cross few more links than dot's drawing
        const DevicesArrangement arrangement = placement.toArrangement(graph, 20);
        QCOMPARE(oppositeLinksTogether(arrangement), QStringList());
        const qint64 crossings = LayoutQuality::of(arrangement).crossings;
        QVERIFY2(crossings * 100 <= dotCrossings * 104,
                 qPrintable(QStringLiteral("%1 crossings against dot's %2").arg(crossings).arg(dotCrossings)));
    }

    void oppositeLinksOnOneAnotherPartAlongDotsWay_data()
    {
        QTest::addColumn<bool>("deviceBeside");
        // dot's way dips far below a device in the middle column: through the gaps, the pair ran
        // along that device instead
        QTest::newRow("open") << false;
        // A device ten units below dot's way leaves no room there for the pair's lower half
        QTest::newRow("a device just below the way") << true;
    }

    void oppositeLinksOnOneAnotherPartAlongDotsWay()
    {
        QFETCH(bool, deviceBeside);
        // Given a link and its opposite dot drew one on the other, around a device in their way
        LayoutGraph graph;
        graph.type = LayoutGraph::Hierarchical;
        QVector<QPointF> centers{{0, 0}, {600, 0}, {300, 0}};
        if (deviceBeside)
            centers.append({300, 180});
        for (int i = 0; i < centers.size(); ++i)
            graph.devices.append({QStringLiteral("d%1").arg(i), QSizeF(80, 40), -1});
        graph.links = {{0, 1}, {1, 0}};
        const QList<QPointF> way{{40, 0}, {260, 150}, {340, 150}, {560, 0}};
        GraphPlacement placement;
        placement.centers = centers;
        placement.bends = {way, QList<QPointF>(way.crbegin(), way.crend())};

        LayoutPlan::of(graph, "dot").completeLinks(graph, &placement);

        // Then the two run apart, each no further from dot's way than a pair's separation, and
        // no nearer to a device than the map's routes keep, where dot's way was not
        const DevicesArrangement arrangement = placement.toArrangement(graph, 20);
        QCOMPARE(linksThroughDevices(arrangement), QStringList());
        QCOMPARE(oppositeLinksTogether(arrangement), QStringList());
        const QPolygonF dotsWay = drawnLink(centers.at(0), way, centers.at(1));
        auto fromDotsWay = [&dotsWay](const QPointF& point) {
            double least = std::numeric_limits<double>::max();
            for (int i = 0; i + 1 < dotsWay.size(); ++i) {
                const QPointF& a = dotsWay.at(i);
                const QPointF& b = dotsWay.at(i + 1);
                least = std::min(
                    least, DeviceMapGeometry::pointToSegmentDistance(a.x(), a.y(), b.x(), b.y(), point.x(), point.y()));
            }
            return least;
        };
        const QRectF keptFrom = QRectF(260, 160, 80, 40).adjusted(-clearance, -clearance, clearance, clearance);
        for (int link = 0; link < graph.links.size(); ++link) {
            const QPolygonF path = drawnLink(centers.at(graph.links.at(link).from), placement.bends.at(link),
                                             centers.at(graph.links.at(link).to));
            for (int i = 0; i + 1 < path.size(); ++i) {
                QVERIFY2(fromDotsWay(path.at(i)) <= 12.5,
                         qPrintable(QStringLiteral("a corner %1 from dot's way").arg(fromDotsWay(path.at(i)))));
                QVERIFY(!deviceBeside || !passesThrough(path.at(i), path.at(i + 1), keptFrom));
            }
        }
    }

    void linksThroughADeviceGoAroundIt_data()
    {
        QTest::addColumn<QVector<QPointF>>("centers");
        QTest::addColumn<bool>("withOpposite");
        // Three devices in a row, the first linked past the second to the third; two more in the
        // middle column, above and below it
        const QVector<QPointF> row{{0, 0}, {200, 0}, {400, 0}, {200, -80}, {200, 80}};
        QTest::newRow("across a column") << row << false;
        QTest::newRow("across a column, with its opposite") << row << true;
        // Three devices in a column, the first linked past the second to the third
        const QVector<QPointF> column{{0, 0}, {0, 80}, {0, 160}, {200, 80}, {-200, 80}};
        QTest::newRow("within a column") << column << false;
        QTest::newRow("within a column, with its opposite") << column << true;
    }

    void linksThroughADeviceGoAroundIt()
    {
        QFETCH(QVector<QPointF>, centers);
        QFETCH(bool, withOpposite);
        // Given a link dot drew straight through a device
        QList<LayoutGraph::Link> links{{0, 1}, {0, 2}};
        if (withOpposite)
            links.append({2, 0});
        auto [graph, placement] = straightDrawing(centers, links);

        LayoutPlan::of(graph, "dot").completeLinks(graph, &placement);

        // Then it goes around, apart from its opposite, and the link that passed no device keeps its way
        const DevicesArrangement arrangement = placement.toArrangement(graph, 20);
        QCOMPARE(linksThroughDevices(arrangement), QStringList());
        QCOMPARE(oppositeLinksOnOnePath(arrangement), QStringList());
        QCOMPARE(placement.bends.at(0), QList<QPointF>());
    }

    void linksRoutedAgainTakeThePlainWay_data()
    {
        QTest::addColumn<QVector<QPointF>>("centers");
        QTest::addColumn<bool>("withOpposite");
        // A link level with its ends, past a device in its way, then past a column whose devices
        // sit far above it (or below): it climbed to a thousand units from them and fell back
        const QVector<QPointF> farBelow{{0, 3000}, {200, 3000}, {600, 3000}, {400, 0}, {400, 60}};
        const QVector<QPointF> farAbove{{0, 0}, {200, 0}, {600, 0}, {400, 3000}, {400, 2940}};
        QTest::newRow("far below a column") << farBelow << false;
        QTest::newRow("far below a column, with its opposite") << farBelow << true;
        QTest::newRow("far above a column") << farAbove << false;
    }

    void linksRoutedAgainTakeThePlainWay()
    {
        QFETCH(QVector<QPointF>, centers);
        QFETCH(bool, withOpposite);
        // Given a link dot drew straight through a device
        QList<LayoutGraph::Link> links{{0, 2}};
        if (withOpposite)
            links.append({2, 0});
        auto [graph, placement] = straightDrawing(centers, links);

        LayoutPlan::of(graph, "dot").completeLinks(graph, &placement);

        // Then it goes round that device and on near its ends' level, apart from its opposite, and
        // no nearer the device than the map's own routes keep
        QVector<QRectF> rects;
        for (int i = 0; i < centers.size(); ++i)
            rects.append(QRectF(centers.at(i) - QPointF(40, 20), QSizeF(80, 40)));
        for (int link = 0; link < graph.links.size(); ++link) {
            QVERIFY(!placement.bends.at(link).isEmpty());
            const LayoutGraph::Link& ends = graph.links.at(link);
            for (const QPointF& bend : placement.bends.at(link))
                QVERIFY2(std::abs(bend.y() - centers.first().y()) < 60, qPrintable(QStringLiteral("bend at %1").arg(bend.y())));
            const QPolygonF path = drawnLink(centers.at(ends.from), placement.bends.at(link), centers.at(ends.to));
            QCOMPARE(edgesRunAlong(path, rects, ends.from, ends.to), QStringList());
        }
        const DevicesArrangement arrangement = placement.toArrangement(graph, 20);
        QCOMPARE(linksThroughDevices(arrangement), QStringList());
        QCOMPARE(oppositeLinksTogether(arrangement), QStringList());
    }

    void linksRoutedAgainKeepClearOfDevices_data()
    {
        QTest::addColumn<QString>("shape");
        QTest::addColumn<int>("devices");
        QTest::addColumn<int>("type");
        // Each routed links again along devices' edges, five units from them
        QTest::newRow("map grid, ClusterByGuiArea") << "map grid" << 500 << int(LayoutGraph::ClusterByGuiArea);
        QTest::newRow("dense random, ClusterByGuiArea") << "dense random" << 150 << int(LayoutGraph::ClusterByGuiArea);
        QTest::newRow("lanes, ClusterByGuiArea") << "lanes" << 300 << int(LayoutGraph::ClusterByGuiArea);
        QTest::newRow("both ways, ClusterByGuiArea") << "both ways" << 300 << int(LayoutGraph::ClusterByGuiArea);
    }

    void linksRoutedAgainKeepClearOfDevices()
    {
        QFETCH(QString, shape);
        QFETCH(int, devices);
        QFETCH(int, type);
        // Given dot's drawing of a graph whose links dot routes
        const LayoutGraph graph = LayoutCorpus::shape(shape)(devices, type);
        const LayoutPlan plan = LayoutPlan::of(graph, "dot");
        QCOMPARE(plan.settings.links, GraphvizJob::Links::Routed);
        GraphPlacement drawn;
        QVERIFY(GraphvizLayout::run(graph, plan.settings, &drawn).hasDrawing());

        // When the links that pass through devices are routed again
        GraphPlacement placement = drawn;
        plan.completeLinks(graph, &placement);

        // Then no new route runs along a device's edge nearer than the map's own routes keep
        QVector<QRectF> rects;
        for (int i = 0; i < graph.devices.size(); ++i) {
            const QSizeF size = graph.devices.at(i).size;
            rects.append(QRectF(placement.centers.at(i) - QPointF(size.width() / 2, size.height() / 2), size));
        }
        int routedAgain = 0;
        QStringList along;
        for (int link = 0; link < graph.links.size(); ++link) {
            if (placement.bends.at(link) == drawn.bends.at(link))
                continue;
            ++routedAgain;
            const LayoutGraph::Link& ends = graph.links.at(link);
            const QPolygonF path
                = drawnLink(placement.centers.at(ends.from), placement.bends.at(link), placement.centers.at(ends.to));
            for (const QString& device : edgesRunAlong(path, rects, ends.from, ends.to))
                along << QStringLiteral("%1>%2 along %3").arg(ends.from).arg(ends.to).arg(device);
        }
        QVERIFY(routedAgain > 0);
        QVERIFY2(along.isEmpty(),
                 qPrintable(QStringLiteral("%1 of %2 links, e.g. %3").arg(along.size()).arg(routedAgain).arg(along.value(0))));
    }

    void farReachingLinksGetDotWhereItFinishesInTime_data()
    {
        QTest::addColumn<int>("devices");
        QTest::addColumn<int>("type");
        QTest::addColumn<bool>("laidOut");
        QTest::newRow("far chain, 500, Orthogonal") << 500 << int(LayoutGraph::Orthogonal) << true;
        QTest::newRow("far chain, 500, FixedClusters") << 500 << int(LayoutGraph::FixedClusters) << true;
        // dot's drawing of this one holds four million nodes: the grid at once
        QTest::newRow("far chain, 4000, Orthogonal") << 4000 << int(LayoutGraph::Orthogonal) << false;
        QTest::newRow("far chain, 4000, Hierarchical") << 4000 << int(LayoutGraph::Hierarchical) << false;
    }

    void farReachingLinksGetDotWhereItFinishesInTime()
    {
        QFETCH(int, devices);
        QFETCH(int, type);
        QFETCH(bool, laidOut);
        const LayoutGraph graph = LayoutCorpus::farChain(devices, type);
        const GraphLayoutAdapter::Options defaults;

        // Then dot is given the graph under the map's own deadline only where it can finish in time
        QCOMPARE(!LayoutPlan::of(graph, "dot").outrunsDeadline(defaults.deadlineMs), laidOut);
        // And lays it out; the deadline here leaves room for a loaded machine
        GraphLayoutAdapter::Options options;
        options.deadlineMs = laidOut ? 60000 : defaults.deadlineMs;
        QElapsedTimer timer;
        timer.start();
        const GraphLayoutAdapter::Result result = GraphLayoutAdapter::layOut(graph, options);
        QCOMPARE(result.fellBack, !laidOut);
        QCOMPARE(result.method == QLatin1String("layered grid"), !laidOut);
        if (!laidOut)
            QVERIFY2(result.reason.contains("would take longer"), qPrintable(result.reason));
        qInfo("%s in %lld ms", qPrintable(result.method), timer.elapsed());
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
