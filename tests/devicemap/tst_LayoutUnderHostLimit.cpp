#include "GraphLayoutAdapter.h"
#include "LayoutCorpus.h"
#include "TestSupport.h"

#include <QtTest>

#include <linux/capability.h>
#include <sys/resource.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <cstdio>

// The automatic layout of a host that runs under an address-space limit of its own, as batch
// systems and `ulimit -v` set one (soft and hard alike). The limit is taken in main(), before
// anything else runs, so this suite has an executable of its own and no other suite inherits it.
// Lower limits a case needs for a while are soft ones, raised again to the hard one after it;
// a case whose limit must last until the process ends runs this suite again in a process of its own.

namespace {

constexpr qint64 hostLimitBytes = qint64(1434) << 20; // 1.4 GiB

/// Which limit keeps threads from being made in a run of its own: "processes" or "stack"; unset in the suite's own run.
constexpr char noThreadVariable[] = "LAYOUT_TEST_NO_THREAD";
/// The exit status of a run of its own that cannot become a user of its own (a root without CAP_SETUID).
constexpr int noUserOfItsOwn = 77;

bool runOfItsOwn()
{
    return qEnvironmentVariableIsSet(noThreadVariable);
}

/// This process's address space, in bytes.
qint64 addressSpaceBytes()
{
    return TestSupport::ownStatusBytes("VmSize");
}

/**
 * Has this process count as a user's of its own for RLIMIT_NPROC, which never holds root's
 * processes back: its real user becomes nobody, and it gives up the capabilities that lift the
 * limit. Its files stay root's, so that it runs the layout program wherever the tree lies.
 * Called before the process has a second thread (capabilities are each thread's own).
 */
bool countAsAUserOfItsOwn()
{
    if (::setresuid(65534, uid_t(-1), uid_t(-1)) != 0)
        return false;
    __user_cap_header_struct header{_LINUX_CAPABILITY_VERSION_3, 0};
    __user_cap_data_struct capabilities[2] = {};
    if (::syscall(SYS_capget, &header, capabilities) != 0)
        return false;
    for (const int capability : {CAP_SYS_RESOURCE, CAP_SYS_ADMIN}) {
        capabilities[capability / 32].effective &= ~(1u << (capability % 32));
        capabilities[capability / 32].permitted &= ~(1u << (capability % 32));
    }
    return ::syscall(SYS_capset, &header, capabilities) == 0;
}

// A sanitizer's shadow memory takes terabytes of address space: such a build cannot run under the limit.
#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
#define HOST_LIMIT_SANITIZED 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer) || __has_feature(thread_sanitizer)
#define HOST_LIMIT_SANITIZED 1
#endif
#endif
#ifdef HOST_LIMIT_SANITIZED
constexpr bool sanitized = true;
#else
constexpr bool sanitized = false;
#endif

} // namespace

class TestLayoutUnderHostLimit : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void laysOutWithinTheHostsLimit_data()
    {
        LayoutCorpus::addTypeRows();
    }

    void laysOutWithinTheHostsLimit()
    {
        QFETCH(qint32, type);
        if (sanitized)
            QSKIP("a sanitizer's shadow memory does not fit under an address-space limit");
        // Given a host under a limit lower than the layout's own, and a graph of 700 devices
        rlimit limit{};
        QVERIFY(::getrlimit(RLIMIT_AS, &limit) == 0);
        QCOMPARE(qint64(limit.rlim_max), hostLimitBytes);
        const LayoutGraph graph = LayoutCorpus::crossLinkedLanes(700, type);

        // When the map lays it out
        const GraphLayoutAdapter::Result result = GraphLayoutAdapter::layOutWithin(graph);

        // Then Graphviz draws it within the host's limit
        QVERIFY2(!result.fellBack, qPrintable(result.reason));
        QVERIFY2(result.method.startsWith(QLatin1String("dot")), qPrintable(result.method));
        QCOMPARE(result.arrangement.deviceRects.size(), graph.devices.size());
    }

    void answerPastItsBoundGivesTheGrid_data()
    {
        QTest::addColumn<int>("roomMiB");
        QTest::addColumn<QString>("reason");
        // Room for the bound's 256 MB, not for twice that
        QTest::newRow("room for the bound") << 448 << "wrote more than it may (an answer longer than its graph";
        QTest::newRow("no room for the bound") << 160 << "The application ran out of memory during the automatic";
    }

    void answerPastItsBoundGivesTheGrid()
    {
        QFETCH(int, roomMiB);
        QFETCH(QString, reason);
        if (sanitized)
            QSKIP("a sanitizer's shadow memory does not fit under an address-space limit");
        if (runOfItsOwn())
            QSKIP("runs in the suite's own run");
        // Given a graph whose answer may take 256 MB, a layout program that answers without
        // end, and a host whose address space has room for that answer or not
        QTemporaryDir directory;
        const QString program = directory.filePath(QStringLiteral("endless-answer"));
        QFile script(program);
        QVERIFY(script.open(QIODevice::WriteOnly));
        script.write("#!/bin/sh\ncat > /dev/null; exec yes\n");
        script.close();
        QVERIFY(script.setPermissions(script.permissions() | QFileDevice::ExeOwner));
        GraphLayoutAdapter::Options options;
        options.engine = GraphLayoutAdapter::Engine::Graphviz;
        options.layoutProgram = program;
        const LayoutGraph graph = LayoutCorpus::tree(1100, LayoutGraph::Hierarchical);
        rlimit limit{};
        QVERIFY(::getrlimit(RLIMIT_AS, &limit) == 0);
        rlimit lower = limit;
        lower.rlim_cur = rlim_t(addressSpaceBytes() + (qint64(roomMiB) << 20));
        QVERIFY(lower.rlim_cur < limit.rlim_max);
        QVERIFY(::setrlimit(RLIMIT_AS, &lower) == 0);

        // When the map lays it out
        const GraphLayoutAdapter::Result result = GraphLayoutAdapter::layOutWithin(graph, options);
        QVERIFY(::setrlimit(RLIMIT_AS, &limit) == 0);

        // Then the grid places every device, and the reason names what happened
        QVERIFY(result.fellBack);
        QVERIFY2(result.reason.contains(reason), qPrintable(result.reason));
        QCOMPARE(result.arrangement.deviceRects.size(), graph.devices.size());
    }

    void noThreadGivesTheGridAtOnce_data()
    {
        QTest::addColumn<QString>("limit");
        QTest::newRow("too many processes (RLIMIT_NPROC)") << "processes";
        QTest::newRow("no room for a thread's stack (RLIMIT_AS)") << "stack";
    }

    void noThreadGivesTheGridAtOnce()
    {
        QFETCH(QString, limit);
        if (runOfItsOwn())
            QSKIP("starts the runs of their own");
        if (limit == QLatin1String("processes") && ::geteuid() != 0)
            QSKIP("lowers RLIMIT_NPROC as a user of its own, which only root can become");
        if (limit == QLatin1String("stack") && sanitized)
            QSKIP("a sanitizer's shadow memory does not fit under an address-space limit");
        // Given a process of its own in which no thread can be made for a while
        QProcess run;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QLatin1String(noThreadVariable), limit);
        run.setProcessEnvironment(environment);
        run.setProcessChannelMode(QProcess::MergedChannels);

        // When it lays a graph out meanwhile, then again once threads can be made, and ends
        run.start(QCoreApplication::applicationFilePath(), {QStringLiteral("laysOutOnceThreadsAreFree")});
        const bool ended = run.waitForFinished(60000);
        if (!ended) {
            run.kill();
            run.waitForFinished();
        }

        // Then its checks pass, and it ends by itself
        const QByteArray output = run.readAll();
        if (ended && run.exitCode() == noUserOfItsOwn)
            QSKIP(output.constData());
        QVERIFY2(ended, output.constData());
        QVERIFY2(run.exitStatus() == QProcess::NormalExit && run.exitCode() == 0, output.constData());
        QVERIFY2(!output.contains("SKIP"), output.constData());
    }

    // Runs only in a process of its own.
    void laysOutOnceThreadsAreFree()
    {
        if (!runOfItsOwn())
            QSKIP("runs in a process of its own");
        // Given a host that may make no thread: over its count of processes, or with no room for a stack
        const bool processes = qgetenv(noThreadVariable) == "processes";
        const int resource = processes ? RLIMIT_NPROC : RLIMIT_AS;
        const LayoutGraph graph = LayoutCorpus::tree(50, LayoutGraph::Hierarchical);
        rlimit limit{};
        QVERIFY(::getrlimit(resource, &limit) == 0);
        rlimit lower = limit;
        lower.rlim_cur = processes ? 1 : rlim_t(addressSpaceBytes() + (qint64(2) << 20));
        QVERIFY(::setrlimit(resource, &lower) == 0);

        // When the map lays a graph out, and, over the count of processes, a caller lays one
        // out on its own thread
        const GraphLayoutAdapter::Result refused = GraphLayoutAdapter::layOutWithin(graph);
        GraphLayoutAdapter::Options onItsThread;
        onItsThread.engine = GraphLayoutAdapter::Engine::Graphviz;
        const GraphLayoutAdapter::Result noProcess
            = processes ? GraphLayoutAdapter::layOut(graph, onItsThread) : refused;
        QVERIFY(::setrlimit(resource, &limit) == 0);

        // Then the grid comes at once, and the reason says that the system could not start the
        // layout: its thread, or its program's process
        const QString refusal
            = QStringLiteral("The system could not start the automatic layout (too many processes or threads)");
        for (const GraphLayoutAdapter::Result& result : {refused, noProcess}) {
            QVERIFY(result.fellBack);
            QVERIFY2(result.reason.startsWith(refusal), qPrintable(result.reason));
            QCOMPARE(result.arrangement.deviceRects.size(), graph.devices.size());
        }

        // And once threads can be made again, Graphviz draws the graph
        const GraphLayoutAdapter::Result again = GraphLayoutAdapter::layOutWithin(graph);
        QVERIFY2(!again.fellBack, qPrintable(again.reason));
        QVERIFY2(again.method.startsWith(QLatin1String("dot")), qPrintable(again.method));
    }
};

int main(int argc, char* argv[])
{
    if (qgetenv(noThreadVariable) == "processes") {
        if (!countAsAUserOfItsOwn()) {
            std::perror("cannot run as a user of its own");
            return noUserOfItsOwn;
        }
        // Its real user is not its effective one, as a set-user-ID program's is.
        QCoreApplication::setSetuidAllowed(true);
    }
    const rlimit limit{rlim_t(hostLimitBytes), rlim_t(hostLimitBytes)};
    if (!sanitized && ::setrlimit(RLIMIT_AS, &limit) != 0) {
        std::perror("setrlimit");
        return 1;
    }
    QCoreApplication application(argc, argv);
    TestLayoutUnderHostLimit test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_LayoutUnderHostLimit.moc"
