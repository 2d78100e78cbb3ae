#include "DeviceMapParts.h"
#include "DeviceMapWindow.h"
#include "DeviceNodeItem.h"
#include "DeviceText.h"
#include "MapClipboard.h"
#include "MapCommands.h"
#include "MapWaitCursor.h"
#include "TestDeviceManager.h"
#include "ZenticMessageBox.h"

#include <QApplication>
#include <QClipboard>
#include <QPointer>
#include <QSettings>
#include <QTemporaryDir>
#include <QToolButton>
#include <QUndoStack>
#include <QtTest>

#include <memory>

namespace {

// count scalers named prefix1 to prefix<count>, each feeding the next: count - 1 links.
QList<DeviceInfo> chain(const QString& prefix, int count)
{
    QList<DeviceInfo> infos;
    for (int i = 1; i <= count; ++i) {
        DeviceInfo info;
        info.name = prefix + QString::number(i);
        info.type = QStringLiteral("scaler");
        if (i < count)
            info.outgoingConnections.append(Connection{prefix + QString::number(i + 1), QStringLiteral("output(double)"),
                                                       QStringLiteral("input(double)")});
        infos.append(info);
    }
    return infos;
}

bool waitCursorShown()
{
    return QApplication::overrideCursor() && QApplication::overrideCursor()->shape() == Qt::WaitCursor;
}

} // namespace

// The wait cursor over the map's long commands, as those who listen to the manager and to the
// undo stack see it while a command runs from the map or its window.
class TestMapWaitCursor : public QObject
{
    Q_OBJECT

    enum Command { Delete, UndoDelete, RedoDelete, Paste, UndoPaste, Rearrange };

    QTemporaryDir dir;
    std::unique_ptr<QWidget> parent;
    std::unique_ptr<TestDeviceManager> manager;
    QPointer<DeviceMapWindow> window;
    // Whether any report came while the wait cursor was shown, and any without it.
    bool reportedWaiting = false;
    bool reportedIdle = false;

    DeviceMapWidget* map() const { return window->getDeviceMapWidget(); }
    // Undo and redo go through the window's buttons, as the user's do.
    QToolButton* button(const char* name) const { return window->findChild<QToolButton*>(QLatin1String(name)); }

    // The manager's changes, and the step a command leaves on the undo stack, which comes last,
    // once the layout file is written: a rearrangement changes no device.
    void listen()
    {
        auto note = [this] { (waitCursorShown() ? reportedWaiting : reportedIdle) = true; };
        connect(manager.get(), &DeviceManager::deviceRegistered, this, note);
        connect(manager.get(), &DeviceManager::deviceRemoved, this, note);
        connect(manager.get(), &DeviceManager::deviceChanged, this, note);
        connect(map()->getUndoStack(), &QUndoStack::indexChanged, this, note);
    }

    void prepare(Command command, int devices)
    {
        if (command == Paste || command == UndoPaste) {
            QApplication::clipboard()->setText(DeviceText::compose(chain(QStringLiteral("pasted"), devices)));
            if (command == UndoPaste)
                DeviceMapParts(map()).clipboard().paste(QPoint(100, 100));
            return;
        }
        for (DeviceNodeItem* device : map()->getDeviceItems())
            device->setSelected(device->devName().mid(6).toInt() <= devices);
        if (command == UndoDelete || command == RedoDelete)
            DeviceMapParts(map()).commands().deleteSelectionOrItemUnderCursor();
        if (command == RedoDelete)
            button("undoButton")->click();
    }

    void run(Command command)
    {
        switch (command) {
        case Delete:
            DeviceMapParts(map()).commands().deleteSelectionOrItemUnderCursor();
            break;
        case UndoDelete:
        case UndoPaste:
            button("undoButton")->click();
            break;
        case RedoDelete:
            button("redoButton")->click();
            break;
        case Paste:
            DeviceMapParts(map()).clipboard().paste(QPoint(100, 100));
            break;
        case Rearrange:
            map()->rearrangeGraph(DeviceMapWidget::Hierarchical, false);
            break;
        }
    }

private Q_SLOTS:
    void init()
    {
        DeviceNodeItem::setUnplacedDevices(QStringList());
        const QString layoutPath = dir.filePath(QStringLiteral("map.ini"));
        QFile::remove(layoutPath);
        manager = std::make_unique<TestDeviceManager>();
        QVERIFY(manager->loadYamlFromString(DeviceText::compose(chain(QStringLiteral("scaler"), 80))));
        // Placed, so that they can be selected.
        QSettings layout(layoutPath, QSettings::IniFormat);
        for (int i = 0; i < 80; ++i)
            layout.setValue(QStringLiteral("scaler%1/rect").arg(i + 1), QRect(i % 10 * 100, i / 10 * 50, 80, 30));
        layout.sync();
        parent = std::make_unique<QWidget>();
        window = new DeviceMapWindow(manager.get(), layoutPath, parent.get());
        listen();
    }

    void cleanup()
    {
        delete window;
        manager.reset();
        parent.reset();
        DeviceNodeItem::setUnplacedDevices(QStringList());
    }

    void showsTheWaitCursorThroughLongCommandsOnly_data()
    {
        QTest::addColumn<int>("command");
        QTest::addColumn<int>("devices");
        QTest::addColumn<bool>("isLong");
        // 60 devices with their links are long; 3 are not.
        QTest::newRow("delete") << int(Delete) << 60 << true;
        QTest::newRow("undo of a delete") << int(UndoDelete) << 60 << true;
        QTest::newRow("redo of a delete") << int(RedoDelete) << 60 << true;
        QTest::newRow("paste") << int(Paste) << 60 << true;
        QTest::newRow("undo of a paste") << int(UndoPaste) << 60 << true;
        QTest::newRow("rearrangement") << int(Rearrange) << 80 << true;
        QTest::newRow("quick delete") << int(Delete) << 3 << false;
        QTest::newRow("quick undo of a delete") << int(UndoDelete) << 3 << false;
        QTest::newRow("quick paste") << int(Paste) << 3 << false;
    }

    void showsTheWaitCursorThroughLongCommandsOnly()
    {
        // Given a map of 80 linked devices, and the command's devices selected, copied or handled
        QFETCH(int, command);
        QFETCH(int, devices);
        QFETCH(bool, isLong);
        ZenticMessageBox::AnswerGuard confirm(ZenticMessageBox::AnswerGuard::AcceptRole);
        prepare(Command(command), devices);
        reportedWaiting = reportedIdle = false;

        // When the command runs
        run(Command(command));

        // Then everyone hears of it under the wait cursor when it is long, to its last step, and
        // under none when it is quick; and the cursor is gone afterwards
        QVERIFY(reportedWaiting || reportedIdle);
        QCOMPARE(reportedWaiting, isLong);
        QCOMPARE(reportedIdle, !isLong);
        QVERIFY(!QApplication::overrideCursor());
        QVERIFY(!MapWaitCursor::isShown());
    }
};

QTEST_MAIN(TestMapWaitCursor)
#include "tst_MapWaitCursor.moc"
