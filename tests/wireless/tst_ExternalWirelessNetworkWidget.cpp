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

namespace {

// Long enough that the manager's own answers never arrive during a test that drives the widget by hand.
const int silentLatency = 3600 * 1000;
const int holdInterval = 100;

using States = ExternalWirelessNetworkWidget::NetworkStates;

NetworkInformation network(const QString& ssid, bool isOpen = false)
{
    NetworkInformation info;
    info.ssid = ssid;
    info.signal = 70;
    info.isOpen = isOpen;
    return info;
}

WirelessNetworkManager* manager()
{
    return Singleton<WirelessNetworkManager>::instance();
}

QImage dot(const QString& name)
{
    return QIcon(QStringLiteral(":/icons/dozerozozu_") + name).pixmap(80, 80).toImage();
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
    void followsTheSimulatedManager();
    void pausesDuringAConnectionAndResumesWithOneRequestPerChain();
    void cancelledConnectionDoesNotLeaveItPaused();
    void hiddenAndShownAgainFollowsTheManagerAgain();
    void popupIsMadeOnceAndReused();
    void chainsArePacedAgainstAnInstantManager();

private:
    /// A widget on a manager that answers after latency ms; a negative pause keeps the default.
    ExternalWirelessNetworkWidget* makeWidget(int latency, int pause = 10);
    void apply(ExternalWirelessNetworkWidget& widget, const QString& event);
    static QString statusText(ExternalWirelessNetworkWidget& widget);

    QThread* guiThread = nullptr;
    QList<ExternalWirelessNetworkWidget*> widgets;
};

void TestExternalWirelessNetworkWidget::initTestCase()
{
    guiThread = QThread::currentThread();
    Singleton<YamlConfig>::instance()->setParam(QStringLiteral("probeHost"), QStringLiteral("127.0.0.1"),
                                                QStringLiteral("wireless"), false);
    QCOMPARE(ConnectivityMonitor::probeHost(), QStringLiteral("127.0.0.1"));
}

void TestExternalWirelessNetworkWidget::init()
{
    manager()->simulateModuleState(WirelessNetworkManager::ModuleOn);
    manager()->simulateNetworks({network("Workshop"), network("Guest", true)}, {{"Workshop", "orbodev123"}});
    manager()->simulateInternet(true);
    manager()->simulateInstantAnswers(false);
}

void TestExternalWirelessNetworkWidget::cleanup()
{
    qDeleteAll(widgets);
    widgets.clear();
    // Let answers still under way arrive nowhere before the next test counts requests.
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

void TestExternalWirelessNetworkWidget::apply(ExternalWirelessNetworkWidget& widget, const QString& event)
{
    const QString argument = event.section(':', 1);
    if (event.startsWith("net:")) {
        widget.updateNetworkStatus(network(argument));
    } else if (event.startsWith("inet:")) {
        widget.updateInternetAccess(argument == "1");
    } else if (event == "module:off") {
        manager()->changeStateModule(false);
    } else if (event == "module:on") {
        manager()->changeStateModule(true);
    } else if (event == "hold passes") {
        QTest::qWait(holdInterval + 50);
    } else {
        QFAIL(qPrintable("unknown event " + event));
    }
}

QString TestExternalWirelessNetworkWidget::statusText(ExternalWirelessNetworkWidget& widget)
{
    return widget.findChild<QLabel*>("statusLabel")->text();
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
    QTest::addColumn<QStringList>("events");
    QTest::addColumn<int>("state");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("icon");
    QTest::addColumn<QString>("buttonText");
    const QString disabled = "Wi-Fi is disabled";
    const QString without = "Connected, without internet";
    const QString with = "Connected, with internet";
    const QString choose = "Choose network...";
    QTest::newRow("module off") << QStringList{"module:off", "net:Lab"} << int(States::WifiDisabled) << disabled
                                << "grayCircle" << "Wi-Fi settings";
    QTest::newRow("disconnected") << QStringList{"net:"} << int(States::Disconnected) << "Disconnected"
                                  << "redCircle" << choose;
    QTest::newRow("connected, internet unknown")
        << QStringList{"net:Lab"} << int(States::InternetCheckPending) << without << "yellowCircle" << choose;
    QTest::newRow("with internet") << QStringList{"net:Lab", "inet:1"} << int(States::ConnectedWithInternet) << with
                                   << "greenCircle" << choose;
    QTest::newRow("without internet") << QStringList{"net:Lab", "inet:0"} << int(States::ConnectedWithoutInternet)
                                      << without << "yellowCircle" << choose;
    QTest::newRow("hold drops answers") << QStringList{"net:Lab", "inet:1", "inet:0"}
                                        << int(States::ConnectedWithInternet) << with << "greenCircle" << choose;
    QTest::newRow("answer after the hold") << QStringList{"net:Lab", "inet:1", "hold passes", "inet:0"}
                                           << int(States::ConnectedWithoutInternet) << without << "yellowCircle"
                                           << choose;
    QTest::newRow("same network again") << QStringList{"net:Lab", "inet:1", "net:Lab"}
                                        << int(States::ConnectedWithInternet) << with << "greenCircle" << choose;
    QTest::newRow("disconnected ignores internet") << QStringList{"net:", "inet:1"} << int(States::Disconnected)
                                                   << "Disconnected" << "redCircle" << choose;
    QTest::newRow("module off ignores internet") << QStringList{"module:off", "net:Lab", "inet:1"}
                                                 << int(States::WifiDisabled) << disabled << "grayCircle"
                                                 << "Wi-Fi settings";
    QTest::newRow("module off wins") << QStringList{"net:Lab", "inet:1", "module:off", "net:Lab"}
                                     << int(States::WifiDisabled) << disabled << "grayCircle" << "Wi-Fi settings";
    // Switched off and on while the same network stayed current.
    QTest::newRow("module back on, same network")
        << QStringList{"net:Lab", "inet:1", "hold passes", "module:off", "net:Lab", "module:on", "net:Lab"}
        << int(States::InternetCheckPending) << without << "yellowCircle" << choose;
    QTest::newRow("module back on, then internet")
        << QStringList{"net:Lab", "module:off", "net:Lab", "module:on", "net:Lab", "hold passes", "inet:1"}
        << int(States::ConnectedWithInternet) << with << "greenCircle" << choose;
}

void TestExternalWirelessNetworkWidget::stateTable()
{
    QFETCH(QStringList, events);
    QFETCH(int, state);
    QFETCH(QString, text);
    QFETCH(QString, icon);
    QFETCH(QString, buttonText);
    ExternalWirelessNetworkWidget* widget = makeWidget(silentLatency);
    QCOMPARE(statusText(*widget), QString()); // nothing shown before the first answer

    for (const QString& event : events)
        apply(*widget, event);

    QCOMPARE(int(widget->networkState()), state);
    QCOMPARE(statusText(*widget), text);
    QCOMPARE(widget->findChild<QLabel*>("iconLabel")->pixmap(Qt::ReturnByValue).toImage(), dot(icon));
    QCOMPARE(widget->findChild<QPushButton*>("networkButton")->text(), buttonText);
}

void TestExternalWirelessNetworkWidget::followsTheSimulatedManager()
{
    ExternalWirelessNetworkWidget* widget = makeWidget(5);
    QTRY_COMPARE(widget->networkState(), States::Disconnected);

    QMetaObject::invokeMethod(manager(), "connectNetwork", Q_ARG(NetworkInformation, network("Guest", true)));

    QTRY_COMPARE(widget->networkState(), States::ConnectedWithInternet);
    manager()->simulateInternet(false);
    QTRY_COMPARE(widget->networkState(), States::ConnectedWithoutInternet);
    manager()->changeStateModule(false);
    QTRY_COMPARE(widget->networkState(), States::WifiDisabled);
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
    WirelessNetworkWidget* popup = widget->popupWidget();
    QVERIFY(popup);

    // When the popup starts a connection, nothing more is asked
    QVERIFY(QMetaObject::invokeMethod(popup, "connectionStarted"));
    QVERIFY(!widget->isUpdating());
    QTest::qWait(100);
    manager()->resetRequestCounts();
    widget->updateNetworkStatus(network("Lab"));
    widget->updateInternetAccess(true);
    QTest::qWait(100);
    QCOMPARE(manager()->requestCount("currentNetwork"), 0);
    QCOMPARE(manager()->requestCount("checkInternetAccess"), 0);
    QCOMPARE(statusText(*widget), QString());

    // Then the manager's answer to a connection resumes each chain with one request
    QMetaObject::invokeMethod(manager(), "connectNetwork", Q_ARG(NetworkInformation, network("Guest", true)));
    QTRY_VERIFY(widget->isUpdating());
    QTest::qWait(300);
    QCOMPARE(manager()->requestCount("currentNetwork"), 1);
    QCOMPARE(manager()->requestCount("checkInternetAccess"), 1);
    QCOMPARE(widget->networkState(), States::ConnectedWithInternet);
    // The resume ran on this thread, not on the manager's.
    QCOMPARE(resumedOn, QList<QThread*>{guiThread});
}

void TestExternalWirelessNetworkWidget::cancelledConnectionDoesNotLeaveItPaused()
{
    ExternalWirelessNetworkWidget* widget = makeWidget(silentLatency);
    widget->findChild<QPushButton*>("networkButton")->click();
    WirelessNetworkWidget* popup = widget->popupWidget();

    // Connect with no row chosen: the attempt ends at once, without a request.
    QVERIFY(QMetaObject::invokeMethod(popup, "connectNetwork"));

    QVERIFY(widget->isUpdating());
    widget->updateNetworkStatus(network(""));
    QCOMPARE(widget->networkState(), States::Disconnected);
}

void TestExternalWirelessNetworkWidget::hiddenAndShownAgainFollowsTheManagerAgain()
{
    // Given a shown widget that follows the manager
    ExternalWirelessNetworkWidget* widget = makeWidget(5);
    widget->show();
    QTRY_COMPARE(widget->networkState(), States::Disconnected);

    // When it is hidden, it no longer asks or listens
    widget->hide();
    QVERIFY(!widget->isUpdating());
    QMetaObject::invokeMethod(manager(), "connectNetwork", Q_ARG(NetworkInformation, network("Guest", true)));
    QTest::qWait(150);
    QCOMPARE(widget->networkState(), States::Disconnected);

    // And shown again, it follows again
    widget->show();
    QVERIFY(widget->isUpdating());
    QTRY_COMPARE(widget->networkState(), States::ConnectedWithInternet);
}

void TestExternalWirelessNetworkWidget::popupIsMadeOnceAndReused()
{
    ExternalWirelessNetworkWidget* widget = makeWidget(silentLatency);
    auto button = widget->findChild<QPushButton*>("networkButton");
    QVERIFY(!widget->popupWidget());

    button->click();
    QPointer<WirelessNetworkWidget> popup = widget->popupWidget();
    QVERIFY(popup && popup->isVisible());
    QVERIFY(!popup->parentWidget());

    popup->hide();
    button->click();
    QCOMPARE(widget->popupWidget(), popup.data());
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

    // When they poll for a second
    QTest::qWait(1000);

    // Then each chain of each widget asked about once per 200 ms, not once per answer
    QVERIFY2(manager()->requestCount("currentNetwork") <= 2 * 6,
             qPrintable(QString::number(manager()->requestCount("currentNetwork"))));
    QVERIFY2(manager()->requestCount("checkInternetAccess") <= 2 * 6,
             qPrintable(QString::number(manager()->requestCount("checkInternetAccess"))));
    QVERIFY(manager()->requestCount("currentNetwork") >= 2);
}

QTEST_MAIN(TestExternalWirelessNetworkWidget)
#include "tst_ExternalWirelessNetworkWidget.moc"
