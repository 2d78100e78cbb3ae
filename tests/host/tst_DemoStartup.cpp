#include "CreateDeviceOperation.h"
#include "DemoStartup.h"
#include "DemoWindows.h"
#include "DeviceHandle.h"
#include "DeviceMapWidget.h"
#include "DeviceMapWindow.h"
#include "MapLayoutFile.h"
#include "ModalRunner.h"
#include "SafeFileWriter.h"
#include "TestDeviceManager.h"
#include "YamlSerialiser.h"
#include "ZenticMessageBox.h"

#include <QAction>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMenuBar>
#include <QTemporaryDir>
#include <QtTest>

#include <memory>

// Two starts of the demo over one data folder: what the user imported and made in the first
// is there in the second, with its place on the map.
class tst_DemoStartup : public QObject
{
    Q_OBJECT

    QTemporaryDir home;
    QTemporaryDir userFiles;

    /// One run of the demo: its manager prepared as at start, and its map window.
    struct Run
    {
        std::unique_ptr<TestDeviceManager> manager;
        // Goes first, as the demo's windows go before its manager.
        std::unique_ptr<DeviceMapWindow> map;
    };

    static void start(Run& run)
    {
        run.manager = std::make_unique<TestDeviceManager>();
        QVERIFY(DemoStartup::prepareManager(run.manager.get(), DemoStartup::graphToLoad(QString())));
        for (const DemoWindow& description : demoWindows()) {
            if (description.name == QLatin1String("map"))
                run.map.reset(qobject_cast<DeviceMapWindow*>(description.create(run.manager.get())));
        }
        QVERIFY(run.map);
        run.map->show();
    }

    /// "folder/type=factor": a meta device of that type exporting a scaler's factor, in a folder of the user's.
    QString writeMetaDevice(const QString& import) const
    {
        const QString path = userFiles.filePath(import.section('=', 0, 0) + ".yml");
        QDir().mkpath(QFileInfo(path).absolutePath());
        const QString text = "export:\n  parameters:\n    factor: scaler1.factor\n\nconfig_version: 2\nscaler1:\n"
                             "  type: scaler\n  params:\n    factor: \"" + import.section('=', 1) + "\"\n";
        return SafeFileWriter::writeFile(path, text.toUtf8()) ? path : QString();
    }

    static void importThroughTheMap(DeviceMapWindow* map, const QString& path)
    {
        ModalRunner::InputAnswerGuard choose(path);
        for (QAction* menu : map->menuBar()->actions()) {
            if (menu->text() == QLatin1String("File") && menu->menu())
                ModalRunner::findAction(menu->menu(), QStringLiteral("Import meta device"))->trigger();
        }
        QCOMPARE(choose.count(), 1);
    }

private Q_SLOTS:
    void initTestCase()
    {
        QVERIFY(home.isValid() && userFiles.isValid());
        qputenv("XDG_DATA_HOME", home.path().toUtf8());
        QCoreApplication::setApplicationName(QStringLiteral("dozerozozu-demo"));
    }

    void init()
    {
        QVERIFY(QDir(QFileInfo(DemoStartup::savedGraph()).absolutePath()).removeRecursively());
    }

    void nextStartHasTheImportedMetaDevices_data()
    {
        QTest::addColumn<QStringList>("imports");
        QTest::addColumn<QString>("spoiled");
        QTest::addColumn<bool>("folderBlocked");
        QTest::addColumn<QStringList>("devices");
        QTest::addColumn<QStringList>("keptAsText");
        QTest::newRow("an imported type") << QStringList{"a/pump=3"} << QString() << false << QStringList{"pump1=3"}
                                          << QStringList();
        QTest::newRow("a type imported again from another file")
            << QStringList{"a/pump=3", "b/pump=7"} << QString() << false << QStringList{"pump1=7"} << QStringList();
        QTest::newRow("a kept copy gone bad") << QStringList{"a/pump=3", "a/valve=5"} << QString("valve") << false
                                              << QStringList{"pump1=3"} << QStringList{"valve1"};
        QTest::newRow("the kept folder not writable")
            << QStringList{"a/pump=3"} << QString() << true << QStringList() << QStringList{"pump1"};
    }

    void nextStartHasTheImportedMetaDevices()
    {
        QFETCH(QStringList, imports);
        QFETCH(QString, spoiled);
        QFETCH(bool, folderBlocked);
        QFETCH(QStringList, devices);
        QFETCH(QStringList, keptAsText);
        const QString layout = demoDataFile(QStringLiteral("demo-map.ini"));
        // Given a first run in which the user imported meta devices on the map and made one
        // device of each type there, the graph saved
        QStringList types;
        QMap<QString, QRect> places;
        {
            Run first;
            start(first);
            if (QTest::currentTestFailed())
                return;
            if (folderBlocked)
                QVERIFY(SafeFileWriter::writeFile(DemoStartup::keptMetaDevicesFolder(), "not a folder"));
            ZenticMessageBox::AnswerGuard ok(QMessageBox::Ok);
            for (const QString& import : imports) {
                importThroughTheMap(first.map.get(), writeMetaDevice(import));
                if (!types.contains(import.section('=', 0, 0).section('/', 1)))
                    types.append(import.section('=', 0, 0).section('/', 1));
            }
            QCoreApplication::processEvents();
            QCOMPARE(ok.count(), folderBlocked ? imports.size() : 0);
            DeviceMapWidget* view = first.map->getDeviceMapWidget();
            for (int i = 0; i < types.size(); ++i)
                view->pushOperation(new CreateDeviceOperation(view, types.at(i), QPointF(300 + 200 * i, 400)));
            QVERIFY(first.manager->saveYamlConfig());
            first.map->close();
            for (const QString& type : types)
                places.insert(type + "1", MapLayoutFile::read(layout).deviceRect(type + "1").value_or(QRect()));
        }
        if (!spoiled.isEmpty())
            QVERIFY(SafeFileWriter::writeFile(QDir(DemoStartup::keptMetaDevicesFolder()).filePath(spoiled + ".yml"),
                                              "export: [\n"));

        // When the demo starts again over the same data folder
        Run second;
        start(second);
        if (QTest::currentTestFailed())
            return;

        // Then the devices of the kept types that read are there as made, each kept copy
        // imported once, and in their places; the others are kept as the graph wrote them
        for (const QString& device : devices) {
            const QString name = device.section('=', 0, 0);
            QSharedPointer<DeviceHandle> handle = second.manager->getDeviceHandle(name);
            QVERIFY2(handle, qPrintable(name));
            QCOMPARE(handle->getParamValue(QStringLiteral("scaler1.factor")), device.section('=', 1));
        }
        QCOMPARE(second.manager->callLog().filter(QStringLiteral("parseMetaDevice(")).size(),
                 folderBlocked ? 0 : types.size());
        second.map->close();
        for (const QString& device : devices) {
            const QString name = device.section('=', 0, 0);
            QVERIFY(!places.value(name).isNull());
            QCOMPARE(MapLayoutFile::read(layout).deviceRect(name).value_or(QRect()), places.value(name));
        }
        QVERIFY(second.manager->saveYamlConfig());
        QFile saved(DemoStartup::savedGraph());
        QVERIFY(saved.open(QIODevice::ReadOnly));
        QStringList savedNames;
        for (const DeviceInfo& info : YamlSerialiser::parseYamlFromString(QString::fromUtf8(saved.readAll()), nullptr))
            savedNames.append(info.name);
        for (const QString& name : keptAsText) {
            QVERIFY2(!second.manager->getDevice(name), qPrintable(name));
            QVERIFY2(savedNames.contains(name), qPrintable(name));
        }
    }
};

QTEST_MAIN(tst_DemoStartup)
#include "tst_DemoStartup.moc"
