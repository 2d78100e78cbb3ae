#include "ButtonMenuRunner.h"
#include "DeviceConnectionItem.h"
#include "DeviceMapWidget.h"
#include "DeviceMapWindow.h"
#include "DeviceNodeItem.h"
#include "LibraryTranslator.h"
#include "ExportMetaDeviceWizard.h"
#include "MapSearchBar.h"
#include "ModalRunner.h"
#include "OutsideTextReaders.h"
#include "TemplatesWidget.h"
#include "TestDeviceManager.h"
#include "ZenticMessageBox.h"

#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QPushButton>
#include <QSpinBox>
#include <QToolBar>
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
    void exitLeavesAnEmptyWindowWhoseCommandsAreSafe();
    void resetGivesTheNewMapEveryBinding();
    void importHandsTheFrameworkOnlyFilesWithinBounds_data();
    void importHandsTheFrameworkOnlyFilesWithinBounds();
    void importTellsWhyAFileIsRefused_data();
    void importTellsWhyAFileIsRefused();
    void exportOpensTheWizardOverEveryDevice();
    void dropDownButtonsOpenTheirMenusThroughTheMenuSeam_data();
    void dropDownButtonsOpenTheirMenusThroughTheMenuSeam();
    void controlsSpeakTheUsersLanguage();
    void undoAndRedoKeysShowInTheEditMenuAndActOnce_data();
    void undoAndRedoKeysShowInTheEditMenuAndActOnce();
    void altTogglesTheMenuBarOnlyWhenPressedAlone_data();
    void altTogglesTheMenuBarOnlyWhenPressedAlone();

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
    QAbstractButton* toolBarButton(const QString& toolTip) const;
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
    manager = std::make_unique<TestDeviceManager>();
    manager->markInitialised();
}

void TestDeviceMapWindow::cleanup()
{
    LibraryTranslator::remove();
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

QAbstractButton* TestDeviceMapWindow::toolBarButton(const QString& toolTipOrName) const
{
    for (QAbstractButton* button : window->findChildren<QAbstractButton*>()) {
        if (button->toolTip() == toolTipOrName || button->objectName() == toolTipOrName)
            return button;
    }
    return nullptr;
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
    for (int i = 0; i < 12; ++i)
        stack()->push(command(i));
    QVERIFY(undoButton()->isEnabled());

    const QList<QStringList> shown = chooseFromButton(undoButton(), QStringLiteral("command 3"));
    QCOMPARE(shown.value(0), commandTexts(0, 9) + commandTexts(10, 11, QStringLiteral("More.../")));
    // The step is taken from the event loop, once the menu is done with the choice.
    QTRY_COMPARE(stack()->index(), 3);
}

void TestDeviceMapWindow::redoHistoryListsTheNextCommandFirst()
{
    openWindow();
    for (int i = 0; i < 15; ++i)
        stack()->push(command(i));
    stack()->setIndex(2);
    QVERIFY(redoButton()->isEnabled());
    const QList<QStringList> later = chooseFromButton(redoButton(), QStringLiteral("command 13"));
    QCOMPARE(later.value(0), commandTexts(2, 11) + commandTexts(12, 14, QStringLiteral("More.../")));
    QTRY_COMPARE(stack()->index(), 14);
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
}

void TestDeviceMapWindow::notActiveTurnsSignalTrackingOff()
{
    openWindow();
    QCOMPARE(activityButton()->text(), QStringLiteral("Not active"));
    const QList<QPair<QString, bool>> steps{{"Dashed line per emit", true},
                                            {"Not active", false},
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

    // Deactivating takes everything away; a new cell size then changes snapping only.
    activateGrid()->trigger();
    QVERIFY(gridSize()->isHidden());
    QVERIFY(!DeviceNodeItem::getGridOn());
    gridSize()->setValue(35);
    QCOMPARE(DeviceNodeItem::getGridCellSize(), 35);
    QVERIFY(!grid.isActive());
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

    QTest::keyClick(window, Qt::Key_F, Qt::ControlModifier);
    QVERIFY(!bar->isHidden());
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

    // Escape closes and restores the colours of before.
    QTest::keyClick(window, Qt::Key_Escape);
    QVERIFY(bar->isHidden());
    QCOMPARE(map()->getColorisationMode(), DeviceMapWidget::ByState);
    QCOMPARE(colorButton()->text(), QStringLiteral("By state"));
    QCOMPARE(counter->text(), QStringLiteral("0/0"));
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
    window->getSearchBar()->lineEdit()->setText(QStringLiteral("gen"));
    QCOMPARE(window->getSearchBar()->counterLabel()->text(), QStringLiteral("1/1"));

    // Only the new manager's exit() takes the new view.
    Q_EMIT manager->exit();
    QVERIFY(fresh);
    Q_EMIT second.exit();
    QVERIFY(!fresh);
}

void TestDeviceMapWindow::importHandsTheFrameworkOnlyFilesWithinBounds_data()
{
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<bool>("imported");
    QTest::newRow("meta device") << QByteArray("export:\n  slots:\n    reset(): pump.reset()\n\nconfig_version: 2\n"
                                               "pump:\n  type: generator\n")
                                 << true;
    QTest::newRow("binary") << QByteArray("pump:\n  type: \0x\n", 18) << false;
    QTest::newRow("a comma no node starts with") << QByteArray(",a: 1") << false;
}

void TestDeviceMapWindow::importHandsTheFrameworkOnlyFilesWithinBounds()
{
    QFETCH(QByteArray, text);
    QFETCH(bool, imported);
    const QString path = dir.filePath(QStringLiteral("import.yml"));
    QVERIFY(OutsideTextReaders::writeText(path, text));
    openWindow();
    manager->clearCallLog();
    ModalRunner::InputAnswerGuard choose(path);
    ZenticMessageBox::AnswerGuard answer(QMessageBox::Ok);

    menuBarAction(QStringLiteral("File/Import meta device"))->trigger();

    QCOMPARE(manager->callLog().contains(QStringLiteral("parseMetaDevice(%1,)").arg(path)), imported);
    QCOMPARE(answer.texts(), imported ? QStringList() : QStringList{QStringLiteral("Import meta device error")});
    QCOMPARE(manager->getDeviceTypes().contains(QStringLiteral("import")), imported);
}

void TestDeviceMapWindow::importTellsWhyAFileIsRefused_data()
{
    QTest::addColumn<QString>("type");
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<QString>("told");
    // A null text: a folder of that name.
    QTest::newRow("YAML, not a meta device") << "refused" << QByteArray("demo:\n  language: ru\n")
                                             << "is YAML, but not a meta device";
    QTest::newRow("a newer version") << "refused" << QByteArray("config_version: 3\npump:\n  type: generator\n")
                                     << "is YAML, but not a meta device";
    QTest::newRow("not YAML") << "refused" << QByteArray("pump: [\n") << "is not YAML text";
    QTest::newRow("binary") << "refused" << QByteArray("pump:\n  type: \0x\n", 18) << "could not be read";
    QTest::newRow("a folder") << "refused" << QByteArray() << "could not be read";
    QTest::newRow("named after a built-in type")
        << "scaler" << QByteArray("export:\n  parameters:\n    factor: s.factor\n\nconfig_version: 2\ns:\n  type: scaler\n")
        << "is named after the built-in device type \"scaler\"";
    QTest::newRow("named after a built-in type with a leading space")
        << " scaler" << QByteArray("export:\n  parameters:\n    factor: s.factor\n\nconfig_version: 2\ns:\n  type: scaler\n")
        << "is named after the built-in device type \"scaler\"";
    // Reading a saved graph's UTF-8 drops a leading byte order mark: the type would come back
    // as another.
    const QString notKept = QStringLiteral("has in its name a character that a saved graph does not keep");
    const QByteArray meta("export:\n  parameters:\n    factor: s.factor\n\nconfig_version: 2\ns:\n  type: scaler\n");
    QTest::newRow("a byte order mark before a built-in type's name")
        << QChar(0xFEFF) + QString("scaler") << meta << notKept;
    QTest::newRow("a byte order mark after white space") << QString(" ") + QChar(0xFEFF) + "pump" << meta << notKept;
}

void TestDeviceMapWindow::importTellsWhyAFileIsRefused()
{
    QFETCH(QString, type);
    QFETCH(QByteArray, text);
    QFETCH(QString, told);
    // Given a file the user chooses to import as a meta device
    QTemporaryDir files;
    const QString path = files.filePath(type + QStringLiteral(".yml"));
    QVERIFY(text.isNull() ? QDir().mkpath(path) : OutsideTextReaders::writeText(path, text));
    openWindow();
    const QString scaler = manager->createDevice(QStringLiteral("scaler"), false);
    QVERIFY(manager->setDeviceParam(scaler, QStringLiteral("factor"), QStringLiteral("5")));
    const QString graph = manager->toYamlString();
    ModalRunner::InputAnswerGuard choose(path);
    ZenticMessageBox::AnswerGuard answer(QMessageBox::Ok);

    // When the framework cannot take it
    menuBarAction(QStringLiteral("File/Import meta device"))->trigger();

    // Then one box names the file and says why, and the graph's devices stay as they were
    QCOMPARE(answer.texts(), QStringList{QStringLiteral("Import meta device error")});
    const QString box = answer.informativeTexts().first();
    QVERIFY2(box.contains(QDir::toNativeSeparators(path)) && box.contains(told), qPrintable(box));
    QCOMPARE(manager->toYamlString(), graph);
    if (type == QLatin1String("refused"))
        QVERIFY(!manager->getDeviceTypes().contains(type));
    else
        QVERIFY(!manager->getDeviceTypeInfo(type).categories.contains(QStringLiteral("meta")));
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
    QCOMPARE(wizard->savePageId(), 3 + 2);
    wizard->reject();
    QTRY_VERIFY(!wizard);
}

void TestDeviceMapWindow::dropDownButtonsOpenTheirMenusThroughTheMenuSeam_data()
{
    QTest::addColumn<QString>("button");
    QTest::addColumn<QString>("how");
    QTest::addColumn<QStringList>("entries");
    const QStringList clusters{"Cluster by GUI Area", "Cluster by IO"};
    const QStringList grid{"Activate grid mode", "Show grid"};
    const QStringList colours{"By thread", "By network", "By area", "By state"};
    for (const char* how : {"mouse", "click()", "animateClick()", "Space"}) {
        QTest::addRow("clusters, %s", how) << "Cluster" << QString(how) << clusters;
        QTest::addRow("grid, %s", how) << "Grid mode" << QString(how) << grid;
        QTest::addRow("colour mode, %s", how) << "colorModeButton" << QString(how) << colours;
    }
}

void TestDeviceMapWindow::dropDownButtonsOpenTheirMenusThroughTheMenuSeam()
{
    // Given the window's drop-down button, and a menu answer that records what it is shown
    QFETCH(QString, button);
    QFETCH(QString, how);
    QFETCH(QStringList, entries);
    openWindow();
    QAbstractButton* dropDown = toolBarButton(button);
    QVERIFY(dropDown);
    ModalRunner::MenuAnswerGuard dismiss(ModalRunner::Cancel);
    // A menu Qt opens by itself would run its own loop: it is closed, and counted as a failure.
    bool qtPopup = false;
    QTimer closer;
    connect(&closer, &QTimer::timeout, this, [&qtPopup] {
        if (QWidget* popup = QApplication::activePopupWidget()) {
            qtPopup = true;
            popup->close();
        }
    });
    closer.start(20);

    // When it is clicked, by the mouse, in code or with the keyboard
    if (how == "mouse") {
        QTest::mouseClick(dropDown, Qt::LeftButton);
    } else if (how == "click()") {
        dropDown->click();
    } else if (how == "animateClick()") {
        dropDown->animateClick(1);
        QTest::qWait(50);
    } else {
        dropDown->setFocus();
        QTest::keyClick(dropDown, Qt::Key_Space);
    }

    // Then its menu ran through the seam, once, and never through Qt's own popup
    QVERIFY(!qtPopup);
    QCOMPARE(dismiss.count(), 1);
    QCOMPARE(dismiss.menus().first(), entries);
    QVERIFY(!dropDown->isDown());
}

void TestDeviceMapWindow::controlsSpeakTheUsersLanguage()
{
    // Given a Russian user's window with more than ten edits done
    QVERIFY(LibraryTranslator::install(QLocale(QLocale::Russian, QLocale::Russia)));
    openWindow();
    for (int i = 0; i < 11; ++i)
        stack()->push(command(i));

    // Then what its controls say is Russian, the texts that used to stay English among them
    QCOMPARE(window->getSearchBar()->lineEdit()->placeholderText(), QString::fromUtf8("Найти устройство..."));
    QCOMPARE(undoButton()->toolTip(), QString::fromUtf8("Отменить"));
    QCOMPARE(redoButton()->toolTip(), QString::fromUtf8("Повторить"));
    QCOMPARE(window->findChild<QToolBar*>()->windowTitle(), QString::fromUtf8("Настройки"));
    QCOMPARE(activityButton()->menu()->title(), QString::fromUtf8("Режим активности соединений"));
    const QList<QStringList> history = chooseFromButton(undoButton(), QString());
    QCOMPARE(history.value(0).last(), QString::fromUtf8("Ещё.../command 10"));
}

void TestDeviceMapWindow::undoAndRedoKeysShowInTheEditMenuAndActOnce_data()
{
    QTest::addColumn<QString>("entry");
    QTest::addColumn<int>("key");
    QTest::addColumn<bool>("menuBarShown");
    QTest::addColumn<int>("indexAfter");
    // Three commands done, the last one undone: index 2.
    QTest::newRow("Ctrl+Z") << "Undo" << int(Qt::Key_Z) << true << 1;
    QTest::newRow("Ctrl+Y") << "Redo" << int(Qt::Key_Y) << true << 3;
    QTest::newRow("Ctrl+Z, menu bar hidden") << "Undo" << int(Qt::Key_Z) << false << 1;
    QTest::newRow("Ctrl+Y, menu bar hidden") << "Redo" << int(Qt::Key_Y) << false << 3;
}

void TestDeviceMapWindow::undoAndRedoKeysShowInTheEditMenuAndActOnce()
{
    // Given an active window with one command to undo or redo each way
    QFETCH(QString, entry);
    QFETCH(int, key);
    QFETCH(bool, menuBarShown);
    QFETCH(int, indexAfter);
    openWindow();
    QApplication::setActiveWindow(window);
    QVERIFY(QTest::qWaitForWindowActive(window));
    for (int i = 0; i < 3; ++i)
        stack()->push(command(i));
    stack()->setIndex(2);
    window->menuBar()->setVisible(menuBarShown);

    // Then the "Edit" menu shows the entry's key
    const QKeySequence keys(Qt::CTRL + key);
    QAction* edit = menuBarAction("Edit/" + entry);
    QVERIFY(edit);
    QCOMPARE(edit->shortcut(), keys);

    // And the key undoes or redoes one command
    QTest::keyClick(window, Qt::Key(key), Qt::ControlModifier);
    QTRY_COMPARE(stack()->index(), indexAfter);
}

void TestDeviceMapWindow::altTogglesTheMenuBarOnlyWhenPressedAlone_data()
{
    // Steps, in order, on the map (which leaves Alt to the window): "alt" presses Alt, "ctrl+alt"
    // presses it with Ctrl held, "up" releases it; "wheel", "click" and "key" happen while it is held.
    QTest::addColumn<QStringList>("steps");
    QTest::addColumn<bool>("menuBarShown");
    QTest::newRow("Alt alone") << QStringList{"alt", "up"} << false;
    QTest::newRow("Alt alone, twice") << QStringList{"alt", "up", "alt", "up"} << true;
    QTest::newRow("Alt + wheel") << QStringList{"alt", "wheel", "up"} << true;
    QTest::newRow("Alt + click") << QStringList{"alt", "click", "up"} << true;
    QTest::newRow("Alt + another key") << QStringList{"alt", "key", "up"} << true;
    QTest::newRow("Ctrl + Alt") << QStringList{"ctrl+alt", "up"} << true;
    QTest::newRow("Alt + wheel, then Alt alone") << QStringList{"alt", "wheel", "up", "alt", "up"} << false;
}

void TestDeviceMapWindow::altTogglesTheMenuBarOnlyWhenPressedAlone()
{
    QFETCH(QStringList, steps);
    QFETCH(bool, menuBarShown);
    openWindow();
    QVERIFY(!window->menuBar()->isHidden());
    QWidget* viewport = map()->viewport();
    const QPoint empty(5, 5);

    for (const QString& step : steps) {
        if (step == "alt") {
            QTest::keyPress(map(), Qt::Key_Alt, Qt::AltModifier);
        } else if (step == "ctrl+alt") {
            QTest::keyPress(map(), Qt::Key_Alt, Qt::AltModifier | Qt::ControlModifier);
        } else if (step == "up") {
            QTest::keyRelease(map(), Qt::Key_Alt, Qt::NoModifier);
        } else if (step == "wheel") {
            QWheelEvent wheel(QPointF(empty), QPointF(viewport->mapToGlobal(empty)), QPoint(), QPoint(0, -120),
                              Qt::NoButton, Qt::AltModifier, Qt::NoScrollPhase, false);
            QApplication::sendEvent(viewport, &wheel);
        } else if (step == "click") {
            QTest::mouseClick(viewport, Qt::LeftButton, Qt::AltModifier, empty);
        } else if (step == "key") {
            // Sent as such: QTest would press and release Alt around it.
            QKeyEvent press(QEvent::KeyPress, Qt::Key_X, Qt::AltModifier, QStringLiteral("x"));
            QKeyEvent release(QEvent::KeyRelease, Qt::Key_X, Qt::AltModifier, QStringLiteral("x"));
            QApplication::sendEvent(map(), &press);
            QApplication::sendEvent(map(), &release);
        }
    }

    QCOMPARE(!window->menuBar()->isHidden(), menuBarShown);
}

QTEST_MAIN(TestDeviceMapWindow)
#include "tst_DeviceMapWindow.moc"
