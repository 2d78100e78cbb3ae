#include "WirelessNetworkManager.h"

#include <QSignalSpy>
#include <QThread>
#include <QtTest>

namespace {

NetworkInformation network(const QString& ssid, bool isOpen)
{
    NetworkInformation info;
    info.ssid = ssid;
    info.signal = 50;
    info.isOpen = isOpen;
    return info;
}

} // namespace

class TestWirelessNetworkManager : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init();
    void cleanup();
    void signaturesAreExact();
    void scanAnswersQueuedAcrossThreads();
    void connectAnswers_data();
    void connectAnswers();
    void savedNetworkJoinsWithoutPasswordUntilForgotten();
    void moduleStatesShowInChecksAndScans();
    void internetAccessFollowsConnection();
    void directLookAtCurrentNetworkSendsNoReport();
    void instantAnswersComeInsideTheCallAndRequestsAreCounted();

private:
    WirelessNetworkManager* manager = nullptr;
    QThread* thread = nullptr;
};

void TestWirelessNetworkManager::init()
{
    manager = new WirelessNetworkManager;
    manager->simulateLatency(10);
    manager->simulateNetworks({network("Lab", false), network("Open", true)}, {{"Lab", "secret"}});
    thread = new QThread;
    manager->moveToThread(thread);
    connect(thread, &QThread::finished, manager, &QObject::deleteLater);
    thread->start();
}

void TestWirelessNetworkManager::cleanup()
{
    thread->quit();
    thread->wait();
    delete thread;
}

void TestWirelessNetworkManager::signaturesAreExact()
{
    const QMetaObject* meta = manager->metaObject();
    for (const char* signal : {"scanComplete(WirelessNetworksInfo)", "connectComplete(WirelessNetworkManager::NetworkStatus)",
                               "currentNetwork(NetworkInformation)", "internetAccess(bool)"})
        QVERIFY2(meta->indexOfSignal(signal) >= 0, signal);
    for (const char* method : {"scanNetwork()", "connectNetwork(NetworkInformation)", "currentNetwork()",
                               "checkInternetAccess()"})
        QVERIFY2(meta->indexOfMethod(method) >= 0, method);
    for (const char* type : {"NetworkInformation", "WirelessNetworksInfo", "WirelessNetworkManager::NetworkStatus"})
        QVERIFY2(QMetaType::type(type) != QMetaType::UnknownType, type);
}

void TestWirelessNetworkManager::scanAnswersQueuedAcrossThreads()
{
    QSignalSpy scanned(manager, SIGNAL(scanComplete(WirelessNetworksInfo)));

    QVERIFY(QMetaObject::invokeMethod(manager, "scanNetwork", Qt::QueuedConnection));

    QTRY_COMPARE(scanned.count(), 1);
    const auto networks = scanned.at(0).at(0).value<WirelessNetworksInfo>();
    QCOMPARE(networks.size(), 2);
    QCOMPARE(networks.at(0).ssid, QString("Lab"));
    QVERIFY(networks.at(0).password.isEmpty());
}

void TestWirelessNetworkManager::connectAnswers_data()
{
    QTest::addColumn<QString>("ssid");
    QTest::addColumn<QString>("password");
    QTest::addColumn<int>("status");
    QTest::addColumn<QString>("current");
    QTest::newRow("right password") << "Lab" << "secret" << int(WirelessNetworkManager::Connected) << "Lab";
    QTest::newRow("wrong password") << "Lab" << "guess" << int(WirelessNetworkManager::WrongPassword) << "";
    QTest::newRow("open network") << "Open" << "" << int(WirelessNetworkManager::Connected) << "Open";
    QTest::newRow("out of reach") << "Elsewhere" << "" << int(WirelessNetworkManager::ConnectionError) << "";
}

void TestWirelessNetworkManager::connectAnswers()
{
    QFETCH(QString, ssid);
    QFETCH(QString, password);
    QFETCH(int, status);
    QFETCH(QString, current);
    QSignalSpy completed(manager, SIGNAL(connectComplete(WirelessNetworkManager::NetworkStatus)));
    QSignalSpy reported(manager, SIGNAL(currentNetwork(NetworkInformation)));
    NetworkInformation request = network(ssid, false);
    request.password = password;

    QVERIFY(QMetaObject::invokeMethod(manager, "connectNetwork", Qt::QueuedConnection,
                                      Q_ARG(NetworkInformation, request)));
    QTRY_COMPARE(completed.count(), 1);
    QVERIFY(QMetaObject::invokeMethod(manager, "currentNetwork", Qt::QueuedConnection));

    QCOMPARE(int(completed.at(0).at(0).value<WirelessNetworkManager::NetworkStatus>()), status);
    QTRY_COMPARE(reported.count(), 1);
    QCOMPARE(reported.at(0).at(0).value<NetworkInformation>().ssid, current);
    QCOMPARE(manager->currentNetwork().ssid, current);
}

void TestWirelessNetworkManager::savedNetworkJoinsWithoutPasswordUntilForgotten()
{
    QSignalSpy completed(manager, SIGNAL(connectComplete(WirelessNetworkManager::NetworkStatus)));
    NetworkInformation request = network("Lab", false);
    request.password = "secret";
    QMetaObject::invokeMethod(manager, "connectNetwork", Qt::QueuedConnection, Q_ARG(NetworkInformation, request));
    QTRY_COMPARE(completed.count(), 1);

    manager->disconnectNetwork(false);
    QVERIFY(manager->currentNetwork().ssid.isEmpty());
    request.password.clear();
    QMetaObject::invokeMethod(manager, "connectNetwork", Qt::QueuedConnection, Q_ARG(NetworkInformation, request));
    QTRY_COMPARE(completed.count(), 2);
    QCOMPARE(completed.at(1).at(0).value<WirelessNetworkManager::NetworkStatus>(), WirelessNetworkManager::Connected);

    manager->disconnectNetwork(true);
    QMetaObject::invokeMethod(manager, "connectNetwork", Qt::QueuedConnection, Q_ARG(NetworkInformation, request));
    QTRY_COMPARE(completed.count(), 3);
    QCOMPARE(completed.at(2).at(0).value<WirelessNetworkManager::NetworkStatus>(),
             WirelessNetworkManager::WrongPassword);
}

void TestWirelessNetworkManager::moduleStatesShowInChecksAndScans()
{
    QCOMPARE(manager->checkWiFiModule(), 0);
    manager->changeStateModule(false);
    QCOMPARE(manager->checkWiFiModule(), 1);
    QSignalSpy scanned(manager, SIGNAL(scanComplete(WirelessNetworksInfo)));
    QMetaObject::invokeMethod(manager, "scanNetwork", Qt::QueuedConnection);
    QTRY_COMPARE(scanned.count(), 1);
    QVERIFY(scanned.at(0).at(0).value<WirelessNetworksInfo>().isEmpty());

    manager->simulateModuleState(WirelessNetworkManager::ModuleMissing);
    manager->changeStateModule(true);
    QCOMPARE(manager->checkWiFiModule(), 2);
}

void TestWirelessNetworkManager::internetAccessFollowsConnection()
{
    QSignalSpy access(manager, SIGNAL(internetAccess(bool)));
    QMetaObject::invokeMethod(manager, "checkInternetAccess", Qt::QueuedConnection);
    QTRY_COMPARE(access.count(), 1);
    QCOMPARE(access.at(0).at(0).toBool(), false);

    QSignalSpy completed(manager, SIGNAL(connectComplete(WirelessNetworkManager::NetworkStatus)));
    QMetaObject::invokeMethod(manager, "connectNetwork", Qt::QueuedConnection,
                              Q_ARG(NetworkInformation, network("Open", true)));
    QTRY_COMPARE(completed.count(), 1);
    QMetaObject::invokeMethod(manager, "checkInternetAccess", Qt::QueuedConnection);
    QTRY_COMPARE(access.count(), 2);
    QCOMPARE(access.at(1).at(0).toBool(), true);
}

void TestWirelessNetworkManager::directLookAtCurrentNetworkSendsNoReport()
{
    QSignalSpy reported(manager, SIGNAL(currentNetwork(NetworkInformation)));

    QVERIFY(manager->currentNetwork().ssid.isEmpty());
    QVERIFY(QMetaObject::invokeMethod(manager, "currentNetwork", Qt::QueuedConnection));

    QTRY_COMPARE(reported.count(), 1);
    QTest::qWait(50);
    QCOMPARE(reported.count(), 1);
}

void TestWirelessNetworkManager::instantAnswersComeInsideTheCallAndRequestsAreCounted()
{
    manager->simulateLatency(60000);
    manager->simulateInstantAnswers(true);
    QSignalSpy reported(manager, SIGNAL(currentNetwork(NetworkInformation)));
    QSignalSpy access(manager, SIGNAL(internetAccess(bool)));

    // Blocking calls return only after the invoked method has run, answer included.
    QMetaObject::invokeMethod(manager, "currentNetwork", Qt::BlockingQueuedConnection);
    QMetaObject::invokeMethod(manager, "checkInternetAccess", Qt::BlockingQueuedConnection);
    QMetaObject::invokeMethod(manager, "checkInternetAccess", Qt::BlockingQueuedConnection);
    manager->currentNetwork(); // a direct look is no request

    QCOMPARE(reported.count(), 1);
    QCOMPARE(access.count(), 2);
    QCOMPARE(manager->requestCount("currentNetwork"), 1);
    QCOMPARE(manager->requestCount("checkInternetAccess"), 2);
    QCOMPARE(manager->requestCount("scanNetwork"), 0);
    manager->resetRequestCounts();
    QCOMPARE(manager->requestCount("checkInternetAccess"), 0);
}

QTEST_GUILESS_MAIN(TestWirelessNetworkManager)
#include "tst_WirelessNetworkManager.moc"
