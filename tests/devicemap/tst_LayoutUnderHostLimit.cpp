#include "GraphLayoutAdapter.h"
#include "LayoutCorpus.h"

#include <QtTest>

#include <sys/resource.h>

#include <cstdio>

// The automatic layout of a host that runs under an address-space limit of its own, as batch
// systems and `ulimit -v` set one (soft and hard alike). The limit is taken in main(), before
// anything else runs, so this suite has an executable of its own and no other suite inherits it.

namespace {

constexpr qint64 hostLimitBytes = qint64(1434) << 20; // 1.4 GiB

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
};

int main(int argc, char* argv[])
{
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
