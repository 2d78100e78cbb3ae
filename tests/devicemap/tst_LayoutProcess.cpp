#include "GraphLayoutAdapter.h"
#include "LayoutCorpus.h"
#include "LayoutProcess.h"
#include "TestSupport.h"

#include <QtTest>

#include <QFile>
#include <QTemporaryDir>

class TestLayoutProcess : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { QVERIFY(directory.isValid()); }

    void failureGivesTheGridAndItsReason_data()
    {
        QTest::addColumn<QString>("script");
        QTest::addColumn<qint64>("memoryLimit");
        QTest::addColumn<int>("deadlineMs");
        QTest::addColumn<int>("farReachingDevices");
        QTest::addColumn<QString>("reason");
        const qint64 usual = LayoutProcess::defaultMemoryBytes;
        QTest::newRow("crashes") << "kill -SEGV $$" << usual << 9000 << 0 << "crashed (signal 11";
        QTest::newRow("killed from outside") << "kill -KILL $$" << usual << 9000 << 0 << "killed from outside";
        QTest::newRow("answers nonsense") << "cat > /dev/null; echo nonsense" << usual << 9000 << 0
                                          << "failed (not a layout drawing)";
        QTest::newRow("never answers") << "exec sleep 60" << usual << 300 << 0 << "took longer than 0.3 s";
        QTest::newRow("not there") << QString() << usual << 9000 << 0 << "could not run";
        // The real program, on a graph whose drawing needs far more memory than it may take
        QTest::newRow("out of memory") << "installed" << (qint64(100) << 20) << 60000 << 700 << "more than its 100 MB";
    }

    void failureGivesTheGridAndItsReason()
    {
        QFETCH(QString, script);
        QFETCH(qint64, memoryLimit);
        QFETCH(int, deadlineMs);
        QFETCH(int, farReachingDevices);
        QFETCH(QString, reason);
        // Given a layout program that fails in its own way
        GraphLayoutAdapter::Options options;
        options.engine = GraphLayoutAdapter::Engine::Graphviz;
        options.deadlineMs = deadlineMs;
        options.memoryLimitBytes = memoryLimit;
        options.layoutProgram = script == QLatin1String("installed") ? QString() : programFor(script);
        const LayoutGraph graph = farReachingDevices > 0 ? LayoutCorpus::farChain(farReachingDevices, LayoutGraph::Hierarchical)
                                                         : LayoutCorpus::crossLinkedLanes(300, LayoutGraph::Hierarchical);

        // When the map lays a graph out with it
        const GraphLayoutAdapter::Result result = GraphLayoutAdapter::layOutWithin(graph, options);

        // Then the grid places every device, and the reason names what happened
        QVERIFY(result.fellBack);
        QVERIFY2(result.reason.contains(reason), qPrintable(result.reason));
        QCOMPARE(result.arrangement.deviceRects.size(), graph.devices.size());
        // And nothing of the failed run is left
        QTRY_VERIFY_WITH_TIMEOUT(TestSupport::childProcesses().isEmpty(), 5000);

        // And the next layout runs as usual
        const LayoutGraph next = LayoutCorpus::crossLinkedLanes(300, LayoutGraph::Hierarchical);
        const GraphLayoutAdapter::Result again = GraphLayoutAdapter::layOutWithin(next);
        QVERIFY2(!again.fellBack, qPrintable(again.reason));
        QVERIFY(again.method.startsWith(QLatin1String("dot")));
    }

    void abandonedRunEndsItsProcess()
    {
        // Given a layout that has started Graphviz
        GraphLayoutAdapter::Options options;
        options.layoutProgram = programFor(QStringLiteral("exec sleep 60"));
        QFuture<GraphLayoutAdapter::Result> future
            = GraphLayoutAdapter::start(LayoutCorpus::tree(50, LayoutGraph::Hierarchical), options);
        QTRY_COMPARE(TestSupport::childProcesses().size(), 1);

        // When its caller gives it up
        future.cancel();

        // Then its process is gone at once, and the run gives nothing
        QTRY_VERIFY_WITH_TIMEOUT(TestSupport::childProcesses().isEmpty(), 1000);
        future.waitForFinished();
        QCOMPARE(future.resultCount(), 0);
    }

private:
    /// A layout program that runs command as a shell script.
    QString programFor(const QString& command)
    {
        if (command.isEmpty())
            return directory.filePath(QStringLiteral("not-there"));
        const QString path = directory.filePath(QStringLiteral("program-%1").arg(++programs));
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly))
            return QString();
        file.write("#!/bin/sh\n" + command.toUtf8() + '\n');
        file.close();
        file.setPermissions(file.permissions() | QFileDevice::ExeOwner);
        return path;
    }

    QTemporaryDir directory;
    int programs = 0;
};

QTEST_GUILESS_MAIN(TestLayoutProcess)
#include "tst_LayoutProcess.moc"
