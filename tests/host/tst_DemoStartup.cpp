#include "CreateDeviceOperation.h"
#include "DashboardWindow.h"
#include "DemoStartup.h"
#include "DemoWindows.h"
#include "DeviceHandle.h"
#include "DeviceMapWidget.h"
#include "DeviceMapWindow.h"
#include "DeviceNodeItem.h"
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

    /// One run of the demo: its manager prepared as at start, and its map and dashboard windows.
    struct Run
    {
        std::unique_ptr<TestDeviceManager> manager;
        // Go first, as the demo's windows go before its manager.
        std::unique_ptr<DeviceMapWindow> map;
        std::unique_ptr<DashboardWindow> dashboard;
    };

    static void start(Run& run, const DemoFiles& files = DemoFiles::forStart(QString(), false), QString* notice = nullptr)
    {
        run.manager = std::make_unique<TestDeviceManager>();
        QVERIFY(DemoStartup::prepareManager(run.manager.get(), files, notice));
        for (const DemoWindow& description : demoWindows()) {
            if (description.name == QLatin1String("map"))
                run.map.reset(qobject_cast<DeviceMapWindow*>(description.create(run.manager.get())));
            if (description.name == QLatin1String("dashboard"))
                run.dashboard.reset(qobject_cast<DashboardWindow*>(description.create(run.manager.get())));
        }
        QVERIFY(run.map && run.dashboard);
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

    static QByteArray contents(const QString& path)
    {
        QFile file(path);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
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
        // A fresh data folder, as the start of a run that keeps the user's changes makes it.
        QFile::remove(demoDataFolder());
        QVERIFY(QDir(demoDataFolder()).removeRecursively() && QDir().mkpath(demoDataFolder()));
    }

    void unwritableDataFolderIsToldAtStart()
    {
        // Given a first start whose data folder cannot be made, whoever runs it: a file is in its place
        const QString folder = demoDataFolder();
        QVERIFY(QDir(folder).removeRecursively() && SafeFileWriter::writeFile(folder, "not a folder"));

        // When the demo starts and tells what it has to tell
        Run run;
        QString notice;
        start(run, DemoFiles::forStart(QString(), false), &notice);
        if (QTest::currentTestFailed())
            return;
        ZenticMessageBox::AnswerGuard ok(QMessageBox::Ok);
        DemoStartup::tellStartNotice(notice);

        // Then one box says that the folder cannot be written and that the sample's places are not kept
        QCOMPARE(ok.count(), 1);
        QCOMPARE(ok.texts().first(), QStringLiteral("This run keeps none of your changes."));
        const QString told = ok.informativeTexts().first();
        QVERIFY2(told.contains(QDir::toNativeSeparators(folder) + " cannot be written")
                     && told.contains("shown with its places, but neither they nor any of your changes are kept"),
                 qPrintable(told));
        // And the sample's devices stand in their places
        DeviceMapWidget* view = run.map->getDeviceMapWidget();
        QCOMPARE(view->getDeviceItems().size(), run.manager->getDeviceNames().size());
        for (DeviceNodeItem* item : view->getDeviceItems())
            QVERIFY2(!item->isUnplaced(), qPrintable(item->devName()));
        // And an edit, saved with the run, tells nothing more and leaves the file in the folder's place alone
        view->pushOperation(new CreateDeviceOperation(view, "generator", QPointF(300, 400)));
        QCoreApplication::processEvents();
        QCOMPARE(ok.count(), 1);
        QCOMPARE(contents(folder), QByteArray("not a folder"));
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
    void graphThatDoesNotLoadGivesWayToTheSample_data()
    {
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<QString>("where");
        QTest::addColumn<QString>("told");
        QTest::addColumn<QString>("keptAs");
        const QByteArray device = "config_version: 2\nwave9:\n  type: generator\n";
        const QString kept = "demo-graph.yaml_corrupted";
        // A null text: a folder stands where the graph is.
        QTest::newRow("not a file") << QByteArray() << "saved" << "it cannot be read" << kept;
        QTest::newRow("not YAML") << QByteArray("wave9: [\n") << "saved" << "it is not YAML text" << kept;
        QTest::newRow("YAML, not a graph") << QByteArray("demo:\n  language: ru\n") << "saved" << "not a device graph"
                                           << kept;
        QTest::newRow("a newer version") << QByteArray("config_version: 3\nwave9:\n  kind: generator\n") << "saved"
                                         << "a newer version" << kept;
        QTest::newRow("a copy kept before") << QByteArray("wave9: [\n") << "kept before" << "not YAML" << kept + ".1";
        QTest::newRow("named on the command line") << QByteArray("wave9: [\n") << "named" << "not YAML" << QString();
        QTest::newRow("an empty outgoing") << device + "  outgoing:\n" << "saved" << QString() << QString();
        QTest::newRow("empty params and connections")
            << device + "  params:\n  connections: ~\n" << "saved" << QString() << QString();
    }

    void graphThatDoesNotLoadGivesWayToTheSample()
    {
        QFETCH(QByteArray, text);
        QFETCH(QString, where);
        QFETCH(QString, told);
        QFETCH(QString, keptAs);
        // Given the graph the demo is to load: the user's copy, perhaps with a copy an earlier
        // start kept aside, or a file named on the command line; and the map's places of the
        // user's copy
        const QString graph = where == "named" ? userFiles.filePath("named.yaml") : DemoStartup::savedGraph();
        QVERIFY(text.isNull() ? QDir().mkpath(graph) : SafeFileWriter::writeFile(graph, text));
        if (where == "kept before")
            QVERIFY(SafeFileWriter::writeFile(graph + "_corrupted", "earlier"));
        const QString places = demoDataFile(QStringLiteral("demo-map.ini"));
        const QByteArray placesText = "[devices]\nwave9\\rect=@Rect(10 20 160 60)\n";
        QVERIFY(SafeFileWriter::writeFile(places, placesText));
        const QString widgets = demoDataFile(QStringLiteral("dashboard.ini"));
        QVERIFY(SafeFileWriter::writeFile(widgets, "[widgets]\n"));

        // When the demo starts on it and tells the user what it has to tell
        TestDeviceManager manager;
        QString notice;
        QVERIFY(DemoStartup::prepareManager(&manager, DemoFiles::forStart(where == "named" ? graph : "", false), &notice));
        ZenticMessageBox::AnswerGuard ok(QMessageBox::Ok);
        if (!notice.isEmpty())
            DemoStartup::tellStartNotice(notice);

        // Then a graph that loads is there, its empty lists read as none; one that does not
        // gives way to the sample graph, and one box names the file, why and where it is now
        const DeviceInfo wave = manager.getDeviceInfo("wave9");
        QCOMPARE(manager.getDeviceNames().contains("wave9"), told.isEmpty());
        QVERIFY(wave.incomingConnections.isEmpty() && wave.outgoingConnections.isEmpty());
        QCOMPARE(manager.getDeviceNames().contains("generator1"), !told.isEmpty());
        QCOMPARE(ok.count(), told.isEmpty() ? 0 : 1);
        const QString box = ok.informativeTexts().value(0);
        QVERIFY2(box.contains(told) && box.contains(keptAs), qPrintable(box));
        QVERIFY2(told.isEmpty() || box.contains(QDir::toNativeSeparators(graph)), qPrintable(box));
        // And the user's copy is kept aside byte for byte, beside an earlier one; a file the
        // user named stays where it is
        const QString kept = keptAs.isEmpty() ? graph : QFileInfo(graph).dir().filePath(keptAs);
        QVERIFY(QFileInfo::exists(kept));
        QCOMPARE(QFile::exists(graph), keptAs.isEmpty());
        QCOMPARE(contents(kept), text);
        if (where == "kept before")
            QCOMPARE(contents(graph + "_corrupted"), QByteArray("earlier"));
        // With its places beside it, under the same ending
        const bool keptAside = !keptAs.isEmpty();
        const QString placesKept = keptAs.replace("demo-graph.yaml", "demo-map.ini");
        QCOMPARE(contents(keptAside ? QFileInfo(places).dir().filePath(placesKept) : places), placesText);
        QCOMPARE(QFile::exists(places), !keptAside);
        QVERIFY2(!keptAside || box.contains(placesKept), qPrintable(box));
        // And its widgets, named too
        const QString widgetsKept = QString(placesKept).replace("demo-map.ini", "dashboard.ini");
        QCOMPARE(QFile::exists(widgets), !keptAside);
        QVERIFY2(!keptAside || box.contains(widgetsKept), qPrintable(box));
        QFile::remove(widgets);
    }

    void eachRunWritesOnlyTheFilesOfItsGraph_data()
    {
        QTest::addColumn<QString>("named");
        QTest::addColumn<bool>("screenshots");
        QTest::addColumn<bool>("namedEdited");
        QTest::newRow("screenshots") << QString() << true << false;
        QTest::newRow("screenshots of a named graph") << "loads" << true << false;
        QTest::newRow("a named graph") << "loads" << false << true;
        QTest::newRow("a named graph that does not load") << "broken" << false << false;
        QTest::newRow("a named graph that is not there, nor the user's") << "missing" << false << false;
    }

    void eachRunWritesOnlyTheFilesOfItsGraph()
    {
        QFETCH(QString, named);
        QFETCH(bool, screenshots);
        QFETCH(bool, namedEdited);
        // Given the user's graph in the data folder with its places and widgets, a copy of a meta
        // device an earlier version kept under a built-in type's name, and perhaps a graph of
        // the user's elsewhere
        const QStringList dataFiles{DemoStartup::savedGraph(), demoDataFile("demo-map.ini"), demoDataFile("dashboard.ini")};
        QVERIFY(named == "missing" || SafeFileWriter::writeFile(dataFiles.at(0), contents(DemoStartup::sampleGraph())));
        QVERIFY(SafeFileWriter::writeFile(dataFiles.at(1), "[devices]\nscaler1\\rect=@Rect(10 20 160 60)\n"));
        QVERIFY(SafeFileWriter::writeFile(dataFiles.at(2), "[widgets]\n"));
        QList<QByteArray> dataTexts;
        for (const QString& file : dataFiles)
            dataTexts.append(contents(file));
        const QString keptCopy = QDir(DemoStartup::keptMetaDevicesFolder()).filePath("scaler.yml");
        QVERIFY(QDir().mkpath(DemoStartup::keptMetaDevicesFolder()));
        QVERIFY(SafeFileWriter::writeFile(keptCopy, contents(writeMetaDevice("kept/scaler=9"))));
        const QString namedGraph = named.isEmpty() ? QString() : userFiles.filePath("named.yaml");
        const QByteArray namedText = named == "loads" ? contents(DemoStartup::sampleGraph()) : QByteArray("wave9: [\n");
        if (named == "missing")
            QFile::remove(namedGraph);
        else
            QVERIFY(namedGraph.isEmpty() || SafeFileWriter::writeFile(namedGraph, namedText));
        QFile::remove(namedGraph + ".map.ini");

        // When the demo runs, and the user adds a device on the map and saves the dashboard
        QString notice;
        QString added;
        {
            Run run;
            start(run, DemoFiles::forStart(namedGraph, screenshots), &notice);
            if (QTest::currentTestFailed())
                return;
            DeviceMapWidget* view = run.map->getDeviceMapWidget();
            view->pushOperation(new CreateDeviceOperation(view, "generator", QPointF(300, 400)));
            added = run.manager->getDeviceNames().constLast();
            QVERIFY(run.dashboard->save());
            run.map->close();
            // Then the kept copy of the built-in type was skipped: the graph's scalers are scalers
            QVERIFY(!run.manager->getDeviceInfo("scaler1").paramValues.contains("exportedSlots"));
        }

        // And the data folder's graph, places and widgets are as they were, byte for byte
        for (int i = 0; i < dataFiles.size(); ++i)
            QVERIFY2(contents(dataFiles.at(i)) == dataTexts.at(i), qPrintable(dataFiles.at(i)));
        QVERIFY(QFileInfo::exists(keptCopy));
        // And a named graph holds the user's edit and its places beside it, or is left as it was
        if (namedGraph.isEmpty())
            return;
        QCOMPARE(contents(namedGraph).contains(added.toUtf8() + ":"), namedEdited);
        if (!namedEdited)
            QCOMPARE(QFile::exists(namedGraph) ? contents(namedGraph) : QByteArray(), named == "missing" ? QByteArray() : namedText);
        QCOMPARE(MapLayoutFile::read(namedGraph + ".map.ini").deviceRect(added).has_value(), namedEdited);
        QVERIFY2(!(named == "broken" || named == "missing") || notice.contains("keeps none of your changes"), qPrintable(notice));
    }
};

QTEST_MAIN(tst_DemoStartup)
#include "tst_DemoStartup.moc"
