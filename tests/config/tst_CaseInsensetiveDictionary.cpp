#include "CaseInsensetiveDictionary.h"

#include <QtTest>

class TestCaseInsensetiveDictionary : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void findsKeysInAnyCaseUnderTheLatestSpelling()
    {
        CaseInsensetiveDictionary<int> dictionary;
        dictionary.insert("MixedCase", 1);
        QVERIFY(dictionary.contains("MIXEDCASE"));
        QCOMPARE(dictionary["mIxEdCaSe"], 1);

        dictionary.insert("MIXEDcase", 2);
        QCOMPARE(dictionary.keys(), QStringList{"MIXEDcase"});
        QCOMPARE(dictionary.value("mixedcase"), 2);
        QCOMPARE(dictionary.remove("mixedCASE"), 1);
        QVERIFY(dictionary.isEmpty());
        QVERIFY(!dictionary.contains("mixedcase"));
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
