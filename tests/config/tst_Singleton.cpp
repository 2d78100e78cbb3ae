#include "Singleton.h"
#include "YamlConfig.h"

#include <QThread>
#include <QtTest>

#include <algorithm>
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
        std::atomic<bool> go {false};
        std::vector<SlowToBuild*> results(8, nullptr);
        std::vector<std::unique_ptr<QThread>> threads;
        for (SlowToBuild*& result : results) {
            threads.emplace_back(QThread::create([&go, &result] {
                while (!go)
                    QThread::yieldCurrentThread();
                result = Singleton<SlowToBuild>::instance();
            }));
            threads.back()->start();
        }
        go = true;
        for (auto& thread : threads)
            QVERIFY(thread->wait(10000));

        QCOMPARE(constructions.load(), 1);
        QVERIFY(results.front());
        QCOMPARE(int(std::count(results.begin(), results.end(), results.front())), 8);
    }

    void configurationStoreLivesInTheLibrary()
    {
        // The host must reach the library's statics, not copies of its own.
        Dl_info info {};
        QVERIFY(dladdr(static_cast<void*>(&Singleton<YamlConfig>::_instance), &info));
        QVERIFY2(QString(info.dli_fname).contains("libDozeRozOZU"), info.dli_fname);
        YamlConfig* store = Singleton<YamlConfig>::instance();
        QCOMPARE(store, Singleton<YamlConfig>::_instance);
    }
};

QTEST_GUILESS_MAIN(TestSingleton)
#include "tst_Singleton.moc"
