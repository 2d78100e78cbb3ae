#include "BoundedIni.h"
#include "ReaderMemoryProbe.h"

#include <QFile>
#include <QSettings>
#include <QTemporaryDir>
#include <QtTest>

#include <stdexcept>

namespace {

// A QVariant list of 2^31 - 1 items as QSettings would read it from the stream, after at.
QByteArray hugeList(const QByteArray& at, const QByteArray& word = "Variant(")
{
    return at + word + "\\0\\0\\0\\t\\x7f\\xff\\xff\\xff)";
}

// The same as "@DateTime(" holds it: a later stream version, with a flag byte after the type.
QByteArray hugeListAsDateTime()
{
    return "@DateTime(\\0\\0\\0\\t\\0\\x7f\\xff\\xff\\xff)";
}

bool writeFile(const QString& path, const QByteArray& text)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(text) == text.size();
}

} // namespace

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
        QTest::newRow("layout file") << QByteArray("[General]\nsceneRect=@Rect(0 0 1200 1000)\nlayoutType=1\n"
                                                   "[pump1]\nrect=@Rect(10 20 100 40)\n"
                                                   "[Clusters]\nClusterNames=a, \"b, c\"\n")
                                     << true;
        QTest::newRow("escapes and quotes") << QByteArray("[a]\nname=\"x\\\"y\\x41\\101\", @@Variant(z)\n") << true;
        QTest::newRow("plain") << "[General]\nsceneRect=" + hugeList("@") + "\n" << false;
        QTest::newRow("date and time") << "[General]\nsceneRect=" + hugeListAsDateTime() + "\n" << false;
        QTest::newRow("hexadecimal @") << "[General]\nsceneRect=" + hugeList("\\x40") + "\n" << false;
        QTest::newRow("long hexadecimal @") << "[General]\nsceneRect=" + hugeList("\\x10040") + "\n" << false;
        QTest::newRow("octal @") << "[General]\nsceneRect=" + hugeList("\\100") + "\n" << false;
        QTest::newRow("octal V") << "[General]\nsceneRect=@\\126" + hugeList("", "ariant(") + "\n" << false;
        QTest::newRow("quoted") << "[General]\nsceneRect=\"" + hugeList("@") + "\"\n" << false;
        QTest::newRow("list item") << "[General]\nsceneRect=a, " + hugeList("@") + "\n" << false;
        QTest::newRow("split by quotes") << "[General]\nsceneRect=\"@\"  " + hugeList("") + "\n" << false;
        QTest::newRow("dropped escape") << "[General]\nsceneRect=@\\z" + hugeList("") + "\n" << false;
        QTest::newRow("continued line") << QByteArray("[General]\nsceneRect=@Var\\\niant(\\0\\0\\0\\t\\x7f\\xff\\xff\\xff)\n")
                                        << false;
    }

    void findsEveryValueQSettingsReadsFromAStream()
    {
        QFETCH(QByteArray, text);
        QFETCH(bool, safe);
        QString reason;
        QCOMPARE(BoundedIni::isSafeForSettings(text, &reason), safe);
        QCOMPARE(reason.isEmpty(), safe);

        const QString path = dir.filePath(QStringLiteral("probe.ini"));
        QVERIFY(writeFile(path, text));
        const ReaderMemoryProbe::Result result = ReaderMemoryProbe::run(
            [&path] {
                QSettings settings(path, QSettings::IniFormat);
                for (const QString& key : settings.allKeys())
                    settings.value(key);
            },
            qint64(256) << 20, 10);
        QCOMPARE(result.isClean(), safe);
    }

    void readsOnlyRegularFilesOfBoundedSize()
    {
        QByteArray text;
        QString error;
        QVERIFY(BoundedIni::readFile(dir.filePath(QStringLiteral("missing.ini")), &text, &error));
        QVERIFY(text.isEmpty());
        QVERIFY(!BoundedIni::readFile(QStringLiteral("/dev/zero"), &text, &error));
        QCOMPARE(error, QStringLiteral("not a regular file"));
        QVERIFY(!BoundedIni::readFile(dir.path(), &text, &error));

        const QString path = dir.filePath(QStringLiteral("layout.ini"));
        QVERIFY(writeFile(path, "[General]\nlayoutType=1\n"));
        QVERIFY(BoundedIni::readFile(path, &text, &error));
        QCOMPARE(text, QByteArray("[General]\nlayoutType=1\n"));
    }

    void fileAnswerFollowsTheFile()
    {
        const QString path = dir.filePath(QStringLiteral("changing.ini"));
        QVERIFY(writeFile(path, "[General]\nlayoutType=1\n"));
        QVERIFY(BoundedIni::isFileSafeForSettings(path));
        QVERIFY(BoundedIni::isFileSafeForSettings(path));

        // Another size, another answer.
        QVERIFY(writeFile(path, "[General]\nlayoutType=" + hugeList("@") + "\n"));
        QString reason;
        QVERIFY(!BoundedIni::isFileSafeForSettings(path, &reason));
        QVERIFY(reason.contains(QLatin1String("@Variant(")));
        QVERIFY(BoundedIni::isFileSafeForSettings(dir.filePath(QStringLiteral("missing.ini"))));
    }

private:
    QTemporaryDir dir;
};

QTEST_GUILESS_MAIN(TestBoundedIni)
#include "tst_BoundedIni.moc"
