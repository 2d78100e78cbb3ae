#include "DeviceWidgetArea.h"
#include "ModalRunner.h"
#include "TestGuiDevices.h"

#include <QAction>
#include <QEventLoop>
#include <QMenu>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>
#include <QToolButton>

#include <functional>
#include <memory>
#include <vector>

using Positions = QList<WidgetPosition>;
Q_DECLARE_METATYPE(Positions)

namespace {

/// Devices named "device1", "device2", ... whose widgets sit at the given positions, shown in edit mode.
class Board
{
public:
    explicit Board(const Positions& positions, const QStringList& types = {"lamp"})
    {
        for (const WidgetPosition& pos : positions)
            add(pos);
        area = std::make_unique<DeviceWidgetArea>(widgets, types);
        area->resize(400, 300);
        area->show();
        area->setEditingEnabled(true);
    }
    ~Board()
    {
        area.reset();
        for (const QPointer<BaseWidget>& widget : qAsConst(widgets))
            delete widget.data();
    }

    BaseWidget* add(const WidgetPosition& pos)
    {
        devices.push_back(std::make_unique<TestGuiDevice>());
        devices.back()->setObjectName(QStringLiteral("device%1").arg(devices.size()));
        BaseWidget* widget = devices.back()->createWidget();
        widget->setMinimumSize(60, 40);
        widget->setPosition(pos);
        widgets.append(widget);
        return widget;
    }

    Positions devicePositions() const
    {
        Positions positions;
        for (const auto& device : devices)
            positions.append(device->getPosition());
        return positions;
    }

    /// The edit-mode buttons in sight.
    QList<QToolButton*> buttons(const QString& name = QString()) const
    {
        QList<QToolButton*> shown = area->findChildren<QToolButton*>(name);
        shown.erase(std::remove_if(shown.begin(), shown.end(), [](QToolButton* button) { return button->isHidden(); }), shown.end());
        return shown;
    }

    QStringList controls() const
    {
        QStringList names;
        for (QToolButton* button : buttons())
            names.append(button->objectName());
        names.sort();
        return names;
    }

    /// Clicks the button of that name once the queued rebuild has made it, answering its menu with
    /// the entry whose text is answer (none when empty) and noting the entries it enabled.
    void click(const QString& name, const QString& answer = QString())
    {
        QTRY_COMPARE(buttons(name).size(), 1);
        ModalRunner::MenuAnswerGuard choose([this, answer](QMenu& menu) {
            QAction* chosen = answer.isEmpty() ? nullptr : ModalRunner::findAction(&menu, answer);
            if (whileMenuShown)
                whileMenuShown();
            return chosen;
        });
        buttons(name).first()->click();
        offered = choose.menus().value(0);
    }

    QList<QPoint> placeholderCells() const
    {
        QList<QPoint> cells;
        auto grid = qobject_cast<QGridLayout*>(area->layout());
        for (int row = 0; row < grid->rowCount(); ++row) {
            for (int column = 0; column < grid->columnCount(); ++column) {
                QLayoutItem* item = grid->itemAtPosition(row, column);
                if (item && !qobject_cast<BaseWidget*>(item->widget()))
                    cells.append(QPoint(row, column));
            }
        }
        return cells;
    }

    std::vector<std::unique_ptr<TestGuiDevice>> devices;
    QList<QPointer<BaseWidget>> widgets;
    std::unique_ptr<DeviceWidgetArea> area;
    /// The enabled entries of the last menu, submenus as "Sub/Item".
    QStringList offered;
    /// Called while the menu is up, as a host's code running in its event loop would be.
    std::function<void()> whileMenuShown;
};

} // namespace

class tst_DeviceWidgetArea : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { WidgetPosition::registerMetaType(); }

    void fillsHolesWithPlaceholders_data()
    {
        QTest::addColumn<Positions>("positions");
        QTest::addColumn<QList<QPoint>>("expected");
        QTest::newRow("empty area") << Positions{} << QList<QPoint>{{0, 0}};
        QTest::newRow("diagonal") << Positions{{0, 0}, {1, 1}} << QList<QPoint>{{0, 1}, {1, 0}};
        QTest::newRow("empty column stays collapsed") << Positions{{0, 0}, {0, 2}} << QList<QPoint>{};
        QTest::newRow("spanning widget") << Positions{{0, 0, 2, 1}, {0, 1}} << QList<QPoint>{{1, 1}};
        QTest::newRow("placed far beyond the grid") << Positions{{0, 0}, {1, 1000000, 1000000, 1}} << QList<QPoint>{};
    }

    void fillsHolesWithPlaceholders()
    {
        QFETCH(Positions, positions);
        QFETCH(QList<QPoint>, expected);
        Board board(positions);
        QCOMPARE(board.placeholderCells(), expected);
    }

    void emptyAreaOffersItsOnlyCell()
    {
        // Given an empty area in edit mode, whose placeholder and edges each carry a "+"
        Board board({}, {"lamp", "dial"});
        QSignalSpy requests(board.area.get(), &DeviceWidgetArea::newWidgetRequested);
        QTRY_COMPARE(board.controls(), QStringList({"add:-1,0", "add:0,-1", "add:0,0", "add:0,1", "add:1,0"}));

        // When the menu is cancelled, and then a type is chosen
        board.click("add:0,0");
        QCOMPARE(requests.count(), 0);
        board.click("add:0,0", "Lamp");

        // Then the menu showed capitalised labels, sorted, and the request carries the type itself
        QCOMPARE(board.offered, QStringList({"Dial", "Lamp"}));
        QCOMPARE(requests.count(), 1);
        QCOMPARE(requests.at(0), QVariantList({"lamp", 0, 0}));
    }

    void neighboursGetSwapAndSettingsControls()
    {
        Board board({{0, 0}, {0, 1}, {-1, -1}});
        QTRY_COMPARE(board.controls(), QStringList({"add:-1,0", "add:-1,1", "add:0,-1", "add:0,2", "add:1,0",
                                                    "add:1,1", "settings:0,0", "settings:0,1", "swap:0,0:0,1"}));
        QVERIFY(board.widgets.at(2)->isHidden());
        // Each control shows only a sign or an icon, so it carries a name and a tooltip
        for (QToolButton* button : board.buttons()) {
            QVERIFY2(!button->accessibleName().isEmpty(), qPrintable(button->objectName()));
            QCOMPARE(button->toolTip(), button->accessibleName());
        }
    }

    void leftEdgeAddShiftsPlacedWidgetsOnly()
    {
        // A widget whose device is not initialised keeps its device's place
        Board board({{0, 0}, {1, 0, 1, 2}, {-1, -1}});
        board.devices.at(2)->setPosition(WidgetPosition(3, 4));
        QSignalSpy requests(board.area.get(), &DeviceWidgetArea::newWidgetRequested);
        board.click("add:0,-1", "Lamp");
        QCOMPARE(requests.at(0), QVariantList({"lamp", 0, 0}));
        QCOMPARE(board.devicePositions(), Positions({{0, 1}, {1, 1, 1, 2}, {3, 4}}));
    }

    void widgetMenuEntries_data()
    {
        QTest::addColumn<Positions>("positions");
        QTest::addColumn<QString>("button");
        QTest::addColumn<QString>("entry");
        QTest::addColumn<bool>("enabled");
        QTest::addColumn<Positions>("expected");

        const Positions pair{{0, 0}, {0, 1}}, diagonal{{0, 0}, {1, 1}}, column{{0, 0}, {1, 0}};
        QTest::newRow("rightward onto a widget") << pair << "settings:0,0" << "Expand rightward" << false << pair;
        QTest::newRow("rightward past the last column") << pair << "settings:0,1" << "Expand rightward" << true << Positions{{0, 0}, {0, 1, 1, 2}};
        QTest::newRow("downward onto a placeholder") << diagonal << "settings:0,0" << "Expand downward" << true << Positions{{0, 0, 2, 1}, {1, 1}};
        QTest::newRow("leftward at the edge shifts every widget") << column << "settings:0,0" << "Expand leftward" << true << Positions{{0, 0, 1, 2}, {1, 1}};
        QTest::newRow("swap exchanges spans") << Positions{{0, 0, 1, 2}, {0, 2}} << "swap:0,2:0,1" << QString() << true << Positions{{0, 2}, {0, 0, 1, 2}};
        QTest::newRow("swap with a placeholder leaves one cell") << Positions{{0, 0, 1, 2}, {1, 2}} << "swap:0,0:1,0" << QString() << true << Positions{{1, 0}, {1, 2}};
    }

    void widgetMenuEntries()
    {
        QFETCH(Positions, positions);
        QFETCH(QString, button);
        QFETCH(QString, entry);
        QFETCH(bool, enabled);
        QFETCH(Positions, expected);

        Board board(positions);
        QSignalSpy placesChanged(board.area.get(), &DeviceWidgetArea::placesChanged);
        board.click(button, entry);

        QCOMPARE(entry.isEmpty() || !board.offered.filter(entry).isEmpty(), enabled);
        QCOMPARE(board.devicePositions(), expected);
        // Whoever keeps the places hears of a change, and only of one
        QCOMPARE(placesChanged.count(), expected == positions ? 0 : 1);
        auto grid = qobject_cast<QGridLayout*>(board.area->layout());
        QCOMPARE(grid->itemAtPosition(expected.at(0).row, expected.at(0).column)->widget(), board.widgets.at(0).data());
    }

    void discardedControlsLoseTheirNames()
    {
        // Given a grid edit that moves a widget off (0, 0)
        Board board({{0, 0, 1, 2}, {1, 0}});
        board.click("settings:0,0", "Shrink rightward");

        // When the controls are rebuilt, before the event loop deletes the discarded ones
        board.area->updateControls();

        // Then a name finds the control in sight or none
        QVERIFY(!board.area->findChild<QToolButton*>("settings:0,0"));
        QToolButton* moved = board.area->findChild<QToolButton*>("settings:0,1");
        QVERIFY(moved && moved->isVisible());
        QStringList named;
        for (QToolButton* button : board.area->findChildren<QToolButton*>(QRegularExpression(".+")))
            named.append(button->objectName());
        named.sort();
        QCOMPARE(named, board.controls());
    }

    void emptiedCellKeepsItsShareAndItsAddButton_data()
    {
        QTest::addColumn<bool>("atMinimumSize");
        QTest::newRow("room to spare") << false;
        QTest::newRow("at its minimum size") << true;
    }

    void emptiedCellKeepsItsShareAndItsAddButton()
    {
        QFETCH(bool, atMinimumSize);
        // Given a widget across two columns above another across both that takes all room it gets (a slider)
        Board board({{0, 0, 1, 2}, {1, 0, 1, 2}});
        board.widgets.at(1)->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Preferred);
        board.area->resize(640, 320);

        // When the lower one shrinks rightward, emptying the cell (1, 0)
        board.click("settings:1,0", "Shrink rightward");
        if (atMinimumSize)
            board.area->resize(board.area->minimumSize());
        QTRY_COMPARE(board.buttons("add:1,0").size(), 1);
        auto grid = qobject_cast<QGridLayout*>(board.area->layout());
        const QRect empty = grid->itemAtPosition(1, 0)->widget()->geometry();
        const QRect beside = board.widgets.at(1)->geometry();
        const QRect spanning = board.widgets.at(0)->geometry();

        // Then the empty cell keeps a cell's share and the upper widget shows both its columns
        if (!atMinimumSize)
            QCOMPARE(empty.width(), beside.width());
        QCOMPARE(spanning.left(), empty.left());
        QCOMPARE(spanning.right(), beside.right());
        // And its "+" lies inside it, clear of every other control
        QToolButton* add = board.buttons("add:1,0").first();
        QVERIFY(empty.contains(add->geometry()));
        for (QToolButton* other : board.buttons()) {
            if (other != add)
                QVERIFY2(!other->geometry().intersects(add->geometry()), qPrintable(other->objectName()));
        }
    }

    void areaDeletedWhileItsMenuIsUpIsLeftAlone()
    {
        Board board({{0, 0}});
        QSignalSpy requests(board.area.get(), &DeviceWidgetArea::newWidgetRequested);
        board.whileMenuShown = [&board] { delete board.area.release(); };

        board.click("add:0,-1", "Lamp");

        QCOMPARE(requests.count(), 0);
        QCOMPARE(board.devicePositions(), Positions({{0, 0}}));
    }
    void clickedControlOutlivesItsClick_data()
    {
        QTest::addColumn<QString>("button");
        QTest::addColumn<QString>("entry");
        QTest::addColumn<bool>("hostDeletesGrid");
        // device1 at (0, 0), device2 at (0, 1) over two rows
        QTest::newRow("swap") << "swap:0,0:0,1" << QString() << false;
        QTest::newRow("add") << "add:0,2" << "Lamp" << false;
        QTest::newRow("expand") << "settings:0,0" << "Expand downward" << false;
        QTest::newRow("shrink") << "settings:0,1" << "Shrink upward" << false;
        QTest::newRow("remove") << "settings:0,1" << "Remove" << false;
        QTest::newRow("settings") << "settings:0,0" << "Settings" << false;
        QTest::newRow("settings, the host deleting the grid") << "settings:0,0" << "Settings" << true;
    }

    void clickedControlOutlivesItsClick()
    {
        QFETCH(QString, button);
        QFETCH(QString, entry);
        QFETCH(bool, hostDeletesGrid);
        // Given a host that answers the grid with a modal box, while which the window is resized
        Board board({{0, 0}, {0, 1, 2, 1}});
        bool clicking = false;
        int boxes = 0;
        auto hostBox = [&] {
            if (!clicking)
                return;
            ++boxes;
            if (hostDeletesGrid)
                delete board.area.release();
            QEventLoop box;
            QTimer::singleShot(0, &box, [&board] {
                if (board.area)
                    board.area->resize(board.area->size() + QSize(10, 10));
            });
            QTimer::singleShot(20, &box, &QEventLoop::quit);
            box.exec();
        };
        DeviceWidgetArea* area = board.area.get();
        connect(area, &DeviceWidgetArea::placesChanged, this, hostBox);
        connect(area, &DeviceWidgetArea::newWidgetRequested, this, hostBox);
        connect(area, &DeviceWidgetArea::widgetSettingsRequested, this, hostBox);
        // As the manager does when the device is gone
        connect(area, &DeviceWidgetArea::removeWidgetRequested, this, [&] {
            board.area->removeWidget(board.widgets.at(1));
            hostBox();
        });

        // When the user clicks the control
        QTRY_COMPARE(board.buttons(button).size(), 1);
        QPointer<QToolButton> clicked = board.buttons(button).first();
        {
            ModalRunner::MenuAnswerGuard choose(entry);
            clicking = true;
            QTest::mouseClick(clicked, Qt::LeftButton);
            clicking = false;
        }

        // Then the control lived through its click, and goes once nothing runs
        QCOMPARE(boxes, 1);
        QVERIFY(clicked);
        QTRY_VERIFY(!clicked);
    }
};

QTEST_MAIN(tst_DeviceWidgetArea)
#include "tst_DeviceWidgetArea.moc"
