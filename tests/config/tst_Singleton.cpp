#include "Singleton.h"
#include "YamlConfig.h"

#include <QThread>
#include <QtTest>

#include <atomic>
#include <memory>
#include <vector>

#include <dlfcn.h>

namespace {

std::atomic<int> constructions {0};

// Slow to build, so that racing first calls overlap inside the constructor.
struct SlowToBuild
{
    SlowToBuild()
    {
        ++constructions;
        QThread::msleep(50);
    }
};

} // namespace

class TestSingleton : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void racingFirstCallsBuildOneObject()
    {
        // Given threads released at the same moment
        const int threadCount = 8;
        std::atomic<bool> go {false};
        std::vector<SlowToBuild*> results(threadCount, nullptr);
        std::vector<std::unique_ptr<QThread>> threads;
        for (int i = 0; i < threadCount; ++i) {
            threads.emplace_back(QThread::create([&, i] {
                while (!go)
                    QThread::yieldCurrentThread();
                results[i] = Singleton<SlowToBuild>::instance();
            }));
            threads.back()->start();
        }

        // When each asks for the instance first
        go = true;
        for (auto& thread : threads)
            QVERIFY(thread->wait(10000));

        // Then all got the one object, built once
        QCOMPARE(constructions.load(), 1);
        QVERIFY(results.front());
        for (SlowToBuild* result : results)
            QCOMPARE(result, results.front());
        QCOMPARE(Singleton<SlowToBuild>::instance(), results.front());
    }

    void configurationStoreLivesInTheLibrary()
    {
        // The host must reach the library's statics, not copies of its own.
        Dl_info info {};
        QVERIFY(dladdr(static_cast<void*>(&Singleton<YamlConfig>::_instance), &info));
        QVERIFY2(QString(info.dli_fname).contains("libDozeRozOZU"), info.dli_fname);
        QVERIFY(Singleton<YamlConfig>::mutex);
        QVERIFY(!Singleton<YamlConfig>::instance()->parent());
        QCOMPARE(Singleton<YamlConfig>::instance(), Singleton<YamlConfig>::_instance);
    }
};

QTEST_GUILESS_MAIN(TestSingleton)
#include "tst_Singleton.moc"
