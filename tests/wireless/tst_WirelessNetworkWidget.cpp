#include "ConnectivityMonitor.h"
#include "LineEditWithKeyboard.h"
#include "NetworkRowDelegate.h"
#include "QtWaitingSpinner.h"
#include "Singleton.h"
#include "ToggleSwitch.h"
#include "WirelessNetworkList.h"
#include "WirelessNetworkManager.h"
#include "WirelessNetworkPasswordDialog.h"
#include "WirelessNetworkWidget.h"
#include "YamlConfig.h"

#include <QAbstractItemModelTester>
#include <QLabel>
#include <QListView>
#include <QPushButton>
#include <QSignalSpy>
#include <QStandardItemModel>
#include <QThread>
#include <QtTest>

using Answer = WirelessNetworkPasswordDialog::Answer;
using Status = WirelessNetworkManager::NetworkStatus;

namespace {

const int wifiRole = NetworkRowDelegate::getWifiIndex() + 1;
const int lockRole = NetworkRowDelegate::getLockIndex() + 1;
const int statusRole = NetworkRowDelegate::getStatusIndex() + 1;
const int spinnerRole = NetworkRowDelegate::getSpinnerIndex() + 1;
const int conditionRole = NetworkRowDelegate::getNetworkConditionIndex() + 1;
const int ipAddressRole = NetworkRowDelegate::getIpAddressIndex() + 1;
// The manager's own answers never arrive: the tests play them by hand.
const int silentLatency = 3600 * 1000;

NetworkInformation network(const QString& ssid, bool isOpen = false, bool isSaved = false, int signal = 60)
{
    NetworkInformation info;
    info.ssid = ssid;
    info.signal = signal;
    info.isOpen = isOpen;
    info.isSaved = isSaved;
    return info;
}

// Which resource an icon shows, told by its picture.
bool shows(const QVariant& value, const QString& name)
{
    const QImage shown = value.value<QIcon>().pixmap(20, 20).toImage();
    return !shown.isNull() && shown == QIcon(":/icons/dozerozozu_" + name).pixmap(20, 20).toImage();
}

WirelessNetworkManager* manager()
{
    return Singleton<WirelessNetworkManager>::instance();
}

} // namespace

class TestWirelessNetworkWidget : public QObject
{
    Q_OBJECT

private:
    WirelessNetworkWidget* popup = nullptr;
    QThread worker;

    void makePopup(int latency = silentLatency)
    {
        manager()->simulateLatency(latency);
        popup = new WirelessNetworkWidget(nullptr, false);
        new QAbstractItemModelTester(popup->networkRows()->model(),
                                     QAbstractItemModelTester::FailureReportingMode::QtTest, popup);
        popup->connectivityMonitor()->setProbeInterval(30);
        popup->setErrorHoldInterval(300);
    }
    QPushButton* button(const char* name) const { return popup->findChild<QPushButton*>(name); }
    QStandardItem* row(const QString& ssid) const { return popup->networkRows()->find(ssid); }
    QString names() const { return popup->networkRows()->names().join(' '); }
    QString condition(const QString& ssid) const { return row(ssid)->data(conditionRole).toString(); }
    void select(const QString& ssid) { popup->listView()->setCurrentIndex(row(ssid)->index()); }
    void switchModule(bool on) { popup->findChild<ToggleSwitch*>("moduleSwitch")->setToggled(on); }

    // The manager's answers, played by hand.
    void scan(const WirelessNetworksInfo& list) { invoke("updateModel", Q_ARG(WirelessNetworksInfo, list)); }
    void report(const NetworkInformation& info) { invoke("updateCurrentNetwork", Q_ARG(NetworkInformation, info)); }
    void answer(Status status) { invoke("updateNetworkStatus", Q_ARG(WirelessNetworkManager::NetworkStatus, status)); }
    void invoke(const char* slot, QGenericArgument argument) { QVERIFY(QMetaObject::invokeMethod(popup, slot, argument)); }

    /// enabled names the enabled buttons by first letter: C(ancel), c(onnect), D(isconnect), F(orget).
    void checkButtons(const QString& enabled)
    {
        QCOMPARE(button("cancelButton")->isEnabled(), enabled.contains('C'));
        QCOMPARE(button("connectButton")->isEnabled(), enabled.contains('c'));
        QCOMPARE(button("disconnectButton")->isEnabled(), enabled.contains('D'));
        QCOMPARE(button("forgetButton")->isEnabled(), enabled.contains('F'));
    }

private Q_SLOTS:
    void initTestCase()
    {
        // As the status widget would: the manager answers from its own thread.
        manager()->moveToThread(&worker);
        worker.start();
        Singleton<YamlConfig>::instance()->setParam("probeHost", "127.0.0.1", "wireless", false);
    }

    void cleanupTestCase()
    {
        worker.quit();
        worker.wait();
    }

    void init()
    {
        manager()->simulateModuleState(WirelessNetworkManager::ModuleOn);
        manager()->simulateNetworks({network("Workshop"), network("Guest", true)}, {{"Workshop", "orbodev123"}});
    }

    void cleanup()
    {
        delete popup;
        popup = nullptr;
        QTest::qWait(20);
        manager()->resetRequestCounts();
    }

    void moduleOffAndOnAgain()
    {
        // Given a listed network
        makePopup();
        auto spinner = popup->findChild<QtWaitingSpinner*>();
        auto overlay = popup->findChild<QWidget*>("disabledOverlay");
        scan({network("A")});

        // When the module is switched off, the list empties behind the overlay
        switchModule(false);
        QCOMPARE(popup->networkRows()->rowCount(), 0);
        QVERIFY(!overlay->isHidden() && !spinner->isSpinning());
        QCOMPARE(popup->findChild<QLabel*>("overlayLabel")->text(),
                 "Wi-Fi is disabled\nTo connect to a network, the Wi-Fi adapter must be turned on.");
        QCOMPARE(manager()->checkWiFiModule(), int(WirelessNetworkManager::ModuleOff));

        // And switched on again, the spinner turns until a scan finds a network
        button("turnOnButton")->click();
        QCOMPARE(manager()->checkWiFiModule(), int(WirelessNetworkManager::ModuleOn));
        scan({});
        QVERIFY(spinner->isSpinning());
        scan({network("A"), network("B")});
        QVERIFY(!spinner->isSpinning());

        // A module found off by a scan shows the overlay too
        manager()->simulateModuleState(WirelessNetworkManager::ModuleOff);
        scan({});
        QCOMPARE(popup->networkRows()->rowCount(), 0);
        QVERIFY(!overlay->isHidden());
    }

    void scansMergeRowsInPlace()
    {
        // Given a scan naming A twice, and B chosen
        makePopup();
        scan({network("A", false, false, 10), network("B"), network("C"), network("A", false, false, 90)});
        QCOMPARE(names(), QString("A B C"));
        QVERIFY(shows(row("A")->data(wifiRole), "wifiThree")); // the later record
        select("B");
        checkButtons("Cc");

        // When B vanishes, its row goes and no neighbour becomes the row "Connect" would act on
        scan({network("C"), network("A")});
        QCOMPARE(names(), QString("A C"));
        QVERIFY(!popup->listView()->currentIndex().isValid());
        checkButtons("C");

        // And when it returns, it comes last
        scan({network("B"), network("A"), network("C")});
        QCOMPARE(names(), QString("A C B"));
    }

    void signalIconThresholds_data()
    {
        QTest::addColumn<int>("signal");
        QTest::addColumn<QString>("icon");
        QTest::newRow("0") << 0 << "wifiZero";
        QTest::newRow("25") << 25 << "wifiZero";
        QTest::newRow("26") << 26 << "wifiOne";
        QTest::newRow("50") << 50 << "wifiOne";
        QTest::newRow("51") << 51 << "wifiTwo";
        QTest::newRow("75") << 75 << "wifiTwo";
        QTest::newRow("76") << 76 << "wifiThree";
        QTest::newRow("100") << 100 << "wifiThree";
        // Out of range: the icon stays as it was.
        QTest::newRow("101") << 101 << "wifiTwo";
        QTest::newRow("-1") << -1 << "wifiTwo";
    }

    void signalIconThresholds()
    {
        QFETCH(int, signal);
        QFETCH(QString, icon);
        makePopup();
        scan({network("A", false, false, 60)});
        scan({network("A", false, false, signal)});
        QVERIFY(shows(row("A")->data(wifiRole), icon));
    }

    void currentNetworkMarksItsRowOnly()
    {
        // Given an open network A and a protected B, the current one
        makePopup();
        scan({network("A", true), network("B"), network("")});
        NetworkInformation current = network("B");
        current.ipAddress = "127.0.10.23";

        report(current);

        QVERIFY(shows(row("B")->data(statusRole), "okay") && shows(row("B")->data(lockRole), "unlock"));
        QCOMPARE(condition("B"), QString("Connected"));
        QVERIFY(shows(row("A")->data(lockRole), "unlock") && !row("A")->data(statusRole).isValid());

        // A later scan keeps the marks, and the same report and scan again change no data
        scan({network("B"), network("A", true), network("")});
        QCOMPARE(row("B")->data(ipAddressRole).toString(), QString("127.0.10.23"));
        QSignalSpy changed(popup->networkRows()->model(), &QAbstractItemModel::dataChanged);
        report(current);
        scan({network("B"), network("A", true), network("")});
        QCOMPARE(changed.count(), 0);

        // Nothing connected: no row is, an unnamed one neither
        report(NetworkInformation());
        for (int index = 0; index < popup->networkRows()->rowCount(); ++index)
            QVERIFY(!popup->networkRows()->item(index)->data(conditionRole).isValid());
    }

    void connectsWithPasswordOnlyWhenNeeded_data()
    {
        QTest::addColumn<NetworkInformation>("record");
        QTest::addColumn<int>("prompts");
        NetworkInformation open = network("Stores", true), saved = network("Stores", false, true);
        open.password = saved.password = "kept as it is";
        QTest::newRow("open") << open << 0;
        QTest::newRow("saved") << saved << 0;
        QTest::newRow("protected") << network("Stores") << 1;
    }

    void connectsWithPasswordOnlyWhenNeeded()
    {
        QFETCH(NetworkInformation, record);
        QFETCH(int, prompts);
        makePopup();
        scan({network("A"), record});
        select("Stores");
        WirelessNetworkPasswordDialog::AnswerGuard type(QStringLiteral("typed password"));
        QSignalSpy started(popup, &WirelessNetworkWidget::connectionStarted);

        // When "Connect" is pressed, the password is asked for only when the network needs one
        button("connectButton")->click();
        QCOMPARE(type.count(), prompts);
        QCOMPARE(started.count(), 1);
        QCOMPARE(row("Stores")->data(spinnerRole), QVariant(true));
        QCOMPARE(condition("Stores"), QString("Connecting..."));
        checkButtons("");
        scan({record, network("A")}); // the connecting row keeps its place and state
        QCOMPARE(names(), QString("A Stores"));
        QCOMPARE(row("Stores")->data(spinnerRole), QVariant(true));
        QTRY_COMPARE(manager()->requestCount("connectNetwork"), 1);
        if (prompts)
            record.password = "typed password";
        QCOMPARE(manager()->lastConnectRequest(), record);

        // Then answer 0 ends the attempt, and the next report marks the row connected
        report(NetworkInformation()); // ignored while connecting
        answer(WirelessNetworkManager::Connected);
        QVERIFY(!popup->isConnecting());
        QVERIFY(!row("Stores")->data(spinnerRole).isValid());
        checkButtons("CDF");
        report(record);
        QCOMPARE(condition("Stores"), QString("Connected"));
    }

    void failedAnswersHoldTheirText_data()
    {
        QTest::addColumn<int>("status");
        QTest::addColumn<QString>("text");
        QTest::newRow("3, error") << int(WirelessNetworkManager::ConnectionError) << "Error while connecting";
        QTest::newRow("4, wrong password") << int(WirelessNetworkManager::WrongPassword) << "Wrong password";
    }

    void failedAnswersHoldTheirText()
    {
        QFETCH(int, status);
        QFETCH(QString, text);
        // Given an attempt that fails
        makePopup();
        scan({network("A", true), network("B", true)});
        select("B");
        button("connectButton")->click();
        answer(Status(status));

        // Then the row shows why, with the cancel icon, and every button is back
        QVERIFY(!row("B")->data(spinnerRole).isValid());
        QCOMPARE(condition("B"), text);
        QVERIFY(row("B")->data(statusRole).isValid());
        checkButtons("CcDF");

        // And a report within the hold leaves it; the first one after clears it
        report(NetworkInformation());
        QCOMPARE(condition("B"), text);
        QTest::qWait(400);
        report(NetworkInformation());
        QVERIFY(!row("B")->data(conditionRole).isValid() && !row("B")->data(statusRole).isValid());
    }

    void attemptEndingWithoutRequestLeavesNothingPending_data()
    {
        QTest::addColumn<bool>("rowChosen");
        QTest::newRow("prompt cancelled") << true;
        QTest::newRow("no row chosen") << false;
    }

    void attemptEndingWithoutRequestLeavesNothingPending()
    {
        QFETCH(bool, rowChosen);
        makePopup();
        scan({network("A"), network("B")});
        if (rowChosen)
            select("B");
        WirelessNetworkPasswordDialog::AnswerGuard cancel(Answer::Reject);
        QSignalSpy cancelled(popup, &WirelessNetworkWidget::connectionCancelled);

        QVERIFY(QMetaObject::invokeMethod(popup, "connectNetwork"));

        // Nothing pending or sent, the buttons as the selection says, and reports are heard again
        QCOMPARE(cancelled.count(), 1);
        QVERIFY(!popup->isConnecting() && !popup->pendingRow().isValid());
        checkButtons(rowChosen ? "Cc" : "C");
        QTest::qWait(20);
        QCOMPARE(manager()->requestCount("connectNetwork"), 0);
        report(network("B"));
        QCOMPARE(condition("B"), QString("Connected"));
    }

    void pendingRowRemovedBeforeTheAnswer_data()
    {
        QTest::addColumn<bool>("byModuleOff");
        QTest::addColumn<bool>("duringPrompt");
        QTest::newRow("scan without it") << false << false;
        QTest::newRow("module switched off") << true << false;
        QTest::newRow("scan during the prompt") << false << true;
    }

    void pendingRowRemovedBeforeTheAnswer()
    {
        QFETCH(bool, byModuleOff);
        QFETCH(bool, duringPrompt);
        // Given an attempt on row B
        makePopup();
        scan({network("A"), network("B")});
        select("B");
        const auto removeB = [&] { byModuleOff ? switchModule(false) : scan({network("A")}); };
        WirelessNetworkPasswordDialog::AnswerGuard type([&](WirelessNetworkPasswordDialog& dialog) {
            dialog.passwordField()->setText(QStringLiteral("orbodev123"));
            if (duringPrompt)
                removeB();
            return Answer::Accept;
        });
        button("connectButton")->click();
        QVERIFY(popup->isConnecting());

        // When row B goes before the answer
        if (!duringPrompt)
            removeB();
        QVERIFY(!popup->pendingRow().isValid());

        // Then the answer touches no row and ends the attempt
        answer(WirelessNetworkManager::WrongPassword);
        QVERIFY(!popup->isConnecting());
        for (int index = 0; index < popup->networkRows()->rowCount(); ++index)
            QVERIFY(!popup->networkRows()->item(index)->data(conditionRole).isValid());
        QVERIFY(button("cancelButton")->isEnabled());
        QTRY_COMPARE(manager()->requestCount("connectNetwork"), 1);
    }

    void reopenedPopupScansAgainAndProbesOnlyWhileShown()
    {
        // Given a shown popup, closed with "Cancel"
        makePopup(5);
        popup->setScanInterval(100);
        popup->show();
        QVERIFY(QTest::qWaitForWindowExposed(popup));
        QVERIFY(popup->connectivityMonitor()->isRunning());
        button("cancelButton")->click();
        QVERIFY(!popup->isScanning() && !popup->connectivityMonitor()->isRunning());
        QTest::qWait(150);
        manager()->resetRequestCounts();
        QTest::qWait(250);
        QCOMPARE(manager()->requestCount("scanNetwork"), 0);

        // When it is shown again, it scans at once and then periodically, and probes again
        popup->setScanInterval(1000);
        popup->show();
        QTRY_COMPARE_WITH_TIMEOUT(manager()->requestCount("scanNetwork"), 1, 500);
        QVERIFY(popup->connectivityMonitor()->isRunning());
        popup->setScanInterval(100);
        QTRY_VERIFY(manager()->requestCount("scanNetwork") >= 3);

        // And hidden (not closed) it scans on but stops probing
        popup->hide();
        QVERIFY(popup->isScanning() && !popup->connectivityMonitor()->isRunning());
    }
};

QTEST_MAIN(TestWirelessNetworkWidget)
#include "tst_WirelessNetworkWidget.moc"
