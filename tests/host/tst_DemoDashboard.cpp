#include "BaseGuiDevice.h"
#include "DashboardWindow.h"
#include "DemoGuiDevices.h"
#include "DeviceManager.h"
#include "ZenticMessageBox.h"

#include <QDir>
#include <QTemporaryDir>
#include <QToolBar>
#include <QToolButton>
#include <QtTest>

#include <memory>

// The demo's dashboard over its sample graph, as a user edits it and quits and starts again.
class tst_DemoDashboard : public QObject
{
    Q_OBJECT

    QTemporaryDir dir;
    std::unique_ptr<DeviceManager> manager;
    std::unique_ptr<DashboardWindow> window;

    QString savedGraph() const { return dir.filePath(QStringLiteral("demo-graph.yaml")); }
    QString widgetsFile() const { return dir.filePath(QStringLiteral("dashboard.ini")); }

    /// Starts as the demo does: the graph saved last time, else the sample; saves go to the saved copy.
    bool start()
    {
        manager = std::make_unique<DeviceManager>();
        registerDemoGuiDeviceTypes(manager.get());
        const QString graph = QFile::exists(savedGraph()) ? savedGraph() : QStringLiteral(DEMO_DATA_DIR "/demo-graph.yaml");
        if (!manager->loadYamlConfig(graph))
            return false;
        manager->setConfigPath(savedGraph());
        window = std::make_unique<DashboardWindow>(manager.get(), widgetsFile());
        window->show();
        return QTest::qWaitForWindowExposed(window.get());
    }
    void quit()
    {
        window.reset();
        manager.reset();
    }

    QToolButton* toolButton(const QString& text) const
    {
        const QToolBar* bar = window->findChild<QToolBar*>();
        for (QAction* action : bar->actions()) {
            if (action->text() == text)
                return qobject_cast<QToolButton*>(bar->widgetForAction(action));
        }
        return nullptr;
    }
    QToolButton* shownButton(const QString& name) const
    {
        for (QToolButton* button : window->findChildren<QToolButton*>(name)) {
            if (button->isVisible())
                return button;
        }
        return nullptr;
    }
    WidgetPosition placeOf(const QString& device) const
    {
        auto gui = dynamic_cast<BaseGuiDevice*>(manager->getDevice(device));
        return gui ? gui->getPosition() : WidgetPosition(-9, -9);
    }

private Q_SLOTS:
    void init() { QVERIFY(dir.isValid()); }
    void cleanup()
    {
        quit();
        QFile::remove(savedGraph());
        QFile::remove(widgetsFile());
        // (where a test put a folder in a file's place to stop its writing)
        QDir(savedGraph()).removeRecursively();
        QDir(widgetsFile()).removeRecursively();
    }

    void swapIsThereAtTheNextStart_data()
    {
        QTest::addColumn<bool>("leaveEditModeFirst");
        QTest::newRow("edit mode left, then quit") << true;
        QTest::newRow("quit while editing") << false;
    }

    void swapIsThereAtTheNextStart()
    {
        QFETCH(bool, leaveEditModeFirst);
        // Given the sample dashboard, the wave display left of the level display
        QVERIFY(start());
        QCOMPARE(placeOf("waveDisplay1"), WidgetPosition(0, 0));

        // When the user presses Edit, swaps the two, maybe presses Edit again, and quits
        QTest::mouseClick(toolButton("Edit"), Qt::LeftButton);
        // (named from the level display's cell, which comes first in the grid by device name)
        QTRY_VERIFY(shownButton("swap:0,1:0,0"));
        QTest::mouseClick(shownButton("swap:0,1:0,0"), Qt::LeftButton);
        if (leaveEditModeFirst) {
            QTest::mouseClick(toolButton("Edit"), Qt::LeftButton);
            QVERIFY(!shownButton("swap:0,0:0,1") && !shownButton("swap:0,1:0,0"));
        }
        quit();

        // Then the next start shows them swapped, without Save ever pressed
        QVERIFY(start());
        QCOMPARE(placeOf("waveDisplay1"), WidgetPosition(0, 1));
        QCOMPARE(placeOf("levelDisplay1"), WidgetPosition(0, 0));
        QCOMPARE(placeOf("alarmLamp1"), WidgetPosition(0, 2));
    }

    void aFailedSaveNamesTheFile_data()
    {
        QTest::addColumn<bool>("graphBlocked");
        QTest::addColumn<bool>("byEdit");
        QTest::newRow("graph, Save pressed") << true << false;
        QTest::newRow("widgets' file, Save pressed") << false << false;
        QTest::newRow("graph, an edit") << true << true;
        QTest::newRow("widgets' file, an edit") << false << true;
    }

    void aFailedSaveNamesTheFile()
    {
        QFETCH(bool, graphBlocked);
        QFETCH(bool, byEdit);
        // Given the dashboard, one of its files blocked by a folder in its place
        QVERIFY(start());
        const QString blocked = graphBlocked ? savedGraph() : widgetsFile();
        QVERIFY(QDir().mkpath(blocked));
        ZenticMessageBox::AnswerGuard ok(QMessageBox::Ok);

        // When the user saves, or edits the grid, which saves too
        if (byEdit) {
            QTest::mouseClick(toolButton("Edit"), Qt::LeftButton);
            QTRY_VERIFY(shownButton("swap:0,1:0,0"));
            QTest::mouseClick(shownButton("swap:0,1:0,0"), Qt::LeftButton);
        } else {
            QTest::mouseClick(toolButton("Save"), Qt::LeftButton);
        }

        // Then one box says so, naming that file (an edit's once its click is over)
        QTRY_COMPARE(ok.texts(), QStringList{QStringLiteral("The dashboard could not be saved.")});
        QVERIFY2(ok.informativeTexts().first().startsWith(QDir::toNativeSeparators(blocked)),
                 qPrintable(ok.informativeTexts().first()));
    }

    void saveButtonWritesGraphAndWidgets()
    {
        QVERIFY(start());
        QTest::mouseClick(toolButton("Save"), Qt::LeftButton);
        QVERIFY(QFile::exists(savedGraph()));
        QVERIFY(QFile::exists(widgetsFile()));
    }
};

QTEST_MAIN(tst_DemoDashboard)
#include "tst_DemoDashboard.moc"
