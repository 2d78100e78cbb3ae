#include "DeviceMapWidget.h"
#include "DeviceMapWindow.h"
#include "DeviceNodeItem.h"
#include "PasteDevicesOperation.h"
#include "RemoveDevicesOperation.h"
#include "RenameDeviceOperation.h"
#include "TemplatesWidget.h"
#include "TestDeviceManager.h"
#include "TestSupport.h"

#include <QTemporaryDir>
#include <QUndoStack>
#include <QtTest>

#include <memory>

// A host's slot on a report made during a map command runs a nested event loop (a modal box,
// say), and meanwhile the user closes the map window, the host deletes it or the manager exits:
// the command ends whole, then the window or the map goes; a second command of the map started
// there is refused.
class TestMapWindowClosedInCommand : public QObject
{
    Q_OBJECT

    struct Outcome
    {
        QString graph;
        QString layout;
        QStringList calls;
        QStringList history;
        int index = -1;
    };

    enum Command { Delete, UndoDelete, RedoPaste, Rearrange, RedoDelete, UndoPaste };
    enum Ending { StaysOpen, ClosedByTheUser, DeletedByTheHost, ManagerExits };
    enum Second { NoSecond, SecondRearrange, SecondUndo, SecondRedo };

    QTemporaryDir dir;
    QTemporaryDir dataHome;
    std::unique_ptr<TestDeviceManager> manager;
    QPointer<DeviceMapWindow> window;
    QPointer<DeviceMapWidget> map;
    bool armed = false;
    Ending ending = StaysOpen;
    Second second = NoSecond;

    QString layoutPath() const { return dir.filePath(QStringLiteral("map.ini")); }
    DeviceNodeItem* item(const QString& name) const { return map->getDeviceItems().value(name); }

    // What a host's slot does: a nested event loop, in which the window or its map goes, once.
    void hostRunsALoop()
    {
        if (!armed)
            return;
        armed = false;
        QEventLoop loop;
        QMetaObject::invokeMethod(
            &loop,
            [this, &loop] {
                if (ending == ClosedByTheUser)
                    window->close();
                else if (ending == DeletedByTheHost)
                    delete window.data();
                else if (ending == ManagerExits)
                    Q_EMIT manager->exit();
                startSecond();
                QMetaObject::invokeMethod(&loop, &QEventLoop::quit, Qt::QueuedConnection);
            },
            Qt::QueuedConnection);
        loop.exec();
    }

    // As the user starts it from the window's tool bar or keys.
    void startSecond()
    {
        if (second == SecondRearrange)
            map->rearrangeGraph(DeviceMapWidget::Hierarchical, false);
        else if (second != NoSecond)
            QMetaObject::invokeMethod(window, second == SecondUndo ? "undo" : "redo");
    }

    // A -> B -> C -> D, placed apart, in a fresh window; the host's slot on report.
    void openWindow(const QString& report)
    {
        DeviceNodeItem::setUnplacedDevices(QStringList());
        QFile::remove(layoutPath());
        manager = std::make_unique<TestDeviceManager>();
        manager->markInitialised();
        window = new DeviceMapWindow(manager.get(), layoutPath(), nullptr);
        map = window->getDeviceMapWidget();
        const QStringList names{"A", "B", "C", "D"};
        for (int i = 0; i < names.size(); ++i) {
            manager->renameDevice(manager->createDevice("scaler", false), names.at(i));
            item(names.at(i))->placeDevice(QPointF(150 * i, 60 * i));
            if (i > 0)
                manager->addConnection(names.at(i - 1), names.at(i), "output(double)", "input(double)");
        }
        if (report == QLatin1String("deviceRemoved"))
            connect(manager.get(), &DeviceManager::deviceRemoved, this, [this] { hostRunsALoop(); });
        else if (report == QLatin1String("deviceRegistered"))
            connect(manager.get(), &DeviceManager::deviceRegistered, this, [this] { hostRunsALoop(); });
        else
            connect(map->getUndoStack(), &QUndoStack::indexChanged, this, [this] { hostRunsALoop(); });
    }

    // Undo and redo run as the window's Undo and Redo entries run them. A redone delete and an
    // undone paste have a step to undo below them and one to redo above.
    void prepare(Command command)
    {
        if (command == RedoDelete || command == UndoPaste) {
            const DevicesArrangement copied = map->getDevicesArrangement({item("A")});
            map->pushOperation(new RenameDeviceOperation(map, "D", "E"));
            if (command == RedoDelete)
                map->pushOperation(new RemoveDevicesOperation(map, {item("A"), item("B"), item("C")}));
            else
                map->pushOperation(new PasteDevicesOperation(map, copied.devices, copied, QPointF(400, 300)));
            map->pushOperation(new RenameDeviceOperation(map, "E", "F"));
            QMetaObject::invokeMethod(window, "undo");
            if (command == RedoDelete)
                QMetaObject::invokeMethod(window, "undo");
        }
        if (command == UndoDelete)
            map->pushOperation(new RemoveDevicesOperation(map, {item("A"), item("B"), item("C")}));
        if (command == RedoPaste) {
            const DevicesArrangement copied = map->getDevicesArrangement({item("A"), item("B"), item("C")});
            map->pushOperation(new PasteDevicesOperation(map, copied.devices, copied, QPointF(400, 300)));
            QMetaObject::invokeMethod(window, "undo");
        }
    }

    void run(Command command)
    {
        if (command == Delete)
            map->pushOperation(new RemoveDevicesOperation(map, {item("A"), item("B"), item("C")}));
        else if (command == Rearrange)
            map->rearrangeGraph(DeviceMapWidget::Hierarchical, false);
        else
            QMetaObject::invokeMethod(window, command == UndoDelete || command == UndoPaste ? "undo" : "redo");
    }

    // The graph the manager holds after the command, and the layout the map wrote as it went.
    void runCommand(Command command, const QString& report, Ending end, Outcome& outcome)
    {
        openWindow(report);
        prepare(command);
        ending = end;
        manager->clearCallLog();
        armed = true;
        run(command);
        QVERIFY2(!armed, "the host's slot ran during the command");
        // A window the user closed, or a map the manager's exit dropped, is hidden at once and goes
        // once the command has returned.
        if (end == ClosedByTheUser)
            QVERIFY(window && map && window->isHidden());
        if (end == ManagerExits)
            QVERIFY(map && map->isHidden() && !window->getDeviceMapWidget());
        outcome.graph = manager->toYamlString();
        outcome.calls = manager->callLog();
        for (int i = 0; map && i < map->getUndoStack()->count(); ++i)
            outcome.history.append(map->getUndoStack()->text(i));
        outcome.index = map ? map->getUndoStack()->index() : -1;
        if (end == StaysOpen || end == ManagerExits)
            window->close();
        QTRY_VERIFY(!window && !map);
        QFile file(layoutPath());
        if (file.open(QIODevice::ReadOnly))
            outcome.layout = QString::fromUtf8(file.readAll());
        manager.reset();
    }

private Q_SLOTS:
    void initTestCase()
    {
        QVERIFY(dir.isValid() && dataHome.isValid());
        qputenv("XDG_DATA_HOME", dataHome.path().toUtf8());
        TemplatesWidget::setSystemTemplatesDirectory(dir.filePath(QStringLiteral("no-system-templates")));
    }

    void cleanup()
    {
        second = NoSecond;
        delete window;
        manager.reset();
        DeviceNodeItem::setUnplacedDevices(QStringList());
    }

    void commandEndsWholeWhenTheMapGoesInAHostLoop_data()
    {
        QTest::addColumn<int>("command");
        QTest::addColumn<QString>("report");
        QTest::addColumn<int>("ending");
        QTest::newRow("delete of three devices") << int(Delete) << "deviceRemoved" << int(ClosedByTheUser);
        QTest::newRow("undo of that delete") << int(UndoDelete) << "deviceRegistered" << int(ClosedByTheUser);
        QTest::newRow("redo of a paste") << int(RedoPaste) << "deviceRegistered" << int(ClosedByTheUser);
        QTest::newRow("rearrange") << int(Rearrange) << "indexChanged" << int(ClosedByTheUser);
        QTest::newRow("delete, manager exits") << int(Delete) << "deviceRemoved" << int(ManagerExits);
        QTest::newRow("delete, window deleted outright") << int(Delete) << "deviceRemoved" << int(DeletedByTheHost);
        QTest::newRow("redo of a paste, window deleted outright")
            << int(RedoPaste) << "deviceRegistered" << int(DeletedByTheHost);
    }

    void commandEndsWholeWhenTheMapGoesInAHostLoop()
    {
        QFETCH(int, command);
        QFETCH(QString, report);
        QFETCH(int, ending);
        // Given what the command leaves when the window stays open until it has returned
        Outcome expected;
        runCommand(Command(command), report, StaysOpen, expected);
        QVERIFY(!QTest::currentTestFailed() && !expected.layout.isEmpty());

        // When the window goes inside the host's loop during the command
        Outcome outcome;
        runCommand(Command(command), report, Ending(ending), outcome);
        QVERIFY(!QTest::currentTestFailed());

        // Then the manager holds the same graph and, unless deleted under it, the map wrote the same layout
        QCOMPARE(outcome.graph, expected.graph);
        if (ending != DeletedByTheHost)
            QCOMPARE(outcome.layout, expected.layout);
    }

    void secondCommandInAHostLoopIsRefused_data()
    {
        QTest::addColumn<int>("command");
        QTest::addColumn<QString>("report");
        QTest::addColumn<int>("secondCommand");
        QTest::addColumn<QString>("refused");
        const QList<QPair<Command, QString>> commands{{RedoDelete, "redo of a delete"}, {UndoPaste, "undo of a paste"}};
        for (const auto& command : commands) {
            QTest::addRow("%s, rearrangement", qPrintable(command.second))
                << int(command.first) << "deviceRemoved" << int(SecondRearrange) << "DeviceMapWidget::rearrangeGraph()";
            QTest::addRow("%s, undo", qPrintable(command.second))
                << int(command.first) << "deviceRemoved" << int(SecondUndo) << "DeviceMapWindow::undo()";
            QTest::addRow("%s, redo", qPrintable(command.second))
                << int(command.first) << "deviceRemoved" << int(SecondRedo) << "DeviceMapWindow::redo()";
        }
        // Its own push goes through; a host's loop on that push's reports gets no way in.
        QTest::newRow("rearrangement, rearrangement")
            << int(Rearrange) << "indexChanged" << int(SecondRearrange) << "DeviceMapWidget::rearrangeGraph()";
        QTest::newRow("rearrangement, undo") << int(Rearrange) << "indexChanged" << int(SecondUndo)
                                             << "DeviceMapWindow::undo()";
    }

    void secondCommandInAHostLoopIsRefused()
    {
        QFETCH(int, command);
        QFETCH(QString, report);
        QFETCH(int, secondCommand);
        QFETCH(QString, refused);
        // Given what the command leaves when nothing else runs meanwhile
        Outcome expected;
        runCommand(Command(command), report, StaysOpen, expected);
        QVERIFY(!QTest::currentTestFailed() && expected.index > 0);

        // When a host's loop on the command's reports starts a second command of the map
        second = Second(secondCommand);
        TestSupport::LogCapture log;
        Outcome outcome;
        runCommand(Command(command), report, StaysOpen, outcome);
        QVERIFY(!QTest::currentTestFailed());

        // Then the first one ran once, as alone, and the second is refused with a line in the log
        QCOMPARE(outcome.calls, expected.calls);
        QCOMPARE(outcome.history, expected.history);
        QCOMPARE(outcome.index, expected.index);
        QCOMPARE(outcome.graph, expected.graph);
        QCOMPARE(outcome.layout, expected.layout);
        QVERIFY(log.containsFragment(refused + " | WARNING another command of the map is running, refused |"));
    }
};

QTEST_MAIN(TestMapWindowClosedInCommand)
#include "tst_MapWindowClosedInCommand.moc"
