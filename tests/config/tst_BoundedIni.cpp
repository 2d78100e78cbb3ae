#include "BoundedIni.h"
#include "OutsideTextReaders.h"
#include "ReaderMemoryProbe.h"

#include <QSettings>
#include <QTemporaryDir>
#include <QtTest>

using OutsideTextReaders::variantListValue;
using OutsideTextReaders::writeText;

class TestBoundedIni : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { QVERIFY(dir.isValid()); }

    // Each text is also read by QSettings in a child under a memory limit: a text called safe
    // must read there without trouble, and every text called unsafe really makes QSettings
    // read a QVariant from a stream (the child then runs out of memory or throws).
    void findsEveryValueQSettingsReadsFromAStream_data()
    {
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<bool>("safe");
        const QByteArray at = "[General]\nsceneRect=";
        QTest::newRow("layout file") << QByteArray("[General]\nsceneRect=@Rect(0 0 1200 1000)\nlayoutType=1\n"
                                                   "[pump1]\nrect=@Rect(10 20 100 40)\n"
                                                   "[Clusters]\nClusterNames=a, \"b, c\"\n")
                                     << true;
        QTest::newRow("escapes and quotes") << QByteArray("[a]\nname=\"x\\\"y\\x41\\101\", @@Variant(z)\n") << true;
        QTest::newRow("plain") << at + variantListValue("@") << false;
        // A later stream version, with a flag byte after the type.
        QTest::newRow("date and time") << at + "@DateTime(\\0\\0\\0\\t\\0\\x7f\\xff\\xff\\xff)" << false;
        QTest::newRow("hexadecimal @") << at + variantListValue("\\x40") << false;
        QTest::newRow("long hexadecimal @") << at + variantListValue("\\x10040") << false;
        QTest::newRow("octal @") << at + variantListValue("\\100") << false;
        QTest::newRow("octal V") << at + variantListValue("@").replace("@V", "@\\126") << false;
        QTest::newRow("quoted") << at + "\"" + variantListValue("@") + "\"" << false;
        QTest::newRow("list item") << at + "a, " + variantListValue("@") << false;
        QTest::newRow("split by quotes") << at + "\"@\"  " + variantListValue("") << false;
        QTest::newRow("dropped escape") << at + "@\\z" + variantListValue("") << false;
        QTest::newRow("continued line") << at + "@Var\\\niant(\\0\\0\\0\\t\\x7f\\xff\\xff\\xff)" << false;
    }

    void findsEveryValueQSettingsReadsFromAStream()
    {
        QFETCH(QByteArray, text);
        QFETCH(bool, safe);
        text += '\n';
        QString reason;
        QCOMPARE(BoundedIni::isSafeForSettings(text, &reason), safe);
        QCOMPARE(reason.isEmpty(), safe);

        const QString path = dir.filePath(QStringLiteral("probe.ini"));
        QVERIFY(writeText(path, text));
        const ReaderMemoryProbe::Result result = ReaderMemoryProbe::run(
            [&path] {
                QSettings settings(path, QSettings::IniFormat);
                for (const QString& key : settings.allKeys())
                    settings.value(key);
            },
            qint64(256) << 20, 10);
        QCOMPARE(result.isClean(), safe);
    }

    // A device or a pipe would block or never end; a changed file gets a new answer.
    void readsRegularFilesAndAnswersForTheFileAsItIsNow()
    {
        QByteArray text;
        QString error;
        QVERIFY(!BoundedIni::readFile(QStringLiteral("/dev/zero"), &text, &error));
        QCOMPARE(error, QStringLiteral("not a regular file"));
        QVERIFY(!BoundedIni::readFile(dir.path(), &text, &error));
        QVERIFY(BoundedIni::isFileSafeForSettings(dir.filePath(QStringLiteral("missing.ini"))));

        const QString path = dir.filePath(QStringLiteral("changing.ini"));
        QVERIFY(writeText(path, "[General]\nlayoutType=1\n"));
        QVERIFY(BoundedIni::isFileSafeForSettings(path));
        QVERIFY(writeText(path, "[General]\nlayoutType=" + variantListValue("@") + "\n"));
        QString reason;
        QVERIFY(!BoundedIni::isFileSafeForSettings(path, &reason));
        QVERIFY(reason.contains(QLatin1String("@Variant(")));
    }

private:
    QTemporaryDir dir;
};

QTEST_GUILESS_MAIN(TestBoundedIni)
#include "tst_BoundedIni.moc"
