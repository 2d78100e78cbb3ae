#include "MapLayoutFile.h"
#include "TestSupport.h"

#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

// The layout file as a value: what survives a failed write, and what a hostile file can ask for.
class TestMapLayoutFile : public QObject
{
    Q_OBJECT

    QTemporaryDir dir;

    QString path() const { return dir.filePath(QStringLiteral("map.ini")); }

    static MapLayoutFile sample(int devices, int x)
    {
        MapLayoutFile layout;
        layout.setSceneRect(QRect(0, 0, 1200, 900));
        for (int i = 0; i < devices; ++i)
            layout.setDeviceRect(QStringLiteral("device%1").arg(i), QRect(x + i, 10, 80, 30));
        layout.setBends("device0", "device1", {QPointF(1.5, 2)});
        layout.setClusterNames({"pumps"});
        layout.setCluster("pumps", QRect(0, 0, 100, 50), false);
        return layout;
    }

    void writeRaw(const QByteArray& text)
    {
        QFile file(path());
        QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write(text);
    }

private Q_SLOTS:
    void init() { QFile::remove(path()); }

    void aFailedWriteKeepsTheOldFileWholeAndSaysWhy()
    {
        // Given a file on disk, and a file-size limit that stops any longer write
        QVERIFY(sample(200, 0).write(path()));
        const QByteArray before = [this] { QFile f(path()); f.open(QIODevice::ReadOnly); return f.readAll(); }();
        TestSupport::FileSizeLimit limit(512);
        if (!limit.isActive())
            QSKIP("The file-size limit cannot be lowered here");

        // When a changed layout is written
        QString error;
        const bool written = sample(200, 1000).write(path(), &error);
        limit.lift();

        // Then the write reports failure, and the old file is there byte for byte
        QVERIFY(!written);
        QVERIFY(!error.isEmpty());
        QFile after(path());
        QVERIFY(after.open(QIODevice::ReadOnly));
        QCOMPARE(after.readAll(), before);
        QCOMPARE(MapLayoutFile::read(path()).deviceRect("device199")->x(), 199);
    }

    void hugeRectanglesAreClampedWithoutOverflow_data()
    {
        QTest::addColumn<QByteArray>("stored");
        QTest::addColumn<QRect>("expected");
        QTest::newRow("wide") << QByteArray("@Rect(0 0 2000000 2000000)") << QRect(0, 0, 1000000, 1000000);
        QTest::newRow("near the end of int") << QByteArray("@Rect(2147483600 -2147483600 2147483000 30)")
                                             << QRect(1000000, -1000000, 0, 0);
        QTest::newRow("unplaced form") << QByteArray("@Rect(-1 -1 -1 -1)") << QRect(-1, -1, -1, -1);
    }

    void hugeRectanglesAreClampedWithoutOverflow()
    {
        QFETCH(QByteArray, stored);
        QFETCH(QRect, expected);
        writeRaw("[General]\nsceneRect=" + stored + "\n[pump]\nrect=" + stored + "\n[Clusters]\nClusterNames=big\n"
                 "big\\rect=" + stored + "\n[a%3Ab]\nbends=\"1e300;5\", \"3;-1e300\", \"nan;4\", \"7;8\"\n");

        const MapLayoutFile layout = MapLayoutFile::read(path());

        QCOMPARE(layout.deviceRect("pump"), std::optional<QRect>(expected));
        for (const QRectF& rect : {*layout.sceneRect(), layout.clusterRect("big")}) {
            QVERIFY(rect.left() >= -MapLayoutFile::maxExtent && rect.right() <= MapLayoutFile::maxExtent);
            QVERIFY(rect.top() >= -MapLayoutFile::maxExtent && rect.bottom() <= MapLayoutFile::maxExtent);
        }
        QCOMPARE(layout.bends("a", "b"),
                 QList<QPointF>({QPointF(1e6, 5), QPointF(3, -1e6), QPointF(7, 8)}));
    }

    void writtenCoordinatesStayWithinTheReadableExtent()
    {
        MapLayoutFile layout;
        layout.setDeviceRect("far", MapLayoutFile::storedRect(QRectF(3e9, -3e9, 1e12, 10)));
        QVERIFY(layout.write(path()));

        const QRect far = *MapLayoutFile::read(path()).deviceRect("far");

        QCOMPARE(far, QRect(1000000, -1000000, 0, 0));
    }
};

QTEST_MAIN(TestMapLayoutFile)
#include "tst_MapLayoutFile.moc"
