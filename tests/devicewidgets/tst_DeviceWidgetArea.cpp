#include "DeviceWidgetArea.h"
#include "TestGuiDevices.h"

#include <QAction>
#include <QGridLayout>
#include <QMenu>
#include <QScrollArea>
#include <QSignalSpy>
#include <QTest>
#include <QToolButton>

#include <memory>
#include <vector>

Q_DECLARE_METATYPE(QList<WidgetPosition>)

namespace {

/// Answers every menu with the entry named answer (none when empty) and keeps what it offered.
class AnsweringArea : public DeviceWidgetArea
{
public:
    using DeviceWidgetArea::DeviceWidgetArea;

    QString answer;
    QStringList offered;
    QMap<QString, bool> enabled;
    int menusShown = 0;

protected:
    QAction* execMenu(QMenu* menu, const QPoint& globalPos) override
    {
        Q_UNUSED(globalPos)
        ++menusShown;
        offered.clear();
        enabled.clear();
        return collect(menu);
    }

private:
    QAction* collect(QMenu* menu)
    {
        QAction* chosen = nullptr;
        const QList<QAction*> actions = menu->actions();
        for (QAction* action : actions) {
            QAction* found = nullptr;
            if (action->menu()) {
                found = collect(action->menu());
            } else {
                offered.append(action->text());
                enabled.insert(action->text(), action->isEnabled());
                if (action->text() == answer)
                    found = action;
            }
            if (found)
                chosen = found;
        }
        return chosen;
    }
};

/// Devices and their widgets at given positions; deletes both at the end.
class Board
{
public:
    explicit Board(const QList<WidgetPosition>& positions)
    {
        for (const WidgetPosition& pos : positions)
            add(pos);
    }
    ~Board()
    {
        for (const QPointer<BaseWidget>& widget : qAsConst(widgets))
            delete widget.data();
    }

    BaseWidget* add(const WidgetPosition& pos)
    {
        devices.push_back(std::make_unique<TestGuiDevice>());
        TestGuiDevice* device = devices.back().get();
        device->setObjectName(QStringLiteral("device%1").arg(devices.size()));
        BaseWidget* widget = device->createWidget();
        widget->setObjectName(device->objectName());
        widget->setMinimumSize(60, 40);
        widget->setPosition(pos);
        widgets.append(widget);
        return widget;
    }

    TestGuiDevice* device(int index) const { return devices.at(index).get(); }

    std::vector<std::unique_ptr<TestGuiDevice>> devices;
    QList<QPointer<BaseWidget>> widgets;
};

QGridLayout* gridOf(DeviceWidgetArea& area)
{
    return qobject_cast<QGridLayout*>(area.layout());
}

QList<QPoint> placeholderCells(DeviceWidgetArea& area)
{
    QList<QPoint> cells;
    QGridLayout* grid = gridOf(area);
    for (int index = 0; index < grid->count(); ++index) {
        if (qobject_cast<BaseWidget*>(grid->itemAt(index)->widget()))
            continue;
        int row, column, rowSpan, columnSpan;
        grid->getItemPosition(index, &row, &column, &rowSpan, &columnSpan);
        cells.append(QPoint(row, column));
    }
    std::sort(cells.begin(), cells.end(),
              [](const QPoint& a, const QPoint& b) { return qMakePair(a.x(), a.y()) < qMakePair(b.x(), b.y()); });
    return cells;
}

QStringList controlNames(DeviceWidgetArea& area)
{
    QStringList names;
    const QList<QToolButton*> buttons = area.findChildren<QToolButton*>();
    for (QToolButton* button : buttons) {
        if (!button->isHidden())
            names.append(button->objectName());
    }
    names.sort();
    return names;
}

QToolButton* control(DeviceWidgetArea& area, const QString& name)
{
    const QList<QToolButton*> buttons = area.findChildren<QToolButton*>(name);
    for (QToolButton* button : buttons) {
        if (!button->isHidden())
            return button;
    }
    return nullptr;
}

void showArea(DeviceWidgetArea& area)
{
    area.resize(400, 300);
    area.show();
    QVERIFY(QTest::qWaitForWindowExposed(&area));
}

} // namespace

class tst_DeviceWidgetArea : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { WidgetPosition::registerMetaType(); }

    void fillsHolesWithPlaceholders_data()
    {
        QTest::addColumn<QList<WidgetPosition>>("positions");
        QTest::addColumn<QList<QPoint>>("expected");
        QTest::newRow("empty area") << QList<WidgetPosition>{} << QList<QPoint>{QPoint(0, 0)};
        QTest::newRow("diagonal") << QList<WidgetPosition>{{0, 0}, {1, 1}}
                                  << QList<QPoint>{QPoint(0, 1), QPoint(1, 0)};
        QTest::newRow("spanning widget") << QList<WidgetPosition>{{0, 0, 2, 1}, {0, 1}} << QList<QPoint>{QPoint(1, 1)};
        QTest::newRow("empty column stays collapsed") << QList<WidgetPosition>{{0, 0}, {0, 2}} << QList<QPoint>{};
        QTest::newRow("corners") << QList<WidgetPosition>{{0, 0}, {2, 2}} << QList<QPoint>{QPoint(0, 2), QPoint(2, 0)};
        QTest::newRow("empty rows before") << QList<WidgetPosition>{{2, 0}, {3, 1}}
                                           << QList<QPoint>{QPoint(2, 1), QPoint(3, 0)};
        QTest::newRow("all unplaced") << QList<WidgetPosition>{{-1, -1}, {-1, -1}} << QList<QPoint>{};
    }

    void fillsHolesWithPlaceholders()
    {
        QFETCH(QList<WidgetPosition>, positions);
        QFETCH(QList<QPoint>, expected);
        Board board(positions);
        DeviceWidgetArea area(board.widgets, {"lamp"});
        QCOMPARE(placeholderCells(area), expected);
    }

    void emptyAreaOffersItsOnlyCell()
    {
        // Given an empty area in edit mode
        AnsweringArea area({}, {"lamp", "dial"});
        showArea(area);
        area.setEditingEnabled(true);

        // Then the placeholder and the edges each carry a "+"
        QCOMPARE(controlNames(area),
                 QStringList({"add:-1,0", "add:0,-1", "add:0,0", "add:0,1", "add:1,0"}));
        QCOMPARE(control(area, "add:0,0")->size(), QSize(32, 32));
        QCOMPARE(control(area, "add:0,1")->size(), QSize(16, 16));

        // When a type is chosen on the placeholder's button
        QSignalSpy requests(&area, &DeviceWidgetArea::newWidgetRequested);
        area.answer = "Lamp";
        control(area, "add:0,0")->click();

        // Then the menu showed capitalised labels, sorted, and the request carries the type itself
        QCOMPARE(area.offered, QStringList({"Dial", "Lamp"}));
        QCOMPARE(requests.count(), 1);
        QCOMPARE(requests.at(0), QVariantList({"lamp", 0, 0}));
    }

    void cancelledAddMenuRequestsNothing()
    {
        Board board({{0, 0}});
        AnsweringArea area(board.widgets, {"lamp"});
        showArea(area);
        area.setEditingEnabled(true);
        QSignalSpy requests(&area, &DeviceWidgetArea::newWidgetRequested);
        control(area, "add:0,-1")->click();
        QCOMPARE(area.menusShown, 1);
        QCOMPARE(requests.count(), 0);
        QCOMPARE(board.widgets.at(0)->getPosition(), WidgetPosition(0, 0));
    }

    void neighboursGetSwapAndSettingsControls()
    {
        Board board({{0, 0}, {0, 1}, {-1, -1}});
        AnsweringArea area(board.widgets, {"lamp"});
        showArea(area);
        area.setEditingEnabled(true);
        QCOMPARE(controlNames(area), QStringList({"add:-1,0", "add:-1,1", "add:0,-1", "add:0,2", "add:1,0",
                                                  "add:1,1", "settings:0,0", "settings:0,1", "swap:0,0:0,1"}));
        QVERIFY(board.widgets.at(2)->isHidden());
    }

    void leftEdgeAddShiftsPlacedWidgetsOnly()
    {
        // Given two placed widgets and one whose device is not initialised but keeps a place
        Board board({{0, 0}, {1, 0, 1, 2}});
        BaseWidget* dormant = board.add(WidgetPosition());
        board.device(2)->setPosition(WidgetPosition(3, 4));
        QCOMPARE(dormant->getPosition(), WidgetPosition());
        AnsweringArea area(board.widgets, {"lamp"});
        showArea(area);
        area.setEditingEnabled(true);

        // When a widget is added at the left edge
        QSignalSpy requests(&area, &DeviceWidgetArea::newWidgetRequested);
        area.answer = "Lamp";
        control(area, "add:0,-1")->click();

        // Then the placed widgets and their devices move one column right,
        // the new one is asked for at column 0, and the dormant device keeps its place
        QCOMPARE(requests.count(), 1);
        QCOMPARE(requests.at(0), QVariantList({"lamp", 0, 0}));
        QCOMPARE(board.widgets.at(0)->getPosition(), WidgetPosition(0, 1));
        QCOMPARE(board.device(1)->getPosition(), WidgetPosition(1, 1, 1, 2));
        QCOMPARE(board.device(2)->getPosition(), WidgetPosition(3, 4));
    }

    void widgetMenuEntries_data()
    {
        QTest::addColumn<QList<WidgetPosition>>("positions");
        QTest::addColumn<int>("target");
        QTest::addColumn<QString>("entry");
        QTest::addColumn<bool>("enabled");
        QTest::addColumn<WidgetPosition>("expected");

        const QList<WidgetPosition> pair{{0, 0}, {0, 1}};
        QTest::newRow("rightward onto a widget") << pair << 0 << "Expand rightward" << false << WidgetPosition(0, 0);
        QTest::newRow("rightward past the last column") << pair << 1 << "Expand rightward" << true
                                                        << WidgetPosition(0, 1, 1, 2);
        QTest::newRow("rightward onto a placeholder") << QList<WidgetPosition>{{0, 0}, {1, 1}} << 0
                                                      << "Expand rightward" << true << WidgetPosition(0, 0, 1, 2);
        QTest::newRow("leftward into an empty column") << QList<WidgetPosition>{{0, 1}} << 0 << "Expand leftward"
                                                       << true << WidgetPosition(0, 0, 1, 2);
        QTest::newRow("downward onto a placeholder") << QList<WidgetPosition>{{0, 0}, {1, 1}} << 0
                                                     << "Expand downward" << true << WidgetPosition(0, 0, 2, 1);
        QTest::newRow("upward onto a widget") << QList<WidgetPosition>{{0, 0}, {1, 0}} << 1 << "Expand upward"
                                              << false << WidgetPosition(1, 0);
        QTest::newRow("shrink a single cell") << QList<WidgetPosition>{{0, 0}} << 0 << "Shrink leftward" << false
                                              << WidgetPosition(0, 0);
        QTest::newRow("shrink rightward") << QList<WidgetPosition>{{0, 0, 1, 2}} << 0 << "Shrink rightward" << true
                                          << WidgetPosition(0, 1, 1, 1);
        QTest::newRow("shrink downward") << QList<WidgetPosition>{{0, 0, 2, 1}} << 0 << "Shrink downward" << true
                                         << WidgetPosition(1, 0, 1, 1);
    }

    void widgetMenuEntries()
    {
        QFETCH(QList<WidgetPosition>, positions);
        QFETCH(int, target);
        QFETCH(QString, entry);
        QFETCH(bool, enabled);
        QFETCH(WidgetPosition, expected);

        Board board(positions);
        AnsweringArea area(board.widgets, {"lamp"});
        showArea(area);
        area.setEditingEnabled(true);
        const WidgetPosition pos = board.widgets.at(target)->getPosition();
        area.answer = entry;
        control(area, QStringLiteral("settings:%1,%2").arg(pos.row).arg(pos.column))->click();

        QCOMPARE(area.enabled.value(entry), enabled);
        QCOMPARE(board.widgets.at(target)->getPosition(), expected);
        QCOMPARE(board.device(target)->getPosition(), expected);
    }

    void expandingAtAnEdgeShiftsEveryWidget()
    {
        Board board({{0, 0}, {1, 0}});
        AnsweringArea area(board.widgets, {"lamp"});
        showArea(area);
        area.setEditingEnabled(true);
        area.answer = "Expand leftward";
        control(area, "settings:0,0")->click();
        QCOMPARE(board.device(0)->getPosition(), WidgetPosition(0, 0, 1, 2));
        QCOMPARE(board.device(1)->getPosition(), WidgetPosition(1, 1));

        area.answer = "Expand upward";
        QTRY_VERIFY(control(area, "settings:0,0"));
        control(area, "settings:0,0")->click();
        QCOMPARE(board.device(0)->getPosition(), WidgetPosition(0, 0, 2, 2));
        QCOMPARE(board.device(1)->getPosition(), WidgetPosition(2, 1));
    }

    void settingsAndRemoveAreRequestedByDeviceName()
    {
        Board board({{0, 0}});
        AnsweringArea area(board.widgets, {"lamp"});
        showArea(area);
        area.setEditingEnabled(true);
        QSignalSpy settings(&area, &DeviceWidgetArea::widgetSettingsRequested);
        QSignalSpy removals(&area, &DeviceWidgetArea::removeWidgetRequested);

        area.answer = "Settings";
        control(area, "settings:0,0")->click();
        QCOMPARE(area.offered,
                 QStringList({"Settings", "Expand rightward", "Expand leftward", "Expand upward", "Expand downward",
                              "Shrink rightward", "Shrink leftward", "Shrink upward", "Shrink downward", "Remove"}));
        QCOMPARE(settings.count(), 1);
        QCOMPARE(settings.at(0).at(0).toString(), QStringLiteral("device1"));

        area.answer = "Remove";
        QTRY_VERIFY(control(area, "settings:0,0"));
        control(area, "settings:0,0")->click();
        QCOMPARE(removals.count(), 1);
        QCOMPARE(removals.at(0).at(0).toString(), QStringLiteral("device1"));
        QCOMPARE(board.device(0)->getPosition(), WidgetPosition(0, 0));
    }

    void swapExchangesWholePositions()
    {
        // Given a two-column widget beside a single cell
        Board board({{0, 0, 1, 2}, {0, 2}});
        AnsweringArea area(board.widgets, {"lamp"});
        showArea(area);
        area.setEditingEnabled(true);

        // When they are swapped
        control(area, "swap:0,2:0,1")->click();

        // Then cells and spans are exchanged, in the devices too
        QCOMPARE(board.device(0)->getPosition(), WidgetPosition(0, 2, 1, 1));
        QCOMPARE(board.device(1)->getPosition(), WidgetPosition(0, 0, 1, 2));
        QCOMPARE(gridOf(area)->itemAtPosition(0, 0)->widget(), board.widgets.at(1).data());
    }

    void swapWithPlaceholderLeavesOneCell()
    {
        Board board({{0, 0, 1, 2}, {1, 2}});
        AnsweringArea area(board.widgets, {"lamp"});
        showArea(area);
        area.setEditingEnabled(true);
        control(area, "swap:0,0:1,0")->click();
        QCOMPARE(board.device(0)->getPosition(), WidgetPosition(1, 0, 1, 1));
        QCOMPARE(gridOf(area)->itemAtPosition(1, 0)->widget(), board.widgets.at(0).data());
    }

    void leavingEditModeRemovesEveryControl()
    {
        Board board({{0, 0}, {0, 1}});
        AnsweringArea area(board.widgets, {"lamp"});
        showArea(area);
        area.toggleEditingEnabled();
        QVERIFY(area.isEditingEnabled());
        QVERIFY(!controlNames(area).isEmpty());

        area.toggleEditingEnabled();
        QVERIFY(!area.isEditingEnabled());
        QVERIFY(controlNames(area).isEmpty());
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QVERIFY(area.findChildren<QToolButton*>().isEmpty());
    }

    void minimumSizeFollowsTheGrid()
    {
        Board board({{0, 0}});
        QScrollArea scroll;
        auto area = new DeviceWidgetArea(board.widgets, {"lamp"});
        scroll.setWidget(area);
        board.add(WidgetPosition(0, 1));
        area->addWidget(board.widgets.last());
        const QSize minimum = gridOf(*area)->minimumSize();
        QVERIFY(minimum.width() >= 120);
        QCOMPARE(area->minimumSize(), minimum);
        QCOMPARE(scroll.minimumSize(), minimum);
    }

    void removedWidgetIsDeletedLater()
    {
        Board board({{0, 0}, {0, 1}});
        DeviceWidgetArea area(board.widgets, {"lamp"});
        QPointer<BaseWidget> removed = board.widgets.at(0);
        area.removeWidget(removed);
        QVERIFY(removed);
        QCOMPARE(area.getWidgets().size(), 1);
        QCOMPARE(placeholderCells(area), QList<QPoint>{});
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QVERIFY(!removed);

        delete board.widgets.at(1).data();
        area.removeWidget(nullptr);
        QVERIFY(area.getWidgets().isEmpty());
        QCOMPARE(placeholderCells(area), QList<QPoint>{QPoint(0, 0)});
    }

    void unplacedWidgetIsHiddenOnRebuild()
    {
        Board board({{0, 0}, {0, 1}});
        DeviceWidgetArea area(board.widgets, {"lamp"});
        showArea(area);
        BaseWidget* widget = board.widgets.at(1);
        QVERIFY(widget->isVisible());
        widget->setPosition(WidgetPosition());
        area.updateLayout();
        QVERIFY(widget->isHidden());
        widget->setPosition(WidgetPosition(1, 0));
        area.updateLayout();
        QVERIFY(widget->isVisible());
    }

    void destroyedAreaHandsWidgetsBack()
    {
        Board board({{0, 0}, {0, 1}});
        auto area = new DeviceWidgetArea(board.widgets, {"lamp"});
        QCOMPARE(board.widgets.at(0)->parentWidget(), area);
        delete area;
        QVERIFY(board.widgets.at(0));
        QVERIFY(board.widgets.at(1));
        QVERIFY(!board.widgets.at(0)->parentWidget());
    }
};

QTEST_MAIN(tst_DeviceWidgetArea)
#include "tst_DeviceWidgetArea.moc"
