// Links carrying values between device threads while the graph is torn down. Built on its own
// under AddressSanitizer and ThreadSanitizer as well (see the README), so it uses the framework
// and QtTest only. LINK_STRESS_ROUNDS in the environment sets the rounds per way of tearing down.
#include "BaseDevice.h"
#include "DeviceManager.h"

#include <QElapsedTimer>
#include <QtTest>

#include <array>
#include <atomic>
#include <functional>
#include <memory>

namespace {

// One device of each kind per thread: the GUI thread and two workers, so that every link of a
// pump to a probe runs in one thread direction: same thread, GUI to worker, worker to GUI,
// worker to another worker.
const QStringList threadNames{QString(), QStringLiteral("worker"), QStringLiteral("worker2")};
constexpr int threadCount = 3;
constexpr int allPumps = (1 << threadCount) - 1;

// What reached the probes, by probe number; each value carries the number of its pump.
struct Tally
{
    std::array<std::atomic<int>, threadCount> seenByDoubleLink{};
    std::array<std::atomic<int>, threadCount> seenByConvertedLink{};
    /// Pumps whose links to the probe are gone: nothing of theirs may reach it any more.
    std::array<std::atomic<int>, threadCount> cut{};
    std::array<std::atomic<int>, threadCount> late{};

    void reset()
    {
        for (int i = 0; i < threadCount; ++i)
            seenByDoubleLink[i] = seenByConvertedLink[i] = cut[i] = late[i] = 0;
    }
};

Tally tally;

/// Sends its number round a link to itself for as long as it lives, once a generator started it:
/// its values flow as fast as its thread's event loop turns.
class PumpDevice : public BaseDevice
{
    Q_OBJECT
public:
    PumpDevice() { addParam("number", "0"); }
    void setParam(const QString& key, const QString& value) override
    {
        BaseDevice::setParam(key, value);
        number = getParam("number").raw().toInt();
    }
public Q_SLOTS:
    void start(double)
    {
        if (!running.exchange(true))
            Q_EMIT output(number);
    }
    void input(double) { Q_EMIT output(number); }
Q_SIGNALS:
    void output(double number);

private:
    std::atomic<int> number{0};
    std::atomic<bool> running{false};
};

/// Notes the pump of each value that reaches it, and each that comes after its link was cut.
class ProbeDevice : public BaseDevice
{
    Q_OBJECT
public:
    ProbeDevice() { addParam("number", "0"); }
    void setParam(const QString& key, const QString& value) override
    {
        BaseDevice::setParam(key, value);
        number = getParam("number").raw().toInt();
    }
public Q_SLOTS:
    void input(double pump) { note(int(pump), tally.seenByDoubleLink); }
    void count(int pump) { note(pump, tally.seenByConvertedLink); }

private:
    void note(int pump, std::array<std::atomic<int>, threadCount>& seen)
    {
        const int bit = 1 << pump;
        if (tally.cut[number] & bit)
            tally.late[number] |= bit;
        seen[number] |= bit;
    }

    std::atomic<int> number{0};
};

// The GUI thread's event loop for a while, deferred deletions included, as a host's would run.
void spinEventLoop(int milliseconds, const std::function<bool()>& done = {})
{
    QElapsedTimer timer;
    timer.start();
    while (timer.elapsed() < milliseconds && !(done && done())) {
        QCoreApplication::processEvents(QEventLoop::AllEvents);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
}

bool everyLinkCarried()
{
    for (int probe = 0; probe < threadCount; ++probe) {
        if (tally.seenByDoubleLink[probe] != allPumps || tally.seenByConvertedLink[probe] != allPumps)
            return false;
    }
    return true;
}

struct Graph
{
    QStringList generators;
    QStringList pumps;
    QStringList probes;
};

// In every thread a generator starting a pump, and a probe; every pump linked to every probe
// twice, once plainly and once through a conversion to int.
Graph buildGraph(DeviceManager& manager)
{
    Graph graph;
    for (int i = 0; i < threadCount; ++i) {
        graph.generators << manager.createDevice("generator", false);
        graph.pumps << manager.createDevice("pump", false);
        graph.probes << manager.createDevice("probe", false);
        manager.setDeviceParam(graph.generators.last(), "interval", "1");
        manager.setDeviceParam(graph.pumps.last(), "number", QString::number(i));
        manager.setDeviceParam(graph.probes.last(), "number", QString::number(i));
        for (const QString& name : {graph.generators.last(), graph.pumps.last(), graph.probes.last()})
            manager.setDeviceThread(name, threadNames.at(i));
    }
    for (int i = 0; i < threadCount; ++i) {
        manager.addConnection(graph.generators.at(i), graph.pumps.at(i), "valueChanged(double)", "start(double)");
        manager.addConnection(graph.pumps.at(i), graph.pumps.at(i), "output(double)", "input(double)");
        for (const QString& probe : qAsConst(graph.probes)) {
            manager.addConnection(graph.pumps.at(i), probe, "output(double)", "input(double)");
            manager.addConnection(graph.pumps.at(i), probe, "output(double)", "count(int)");
        }
    }
    for (const QString& generator : qAsConst(graph.generators))
        manager.initialiseDevice(generator);
    return graph;
}

int stressRounds()
{
    bool ok = false;
    const int rounds = qEnvironmentVariableIntValue("LINK_STRESS_ROUNDS", &ok);
    return ok && rounds > 0 ? rounds : 20;
}

} // namespace

class TestLinkRelay : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void tearingDownWhileValuesFlowIsSafe_data();
    void tearingDownWhileValuesFlowIsSafe();
};

enum class Teardown { RemoveSenders, RemoveReceivers, RemoveLinks, DeleteManager };
Q_DECLARE_METATYPE(Teardown)

void TestLinkRelay::tearingDownWhileValuesFlowIsSafe_data()
{
    QTest::addColumn<Teardown>("teardown");
    QTest::newRow("removing the senders") << Teardown::RemoveSenders;
    QTest::newRow("removing the receivers") << Teardown::RemoveReceivers;
    QTest::newRow("removing the links") << Teardown::RemoveLinks;
    QTest::newRow("deleting the manager") << Teardown::DeleteManager;
}

void TestLinkRelay::tearingDownWhileValuesFlowIsSafe()
{
    QFETCH(Teardown, teardown);
    const int rounds = stressRounds();
    for (int round = 0; round < rounds; ++round) {
        // Given a graph whose values flow in every thread direction
        tally.reset();
        auto manager = std::make_unique<DeviceManager>();
        DeviceTypeInfo type;
        manager->registerDeviceType("pump", type, [] { return new PumpDevice; });
        manager->registerDeviceType("probe", type, [] { return new ProbeDevice; });
        const Graph graph = buildGraph(*manager);
        spinEventLoop(10000, everyLinkCarried);
        QVERIFY2(everyLinkCarried(), qPrintable(QString("round %1: a link carried nothing").arg(round)));

        // When it is torn down while they still flow, starting with another thread each round
        for (int step = 0; step < threadCount; ++step) {
            const int i = (round + step) % threadCount;
            switch (teardown) {
            case Teardown::RemoveSenders:
                manager->removeDevice(graph.pumps.at(i));
                for (auto& cut : tally.cut)
                    cut |= 1 << i;
                manager->removeDevice(graph.generators.at(i));
                break;
            case Teardown::RemoveReceivers:
                manager->removeDevice(graph.probes.at(i));
                manager->removeDevice(graph.pumps.at(i));
                break;
            case Teardown::RemoveLinks:
                for (int probe = 0; probe < threadCount; ++probe) {
                    manager->removeDeviceConnection(graph.pumps.at(i), graph.probes.at(probe));
                    tally.cut[probe] |= 1 << i;
                }
                manager->removeDeviceConnection(graph.pumps.at(i), graph.pumps.at(i));
                break;
            case Teardown::DeleteManager:
                manager.reset();
                break;
            }
            if (!manager)
                break;
        }
        spinEventLoop(2);
        manager.reset();
        spinEventLoop(1);

        // Then nothing reached a probe from a pump whose link to it was gone
        for (int probe = 0; probe < threadCount; ++probe)
            QVERIFY2(tally.late[probe] == 0, qPrintable(QString("round %1: probe %2 heard removed pumps %3")
                                                             .arg(round)
                                                             .arg(probe)
                                                             .arg(tally.late[probe].load())));
    }
}

QTEST_GUILESS_MAIN(TestLinkRelay)
#include "tst_LinkRelay.moc"
