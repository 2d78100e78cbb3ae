#include "CaseInsensetiveDictionary.h"

#include <QtTest>

class TestCaseInsensetiveDictionary : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void findsKeysInAnyCase()
    {
        CaseInsensetiveDictionary<int> dictionary;
        dictionary.insert("MixedCase", 7);

        QVERIFY(dictionary.contains("mixedcase"));
        QVERIFY(dictionary.contains("MIXEDCASE"));
        QCOMPARE(dictionary["mIxEdCaSe"], 7);
        QCOMPARE(dictionary.keys(), QStringList{"MixedCase"});
    }

    void reinsertKeepsNewestSpellingOnce()
    {
        CaseInsensetiveDictionary<int> dictionary;
        dictionary.insert("Key", 1);
        dictionary.insert("KEY", 2);

        QCOMPARE(dictionary.keys(), QStringList{"KEY"});
        QCOMPARE(dictionary.value("key"), 2);
        QCOMPARE(dictionary.remove("kEy"), 1);
        QVERIFY(dictionary.isEmpty());
        QVERIFY(!dictionary.contains("key"));
    }

    void subscriptAddsAbsentKeyAsSpelled()
    {
        CaseInsensetiveDictionary<QString> dictionary;
        dictionary["NewKey"] = "value";

        QCOMPARE(dictionary["NEWKEY"], QString("value"));
        QCOMPARE(dictionary.keys(), QStringList{"NewKey"});
    }

    void removeOfAbsentKeyKeepsEverything()
    {
        CaseInsensetiveDictionary<int> dictionary;
        dictionary.insert("", 1);
        dictionary.insert("a", 2);

        QCOMPARE(dictionary.remove("b"), 0);
        QCOMPARE(dictionary.size(), 2);
        QCOMPARE(dictionary.value(""), 1);
    }
};

QTEST_GUILESS_MAIN(TestCaseInsensetiveDictionary)
#include "tst_CaseInsensetiveDictionary.moc"
