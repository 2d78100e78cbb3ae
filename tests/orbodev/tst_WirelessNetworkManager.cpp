#include "WirelessNetworkManager.h"

#include <QSignalSpy>
#include <QThread>
#include <QtTest>

namespace {

NetworkInformation network(const QString& ssid, bool isOpen, const QString& password = QString())
{
    NetworkInformation info;
    info.ssid = ssid;
    info.signal = 50;
    info.isOpen = isOpen;
    info.password = password;
    return info;
}

} // namespace

// The simulated wireless manager, driven from another thread as the library drives it.
class TestWirelessNetworkManager : public QObject
{
    Q_OBJECT

    WirelessNetworkManager* manager = nullptr;
    QThread* thread = nullptr;

    // Asks for a connection from the GUI thread and waits for the answer.
    WirelessNetworkManager::NetworkStatus join(const NetworkInformation& request)
    {
        QSignalSpy completed(manager, SIGNAL(connectComplete(WirelessNetworkManager::NetworkStatus)));
        QMetaObject::invokeMethod(manager, "connectNetwork", Qt::QueuedConnection, Q_ARG(NetworkInformation, request));
        if (!completed.wait(5000))
            return WirelessNetworkManager::ConnectionError;
        return completed.at(0).at(0).value<WirelessNetworkManager::NetworkStatus>();
    }

private Q_SLOTS:
    void init()
    {
        manager = new WirelessNetworkManager;
        manager->simulateLatency(10);
        manager->simulateNetworks({network("Lab", false), network("Open", true)}, {{"Lab", "secret"}});
        thread = new QThread;
        manager->moveToThread(thread);
        connect(thread, &QThread::finished, manager, &QObject::deleteLater);
        thread->start();
    }

    void cleanup()
    {
        thread->quit();
        thread->wait();
        delete thread;
    }

    void signaturesAreExact()
    {
        const QMetaObject* meta = manager->metaObject();
        for (const char* signal : {"scanComplete(WirelessNetworksInfo)", "connectComplete(WirelessNetworkManager::NetworkStatus)",
                                   "currentNetwork(NetworkInformation)", "internetAccess(bool)"})
            QVERIFY2(meta->indexOfSignal(signal) >= 0, signal);
        for (const char* method : {"scanNetwork()", "connectNetwork(NetworkInformation)", "checkInternetAccess()"})
            QVERIFY2(meta->indexOfMethod(method) >= 0, method);
    }

    void scanAnswersQueuedWithoutPasswords()
    {
        QSignalSpy scanned(manager, SIGNAL(scanComplete(WirelessNetworksInfo)));

        QVERIFY(QMetaObject::invokeMethod(manager, "scanNetwork", Qt::QueuedConnection));

        QTRY_COMPARE(scanned.count(), 1);
        const auto networks = scanned.at(0).at(0).value<WirelessNetworksInfo>();
        QCOMPARE(networks.size(), 2);
        QCOMPARE(networks.at(0).ssid, QString("Lab"));
        QVERIFY(networks.at(0).password.isEmpty());
    }

    void connectAnswers_data()
    {
        QTest::addColumn<QString>("ssid");
        QTest::addColumn<QString>("password");
        QTest::addColumn<int>("status");
        QTest::newRow("right password") << "Lab" << "secret" << int(WirelessNetworkManager::Connected);
        QTest::newRow("wrong password") << "Lab" << "guess" << int(WirelessNetworkManager::WrongPassword);
        QTest::newRow("open network") << "Open" << "" << int(WirelessNetworkManager::Connected);
        QTest::newRow("out of reach") << "Elsewhere" << "" << int(WirelessNetworkManager::ConnectionError);
    }

    void connectAnswers()
    {
        QFETCH(QString, ssid);
        QFETCH(QString, password);
        QFETCH(int, status);
        QSignalSpy access(manager, SIGNAL(internetAccess(bool)));

        QCOMPARE(int(join(network(ssid, false, password))), status);

        const bool connected = status == WirelessNetworkManager::Connected;
        QCOMPARE(manager->currentNetwork().ssid, connected ? ssid : QString());
        QMetaObject::invokeMethod(manager, "checkInternetAccess", Qt::QueuedConnection);
        QTRY_COMPARE(access.count(), 1);
        QCOMPARE(access.at(0).at(0).toBool(), connected);
    }

    void savedNetworkJoinsWithoutPasswordUntilForgotten()
    {
        QCOMPARE(join(network("Lab", false, "secret")), WirelessNetworkManager::Connected);
        manager->disconnectNetwork(false);
        QVERIFY(manager->currentNetwork().ssid.isEmpty());
        QCOMPARE(join(network("Lab", false)), WirelessNetworkManager::Connected);
        manager->disconnectNetwork(true);
        QCOMPARE(join(network("Lab", false)), WirelessNetworkManager::WrongPassword);
    }

    void moduleStatesShowInChecksAndScans()
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

    void directLookAtCurrentNetworkSendsNoReport()
    {
        QSignalSpy reported(manager, SIGNAL(currentNetwork(NetworkInformation)));

        QVERIFY(manager->currentNetwork().ssid.isEmpty());
        QVERIFY(QMetaObject::invokeMethod(manager, "currentNetwork", Qt::QueuedConnection));

        QTRY_COMPARE(reported.count(), 1);
        QTest::qWait(50);
        QCOMPARE(reported.count(), 1);
    }
};

QTEST_GUILESS_MAIN(TestWirelessNetworkManager)
#include "tst_WirelessNetworkManager.moc"
