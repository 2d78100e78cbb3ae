#include "DozeRozOZUVersion.h"

#include <QDirIterator>
#include <QIcon>
#include <QImage>
#include <QImageReader>
#include <QPainter>
#include <QXmlStreamReader>
#include <QtTest>

// The pictures are compiled into the library and must be usable by path alone, without a
// file suffix, as style sheets, QIcon and QPixmap are given them.
class TestResources : public QObject
{
    Q_OBJECT

private:
    static QStringList picturesUnder(const QString& root)
    {
        QStringList paths;
        QDirIterator it(root, QDir::Files);
        while (it.hasNext())
            paths << it.next();
        paths.sort();
        return paths;
    }

private Q_SLOTS:
    void initTestCase()
    {
        // Using any symbol keeps the library linked (the linker drops unused shared libraries).
        QVERIFY(QByteArray(DozeRozOZUVersion::version).count('.') == 3);
    }

    void registersEveryPictureOnLoad_data()
    {
        QTest::addColumn<QString>("path");
        const QStringList names = {
            "activeConnection", "activeRedo", "activeUndo", "backButton", "cancel", "cancelX", "closedEye",
            "cluster", "collapse", "devconsole", "down", "empty", "error", "expand", "fixClusters",
            "grayCircle", "greenCircle", "grid", "hierarchical", "information", "keyboard", "lock", "numpad",
            "okay", "openedEye", "orthogonal", "palette", "question", "redCircle", "resetScale", "saveFile",
            "search", "spinner", "templates", "unlock", "up", "warning", "wifi", "wifiOne", "wifiThree",
            "wifiTwo", "wifiZero", "yellowCircle", "zoom_in", "zoom_out"};
        for (const QString& name : names)
            QTest::newRow(qPrintable(name)) << QString(":/icons/dozerozozu_" + name);
        const QStringList hotkeys = {"connectHotkey", "horizontalScrollHotkey", "longClickHotkey",
                                     "nextDeviceHotkey", "previousDeviceHotkey", "settingsHotkey",
                                     "switchLegendHotkey", "zoomHotkey"};
        for (const QString& name : hotkeys)
            QTest::newRow(qPrintable(name)) << QString(":/hotkeys/dozerozozu_" + name);
    }

    void registersEveryPictureOnLoad()
    {
        QFETCH(QString, path);
        QVERIFY2(QFile::exists(path), qPrintable(path));
        QImageReader reader(path);
        QCOMPARE(reader.format(), QByteArray("svg"));
        const QImage image = reader.read();
        QVERIFY2(!image.isNull(), qPrintable(reader.errorString()));
        QVERIFY(!QIcon(path).pixmap(32, 32).isNull());
    }

    void hotKeyPicturesNameTheKeysThatWork_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QStringList>("labels");
        // F3 and Shift+F3 step through the hits; Return only starts the search again.
        QTest::newRow("next device") << "nextDeviceHotkey" << QStringList{"F3"};
        QTest::newRow("previous device") << "previousDeviceHotkey" << QStringList{"Shift", "F3"};
        QTest::newRow("switch legend") << "switchLegendHotkey" << QStringList{"H"};
        QTest::newRow("zoom") << "zoomHotkey" << QStringList{"Ctrl"};
        QTest::newRow("horizontal scroll") << "horizontalScrollHotkey" << QStringList{"Alt"};
    }

    void hotKeyPicturesNameTheKeysThatWork()
    {
        QFETCH(QString, name);
        QFETCH(QStringList, labels);
        QFile picture(":/hotkeys/dozerozozu_" + name);
        QVERIFY(picture.open(QIODevice::ReadOnly));
        QXmlStreamReader svg(&picture);
        QStringList written;
        while (!svg.atEnd()) {
            if (svg.readNext() == QXmlStreamReader::StartElement && svg.name() == QLatin1String("text"))
                written << svg.readElementText();
        }
        QVERIFY2(!svg.hasError(), qPrintable(svg.errorString()));
        QCOMPARE(written, labels);
    }

    void drawsSomethingInEveryIcon()
    {
        for (const QString& path : picturesUnder(":/icons")) {
            if (path.endsWith("_empty"))
                continue;
            QImage image = QImage(path).convertToFormat(QImage::Format_ARGB32);
            bool painted = false;
            for (int y = 0; y < image.height() && !painted; ++y) {
                for (int x = 0; x < image.width() && !painted; ++x)
                    painted = qAlpha(image.pixel(x, y)) > 0;
            }
            QVERIFY2(painted, qPrintable(path));
        }
    }
};

QTEST_MAIN(TestResources)
#include "tst_Resources.moc"
