#include "IniFileText.h"

#include <QFile>
#include <QRect>
#include <QSettings>
#include <QTemporaryDir>
#include <QtTest>

using KeyValues = QMap<QString, QVariant>;

// The layout file's text is composed without QSettings; QSettings must have written the same bytes.
class TestIniFileText : public QObject
{
    Q_OBJECT

    QTemporaryDir dir;

    QByteArray writtenByQSettings(const QMap<QString, QVariant>& values, const QString& name)
    {
        const QString path = dir.filePath(name);
        {
            QSettings settings(path, QSettings::IniFormat);
            for (auto it = values.cbegin(); it != values.cend(); ++it)
                settings.setValue(it.key(), it.value());
        }
        // QSettings writes no file for no keys.
        QFile file(path);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }

    KeyValues readByQSettings(const QByteArray& text, const QString& name)
    {
        const QString path = dir.filePath(name);
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly) || file.write(text) != text.size())
            return KeyValues();
        file.close();
        KeyValues values;
        QSettings settings(path, QSettings::IniFormat);
        for (const QString& key : settings.allKeys())
            values.insert(key, settings.value(key));
        return values;
    }

    static IniFileText::PlainSectionRect collectInto(QHash<QString, QRect>& rects)
    {
        return [&rects](const char* section, int length, const QRect& rect) {
            const QString name = QString::fromLatin1(section, length);
            if (rects.contains(name))
                return false;
            rects.insert(name, rect);
            return true;
        };
    }

    // Equal values of the same type: QVariant's own comparison converts.
    static bool same(const KeyValues& a, const KeyValues& b)
    {
        if (a.keys() != b.keys())
            return false;
        for (auto it = a.cbegin(); it != a.cend(); ++it) {
            if (it.value().userType() != b.value(it.key()).userType() || it.value() != b.value(it.key()))
                return false;
        }
        return true;
    }

private Q_SLOTS:
    void writesAndReadsWhatQSettingsDoes_data()
    {
        QTest::addColumn<KeyValues>("values");

        QTest::newRow("layout") << KeyValues{
            {"sceneRect", QRect(-16, -16, 6028, 1241)},
            {"layoutType", 0},
            {"pump/rect", QRect(10, 20, 80, 30)},
            {"valve/rect", QRect(-1, -1, -1, -1)},
            {"pump:valve/bends", QStringList{"100.25;33.3333", "-4;1e+06"}},
            {"Clusters/ClusterNames", QStringList()},
        };
        QTest::newRow("names that need escaping") << KeyValues{
            {"two words/rect", QRect(1, 2, 3, 4)},
            {"\u0434\u0430\u0442\u0447\u0438\u043a %1/rect", QRect(5, 6, 7, 8)},
            {"a:b/bends", QStringList{"1;2"}},
            {"general/rect", QRect()},
            {"emoji \U0001F600/rect", QRect(0, 0, 2, 2)},
            {"Clusters/ClusterNames", QStringList{"@first", " padded ", "tab\there", "quote\"d", "back\\slash"}},
            {"Clusters/@first/rect", QRect(0, 0, 10, 10)},
            {"Clusters/@first/movesContainedDevices", false},
            {"Clusters/x/label", QStringLiteral("caf\u00e9 1,2=3; \u00e9f")},
            {"Clusters/y/label", QStringLiteral("nul\u0000 0a")},
        };
        QTest::newRow("empty") << KeyValues();
    }

    void writesAndReadsWhatQSettingsDoes()
    {
        QFETCH(KeyValues, values);
        const QString tag = QString::fromLatin1(QTest::currentDataTag());

        QByteArray text;
        QVERIFY(IniFileText::compose(values, &text));
        QCOMPARE(text, writtenByQSettings(values, tag + ".ini"));

        QHash<QString, QVariant> parsedValues;
        QHash<QString, QRect> rects;
        const bool parsed = IniFileText::parse(text, &parsedValues, collectInto(rects));
        KeyValues read;
        for (auto it = parsedValues.cbegin(); it != parsedValues.cend(); ++it)
            read.insert(it.key(), it.value());
        for (auto it = rects.cbegin(); it != rects.cend(); ++it)
            read.insert(it.key() + "/rect", it.value());
        // A layout as the map writes it is read directly; texts with escapes may go to QSettings.
        QVERIFY(parsed || tag == "names that need escaping");
        if (parsed)
            QVERIFY(same(read, readByQSettings(text, tag + " read.ini")));
    }

    void leavesTextInAnotherFormToQSettings_data()
    {
        QTest::addColumn<QByteArray>("text");
        QTest::newRow("blanks around =") << QByteArray("[a]\nrect = @Rect(1 2 3 4)\n");
        QTest::newRow("comment") << QByteArray("; saved by hand\n[a]\nrect=@Rect(1 2 3 4)\n");
        QTest::newRow("rectangle of three") << QByteArray("[a]\nrect=@Rect(1 2 3)\n");
        QTest::newRow("key given twice") << QByteArray("[a]\nrect=@Rect(1 2 3 4)\nrect=@Rect(5 6 7 8)\n");
    }

    void leavesTextInAnotherFormToQSettings()
    {
        QFETCH(QByteArray, text);
        QHash<QString, QVariant> read{{"untouched", 1}};
        QHash<QString, QRect> rects;

        QVERIFY(!IniFileText::parse(text, &read));
        QVERIFY(!IniFileText::parse(text, &read, collectInto(rects)));
        QCOMPARE(read, (QHash<QString, QVariant>{{"untouched", 1}}));
    }
};

QTEST_MAIN(TestIniFileText)
#include "tst_IniFileText.moc"
