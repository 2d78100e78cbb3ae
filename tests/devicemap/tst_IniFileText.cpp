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

private Q_SLOTS:
    void writesWhatQSettingsWrites_data()
    {
        QTest::addColumn<KeyValues>("values");

        QTest::newRow("layout") << KeyValues{
            {"sceneRect", QRect(-16, -16, 6028, 1241)},
            {"layoutType", 0},
            {"pump/rect", QRect(10, 20, 80, 30)},
            {"valve/rect", QRect(-1, -1, -1, -1)},
            {"pump:valve/bends", QStringList{"100.25;33.3333", "-4;1e+06"}},
            {"valve:pump/bends", QStringList{"7;8"}},
            {"Clusters/ClusterNames", QStringList()},
        };
        QTest::newRow("names that need escaping") << KeyValues{
            {"two words/rect", QRect(1, 2, 3, 4)},
            {"\u0434\u0430\u0442\u0447\u0438\u043a %1/rect", QRect(5, 6, 7, 8)},
            {"a:b/bends", QStringList{"1;2"}},
            {"General/rect", QRect()},
            {"general/rect", QRect()},
            {"x@y/rect", QRect(0, 0, 1, 1)},
            {"emoji \U0001F600/rect", QRect(0, 0, 2, 2)},
            {"Clusters/ClusterNames", QStringList{"@first", " padded ", "tab\there", "quote\"d", "back\\slash"}},
            {"Clusters/@first/rect", QRect(0, 0, 10, 10)},
            {"Clusters/@first/movesContainedDevices", false},
            {"Clusters/ padded /movesContainedDevices", true},
            {"Clusters/x/label", QStringLiteral("caf\u00e9 1,2=3; \u00e9f")},
            {"Clusters/y/label", QStringLiteral("nul\u0000 0a")},
            {"Clusters/z/label", QStringLiteral("@at")},
        };
        QTest::newRow("separators in names") << KeyValues{
            {"/leading/rect", QRect(1, 1, 1, 1)},
            {"doubled//rect", QRect(2, 2, 2, 2)},
            {"trailing/rect/", QRect(3, 3, 3, 3)},
            {"top", 5},
            {"Clusters/ClusterNames", QStringList{"only"}},
        };
        QTest::newRow("empty") << KeyValues();
    }

    void writesWhatQSettingsWrites()
    {
        QFETCH(KeyValues, values);
        static int file = 0;

        QByteArray text;
        QVERIFY(IniFileText::compose(values, &text));

        QCOMPARE(text, writtenByQSettings(values, QStringLiteral("%1.ini").arg(++file)));
    }

    void leavesOtherTypesToQSettings()
    {
        QByteArray text("unchanged");

        QVERIFY(!IniFileText::compose({{"a/b", QRectF(0.5, 0, 1, 1)}}, &text));
        QVERIFY(!IniFileText::compose({{"a/b", 1.5}}, &text));
        QCOMPARE(text, QByteArray("unchanged"));
    }
};

QTEST_MAIN(TestIniFileText)
#include "tst_IniFileText.moc"
