#include "ConnectivityMonitor.h"
#include "ExternalWirelessNetworkWidget.h"
#include "Singleton.h"
#include "WirelessNetworkManager.h"
#include "WirelessNetworkWidget.h"
#include "YamlConfig.h"

#include <QIcon>
#include <QLabel>
#include <QPushButton>
#include <QThread>
#include <QtTest>

using States = ExternalWirelessNetworkWidget::NetworkStates;

namespace {

// The manager's own answers never arrive: the state table plays them by hand.
const int silentLatency = 3600 * 1000;
const int holdInterval = 100;

NetworkInformation network(const QString& ssid, bool isOpen = false)
{
    NetworkInformation info;
    info.ssid = ssid;
    info.isOpen = isOpen;
    return info;
}

WirelessNetworkManager* manager()
{
    return Singleton<WirelessNetworkManager>::instance();
}

void connectGuest()
{
    QMetaObject::invokeMethod(manager(), "connectNetwork", Q_ARG(NetworkInformation, network("Guest", true)));
}

} // namespace

class TestExternalWirelessNetworkWidget : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void init();
    void cleanup();
    void movesTheManagerToOneWorkerThread();
    void stateTable_data();
    void stateTable();
    void pausesDuringAConnectionAndResumesWithOneRequestPerChain();
    void cancelledConnectionDoesNotLeaveItPaused();
    void hiddenAndShownAgainFollowsTheManagerAgain();
    void popupIsMadeOnceAndReused();
    void chainsArePacedAgainstAnInstantManager();

private:
    /// A widget on a manager that answers after latency ms; a negative pause keeps the default.
    ExternalWirelessNetworkWidget* makeWidget(int latency, int pause = 10);

    QThread* guiThread = nullptr;
    QList<ExternalWirelessNetworkWidget*> widgets;
};

void TestExternalWirelessNetworkWidget::initTestCase()
{
    guiThread = QThread::currentThread();
    Singleton<YamlConfig>::instance()->setParam("probeHost", "127.0.0.1", "wireless", false);
    QCOMPARE(ConnectivityMonitor::probeHost(), QStringLiteral("127.0.0.1"));
}

void TestExternalWirelessNetworkWidget::init()
{
    manager()->simulateModuleState(WirelessNetworkManager::ModuleOn);
    manager()->simulateNetworks({network("Workshop"), network("Guest", true)}, {});
    manager()->simulateInstantAnswers(false);
}

void TestExternalWirelessNetworkWidget::cleanup()
{
    qDeleteAll(widgets);
    widgets.clear();
    // Answers still under way arrive nowhere before the next test counts requests.
    manager()->simulateLatency(0);
    QTest::qWait(50);
    manager()->resetRequestCounts();
}

ExternalWirelessNetworkWidget* TestExternalWirelessNetworkWidget::makeWidget(int latency, int pause)
{
    manager()->simulateLatency(latency);
    auto widget = new ExternalWirelessNetworkWidget;
    if (pause >= 0)
        widget->setPollPause(pause);
    widget->setHoldInterval(holdInterval);
    widgets << widget;
    return widget;
}

void TestExternalWirelessNetworkWidget::movesTheManagerToOneWorkerThread()
{
    QCOMPARE(manager()->thread(), guiThread);

    makeWidget(silentLatency);
    QThread* worker = manager()->thread();
    makeWidget(silentLatency);

    QVERIFY(worker != guiThread);
    QVERIFY(worker->isRunning());
    QCOMPARE(manager()->thread(), worker);
}

void TestExternalWirelessNetworkWidget::stateTable_data()
{
    // Events: "net <name>" and "inet 0|1" are the manager's answers, "off" / "on" switch the
    // module, "hold" waits out the hold after an internet answer.
    QTest::addColumn<QStringList>("events");
    QTest::addColumn<int>("state");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("dot");
    QTest::newRow("module off") << QStringList{"off", "net Lab"} << int(States::WifiDisabled) << "Wi-Fi is disabled"
                                << "grayCircle";
    QTest::newRow("disconnected") << QStringList{"net"} << int(States::Disconnected) << "Disconnected" << "redCircle";
    QTest::newRow("connected, internet unknown")
        << QStringList{"net Lab"} << int(States::InternetCheckPending) << "Connected, without internet" << "yellowCircle";
    QTest::newRow("with internet") << QStringList{"net Lab", "inet 1"} << int(States::ConnectedWithInternet)
                                   << "Connected, with internet" << "greenCircle";
    QTest::newRow("without internet") << QStringList{"net Lab", "inet 0"} << int(States::ConnectedWithoutInternet)
                                      << "Connected, without internet" << "yellowCircle";
    QTest::newRow("hold drops answers") << QStringList{"net Lab", "inet 1", "inet 0"}
                                        << int(States::ConnectedWithInternet) << "Connected, with internet"
                                        << "greenCircle";
    QTest::newRow("answer after the hold") << QStringList{"net Lab", "inet 1", "hold", "inet 0"}
                                           << int(States::ConnectedWithoutInternet) << "Connected, without internet"
                                           << "yellowCircle";
    QTest::newRow("disconnected ignores internet") << QStringList{"net", "inet 1"} << int(States::Disconnected)
                                                   << "Disconnected" << "redCircle";
    QTest::newRow("module off ignores internet") << QStringList{"net Lab", "inet 1", "off", "net Lab", "hold", "inet 1"}
                                                 << int(States::WifiDisabled) << "Wi-Fi is disabled" << "grayCircle";
    // Switched off and on while the same network stayed current.
    QTest::newRow("module back on, same network") << QStringList{"net Lab", "off", "net Lab", "on", "net Lab"}
                                                  << int(States::InternetCheckPending) << "Connected, without internet"
                                                  << "yellowCircle";
}

void TestExternalWirelessNetworkWidget::stateTable()
{
    QFETCH(QStringList, events);
    QFETCH(int, state);
    QFETCH(QString, text);
    QFETCH(QString, dot);
    ExternalWirelessNetworkWidget* widget = makeWidget(silentLatency);
    auto statusLabel = widget->findChild<QLabel*>("statusLabel");
    QCOMPARE(statusLabel->text(), QString()); // nothing shown before the first answer

    for (const QString& event : events) {
        const QString argument = event.section(' ', 1);
        if (event.startsWith("net"))
            widget->updateNetworkStatus(network(argument));
        else if (event.startsWith("inet"))
            widget->updateInternetAccess(argument == "1");
        else if (event == "hold")
            QTest::qWait(holdInterval + 50);
        else
            manager()->changeStateModule(event == "on");
    }

    QCOMPARE(int(widget->networkState()), state);
    QCOMPARE(statusLabel->text(), text);
    QCOMPARE(widget->findChild<QLabel*>("iconLabel")->pixmap(Qt::ReturnByValue).toImage(),
             QIcon(":/icons/dozerozozu_" + dot).pixmap(80, 80).toImage());
    QCOMPARE(widget->findChild<QPushButton*>("networkButton")->text(),
             QString(state == States::WifiDisabled ? "Wi-Fi settings" : "Choose network..."));
}

void TestExternalWirelessNetworkWidget::pausesDuringAConnectionAndResumesWithOneRequestPerChain()
{
    // Given a widget whose chains wait a second after each answer, and its popup
    ExternalWirelessNetworkWidget* widget = makeWidget(20, 1000);
    QList<QThread*> resumedOn;
    connect(widget, &ExternalWirelessNetworkWidget::updatingChanged, this,
            [&resumedOn](bool updating) {
                if (updating)
                    resumedOn << QThread::currentThread();
            },
            Qt::DirectConnection);
    widget->findChild<QPushButton*>("networkButton")->click();

    // When the popup starts a connection, nothing more is asked or shown
    QVERIFY(QMetaObject::invokeMethod(widget->popupWidget(), "connectionStarted"));
    QVERIFY(!widget->isUpdating());
    QTest::qWait(100);
    manager()->resetRequestCounts();
    widget->updateNetworkStatus(network("Lab"));
    QTest::qWait(100);
    QCOMPARE(manager()->requestCount("currentNetwork"), 0);
    QCOMPARE(manager()->requestCount("checkInternetAccess"), 0);
    QCOMPARE(widget->findChild<QLabel*>("statusLabel")->text(), QString());

    // Then the manager's answer to a connection resumes each chain with one request, on this thread
    connectGuest();
    QTRY_VERIFY(widget->isUpdating());
    QTest::qWait(300);
    QCOMPARE(manager()->requestCount("currentNetwork"), 1);
    QCOMPARE(manager()->requestCount("checkInternetAccess"), 1);
    QCOMPARE(widget->networkState(), States::ConnectedWithInternet);
    QCOMPARE(resumedOn, QList<QThread*>{guiThread});
}

void TestExternalWirelessNetworkWidget::cancelledConnectionDoesNotLeaveItPaused()
{
    ExternalWirelessNetworkWidget* widget = makeWidget(silentLatency);
    widget->findChild<QPushButton*>("networkButton")->click();

    // Connect with no row chosen: the attempt ends at once, without a request to answer.
    QVERIFY(QMetaObject::invokeMethod(widget->popupWidget(), "connectNetwork"));

    QVERIFY(widget->isUpdating());
}

void TestExternalWirelessNetworkWidget::hiddenAndShownAgainFollowsTheManagerAgain()
{
    ExternalWirelessNetworkWidget* widget = makeWidget(5);
    widget->show();
    QTRY_COMPARE(widget->networkState(), States::Disconnected);

    widget->hide();
    connectGuest();
    QTest::qWait(150);
    QVERIFY(!widget->isUpdating());
    QCOMPARE(widget->networkState(), States::Disconnected);

    widget->show();
    QTRY_COMPARE(widget->networkState(), States::ConnectedWithInternet);
}

void TestExternalWirelessNetworkWidget::popupIsMadeOnceAndReused()
{
    ExternalWirelessNetworkWidget* widget = makeWidget(silentLatency);
    auto button = widget->findChild<QPushButton*>("networkButton");
    QVERIFY(!widget->popupWidget());

    button->click();
    QPointer<WirelessNetworkWidget> popup = widget->popupWidget();
    QVERIFY(popup && popup->isVisible() && !popup->parentWidget());
    popup->hide();
    button->click();
    QVERIFY(popup->isVisible());
    popup->setWindowState(Qt::WindowMinimized);
    button->click();
    QVERIFY(!(popup->windowState() & Qt::WindowMinimized));
    QCOMPARE(widget->popupWidget(), popup.data());

    // The popup goes with its widget instead of scanning on for ever.
    widgets.removeOne(widget);
    delete widget;
    QVERIFY(!popup);
}

void TestExternalWirelessNetworkWidget::chainsArePacedAgainstAnInstantManager()
{
    // Given a manager that answers inside each request, and two widgets polling it
    manager()->simulateInstantAnswers(true);
    makeWidget(0, -1);
    makeWidget(0, -1);
    manager()->resetRequestCounts();

    QTest::qWait(1000);

    // Each chain of each widget asked about once per 200 ms, not once per answer
    for (const char* method : {"currentNetwork", "checkInternetAccess"}) {
        const int requests = manager()->requestCount(method);
        QVERIFY2(requests >= 2 && requests <= 2 * 6, qPrintable(QString::number(requests)));
    }
}

QTEST_MAIN(TestExternalWirelessNetworkWidget)
#include "tst_ExternalWirelessNetworkWidget.moc"
