#include "DeviceMapParts.h"
#include "DeviceMapWidget.h"
#include "DeviceMapWindow.h"
#include "DeviceNodeItem.h"
#include "DeviceText.h"
#include "LayoutProcess.h"
#include "MapAutoLayout.h"
#include "MapClipboard.h"
#include "MapMenus.h"
#include "ModalRunner.h"
#include "PasteDevicesOperation.h"
#include "TemplatesWidget.h"
#include "TestDeviceManager.h"
#include "TestSupport.h"
#include "ZenticMessageBox.h"

#include <QClipboard>
#include <QDockWidget>
#include <QElapsedTimer>
#include <QFileSystemModel>
#include <QGraphicsScene>
#include <QGraphicsView>
#include <QMenu>
#include <QMimeData>
#include <QTemporaryDir>
#include <QTreeView>
#include <QWindow>
#include <QtTest>

#include <memory>

// A layout's wait runs the host's timers, and one of them deletes the map window, or the map,
// outright: the command ends at once, touching nothing that went, and the manager holds what it
// made: nothing for a command that had not called it yet, whole devices and links for a paste
// laid out in its redo. The templates panel's preview, laid out too, goes with its window, which
// the host may also delete later or close. Nothing waits inside Qt's own handling of a click, a
// drag or a menu's entry, which would go on over what went.
class TestMapGoneDuringLayout : public QObject
{
    Q_OBJECT

    enum Command {
        Rearrange,
        Paste,
        Drop,
        PlatformDrag,
        PulledGroup,
        HostPaste,
        TemplatePreview,
        TemplateClick,
        MenuRearrange,
        MapMenuRearrange,
        MenuRedo
    };
    enum Gone { Window, MapInWindow, LoneMap, WindowLater, WindowClosed };

    QTemporaryDir dir;
    QTemporaryDir dataHome;
    std::unique_ptr<TestDeviceManager> manager;
    QPointer<DeviceMapWindow> window;
    QPointer<DeviceMapWidget> map;
    QPersistentModelIndex templateEntry;
    static constexpr int longDeadlineMs = 6000;

    QString layoutPath() const { return dir.filePath(QStringLiteral("map.ini")); }
    DeviceNodeItem* item(const QString& name) const { return map->getDeviceItems().value(name); }
    QPoint zone() const { return QPoint(map->viewport()->width() - 100, map->viewport()->height() - 100); }

    // A layout program that answers as the installed one does, a while later; or never.
    QString layoutProgram(bool answers) const
    {
        const QString path = dir.filePath(answers ? QStringLiteral("slow-layout") : QStringLiteral("silent-layout"));
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly))
            return QString();
        file.write(answers ? "#!/bin/sh\nsleep 0.3\nexec '" + LayoutProcess::installedProgram().toUtf8() + "'\n"
                           : QByteArray("#!/bin/sh\nexec sleep 60\n"));
        file.close();
        file.setPermissions(file.permissions() | QFileDevice::ExeOwner);
        return path;
    }

    // A -> B -> C placed apart, and E feeding F and G among the unplaced devices, on a shown map.
    void openMap(Gone gone, bool answers, int deadlineMs)
    {
        DeviceNodeItem::setUnplacedDevices(QStringList());
        QFile::remove(layoutPath());
        manager = std::make_unique<TestDeviceManager>();
        manager->markInitialised();
        if (gone == LoneMap) {
            map = new DeviceMapWidget(manager.get(), layoutPath());
            map->resize(800, 600);
            map->show();
        } else {
            window = new DeviceMapWindow(manager.get(), layoutPath(), nullptr);
            map = window->getDeviceMapWidget();
            window->resize(1000, 700);
            window->show();
        }
        QVERIFY(QTest::qWaitForWindowExposed(map->window()));
        map->setSceneRects(QRectF(0, 0, 2000, 2000));
        const QStringList names{"A", "B", "C", "E", "F", "G"};
        for (int i = 0; i < names.size(); ++i) {
            manager->renameDevice(manager->createDevice("scaler", false), names.at(i));
            if (i < 3)
                item(names.at(i))->placeDevice(QPointF(150 * i, 60 * i));
        }
        for (const QString link : {"A>B", "B>C", "E>F", "E>G"})
            manager->addConnection(link.section('>', 0, 0), link.section('>', 1), "output(double)", "input(double)");
        GraphLayoutAdapter::Options options;
        options.engine = GraphLayoutAdapter::Engine::Graphviz;
        options.layoutProgram = layoutProgram(answers);
        options.deadlineMs = deadlineMs;
        DeviceMapParts(*map).automaticLayout().setOptions(options);
        map->viewport()->repaint();
    }

    // A template of A and B in the templates panel, shown, as the panel lists it.
    void listTemplate()
    {
        window->findChild<QDockWidget*>(QStringLiteral("templatesDock"))->show();
        const QString path = QDir(TemplatesWidget::templatesDirectory()).filePath(QStringLiteral("pair.yml"));
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write(DeviceText::compose({manager->getDeviceInfo("A"), manager->getDeviceInfo("B")}).toUtf8());
        file.close();
        auto files = qobject_cast<QFileSystemModel*>(templatesTree()->model());
        QTRY_VERIFY(files->index(path).isValid());
        templateEntry = files->index(path);
        QTRY_VERIFY(templatesTree()->visualRect(templateEntry).isValid());
    }

    QTreeView* templatesTree() const
    {
        return window->getTemplatesWidget()->findChild<QTreeView*>(QStringLiteral("templatesFileView"));
    }

    QGraphicsScene* previewScene() const
    {
        return window->getTemplatesWidget()->findChild<QGraphicsView*>(QStringLiteral("templatesPreview"))->scene();
    }

    void sendMouse(QEvent::Type type, const QPoint& pos, Qt::MouseButton button, Qt::MouseButtons buttons)
    {
        QMouseEvent event(type, QPointF(pos), QPointF(pos), QPointF(map->viewport()->mapToGlobal(pos)), button,
                          buttons, Qt::NoModifier);
        QApplication::sendEvent(map->viewport(), &event);
    }

    // The host's paste pushed and undone, for its redo to be laid out again.
    void pushHostPasteAndUndo()
    {
        run(HostPaste);
        map->getUndoStack()->undo();
        QTRY_VERIFY_WITH_TIMEOUT(TestSupport::childProcesses().isEmpty(), 5000);
    }

    // The user clicks entry ("submenu/entry") of root, in the (sub)menu that holds it.
    void clickMenuEntry(QMenu* root, const QString& entry)
    {
        QVERIFY(root);
        QAction* action = ModalRunner::findAction(root, entry);
        QVERIFY(action);
        QMenu* menu = nullptr;
        for (QWidget* holder : action->associatedWidgets())
            menu = menu ? menu : qobject_cast<QMenu*>(holder);
        QVERIFY(menu);
        menu->popup(map->window()->mapToGlobal(QPoint(100, 100)));
        QVERIFY(QTest::qWaitForWindowExposed(menu));
        QTest::mouseClick(menu, Qt::LeftButton, Qt::NoModifier, menu->actionGeometry(action).center());
        // The menu's own handling of the click is over before anything of the command waits.
        QVERIFY(map);
    }

    QMenu* windowMenu(const QString& title) const
    {
        for (QMenu* menu : window->findChildren<QMenu*>()) {
            if (menu->title() == title)
                return menu;
        }
        return nullptr;
    }

    // What the user does: the last step is the one that waits for a layout.
    void run(Command command)
    {
        const QString text = DeviceText::compose({manager->getDeviceInfo("A"), manager->getDeviceInfo("B")});
        if (command == Rearrange) {
            map->rearrangeGraph(DeviceMapWidget::Hierarchical, false);
        } else if (command == Paste) {
            QApplication::clipboard()->setText(text);
            DeviceMapParts(*map).clipboard().paste(QPoint(300, 200));
        } else if (command == Drop || command == PlatformDrag) {
            const QString path = dir.filePath(QStringLiteral("pair.yml"));
            QFile file(path);
            QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
            file.write(text.toUtf8());
            file.close();
            QMimeData mime;
            mime.setUrls({QUrl::fromLocalFile(path)});
            if (command == Drop) {
                QDragEnterEvent enter(QPoint(300, 200), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
                QApplication::sendEvent(map->viewport(), &enter);
            } else {
                // As QGuiApplication hands a platform's drag on: the enter to the window under
                // the pointer, and at once a move to the same window.
                QWindow* handle = map->window()->windowHandle();
                const QPoint at = map->viewport()->mapTo(map->window(), QPoint(300, 200));
                QDragEnterEvent enter(at, Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
                QApplication::sendEvent(handle, &enter);
                QVERIFY(enter.isAccepted());
                QDragMoveEvent move(at, Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
                QApplication::sendEvent(handle, &move);
            }
            // The preview of the dragged devices is laid out from the event loop.
            QTRY_VERIFY_WITH_TIMEOUT(!map || !map->getDragArrangement().isEmpty(), 15000);
        } else if (command == TemplatePreview || command == TemplateClick) {
            if (command == TemplatePreview) {
                templatesTree()->setCurrentIndex(templateEntry);
            } else {
                QTest::mouseClick(templatesTree()->viewport(), Qt::LeftButton, Qt::NoModifier,
                                  templatesTree()->visualRect(templateEntry).center());
            }
            // The preview is laid out from the event loop, once the choice is handled.
            QTRY_VERIFY_WITH_TIMEOUT(!window || !previewScene()->items().isEmpty(), 15000);
        } else if (command == MenuRearrange || command == MapMenuRearrange || command == MenuRedo) {
            ZenticMessageBox::AnswerGuard accept(QStringLiteral("Rearrange"));
            if (command == MenuRearrange)
                clickMenuEntry(windowMenu(QStringLiteral("Clusters")), QStringLiteral("Cluster by IO"));
            else if (command == MapMenuRearrange)
                clickMenuEntry(&DeviceMapParts(*map).menus().sceneMenu(), QStringLiteral("Rearrange layout/Orthogonal"));
            else
                clickMenuEntry(windowMenu(QStringLiteral("Edit")), QStringLiteral("Redo"));
            QTRY_VERIFY_WITH_TIMEOUT(!map, 15000);
        } else if (command == HostPaste) {
            // Its arrangement holds none of its devices: they are laid out once made and joined.
            DeviceInfo first;
            first.name = "P";
            first.type = "scaler";
            DeviceInfo second = first;
            second.name = "Q";
            first.outgoingConnections.append(Connection{"Q", "output(double)", "input(double)"});
            map->pushOperation(new PasteDevicesOperation(map, {first, second}, DevicesArrangement(), QPointF(300, 200)));
        } else {
            // One of E, F, G comes out of the zone, and dropped far from it places all three, laid out.
            sendMouse(QEvent::MouseMove, zone(), Qt::NoButton, Qt::NoButton);
            QVERIFY(map->getCurrentTemporaryDevice());
            sendMouse(QEvent::MouseButtonPress, zone(), Qt::LeftButton, Qt::LeftButton);
            for (int step = 1; step <= 4; ++step)
                sendMouse(QEvent::MouseMove, zone() - QPoint(75, 60) * step, Qt::NoButton, Qt::LeftButton);
            sendMouse(QEvent::MouseButtonRelease, zone() - QPoint(300, 240), Qt::LeftButton, Qt::NoButton);
        }
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
        delete window;
        delete map;
        manager.reset();
        DeviceNodeItem::setUnplacedDevices(QStringList());
    }

    void commandEndsAtOnceWhenItsMapGoesDuringTheLayout_data()
    {
        QTest::addColumn<int>("command");
        QTest::addColumn<int>("gone");
        QTest::addColumn<bool>("answers");
        QTest::addColumn<int>("deadlineMs");
        const QList<QPair<Command, const char*>> commands{
            {Rearrange, "rearrangement"}, {Paste, "paste"}, {Drop, "drop"}, {PulledGroup, "pulled group"},
            {HostPaste, "host's paste laid out in its redo"}, {PlatformDrag, "file dragged in by the platform"}};
        const QList<QPair<Gone, const char*>> endings{
            {Window, "window deleted"}, {MapInWindow, "map in its window deleted"}, {LoneMap, "lone map deleted"}};
        for (const auto& command : commands) {
            for (const auto& gone : endings) {
                QTest::addRow("%s, %s", command.second, gone.second)
                    << int(command.first) << int(gone.first) << true << 9000;
            }
        }
        // The panel previews a template laid out, and goes with its window, whichever way the
        // host deletes it while the user's click on the template is handled.
        QTest::newRow("template preview, window deleted") << int(TemplatePreview) << int(Window) << true << 9000;
        const QList<QPair<Gone, const char*>> windowEndings{
            {Window, "window deleted"}, {WindowLater, "window deleted later"}, {WindowClosed, "window closed"}};
        for (const auto& gone : windowEndings) {
            QTest::addRow("template chosen by a click, %s", gone.second)
                << int(TemplateClick) << int(gone.first) << true << 9000;
        }
        // A menu's entry goes on inside the menu, which goes with its window, once it has been handled.
        QTest::newRow("rearrangement chosen in a menu, window deleted") << int(MenuRearrange) << int(Window) << true
                                                                        << 9000;
        QTest::newRow("rearrangement chosen in the map's menu, window deleted")
            << int(MapMenuRearrange) << int(Window) << true << 9000;
        QTest::newRow("host's paste redone from a menu, window deleted") << int(MenuRedo) << int(Window) << true
                                                                         << 9000;
        // The layout would end past its deadline, with the grid: the command ends at once instead.
        QTest::newRow("rearrangement, window deleted, no answer") << int(Rearrange) << int(Window) << false << 400;
        QTest::newRow("paste, lone map deleted, no answer") << int(Paste) << int(LoneMap) << false << 400;
        // A wait long enough to tell that nothing waits it out.
        const QList<QPair<Command, const char*>> waiting{{Rearrange, "rearrangement"},
                                                         {Paste, "paste"},
                                                         {Drop, "drop"},
                                                         {PulledGroup, "pulled group"},
                                                         {HostPaste, "host's paste laid out in its redo"},
                                                         {TemplateClick, "template chosen by a click"}};
        for (const auto& command : waiting) {
            const Gone gone = command.first == TemplateClick ? Window : LoneMap;
            QTest::addRow("%s, %s deleted, no answer in %d s", command.second, gone == Window ? "window" : "map",
                          longDeadlineMs / 1000)
                << int(command.first) << int(gone) << false << longDeadlineMs;
        }
    }

    void commandEndsAtOnceWhenItsMapGoesDuringTheLayout()
    {
        QFETCH(int, command);
        QFETCH(int, gone);
        QFETCH(bool, answers);
        QFETCH(int, deadlineMs);
        // Given a map whose layouts take a while, and a host's timer that deletes the window or the map
        openMap(Gone(gone), answers, deadlineMs);
        if (command == TemplatePreview || command == TemplateClick)
            listTemplate();
        if (command == MenuRedo)
            pushHostPasteAndUndo();
        QVERIFY(!QTest::currentTestFailed());
        const QString graph = manager->toYamlString();
        ZenticMessageBox::AnswerGuard noBox(QMessageBox::Ok);
        const TestSupport::LogCapture log;
        bool returned = false;
        bool deletedInTheLayout = false;
        // Once the layout's program runs, which answers 300 ms later at the soonest.
        QTimer host;
        host.start(10);
        connect(&host, &QTimer::timeout, this, [&] {
            if (TestSupport::childProcesses().isEmpty())
                return;
            host.stop();
            deletedInTheLayout = !returned;
            if (gone == Window)
                delete window.data();
            else if (gone == WindowLater)
                window->deleteLater();
            else if (gone == WindowClosed)
                window->close();
            else
                delete map.data();
        });

        // When the user's command waits for its layout
        QElapsedTimer elapsed;
        elapsed.start();
        run(Command(command));
        returned = true;

        // Then it ends there, long before its layout's deadline and with no grid put in for the
        // layout: the map is gone, the manager holds the graph it held, and no box comes
        if (!answers && deadlineMs == longDeadlineMs)
            QVERIFY2(elapsed.elapsed() < longDeadlineMs / 2, qPrintable(QString::number(elapsed.elapsed())));
        QVERIFY2(!log.containsFragment(QStringLiteral("fell back")), qPrintable(log.messages().join('\n')));
        QVERIFY(deletedInTheLayout);
        QVERIFY(!map);
        QCOMPARE(window.isNull(), gone != MapInWindow);
        QTRY_VERIFY_WITH_TIMEOUT(TestSupport::childProcesses().isEmpty(), 5000);
        QTest::qWait(50);
        if (command != HostPaste && command != MenuRedo) {
            QCOMPARE(manager->toYamlString(), graph);
        } else {
            QCOMPARE(manager->getDeviceNames(), QStringList({"A", "B", "C", "E", "F", "G", "P", "Q"}));
            QCOMPARE(manager->getDeviceInfo("P").outgoingConnections.size(), 1);
            QCOMPARE(manager->getDeviceInfo("P").outgoingConnections.first().device, QStringLiteral("Q"));
        }
        QCOMPARE(noBox.count(), 0);
    }
};

QTEST_MAIN(TestMapGoneDuringLayout)
#include "tst_MapGoneDuringLayout.moc"
