#include "Singleton.h"
#include "YamlConfig.h"

#include <QtTest>

#include <dlfcn.h>

class TestSingleton : public QObject
{
    Q_OBJECT

private Q_SLOTS:
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
