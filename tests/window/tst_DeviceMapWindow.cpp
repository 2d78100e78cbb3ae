#include "ButtonMenuRunner.h"
#include "DeviceConnectionItem.h"
#include "DeviceMapWidget.h"
#include "DeviceMapWindow.h"
#include "DeviceNodeItem.h"
#include "ExportMetaDeviceWizard.h"
#include "MapSearchBar.h"
#include "ModalRunner.h"
#include "TemplatesWidget.h"
#include "TestDeviceManager.h"
#include "WindowPlacement.h"

#include <QApplication>
#include <QDockWidget>
#include <QFileDialog>
#include <QGraphicsScene>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QPushButton>
#include <QSpinBox>
#include <QTemporaryDir>
#include <QTimer>
#include <QToolButton>
#include <QUndoStack>
#include <QtTest>

#include <memory>

namespace {

QUndoCommand* command(int number)
{
    auto done = new QUndoCommand();
    done->setText(QStringLiteral("command %1").arg(number));
    return done;
}

QStringList commandTexts(int first, int last, const QString& prefix = QString())
{
    QStringList texts;
    for (int i = first; i <= last; ++i)
        texts.append(prefix + QStringLiteral("command %1").arg(i));
    return texts;
}

// Answers the next file dialog with path (cancels it for an empty path) once it runs modally.
void answerFileDialog(const QString& path)
{
    auto poll = new QTimer();
    poll->setInterval(10);
    QObject::connect(poll, &QTimer::timeout, [poll, path] {
        auto dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
        if (!dialog)
            return;
        poll->deleteLater();
        if (path.isEmpty()) {
            dialog->reject();
            return;
        }
        // Typed, as the dialog lists its folder only later.
        dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"))->setText(path);
        QMetaObject::invokeMethod(dialog, "accept");
    });
    poll->start();
    // A dialog that never comes leaves no timer behind.
    QTimer::singleShot(5000, poll, &QObject::deleteLater);
}

} // namespace

class TestDeviceMapWindow : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void init();
    void cleanup();

    void undoHistoryListsTenAndMore();
    void redoHistoryListsTheNextCommandFirst();
    void colourModeComesBackToStateOnSecondChoice_data();
    void colourModeComesBackToStateOnSecondChoice();
    void notActiveTurnsSignalTrackingOff();
    void gridControls();
    void searchSelectsHitsAndWrapsWithF3();
    void emptySearchLeavesTheColoursAlone();
    void keysOpenAndCloseTheSearch();
    void exitLeavesAnEmptyWindowWhoseCommandsAreSafe();
    void resetGivesTheNewMapEveryBinding();
    void releasingAltTogglesTheMenuBar();
    void placesOverTheParentOnTheScreen_data();
    void placesOverTheParentOnTheScreen();
    void importRegistersTheChosenMetaDevice();
    void exportOpensTheWizardOverEveryDevice();
    void templatesButtonTogglesThePanel();
    void legendEntryNamesTheOppositeOfWhatIsSeen();

private:
    DeviceMapWindow* openWindow();
    DeviceMapWidget* map() const { return window->getDeviceMapWidget(); }
    QUndoStack* stack() const { return map()->getUndoStack(); }
    template<typename T>
    T* child(const QString& name) const
    {
        return window->findChild<T*>(name);
    }
    QToolButton* undoButton() const { return child<QToolButton>(QStringLiteral("undoButton")); }
    QToolButton* redoButton() const { return child<QToolButton>(QStringLiteral("redoButton")); }
    QPushButton* colorButton() const { return child<QPushButton>(QStringLiteral("colorModeButton")); }
    QPushButton* activityButton() const { return child<QPushButton>(QStringLiteral("activityModeButton")); }
    QSpinBox* gridSize() const { return child<QSpinBox>(QStringLiteral("gridCellSizeSpinBox")); }
    QAction* showGrid() const { return child<QAction>(QStringLiteral("showGridAction")); }
    QAction* activateGrid() const { return child<QAction>(QStringLiteral("activateGridAction")); }
    /// Opens a button's drop-down as a press on its arrow would, answered with choice.
    QList<QStringList> chooseFromButton(QAbstractButton* button, const QString& choice);
    QAction* menuBarAction(const QString& path) const;
    QString layoutPath() const { return dir.filePath(QStringLiteral("map.ini")); }

    QTemporaryDir dir;
    QTemporaryDir dataHome;
    std::unique_ptr<QWidget> parentWidget;
    std::unique_ptr<TestDeviceManager> manager;
    QPointer<DeviceMapWindow> window;
};

void TestDeviceMapWindow::initTestCase()
{
    QVERIFY(dir.isValid());
    QVERIFY(dataHome.isValid());
    // The templates panel makes its folder under the data location.
    qputenv("XDG_DATA_HOME", dataHome.path().toUtf8());
    TemplatesWidget::setSystemTemplatesDirectory(dir.filePath(QStringLiteral("no-system-templates")));
}

void TestDeviceMapWindow::init()
{
    parentWidget = std::make_unique<QWidget>();
    parentWidget->setGeometry(100, 100, 600, 400);
    manager = std::make_unique<TestDeviceManager>();
    manager->markInitialised();
}

void TestDeviceMapWindow::cleanup()
{
    delete window;
    manager.reset();
    parentWidget.reset();
    QFile::remove(layoutPath());
    DeviceNodeItem::setGridOn(false);
    DeviceNodeItem::setGridCellSize(10);
    DeviceNodeItem::setUnplacedDevices(QStringList());
    DeviceConnectionItem::setActivityType(DeviceConnectionItem::NotActive);
}

DeviceMapWindow* TestDeviceMapWindow::openWindow()
{
    window = new DeviceMapWindow(manager.get(), layoutPath(), parentWidget.get());
    return window;
}

QList<QStringList> TestDeviceMapWindow::chooseFromButton(QAbstractButton* button, const QString& choice)
{
    ModalRunner::MenuAnswerGuard choose(choice);
    const QPoint arrow(button->width() - 3, button->height() / 2);
    if (!ButtonMenuRunner::isMenuPart(button, arrow))
        return {};
    QTest::mouseClick(button, Qt::LeftButton, Qt::NoModifier, arrow);
    return choose.menus();
}

QAction* TestDeviceMapWindow::menuBarAction(const QString& path) const
{
    const QStringList parts = path.split(QLatin1Char('/'));
    for (QAction* menu : window->menuBar()->actions()) {
        if (menu->text() == parts.first() && menu->menu())
            return ModalRunner::findAction(menu->menu(), parts.mid(1).join(QLatin1Char('/')));
    }
    return nullptr;
}

void TestDeviceMapWindow::undoHistoryListsTenAndMore()
{
    openWindow();
    QVERIFY(!undoButton()->isEnabled());
    QCOMPARE(chooseFromButton(undoButton(), QStringLiteral("command 0")), QList<QStringList>());

    for (int i = 0; i < 12; ++i)
        stack()->push(command(i));
    QVERIFY(undoButton()->isEnabled());

    const QList<QStringList> shown = chooseFromButton(undoButton(), QStringLiteral("command 3"));
    QCOMPARE(shown.value(0), commandTexts(0, 9) + commandTexts(10, 11, QStringLiteral("More.../")));
    QCOMPARE(stack()->index(), 3);

    // The histories follow every change of the index.
    stack()->redo();
    QCOMPARE(chooseFromButton(undoButton(), QStringLiteral("command 0")).value(0), commandTexts(0, 3));
    QCOMPARE(stack()->index(), 0);
    QVERIFY(!undoButton()->isEnabled());
}

void TestDeviceMapWindow::redoHistoryListsTheNextCommandFirst()
{
    openWindow();
    for (int i = 0; i < 12; ++i)
        stack()->push(command(i));
    stack()->setIndex(0);
    QVERIFY(redoButton()->isEnabled());

    const QList<QStringList> shown = chooseFromButton(redoButton(), QStringLiteral("command 0"));
    QCOMPARE(shown.value(0), commandTexts(0, 9) + commandTexts(10, 11, QStringLiteral("More.../")));
    QCOMPARE(stack()->index(), 1);

    stack()->clear();
    for (int i = 0; i < 15; ++i)
        stack()->push(command(i));
    stack()->setIndex(2);
    const QList<QStringList> later = chooseFromButton(redoButton(), QStringLiteral("command 13"));
    QCOMPARE(later.value(0), commandTexts(2, 11) + commandTexts(12, 14, QStringLiteral("More.../")));
    QCOMPARE(stack()->index(), 14);
}

void TestDeviceMapWindow::colourModeComesBackToStateOnSecondChoice_data()
{
    QTest::addColumn<QString>("entry");
    QTest::addColumn<int>("mode");

    QTest::newRow("thread") << "By thread" << int(DeviceMapWidget::ByThread);
    QTest::newRow("network") << "By network" << int(DeviceMapWidget::ByNetwork);
    QTest::newRow("area") << "By area" << int(DeviceMapWidget::ByArea);
}

void TestDeviceMapWindow::colourModeComesBackToStateOnSecondChoice()
{
    QFETCH(QString, entry);
    QFETCH(int, mode);
    openWindow();
    QCOMPARE(colorButton()->text(), QStringLiteral("By state"));

    const QList<QStringList> shown = chooseFromButton(colorButton(), entry);
    QCOMPARE(shown.value(0), (QStringList{"By thread", "By network", "By area", "By state"}));
    QCOMPARE(int(map()->getColorisationMode()), mode);
    QCOMPARE(colorButton()->text(), entry);

    chooseFromButton(colorButton(), entry);
    QCOMPARE(map()->getColorisationMode(), DeviceMapWidget::ByState);
    QCOMPARE(colorButton()->text(), QStringLiteral("By state"));

    // The button follows the modes the map sets itself.
    map()->setColorisationMode(DeviceMapWidget::ByConnectivity);
    QCOMPARE(colorButton()->text(), QStringLiteral("By connectivity"));
}

void TestDeviceMapWindow::notActiveTurnsSignalTrackingOff()
{
    openWindow();
    QCOMPARE(activityButton()->text(), QStringLiteral("Not active"));
    const QList<QPair<QString, bool>> steps{{"Dashed line per emit", true},
                                            {"Not active", false},
                                            {"Dashed line per time", true},
                                            {"Color line per time", true}};
    for (const auto& step : steps) {
        const QList<QStringList> shown = chooseFromButton(activityButton(), step.first);
        QCOMPARE(shown.value(0).size(), 4);
        QCOMPARE(manager->getSignalsTracking(), step.second);
        QCOMPARE(activityButton()->text(), step.first);
    }
    QCOMPARE(DeviceConnectionItem::getActivityType(), DeviceConnectionItem::ColorLinePerTime);
}

void TestDeviceMapWindow::gridControls()
{
    openWindow();
    Grid& grid = map()->getGrid();

    // Activating grid mode shows the grid and the cell size and snaps devices.
    gridSize()->setValue(20);
    activateGrid()->trigger();
    QVERIFY(showGrid()->isChecked());
    QVERIFY(grid.isActive());
    QVERIFY(!gridSize()->isHidden());
    QVERIFY(DeviceNodeItem::getGridOn());
    QCOMPARE(DeviceNodeItem::getGridCellSize(), 20);

    // Unchecking "Show grid" while snapping hides the grid only.
    showGrid()->trigger();
    QVERIFY(!grid.isActive());
    QVERIFY(!gridSize()->isHidden());
    showGrid()->trigger();
    QVERIFY(grid.isActive());

    // Deactivating takes everything away.
    activateGrid()->trigger();
    QVERIFY(!showGrid()->isChecked());
    QVERIFY(!grid.isActive());
    QVERIFY(gridSize()->isHidden());
    QVERIFY(!DeviceNodeItem::getGridOn());

    // A new cell size with the grid hidden changes snapping only.
    gridSize()->setValue(35);
    QCOMPARE(DeviceNodeItem::getGridCellSize(), 35);
    QVERIFY(!grid.isActive());

    // Activating with the grid already shown keeps it shown.
    showGrid()->trigger();
    QVERIFY(grid.isActive());
    activateGrid()->trigger();
    QVERIFY(grid.isActive());
    QVERIFY(DeviceNodeItem::getGridOn());
}

void TestDeviceMapWindow::searchSelectsHitsAndWrapsWithF3()
{
    const QStringList generators{manager->createDevice("generator", false), manager->createDevice("generator", false),
                                 manager->createDevice("generator", false)};
    manager->createDevice("scaler", false);
    openWindow();
    // Placed from right to left: hits go top to bottom, then left to right.
    for (int i = 0; i < generators.size(); ++i)
        map()->getDeviceItems().value(generators.at(i))->placeDevice(QPointF(400 - 200 * i, 100));
    MapSearchBar* bar = window->getSearchBar();
    QLabel* counter = bar->counterLabel();

    bar->lineEdit()->setText(QStringLiteral("gen"));
    const QList<DeviceNodeItem*> hits = map()->getFoundDevices();
    QCOMPARE(hits.size(), 3);
    QCOMPARE(hits.first()->devName(), generators.last());
    QCOMPARE(counter->text(), QStringLiteral("1/3"));
    QVERIFY(hits.at(0)->isSelected());
    QCOMPARE(colorButton()->text(), QStringLiteral("By search"));

    QTest::keyClick(window, Qt::Key_F3);
    QCOMPARE(counter->text(), QStringLiteral("2/3"));
    QVERIFY(!hits.at(0)->isSelected());
    QVERIFY(hits.at(1)->isSelected());
    QTest::keyClick(window, Qt::Key_F3);
    QTest::keyClick(window, Qt::Key_F3);
    QCOMPARE(counter->text(), QStringLiteral("1/3"));
    QTest::keyClick(window, Qt::Key_F3, Qt::ShiftModifier);
    QCOMPARE(counter->text(), QStringLiteral("3/3"));
    QVERIFY(hits.at(2)->isSelected());
    bar->previousAction()->trigger();
    QCOMPARE(counter->text(), QStringLiteral("2/3"));

    // Return goes back to the first hit; closing restores the colours of before.
    QTest::keyClick(bar->lineEdit(), Qt::Key_Return);
    QCOMPARE(counter->text(), QStringLiteral("1/3"));
    bar->closeButton()->click();
    QVERIFY(bar->isHidden());
    QCOMPARE(map()->getColorisationMode(), DeviceMapWidget::ByState);
    QCOMPARE(colorButton()->text(), QStringLiteral("By state"));
    QCOMPARE(counter->text(), QStringLiteral("0/0"));
}

void TestDeviceMapWindow::emptySearchLeavesTheColoursAlone()
{
    manager->createDevice("generator", false);
    openWindow();
    chooseFromButton(colorButton(), QStringLiteral("By thread"));

    // F3, Shift+F3 and Return without search text find nothing and change no colours.
    QTest::keyClick(window, Qt::Key_F3);
    QTest::keyClick(window, Qt::Key_F3, Qt::ShiftModifier);
    QTest::keyClick(window->getSearchBar()->lineEdit(), Qt::Key_Return);
    QCOMPARE(map()->getColorisationMode(), DeviceMapWidget::ByThread);
    QCOMPARE(window->getSearchBar()->counterLabel()->text(), QStringLiteral("0/0"));

    // A search without hits shows 0/0 and F3 keeps it.
    window->getSearchBar()->lineEdit()->setText(QStringLiteral("nothing-like-this"));
    QTest::keyClick(window, Qt::Key_F3);
    QCOMPARE(window->getSearchBar()->counterLabel()->text(), QStringLiteral("0/0"));
    QTest::keyClick(window, Qt::Key_Escape);
    QCOMPARE(map()->getColorisationMode(), DeviceMapWidget::ByThread);
}

void TestDeviceMapWindow::keysOpenAndCloseTheSearch()
{
    manager->createDevice("generator", false);
    openWindow();
    MapSearchBar* bar = window->getSearchBar();
    QVERIFY(bar->isHidden());
    QCOMPARE(bar->parentWidget(), map());

    bar->lineEdit()->setText(QStringLiteral("gen"));
    QTest::keyClick(window, Qt::Key_F, Qt::ControlModifier);
    QVERIFY(!bar->isHidden());
    QCOMPARE(bar->lineEdit()->selectedText(), QStringLiteral("gen"));

    QTest::keyClick(window, Qt::Key_Escape);
    QVERIFY(bar->isHidden());
    QVERIFY(bar->lineEdit()->text().isEmpty());
    QCOMPARE(map()->getColorisationMode(), DeviceMapWidget::ByState);

    child<QToolButton>(QStringLiteral("searchButton"))->click();
    QVERIFY(!bar->isHidden());
}

void TestDeviceMapWindow::exitLeavesAnEmptyWindowWhoseCommandsAreSafe()
{
    manager->createDevice("generator", false);
    openWindow();
    stack()->push(command(0));
    window->getSearchBar()->lineEdit()->setText(QStringLiteral("gen"));
    QFile::remove(layoutPath());

    Q_EMIT manager->exit();

    QVERIFY(!map());
    QVERIFY(!window->getSearchBar());
    QVERIFY(!window->findChild<DeviceMapWidget*>());
    QVERIFY(QFileInfo::exists(layoutPath()));
    QVERIFY(!undoButton()->isEnabled());
    QVERIFY(!window->getTemplatesWidget()->deviceMapWidget());

    // Every command of the window does nothing now, and nothing breaks.
    for (const char* slot : {"startSearch", "closeSearch", "nextFoundDevice", "prevFoundDevice", "undo", "redo",
                             "setColorModeFromWindow", "setConnectionActivityMode", "toggleActivateGridMode",
                             "toggleShowGrid", "gridCellSizeChanged", "deleteDeviceMapWidget", "importMetaDevice",
                             "exportMetaDevice"})
        QVERIFY2(QMetaObject::invokeMethod(window, slot), slot);
    QVERIFY(QMetaObject::invokeMethod(window, "setUndoState", Q_ARG(bool, true)));
    QVERIFY(QMetaObject::invokeMethod(window, "setRedoState", Q_ARG(bool, true)));
    window->setUndoIndex(0);
    ModalRunner::MenuAnswerGuard dismiss(ModalRunner::Cancel);
    for (QAction* menu : window->menuBar()->actions()) {
        for (const QString& entry : ModalRunner::actionTexts(menu->menu())) {
            if (entry != QLatin1String("About"))
                ModalRunner::findAction(menu->menu(), entry)->trigger();
        }
    }
    for (QAction* action : window->findChildren<QAction*>()) {
        if (action->text() != QLatin1String("About"))
            action->trigger();
    }
    for (int key : {int(Qt::Key_F3), int(Qt::Key_F), int(Qt::Key_Escape)})
        QTest::keyClick(window, Qt::Key(key), key == Qt::Key_F ? Qt::ControlModifier : Qt::NoModifier);
    gridSize()->setValue(50);
    QVERIFY(!undoButton()->isEnabled());
    QVERIFY(window->centralWidget());
}

void TestDeviceMapWindow::resetGivesTheNewMapEveryBinding()
{
    openWindow();
    Q_EMIT manager->exit();
    TestDeviceManager second;
    second.markInitialised();
    second.createDevice("generator", false);

    window->resetDeviceMapWidget(&second, dir.filePath(QStringLiteral("second.ini")));

    QPointer<DeviceMapWidget> fresh = map();
    QVERIFY(fresh);
    QCOMPARE(window->centralWidget(), fresh.data());
    QCOMPARE(window->getTemplatesWidget()->deviceMapWidget(), fresh.data());
    QCOMPARE(window->getSearchBar()->parentWidget(), fresh.data());
    stack()->push(command(0));
    QVERIFY(undoButton()->isEnabled());
    fresh->setColorisationMode(DeviceMapWidget::ByArea);
    QCOMPARE(colorButton()->text(), QStringLiteral("By area"));
    menuBarAction(QStringLiteral("View/Increase scale"))->trigger();
    QCOMPARE(fresh->transform().m11(), 1.25);
    window->getSearchBar()->lineEdit()->setText(QStringLiteral("gen"));
    QCOMPARE(window->getSearchBar()->counterLabel()->text(), QStringLiteral("1/1"));

    // Only the new manager's exit() takes the new view.
    Q_EMIT manager->exit();
    QVERIFY(fresh);
    Q_EMIT second.exit();
    QVERIFY(!fresh);

    // A reset over a living view replaces it, which saves its layout.
    window->resetDeviceMapWidget(manager.get(), layoutPath());
    QPointer<DeviceMapWidget> first = map();
    QFile::remove(layoutPath());
    window->resetDeviceMapWidget(manager.get(), layoutPath());
    QVERIFY(!first);
    QVERIFY(QFileInfo::exists(layoutPath()));
    QVERIFY(map());
}

void TestDeviceMapWindow::releasingAltTogglesTheMenuBar()
{
    openWindow();
    QVERIFY(!window->menuBar()->isHidden());
    const QStringList titles{"File", "Edit", "View", "Help"};
    QStringList shown;
    for (QAction* menu : window->menuBar()->actions())
        shown.append(menu->text());
    QCOMPARE(shown, titles);
    QVERIFY(menuBarAction(QStringLiteral("Edit/Rearrange/Clusters/Cluster By IO")));

    QTest::keyRelease(window, Qt::Key_Alt);
    QVERIFY(window->menuBar()->isHidden());
    QTest::keyRelease(window, Qt::Key_Alt);
    QVERIFY(!window->menuBar()->isHidden());
}

void TestDeviceMapWindow::placesOverTheParentOnTheScreen_data()
{
    QTest::addColumn<QRect>("parent");
    QTest::addColumn<QSize>("window");
    QTest::addColumn<QPoint>("expected");

    QTest::newRow("centred") << QRect(0, 0, 1000, 800) << QSize(400, 300) << QPoint(299, 249);
    QTest::newRow("too wide: 20 past the right edge") << QRect(600, 100, 400, 400) << QSize(600, 200)
                                                      << QPoint(420, 199);
    QTest::newRow("too low: flush with the bottom") << QRect(100, 500, 400, 300) << QSize(200, 400)
                                                    << QPoint(199, 400);
    QTest::newRow("top-left: at least 30") << QRect(0, 0, 100, 100) << QSize(400, 300) << QPoint(30, 30);
}

void TestDeviceMapWindow::placesOverTheParentOnTheScreen()
{
    QFETCH(QRect, parent);
    QFETCH(QSize, window);
    QFETCH(QPoint, expected);
    const auto screen = [](const QPoint&) { return QSize(1000, 800); };
    QCOMPARE(WindowPlacement::startPosition(parent, window, screen), expected);
}

void TestDeviceMapWindow::importRegistersTheChosenMetaDevice()
{
    const QString path = dir.filePath(QStringLiteral("sensorPack.yml"));
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write("config_version: 2\ngenerator1:\n  type: generator\n");
    file.close();
    openWindow();

    answerFileDialog(QString());
    menuBarAction(QStringLiteral("File/Import meta device"))->trigger();
    QVERIFY(!manager->getDeviceTypes().contains(QStringLiteral("sensorPack")));

    answerFileDialog(path);
    menuBarAction(QStringLiteral("File/Import meta device"))->trigger();
    QVERIFY(manager->getDeviceTypes().contains(QStringLiteral("sensorPack")));
}

void TestDeviceMapWindow::exportOpensTheWizardOverEveryDevice()
{
    openWindow();
    menuBarAction(QStringLiteral("File/Export meta device"))->trigger();
    QVERIFY(!window->findChild<ExportMetaDeviceWizard*>());

    for (int i = 0; i < 3; ++i)
        manager->createDevice("generator", false);
    map()->getDeviceItems().first()->setSelected(true);
    menuBarAction(QStringLiteral("File/Export meta device"))->trigger();

    QPointer<ExportMetaDeviceWizard> wizard = window->findChild<ExportMetaDeviceWizard*>();
    QVERIFY(wizard);
    QVERIFY(wizard->isModal());
    QCOMPARE(wizard->savePageId(), 3 + 2);
    wizard->reject();
    QTRY_VERIFY(!wizard);
}

void TestDeviceMapWindow::templatesButtonTogglesThePanel()
{
    openWindow();
    auto dock = child<QDockWidget>(QStringLiteral("templatesDock"));
    auto button = child<QPushButton>(QStringLiteral("templatesButton"));
    QVERIFY(dock->isHidden());
    QCOMPARE(dock->features(), QDockWidget::NoDockWidgetFeatures);
    QCOMPARE(dock->widget(), window->getTemplatesWidget());

    button->click();
    QVERIFY(!dock->isHidden());
    QVERIFY(button->isChecked());
    button->click();
    QVERIFY(dock->isHidden());
    QVERIFY(!button->isChecked());
}

void TestDeviceMapWindow::legendEntryNamesTheOppositeOfWhatIsSeen()
{
    openWindow();
    QAction* legend = child<QAction>(QStringLiteral("showLegendAction"));
    QCOMPARE(legend->text(), QStringLiteral("Show legend"));
    QCOMPARE(legend->shortcut(), QKeySequence(Qt::Key_F1));

    legend->trigger();
    QVERIFY(map()->legendIsActive());
    QCOMPARE(legend->text(), QStringLiteral("Hide legend"));
    // The map's own legend key goes on to the colour legend, then hides it.
    map()->switchLegend();
    QCOMPARE(legend->text(), QStringLiteral("Hide legend"));
    map()->switchLegend();
    QCOMPARE(legend->text(), QStringLiteral("Show legend"));
    legend->trigger();
    QVERIFY(map()->legendIsActive());
}

QTEST_MAIN(TestDeviceMapWindow)
#include "tst_DeviceMapWindow.moc"
