#include "GraphLayoutAdapter.h"
#include "GraphvizJob.h"
#include "LayoutCorpus.h"
#include "LibraryTranslator.h"
#include "LayoutProcess.h"
#include "TestSupport.h"

#include <QtTest>

#include <QFile>
#include <QTemporaryDir>
#include <QThreadPool>

#include <csignal>
#include <dlfcn.h>
#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

/// The largest resident size this process has had, in bytes.
qint64 peakResidentBytes()
{
    return TestSupport::ownStatusBytes("VmHWM");
}

/// Whether the process pid runs: neither gone nor a zombie waiting for a parent that does not come.
bool runs(qint64 pid)
{
    QFile stat(QStringLiteral("/proc/%1/stat").arg(pid));
    if (pid <= 0 || !stat.open(QIODevice::ReadOnly))
        return false;
    const QByteArray text = stat.readAll();
    return text.mid(text.lastIndexOf(')') + 2, 1) != "Z";
}

/// A host's own SIGCHLD handler that takes the status of every child that ends.
void reapEveryChild(int)
{
    const int saved = errno;
    while (::waitpid(-1, nullptr, WNOHANG) > 0) {
    }
    errno = saved;
}

/// An answer the layout program could give for graph: every part placed, nothing routed.
GraphvizDrawing drawingOf(const LayoutGraph& graph)
{
    GraphvizDrawing drawing;
    for (int i = 0; i < graph.devices.size(); ++i)
        drawing.centers.append(QPointF(100.0 * i, 50.0));
    drawing.bends.resize(graph.links.size());
    for (int i = 0; i < graph.groups.size(); ++i)
        drawing.clusterRects.append(QRectF(0, 0, 100, 100));
    return drawing;
}

} // namespace

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

    void misbehavingProgramGivesTheGridAndLeavesNothing_data()
    {
        QTest::addColumn<QString>("script");
        QTest::addColumn<QString>("reason");
        const GraphvizDrawing whole = drawingOf(graph());
        GraphvizDrawing far = whole;
        far.centers[7] = QPointF(1e300, 20);
        const QString answer = fileWith(whole.toText());
        QTest::newRow("endless output") << "cat > /dev/null; exec yes" << "wrote more than it may";
        QTest::newRow("1 GB on standard error")
            << "cat > /dev/null; yes 'Warning: once more' | head -c 1000000000 >&2; cat " + answer << "wrote more than it may";
        QTest::newRow("failed with no reason") << "cat > /dev/null; cat " + fileWith(GraphvizDrawing::failureText(""))
                                               << "failed (no reason given)";
        QTest::newRow("1e300 coordinates") << "cat > /dev/null; cat " + fileWith(far.toText())
                                           << "failed (a drawing far larger than its graph)";
        QTest::newRow("Graphviz error, status 0")
            << "cat > /dev/null; echo 'Error: trouble in init_rank' >&2; cat " + answer
            << "failed (Graphviz could not lay out this graph)";
        QTest::newRow("Graphviz failed")
            << "cat > /dev/null; cat " + fileWith(GraphvizDrawing::failureText("Error: trouble in init_rank"))
            << "failed (Graphviz could not lay out this graph)";
        // No reason: its answer is whole, and is taken
        QTest::newRow("grandchild holding the pipes") << "sleep 60 & echo $! > " + pidFile() + "; cat > /dev/null; cat " + answer
                                                      << QString();
        QTest::newRow("grandchild on its own")
            << "sleep 60 < /dev/null > /dev/null 2>&1 & echo $! > " + pidFile() + "; cat > /dev/null" << "failed (no answer)";
    }

    void misbehavingProgramGivesTheGridAndLeavesNothing()
    {
        QFETCH(QString, script);
        QFETCH(QString, reason);
        // Given a layout program that misbehaves as a broken install or Graphviz build would
        QFile::remove(pidFile());
        GraphLayoutAdapter::Options options;
        options.engine = GraphLayoutAdapter::Engine::Graphviz;
        options.layoutProgram = programFor(script);
        const qint64 peakBefore = peakResidentBytes();

        // When the map lays a graph out with it
        const GraphLayoutAdapter::Result result = GraphLayoutAdapter::layOutWithin(graph(), options);

        // Then the grid stands in with a reason that names what happened, or the whole answer is taken
        QCOMPARE(result.fellBack, !reason.isEmpty());
        QVERIFY2(result.reason.contains(reason), qPrintable(result.reason));
        QCOMPARE(result.arrangement.deviceRects.size(), graph().devices.size());
        // And the application's memory stays bounded, and nothing of the run is left running
        QVERIFY2(peakResidentBytes() - peakBefore < (qint64(64) << 20), qPrintable(QString::number(peakResidentBytes() - peakBefore)));
        QVERIFY(TestSupport::childProcesses().isEmpty());
        QFile started(pidFile());
        if (started.open(QIODevice::ReadOnly))
            QVERIFY(!runs(started.readAll().trimmed().toLongLong()));
    }

    void hostsOwnWaysLeaveLayoutsAlone_data()
    {
        QTest::addColumn<QString>("host");
        QTest::newRow("ignores SIGCHLD") << "ignores SIGCHLD";
        QTest::newRow("reaps every child itself") << "reaps every child itself";
        QTest::newRow("fills the global thread pool") << "fills the global thread pool";
        QTest::newRow("holds a descriptor open") << "holds a descriptor open";
    }

    void hostsOwnWaysLeaveLayoutsAlone()
    {
        QFETCH(QString, host);
        // Given a host with its own ways
        GraphLayoutAdapter::Options options;
        options.engine = GraphLayoutAdapter::Engine::Graphviz;
        options.deadlineMs = 5000;
        struct sigaction own{};
        struct sigaction previous{};
        own.sa_handler = host == QLatin1String("ignores SIGCHLD") ? SIG_IGN : reapEveryChild;
        const bool ownSigchld = host == QLatin1String("ignores SIGCHLD") || host == QLatin1String("reaps every child itself");
        if (ownSigchld)
            QVERIFY(::sigaction(SIGCHLD, &own, &previous) == 0);
        QSemaphore release;
        QThreadPool* pool = QThreadPool::globalInstance();
        if (host == QLatin1String("fills the global thread pool")) {
            for (int i = 0; i < pool->maxThreadCount(); ++i)
                pool->start([&release]() { release.acquire(); });
        }
        int descriptor = -1;
        if (host == QLatin1String("holds a descriptor open")) {
            descriptor = ::open(qPrintable(directory.filePath(QStringLiteral("held"))), O_WRONLY | O_CREAT, 0600);
            QVERIFY(descriptor > 2);
            // A stand-in that answers only when the host's descriptor is not open in it
            options.layoutProgram = programFor(QStringLiteral("cat > /dev/null; [ -e /proc/$$/fd/%1 ] && exit 9; cat %2")
                                                   .arg(descriptor)
                                                   .arg(fileWith(drawingOf(graph()).toText())));
        }

        // When it lays a graph out
        const GraphLayoutAdapter::Result result = GraphLayoutAdapter::layOutWithin(graph(), options);
        if (ownSigchld)
            ::sigaction(SIGCHLD, &previous, nullptr);
        release.release(pool->maxThreadCount());
        pool->waitForDone();
        if (descriptor >= 0)
            ::close(descriptor);

        // Then it gets its layout
        QVERIFY2(!result.fellBack, qPrintable(result.reason));
        QVERIFY(TestSupport::childProcesses().isEmpty());
    }

    void quitDuringLayoutKeepsItsResult_data()
    {
        QTest::addColumn<int>("quitAfterMs");
        QTest::newRow("quit before the layout") << -1;
        QTest::newRow("quit during the layout") << 200;
    }

    void quitDuringLayoutKeepsItsResult()
    {
        QFETCH(int, quitAfterMs);
        // Given a layout that takes a second, and a host that quits meanwhile (a signal, say)
        GraphLayoutAdapter::Options options;
        options.engine = GraphLayoutAdapter::Engine::Graphviz;
        options.layoutProgram
            = programFor("cat > /dev/null; sleep 1; cat " + fileWith(drawingOf(graph()).toText()));
        if (quitAfterMs < 0)
            QCoreApplication::quit();
        else
            QTimer::singleShot(quitAfterMs, QCoreApplication::instance(), &QCoreApplication::quit);
        QElapsedTimer timer;
        timer.start();

        // When the map lays the graph out
        const GraphLayoutAdapter::Result result = GraphLayoutAdapter::layOutWithin(graph(), options);
        const qint64 elapsed = timer.elapsed();
        // (an application's exec() forgets the quit, so that later event loops run)
        QTimer::singleShot(0, QCoreApplication::instance(), &QCoreApplication::quit);
        QCoreApplication::exec();

        // Then it gets the layout, not a grid no deadline made
        QVERIFY2(!result.fellBack, qPrintable(result.reason));
        QVERIFY(elapsed >= 1000);
    }

    void reasonSpeaksTheUsersLanguage_data()
    {
        QTest::addColumn<QString>("script");
        QTest::addColumn<QString>("reason");
        QTest::addColumn<QString>("logged");
        QTest::newRow("missing program") << QString()
                                         << QString::fromUtf8("Автоматическую раскладку не удалось запустить (её программа %1 "
                                                              "не найдена), поэтому устройства размещены простой сеткой.")
                                         << QString();
        QTest::newRow("stopped from outside") << "kill -TERM $$"
                                              << QString::fromUtf8("Автоматическая раскладка была остановлена извне "
                                                                   "(завершена), поэтому устройства размещены простой сеткой.")
                                              << QString();
        QTest::newRow("crashed") << "kill -SEGV $$"
                                 << QString::fromUtf8("Автоматическая раскладка завершилась аварийно (сигнал 11, недопустимое "
                                                      "обращение к памяти), поэтому устройства размещены простой сеткой.")
                                 << QString();
        // Graphviz's own words go to the log
        QTest::newRow("Graphviz failed")
            << "cat > /dev/null; cat " + fileWith(GraphvizDrawing::failureText("Error: trouble in init_rank"))
            << QString::fromUtf8("Автоматическая раскладка не удалась (Graphviz не смог разложить этот граф), поэтому "
                                 "устройства размещены простой сеткой.")
            << "Graphviz failed: Error: trouble in init_rank";
    }

    void reasonSpeaksTheUsersLanguage()
    {
        QFETCH(QString, script);
        QFETCH(QString, reason);
        QFETCH(QString, logged);
        // Given a Russian user, and a layout program that is missing, ends by a signal or fails
        GraphLayoutAdapter::Options options;
        options.engine = GraphLayoutAdapter::Engine::Graphviz;
        options.layoutProgram = programFor(script);
        QVERIFY(LibraryTranslator::install(QLocale(QLocale::Russian, QLocale::Russia)));
        TestSupport::LogCapture log;

        // When the map lays a graph out with it
        const GraphLayoutAdapter::Result result = GraphLayoutAdapter::layOutWithin(graph(), options);
        LibraryTranslator::remove();

        // Then the user is told in Russian what happened, the missing program by its path
        QVERIFY(result.fellBack);
        QCOMPARE(result.reason, reason.contains(QLatin1String("%1")) ? reason.arg(options.layoutProgram) : reason);
        QVERIFY2(logged.isEmpty() || log.containsFragment(logged), qPrintable(log.messages().join('\n')));
    }

    void laysOutWithTheInstalledProgram()
    {
        const GraphLayoutAdapter::Result result = GraphLayoutAdapter::layOutWithin(graph());
        QVERIFY2(!result.fellBack, qPrintable(result.reason));
    }

    void findsTheInstalledProgram_data()
    {
        QTest::addColumn<bool>("throughLink");
        QTest::newRow("library loaded by its own path") << false;
        QTest::newRow("library loaded through a link") << true;
    }

    void findsTheInstalledProgram()
    {
        QFETCH(bool, throughLink);
        // Given a host that loads the library from a folder holding only a link to it (its own
        // library folder, say), or from where it lies
        Dl_info library{};
        QVERIFY(::dladdr(reinterpret_cast<void*>(&LayoutProcess::installedProgram), &library) != 0);
        const QString real = QFileInfo(QFile::decodeName(library.dli_fname)).canonicalFilePath();
        QProcess host;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        if (throughLink) {
            const QString folder = directory.filePath(QStringLiteral("host-libraries"));
            QVERIFY(QDir().mkpath(folder));
            QFile::link(real, QDir(folder).filePath(QFileInfo(QFile::decodeName(library.dli_fname)).fileName()));
            environment.insert(QStringLiteral("LD_LIBRARY_PATH"), folder);
        }
        host.setProcessEnvironment(environment);

        // When it lays a graph out
        host.start(QCoreApplication::applicationFilePath(), {QStringLiteral("laysOutWithTheInstalledProgram")});
        QVERIFY(host.waitForFinished(60000));

        // Then the layout program beside the library's real file draws it
        QVERIFY2(host.exitCode() == 0, host.readAllStandardOutput().constData());
    }

private:
    static LayoutGraph graph() { return LayoutCorpus::tree(50, LayoutGraph::Hierarchical); }

    QString pidFile() const { return directory.filePath(QStringLiteral("grandchild")); }

    /// A file in the test's folder that holds text.
    QString fileWith(const QByteArray& text)
    {
        const QString path = directory.filePath(QStringLiteral("file-%1").arg(++files));
        QFile file(path);
        if (file.open(QIODevice::WriteOnly))
            file.write(text);
        return path;
    }

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
    int files = 0;
};

QTEST_GUILESS_MAIN(TestLayoutProcess)
#include "tst_LayoutProcess.moc"
