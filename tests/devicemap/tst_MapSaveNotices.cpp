#include "DeviceMapParts.h"
#include "DeviceMapWidget.h"
#include "DeviceMapWindow.h"
#include "DeviceNodeItem.h"
#include "MapCommands.h"
#include "MapLayoutFile.h"
#include "MoveItemsOperation.h"
#include "RenameDeviceOperation.h"
#include "SafeFileWriter.h"
#include "TestDeviceManager.h"
#include "TestSupport.h"
#include "ZenticMessageBox.h"

#include <QDir>
#include <QGraphicsScene>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QUndoStack>
#include <QtTest>

#include <memory>

// What the user hears when the map's work cannot be saved: a notice per failure, not per step.
// A folder that cannot be written is a file standing where the folder should be, which blocks
// writes whatever the user's rights (the suites may run as root).
class TestMapSaveNotices : public QObject
{
    Q_OBJECT

    QTemporaryDir dir;
    std::unique_ptr<TestDeviceManager> manager;
    std::unique_ptr<DeviceMapWidget> map;
    int moves = 0;

    QString folder(const QString& name) const { return dir.filePath(name); }
    QString layoutPath() const { return QDir(folder("layout")).filePath("map.ini"); }
    QString graphPath() const { return QDir(folder("graph")).filePath("graph.yml"); }

    /// Makes the folder writable (a folder) or not (a file in its place).
    void setWritable(const QString& name, bool writable)
    {
        const QString path = folder(name);
        QDir(path).removeRecursively();
        QFile::remove(path);
        QVERIFY(writable ? QDir().mkpath(path) : SafeFileWriter::writeFile(path, "not a folder"));
    }

    void openMap()
    {
        setWritable("layout", true);
        setWritable("graph", true);
        DeviceNodeItem::setUnplacedDevices(QStringList());
        manager = std::make_unique<TestDeviceManager>();
        manager->markInitialised();
        map = std::make_unique<DeviceMapWidget>(manager.get(), layoutPath());
        for (const QString& name : QStringList{"A", "B", "C"})
            manager->renameDevice(manager->createDevice("scaler", false), name);
        manager->setConfigPath(graphPath());
        QVERIFY(manager->saveYamlConfig());
        moves = 0;
    }

    /// One user's step, with the event loop's turn after it as in the running application.
    void step(const QString& what)
    {
        if (what == "block all" || what == "unblock all") {
            setWritable("layout", what == "unblock all");
            setWritable("graph", what == "unblock all");
        } else if (what.startsWith("block ") || what.startsWith("unblock ")) {
            setWritable(what.section(' ', 1), what.startsWith("unblock"));
        } else if (what == "read-only manager") {
            manager->setReadonly(true);
        } else if (what == "drag three") {
            // One drag of several devices is one operation, as the map pushes it.
            QMap<QString, QPointF> before;
            QMap<QString, QPointF> after;
            for (const QString& name : QStringList{"A", "B", "C"}) {
                before.insert(name, QPointF(0, 0));
                after.insert(name, QPointF(50 * ++moves, 40));
            }
            map->pushOperation(new MoveItemsOperation(map.get(), before, after, MoveItemsOperation::Devices));
        } else if (what == "rename") {
            const QString old = manager->getDeviceNames().value(0);
            map->pushOperation(new RenameDeviceOperation(map.get(), old, old + "x"));
        } else if (what == "undo") {
            map->getUndoStack()->undo();
        } else if (what == "delete refused") {
            // A deletion the user does not confirm saves the graph and leaves the layout alone.
            ZenticMessageBox::AnswerGuard no(QMessageBox::Cancel);
            map->getDeviceItems().value("B")->setSelected(true);
            DeviceMapParts(map.get()).commands().deleteSelectionOrItemUnderCursor();
            map->scene()->clearSelection();
            QCOMPARE(no.count(), 1);
        } else if (what == "close") {
            map->close();
        } else if (what == "quit") {
            QVERIFY(QMetaObject::invokeMethod(QCoreApplication::instance(), "aboutToQuit"));
        } else if (what == "delete") {
            map.reset();
        } else {
            QFAIL(qPrintable("unknown step " + what));
        }
        QCoreApplication::processEvents();
    }

private Q_SLOTS:
    void initTestCase() { QVERIFY(dir.isValid()); }

    void cleanup()
    {
        map.reset();
        manager.reset();
        DeviceNodeItem::setUnplacedDevices(QStringList());
    }

    void oneNoticePerFailureEpisode_data()
    {
        QTest::addColumn<QStringList>("steps");
        QTest::addColumn<int>("notices");
        QTest::addColumn<QString>("firstFile");
        const QString layout = "layout/map.ini";
        const QString graph = "graph/graph.yml";
        QTest::newRow("nothing blocked") << QStringList{"drag three", "rename", "undo"} << 0 << QString();
        QTest::newRow("a drag of several devices") << QStringList{"block all", "drag three"} << 1 << layout;
        QTest::newRow("a rename failing both files") << QStringList{"block all", "rename"} << 1 << graph;
        QTest::newRow("edits in a row in a read-only folder")
            << QStringList{"block all", "drag three", "rename", "drag three", "undo", "rename"} << 1 << layout;
        QTest::newRow("again after everything was saved")
            << QStringList{"block all", "drag three", "rename", "unblock all", "rename", "block all", "drag three"} << 2
            << layout;
        QTest::newRow("the graph failing while the layout is written")
            << QStringList{"block graph", "rename", "drag three", "rename"} << 1 << graph;
        QTest::newRow("the layout saved does not end the graph's failure")
            << QStringList{"block all", "rename", "unblock layout", "drag three", "rename"} << 1 << graph;
        QTest::newRow("a read-only manager writes nothing, so nothing failed")
            << QStringList{"read-only manager", "block graph", "rename", "drag three"} << 0 << QString();
        // Closing is the last try, so its failure is told even within an episode, once per close.
        QTest::newRow("closed in a folder that stays read-only")
            << QStringList{"block all", "rename", "close"} << 2 << graph;
        QTest::newRow("closed twice with nothing saved between")
            << QStringList{"block all", "rename", "close", "close"} << 2 << graph;
        QTest::newRow("closed, edited and closed again")
            << QStringList{"block all", "rename", "close", "drag three", "close"} << 3 << graph;
        QTest::newRow("closed after the folder came back")
            << QStringList{"block all", "rename", "unblock all", "close"} << 1 << graph;
        QTest::newRow("quitting in a folder that stays read-only")
            << QStringList{"block all", "rename", "quit"} << 2 << graph;
        QTest::newRow("closed with nothing failing") << QStringList{"drag three", "close"} << 0 << QString();
        QTest::newRow("deleted, the last failure goes with the map")
            << QStringList{"block all", "rename", "delete"} << 1 << graph;
    }

    void oneNoticePerFailureEpisode()
    {
        QFETCH(QStringList, steps);
        QFETCH(int, notices);
        QFETCH(QString, firstFile);
        // Given a map whose layout file and graph were saved
        openMap();
        QSignalSpy failures(map.get(), &DeviceMapWidget::saveFailed);
        TestSupport::LogCapture log;

        // When the user goes through the steps
        for (const QString& what : steps)
            step(what);

        // Then the host heard once per failure, of the first file that failed
        QCOMPARE(failures.count(), notices);
        if (notices > 0)
            QCOMPARE(failures.first().first().toString(), dir.filePath(firstFile));
    }

    void whatIsBehindIsWrittenWithTheNextSave_data()
    {
        QTest::addColumn<QStringList>("steps");
        QTest::addColumn<QString>("renamed");
        // Making a folder writable again empties it: only saves made afterwards fill it.
        QTest::newRow("a rename, then a move")
            << QStringList{"block all", "rename", "unblock all", "drag three"} << "Ax";
        QTest::newRow("a rename, then the map closed")
            << QStringList{"block all", "rename", "unblock all", "close"} << "Ax";
        QTest::newRow("a rename, then the application quitting")
            << QStringList{"block all", "rename", "unblock all", "quit"} << "Ax";
        QTest::newRow("a rename, then the map deleted")
            << QStringList{"block all", "rename", "unblock all", "delete"} << "Ax";
        QTest::newRow("a rename failing the graph alone, then a move")
            << QStringList{"block graph", "rename", "unblock graph", "drag three"} << "Ax";
        QTest::newRow("a move failing the layout, then a save of the graph alone")
            << QStringList{"block layout", "drag three", "unblock layout", "delete refused"} << QString();
    }

    void whatIsBehindIsWrittenWithTheNextSave()
    {
        QFETCH(QStringList, steps);
        QFETCH(QString, renamed);
        // Given a map whose layout file and graph were saved
        openMap();
        TestSupport::LogCapture log;

        // When a save fails and a later one goes through
        for (const QString& what : steps)
            step(what);

        // Then the graph and the layout file name the same devices, the renamed one among them
        TestDeviceManager reloaded;
        QVERIFY(reloaded.loadYamlConfig(graphPath()));
        const QStringList names = reloaded.getDeviceNames();
        QCOMPARE(names.size(), 3);
        QVERIFY(renamed.isEmpty() || names.contains(renamed));
        const MapLayoutFile layout = MapLayoutFile::read(layoutPath());
        for (const QString& name : names)
            QVERIFY2(layout.deviceRect(name).has_value(), qPrintable(name));
    }

    void noticeComesAfterTheEditAndNeverFromAGoneMap()
    {
        // Given a map whose folder is blocked
        openMap();
        setWritable("layout", false);
        QSignalSpy failures(map.get(), &DeviceMapWidget::saveFailed);
        TestSupport::LogCapture log;

        // When an edit fails to be saved, the host hears nothing while the edit runs
        map->pushOperation(new MoveItemsOperation(map.get(), {{"A", QPointF()}}, {{"A", QPointF(9, 9)}},
                                                  MoveItemsOperation::Devices));
        QCOMPARE(failures.count(), 0);
        // But from the event loop once it is done
        QTRY_COMPARE(failures.count(), 1);

        // And after a save that succeeded, a map deleted before its next notice is sent sends none
        setWritable("layout", true);
        map->getUndoStack()->undo();
        setWritable("layout", false);
        map->getUndoStack()->redo();
        map.reset();
        QCoreApplication::processEvents();
        QCOMPARE(failures.count(), 1);
    }

    void windowTellsOfItsViewsFailures()
    {
        // Given a map window whose view was replaced once, over a blocked folder
        setWritable("layout", true);
        manager = std::make_unique<TestDeviceManager>();
        manager->markInitialised();
        manager->renameDevice(manager->createDevice("scaler", false), "A");
        QWidget parent;
        QPointer<DeviceMapWindow> window = new DeviceMapWindow(manager.get(), layoutPath(), &parent);
        window->resetDeviceMapWidget(manager.get(), layoutPath());
        QSignalSpy failures(window.data(), &DeviceMapWindow::saveFailed);
        setWritable("layout", false);
        TestSupport::LogCapture log;

        // When an edit on the new view cannot be saved
        DeviceMapWidget* view = window->getDeviceMapWidget();
        view->pushOperation(new MoveItemsOperation(view, {{"A", QPointF()}}, {{"A", QPointF(9, 9)}},
                                                   MoveItemsOperation::Devices));

        // Then the window says so, once
        QTRY_COMPARE(failures.count(), 1);
        QCOMPARE(failures.first().first().toString(), layoutPath());
        // And again when it is closed, the view's last try
        window->close();
        QCOMPARE(failures.count(), 2);
        delete window;
    }
};

QTEST_MAIN(TestMapSaveNotices)
#include "tst_MapSaveNotices.moc"
