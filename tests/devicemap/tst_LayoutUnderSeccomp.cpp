#include "GraphLayoutAdapter.h"
#include "LayoutCorpus.h"
#include "LayoutProcess.h"
#include "TestSupport.h"

#include <QtTest>

#include <linux/filter.h>
#include <linux/seccomp.h>
#include <sched.h>
#include <sys/prctl.h>
#include <sys/syscall.h>
#include <sys/utsname.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <cstddef>
#include <cstdio>
#include <vector>

// The automatic layout of a host that may not call clone3(): a container runtime's default
// seccomp profile, application sandboxes and valgrind answer it with ENOSYS, and some refuse
// pidfd_open() too. A seccomp filter cannot be taken back, so each case runs this suite again
// in a process of its own, which installs the filter in main() before anything else runs and
// sets SIGCHLD as the case's host does.

namespace {

/// The system calls the run refuses, as refuse() names them, comma-separated; unset in the suite's own run.
constexpr char refusedVariable[] = "LAYOUT_TEST_REFUSED";
/// What the run's host does with SIGCHLD: "default", "ignored" or "reaped".
constexpr char sigchldVariable[] = "LAYOUT_TEST_SIGCHLD";

/**
 * Makes the named system calls fail with ENOSYS in this process and every one it starts:
 * "clone3", "pidfd_open", or "vfork" for vfork() and clone() with CLONE_VFORK (what the C
 * library falls back to for a new process; threads are still made). "vfork=EPERM" refuses
 * those with EPERM, as a profile that forbids new processes does.
 */
bool refuse(const QByteArrayList& names)
{
    const sock_filter allowance = BPF_STMT(BPF_RET | BPF_K, SECCOMP_RET_ALLOW);
    std::vector<sock_filter> filter{BPF_STMT(BPF_LD | BPF_W | BPF_ABS, offsetof(seccomp_data, nr))};
    auto refusal = [](int error) -> sock_filter { return BPF_STMT(BPF_RET | BPF_K, SECCOMP_RET_ERRNO | __u32(error)); };
    auto refuseCall = [&](long number, int error) {
        filter.push_back(BPF_JUMP(BPF_JMP | BPF_JEQ | BPF_K, __u32(number), 0, 1));
        filter.push_back(refusal(error));
    };
    int vforkError = 0;
    for (const QByteArray& name : names) {
        if (name == "clone3")
            refuseCall(SYS_clone3, ENOSYS);
        else if (name == "pidfd_open")
            refuseCall(SYS_pidfd_open, ENOSYS);
        else if (name == "vfork" || name == "vfork=EPERM")
            vforkError = name == "vfork" ? ENOSYS : EPERM;
        else
            return false;
    }
    if (vforkError != 0) {
        refuseCall(SYS_vfork, vforkError);
        // Last, as it loads clone()'s flags over the call's number.
        filter.push_back(BPF_JUMP(BPF_JMP | BPF_JEQ | BPF_K, SYS_clone, 0, 3));
        filter.push_back(BPF_STMT(BPF_LD | BPF_W | BPF_ABS, offsetof(seccomp_data, args)));
        filter.push_back(BPF_JUMP(BPF_JMP | BPF_JSET | BPF_K, CLONE_VFORK, 0, 1));
        filter.push_back(refusal(vforkError));
    }
    filter.push_back(allowance);
    const sock_fprog program{static_cast<unsigned short>(filter.size()), filter.data()};
    return ::prctl(PR_SET_NO_NEW_PRIVS, 1, 0, 0, 0) == 0
           && ::syscall(SYS_seccomp, SECCOMP_SET_MODE_FILTER, 0, &program) == 0;
}

/// A host's own SIGCHLD handler that takes the status of every child that ends.
void reapEveryChild(int)
{
    const int saved = errno;
    while (::waitpid(-1, nullptr, WNOHANG) > 0) {
    }
    errno = saved;
}

bool handleSigchld(const QByteArray& how)
{
    struct sigaction action{};
    if (how == "ignored")
        action.sa_handler = SIG_IGN;
    else if (how == "reaped")
        action.sa_handler = reapEveryChild;
    else
        return how == "default";
    return ::sigaction(SIGCHLD, &action, nullptr) == 0;
}

/// Whether the kernel keeps a child's status with its pidfd for after the host took it (Linux 6.15 on).
bool kernelKeepsStatus()
{
    utsname system{};
    int major = 0;
    int minor = 0;
    return ::uname(&system) == 0 && std::sscanf(system.release, "%d.%d", &major, &minor) == 2
           && (major > 6 || (major == 6 && minor >= 15));
}

bool filtered()
{
    return qEnvironmentVariableIsSet(refusedVariable);
}

} // namespace

class TestLayoutUnderSeccomp : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void laysOutWhereClone3IsRefused_data()
    {
        QTest::addColumn<QString>("refused");
        QTest::addColumn<QString>("sigchld");
        QTest::addColumn<QStringList>("checks");
        const QStringList layouts{QStringLiteral("everyTypeLaysOut"), QStringLiteral("programsEndIsKnown")};
        for (const char* refused : {"clone3", "clone3,pidfd_open"}) {
            for (const char* sigchld : {"default", "ignored", "reaped"})
                QTest::addRow("%s refused, SIGCHLD %s", refused, sigchld) << refused << sigchld << layouts;
        }
        QTest::newRow("no process can be made") << "clone3,vfork" << "default" << QStringList{"startFailureIsNamed"};
        QTest::newRow("no process may be made")
            << "clone3,vfork=EPERM" << "default" << QStringList{"startFailureIsNamed"};
    }

    void laysOutWhereClone3IsRefused()
    {
        QFETCH(QString, refused);
        QFETCH(QString, sigchld);
        QFETCH(QStringList, checks);
        if (filtered())
            QSKIP("starts the filtered runs");
        // Given a process of its own where the system calls are refused, its host's SIGCHLD set
        QProcess run;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QLatin1String(refusedVariable), refused);
        environment.insert(QLatin1String(sigchldVariable), sigchld);
        run.setProcessEnvironment(environment);
        run.setProcessChannelMode(QProcess::MergedChannels);

        // When it lays out graphs of every type and runs the layout program on a job it cannot
        // read, or lays out where no process can be made
        run.start(QCoreApplication::applicationFilePath(), checks);

        // Then each of its checks passes
        QVERIFY(run.waitForFinished(280000));
        const QByteArray output = run.readAll();
        QVERIFY2(run.exitStatus() == QProcess::NormalExit && run.exitCode() == 0, output.constData());
        QVERIFY2(!output.contains("SKIP"), output.constData());
    }

    // The cases below run only in a filtered process.

    void everyTypeLaysOut_data()
    {
        LayoutCorpus::addTypeRows();
    }

    void everyTypeLaysOut()
    {
        QFETCH(qint32, type);
        if (!filtered())
            QSKIP("runs in a filtered process of its own");
        // Given a graph of 700 devices that Graphviz draws
        const LayoutGraph graph = LayoutCorpus::crossLinkedLanes(700, type);

        // When the map lays it out
        const GraphLayoutAdapter::Result result = GraphLayoutAdapter::layOutWithin(graph);

        // Then Graphviz draws it, and nothing of the run is left
        QVERIFY2(!result.fellBack, qPrintable(result.reason));
        QVERIFY2(result.method.startsWith(QLatin1String("dot")), qPrintable(result.method));
        QCOMPARE(result.arrangement.deviceRects.size(), graph.devices.size());
        QTRY_VERIFY_WITH_TIMEOUT(TestSupport::childProcesses().isEmpty(), 2000);
    }

    void programsEndIsKnown()
    {
        if (!filtered())
            QSKIP("runs in a filtered process of its own");
        // Given the layout program and a job it cannot read, which it answers with exit status 2
        LayoutProcess::Limits limits;
        limits.deadline = QDeadlineTimer(20000);

        // When it runs
        const LayoutProcess::Outcome outcome
            = LayoutProcess::run(LayoutProcess::installedProgram(), "not a job\n", limits);

        // Then its end is noticed at once, and its status wherever the system keeps it for us
        const QByteArray sigchld = qgetenv(sigchldVariable);
        const bool pidFds = !qgetenv(refusedVariable).contains("pidfd_open");
        const bool statusKept = sigchld == "default" || (pidFds && kernelKeepsStatus());
        const bool statusLost = sigchld == "ignored" && !statusKept;
        QVERIFY2(outcome.messages.contains("dozerozozu-layout:"), outcome.messages.constData());
        if (!statusLost && (statusKept || outcome.end == LayoutProcess::End::Exited)) {
            QCOMPARE(outcome.end, LayoutProcess::End::Exited);
            QCOMPARE(outcome.code, 2);
        } else {
            // The host took its status: its answer is judged by itself, and it gave none
            QCOMPARE(outcome.end, LayoutProcess::End::Answered);
            QVERIFY(outcome.output.isEmpty());
        }
        QTRY_VERIFY_WITH_TIMEOUT(TestSupport::childProcesses().isEmpty(), 2000);
    }

    void startFailureIsNamed()
    {
        if (!filtered())
            QSKIP("runs in a filtered process of its own");
        // Given a sandbox where no process can be made, or none may be
        GraphLayoutAdapter::Options options;
        options.engine = GraphLayoutAdapter::Engine::Graphviz;
        const bool forbidden = qgetenv(refusedVariable).contains("=EPERM");

        // When the map lays a graph out
        const GraphLayoutAdapter::Result result
            = GraphLayoutAdapter::layOut(LayoutCorpus::tree(50, LayoutGraph::Hierarchical), options);

        // Then the grid stands in, and the notice says what failed and why: the process, not the program's file
        QVERIFY(result.fellBack);
        const QString failure
            = forbidden ? QStringLiteral("The system could not start the automatic layout (a new process was refused)")
                        : QStringLiteral("the process for its program %1 could not be made: a system call it needs "
                                         "is not available")
                              .arg(LayoutProcess::installedProgram());
        QVERIFY2(result.reason.contains(failure), qPrintable(result.reason));
    }
};

int main(int argc, char* argv[])
{
    if (filtered()) {
        if (!refuse(qgetenv(refusedVariable).split(','))) {
            std::perror("seccomp");
            return 1;
        }
        if (!handleSigchld(qgetenv(sigchldVariable))) {
            std::perror("sigaction");
            return 1;
        }
    }
    QCoreApplication application(argc, argv);
    TestLayoutUnderSeccomp test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_LayoutUnderSeccomp.moc"
